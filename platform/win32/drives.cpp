// Drives and volumes.
#include "platform/win32/wide.h"

#include <winnetwk.h>

namespace plat {

using namespace win32;

uint32_t GetLogicalDrives() { return ::GetLogicalDrives(); }

uint32_t GetDriveTypeW(const Wide& root) { return ::GetDriveTypeW(root.empty() ? nullptr : W(root)); }

bool GetVolumeInformationW(const Wide& root, Wide* label, uint32_t* fileSystemFlags,
                           Wide* fileSystemName) {
    wchar_t labelBuffer[MAX_PATH + 1] = {};
    wchar_t nameBuffer[MAX_PATH + 1] = {};
    DWORD flags = 0;
    if (!::GetVolumeInformationW(W(root), label ? labelBuffer : nullptr, label ? MAX_PATH + 1 : 0,
                                 nullptr, nullptr, &flags,
                                 fileSystemName ? nameBuffer : nullptr,
                                 fileSystemName ? MAX_PATH + 1 : 0)) {
        return false;
    }
    if (label) *label = FromW(labelBuffer);
    if (fileSystemFlags) *fileSystemFlags = flags;
    if (fileSystemName) *fileSystemName = FromW(nameBuffer);
    return true;
}

uint32_t SetErrorMode(uint32_t mode) { return ::SetErrorMode(mode); }

bool DeviceIoControl(Handle device, uint32_t code, const void* in, uint32_t inSize, void* out,
                     uint32_t outSize, uint32_t* returned) {
    DWORD done = 0;
    BOOL ok = ::DeviceIoControl(H(device), code, const_cast<void*>(in), inSize, out, outSize, &done,
                                nullptr);
    if (returned) *returned = done;
    return ok != FALSE;
}

uint32_t WNetGetConnectionW(const Wide& localName, Wide* remoteName) {
    // mpr.dll is no library the system always maps from its own folder, so it is loaded by full
    // path rather than imported.
    using GetConnectionFn = DWORD(WINAPI*)(LPCWSTR, LPWSTR, LPDWORD);
    static GetConnectionFn getConnection = [] {
        HMODULE mpr = LoadSystemLibrary(L"mpr.dll");
        return mpr ? reinterpret_cast<GetConnectionFn>(reinterpret_cast<void*>(
                         ::GetProcAddress(mpr, "WNetGetConnectionW")))
                   : nullptr;
    }();
    if (!getConnection) return ERROR_NOT_CONNECTED;
    wchar_t buffer[MAX_PATH + 1] = {};
    DWORD length = MAX_PATH;
    DWORD result = getConnection(W(localName), buffer, &length);
    if (result == NO_ERROR && remoteName) *remoteName = FromW(buffer);
    return result;
}

}  // namespace plat
