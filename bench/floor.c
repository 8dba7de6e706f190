/* The floor of the benchmark: the least a setup program of this payload must do. It inflates the
 * one zlib resource once, asks EnumWindows once (the running check), and writes every entry with
 * one WriteFile into the same folders as the setup program, creating each folder once.
 * With the argument "/W" it only shows a message box: the floor of the first visible window. */
#include <windows.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <zlib.h>

static BOOL CALLBACK CountWindow(HWND window, LPARAM count) {
    (void)window;
    ++*(int*)count;
    return TRUE;
}

/* Creates every missing folder of the path up to its last backslash. */
static void MakeFolders(wchar_t* path) {
    for (wchar_t* p = path + 3; *p; ++p) {
        if (*p != L'\\') continue;
        *p = 0;
        CreateDirectoryW(path, NULL);
        *p = L'\\';
    }
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR args, int show) {
    (void)previous; (void)show;
    if (wcscmp(args, L"/W") == 0) {
        MessageBoxW(NULL, L"Floor", L"Floor", MB_OK);
        return 0;
    }
    HRSRC resource = FindResourceA(instance, "FILES", "FILES");
    if (!resource) return 3;
    const Bytef* stored = (const Bytef*)LockResource(LoadResource(instance, resource));
    uLong storedSize = SizeofResource(instance, resource);
    uLongf size = storedSize * 5;
    Bytef* block = (Bytef*)malloc(size);
    if (!block || uncompress(block, &size, stored, storedSize) != Z_OK) return 3;

    int windows = 0;
    EnumWindows(CountWindow, (LPARAM)&windows);

    wchar_t programs[MAX_PATH], data[MAX_PATH];
    GetEnvironmentVariableW(L"ProgramFiles", programs, MAX_PATH);
    GetEnvironmentVariableW(L"ProgramData", data, MAX_PATH);
    wcscat(programs, L"\\Tessaron\\");
    wcscat(data, L"\\Tessaron\\Public\\");

    wchar_t folder[1024] = L"";
    for (uLong at = 0; at < size;) {
        unsigned n = block[at];
        const char* name = (const char*)block + at + 1;
        int32_t length;
        memcpy(&length, block + at + 1 + n + 8, 4);
        const Bytef* bytes = block + at + 13 + n;
        at += 13 + n + (uLong)length;

        wchar_t path[1024];
        int shared = (n > 10 && memcmp(name, "Templates\\", 10) == 0) ||
                     (n > 13 && memcmp(name, "Clip Library\\", 13) == 0);
        wcscpy(path, shared ? data : programs);
        size_t base = wcslen(path);
        int w = MultiByteToWideChar(CP_UTF8, 0, name, (int)n, path + base, 1000);
        path[base + w] = 0;
        wchar_t* slash = wcsrchr(path, L'\\');
        size_t folderLength = (size_t)(slash - path) + 1;
        if (wcsncmp(folder, path, folderLength) != 0 || folder[folderLength] != 0) {
            MakeFolders(path);
            wcsncpy(folder, path, folderLength);
            folder[folderLength] = 0;
        }
        HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, NULL);
        if (file == INVALID_HANDLE_VALUE) return 2;
        DWORD written;
        BOOL ok = WriteFile(file, bytes, (DWORD)length, &written, NULL);
        CloseHandle(file);
        if (!ok || written != (DWORD)length) return 2;
    }
    return 0;
}
