// Whether a file already holds what a write would give it, so that a reinstallation leaves the
// files that are already there as they are.
#pragma once

#include <cstdint>

#include "platform/platform.h"

// True when the path names a plain, writable file with one name, reached as itself (no folder,
// no link, nothing read through a link: opened through the folder's handle where the run holds
// the folder, else checked with IsFinalPathOfFile) whose last-write time (UTC) is exactly
// `lastWrite` and whose bytes are exactly these. A file that another program has open for
// writing, or that cannot be read to its end, is not unchanged. A size that differs decides
// before any byte is read.
bool HoldsExactly(const plat::Wide& path, const void* data, uint32_t size,
                  plat::FileTime lastWrite);
