// The program files folders. A 32-bit program on 64-bit Windows sees its own,
// "C:\Program Files (x86)", as the program files folder; the native "C:\Program Files" is the
// other one. Rules that keep something out of the program files folder hold for both.
#pragma once

#include <vector>

#include "platform/platform.h"

using Wide = plat::Wide;

// The program files folder of this program's view, then the 32-bit and the native one, each
// once and without a trailing backslash; on 32-bit Windows these are one folder. Empty when
// Windows names none.
std::vector<Wide> ProgramFilesFolders();
// The path is one of the program files folders or lies inside one.
bool InProgramFiles(const Wide& path);
