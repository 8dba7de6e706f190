// How the removal tells a shared file that the user changed from the one a run placed, by its
// last-write time alone: the logs hold no more than the run's stamp.
#pragma once

#include <vector>

#include "platform/platform.h"

// Whether the run whose files these are gave them the installation's time (IsInstalledTime): this
// setup does, earlier ones gave the bare payload stamp. One file that still carries it tells.
bool RunGaveInstalledTimes(const std::vector<plat::FileTime>& lastWrites);

// Whether the user changed the file after the run that placed it. Where the run gave the
// installation's time, any other time is the user's (a file unpacked from a ZIP too). Where it did
// not, a time after the run's stamp (a local date value; 0: unknown, nothing counts as changed)
// is the user's unless it lies on the two-second grid, where it is taken for a payload stamp.
bool ChangedByUser(plat::FileTime lastWrite, double runStamp, bool installedTimes);
