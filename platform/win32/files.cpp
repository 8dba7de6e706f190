// Files and folders.
#include <vector>

#include "platform/win32/wide.h"

namespace plat {

using namespace win32;

namespace {

void Convert(const WIN32_FIND_DATAW& from, FindData* to) {
    to->attributes = from.dwFileAttributes;
    to->creationTime = FromFileTime(from.ftCreationTime);
    to->lastAccessTime = FromFileTime(from.ftLastAccessTime);
    to->lastWriteTime = FromFileTime(from.ftLastWriteTime);
    to->size = (static_cast<uint64_t>(from.nFileSizeHigh) << 32) | from.nFileSizeLow;
    to->name = FromW(from.cFileName);
}

}  // namespace

Handle CreateFileW(const Wide& path, uint32_t access, uint32_t shareMode, uint32_t disposition,
                   uint32_t flagsAndAttributes) {
    return FromH(::CreateFileW(W(path), access, shareMode, nullptr, disposition, flagsAndAttributes,
                               nullptr));
}

bool ReadFile(Handle file, void* buffer, uint32_t count, uint32_t* read) {
    DWORD done = 0;
    BOOL ok = ::ReadFile(H(file), buffer, count, &done, nullptr);
    if (read) *read = done;
    return ok != FALSE;
}

Wide GetFinalPathNameByHandleW(Handle file) {
    std::vector<wchar_t> buffer(MAX_PATH + 1);
    for (;;) {
        DWORD length = ::GetFinalPathNameByHandleW(H(file), buffer.data(),
                                                   static_cast<DWORD>(buffer.size()), 0);
        if (length == 0) return Wide();
        if (length < buffer.size()) {
            Wide path = FromW(buffer.data(), length);
            if (path.compare(0, 8, u"\\\\?\\UNC\\") == 0) return u"\\" + path.substr(7);
            if (path.compare(0, 4, u"\\\\?\\") == 0) return path.substr(4);
            return path;
        }
        buffer.resize(length + 1);
    }
}

bool GetOpenFileFacts(Handle file, OpenFileFacts* facts) {
    FILE_BASIC_INFO basic;
    FILE_STANDARD_INFO standard;
    if (!::GetFileInformationByHandleEx(H(file), ::FileBasicInfo, &basic, sizeof basic) ||
        !::GetFileInformationByHandleEx(H(file), ::FileStandardInfo, &standard, sizeof standard))
        return false;
    facts->attributes = basic.FileAttributes;
    facts->lastWriteTime = static_cast<FileTime>(basic.LastWriteTime.QuadPart);
    facts->size = static_cast<uint64_t>(standard.EndOfFile.QuadPart);
    facts->numberOfLinks = standard.NumberOfLinks;
    return true;
}

bool GetFileInformationByHandle(Handle file, ByHandleFileInformation* info) {
    BY_HANDLE_FILE_INFORMATION got;
    if (!::GetFileInformationByHandle(H(file), &got)) return false;
    info->attributes = got.dwFileAttributes;
    info->creationTime = FromFileTime(got.ftCreationTime);
    info->lastAccessTime = FromFileTime(got.ftLastAccessTime);
    info->lastWriteTime = FromFileTime(got.ftLastWriteTime);
    info->volumeSerialNumber = got.dwVolumeSerialNumber;
    info->size = (static_cast<uint64_t>(got.nFileSizeHigh) << 32) | got.nFileSizeLow;
    info->numberOfLinks = got.nNumberOfLinks;
    info->fileIndex = (static_cast<uint64_t>(got.nFileIndexHigh) << 32) | got.nFileIndexLow;
    return true;
}

bool SetFileInformationByHandle(Handle file, const FileBasicInfo& info) {
    FILE_BASIC_INFO basic = {};
    basic.CreationTime.QuadPart = static_cast<LONGLONG>(info.creationTime);
    basic.LastAccessTime.QuadPart = static_cast<LONGLONG>(info.lastAccessTime);
    basic.LastWriteTime.QuadPart = static_cast<LONGLONG>(info.lastWriteTime);
    basic.ChangeTime.QuadPart = static_cast<LONGLONG>(info.changeTime);
    basic.FileAttributes = info.attributes;
    return ::SetFileInformationByHandle(H(file), ::FileBasicInfo, &basic, sizeof basic) != FALSE;
}

bool SetFileInformationByHandle(Handle file, const FileDispositionInfo& info) {
    FILE_DISPOSITION_INFO disposition = {};
    disposition.DeleteFile = info.deleteFile ? TRUE : FALSE;
    return ::SetFileInformationByHandle(H(file), ::FileDispositionInfo, &disposition,
                                        sizeof disposition) != FALSE;
}

uint32_t SetFilePointer(Handle file, int32_t distance, uint32_t moveMethod) {
    return ::SetFilePointer(H(file), distance, nullptr, moveMethod);
}

bool WriteFile(Handle file, const void* buffer, uint32_t count, uint32_t* written) {
    DWORD done = 0;
    BOOL ok = ::WriteFile(H(file), buffer, count, &done, nullptr);
    if (written) *written = done;
    return ok != FALSE;
}

bool FlushFileBuffers(Handle file) { return ::FlushFileBuffers(H(file)) != FALSE; }

uint32_t GetFileSize(Handle file) { return ::GetFileSize(H(file), nullptr); }

bool SetFileTime(Handle file, const FileTime* creation, const FileTime* lastAccess,
                 const FileTime* lastWrite) {
    FILETIME c, a, w;
    if (creation) c = ToFileTime(*creation);
    if (lastAccess) a = ToFileTime(*lastAccess);
    if (lastWrite) w = ToFileTime(*lastWrite);
    return ::SetFileTime(H(file), creation ? &c : nullptr, lastAccess ? &a : nullptr,
                         lastWrite ? &w : nullptr) != FALSE;
}

bool GetFileTime(Handle file, FileTime* creation, FileTime* lastAccess, FileTime* lastWrite) {
    FILETIME c, a, w;
    if (!::GetFileTime(H(file), &c, &a, &w)) return false;
    if (creation) *creation = FromFileTime(c);
    if (lastAccess) *lastAccess = FromFileTime(a);
    if (lastWrite) *lastWrite = FromFileTime(w);
    return true;
}

bool CloseHandle(Handle handle) { return ::CloseHandle(H(handle)) != FALSE; }

Handle FindFirstFileW(const Wide& pattern, FindData* found) {
    WIN32_FIND_DATAW data;
    HANDLE search = ::FindFirstFileW(W(pattern), &data);
    if (search != INVALID_HANDLE_VALUE && found) Convert(data, found);
    return FromH(search);
}

bool FindNextFileW(Handle search, FindData* found) {
    WIN32_FIND_DATAW data;
    if (!::FindNextFileW(H(search), &data)) return false;
    if (found) Convert(data, found);
    return true;
}

bool FindClose(Handle search) { return ::FindClose(H(search)) != FALSE; }

uint32_t GetFileAttributesW(const Wide& path) { return ::GetFileAttributesW(W(path)); }

bool SetFileAttributesW(const Wide& path, uint32_t attributes) {
    return ::SetFileAttributesW(W(path), attributes) != FALSE;
}

bool CreateDirectoryW(const Wide& path) { return ::CreateDirectoryW(W(path), nullptr) != FALSE; }

bool RemoveDirectoryW(const Wide& path) { return ::RemoveDirectoryW(W(path)) != FALSE; }

bool DeleteFileW(const Wide& path) { return ::DeleteFileW(W(path)) != FALSE; }

bool CopyFileW(const Wide& from, const Wide& to, bool failIfExists) {
    return ::CopyFileW(W(from), W(to), failIfExists ? TRUE : FALSE) != FALSE;
}

bool MoveFileExW(const Wide& from, const Wide& to, uint32_t flags) {
    return ::MoveFileExW(W(from), to.empty() ? nullptr : W(to), flags) != FALSE;
}

Wide GetFullPathNameW(const Wide& path) {
    // The first call gives the length with the NUL, the second the length without it.
    DWORD needed = ::GetFullPathNameW(W(path), 0, nullptr, nullptr);
    if (needed == 0) return Wide();
    std::vector<wchar_t> buffer(needed);
    DWORD length = ::GetFullPathNameW(W(path), needed, buffer.data(), nullptr);
    if (length == 0 || length >= needed) return Wide();
    return FromW(buffer.data(), length);
}

Wide GetLongPathNameW(const Wide& path) {
    // The first call gives the length with the NUL, the second the length without it.
    DWORD needed = ::GetLongPathNameW(W(path), nullptr, 0);
    if (needed == 0) return Wide();
    std::vector<wchar_t> buffer(needed);
    DWORD length = ::GetLongPathNameW(W(path), buffer.data(), needed);
    if (length == 0 || length >= needed) return Wide();
    return FromW(buffer.data(), length);
}

Wide GetCurrentDirectoryW() {
    // The first call gives the length with the NUL; the folder may change in between.
    for (;;) {
        DWORD needed = ::GetCurrentDirectoryW(0, nullptr);
        if (needed == 0) return Wide();
        std::vector<wchar_t> buffer(needed);
        DWORD length = ::GetCurrentDirectoryW(needed, buffer.data());
        if (length == 0) return Wide();
        if (length < needed) return FromW(buffer.data(), length);
    }
}

bool SetCurrentDirectoryW(const Wide& path) { return ::SetCurrentDirectoryW(W(path)) != FALSE; }

Wide GetTempPathW() {
    for (;;) {
        DWORD needed = ::GetTempPathW(0, nullptr);
        if (needed == 0) return Wide();
        std::vector<wchar_t> buffer(needed);
        DWORD length = ::GetTempPathW(needed, buffer.data());
        if (length == 0) return Wide();
        if (length < needed) return FromW(buffer.data(), length);
    }
}

}  // namespace plat
