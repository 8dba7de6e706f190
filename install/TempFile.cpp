#include "install/TempFile.h"

namespace {

// Names already taken (a file, a folder, a dangling link) are skipped; this many tries make a
// folder where nothing can be created fail soon.
constexpr int kAttempts = 64;

plat::Wide Hex(uint32_t value) {
    plat::Wide text;
    for (int shift = 28; shift >= 0; shift -= 4) text += u"0123456789ABCDEF"[(value >> shift) & 0xF];
    return text;
}

// Errors that mean "something else holds this name": a file or dangling link (exists), a folder
// or a file that is being deleted (access denied). Anything else ends the search.
bool NameTaken(uint32_t error) {
    return error == plat::kErrorFileExists || error == plat::kErrorAlreadyExists ||
           error == plat::kErrorAccessDenied;
}

}  // namespace

plat::TFileHandle CreateTemporaryFile(const plat::Wide& folder, const plat::Wide& stem,
                                      const plat::Wide& extension, plat::Wide* path) {
    // Start from the clock so that two runs, or a name planted in advance, rarely meet.
    uint32_t seed = static_cast<uint32_t>(plat::GetSystemTimeAsFileTime() / 10000);
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        plat::Wide candidate = folder + stem + u"-" + Hex(seed + attempt * 0x9E3779B9u) + extension;
        plat::TFileHandle file(plat::CreateFileW(
            candidate, plat::kGenericRead | plat::kGenericWrite, 0, plat::kCreateNew,
            plat::kFileAttributeNormal | plat::kFileFlagDeleteOnClose));
        if (file.Valid()) {
            *path = candidate;
            return file;
        }
        if (!NameTaken(plat::GetLastError())) break;
    }
    return plat::TFileHandle();
}
