// The shared data folders are the installation's when an elevated run writes them: owned by the
// administrators, changed only by them and the system, read by every user. Another user who made
// one of them first (or a folder below one) would otherwise keep the right to change what every
// user's copy of the application reads from there.
#pragma once

#include "platform/platform.h"

// Owner the Administrators group; Administrators and SYSTEM full control, Users read and execute,
// each passed on to everything made below; nothing taken from the folder above (protected).
plat::ObjectSecurity SharedFolderSecurity();

// True when the Administrators group, the system or the account of this process (an
// administrator's, as the checks run only in elevated runs) owns what the handle has open; false
// when someone else does, or when its owner cannot be read.
bool OwnedByAdministration(plat::Handle object);

// Takes the object that the handle holds over when it is not OwnedByAdministration: it gets
// SharedFolderSecurity (on it alone). False when that fails: it must not be built on.
bool TakeOverUnlessOwned(plat::Handle object);

// Gives the folder SharedFolderSecurity unless it has it already in substance: owned by the
// administration and protected (what an administrator changed since stays). A folder just made
// still takes what the folder above passes on, and gets it. False when that fails.
bool MakeShared(plat::Handle folder);
