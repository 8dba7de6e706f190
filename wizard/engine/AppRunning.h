// Whether the installed application is running: its main window carries the window property
// "1.x Coral Wing" with a non-zero value.
#pragma once

#include "resources/Product.h"

// Looks at every top-level window, hidden and minimised ones too. False when none is marked or
// the windows cannot be enumerated.
bool IsAppRunning();
