// Which drive a folder lies on, and how to describe a drive: the drive selector lists drives with
// their labels or network names, and a copy on a removable or USB drive is portable by default.
// Nothing here raises or shows a message.
#pragma once

#include <cstdint>

#include "platform/platform.h"

// "X:" for a drive-lettered path, "\\server\share" for a UNC path, otherwise empty.
plat::Wide DriveOf(const plat::Wide& path);
// The platform's drive type of the path's drive root.
uint32_t DriveTypeOf(const plat::Wide& path);
// A drive the platform calls removable, or a fixed disk attached by USB or IEEE 1394 (or with
// removable media) according to the storage query. Network, optical and RAM drives never are.
bool IsRemovableDrive(const plat::Wide& path);
// "[label]" in the letter's case, or empty when the drive has no label or cannot be read. Never
// lets the system ask for a disk.
plat::Wide VolumeLabelOf(char16_t letter);
// The remote name of a network drive in the letter's case, else VolumeLabelOf.
plat::Wide NetworkNameOf(char16_t letter);
