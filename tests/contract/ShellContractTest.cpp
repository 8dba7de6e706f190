// Shell: the special folders and the shell link object that makes the shortcuts.
#include "tests/contract/ContractSupport.h"

namespace contract {
namespace {

using namespace plat;

TEST(ContractSpecialFolders, AreFoundAfterResolvingTheLookup) {
    ASSERT_TRUE(ResolveSHGetFolderPathW());
    for (int csidl : {kCsidlPrograms, kCsidlPersonal, kCsidlDesktopDirectory, kCsidlCommonPrograms,
                      kCsidlCommonDesktopDirectory, kCsidlCommonAppData, kCsidlProgramFiles}) {
        Wide path;
        ASSERT_EQ(SHGetFolderPathW(csidl, &path), 0) << "CSIDL " << csidl;
        ASSERT_GE(path.size(), 3u) << "CSIDL " << csidl;
        EXPECT_EQ(path.substr(1, 2), u":\\") << "CSIDL " << csidl;
        EXPECT_NE(path.back(), u'\\') << "CSIDL " << csidl;
        EXPECT_TRUE(IsFolder(path)) << "CSIDL " << csidl;
    }
    Wide path = u"unchanged";
    EXPECT_NE(SHGetFolderPathW(0x7F, &path), 0) << "no such folder id";
    EXPECT_EQ(path, u"unchanged");
}

class ContractShellLink : public ScratchTest {
protected:
    void SetUp() override {
        ScratchTest::SetUp();
        ASSERT_GE(OleInitialize(), 0);
    }
    void TearDown() override {
        OleUninitialize();
        ScratchTest::TearDown();
    }
};

TEST_F(ContractShellLink, SavedLinkIsAFileThatLoadsBack) {
    // The target keeps to code page 1252: Wine reads a link's target back from its 8-bit path.
    Wide target = In(u"T\u00ebst \u00e9.exe");
    Wide working = In(u"W\u00f6rk \u03c9");
    Wide link = In(u"Shortcut \u03c9.lnk");
    Wide description = u"Compact, fast-loading word processor \u00e9\u03c9";
    ASSERT_TRUE(WriteWholeFile(target, "MZ"));
    ASSERT_TRUE(CreateDirectoryW(working));
    {
        ShellLink shell;
        ASSERT_TRUE(shell.Created());
        EXPECT_GE(shell.SetPath(target), 0);
        EXPECT_GE(shell.SetWorkingDirectory(working), 0);
        EXPECT_GE(shell.SetDescription(description), 0);
        ASSERT_TRUE(shell.HasPersistFile());
        EXPECT_EQ(shell.Save(link), 0);
    }
    std::string bytes = ReadWholeFile(link);
    ASSERT_GE(bytes.size(), 4u);
    EXPECT_EQ(bytes.substr(0, 4), std::string("L\0\0\0", 4));
    bool listed = false;
    for (const FindData& entry : ListFolder(Folder())) listed |= entry.name == u"Shortcut \u03c9.lnk";
    EXPECT_TRUE(listed);

    {
        ShellLink shell;
        ASSERT_TRUE(shell.Created());
        ASSERT_EQ(shell.Load(link), 0);
        EXPECT_EQ(shell.GetPath(), target);
        EXPECT_EQ(shell.GetWorkingDirectory(), working);
        EXPECT_EQ(shell.GetDescription(), description);
    }
    EXPECT_TRUE(DeleteFileW(link));
    EXPECT_EQ(GetFileAttributesW(link), kInvalidFileAttributes);
}

TEST_F(ContractShellLink, SavingAgainReplacesTheLink) {
    Wide target = In(u"app.exe"), link = In(u"app.lnk");
    ASSERT_TRUE(WriteWholeFile(target, "MZ"));
    for (const char16_t* description : {u"first", u"second"}) {
        ShellLink shell;
        ASSERT_TRUE(shell.Created());
        shell.SetPath(target);
        shell.SetWorkingDirectory(Folder());
        shell.SetDescription(description);
        ASSERT_TRUE(shell.HasPersistFile());
        ASSERT_EQ(shell.Save(link), 0);
    }
    ShellLink shell;
    ASSERT_EQ(shell.Load(link), 0);
    EXPECT_EQ(shell.GetDescription(), u"second");
}

TEST_F(ContractShellLink, SavingIntoAMissingFolderFails) {
    Wide target = In(u"app.exe");
    ASSERT_TRUE(WriteWholeFile(target, "MZ"));
    ShellLink shell;
    ASSERT_TRUE(shell.Created());
    shell.SetPath(target);
    ASSERT_TRUE(shell.HasPersistFile());
    EXPECT_LT(shell.Save(In(u"missing\\app.lnk")), 0);
    EXPECT_EQ(GetFileAttributesW(In(u"missing")), kInvalidFileAttributes);
}

TEST_F(ContractShellLink, LoadingAMissingLinkFails) {
    ShellLink shell;
    ASSERT_TRUE(shell.Created());
    EXPECT_LT(shell.Load(In(u"none.lnk")), 0);
}

}  // namespace
}  // namespace contract
