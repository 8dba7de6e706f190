/* Keeps the desktop process and the wineserver running during a measured run, as the desktop
 * always runs on Windows: it makes the desktop window exist, writes the file it is given to say
 * so, and then waits until it is killed. */
#include <windows.h>

static BOOL CALLBACK Stop(HWND window, LPARAM unused) {
    (void)window; (void)unused;
    return FALSE;
}

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    GetDesktopWindow();
    EnumWindows(Stop, 0);
    HANDLE ready = CreateFileW(argv[1], GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    CloseHandle(ready);
    Sleep(INFINITE);
    return 0;
}
