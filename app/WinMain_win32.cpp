// The Windows entry point of the setup program.
#include <windows.h>

#include "app/Entry.h"
#include "platform/platform.h"
#include "ui/Win32Backend.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    // The setup program runs with the highest rights the user has, often from a downloads folder:
    // no library may come from there or from the current folder.
    plat::RestrictLibrarySearch();
    InstallWin32Backend();
    return SetupMain();
}
