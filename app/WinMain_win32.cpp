// The Windows entry point of the setup program.
#include <windows.h>

#include "app/Entry.h"
#include "ui/Win32Backend.h"

namespace {

// The setup program runs with the highest rights the user has, often from a downloads folder:
// no library may be taken from the program's folder or the current folder. Libraries loaded by
// name then come from the system folder only.
void RestrictLibrarySearch() {
    using SetDefaultDirectoriesFn = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    auto setDefault = reinterpret_cast<SetDefaultDirectoriesFn>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefault) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    SetDllDirectoryW(L"");
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    RestrictLibrarySearch();
    InstallWin32Backend();
    return SetupMain();
}
