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
    // The temporary file's name when it must be a fixed one; empty for "<name>.~<n>".
    plat::Wide Temporary;
};

// Writes the bytes to the path, creating or replacing the file; true when every byte is there.
// A path where no file exists is written directly (unless NeverPartial), and a failed write
// leaves what it wrote.
// When a file exists, the bytes go to a temporary file in the same folder, flushed to the disk,
// which then replaces the old one in one move written through: whatever fails, the old file
// keeps its bytes and the temporary file is removed, and after a power cut the path holds the
// old bytes or the new ones.
bool WriteWholeFile(const plat::Wide& path, const void* data, uint32_t size,
                    const TSafeWrite& how = TSafeWrite());

// The temporary file beside the path: "<path>.~<n>", the first n from 0 on that names no
// existing file and nothing reserved.
plat::Wide TemporaryNameFor(const plat::Wide& path,
                            const std::function<bool(const plat::Wide&)>& reserved);
