// The Start-menu and desktop shortcuts of an installation that is not portable.
#pragma once

#include "platform/platform.h"

// For the Programs folder and then the desktop: deletes the shortcut of the same name in the
// other scope, and makes the one of the chosen scope (the desktop one only when wanted), named
// after the product in the current language and pointing at mainDir\tsd.exe.
void PlaceShortcuts(bool forAllUsers, bool desktopShortcut, const plat::Wide& mainDir);
