// The run flags that every layer reads: the run mode, whether the installation has started, and
// the process exit code.
#pragma once

#include <cstdint>

// Set when the silent switch was given; fixed for the whole run.
extern bool Silent;
// Set when the installation starts writing files: the registry records and the install log are
// then written at the end of the run.
extern bool LogActive;

// Process exit codes.
constexpr int32_t kExitOk = 0;             // finished, cancelled, or stopped by a message
constexpr int32_t kExitAppRunning = 1;     // silent run: the application was running
constexpr int32_t kExitCannotWrite = 2;    // a file could not be written (or the licence text
                                           // could not be extracted in a silent run)
constexpr int32_t kExitDamaged = 3;        // the payload is missing or damaged
extern int32_t ExitCode;

// Back to the state at process start (for tests).
void ResetRunFlags();
