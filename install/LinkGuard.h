// The folders that an installation writes below (the installation folder, the shared data folder)
// may have been prepared by another user before an elevated run: a junction, a symbolic link or a
// mount point inside them would lead the writes elsewhere. Nothing is written through one.
#pragma once

#include "platform/platform.h"

// Adds a folder (ending in a backslash) below which nothing may be reached through a link; the
// folder itself counts as below it.
void GuardFolder(const plat::Wide& root);
// No folder is guarded any more (a new run).
void ForgetGuardedFolders();
// The run forgets which folders it found to be real ones (the user may change the disk while a
// question is open).
void ForgetCheckedFolders();

// True when the path (a file or folder to be written) lies below no guarded folder, or when no
// folder from that guarded folder down to the path's own folder is a reparse point. Each folder
// is asked once a run. A folder that does not exist yet passes: it will be made a real one.
bool NoLinkOnTheWay(const plat::Wide& path);

// True when the path names a reparse point itself.
bool IsLink(const plat::Wide& path);

// True when the path names a plain file that is reached as itself: not a folder, not a reparse
// point, and the file that opening it reaches is the one of that path (Wine shows a symbolic link
// to a file as a plain file, but the final path of what it opens is the target's).
bool IsPlainFileAt(const plat::Wide& path);
