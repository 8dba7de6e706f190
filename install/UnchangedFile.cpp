#include "install/UnchangedFile.h"

#include <cstring>

#include "install/FolderOwners.h"
#include "install/InstUtils.h"
#include "install/LinkGuard.h"
#include "platform/Handles.h"

namespace {

// The same bytes as data: the file's size is already known to be `size`, and nobody can write to
// it while this handle (shared for reading only) is open.
bool SameBytes(plat::Handle file, const uint8_t* data, uint32_t size) {
    char buffer[65536];
    uint32_t done = 0;
    while (done < size) {
        uint32_t want = size - done < sizeof buffer ? size - done : sizeof buffer;
        uint32_t got = 0;
        if (!plat::ReadFile(file, buffer, want, &got) || got == 0 || got > want ||
            std::memcmp(buffer, data + done, got) != 0)
            return false;
        done += got;
    }
    return true;
}

}  // namespace

bool HoldsExactly(const plat::Wide& path, const void* data, uint32_t size,
                  plat::FileTime lastWrite) {
    // Shared for reading only: a file that another program is writing is never judged unchanged.
    // A folder does not open without backup semantics.
    // In a folder that the run holds, the file is opened through that folder's handle: it is then
    // the folder's own, whatever became of the names above it. Elsewhere it is opened by its path.
    plat::Wide parent = ExtractFolder(path);
    plat::Wide folder = WithoutBackslash(parent);
    plat::Handle held = HeldFolder(folder);
    constexpr uint32_t kShare = plat::kFileShareRead;
    constexpr uint32_t kItself = plat::kFileFlagOpenReparsePoint;
    plat::TFileHandle file(
        held != plat::kInvalidHandle
            ? plat::OpenFileInFolder(held, path.substr(parent.size()),
                                     plat::kGenericRead, kShare, kItself)
            : plat::CreateFileW(path, plat::kGenericRead, kShare, plat::kOpenExisting, kItself));
    if (!file.Valid()) return false;
    // Everything else is read on the handle, in one call. A read-only file cannot be replaced;
    // it is left to the write to fail over it as it always did. A file with a second name is
    // also another name's: replacing it, as ever, leaves that one alone.
    plat::OpenFileFacts facts;
    if (!plat::GetOpenFileFacts(file.Get(), &facts) ||
        (facts.attributes & (plat::kFileAttributeDirectory | plat::kFileAttributeReparsePoint |
                             plat::kFileAttributeReadOnly)) ||
        facts.numberOfLinks != 1 || facts.size != size || facts.lastWriteTime != lastWrite)
        return false;
    // What the handle reached must be the file itself, measured against its folder's final path:
    // the one its check found, else the folder's now. Windows opens a link there as the link,
    // which the attributes above refuse; Wine opens what it leads to even through the folder's
    // handle, and only the final path tells.
    plat::Wide folderFinal = held != plat::kInvalidHandle
                                 ? HeldFolderFinal(folder)
                                 : FinalPathOf(folder, plat::kFileFlagBackupSemantics);
    if (!IsFinalPathOfFile(plat::GetFinalPathNameByHandleW(file.Get()), path, folderFinal))
        return false;
    // In the administrators' folders a file that someone else owns stays theirs to change while
    // it is kept: it is written anew, and the new one is the administrators'.
    if (OwnedByTheAdministrators(path) && !OwnedByAdministration(file.Get())) return false;
    return SameBytes(file.Get(), static_cast<const uint8_t*>(data), size);
}
