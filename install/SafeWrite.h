// Writing a whole file so that a file already at the path is never left half replaced.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/platform.h"

struct TSafeWrite {
    uint32_t ShareMode = 0;  // sharing of the file while it is written
    // Called with the open file after all bytes were written, before it is closed (to give it
    // its time stamp); its outcome does not change the result.
    std::function<void(plat::Handle)> Finish;
    // Names that the temporary file must not take besides existing files (the files that the
    // same run still has to write).
    std::function<bool(const plat::Wide&)> Reserved;
    // A new file goes through a temporary one as well, so that no partial file is ever left
    // (for a log, whose last line would be cut).
    bool NeverPartial = false;
    // With KeepUnchanged, an existing file that already holds exactly these bytes and this
    // last-write time (UTC), and is a plain file reached as itself (HoldsExactly), is left as it
    // is: nothing is written, flushed or moved, and the write counts as done. What a killed run
    // left at the temporary name that a replacement would take is still removed.
    bool KeepUnchanged = false;
    plat::FileTime LastWrite = 0;
};

// Writes the bytes to the path, creating or replacing the file; true when every byte is there.
// Nothing is written where a link lies on the way from a guarded folder (LinkGuard), and a link
// or folder at the path itself makes the write fail: it is neither followed nor replaced.
// An unchanged file is kept (KeepUnchanged).
// A path where nothing exists is created new (never opening what may appear there meanwhile)
// and written directly (unless NeverPartial); a failed write leaves what it wrote.
// When a file exists, the bytes go to a temporary file in the same folder, created new and
// flushed to the disk, which then replaces the old one in one move written through: whatever
// fails, the old file keeps its bytes and the temporary file is removed, and after a power cut
// the path holds the old bytes or the new ones.
bool WriteWholeFile(const plat::Wide& path, const void* data, uint32_t size,
                    const TSafeWrite& how = TSafeWrite());

// The temporary file beside the path: "<path>.~<n>", the first n from 0 on that names nothing and
// nothing reserved. A plain file found at such a name is what a killed run left, and is removed
// to make room; folders, links and files that cannot be removed are passed over. Empty when no
// name was found in many tries.
plat::Wide TemporaryNameFor(const plat::Wide& path,
                            const std::function<bool(const plat::Wide&)>& reserved);

// Removes the plain files that killed runs left at the temporary names of the path (folders and
// links there are left alone); false when one of them could not be removed.
bool RemoveTemporaryLeftovers(const plat::Wide& path);

// True when the name ends in ".~" and digits, the mark of a temporary file of this scheme;
// *original (when given) then gets the name it stands beside.
bool IsTemporaryName(const plat::Wide& name, plat::Wide* original = nullptr);
