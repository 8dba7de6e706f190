#include "install/RunFlags.h"

bool Silent = false;
bool LogActive = false;
int32_t ExitCode = kExitOk;

void ResetRunFlags() {
    Silent = false;
    LogActive = false;
    ExitCode = kExitOk;
}
