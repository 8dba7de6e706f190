#include "wizard/Shortcuts.h"

#include "install/InstUtils.h"
#include "install/ShellLinks.h"
#include "resources/Product.h"
#include "wizard/lang/UILang.h"

namespace {

// Slot 0 is the Programs folder, slot 1 the desktop: all-users and current-user folder ids.
constexpr int kAllUsersFolder[2] = {plat::kCsidlCommonPrograms, plat::kCsidlCommonDesktopDirectory};
constexpr int kCurrentUserFolder[2] = {plat::kCsidlPrograms, plat::kCsidlDesktopDirectory};

}  // namespace

void PlaceShortcuts(bool forAllUsers, bool desktopShortcut, const Wide& mainDir) {
    for (int slot = 0; slot < 2; ++slot) {
        Wide primary = SpecialFolder(forAllUsers ? kAllUsersFolder[slot] : kCurrentUserFolder[slot]);
        Wide twin = SpecialFolder(forAllUsers ? kCurrentUserFolder[slot] : kAllUsersFolder[slot]);
        Wide fileName = WideOfUtf8(std::string(UIText(ProductName)) + ".lnk");
        // The other scope's shortcut goes, also when no desktop shortcut is wanted.
        if (!twin.empty()) plat::DeleteFileW(JoinPath(twin, fileName));
        if (slot == 1 && !desktopShortcut) continue;
        if (primary.empty()) primary = twin;
        MakeShortcut(JoinPath(primary, fileName), JoinPath(mainDir, kProgramFileW), mainDir,
                     WideOfUtf8(UIText(Description)));
    }
}
