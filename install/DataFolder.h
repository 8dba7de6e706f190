// The product's data folder for all users, which the installation, the payload's shared files,
// the update log and the removal all use.
#pragma once

#include "platform/platform.h"

// The all-users application data folder, or the user's documents folder when the system names
// no such folder; empty when it names neither.
plat::Wide SharedDataRoot();
// "Tessaron\" under SharedDataRoot; ends with "\".
plat::Wide SharedDataFolder();

// Gives a data folder (ending in "\\", made already) the security of a shared folder
// (FolderOwners.h) when it lies in a folder guarded for the administrators, checked and held on
// the way as every write below it is. False when it cannot be given; nothing changes elsewhere.
bool MakeDataFolderShared(const plat::Wide& folder);
