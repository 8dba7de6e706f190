// Links on the fake machine behave as junctions and symbolic links do on Windows: followed on the
// way to what lies below them and by CreateFileW, seen as themselves (with the reparse attribute)
// by attribute queries, searches, deletions and moves.
#include <gtest/gtest.h>

#include "platform/fake/fake.h"
#include "platform/platform.h"

namespace {

using plat::Wide;

class FakeLinks : public testing::Test {
protected:
    void SetUp() override {
        fake::Reset();
        fake::PutFile(u"C:\\Victim\\v.txt", "victim");
        fake::PutLink(u"C:\\Data\\j", u"C:\\Victim", true);
        fake::PutLink(u"C:\\Data\\f.txt", u"C:\\Victim\\v.txt", false);
        fake::PutLink(u"C:\\Data\\dangling.txt", u"C:\\Victim\\new.txt", false);
    }
    static plat::Handle Open(const Wide& path, uint32_t disposition, uint32_t flags = 0) {
        return plat::CreateFileW(path, plat::kGenericRead | plat::kGenericWrite, 0, disposition, flags);
    }
};

TEST_F(FakeLinks, AreSeenAsThemselvesWithTheReparseAttribute) {
    EXPECT_EQ(plat::kFileAttributeReparsePoint | plat::kFileAttributeDirectory,
              plat::GetFileAttributesW(u"C:\\Data\\j"));
    EXPECT_EQ(plat::kFileAttributeReparsePoint | plat::kFileAttributeArchive,
              plat::GetFileAttributesW(u"C:\\Data\\dangling.txt"));
    plat::FindData found;
    plat::Handle search = plat::FindFirstFileW(u"C:\\Data\\j", &found);
    ASSERT_NE(plat::kInvalidHandle, search);
    EXPECT_TRUE(found.attributes & plat::kFileAttributeReparsePoint);
    plat::FindClose(search);
}

TEST_F(FakeLinks, AreFollowedOnTheWayAndByCreateFile) {
    EXPECT_EQ(plat::kFileAttributeArchive, plat::GetFileAttributesW(u"C:\\Data\\j\\v.txt"));
    plat::Handle file = Open(u"C:\\Data\\f.txt", plat::kOpenExisting);
    ASSERT_NE(plat::kInvalidHandle, file);
    EXPECT_EQ(u"C:\\Victim\\v.txt", plat::GetFinalPathNameByHandleW(file));
    plat::CloseHandle(file);
    // Through a dangling link CREATE_ALWAYS creates the target; CREATE_NEW never opens a name
    // that a link holds.
    EXPECT_EQ(plat::kInvalidHandle, Open(u"C:\\Data\\dangling.txt", plat::kCreateNew));
    EXPECT_EQ(80u, plat::GetLastError());
    file = Open(u"C:\\Data\\dangling.txt", plat::kCreateAlways);
    ASSERT_NE(plat::kInvalidHandle, file);
    plat::CloseHandle(file);
    EXPECT_TRUE(fake::FileExistsAt(u"C:\\Victim\\new.txt"));
    // Opened as the link itself, it names the link.
    file = Open(u"C:\\Data\\f.txt", plat::kOpenExisting, plat::kFileFlagOpenReparsePoint);
    ASSERT_NE(plat::kInvalidHandle, file);
    EXPECT_EQ(u"C:\\Data\\f.txt", plat::GetFinalPathNameByHandleW(file));
    plat::CloseHandle(file);
}

TEST_F(FakeLinks, DeletingAndMovingActOnTheLinkItself) {
    EXPECT_TRUE(plat::DeleteFileW(u"C:\\Data\\f.txt"));
    EXPECT_EQ("victim", fake::FileBytes(u"C:\\Victim\\v.txt"));
    EXPECT_TRUE(plat::RemoveDirectoryW(u"C:\\Data\\j"));
    EXPECT_TRUE(fake::FolderExistsAt(u"C:\\Victim"));
    EXPECT_TRUE(plat::MoveFileExW(u"C:\\Data\\dangling.txt", u"C:\\Data\\moved.txt", 0));
    EXPECT_EQ(plat::kFileAttributeReparsePoint | plat::kFileAttributeArchive,
              plat::GetFileAttributesW(u"C:\\Data\\moved.txt"));
    EXPECT_EQ((std::vector<Wide>{u"v.txt"}), fake::ListTree(u"C:\\Victim"));
}

TEST_F(FakeLinks, ALoopEndsInAnError) {
    fake::PutLink(u"C:\\Loop\\a", u"C:\\Loop\\b", true);
    fake::PutLink(u"C:\\Loop\\b", u"C:\\Loop\\a", true);
    EXPECT_EQ(plat::kInvalidFileAttributes, plat::GetFileAttributesW(u"C:\\Loop\\a\\x.txt"));
    EXPECT_EQ(plat::kInvalidHandle, Open(u"C:\\Loop\\a\\x.txt", plat::kCreateAlways));
}

}  // namespace

namespace {

// The fake acting as Wine does with Unix symbolic links: a link to a file looks like its target
// and every removal lands on the target, so a program that deletes a link loses the target.
TEST_F(FakeLinks, UnderWineALinkToAFileLooksLikeItsTargetAndDeletesActOnTargets) {
    fake::SetLinksAsUnderWine(true);
    EXPECT_EQ(plat::kFileAttributeArchive, plat::GetFileAttributesW(u"C:\\Data\\f.txt"));
    plat::FindData found;
    plat::Handle search = plat::FindFirstFileW(u"C:\\Data\\f.txt", &found);
    ASSERT_NE(plat::kInvalidHandle, search);
    EXPECT_EQ(plat::kFileAttributeArchive, found.attributes);
    plat::FindClose(search);
    EXPECT_EQ(plat::kFileAttributeReparsePoint | plat::kFileAttributeDirectory,
              plat::GetFileAttributesW(u"C:\\Data\\j"));
    // Opening the link itself is not honoured: the handle is the target's.
    plat::Handle file = Open(u"C:\\Data\\f.txt", plat::kOpenExisting, plat::kFileFlagOpenReparsePoint);
    ASSERT_NE(plat::kInvalidHandle, file);
    EXPECT_EQ(u"C:\\Victim\\v.txt", plat::GetFinalPathNameByHandleW(file));
    plat::CloseHandle(file);

    EXPECT_TRUE(plat::DeleteFileW(u"C:\\Data\\f.txt"));
    EXPECT_FALSE(fake::FileExistsAt(u"C:\\Victim\\v.txt"));
    EXPECT_TRUE(plat::RemoveDirectoryW(u"C:\\Data\\j"));
    EXPECT_FALSE(fake::FolderExistsAt(u"C:\\Victim"));
    // The links stay, dangling now.
    EXPECT_EQ((std::vector<Wide>{u"dangling.txt", u"f.txt", u"j\\"}), fake::ListTree(u"C:\\Data"));
}

}  // namespace
