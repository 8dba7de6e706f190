// A removal that needs administrative rights: the copy's uninstall entry is the machine's, so its
// folder, its shared data and the machine's key can only be removed by an administrator.
#pragma once

#include "platform/platform.h"

using plat::Wide;

// Marks the removal that the program started again elevated: it never asks for elevation again,
// whatever its token says (with User Account Control switched off, "runas" starts a standard
// user's program unelevated, and each copy would start the next).
constexpr char16_t kElevatedSwitch[] = u"/ELEVATED";

// True when the copy in the folder (ending in a backslash) was installed for the whole machine:
// the machine's uninstall entry is this copy's (it names that folder, or none at all), or the
// folder lies under the program files folder. A copy whose entry is the user's own is removed without elevation.
bool InstalledForAllUsers(const Wide& folder);

// Starts the program again with the removal's switches ("-ui", "/S" when silent, and the mark),
// asking Windows for elevation, and waits for it: its exit code, or 1 when the user refused the
// elevation or the program could not be started (then nothing was removed).
int RemoveElevated(const Wide& program, bool silent);
