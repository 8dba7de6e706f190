#include "install/SafeWrite.h"

#include <string>

#include "install/InstUtils.h"
#include "platform/Handles.h"

namespace {

// Creates the file, writes every byte in one call and lets the caller finish it; with `durable`
// the bytes (and the stamp that Finish gave) are on the disk before the file is closed. The file
// stays whatever happens; the caller removes it when it was a temporary one.
bool WriteNewContent(const plat::Wide& path, const void* data, uint32_t size,
                     const TSafeWrite& how, bool durable) {
    plat::TFileHandle file(plat::CreateFileW(path, plat::kGenericRead | plat::kGenericWrite,
                                             how.ShareMode, plat::kCreateAlways,
                                             plat::kFileAttributeNormal));
    if (!file.Valid()) return false;
    uint32_t written = 0;
    // A write that reports success for fewer bytes is a failure too.
    bool ok = plat::WriteFile(file.Get(), data, size, &written) && written == size;
    if (ok && how.Finish) how.Finish(file.Get());
    if (ok && durable) ok = plat::FlushFileBuffers(file.Get());
    return ok;
}

}  // namespace

plat::Wide TemporaryNameFor(const plat::Wide& path,
                            const std::function<bool(const plat::Wide&)>& reserved) {
    for (unsigned n = 0;; ++n) {
        std::string number = std::to_string(n);
        plat::Wide candidate = path + u".~" + plat::Wide(number.begin(), number.end());
        if (!FileExists(candidate) && !(reserved && reserved(candidate))) return candidate;
    }
}

bool WriteWholeFile(const plat::Wide& path, const void* data, uint32_t size,
                    const TSafeWrite& how) {
    // A new file written directly is not flushed: a power cut before the cache reaches the disk
    // loses no bytes that were there before, and a flush per file would slow every first
    // installation.
    if (!how.NeverPartial && !FileExists(path)) return WriteNewContent(path, data, size, how, false);
    plat::Wide temporary =
        how.Temporary.empty() ? TemporaryNameFor(path, how.Reserved) : how.Temporary;
    // The new bytes reach the disk before the name switches to them, and the switch itself is
    // written through: after a power cut the path holds either the old bytes or the new ones,
    // never a file of the right name whose bytes were still in the cache.
    bool ok = WriteNewContent(temporary, data, size, how, true) &&
              plat::MoveFileExW(temporary, path,
                                plat::kMoveFileReplaceExisting | plat::kMoveFileWriteThrough);
    if (!ok) plat::DeleteFileW(temporary);
    return ok;
}
