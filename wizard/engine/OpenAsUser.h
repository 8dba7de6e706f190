// Opening a program or a web page for the user from a setup that may run elevated.
#pragma once

#include "platform/platform.h"

// Opens the file (the installed application, a web address) with the verb "open", these
// parameters and that show command. An elevated setup opens it through the desktop's shell, so that it
// runs as the signed-in user and not as an administrator (the application's files would become
// the administrators', dragging from Explorer into it would fail, a browser would browse as
// administrator); where no desktop shell answers, or the setup is not elevated, the shell's own
// start is used. The outcome is not reported.
void OpenAsUser(const plat::Wide& file, const plat::Wide& parameters, int showCommand);
