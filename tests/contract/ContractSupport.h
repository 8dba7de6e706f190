// Helpers of the platform contract tests. They use the plat:: interface only, so the same tests
// run against the in-memory platform on the host and against Windows under Wine.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/platform.h"

namespace contract {

using plat::Wide;

inline Wide Join(const Wide& folder, const Wide& name) {
    if (!folder.empty() && folder.back() == u'\\') return folder + name;
    return folder + u"\\" + name;
}

inline Wide Hex(uint64_t value) {
    Wide text;
    do {
        text.insert(text.begin(), u"0123456789abcdef"[value & 0xF]);
        value >>= 4;
    } while (value);
    return text;
}

// ASCII text of a wide one, for failure messages ('?' for anything else).
inline std::string Narrow(const Wide& text) {
    std::string out;
    for (char16_t c : text) out += c < 128 ? static_cast<char>(c) : '?';
    return out;
}

// Names of a folder's entries, "." and ".." included, in the order the search gives them.
inline std::vector<plat::FindData> ListFolder(const Wide& folder) {
    std::vector<plat::FindData> entries;
    plat::FindData data;
    plat::Handle search = plat::FindFirstFileW(Join(folder, u"*"), &data);
    if (search == plat::kInvalidHandle) return entries;
    do entries.push_back(data);
    while (plat::FindNextFileW(search, &data));
    plat::FindClose(search);
    return entries;
}

inline void RemoveTree(const Wide& folder) {
    for (const plat::FindData& entry : ListFolder(folder)) {
        if (entry.name == u"." || entry.name == u"..") continue;
        Wide path = Join(folder, entry.name);
        if (entry.attributes & plat::kFileAttributeDirectory) {
            RemoveTree(path);
        } else {
            plat::SetFileAttributesW(path, plat::kFileAttributeNormal);
            plat::DeleteFileW(path);
        }
    }
    plat::RemoveDirectoryW(folder);
}

inline bool WriteWholeFile(const Wide& path, const std::string& bytes) {
    plat::Handle file = plat::CreateFileW(path, plat::kGenericWrite, 0, plat::kCreateAlways,
                                          plat::kFileAttributeNormal);
    if (file == plat::kInvalidHandle) return false;
    uint32_t written = 0;
    bool ok = plat::WriteFile(file, bytes.data(), static_cast<uint32_t>(bytes.size()), &written) &&
              written == bytes.size();
    return plat::CloseHandle(file) && ok;
}

inline std::string ReadWholeFile(const Wide& path) {
    plat::Handle file = plat::CreateFileW(path, plat::kGenericRead, plat::kFileShareRead,
                                          plat::kOpenExisting, plat::kFileAttributeNormal);
    if (file == plat::kInvalidHandle) return "<cannot open>";
    std::string bytes(plat::GetFileSize(file), '\0');
    uint32_t read = 0;
    if (!bytes.empty()) plat::ReadFile(file, &bytes[0], static_cast<uint32_t>(bytes.size()), &read);
    plat::CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

inline bool IsFolder(const Wide& path) {
    uint32_t attributes = plat::GetFileAttributesW(path);
    return attributes != plat::kInvalidFileAttributes &&
           (attributes & plat::kFileAttributeDirectory);
}

// A new folder under the temporary folder, with a name of its own, removed with all its
// contents afterwards.
class ScratchTest : public ::testing::Test {
protected:
    void SetUp() override {
        static int counter = 0;
        folder_ = plat::GetTempPathW() + u"TessaronContract-" +
                  Hex(plat::GetSystemTimeAsFileTime()) + u"-" + Hex(++counter);
        ASSERT_TRUE(plat::CreateDirectoryW(folder_)) << "error " << plat::GetLastError();
    }

    void TearDown() override { RemoveTree(folder_); }

    // The scratch folder, without a trailing backslash.
    const Wide& Folder() const { return folder_; }
    Wide In(const Wide& name) const { return Join(folder_, name); }

private:
    Wide folder_;
};

}  // namespace contract
