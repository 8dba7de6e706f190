// The folders that an installation writes below (the installation folder, the shared data folder)
// may have been prepared by another user before an elevated run: a junction, a symbolic link or a
// mount point inside them would lead the writes elsewhere. Nothing is written through one.
#pragma once

#include "platform/platform.h"

// Who must own the folders below a guarded root: anyone, or (the shared data folder of an
// elevated run) the administrators, who take over any folder on the way that someone else owns.
enum class TFolderOwners { Anyone, Administrators };

// Adds a folder (ending in a backslash) below which nothing may be reached through a link; the
// folder itself counts as below it.
void GuardFolder(const plat::Wide& root, TFolderOwners owners = TFolderOwners::Anyone);
// No folder is guarded any more (a new run).
void ForgetGuardedFolders();
// The run forgets which folders it found to be real ones, and lets them go (the user may change the
// disk while a question is open).
void ForgetCheckedFolders();

// True when the path (a file or folder to be written) lies below no guarded folder, or when every
// folder from that guarded folder down to the path's own folder is a real one, reached as itself
// (checked on its handle: no reparse point, its final path the one above it and its name). Each
// folder is checked once a run and held open from then on, without sharing its deletion, until
// the run forgets it: nobody can rename it or put a link in its place meanwhile. A folder that
// does not exist yet passes: it will be made a real one. Below a root of the administrators,
// each folder on the way that another account owns is also taken over (FolderOwners.h) on the
// handle that holds it, before anything is made below it; one that cannot be is refused.
bool NoLinkOnTheWay(const plat::Wide& path);

// The handle that holds the folder (checked by NoLinkOnTheWay in this run), or kInvalidHandle.
plat::Handle HeldFolder(const plat::Wide& folder);
// The final path that the held folder's check found, or an empty text when it is not held.
plat::Wide HeldFolderFinal(const plat::Wide& folder);
// False only when the folder is held in this run and, when first asked about the pattern (such as
// "*.~*"), had no entry that matches it; true otherwise, and whenever that could not be told. The
// answer is kept for the rest of the run: it serves to skip looking for names one by one that a
// run before this one may have left, not for anything this run makes there.
bool HeldFolderMayHold(const plat::Wide& folder, const plat::Wide& pattern);

// True when the latest NoLinkOnTheWay found the folder, or one above it, missing when it tried to
// open it: a moment ago there was nothing there to look for.
bool MissingAtTheLastWalk(const plat::Wide& folder);

// True when the folder is held in this run and already existed when the run first looked for it
// (a folder of an earlier installation, not one this run made).
bool HeldFolderWasThere(const plat::Wide& folder);

// True when the path lies in a folder guarded for the administrators (the folder itself
// included).
bool OwnedByTheAdministrators(const plat::Wide& path);

// The path of what opening `path` reaches (with `flags`, such as kFileFlagOpenReparsePoint or
// kFileFlagBackupSemantics for a folder), asking for no access rights so that a file another
// program holds open can still be examined; empty when it cannot be opened.
plat::Wide FinalPathOf(const plat::Wide& path, uint32_t flags);

// True when `final`, the final path of what `path` opened, is that file itself: the final path
// of its folder (`folderFinal`; empty: the folder as written) and its own name. Wine shows a
// symbolic link to a file with its target's attributes and opens the target even when asked for
// the link: only the final path tells. The folder's final path is the measure, so that a folder
// reached by another spelling (a short name, a mapped drive, the user's junction above it) does
// not make its files look like links.
bool IsFinalPathOfFile(const plat::Wide& final, const plat::Wide& path,
                       const plat::Wide& folderFinal);

// True when the path names a plain file that is reached as itself: not a folder, not a reparse
// point, and IsFinalPathOfFile.
bool IsPlainFileAt(const plat::Wide& path);
