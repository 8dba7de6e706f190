// The command line: split into arguments and searched for the two switches.
//
//   "-S" or "/S"            silent run (exactly two characters; the letter in any case)
//   "-D<folder>", "/D..."   destination folder (possibly empty); the leftmost one wins
//
// Every other argument is ignored.
#pragma once

#include <vector>

#include "platform/platform.h"

// Splits at white space (codes 1 to 32); double quotes group characters and are dropped. A NUL
// ends the text.
std::vector<plat::Wide> SplitCommandLine(const plat::Wide& commandLine);
// The process's arguments: the split command line without the program's own path.
std::vector<plat::Wide> ProgramArguments();

bool IsSilentSwitch(const plat::Wide& argument);
// True and the folder when the argument is a destination switch.
bool IsDestinationSwitch(const plat::Wide& argument, plat::Wide* folder);

bool HasSilentSwitch(const std::vector<plat::Wide>& arguments);
// Examines the arguments from the last to the first, each match replacing the folder, so the
// leftmost one wins. False when there is none.
bool FindDestinationSwitch(const std::vector<plat::Wide>& arguments, plat::Wide* folder);
