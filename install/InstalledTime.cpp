#include "install/InstalledTime.h"

#include "install/InstUtils.h"

namespace {

constexpr plat::FileTime kTwoSeconds = 20000000;  // in 100 ns ticks

}  // namespace

bool InstalledTimeOf(uint32_t dosTime, bool shared, plat::FileTime* utc) {
    if (!FileTimeOfDosTime(dosTime, utc)) return false;
    if (shared) *utc += kInstalledTick;
    return true;
}

uint32_t SetInstalledTime(plat::Handle file, uint32_t dosTime, bool shared) {
    plat::FileTime utc;
    if (!InstalledTimeOf(dosTime, shared, &utc)) return plat::GetLastError();
    if (!plat::SetFileTime(file, nullptr, nullptr, &utc)) return plat::GetLastError();
    return 0;
}

bool IsInstalledTime(plat::FileTime lastWrite) { return lastWrite % kTwoSeconds == kInstalledTick; }
