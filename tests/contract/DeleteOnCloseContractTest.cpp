// A file created new for the run alone: created only where nothing holds the name, read back
// through its own handle, and gone with that handle.
#include "tests/contract/ContractSupport.h"

namespace {

using contract::Join;
using contract::ScratchTest;
using plat::Wide;

class ContractDeleteOnClose : public ScratchTest {};

plat::Handle CreateOwn(const Wide& path) {
    return plat::CreateFileW(path, plat::kGenericRead | plat::kGenericWrite, 0, plat::kCreateNew,
                             plat::kFileAttributeNormal | plat::kFileFlagDeleteOnClose);
}

TEST_F(ContractDeleteOnClose, WrittenReadBackThroughItsHandleAndGoneWhenClosed) {
    Wide path = In(u"own.txt");
    plat::Handle file = CreateOwn(path);
    ASSERT_NE(plat::kInvalidHandle, file) << plat::GetLastError();
    uint32_t done = 0;
    ASSERT_TRUE(plat::WriteFile(file, "licence text", 12, &done));
    EXPECT_EQ(12u, plat::SetFilePointer(file, 0, plat::kFileEnd));
    EXPECT_EQ(0u, plat::SetFilePointer(file, 0, plat::kFileBegin));
    char buffer[16] = {};
    ASSERT_TRUE(plat::ReadFile(file, buffer, sizeof buffer, &done));
    EXPECT_EQ(std::string("licence text"), std::string(buffer, done));
    EXPECT_EQ(8u, plat::SetFilePointer(file, 8, plat::kFileBegin));
    ASSERT_TRUE(plat::ReadFile(file, buffer, sizeof buffer, &done));
    EXPECT_EQ(std::string("text"), std::string(buffer, done));
    // Nobody else may open it meanwhile.
    EXPECT_EQ(plat::kInvalidHandle, plat::CreateFileW(path, plat::kGenericRead, 7, plat::kOpenExisting, 0));
    EXPECT_TRUE(plat::CloseHandle(file));
    EXPECT_EQ(plat::kInvalidFileAttributes, plat::GetFileAttributesW(path));
}

TEST_F(ContractDeleteOnClose, AnExistingFileOrFolderIsNeverOpened) {
    Wide taken = In(u"taken.txt");
    ASSERT_TRUE(contract::WriteWholeFile(taken, "someone else's"));
    EXPECT_EQ(plat::kInvalidHandle, CreateOwn(taken));
    EXPECT_EQ(plat::kErrorFileExists, plat::GetLastError());
    EXPECT_EQ("someone else's", contract::ReadWholeFile(taken));

    Wide folder = In(u"folder.txt");
    ASSERT_TRUE(plat::CreateDirectoryW(folder));
    EXPECT_EQ(plat::kInvalidHandle, CreateOwn(folder));
    uint32_t error = plat::GetLastError();
    EXPECT_TRUE(error == plat::kErrorFileExists || error == plat::kErrorAccessDenied) << error;
    EXPECT_TRUE(contract::IsFolder(folder));
}

TEST_F(ContractDeleteOnClose, ABadMoveOfThePointerFails) {
    Wide path = In(u"pointer.txt");
    plat::Handle file = CreateOwn(path);
    ASSERT_NE(plat::kInvalidHandle, file);
    EXPECT_EQ(plat::kInvalidSetFilePointer, plat::SetFilePointer(file, -1, plat::kFileBegin));
    EXPECT_NE(0u, plat::GetLastError());
    plat::CloseHandle(file);
}

}  // namespace

namespace {

class ContractFinalPath : public contract::ScratchTest {};

TEST_F(ContractFinalPath, NamesWhatTheHandleHasOpen) {
    plat::Wide path = In(u"Final.txt");
    ASSERT_TRUE(contract::WriteWholeFile(path, "x"));
    // Asked in other letters, the answer spells the file as it is stored.
    plat::Wide asked = In(u"final.TXT");
    plat::Handle file = plat::CreateFileW(asked, 0, 7, plat::kOpenExisting, 0);
    ASSERT_NE(plat::kInvalidHandle, file);
    plat::Wide final = plat::GetFinalPathNameByHandleW(file);
    plat::CloseHandle(file);
    EXPECT_EQ(path.substr(path.size() - 9), final.substr(final.size() - 9));
    EXPECT_EQ(u':', final[1]) << "no \\\\?\\ prefix";

    plat::Handle folder = plat::CreateFileW(Folder(), 0, 7, plat::kOpenExisting,
                                            plat::kFileFlagBackupSemantics);
    ASSERT_NE(plat::kInvalidHandle, folder) << plat::GetLastError();
    plat::Wide folderFinal = plat::GetFinalPathNameByHandleW(folder);
    plat::CloseHandle(folder);
    EXPECT_EQ(Folder().size(), folderFinal.size());
}

}  // namespace
