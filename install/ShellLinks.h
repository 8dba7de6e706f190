// Shortcut files, written through the shell's link object.
#pragma once

#include "platform/platform.h"

// Writes a shortcut with exactly three properties (target, working folder, description), after
// creating (and logging) the folder that holds it, and logs it with a "File Copy: " line like
// any installed file. Nothing is reported; a link object the shell cannot give skips the
// shortcut and its line.
void MakeShortcut(const plat::Wide& linkPath, const plat::Wide& targetPath,
                  const plat::Wide& workingFolder, const plat::Wide& description);
