// Links planted where the removal deletes: in the shared data folder (which every user can
// write to), as the data folder itself, as "Hidden", inside the installation folder, and as a
// listed file. The removal runs elevated, so each plant is checked to leave everything where the
// link points as it was, with Windows' links and with Wine's (whose deletions act on the target).
#include "tests/host/RemovalMachine.h"

namespace {

using namespace removal_test;

const plat::Wide kVictim = u"C:\\Victim";

class UninstallingPastLinks : public Uninstalling, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        Uninstalling::SetUp();
        fake::SetLinksAsUnderWine(GetParam());
        fake::PutFile(kVictim + u"\\victim.txt", "not the installation's");
        fake::PutFile(kVictim + u"\\read-only.txt", "protected");
        fake::SetAttributes(kVictim + u"\\read-only.txt", plat::kFileAttributeReadOnly);
        fake::PutFolder(kVictim + u"\\Empty");
    }

    void AddLines(const plat::Wide& log, const std::string& lines) {
        fake::PutFile(log, fake::FileBytes(log) + lines);
    }

    // Both steps of the removal, silently; the first step's code.
    int RemoveBoth() {
        int code = Remove(true);
        if (!finishFolders_.empty()) finishCode_ = FinishUninstall(kMain);
        return code;
    }

    int finishCode_ = -1;
};

TEST_P(UninstallingPastLinks, ALinkInPublicWithLinesBehindItDeletesNothingThere) {
    Install();
    fake::PutLink(kCommon + u"\\Public\\j", kVictim, true);
    AddLines(kCommon + u"\\Update.log",
             "C:\\ProgramData\\Tessaron\\Public\\j\\victim.txt\r\n"
             "C:\\ProgramData\\Tessaron\\Public\\j\\read-only.txt\t!\r\n"
             "C:\\ProgramData\\Tessaron\\Public\\j\\Empty\\gone.txt\r\n");
    const TTree victim = TreeOf(kVictim);

    fake::ScriptAnswers({plat::kIdYes});
    EXPECT_EQ(kUninstallIncomplete, Remove(false));
    EXPECT_EQ(victim, TreeOf(kVictim));
    plat::Wide report = LastBoxText();
    EXPECT_EQ(0u, report.find(DecodeUIText(UninstallNotAll[1]))) << Utf8Of(report);
    EXPECT_NE(plat::Wide::npos, report.find(kCommon + u"\\Public\\j\\victim.txt"));
    EXPECT_NE(plat::Wide::npos, report.find(kCommon + u"\\Public\\j\\read-only.txt"));
    EXPECT_TRUE(KeysGone());
    EXPECT_FALSE(fake::FileExistsAt(kTemplate)) << "the rest goes";
    EXPECT_TRUE(fake::FileExistsAt(kCommon + u"\\Update.log")) << "it lists what was left";
    EXPECT_EQ(kUninstallRemoved, FinishUninstall(kMain));
    EXPECT_EQ(victim, TreeOf(kVictim));
}

TEST_P(UninstallingPastLinks, TheDataFolderALinkDeletesNothingThere) {
    Install();
    // Everything the installation put there now lies where the link points.
    ASSERT_TRUE(plat::MoveFileExW(kCommon, kVictim + u"\\Data", 0));
    fake::PutLink(kCommon, kVictim + u"\\Data", true);
    const TTree victim = TreeOf(kVictim);

    EXPECT_EQ(kUninstallIncomplete, RemoveBoth());
    EXPECT_EQ(victim, TreeOf(kVictim));
    // The data folders that the install log lists lie behind the link: named again.
    EXPECT_EQ(kUninstallIncomplete, finishCode_);
    EXPECT_FALSE(fake::FolderExistsAt(kMain)) << "the installation folder is its own";
}

TEST_P(UninstallingPastLinks, HiddenALinkKeepsWhatLiesThere) {
    Install();
    ASSERT_TRUE(plat::MoveFileExW(kCommon + u"\\Hidden", kVictim + u"\\Hidden", 0));
    fake::PutLink(kCommon + u"\\Hidden", kVictim + u"\\Hidden", true);
    const TTree victim = TreeOf(kVictim);
    ASSERT_TRUE(fake::FileExistsAt(kVictim + u"\\Hidden\\install_stamp"));

    EXPECT_EQ(kUninstallIncomplete, RemoveBoth());
    EXPECT_EQ(victim, TreeOf(kVictim));
    EXPECT_FALSE(fake::FileExistsAt(kTemplate));
}

TEST_P(UninstallingPastLinks, ALinkInTheInstallationFolderWithALineBehindItDeletesNothingThere) {
    Install();
    fake::PutLink(kMain + u"\\Plugins", kVictim, true);
    fake::PutLink(kMain + u"\\Gone", kVictim + u"\\Empty", true);
    AddLines(kLog, "File Copy: C:\\Program Files\\Tessaron\\Plugins\\victim.txt\r\n"
                   "File Copy: C:\\Program Files\\Tessaron\\Plugins\\read-only.txt\r\n"
                   "Made Dir: C:\\Program Files\\Tessaron\\Plugins\\Empty\\\r\n"
                   "Made Dir: C:\\Program Files\\Tessaron\\Gone\\\r\n");
    const TTree victim = TreeOf(kVictim);

    EXPECT_EQ(kUninstallIncomplete, RemoveBoth());
    EXPECT_EQ(victim, TreeOf(kVictim));
    EXPECT_EQ(kUninstallIncomplete, finishCode_);
    EXPECT_FALSE(fake::FileExistsAt(kProgram));
    EXPECT_TRUE(fake::FileExistsAt(kLog)) << "it lists what was left";
    EXPECT_TRUE(KeysGone());
}

TEST_P(UninstallingPastLinks, AListedFileThatIsALinkIsLeftAndSoIsItsTarget) {
    Install();
    plat::SetFileAttributesW(kTemplate, 0);
    ASSERT_TRUE(plat::DeleteFileW(kTemplate));
    fake::PutLink(kTemplate, kVictim + u"\\victim.txt", false);
    ASSERT_TRUE(plat::DeleteFileW(kMain + u"\\License.txt"));
    fake::PutLink(kMain + u"\\License.txt", kVictim + u"\\read-only.txt", false);
    const TTree victim = TreeOf(kVictim);

    fake::ScriptAnswers({plat::kIdYes});
    EXPECT_EQ(kUninstallIncomplete, Remove(false));
    EXPECT_EQ(victim, TreeOf(kVictim));
    EXPECT_NE(plat::Wide::npos, LastBoxText().find(kTemplate));
    EXPECT_NE(plat::Wide::npos, LastBoxText().find(kMain + u"\\License.txt"));
    EXPECT_EQ(kUninstallIncomplete, FinishUninstall(kMain));
    EXPECT_EQ(victim, TreeOf(kVictim));
    EXPECT_FALSE(fake::FileExistsAt(kProgram));
}

TEST_P(UninstallingPastLinks, TheInstallationFolderALinkDeletesNothingThere) {
    Install();
    ASSERT_TRUE(plat::MoveFileExW(kMain, kVictim + u"\\Main", 0));
    fake::PutLink(kMain, kVictim + u"\\Main", true);
    const TTree victim = TreeOf(kVictim);

    EXPECT_EQ(kUninstallIncomplete, RemoveBoth());
    EXPECT_EQ(victim, TreeOf(kVictim));
    EXPECT_FALSE(fake::FolderExistsAt(kCommon)) << "the shared data is its own";
}

INSTANTIATE_TEST_SUITE_P(AsOnWindowsAndAsUnderWine, UninstallingPastLinks, ::testing::Bool());

}  // namespace
