// An installation into folders that another user prepared with links: nothing is written,
// replaced or deleted where a link points, and names planted where the installation puts its
// temporary files stop nothing.
#include <gtest/gtest.h>

#include "app/Entry.h"
#include "install/InstallLog.h"
#include "install/LinkGuard.h"
#include "install/SafeWrite.h"
#include "tests/host/TestMachine.h"

namespace {

using Names = std::vector<plat::Wide>;

const plat::Wide kVictim = u"C:\\Victim";

class PlantedLinks : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(StartFreshProcessWithRealPayload()) << TSD_PAYLOAD_FILE;
        fake::PutFile(kVictim + u"\\victim.txt", "not yours");
    }
    int Setup(const plat::Wide& arguments = u"-S") {
        ResetProcessState();
        fake::SetCommandLine(u"\"C:\\Users\\User\\Downloads\\tessaron-setup.exe\" " + arguments);
        return SetupMain();
    }
    static void ExpectVictimUntouched() {
        EXPECT_EQ(Names{u"victim.txt"}, fake::ListTree(kVictim)) << "nothing written where a link points";
        EXPECT_EQ("not yours", fake::FileBytes(kVictim + u"\\victim.txt"));
    }
};

TEST_F(PlantedLinks, TheDataFolderItselfALinkTakesNothing) {
    fake::PutLink(kCommon, kVictim, true);
    EXPECT_EQ(2, Setup()) << "the templates cannot be written";
    ExpectVictimUntouched();
    EXPECT_EQ(plat::kFileAttributeReparsePoint | plat::kFileAttributeDirectory,
              plat::GetFileAttributesW(kCommon)) << "the link is neither followed nor removed";
}

TEST_F(PlantedLinks, HiddenOrPublicALinkTakesNothing) {
    fake::PutLink(kCommon + u"\\Hidden", kVictim, true);
    EXPECT_EQ(0, Setup()) << "the stamp is written as quietly as ever";
    ExpectVictimUntouched();
    EXPECT_TRUE(fake::FileExistsAt(kCommon + u"\\Public\\Templates\\Letters\\Business Letter.rtf"));

    fake::PutLink(kCommon + u"\\Public", kVictim, true);
    EXPECT_EQ(2, Setup());
    ExpectVictimUntouched();
}

TEST_F(PlantedLinks, ALinkBelowPublicOrTheInstallationFolderTakesNothing) {
    fake::PutLink(kCommon + u"\\Public\\Templates\\Letters", kVictim, true);
    EXPECT_EQ(2, Setup());
    ExpectVictimUntouched();

    fake::PutLink(kMain, kVictim, true);
    EXPECT_EQ(2, Setup());
    ExpectVictimUntouched();
}

TEST_F(PlantedLinks, ADanglingLinkAtAFilesNameCreatesNothingWhereItPoints) {
    fake::PutLink(kCommon + u"\\Hidden\\install_stamp", kVictim + u"\\stamp", false);
    fake::PutLink(kCommon + u"\\tsd_common.dat", kVictim + u"\\common", false);
    fake::PutLink(kMain + u"\\License.txt", kVictim + u"\\licence", false);
    EXPECT_EQ(2, Setup());
    ExpectVictimUntouched();
    // A link to an existing file is not written through or replaced either.
    fake::PutLink(kMain + u"\\License.txt", kVictim + u"\\victim.txt", false);
    EXPECT_EQ(2, Setup());
    ExpectVictimUntouched();
    EXPECT_EQ(plat::kFileAttributeReparsePoint | plat::kFileAttributeArchive,
              plat::GetFileAttributesW(kMain + u"\\License.txt"));
}

TEST_F(PlantedLinks, PlantedTemporaryNamesStopNothing) {
    ASSERT_EQ(0, Setup());
    // Folders and links where the replacement of every file and log would put its first
    // temporary file.
    fake::PutFolder(kMain + u"\\tsd.exe.~0");
    fake::PutFolder(kCommon + u"\\Update.log.~0");
    fake::PutLink(kMain + u"\\Install.log.~0", kVictim + u"\\log", false);
    fake::PutLink(kCommon + u"\\Update.log.~1", kVictim, true);
    fake::PutFolder(kCommon + u"\\Update.log.new");
    EXPECT_EQ(0, Setup());
    ExpectVictimUntouched();
    EXPECT_TRUE(fake::FolderExistsAt(kMain + u"\\tsd.exe.~0"));
    EXPECT_FALSE(fake::FileExistsAt(kMain + u"\\tsd.exe.~1")) << "the temporary file is gone";
    EXPECT_FALSE(fake::FileExistsAt(kCommon + u"\\Update.log.~2"));
}

TEST_F(PlantedLinks, ThePortableFolderIsGuardedToo) {
    const plat::Wide folder = u"C:\\Portable\\Tessaron";
    fake::PutFile(folder + u"\\Tessaron.ini", "");
    fake::PutLink(folder + u"\\Clip Library", kVictim, true);
    EXPECT_EQ(2, Setup(u"-S -D" + folder));
    ExpectVictimUntouched();
}

TEST(LinkGuard, AsksEachFolderOnTheWayOnceAndOnlyBelowItsRoots) {
    fake::Reset();
    ForgetGuardedFolders();
    fake::PutFolder(u"C:\\Root\\A\\B");
    fake::PutLink(u"C:\\Other\\L", u"C:\\Victim", true);
    GuardFolder(u"C:\\Root");
    EXPECT_TRUE(NoLinkOnTheWay(u"C:\\Root\\A\\B\\file.txt"));
    EXPECT_TRUE(NoLinkOnTheWay(u"C:\\Other\\L\\file.txt")) << "not guarded";
    EXPECT_TRUE(NoLinkOnTheWay(u"C:\\RootOther\\file.txt")) << "a name that only begins alike";
    // A link made since is found once the run forgets what it checked.
    fake::PutLink(u"C:\\Root\\A\\B", u"C:\\Victim", true);
    ForgetCheckedFolders();
    EXPECT_FALSE(NoLinkOnTheWay(u"C:\\Root\\A\\B\\file.txt"));
    EXPECT_FALSE(NoLinkOnTheWay(u"C:\\Root\\A\\B\\C\\D\\file.txt"));
    EXPECT_TRUE(NoLinkOnTheWay(u"C:\\Root\\A\\file.txt"));
    EXPECT_FALSE(NoLinkOnTheWay(u"C:\\Root\\A\\B\\")) << "a folder to be made";
    ForgetGuardedFolders();
}

// The files of one folder come one after another: a way found whole is not walked again, but
// what the walk would find out anew still counts.
TEST(LinkGuard, AWayFoundHeldServesTheNextFileOnlyWhileNothingCouldHaveChanged) {
    fake::Reset();
    ForgetGuardedFolders();
    fake::PutFolder(u"C:\\Root\\A");
    GuardFolder(u"C:\\Root");
    // A folder of the way that is still missing is looked at again once it exists.
    EXPECT_TRUE(NoLinkOnTheWay(u"C:\\Root\\A\\New\\one.txt"));
    fake::PutLink(u"C:\\Root\\A\\New", u"C:\\Victim", true);
    EXPECT_FALSE(NoLinkOnTheWay(u"C:\\Root\\A\\New\\two.txt"));
    // Once the run lets its holds go, the way is walked again.
    fake::PutFolder(u"C:\\Root\\A\\Kept");
    EXPECT_TRUE(NoLinkOnTheWay(u"C:\\Root\\A\\Kept\\one.txt"));
    ForgetCheckedFolders();
    fake::PutLink(u"C:\\Root\\A\\Kept", u"C:\\Victim", true);
    EXPECT_FALSE(NoLinkOnTheWay(u"C:\\Root\\A\\Kept\\two.txt"));

    // A root named without its backslash is walked as that root, not as the folder above it.
    fake::PutLink(u"C:\\Other", u"C:\\Victim", true);
    GuardFolder(u"C:\\Other");
    EXPECT_TRUE(NoLinkOnTheWay(u"C:\\Root"));
    EXPECT_FALSE(NoLinkOnTheWay(u"C:\\Other"));

    // A root added later asks its own of the folders on a way already found whole: below a root
    // of the administrators, a folder that another account owns is taken over.
    fake::PutFolder(u"C:\\Root\\A\\B");
    fake::SetOwner(u"C:\\Root\\A\\B", fake::kOtherUserAccount);
    EXPECT_TRUE(NoLinkOnTheWay(u"C:\\Root\\A\\B\\file.txt"));
    EXPECT_EQ(plat::Wide(fake::kOtherUserAccount), fake::SecurityOf(u"C:\\Root\\A\\B").owner);
    GuardFolder(u"C:\\Root\\A", TFolderOwners::Administrators);
    EXPECT_TRUE(NoLinkOnTheWay(u"C:\\Root\\A\\B\\file.txt"));
    EXPECT_NE(plat::Wide(fake::kOtherUserAccount), fake::SecurityOf(u"C:\\Root\\A\\B").owner)
        << "taken over for the new root";
    ForgetGuardedFolders();
}

// The check of the way found a folder missing; before it is made, another user puts a link at
// its name. Nothing is made or written through it.
TEST(LinkGuard, ALinkPlantedWhereAMissingFolderIsToBeMadeTakesNothing) {
    StartFreshProcess();
    LogList = std::make_unique<std::vector<std::string>>();
    fake::PutFolder(u"C:\\Root");
    fake::PutFolder(u"C:\\Victim");
    GuardFolder(u"C:\\Root");
    ASSERT_TRUE(NoLinkOnTheWay(u"C:\\Root\\New\\Inner\\file.txt"));
    fake::PutLink(u"C:\\Root\\New", u"C:\\Victim", true);
    ForceFolders(u"C:\\Root\\New\\Inner\\");
    EXPECT_TRUE(fake::ListTree(u"C:\\Victim").empty()) << "nothing made where the link points";
    EXPECT_FALSE(NoLinkOnTheWay(u"C:\\Root\\New\\Inner\\file.txt"));
    EXPECT_FALSE(WriteWholeFile(u"C:\\Root\\New\\Inner\\file.txt", "x", 1));
    EXPECT_TRUE(fake::ListTree(u"C:\\Victim").empty());
    ForgetGuardedFolders();
}

}  // namespace

namespace {

TEST_F(PlantedLinks, ALogThatIsALinkIsNeitherReadNorWrittenThrough) {
    ASSERT_EQ(0, Setup());
    // Where Wine shows a link to a file as the file it points at.
    fake::SetLinksAsUnderWine(true);
    fake::PutFile(kVictim + u"\\secret.txt", "C:\\secret line\r\n");
    fake::PutLink(kCommon + u"\\Update.log", kVictim + u"\\secret.txt", false);
    fake::PutLink(kMain + u"\\Install.log", kVictim + u"\\secret.txt", false);
    EXPECT_EQ(2, Setup()) << "the update log cannot be merged";
    EXPECT_EQ("C:\\secret line\r\n", fake::FileBytes(kVictim + u"\\secret.txt"));
    EXPECT_EQ(std::string::npos, fake::FileBytes(kMain + u"\\Install.log").find("secret"))
        << "the link's target is not read into the install log";
    fake::SetLinksAsUnderWine(false);
}

}  // namespace

namespace {

TEST_F(PlantedLinks, AFolderReachedThroughALinkAboveItIsStillItself) {
    // The user's own junction above the installation folder (or a mapped drive, a short name):
    // the files below it are reached as themselves, and the logs are read as ever.
    fake::PutFolder(u"C:\\Real\\Apps");
    fake::PutLink(u"C:\\Apps", u"C:\\Real\\Apps", true);
    const plat::Wide folder = u"C:\\Apps\\Tessaron";
    ASSERT_EQ(0, Setup(u"-S -D" + folder));
    ASSERT_NE(std::string::npos, fake::FileBytes(folder + u"\\Install.log").find("Made Dir: C:\\Apps\\Tessaron\\"));
    fake::PutFile(folder + u"\\tsd.exe.~0", "left by a killed run");
    fake::PutFile(folder + u"\\Install.log",
                  fake::FileBytes(folder + u"\\Install.log") + "File Copy: C:\\Apps\\Tessaron\\Earlier.txt\r\n");
    EXPECT_EQ(0, Setup(u"-S"));
    EXPECT_NE(std::string::npos, fake::FileBytes(folder + u"\\Install.log").find("File Copy: C:\\Apps\\Tessaron\\Earlier.txt"))
        << "the earlier runs' lines were read and kept";
    EXPECT_FALSE(fake::FileExistsAt(folder + u"\\tsd.exe.~0"));
}

}  // namespace
