#include "install/SafeWrite.h"

#include <string>

#include "install/InstUtils.h"
#include "platform/Handles.h"

namespace {

constexpr uint32_t kMoveFileReplaceExisting = 0x1;

// Creates the file, writes every byte in one call and lets the caller finish it. The file stays
// whatever happens; the caller removes it when it was a temporary one.
bool WriteNewContent(const plat::Wide& path, const void* data, uint32_t size,
                     const TSafeWrite& how) {
    plat::TFileHandle file(plat::CreateFileW(path, plat::kGenericRead | plat::kGenericWrite,
                                             how.ShareMode, plat::kCreateAlways,
                                             plat::kFileAttributeNormal));
    if (!file.Valid()) return false;
    uint32_t written = 0;
    // A write that reports success for fewer bytes is a failure too.
    bool ok = plat::WriteFile(file.Get(), data, size, &written) && written == size;
    if (ok && how.Finish) how.Finish(file.Get());
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
    if (!how.NeverPartial && !FileExists(path)) return WriteNewContent(path, data, size, how);
    plat::Wide temporary = TemporaryNameFor(path, how.Reserved);
    bool ok = WriteNewContent(temporary, data, size, how) &&
              plat::MoveFileExW(temporary, path, kMoveFileReplaceExisting);
    if (!ok) plat::DeleteFileW(temporary);
    return ok;
}
