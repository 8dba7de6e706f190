/* Starts a program and prints the milliseconds until its first visible top-level window, then
 * ends it. Usage: firstwin PROGRAM [ARGS...] (the rest of the command line is passed on). */
#include <windows.h>
#include <stdio.h>

static DWORD target;

static BOOL CALLBACK FindVisible(HWND window, LPARAM found) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == target && IsWindowVisible(window)) {
        *(HWND*)found = window;
        return FALSE;
    }
    return TRUE;
}

int main(void) {
    /* The command line after our own name, quotes and all. */
    wchar_t* line = GetCommandLineW();
    int quoted = 0;
    while (*line && (quoted || (*line != L' ' && *line != L'\t'))) {
        if (*line == L'"') quoted = !quoted;
        ++line;
    }
    while (*line == L' ' || *line == L'\t') ++line;
    if (!*line) return 2;

    GetDesktopWindow();
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    STARTUPINFOW startup = {sizeof startup};
    PROCESS_INFORMATION process;
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(NULL, line, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
        return 3;
    target = process.dwProcessId;
    HWND found = NULL;
    for (;;) {
        EnumWindows(FindVisible, (LPARAM)&found);
        QueryPerformanceCounter(&now);
        if (found) break;
        if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0) return 4;
        if ((now.QuadPart - start.QuadPart) > frequency.QuadPart * 30) return 5;
    }
    printf("%.1f\n", (double)(now.QuadPart - start.QuadPart) * 1000.0 / (double)frequency.QuadPart);
    fflush(stdout);
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 5000);
    return 0;
}
