// The fake machine's state, its clean configuration, and the path rules shared by its parts.
#include "platform/fake/state.h"

namespace fake {

namespace detail {

namespace {

bool g_populated = false;

constexpr plat::FileTime kTicksPerMinute = 600000000ull;

const struct {
    int csidl;
    const char16_t* path;
} kSpecialFolders[] = {
    {plat::kCsidlPrograms, u"C:\\Users\\User\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs"},
    {plat::kCsidlPersonal, u"C:\\Users\\User\\Documents"},
    {plat::kCsidlDesktopDirectory, u"C:\\Users\\User\\Desktop"},
    {plat::kCsidlCommonPrograms, u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs"},
    {plat::kCsidlCommonDesktopDirectory, u"C:\\Users\\Public\\Desktop"},
    {plat::kCsidlCommonAppData, u"C:\\ProgramData"},
    {plat::kCsidlProgramFiles, u"C:\\Program Files"},
    {plat::kCsidlProgramFilesX86, u"C:\\Program Files"},
    {0x1A, u"C:\\Users\\User\\AppData\\Roaming"},  // CSIDL_APPDATA
    {0x1C, u"C:\\Users\\User\\AppData\\Local"},    // CSIDL_LOCAL_APPDATA
    {0x24, u"C:\\Windows"},                        // CSIDL_WINDOWS
    {0x25, u"C:\\Windows\\System32"},              // CSIDL_SYSTEM
    {0x2E, u"C:\\Users\\Public\\Documents"},       // CSIDL_COMMON_DOCUMENTS
};

// Fills a default-constructed machine with the clean configuration of fake.h.
void Populate(Machine& m) {
    m.commandLine = u"setup.exe";
    m.moduleFileName = u"C:\\Users\\User\\Downloads\\setup.exe";
    m.tempPath = u"C:\\Users\\User\\Temp\\";
    m.currentFolder = u"C:\\";
    plat::SystemTime clock = plat::SystemTimeOf(2026, 3, 14, 10, 20, 30);
    plat::SystemTimeToFileTime(clock, &m.localNow);

    DriveInfo c;
    AddDrive('C', c);
    for (const auto& folder : kSpecialFolders) {
        m.specialFolders[folder.csidl] = folder.path;
        PutFolder(folder.path);
    }
    m.environment[u"SYSTEMROOT"] = u"C:\\Windows";
    m.environment[u"PROGRAMFILES"] = u"C:\\Program Files";
    PutFolder(u"C:\\Users\\User\\Temp");
    PutFolder(u"C:\\Users\\User\\Downloads");
    // The all-users data folder as Windows ships it: any user may make a folder there and owns
    // what they make (its inheritable entries pass the folder's owner full control).
    if (Node* data = FindNode(u"C:\\PROGRAMDATA")) {
        using namespace plat;
        constexpr uint32_t kAll = kObjectInheritAce | kContainerInheritAce;
        constexpr uint32_t kAddFolderAndAppend = 0x4 | 0x100 | 0x10 | 0x2;
        data->security.owner = kSidSystem;
        data->security.daclProtected = true;
        data->security.dacl = {{kSidSystem, kFileAllAccess, kAll},
                               {kSidAdministrators, kFileAllAccess, kAll},
                               {kSidCreatorOwner, kFileAllAccess, kAll | kInheritOnlyAce},
                               {kSidUsers, kFileGenericReadExecute, kAll},
                               {kSidUsers, kAddFolderAndAppend, kContainerInheritAce}};
    }
}

}  // namespace

Machine& M() {
    static Machine machine;
    if (!g_populated) {
        g_populated = true;
        Populate(machine);
    }
    return machine;
}

uint32_t Fail(uint32_t error) {
    M().lastError = error;
    return error;
}

plat::FileTime Now() {
    const Machine& m = M();
    return m.localNow + static_cast<plat::FileTime>(static_cast<int64_t>(m.biasMinutes) *
                                                    static_cast<int64_t>(kTicksPerMinute));
}

// ---- Paths ----

Wide DriveKey(char16_t drive) { return Wide(1, drive) + u":"; }

Wide Path::Display() const {
    Wide result = DriveKey(drive);
    if (parts.empty()) return result + u"\\";
    for (const auto& part : parts) result += u"\\" + part;
    return result;
}

Wide Path::Key() const {
    Wide result = DriveKey(drive);
    for (const auto& part : parts) result += u"\\" + Upper(part);
    return result;
}

Wide Path::ParentKey() const {
    Path parent = *this;
    if (!parent.parts.empty()) parent.parts.pop_back();
    return parent.Key();
}

Wide Path::Name() const { return parts.empty() ? Wide() : parts.back(); }

namespace {

bool IsLetter(char16_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Folds the names of a full path from `mark` on (the first name after the root and its
// backslash) as Windows reads a path: runs of backslashes become one, "." goes, ".." takes the
// name before it (never the root), a folder name loses one trailing dot, and the last name loses
// all trailing dots and blanks (unless a backslash ends the path).
Wide Fold(Wide path, size_t mark) {
    for (size_t i = mark; i < path.size();) {
        if (path[i] == u'\\' && (i == mark || path[i - 1] == u'\\'))
            path.erase(i, 1);
        else
            ++i;
    }
    size_t p = mark;
    while (p < path.size()) {
        if (path[p] == u'.') {
            size_t after = p + 1;
            if (after < path.size() && path[after] == u'\\') {  // ".\"
                path.erase(p, 2);
                continue;
            }
            if (after == path.size()) {  // "." at the end goes with its backslash
                if (p > mark) --p;
                path.resize(p);
                continue;
            }
            if (path[after] == u'.' && (after + 1 == path.size() || path[after + 1] == u'\\')) {
                bool atEnd = after + 1 == path.size();
                size_t next = atEnd ? path.size() : after + 2;
                // Back to the start of the name before, which goes too.
                if (p > mark) {
                    --p;
                    while (p > mark && path[p - 1] != u'\\') --p;
                    if (atEnd && p > mark) --p;
                }
                path.erase(p, next - p);
                continue;
            }
        }
        while (p < path.size() && path[p] != u'\\') ++p;
        if (p < path.size()) {
            if (p > mark && path[p - 1] == u'.')
                path.erase(p - 1, 1);  // the backslash is now at p - 1
            else
                ++p;
        }
    }
    while (path.size() > mark && (path.back() == u' ' || path.back() == u'.')) path.pop_back();
    return path;
}

// Splits a full path made by FullPathText into the parsed form.
Path PathOfFull(const Wide& full) {
    Path path;
    path.valid = true;
    path.drive = UpperUnit(full[0]);
    size_t start = 3;
    while (start < full.size()) {
        size_t end = full.find(u'\\', start);
        if (end == Wide::npos) end = full.size();
        if (end > start) path.parts.push_back(full.substr(start, end - start));
        start = end + 1;
    }
    path.trailingSlash = !path.parts.empty() && full.back() == u'\\';
    return path;
}

constexpr int kMaxLinkSteps = 32;

// Short names read as the long names they stand for.
void LongNames(Path& path) {
    Wide key = DriveKey(path.drive);
    for (Wide& part : path.parts) {
        Wide childKey;
        const Node* node = ChildNamed(key, part, &childKey);
        if (!node) return;
        part = node->name;
        if (!node->link.empty()) return;  // what lies beyond a link is the target's
        key = childKey;
    }
}

// Follows the links that stand on the way to the last element.
Path ThroughLinks(Path path, int depth = 0) {
    if (!path.valid || path.volume) return path;
    LongNames(path);
    for (size_t i = 0; i + 1 < path.parts.size(); ++i) {
        Path prefix = path;
        prefix.parts.resize(i + 1);
        const Node* node = FindNode(prefix.Key());
        if (!node || node->link.empty()) continue;
        if (depth >= kMaxLinkSteps) return Path();
        Path target = ParsePath(node->link);
        target.parts.insert(target.parts.end(), path.parts.begin() + static_cast<long>(i) + 1,
                            path.parts.end());
        target.trailingSlash = path.trailingSlash;
        return ThroughLinks(target, depth + 1);
    }
    return path;
}

}  // namespace

Wide FullPathText(const Wide& input) {
    Wide text = input;
    for (auto& c : text) {
        if (c == u'/') c = u'\\';
    }
    if (text.empty()) return Wide();
    if (text.compare(0, 4, u"\\\\?\\") == 0) return text;  // taken as it is
    if (text.compare(0, 2, u"\\\\") == 0) {
        // "\\server\share" is the root of a network path.
        size_t server = text.find(u'\\', 2);
        if (server == Wide::npos) return text;
        size_t share = text.find(u'\\', server + 1);
        if (share == Wide::npos) return text;
        return Fold(text, share + 1);
    }
    const Wide& current = M().currentFolder;
    if (text.size() >= 2 && text[1] == u':') {
        if (!IsLetter(text[0])) return Wide();
        if (text.size() > 2 && text[2] == u'\\') return Fold(text, 3);
        // Relative to the drive's current folder: the process's own, or the root of another
        // (a bare drive gives that folder with its backslash).
        Wide base = UpperUnit(text[0]) == UpperUnit(current[0]) ? current : text.substr(0, 2);
        if (base.back() != u'\\') base += u'\\';
        return Fold(base + text.substr(2), 3);
    }
    if (text[0] == u'\\') return Fold(current.substr(0, 2) + text, 3);
    Wide base = current;
    if (base.back() != u'\\') base += u'\\';
    return Fold(base + text, 3);
}

Path ParsePath(const Wide& input) {
    Path path;
    Wide text = input;
    for (auto& c : text) {
        if (c == u'/') c = u'\\';
    }
    if (text.empty()) return path;
    if (text.compare(0, 4, u"\\\\?\\") == 0) text = text.substr(4);
    if (text.size() == 6 && text.compare(0, 4, u"\\\\.\\") == 0 && IsLetter(text[4]) &&
        text[5] == u':') {
        path.valid = true;
        path.volume = true;
        path.drive = UpperUnit(text[4]);
        return path;
    }
    if (text.compare(0, 2, u"\\\\") == 0) return path;  // network paths: not on this machine

    Wide full = FullPathText(text);
    return full.empty() ? path : ThroughLinks(PathOfFull(full));
}

Path FollowLink(const Path& path) {
    Path p = path;
    for (int step = 0; step < kMaxLinkSteps; ++step) {
        const Node* node = p.valid && !p.volume ? FindNode(p.Key()) : nullptr;
        if (!node || node->link.empty()) return p;
        bool slash = p.trailingSlash;
        p = ParsePath(node->link);
        p.trailingSlash = slash;
    }
    return Path();
}

const Node* ChildNamed(const Wide& folderKey, const Wide& part, Wide* key) {
    *key = folderKey + u"\\" + Upper(part);
    if (const Node* node = FindNode(*key)) return node;
    Wide wanted = Upper(part);
    for (const Wide& child : ChildKeys(folderKey)) {
        const Node* node = FindNode(child);
        if (node && !node->shortName.empty() && node->shortName == wanted) {
            *key = child;
            return node;
        }
    }
    return nullptr;
}

Wide DisplayOfKey(const Wide& key) {
    Wide result = key.substr(0, 2);
    size_t start = 3;
    while (start <= key.size() && key.size() > 2) {
        size_t end = key.find(u'\\', start);
        if (end == Wide::npos) end = key.size();
        const Node* node = FindNode(key.substr(0, end));
        result += u"\\" + (node ? node->name : key.substr(start, end - start));
        start = end + 1;
    }
    return key.size() > 2 ? result : result + u"\\";
}

// ---- File system ----

Node* FindNode(const Wide& key) {
    auto it = M().nodes.find(key);
    return it == M().nodes.end() ? nullptr : &it->second;
}

uint32_t CheckDrive(char16_t drive) {
    auto it = M().drives.find(drive);
    if (it == M().drives.end()) return plat::kErrorPathNotFound;
    if (!it->second.mediumPresent) return plat::kErrorNotReady;
    return 0;
}

uint32_t CheckParent(const Path& path) {
    if (!path.valid || path.volume) return plat::kErrorPathNotFound;
    if (uint32_t error = CheckDrive(path.drive)) return error;
    const Node* parent = FindNode(path.ParentKey());
    if (!parent || !parent->folder) return plat::kErrorPathNotFound;
    return 0;
}

Node& MakeFolderNode(const Path& path) {
    Node& node = M().nodes[path.Key()];
    node.name = path.IsRoot() ? DriveKey(path.drive) : path.Name();
    node.folder = true;
    node.attributes = plat::kFileAttributeDirectory;
    node.bytes.clear();
    node.created = node.accessed = node.written = Now();
    node.security = NewSecurity(path, true);
    return node;
}

std::vector<Wide> ChildKeys(const Wide& folderKey) {
    std::vector<Wide> result;
    Wide prefix = folderKey + u"\\";
    const auto& nodes = M().nodes;
    for (auto it = nodes.lower_bound(prefix);
         it != nodes.end() && it->first.compare(0, prefix.size(), prefix) == 0; ++it) {
        if (it->first.find(u'\\', prefix.size()) == Wide::npos) result.push_back(it->first);
    }
    return result;
}

bool HasOpenHandle(const Wide& key) {
    for (const auto& entry : M().handles) {
        if (entry.second.kind == HandleObject::kFile && entry.second.file.key == key) return true;
    }
    return false;
}

uint64_t UsedBytes(char16_t drive) {
    Wide prefix = DriveKey(drive);
    uint64_t used = 0;
    const auto& nodes = M().nodes;
    for (auto it = nodes.lower_bound(prefix);
         it != nodes.end() && it->first.compare(0, prefix.size(), prefix) == 0; ++it) {
        used += it->second.bytes.size();
    }
    return used;
}

}  // namespace detail

void Reset() {
    detail::g_populated = true;
    detail::M() = detail::Machine();
    detail::Populate(detail::M());
}

namespace {

detail::Machine& Saved() {
    static detail::Machine saved;
    return saved;
}

}  // namespace

void SaveMachine() { Saved() = detail::M(); }

void RestoreMachine() { detail::M() = Saved(); }

}  // namespace fake
