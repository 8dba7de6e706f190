#include "standin/Elevation.h"

#include <algorithm>

#include "install/InstUtils.h"
#include "install/ProgramFolders.h"
#include "resources/Product.h"
#include "standin/InstalledCopy.h"
#include "standin/Uninstall.h"

bool InstalledForAllUsers(const Wide& folder) {
    if (InProgramFiles(folder)) return true;
    // The machine's entry is this copy's: the removal will delete it, which takes an
    // administrator.
    std::vector<plat::HKey> own = ReadUninstallEntries(folder).Own;
    return std::find(own.begin(), own.end(), plat::kHKeyLocalMachine) != own.end();
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
