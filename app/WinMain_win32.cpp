// The Windows entry point of the setup program.
#include <windows.h>

#include "app/Entry.h"
#include "ui/Win32Backend.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    InstallWin32Backend();
    return SetupMain();
}
