// The process's command line split into arguments, the same way by the setup program and by the
// application it installs (which is started with the commands the setup program writes).
#pragma once

#include <vector>

#include "platform/platform.h"

// Splits at white space (codes 1 to 32); double quotes group characters and are dropped. A NUL
// ends the text.
std::vector<plat::Wide> SplitCommandLine(const plat::Wide& commandLine);
// The process's arguments: the split command line without the program's own path.
std::vector<plat::Wide> ProgramArguments();
