// Conversions shared by the Win32 side of the platform seam: wchar_t is 16 bits on Windows, so
// UTF-16 texts pass through unchanged; handles and FILETIMEs change representation only.
#pragma once

#include <windows.h>

#include "platform/platform.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "wchar_t must be UTF-16 on Windows");

namespace plat::win32 {

inline const wchar_t* W(const Wide& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

// Text up to the first NUL.
inline Wide FromW(const wchar_t* text) {
    return text ? Wide(reinterpret_cast<const char16_t*>(text)) : Wide();
}

inline Wide FromW(const wchar_t* text, size_t length) {
    return Wide(reinterpret_cast<const char16_t*>(text), length);
}

// Loads a library from the system folder by its full path: a file of the same name beside the
// program (a downloads folder) or in the current folder is never considered.
HMODULE LoadSystemLibrary(const wchar_t* name);

inline HANDLE H(Handle handle) { return reinterpret_cast<HANDLE>(handle); }
inline Handle FromH(HANDLE handle) { return reinterpret_cast<Handle>(handle); }

inline FILETIME ToFileTime(FileTime time) {
    FILETIME result;
    result.dwLowDateTime = static_cast<DWORD>(time);
    result.dwHighDateTime = static_cast<DWORD>(time >> 32);
    return result;
}

inline FileTime FromFileTime(const FILETIME& time) {
    return (static_cast<FileTime>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

}  // namespace plat::win32
