// Files opened through the folder that holds them: NtCreateFile relative to the folder's handle.
#include "platform/win32/wide.h"

#include <winternl.h>

namespace plat {

using namespace win32;

namespace {

using NtCreateFileFn = LONG(NTAPI*)(HANDLE*, ACCESS_MASK, OBJECT_ATTRIBUTES*, IO_STATUS_BLOCK*,
                                    LARGE_INTEGER*, ULONG, ULONG, ULONG, ULONG, void*, ULONG);
using RtlNtStatusToDosErrorFn = ULONG(NTAPI*)(LONG);

constexpr ULONG kFileOpen = 1;                     // FILE_OPEN
constexpr ULONG kSynchronousIo = 0x20;             // FILE_SYNCHRONOUS_IO_NONALERT
constexpr ULONG kNonDirectoryFile = 0x40;          // FILE_NON_DIRECTORY_FILE
constexpr ULONG kOpenReparsePoint = 0x00200000;    // FILE_OPEN_REPARSE_POINT
constexpr ULONG kCaseInsensitive = 0x40;           // OBJ_CASE_INSENSITIVE

bool OneElement(const Wide& name) {
    if (name.empty() || name.find_first_not_of(u'.') == Wide::npos) return false;
    return name.find_first_of(u"\\/:") == Wide::npos;
}

}  // namespace

Handle OpenFileInFolder(Handle folder, const Wide& name, uint32_t access, uint32_t shareMode,
                        uint32_t flagsAndAttributes) {
    if (!OneElement(name) || name.size() > 32767) {
        ::SetLastError(ERROR_INVALID_NAME);
        return kInvalidHandle;
    }
    HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    static const auto create = reinterpret_cast<NtCreateFileFn>(
        reinterpret_cast<void*>(::GetProcAddress(ntdll, "NtCreateFile")));
    static const auto toError = reinterpret_cast<RtlNtStatusToDosErrorFn>(
        reinterpret_cast<void*>(::GetProcAddress(ntdll, "RtlNtStatusToDosError")));
    if (!create || !toError) {
        ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return kInvalidHandle;
    }
    UNICODE_STRING text;
    text.Buffer = const_cast<PWSTR>(W(name));
    text.Length = text.MaximumLength = static_cast<USHORT>(name.size() * sizeof(wchar_t));
    OBJECT_ATTRIBUTES attributes = {};
    attributes.Length = sizeof attributes;
    attributes.RootDirectory = H(folder);
    attributes.ObjectName = &text;
    attributes.Attributes = kCaseInsensitive;
    IO_STATUS_BLOCK io = {};
    HANDLE file = INVALID_HANDLE_VALUE;
    // What CreateFileW adds of its own: waiting on the handle and reading its attributes.
    ULONG options = kSynchronousIo | kNonDirectoryFile |
                    ((flagsAndAttributes & FILE_FLAG_OPEN_REPARSE_POINT) ? kOpenReparsePoint : 0);
    LONG status = create(&file, access | SYNCHRONIZE | FILE_READ_ATTRIBUTES, &attributes, &io,
                         nullptr, 0, shareMode, kFileOpen, options, nullptr, 0);
    if (status < 0) {
        ::SetLastError(toError(status));
        return kInvalidHandle;
    }
    return FromH(file);
}

}  // namespace plat
