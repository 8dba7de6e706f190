// The removal's switches on tsd.exe's command line, as the uninstall entry, the user and the
// program's own elevated restart write them.
#pragma once

#include <vector>

#include "platform/platform.h"
#include "standin/Uninstall.h"

// Whether the arguments ask for the removal ("-ui", in any case); then sets its options: silent
// with "-S" or "/S", and allowed to ask for elevation only without the mark of the copy that was
// started elevated (whose restart would otherwise ask again, without end).
bool ReadRemovalSwitches(const std::vector<plat::Wide>& arguments, TUninstallOptions* options);
