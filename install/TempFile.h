// A file of the run's own in a folder that other programs may write to (the temporary folder).
#pragma once

#include "platform/Handles.h"
#include "platform/platform.h"

// Creates a new, empty file "<stem>-<hex>.<extension>" in the folder (which ends in a backslash)
// under a name that no file, folder or link holds yet: the file is created only where nothing of
// that name exists, so nothing that stands there already is ever opened, followed or replaced.
// The file is opened for reading and writing, shared with nobody, and deleted when the handle is
// closed. An invalid handle when no name could be created; *path names the file otherwise.
plat::TFileHandle CreateTemporaryFile(const plat::Wide& folder, const plat::Wide& stem,
                                      const plat::Wide& extension, plat::Wide* path);
