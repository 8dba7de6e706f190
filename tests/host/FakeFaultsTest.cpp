// The fake's faults by operation: what is counted, and that exactly the chosen call fails once.
#include <gtest/gtest.h>

#include "install/InstUtils.h"
#include "platform/fake/fake.h"
#include "wizard/engine/Registry.h"

namespace {

using fake::Operation;

TEST(FakeFaults, OnlyOperationsThatChangeTheMachineAreCounted) {
    fake::Reset();
    fake::PutFile(u"C:\\a.txt", "abc");
    std::string bytes;
    ASSERT_TRUE(ReadBytesOfFile(u"C:\\a.txt", &bytes));  // a read-only open
    EXPECT_EQ(0, fake::OperationCount(Operation::CreateFile));
    plat::Handle file = plat::CreateFileW(u"C:\\b.txt", plat::kGenericWrite, 0, plat::kCreateAlways, 0);
    uint32_t written = 0;
    plat::WriteFile(file, "", 0, &written);  // nothing to write
    plat::WriteFile(file, "xy", 2, &written);
    plat::CloseHandle(file);
    plat::CreateDirectoryW(u"C:\\d");
    plat::MoveFileExW(u"C:\\b.txt", u"C:\\d\\b.txt", 0);
    plat::DeleteFileW(u"C:\\d\\b.txt");
    plat::HKey key;
    plat::RegCreateKeyExA(plat::kHKeyCurrentUser, "Software\\X", plat::kKeyAllAccess, &key);
    plat::RegSetValueExA(key, "A", plat::kRegSz, "v", 2);
    plat::RegSetValueExW(key, u"B", plat::kRegSz, u"v", 4);
    plat::RegCloseKey(key);
    for (auto [op, count] : {std::pair{Operation::CreateFile, 1}, std::pair{Operation::WriteFile, 1},
                             std::pair{Operation::SetFileTime, 0}, std::pair{Operation::CreateFolder, 1},
                             std::pair{Operation::MoveFile, 1}, std::pair{Operation::DeleteFile, 1},
                             std::pair{Operation::RegCreateKey, 1}, std::pair{Operation::RegSetValue, 2},
                             std::pair{Operation::SaveLink, 0}})
        EXPECT_EQ(count, fake::OperationCount(op)) << fake::OperationName(op);
    EXPECT_FALSE(fake::FaultHappened());
}

TEST(FakeFaults, AFlushHoldsUntilTheBytesChangeAndAFailedOneFlushesNothing) {
    fake::Reset();
    plat::Handle file = plat::CreateFileW(u"C:\\f", plat::kGenericWrite, 0, plat::kCreateAlways, 0);
    uint32_t written = 0;
    plat::WriteFile(file, "ab", 2, &written);
    EXPECT_FALSE(fake::FlushedAt(u"C:\\f"));
    fake::FailOperation(Operation::FlushFile, 1);
    EXPECT_FALSE(plat::FlushFileBuffers(file));
    EXPECT_EQ(plat::kErrorWriteFault, plat::GetLastError());
    EXPECT_FALSE(fake::FlushedAt(u"C:\\f"));
    EXPECT_TRUE(plat::FlushFileBuffers(file));
    EXPECT_TRUE(fake::FlushedAt(u"C:\\f"));
    plat::WriteFile(file, "c", 1, &written);
    EXPECT_FALSE(fake::FlushedAt(u"C:\\f")) << "new bytes are in the cache again";
    EXPECT_TRUE(plat::FlushFileBuffers(file));
    plat::CloseHandle(file);
    EXPECT_EQ(3, fake::OperationCount(Operation::FlushFile)) << "the failed one counts";
    ASSERT_TRUE(plat::MoveFileExW(u"C:\\f", u"C:\\g", plat::kMoveFileWriteThrough));
    EXPECT_TRUE(fake::FlushedAt(u"C:\\g")) << "a move keeps what is on the disk";
    EXPECT_EQ(plat::kMoveFileWriteThrough, fake::MovedInWith(u"C:\\g"));
    file = plat::CreateFileW(u"C:\\g", plat::kGenericWrite, 0, plat::kCreateAlways, 0);
    plat::CloseHandle(file);
    EXPECT_FALSE(fake::FlushedAt(u"C:\\g")) << "truncated";
}

TEST(FakeFaults, TheChosenCallFailsOnceAndNamesItsTarget) {
    fake::Reset();
    fake::FailOperation(Operation::CreateFolder, 2);
    EXPECT_TRUE(plat::CreateDirectoryW(u"C:\\one"));
    EXPECT_FALSE(plat::CreateDirectoryW(u"C:\\two"));
    EXPECT_EQ(plat::kErrorAccessDenied, plat::GetLastError());
    EXPECT_TRUE(plat::CreateDirectoryW(u"C:\\two"));
    plat::Wide target;
    ASSERT_TRUE(fake::FaultHappened(&target));
    EXPECT_EQ(u"C:\\TWO", target);

    for (auto kind : {fake::FaultKind::Fail, fake::FaultKind::ShortWrite}) {
        fake::FailOperation(Operation::WriteFile, fake::OperationCount(Operation::WriteFile) + 1, kind);
        plat::Handle file = plat::CreateFileW(u"C:\\one\\f", plat::kGenericWrite, 0, plat::kCreateAlways, 0);
        uint32_t written = 0;
        bool ok = plat::WriteFile(file, "123456", 6, &written);
        plat::CloseHandle(file);
        EXPECT_EQ(kind == fake::FaultKind::ShortWrite, ok) << "a short write reports success";
        EXPECT_EQ(3u, written);
        EXPECT_EQ("123", fake::FileBytes(u"C:\\one\\f"));
    }
}

}  // namespace
