// The registry: the choices of the last installation, read back as the next run's defaults, and
// the uninstall entry by which Windows lists the installed application.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Handles.h"
#include "platform/platform.h"
#include "resources/Product.h"

using plat::Wide;

// The product's own key under HKEY_CURRENT_USER, and the saved choices inside it.
constexpr char kProductKey[] = "Software\\" TSD_PRODUCT_NAME;
constexpr char kSavedChoicesKey[] = "Software\\" TSD_PRODUCT_NAME "\\Install";
// Under HKEY_LOCAL_MACHINE, or under HKEY_CURRENT_USER for a user who could not write there.
constexpr char kUninstallKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" TSD_PRODUCT_NAME;

// A thin owner of one open key.
class TRegistry {
public:
    TRegistry();  // root HKEY_CURRENT_USER, no key open
    ~TRegistry();
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    // A different root closes the current key.
    void SetRootKey(plat::HKey root);
    // Opens (or with canCreate, creates) the path under the root key with full access; it
    // becomes the current key. A leading backslash is dropped.
    bool OpenKey(const std::string& path, bool canCreate);
    // Opens an existing key only to read it (a standard user may read what it cannot change).
    bool OpenKeyReadOnly(const std::string& path);
    void CloseKey();
    bool KeyExists(const std::string& path);
    bool ValueExists(const std::string& name);
    // Empty for a missing or empty value.
    Wide ReadString(const std::string& name);
    // Four bytes whatever the value's type: true when they are not all zero.
    bool ReadBool(const std::string& name);
    void WriteString(const std::string& name, const std::string& ansiText);
    void WriteWideString(const std::string& name, const Wide& text);
    void WriteInteger(const std::string& name, int32_t value);
    void WriteBool(const std::string& name, bool value);

private:
    bool Open(const std::string& path, bool canCreate, uint32_t access);

    plat::HKey root_;
    plat::TKeyHandle current_;
    std::string currentPath_;
};

struct TSavedChoices {
    bool KeyExists = false;
    bool HasMainDir = false;
    Wide MainDir;
    bool InstallToAll = true, DesktopShortcut = true, Launch = true;
    bool HasUILang = false;
    Wide UILang;
};

// The saved choices; every value keeps its default where it is missing.
TSavedChoices ReadSavedChoices();

struct TInstallRecords {
    Wide MainDir;
    bool InstallToAll, DesktopShortcut, Launch;
    bool Portable;
};
// Writes the saved choices and, for a copy that is not portable, the uninstall entry: under
// HKEY_LOCAL_MACHINE, or under HKEY_CURRENT_USER when the machine's key cannot be created.
void WriteRegistryRecords(const TInstallRecords& records);
