// The Windows entry point of the setup program.
#include <windows.h>

#include "app/Entry.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) { return SetupMain(); }
