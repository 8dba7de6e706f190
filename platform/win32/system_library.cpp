#include <cstring>
#include <cwchar>

#include "platform/win32/wide.h"

namespace plat::win32 {

HMODULE LoadSystemLibrary(const wchar_t* name) {
    wchar_t folder[MAX_PATH];
    UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    // Plain buffers: a wide std::string would bring the runtime's wchar_t string code along.
    wchar_t path[MAX_PATH * 2];
    size_t at = length;
    std::memcpy(path, folder, at * sizeof(wchar_t));
    if (path[at - 1] != L'\\') path[at++] = L'\\';
    size_t nameLength = std::wcslen(name);
    if (at + nameLength >= MAX_PATH * 2) return nullptr;
    std::memcpy(path + at, name, (nameLength + 1) * sizeof(wchar_t));
    return ::LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace plat::win32
