#include "wizard/engine/OpenAsUser.h"

void OpenAsUser(const plat::Wide& file, const plat::Wide& parameters, int showCommand) {
    if (plat::IsProcessElevated() &&
        plat::DesktopShellExecute(file, parameters, u"", u"open", showCommand) == 0)
        return;
    plat::ShellExecuteW(u"open", file, parameters, u"", showCommand);
}
