// Another user who can write the shared data folder (or an installation folder) acts between the
// removal's check of a folder or file and its deletion: renames a folder on the way and puts a
// link to a victim tree with the same names in its place. Each folder is held from its check on,
// so the rename fails; whatever happens, nothing in the victim tree changes. Also: folders of the
// user's own stay, a file with another name (a hard link) is neither read nor changed, and leftovers
// beside deleted files go.
#include "install/LinkGuard.h"
#include "tests/host/RemovalMachine.h"

namespace {

using namespace removal_test;

const plat::Wide kVictim = u"C:\\Victim";
const plat::Wide kLetters = kCommon + u"\\Public\\Templates\\Letters";

// A copy of the folder's tree under the victim folder: what a link in its place would lead to.
void PutVictimCopyOf(const plat::Wide& folder, const plat::Wide& victim) {
    fake::PutFolder(victim);
    for (const plat::Wide& name : fake::ListTree(folder)) {
        if (name.back() == u'\\')
            fake::PutFolder(victim + u"\\" + name);
        else
            fake::PutFile(victim + u"\\" + name, "the victim's " + Utf8Of(name));
    }
}

class SwappedFolders : public Uninstalling, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        Uninstalling::SetUp();
        fake::SetLinksAsUnderWine(GetParam());
    }
    void TearDown() override { fake::BeforeEachOperation(nullptr); }
};

TEST_P(SwappedFolders, AFolderOnTheWayCannotBeSwappedOnceChecked) {
    Install();
    PutVictimCopyOf(kLetters, kVictim);
    const TTree victim = TreeOf(kVictim);
    // One more line for the template: one more try, after the first deletion.
    fake::PutFile(kCommon + u"\\Update.log", fake::FileBytes(kCommon + u"\\Update.log") + Utf8Of(kLetters) +
                                               "\\Business Letter.rtf\r\n");
    int attempts = 0, swaps = 0;
    fake::BeforeEachOperation([&](fake::Operation operation, const plat::Wide& target) {
        if (operation != fake::Operation::DeleteFile || target.find(u"LETTERS") == plat::Wide::npos) return;
        ++attempts;
        if (fake::SwapForLink(kLetters, kVictim)) ++swaps;
    });
    EXPECT_EQ(kUninstallRemoved, Remove(true));
    fake::BeforeEachOperation(nullptr);
    EXPECT_GT(attempts, 0);
    EXPECT_EQ(0, swaps) << "a folder on the way was renamed while the removal worked below it";
    EXPECT_EQ(victim, TreeOf(kVictim));
}

TEST_P(SwappedFolders, AFolderSwappedBeforeTheRemovalLooksIsNeitherFollowedNorDeleted) {
    Install();
    PutVictimCopyOf(kLetters, kVictim);
    const TTree victim = TreeOf(kVictim);
    ASSERT_TRUE(fake::SwapForLink(kLetters, kVictim));
    EXPECT_EQ(kUninstallIncomplete, Remove(true));
    EXPECT_EQ(victim, TreeOf(kVictim));
    EXPECT_TRUE(fake::FolderExistsAt(kLetters)) << "the link stays";
}

TEST_P(SwappedFolders, FoldersOfTheUsersOwnStayEmptyOrNot) {
    Install();
    // Row of the sweep: thousands of empty folders were meant to keep the removal busy; none is
    // the installation's, so none is even looked at.
    for (int i = 0; i < 20; ++i) fake::PutFolder(kCommon + u"\\Public\\A\\B1\\" + Wide(1, u'a' + i));
    fake::PutFolder(kCommon + u"\\Public\\A\\Config.Msi");
    fake::PutFolder(kCommon + u"\\Public\\Mine");
    PutVictimCopyOf(kCommon + u"\\Public\\A", kVictim);
    const TTree victim = TreeOf(kVictim);
    int swaps = 0;
    fake::BeforeEachOperation([&](fake::Operation, const plat::Wide&) {
        if (fake::SwapForLink(kCommon + u"\\Public\\A", kVictim)) ++swaps;
    });
    EXPECT_EQ(kUninstallRemoved, Remove(true));
    fake::BeforeEachOperation(nullptr);
    EXPECT_EQ(victim, TreeOf(kVictim));
    EXPECT_TRUE(fake::FolderExistsAt(kCommon + u"\\Public\\Mine")) << "the user's empty folder stays";
    EXPECT_FALSE(fake::FileExistsAt(kTemplate));
    EXPECT_FALSE(fake::FolderExistsAt(kLetters)) << "the installation's folders go";
}

TEST_P(SwappedFolders, LeftoversBesideDeletedFilesGoSharedTemplatesIncluded) {
    Install();
    fake::PutFile(kTemplate + u".~0", "killed replacement");
    fake::PutFile(kTemplate + u".~3", "another");
    fake::PutFile(kMain + u"\\License.txt.~1", "killed replacement");
    fake::PutFolder(kLetters + u"\\Memo.rtf.~0");  // a folder there is someone else's
    EXPECT_EQ(kUninstallRemoved, RemoveAll(true));
    EXPECT_FALSE(fake::FileExistsAt(kTemplate + u".~0"));
    EXPECT_FALSE(fake::FileExistsAt(kTemplate + u".~3"));
    EXPECT_FALSE(fake::FileExistsAt(kMain + u"\\License.txt.~1"));
    EXPECT_TRUE(fake::FolderExistsAt(kLetters + u"\\Memo.rtf.~0"));
}

TEST_P(SwappedFolders, AHardLinkedLogIsNeitherReadNorAReadOnlyHardLinkChanged) {
    Install();
    // The update log as another name of a file only administrators read: its lines are not taken.
    fake::PutFile(kCommon + u"\\Update.log", Utf8Of(kTemplate) + "\r\n");
    fake::SetHardLinkCount(kCommon + u"\\Update.log", 2);
    EXPECT_EQ(kUninstallIncomplete, Remove(true));
    EXPECT_TRUE(fake::FileExistsAt(kTemplate)) << "a hard-linked log's lines are not acted on";
    EXPECT_TRUE(fake::FileExistsAt(kCommon + u"\\Update.log"));
}

TEST_P(SwappedFolders, AReadOnlyFileWithTwoNamesKeepsItsAttribute) {
    Install();
    fake::SetAttributes(kTemplate, plat::kFileAttributeReadOnly);
    fake::SetHardLinkCount(kTemplate, 2);
    EXPECT_EQ(kUninstallIncomplete, Remove(true));
    EXPECT_EQ(plat::kFileAttributeReadOnly, plat::GetFileAttributesW(kTemplate) & plat::kFileAttributeReadOnly);
}

TEST_P(SwappedFolders, AnInstallLogWithTwoNamesIsDamaged) {
    Install();
    fake::SetHardLinkCount(kLog, 2);
    EXPECT_EQ(kUninstallIncomplete, Remove(true));
    EXPECT_TRUE(fake::FileExistsAt(kProgram));
    EXPECT_TRUE(KeysPresent());
}

TEST_P(SwappedFolders, ALineOutsideTheScopeIsNamedAndTheRemovalSaysSo) {
    Install();
    fake::PutFile(kLog, fake::FileBytes(kLog) + "File Copy: C:\\Users\\User\\Moved Desktop\\Tessaron Word Processor.lnk\r\n");
    fake::PutFile(kCommon + u"\\Update.log",
                  fake::FileBytes(kCommon + u"\\Update.log") + "C:\\Elsewhere\\file.txt\r\n");
    fake::ScriptAnswers({plat::kIdYes});
    EXPECT_EQ(kUninstallIncomplete, Remove(false));
    plat::Wide report = LastBoxText();
    EXPECT_NE(plat::Wide::npos, report.find(u"C:\\Users\\User\\Moved Desktop\\Tessaron Word Processor.lnk"))
        << Utf8Of(report);
    EXPECT_NE(plat::Wide::npos, report.find(u"C:\\Elsewhere\\file.txt")) << Utf8Of(report);
}

INSTANTIATE_TEST_SUITE_P(WindowsAndWine, SwappedFolders, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "LinksAsUnderWine" : "LinksAsOnWindows";
                         });

}  // namespace

namespace {

TEST(HeldFolders, AFolderCheckedForAWriteCannotBeSwappedUntilTheRunLetsItGo) {
    fake::Reset();
    ForgetGuardedFolders();
    fake::PutFolder(u"C:\\Root\\A\\B");
    fake::PutFolder(u"C:\\Victim");
    GuardFolder(u"C:\\Root");
    ASSERT_TRUE(NoLinkOnTheWay(u"C:\\Root\\A\\B\\file.txt"));
    for (const char16_t* folder : {u"C:\\Root", u"C:\\Root\\A", u"C:\\Root\\A\\B"})
        EXPECT_FALSE(fake::SwapForLink(folder, u"C:\\Victim")) << Utf8Of(folder) << " was swapped after its check";
    EXPECT_TRUE(NoLinkOnTheWay(u"C:\\Root\\A\\B\\file.txt"));
    ForgetCheckedFolders();
    EXPECT_TRUE(fake::SwapForLink(u"C:\\Root\\A\\B", u"C:\\Victim")) << "let go once the run is done";
    EXPECT_FALSE(NoLinkOnTheWay(u"C:\\Root\\A\\B\\file.txt")) << "and found by the next check";
    ForgetGuardedFolders();
}

}  // namespace
