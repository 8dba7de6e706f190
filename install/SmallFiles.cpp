#include "install/SmallFiles.h"

#include "install/SafeWrite.h"

void WriteBytesToFile(const Wide& path, const std::string& bytes) {
    TSafeWrite how;
    how.ShareMode = plat::kFileShareRead;
    // An existing file is replaced whole or not at all (a data file, the install log).
    WriteWholeFile(path, bytes.data(), static_cast<uint32_t>(bytes.size()), how);
}
