// Registry of the fake: keys and value names without case, REG_SZ kept in UTF-16LE as Windows
// stores it, the A functions converting string data from and to code page 1252.
#include <cstring>

#include "platform/fake/state.h"

namespace plat {

using namespace fake::detail;

namespace {

constexpr int32_t kErrorBadPathname = 161;
constexpr int32_t kErrorKeyDeleted = 1018;
constexpr uint32_t kRegExpandSz = 2;
constexpr uint32_t kRegMultiSz = 7;

bool IsPredefined(HKey key) { return key >= 0x80000000u && key <= 0x80000006u; }

bool IsString(uint32_t type) { return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz; }

std::string Utf16Bytes(const Wide& text) {
    std::string bytes;
    for (char16_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

Wide FromUtf16Bytes(const std::string& bytes) {
    Wide text;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                      (static_cast<unsigned char>(bytes[i + 1]) << 8));
    }
    return text;
}

// The full path ("HKEY_CURRENT_USER\Software\...") a key handle stands for.
int32_t Resolve(HKey key, Wide* path) {
    if (IsPredefined(key)) {
        *path = RootName(key);
        RegKeyNode& node = M().keys[Upper(*path)];
        node.name = *path;
        return kErrorSuccess;
    }
    auto it = M().keyHandles.find(key);
    if (it == M().keyHandles.end()) return kErrorInvalidHandle;
    if (!M().keys.count(Upper(it->second))) return kErrorKeyDeleted;
    *path = it->second;
    return kErrorSuccess;
}

// A 32-bit program on 64-bit Windows reaches HKLM\Software\X as HKLM\Software\WOW6432Node\X:
// the registry redirector inserts the node below Software, unless the path names it already.
Wide Redirected(const Wide& path) {
    if (M().view != fake::WindowsView::Wow64) return path;
    const Wide software = Upper(RootName(kHKeyLocalMachine)) + u"\\SOFTWARE\\";
    const Wide node = u"WOW6432NODE";
    Wide upper = Upper(path);
    if (upper.compare(0, software.size(), software) != 0 || upper.size() == software.size()) return path;
    Wide rest = upper.substr(software.size());
    if (rest.compare(0, node.size(), node) == 0 && (rest.size() == node.size() || rest[node.size()] == u'\\'))
        return path;
    return path.substr(0, software.size()) + u"WOW6432Node\\" + path.substr(software.size());
}

int32_t Join(const Wide& base, const std::string& subKey, Wide* path,
             std::vector<Wide>* created = nullptr) {
    if (!subKey.empty() && subKey[0] == '\\') return kErrorBadPathname;
    *path = base;
    Wide rest = WideOfCp1252(subKey);
    size_t start = 0;
    std::vector<Wide> steps;
    while (start < rest.size()) {
        size_t end = rest.find(u'\\', start);
        if (end == Wide::npos) end = rest.size();
        if (end > start) {
            *path += u"\\" + rest.substr(start, end - start);
            steps.push_back(*path);
        }
        start = end + 1;
    }
    Wide target = Redirected(*path);
    if (created) {
        bool nodeMade = false;
        for (const Wide& step : steps) {
            Wide redirected = Redirected(step);
            // The redirector's own node exists as on Windows, before anything is made below it.
            if (redirected != step && !nodeMade)
                created->push_back(RootName(kHKeyLocalMachine) + u"\\Software\\WOW6432Node");
            nodeMade = nodeMade || redirected != step;
            created->push_back(redirected);
        }
    }
    *path = target;
    return kErrorSuccess;
}

bool Denied(const Wide& path) {
    Wide key = Upper(path);
    for (const Wide& denied : M().deniedKeys) {
        if (key == denied || key.compare(0, denied.size() + 1, denied + u"\\") == 0) return true;
    }
    return false;
}

// A process that is not elevated may read the machine's keys but not change them.
bool MachineKeyClosed(const Wide& path, uint32_t access) {
    constexpr uint32_t kChangeRights = 0x2 | 0x4 | 0x20 | 0x10000 | 0x40000 | 0x80000;
    Wide machine = RootName(kHKeyLocalMachine);
    bool underMachine = Upper(path).compare(0, machine.size(), machine) == 0;
    return underMachine && !M().elevated && (access & kChangeRights);
}

HKey NewKeyHandle(const Wide& path) {
    HKey handle = M().nextKey;
    M().nextKey += 4;
    M().keyHandles[handle] = path;
    return handle;
}

RegKeyNode* KeyNode(HKey key, int32_t* status) {
    Wide path;
    *status = Resolve(key, &path);
    if (*status) return nullptr;
    return &M().keys[Upper(path)];
}

int32_t Query(HKey key, const Wide& name, bool ansi, uint32_t* type, void* data, uint32_t* size) {
    int32_t status;
    RegKeyNode* node = KeyNode(key, &status);
    if (!node) return status;
    auto it = node->values.find(Upper(name));
    if (it == node->values.end()) return kErrorFileNotFound;
    const fake::RegValue& value = it->second.value;
    std::string bytes = value.bytes;
    if (ansi && IsString(value.type)) bytes = Cp1252Of(FromUtf16Bytes(bytes));
    if (type) *type = value.type;
    if (data && !size) return kErrorInvalidParameter;
    if (!size) return kErrorSuccess;
    uint32_t needed = static_cast<uint32_t>(bytes.size());
    if (data) {
        if (*size < needed) {
            *size = needed;
            return kErrorMoreData;
        }
        if (needed) std::memcpy(data, bytes.data(), needed);
    }
    *size = needed;
    return kErrorSuccess;
}

int32_t Set(HKey key, const Wide& name, uint32_t type, std::string bytes) {
    int32_t status;
    RegKeyNode* node = KeyNode(key, &status);
    if (!node) return status;
    Wide keyPath;
    Resolve(key, &keyPath);
    if (FaultNow(fake::Operation::RegSetValue, Upper(keyPath + u"\\" + name))) return kErrorAccessDenied;
    RegEntry& entry = node->values[Upper(name)];
    entry.name = name;
    entry.value.type = type;
    entry.value.bytes = std::move(bytes);
    return kErrorSuccess;
}

std::string Bytes(const void* data, uint32_t size) {
    return data ? std::string(static_cast<const char*>(data), size) : std::string();
}

}  // namespace

int32_t RegCreateKeyExA(HKey root, const std::string& subKey, uint32_t access, HKey* result) {
    Wide base, path;
    std::vector<Wide> steps;
    if (int32_t status = Resolve(root, &base)) return status;
    if (int32_t status = Join(base, subKey, &path, &steps)) return status;
    if (Denied(path) || MachineKeyClosed(path, access | 0x4)) return kErrorAccessDenied;
    if (FaultNow(fake::Operation::RegCreateKey, Upper(path))) return kErrorAccessDenied;
    for (const Wide& step : steps) {
        RegKeyNode& node = M().keys[Upper(step)];
        if (node.name.empty()) node.name = step;
    }
    *result = NewKeyHandle(path);
    return kErrorSuccess;
}

int32_t RegOpenKeyExA(HKey root, const std::string& subKey, uint32_t access, HKey* result) {
    Wide base, path;
    if (int32_t status = Resolve(root, &base)) return status;
    if (int32_t status = Join(base, subKey, &path)) return status;
    if (!M().keys.count(Upper(path))) return kErrorFileNotFound;
    if (Denied(path) || MachineKeyClosed(path, access)) return kErrorAccessDenied;
    *result = NewKeyHandle(path);
    return kErrorSuccess;
}

int32_t RegQueryValueExA(HKey key, const std::string& name, uint32_t* type, void* data,
                         uint32_t* size) {
    return Query(key, WideOfCp1252(name), true, type, data, size);
}

int32_t RegQueryValueExW(HKey key, const Wide& name, uint32_t* type, void* data, uint32_t* size) {
    return Query(key, name, false, type, data, size);
}

int32_t RegSetValueExA(HKey key, const std::string& name, uint32_t type, const void* data,
                       uint32_t size) {
    std::string bytes = Bytes(data, size);
    if (IsString(type)) bytes = Utf16Bytes(WideOfCp1252(bytes));
    return Set(key, WideOfCp1252(name), type, bytes);
}

int32_t RegSetValueExW(HKey key, const Wide& name, uint32_t type, const void* data, uint32_t size) {
    return Set(key, name, type, Bytes(data, size));
}

int32_t RegDeleteValueA(HKey key, const std::string& name) {
    if (M().ended) return kErrorAccessDenied;
    int32_t status;
    RegKeyNode* node = KeyNode(key, &status);
    if (!node) return status;
    if (!node->values.erase(Upper(WideOfCp1252(name)))) return kErrorFileNotFound;
    return kErrorSuccess;
}

int32_t RegDeleteKeyA(HKey root, const std::string& subKey) {
    if (M().ended) return kErrorAccessDenied;
    Wide base, path;
    if (int32_t status = Resolve(root, &base)) return status;
    if (int32_t status = Join(base, subKey, &path)) return status;
    Wide key = Upper(path);
    auto& keys = M().keys;
    auto it = keys.find(key);
    if (it == keys.end()) return kErrorFileNotFound;
    if (path == base && IsPredefined(root)) return kErrorAccessDenied;
    Wide prefix = key + u"\\";
    auto child = keys.lower_bound(prefix);
    if (child != keys.end() && child->first.compare(0, prefix.size(), prefix) == 0) {
        return kErrorAccessDenied;  // sub-keys must go first
    }
    if (Denied(path) || MachineKeyClosed(path, 0x10000)) return kErrorAccessDenied;
    keys.erase(it);
    return kErrorSuccess;
}

int32_t RegCloseKey(HKey key) {
    if (IsPredefined(key)) return kErrorSuccess;
    return M().keyHandles.erase(key) ? kErrorSuccess : kErrorInvalidHandle;
}

}  // namespace plat

namespace fake {

namespace detail {

Wide RootName(plat::HKey root) {
    switch (root) {
        case 0x80000000u: return u"HKEY_CLASSES_ROOT";
        case plat::kHKeyCurrentUser: return u"HKEY_CURRENT_USER";
        case plat::kHKeyLocalMachine: return u"HKEY_LOCAL_MACHINE";
        case 0x80000003u: return u"HKEY_USERS";
        default: return u"HKEY_" + Ascii(std::to_string(root));
    }
}

}  // namespace detail

using namespace detail;

namespace {

Wide PathOf(plat::HKey root, const std::string& path) {
    Wide result = RootName(root);
    Wide rest = WideOfCp1252(path);
    size_t start = 0;
    while (start < rest.size()) {
        size_t end = rest.find(u'\\', start);
        if (end == Wide::npos) end = rest.size();
        if (end > start) result += u"\\" + rest.substr(start, end - start);
        start = end + 1;
    }
    return result;
}

}  // namespace

bool RegKeyExists(plat::HKey root, const std::string& path) {
    Wide full = PathOf(root, path);
    return M().keys.count(Upper(full)) || full == RootName(root);
}

bool RegValueAt(plat::HKey root, const std::string& path, const std::string& name,
                RegValue* out) {
    auto key = M().keys.find(Upper(PathOf(root, path)));
    if (key == M().keys.end()) return false;
    auto value = key->second.values.find(Upper(WideOfCp1252(name)));
    if (value == key->second.values.end()) return false;
    if (out) *out = value->second.value;
    return true;
}

void DenyRegistryKey(plat::HKey root, const std::string& path, bool deny) {
    Wide key = Upper(PathOf(root, path));
    if (deny) M().deniedKeys.insert(key);
    else M().deniedKeys.erase(key);
}

int OpenKeyCount() { return static_cast<int>(M().keyHandles.size()); }

}  // namespace fake
