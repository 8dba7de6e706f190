// The setup program's run, from the command line to the exit code.
#pragma once

#include <cstdint>

// Runs the setup program and gives the process exit code (see install/RunFlags.h).
int32_t SetupMain();
