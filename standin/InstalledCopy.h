// Which installation a removal belongs to. Installing to a second folder moves the uninstall
// entry, the shortcuts and the shared data to the new copy; the old copy's removal must then
// leave them to it. And a copy whose install log is missing, while the uninstall entry names its
// folder, is still an installed copy: what belongs to it is found by the entry, by the product's
// file names and by where its shortcuts point.
#pragma once

#include <vector>

#include "platform/platform.h"

using plat::Wide;

struct TUninstallEntries {
    // The roots (HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER) whose entry is this copy's: it names
    // this folder, or no folder at all (an entry too old to tell).
    std::vector<plat::HKey> Own;
    // Whether an entry names this folder in so many words.
    bool NamesThisFolder = false;
    // The folder that an entry of another copy names; empty when none does.
    Wide OtherFolder;
};

// The uninstall entries as they concern the copy in `folder` (ending in "\").
TUninstallEntries ReadUninstallEntries(const Wide& folder);

// True when both texts name one folder: the same text, or folders that exist and open as the
// same one.
bool SameFolder(const Wide& a, const Wide& b);

// The product's program files in the folder, by the product's own names, for a copy without an
// install log.
std::vector<Wide> ProgramFilesIn(const Wide& folder);

// The shortcut files named for the product (in any interface language) in the Start-menu and
// desktop folders of the user and of all users whose target is the program.
std::vector<Wide> ShortcutsTo(const Wide& program);

// Whether the shortcut file's target is the program; false when it cannot be read.
bool ShortcutPointsAt(const Wide& shortcut, const Wide& program);

// Whether the removal may leave its own program file, log and folder to be deleted by path at the
// next start of Windows: only where no other user can write, so that nothing can stand in their
// place by then. That is the machine's program files folder and what lies below it (`folder`
// ends in "\"); a folder elsewhere may be anyone's.
bool MayDeleteAtRestart(const Wide& folder);
