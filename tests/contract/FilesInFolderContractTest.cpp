// A file opened through the handle of the folder that holds it, by one name: what opens is that
// folder's file, the handle is an ordinary one, and nothing but one existing file's name opens.
#include "tests/contract/ContractSupport.h"

namespace {

using contract::ScratchTest;
using plat::Wide;

class ContractFilesInFolder : public ScratchTest {
protected:
    void SetUp() override {
        ScratchTest::SetUp();
        ASSERT_TRUE(plat::CreateDirectoryW(In(u"held")));
        ASSERT_TRUE(plat::CreateDirectoryW(In(u"held\\inner")));
        ASSERT_TRUE(contract::WriteWholeFile(In(u"held\\Letter.rtf"), "twelve bytes"));
        ASSERT_TRUE(contract::WriteWholeFile(In(u"held\\inner\\deeper.txt"), "below"));
        // Held as the installation holds its folders: nobody may rename or replace it.
        folder_ = plat::CreateFileW(In(u"held"), 0, plat::kFileShareRead | plat::kFileShareWrite,
                                    plat::kOpenExisting,
                                    plat::kFileFlagBackupSemantics | plat::kFileFlagOpenReparsePoint);
        ASSERT_NE(plat::kInvalidHandle, folder_) << plat::GetLastError();
    }
    void TearDown() override {
        if (folder_ != plat::kInvalidHandle) plat::CloseHandle(folder_);
        ScratchTest::TearDown();
    }
    plat::Handle Open(const Wide& name) {
        return plat::OpenFileInFolder(folder_, name, plat::kGenericRead, plat::kFileShareRead,
                                      plat::kFileFlagOpenReparsePoint);
    }
    plat::Handle folder_ = plat::kInvalidHandle;
};

TEST_F(ContractFilesInFolder, OpensTheFolderFileByItsNameInAnyCase) {
    for (const Wide& name : {Wide(u"Letter.rtf"), Wide(u"LETTER.RTF")}) {
        plat::Handle file = Open(name);
        ASSERT_NE(plat::kInvalidHandle, file) << contract::Narrow(name) << " " << plat::GetLastError();
        char buffer[32] = {};
        uint32_t got = 0;
        EXPECT_TRUE(plat::ReadFile(file, buffer, sizeof buffer, &got));
        EXPECT_EQ("twelve bytes", std::string(buffer, got));
        plat::OpenFileFacts facts;
        ASSERT_TRUE(plat::GetOpenFileFacts(file, &facts)) << plat::GetLastError();
        EXPECT_EQ(12u, facts.size);
        EXPECT_EQ(1u, facts.numberOfLinks);
        // Shared for reading only: nobody writes it while it is open.
        EXPECT_EQ(plat::kInvalidHandle,
                  plat::CreateFileW(In(u"held\\Letter.rtf"), plat::kGenericWrite,
                                    plat::kFileShareRead | plat::kFileShareWrite, plat::kOpenExisting, 0));
        EXPECT_TRUE(plat::CloseHandle(file));
    }
}

TEST_F(ContractFilesInFolder, OpensNothingButAnExistingFileOfThatFolder) {
    for (const Wide& name : {Wide(u""), Wide(u"."), Wide(u".."), Wide(u"inner"),
                             Wide(u"inner\\deeper.txt"), Wide(u"inner/deeper.txt"),
                             Wide(u"Letter.rtf:stream"), Wide(u"missing.txt")}) {
        plat::Handle file = Open(name);
        EXPECT_EQ(plat::kInvalidHandle, file) << "\"" << contract::Narrow(name) << "\"";
        if (file != plat::kInvalidHandle) plat::CloseHandle(file);
    }
    plat::SetLastError(0);
    EXPECT_EQ(plat::kInvalidHandle, Open(u"missing.txt"));
    EXPECT_EQ(plat::kErrorFileNotFound, plat::GetLastError());
    // Nothing was made by the tries.
    EXPECT_EQ(plat::kInvalidFileAttributes, plat::GetFileAttributesW(In(u"held\\missing.txt")));
}

}  // namespace
