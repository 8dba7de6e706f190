#include "standin/UserChanges.h"

#include <algorithm>

#include "install/DosTime.h"
#include "install/InstalledTime.h"

bool RunGaveInstalledTimes(const std::vector<plat::FileTime>& lastWrites) {
    return std::any_of(lastWrites.begin(), lastWrites.end(), IsInstalledTime);
}

bool ChangedByUser(plat::FileTime lastWrite, double runStamp, bool installedTimes) {
    if (IsInstalledTime(lastWrite)) return false;
    if (installedTimes) return true;
    // An earlier setup's run: its payload stamps are whole local seconds on the two-second grid,
    // which lie after the run where the machine's clock was behind the release's (or its time
    // zone behind the builder's); a program saving a file gives it the moment of the save, to a
    // fraction of a second. A file unpacked from a ZIP cannot be told from them there.
    constexpr plat::FileTime kTwoSeconds = 20000000;  // in 100 ns ticks; time zones keep the grid
    if (!runStamp || lastWrite % kTwoSeconds == 0) return false;
    plat::FileTime local;
    uint16_t dosDate, dosTime;
    if (!plat::FileTimeToLocalFileTime(lastWrite, &local) ||
        !plat::FileTimeToDosDateTime(local, &dosDate, &dosTime))
        return true;  // a time no installation gives
    return DosTimeToDate((uint32_t{dosDate} << 16) | dosTime) > runStamp;
}
