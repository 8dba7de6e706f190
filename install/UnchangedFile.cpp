#include "install/UnchangedFile.h"

#include <cstring>

#include "install/FolderOwners.h"
#include "install/InstUtils.h"
#include "install/LinkGuard.h"
#include "platform/Handles.h"

namespace {

// The same bytes as data, to the end of the file: the reads compare piece by piece, and one read
// past the size must find nothing (the size holds only its low 32 bits).
bool SameBytes(plat::Handle file, const uint8_t* data, uint32_t size) {
    char buffer[65536];
    uint32_t done = 0;
    for (;;) {
        uint32_t want = size - done < sizeof buffer ? size - done : sizeof buffer;
        if (want == 0) want = 1;
        uint32_t got = 0;
        if (!plat::ReadFile(file, buffer, want, &got)) return false;
        if (got == 0) return done == size;
        if (got > size - done || std::memcmp(buffer, data + done, got) != 0) return false;
        done += got;
    }
}

}  // namespace

bool HoldsExactly(const plat::Wide& path, const void* data, uint32_t size,
                  plat::FileTime lastWrite) {
    uint32_t attributes = plat::GetFileAttributesW(path);
    // A read-only file cannot be replaced; it is left to the write to fail over it as it always
    // did.
    if (attributes == plat::kInvalidFileAttributes ||
        (attributes & (plat::kFileAttributeDirectory | plat::kFileAttributeReparsePoint |
                       plat::kFileAttributeReadOnly)))
        return false;
    // Shared for reading only: a file that another program is writing is never judged unchanged.
    plat::TFileHandle file(plat::CreateFileW(path, plat::kGenericRead, plat::kFileShareRead,
                                             plat::kOpenExisting,
                                             plat::kFileFlagOpenReparsePoint));
    if (!file.Valid()) return false;
    // What the handle reached must be the file itself, measured against its folder's final path.
    plat::Wide folder = WithoutBackslash(ExtractFolder(path));
    if (!IsFinalPathOfFile(plat::GetFinalPathNameByHandleW(file.Get()), path,
                           FinalPathOf(folder, plat::kFileFlagBackupSemantics)))
        return false;
    if (plat::GetFileSize(file.Get()) != size) return false;
    // In the administrators' folders a file that someone else owns stays theirs to change while
    // it is kept: it is written anew, and the new one is the administrators'.
    if (OwnedByTheAdministrators(path) && !OwnedByAdministration(file.Get())) return false;
    plat::FileTime written = 0;
    if (!plat::GetFileTime(file.Get(), nullptr, nullptr, &written) || written != lastWrite)
        return false;
    return SameBytes(file.Get(), static_cast<const uint8_t*>(data), size);
}
