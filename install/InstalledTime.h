// The last-write time that the installation gives each shared file (a template or clip item below
// the shared data folder): the payload's stamp (a whole, even local second) and one tick more.
// Nothing else gives a file that time: a ZIP's times lie on the two-second grid (or on whole
// seconds), a program saving a file gives it the moment of the save. So a shared file that carries
// it is still the one the installation wrote. The extra tick lies below the MS-DOS resolution:
// FileDateOf reads the file as the stamp. The other files get the bare stamp, as ever: nothing
// judges them by their time, and a volume with two-second times (a portable copy on a FAT drive)
// could not keep the tick.
#pragma once

#include <cstdint>

#include "platform/platform.h"

// In 100 ns ticks past the stamp.
constexpr plat::FileTime kInstalledTick = 1;

// The last-write time (UTC) of a file installed with the MS-DOS date/time, taken as local time,
// with the tick for a shared file; false when the date/time is not a valid one.
bool InstalledTimeOf(uint32_t dosTime, bool shared, plat::FileTime* utc);
// Gives an open file that time. 0, or the platform error of the step that failed.
uint32_t SetInstalledTime(plat::Handle file, uint32_t dosTime, bool shared);
// Whether a last-write time is one that the installation gives a shared file (time zones keep the
// grid).
bool IsInstalledTime(plat::FileTime lastWrite);
