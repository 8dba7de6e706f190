#include "standin/Elevation.h"

#include "install/InstUtils.h"
#include "resources/Product.h"
#include "standin/Uninstall.h"
#include "wizard/engine/Registry.h"

bool InstalledForAllUsers(const Wide& folder) {
    Wide programFiles = SpecialFolder(plat::kCsidlProgramFiles);
    if (!programFiles.empty() && PathStartsWith(folder, JoinPath(programFiles, u""))) return true;
    TRegistry registry;
    registry.SetRootKey(plat::kHKeyLocalMachine);
    if (!registry.OpenKeyReadOnly(kUninstallKey)) return false;
    Wide location = registry.ReadString("InstallLocation");
    // An entry written before the location was recorded names the program as its icon.
    if (location.empty()) location = ExtractFolder(registry.ReadString("DisplayIcon"));
    return !location.empty() && SamePath(JoinPath(location, u""), folder);
}

int RemoveElevated(const Wide& program, bool silent) {
    Wide arguments = kUninstallSwitch;
    if (silent) arguments += Wide(u" ") + kQuietSwitch;
    arguments += Wide(u" ") + kElevatedSwitch;
    uint32_t code = 0;
    if (!plat::ShellExecuteExW(u"runas", program, arguments, plat::kSwShow, &code))
        return kUninstallRefused;
    return static_cast<int>(code);
}
