// One object checked and acted on through one handle: opened itself (never what a link there
// points at) with the right to delete it, its attributes and link count read from that handle,
// deleted through it; and a folder held open without sharing its deletion, which nobody can
// rename, replace or remove meanwhile.
#include "tests/contract/ContractSupport.h"

namespace {

using contract::ScratchTest;
using plat::Wide;

constexpr uint32_t kItself = plat::kFileFlagOpenReparsePoint | plat::kFileFlagBackupSemantics;
constexpr uint32_t kRights = plat::kDelete | plat::kFileReadAttributes | plat::kFileWriteAttributes;
constexpr uint32_t kNoDeleteSharing = plat::kFileShareRead | plat::kFileShareWrite;

class ContractHandleDelete : public ScratchTest {};

plat::Handle OpenItself(const Wide& path) {
    return plat::CreateFileW(path, kRights, kNoDeleteSharing, plat::kOpenExisting, kItself);
}

TEST_F(ContractHandleDelete, AFileIsReadAndDeletedThroughItsHandle) {
    Wide path = In(u"file.txt");
    ASSERT_TRUE(contract::WriteWholeFile(path, "twelve bytes"));
    plat::Handle file = OpenItself(path);
    ASSERT_NE(plat::kInvalidHandle, file) << plat::GetLastError();
    plat::ByHandleFileInformation info;
    ASSERT_TRUE(plat::GetFileInformationByHandle(file, &info)) << plat::GetLastError();
    EXPECT_EQ(1u, info.numberOfLinks);
    EXPECT_EQ(12u, info.size);
    EXPECT_EQ(0u, info.attributes & (plat::kFileAttributeDirectory | plat::kFileAttributeReparsePoint));
    EXPECT_NE(0u, info.lastWriteTime);
    // Nobody may rename it while it is held without sharing its deletion.
    EXPECT_FALSE(plat::MoveFileExW(path, In(u"moved.txt"), 0));
    EXPECT_TRUE(plat::SetFileInformationByHandle(file, plat::FileDispositionInfo{true}))
        << plat::GetLastError();
    EXPECT_TRUE(plat::CloseHandle(file));
    EXPECT_EQ(plat::kInvalidFileAttributes, plat::GetFileAttributesW(path));
    EXPECT_EQ(plat::kInvalidFileAttributes, plat::GetFileAttributesW(In(u"moved.txt")));
}

TEST_F(ContractHandleDelete, AReadOnlyFileGoesOnlyOnceItsAttributeIsChangedThroughTheHandle) {
    Wide path = In(u"readonly.txt");
    ASSERT_TRUE(contract::WriteWholeFile(path, "kept"));
    ASSERT_TRUE(plat::SetFileAttributesW(path, plat::kFileAttributeReadOnly));
    plat::Handle file = OpenItself(path);
    ASSERT_NE(plat::kInvalidHandle, file) << plat::GetLastError();
    EXPECT_FALSE(plat::SetFileInformationByHandle(file, plat::FileDispositionInfo{true}));
    plat::FileBasicInfo basic;
    basic.attributes = plat::kFileAttributeNormal;
    EXPECT_TRUE(plat::SetFileInformationByHandle(file, basic)) << plat::GetLastError();
    plat::ByHandleFileInformation info;
    ASSERT_TRUE(plat::GetFileInformationByHandle(file, &info));
    EXPECT_EQ(0u, info.attributes & plat::kFileAttributeReadOnly);
    EXPECT_TRUE(plat::SetFileInformationByHandle(file, plat::FileDispositionInfo{true}))
        << plat::GetLastError();
    plat::CloseHandle(file);
    EXPECT_EQ(plat::kInvalidFileAttributes, plat::GetFileAttributesW(path));
}

TEST_F(ContractHandleDelete, AFolderGoesThroughItsHandleOnlyWhenEmpty) {
    Wide folder = In(u"Folder");
    ASSERT_TRUE(plat::CreateDirectoryW(folder));
    ASSERT_TRUE(contract::WriteWholeFile(contract::Join(folder, u"inside.txt"), "x"));
    plat::Handle held = OpenItself(folder);
    ASSERT_NE(plat::kInvalidHandle, held) << plat::GetLastError();
    plat::ByHandleFileInformation info;
    ASSERT_TRUE(plat::GetFileInformationByHandle(held, &info));
    EXPECT_EQ(plat::kFileAttributeDirectory,
              info.attributes & (plat::kFileAttributeDirectory | plat::kFileAttributeReparsePoint));
    EXPECT_FALSE(plat::SetFileInformationByHandle(held, plat::FileDispositionInfo{true}));
    EXPECT_EQ(plat::kErrorDirNotEmpty, plat::GetLastError());
    plat::CloseHandle(held);
    EXPECT_TRUE(contract::IsFolder(folder)) << "a refused deletion leaves the folder";

    ASSERT_TRUE(plat::DeleteFileW(contract::Join(folder, u"inside.txt")));
    held = OpenItself(folder);
    ASSERT_NE(plat::kInvalidHandle, held);
    EXPECT_TRUE(plat::SetFileInformationByHandle(held, plat::FileDispositionInfo{true}))
        << plat::GetLastError();
    plat::CloseHandle(held);
    EXPECT_EQ(plat::kInvalidFileAttributes, plat::GetFileAttributesW(folder));
}

TEST_F(ContractHandleDelete, AFolderHeldWithoutSharingItsDeletionStaysWhereItIs) {
    Wide folder = In(u"Held");
    ASSERT_TRUE(plat::CreateDirectoryW(folder));
    plat::Handle held = OpenItself(folder);
    ASSERT_NE(plat::kInvalidHandle, held) << plat::GetLastError();
    EXPECT_FALSE(plat::GetFinalPathNameByHandleW(held).empty());
    EXPECT_FALSE(plat::MoveFileExW(folder, In(u"Away"), 0)) << "renamed while held";
    EXPECT_FALSE(plat::RemoveDirectoryW(folder)) << "removed while held";
    EXPECT_TRUE(contract::IsFolder(folder));
    EXPECT_EQ(plat::kInvalidFileAttributes, plat::GetFileAttributesW(In(u"Away")));
    // Files inside can still be made and removed.
    Wide inside = contract::Join(folder, u"inside.txt");
    EXPECT_TRUE(contract::WriteWholeFile(inside, "x"));
    EXPECT_TRUE(plat::DeleteFileW(inside));
    plat::CloseHandle(held);
    EXPECT_TRUE(plat::MoveFileExW(folder, In(u"Away"), 0)) << plat::GetLastError();
    EXPECT_TRUE(contract::IsFolder(In(u"Away")));
}

TEST_F(ContractHandleDelete, WithoutTheRightToDeleteNothingIsDeleted) {
    Wide path = In(u"plain.txt");
    ASSERT_TRUE(contract::WriteWholeFile(path, "x"));
    plat::Handle file = plat::CreateFileW(path, plat::kFileReadAttributes, 7, plat::kOpenExisting, kItself);
    ASSERT_NE(plat::kInvalidHandle, file);
    EXPECT_FALSE(plat::SetFileInformationByHandle(file, plat::FileDispositionInfo{true}));
    plat::CloseHandle(file);
    EXPECT_EQ("x", contract::ReadWholeFile(path));
}

}  // namespace
