// The switches of one run, read from the command line by the entry and handed to the form.
#pragma once

#include "platform/platform.h"

struct TRunSwitches {
    // "-S" or "/S": no window; the choices of the previous installation or the defaults.
    bool Silent = false;
    // "-D<folder>": the destination, which wins over the remembered one; possibly empty.
    bool HasDestination = false;
    plat::Wide Destination;
};
