#include "wizard/engine/Registry.h"

#include <cstring>
#include <vector>

#include "install/InstUtils.h"
#include "resources/Product.h"
#include "wizard/lang/UILang.h"

TRegistry::TRegistry() : root_(plat::kHKeyCurrentUser) {}

TRegistry::~TRegistry() { CloseKey(); }

void TRegistry::SetRootKey(plat::HKey root) {
    if (root == root_) return;
    CloseKey();
    root_ = root;
}

void TRegistry::CloseKey() {
    current_.Reset();
    currentPath_.clear();
}

bool TRegistry::OpenKey(const std::string& path, bool canCreate) {
    return Open(path, canCreate, plat::kKeyAllAccess);
}

bool TRegistry::OpenKeyReadOnly(const std::string& path) { return Open(path, false, plat::kKeyRead); }

bool TRegistry::Open(const std::string& path, bool canCreate, uint32_t access) {
    // An absolute path (or no key open) is taken under the root, a relative one under the
    // current key.
    bool relative = path.empty() || path[0] != '\\';
    std::string sub = relative ? path : path.substr(1);
    plat::HKey base = relative && current_.Valid() ? current_.Get() : root_;
    plat::TKeyHandle key;
    int32_t result = canCreate ? plat::RegCreateKeyExA(base, sub, access, key.Receive())
                               : plat::RegOpenKeyExA(base, sub, access, key.Receive());
    if (result != 0) {
        key.Release();  // nothing was opened, whatever the call left there
        return false;
    }
    CloseKey();
    current_ = std::move(key);
    currentPath_ = sub;
    return true;
}

bool TRegistry::KeyExists(const std::string& path) {
    std::string sub = !path.empty() && path[0] == '\\' ? path.substr(1) : path;
    plat::TKeyHandle key;
    if (plat::RegOpenKeyExA(root_, sub, plat::kKeyAllAccess, key.Receive()) == 0) return true;
    key.Release();
    return false;
}

bool TRegistry::ValueExists(const std::string& name) {
    uint32_t type = 0, size = 0;
    return current_.Valid() &&
           plat::RegQueryValueExA(current_.Get(), name, &type, nullptr, &size) == 0;
}

Wide TRegistry::ReadString(const std::string& name) {
    uint32_t type = 0, size = 0;
    if (!current_.Valid() ||
        plat::RegQueryValueExA(current_.Get(), name, &type, nullptr, &size) != 0 || size == 0)
        return Wide();
    // The ANSI size in bytes is enough UTF-16 characters for the same text.
    std::vector<char16_t> buffer(size + 1, 0);
    uint32_t bytes = size * 2;
    if (plat::RegQueryValueExW(current_.Get(), WideOfUtf8(name), &type, buffer.data(), &bytes) != 0)
        return Wide();
    Wide text(buffer.data(), size);
    size_t nul = text.find(u'\0');
    if (nul != Wide::npos) text.resize(nul);
    return text;
}

bool TRegistry::ReadBool(const std::string& name) {
    uint8_t bytes[4] = {0, 0, 0, 0};
    uint32_t type = 0, size = sizeof bytes;
    if (!current_.Valid()) return false;
    plat::RegQueryValueExA(current_.Get(), name, &type, bytes, &size);
    return bytes[0] || bytes[1] || bytes[2] || bytes[3];
}

void TRegistry::WriteString(const std::string& name, const std::string& ansiText) {
    plat::RegSetValueExA(current_.Get(), name, plat::kRegSz, ansiText.c_str(),
                         static_cast<uint32_t>(ansiText.size() + 1));
}

void TRegistry::WriteWideString(const std::string& name, const Wide& text) {
    plat::RegSetValueExW(current_.Get(), WideOfUtf8(name), plat::kRegSz, text.c_str(),
                         static_cast<uint32_t>((text.size() + 1) * 2));
}

void TRegistry::WriteInteger(const std::string& name, int32_t value) {
    uint8_t bytes[4];
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i));
    plat::RegSetValueExA(current_.Get(), name, plat::kRegDword, bytes, 4);
}

void TRegistry::WriteBool(const std::string& name, bool value) { WriteInteger(name, value ? 1 : 0); }

TSavedChoices ReadSavedChoices() {
    TSavedChoices saved;
    TRegistry reg;
    if (!reg.KeyExists(kSavedChoicesKey)) return saved;
    saved.KeyExists = true;
    reg.OpenKey(kSavedChoicesKey, false);
    if (reg.ValueExists("MAINDIR")) {
        saved.HasMainDir = true;
        saved.MainDir = reg.ReadString("MAINDIR");
    }
    if (reg.ValueExists("INSTALLTOALL")) saved.InstallToAll = reg.ReadBool("INSTALLTOALL");
    if (reg.ValueExists("DSKSHORTCUT")) saved.DesktopShortcut = reg.ReadBool("DSKSHORTCUT");
    if (reg.ValueExists("LAUNCH")) saved.Launch = reg.ReadBool("LAUNCH");
    if (reg.ValueExists("UILANG")) {
        saved.HasUILang = true;
        saved.UILang = reg.ReadString("UILANG");
    }
    return saved;
}

void WriteRegistryRecords(const TInstallRecords& records) {
    TRegistry reg;
    reg.OpenKey(kSavedChoicesKey, true);
    reg.WriteWideString("MAINDIR", records.MainDir);
    reg.WriteBool("INSTALLTOALL", records.InstallToAll);
    reg.WriteBool("DSKSHORTCUT", records.DesktopShortcut);
    reg.WriteBool("LAUNCH", records.Launch);
    reg.WriteString("UILANG", UILangs[CurrentUILang].Code);
    if (records.Portable) return;

    Wide program = records.MainDir + u"\\" + kProgramFileW;
    Wide uninstall = u"\"" + program + u"\" " + kUninstallSwitch;
    reg.SetRootKey(plat::kHKeyLocalMachine);
    // Without administrative rights the machine's list cannot take the entry: it goes to the
    // user's own list, which Windows shows as well, so the user can still remove the copy.
    if (!reg.OpenKey(kUninstallKey, true)) {
        reg.SetRootKey(plat::kHKeyCurrentUser);
        reg.OpenKey(kUninstallKey, true);
    }
    reg.WriteWideString("DisplayIcon", program);
    reg.WriteWideString("DisplayName", DecodeUIText(UIText(ProductName)));
    reg.WriteString("DisplayVersion", TSD_VERSION);
    // Kilobytes of the main executable alone; a file that cannot be opened gives -1, so 0.
    reg.WriteInteger("EstimatedSize", FileSizeOf(program) / 1024);
    reg.WriteString("Publisher", TSD_COMPANY_NAME);
    reg.WriteWideString("UninstallString", uninstall);
    // Read by Settings, package managers and administrators' scripts.
    reg.WriteWideString("QuietUninstallString", uninstall + u" " + kQuietSwitch);
    reg.WriteWideString("InstallLocation", records.MainDir);
    reg.WriteInteger("NoModify", 1);
    reg.WriteInteger("NoRepair", 1);
}
