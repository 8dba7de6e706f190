// The command line of the setup program, searched for its two switches.
//
//   "-S" or "/S"            silent run (exactly two characters; the letter in any case)
//   "-D<folder>", "/D..."   destination folder (possibly empty); the leftmost one wins
//
// Every other argument is ignored.
#pragma once

#include <vector>

#include "base/Arguments.h"
#include "platform/platform.h"
#include "wizard/RunSwitches.h"

bool IsSilentSwitch(const plat::Wide& argument);
// True and the folder when the argument is a destination switch.
bool IsDestinationSwitch(const plat::Wide& argument, plat::Wide* folder);

bool HasSilentSwitch(const std::vector<plat::Wide>& arguments);
// Examines the arguments from the last to the first, each match replacing the folder, so the
// leftmost one wins. False when there is none.
bool FindDestinationSwitch(const std::vector<plat::Wide>& arguments, plat::Wide* folder);

// The run's switches from the arguments.
TRunSwitches ReadRunSwitches(const std::vector<plat::Wide>& arguments);
