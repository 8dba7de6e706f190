// Forced into every C++ file of the Windows builds. The C++ runtime's headers declare its string
// classes as instantiated once in the runtime library (extern templates), so a program calls the
// library's copies, which were compiled with exceptions: every member of both string classes
// comes along, and with them the unwinder and the exception runtime, in programs built without
// exceptions. Turned off, the compiler instantiates only what the program uses, as the program is
// compiled, and link-time optimisation keeps only that.
#pragma once

#include <bits/c++config.h>

#undef _GLIBCXX_EXTERN_TEMPLATE
#define _GLIBCXX_EXTERN_TEMPLATE 0
