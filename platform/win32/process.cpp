// Process, command line and the program's own resources.
#include <vector>

#include "platform/win32/wide.h"

namespace plat {

using namespace win32;

uint32_t GetLastError() { return ::GetLastError(); }

void SetLastError(uint32_t code) { ::SetLastError(code); }

Wide GetCommandLineW() { return FromW(::GetCommandLineW()); }

Wide GetModuleFileNameW() {
    // A result that fills the buffer may be cut: grow until it fits.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return Wide();
        if (length < buffer.size()) return FromW(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

bool RestrictLibrarySearch() {
    // Looked up, not imported: a Windows 7 without the update that brought it must still start.
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    bool restricted = setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    ::SetDllDirectoryW(L"");
    return restricted;
}

Wide GetEnvironmentVariableW(const Wide& name) {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        // The size needed, terminating nul included, when the buffer is too small.
        DWORD length = ::GetEnvironmentVariableW(W(name), buffer.data(),
                                                 static_cast<DWORD>(buffer.size()));
        if (length == 0) return Wide();
        if (length < buffer.size()) return FromW(buffer.data(), length);
        buffer.resize(length);
    }
}

namespace {

// Before the first constructor of the program or of the libraries linked into it, which may load
// libraries by name (the compiler's stack protector runtime, in the test programs that link it,
// loads the cryptographic provider) while the program's folder (a downloads or temporary folder)
// is still searched first. A constructor with a priority runs before every one without; the
// program's own call in its entry point then finds it done.
__attribute__((constructor(101))) void RestrictLibrarySearchBeforeConstructors() {
    RestrictLibrarySearch();
}

}  // namespace

bool LoadOwnResource(const char* type, const char* name, const void** data, uint32_t* size) {
    // FindResourceA itself reads "#n" as the integer id n.
    HRSRC found = ::FindResourceA(nullptr, name, type);
    if (!found) return false;
    HGLOBAL loaded = ::LoadResource(nullptr, found);
    if (!loaded) return false;
    const void* bytes = ::LockResource(loaded);
    if (!bytes) return false;
    *data = bytes;
    *size = ::SizeofResource(nullptr, found);
    return true;
}

IconHandle LoadIconW(int resourceId) {
    return reinterpret_cast<IconHandle>(
        ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resourceId)));
}

}  // namespace plat
