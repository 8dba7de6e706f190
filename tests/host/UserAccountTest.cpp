// The setup and the removal under User Account Control, on the fake machine: elevated or not,
// for all users or the current user, the machine's registry closed, the desktop's shell there or
// not, and whatever another program left at the licence's old fixed name in the temporary folder.
#include <gtest/gtest.h>

#include "app/Entry.h"
#include "base/Arguments.h"
#include "base/Utf8.h"
#include "install/TempFile.h"
#include "standin/Elevation.h"
#include "standin/RemovalSwitches.h"
#include "standin/Uninstall.h"
#include "tests/host/TestMachine.h"
#include "wizard/engine/Registry.h"

namespace {

using Names = std::vector<plat::Wide>;

const plat::Wide kTemp = u"C:\\Users\\User\\Temp\\";
const plat::Wide kOldLicencePath = kTemp + u"License.txt";

class UserAccount : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(StartFreshProcessWithRealPayload()) << TSD_PAYLOAD_FILE; }

    int Setup(const plat::Wide& arguments, std::vector<TModalStep> user = {}) {
        ResetProcessState();
        fake::SetCommandLine(u"\"C:\\Users\\User\\Downloads\\tessaron-setup.exe\" " + arguments);
        SetHeadlessModalSteps(std::move(user));
        return SetupMain();
    }

    // "tsd.exe -ui" as the installed program runs it, started unmarked (it may elevate).
    static int Remove(const plat::Wide& program, bool silent = true) {
        ResetRunFlags();
        ResetInstallLog();
        ResetUILangState();
        fake::SetModuleFileName(program);
        TUninstallOptions options;
        options.ProgramPath = program;
        options.Silent = silent;
        options.MayElevate = true;
        options.StartFinish = [](const plat::Wide&) { return true; };
        return Uninstall(options);
    }

    static std::string Text(plat::HKey root, const char* name) {
        fake::RegValue value;
        if (!fake::RegValueAt(root, kUninstallKey, name, &value)) return "<missing>";
        std::string text;
        for (size_t i = 0; i + 1 < value.bytes.size(); i += 2)
            if (value.bytes[i] || value.bytes[i + 1]) text += value.bytes[i];
        return text;
    }
    static int Number(plat::HKey root, const char* name) {
        fake::RegValue value;
        if (!fake::RegValueAt(root, kUninstallKey, name, &value) || value.type != plat::kRegDword) return -1;
        return static_cast<unsigned char>(value.bytes[0]);
    }
};

// ---- The licence's temporary copy ----

TEST_F(UserAccount, TheLicenceTakesANameOfItsOwnAndLeavesNothing) {
    // Whatever stood at the old fixed name, a file of another user or a folder, stays as it was.
    fake::PutFile(kOldLicencePath, "not ours");
    fake::PutFolder(kTemp + u"License.txt.~0");
    std::vector<TModalStep> user = {
        [](TForm&) { MainDlgForm->NextBtn->Click(); },
        [](TForm&) {
            EXPECT_FALSE(MainDlgForm->LicenseMemo->Lines().empty()) << "the licence is shown";
            MainDlgForm->CancelBtn->Click();
        }};
    fake::ScriptAnswers({plat::kIdYes});
    EXPECT_EQ(0, Setup(u"", user));
    EXPECT_EQ("not ours", fake::FileBytes(kOldLicencePath));
    EXPECT_EQ((Names{u"License.txt", u"License.txt.~0\\"}), fake::ListTree(kTemp)) << "no copy is left";
    EXPECT_EQ(0, fake::OpenHandleCount());
}

TEST_F(UserAccount, AFolderAtTheOldLicenceNameStopsNoSilentRun) {
    fake::PutFolder(kOldLicencePath);
    EXPECT_EQ(0, Setup(u"-S"));
    EXPECT_TRUE(fake::FileExistsAt(kMain + u"\\tsd.exe"));
    EXPECT_EQ(Names{u"License.txt\\"}, fake::ListTree(kTemp));
}

TEST_F(UserAccount, TemporaryFilesNeverOpenWhatIsThere) {
    plat::Wide first;
    { plat::TFileHandle file = CreateTemporaryFile(kTemp, u"License", u".txt", &first); ASSERT_TRUE(file.Valid()); }
    EXPECT_FALSE(fake::FileExistsAt(first)) << "deleted with its handle";
    EXPECT_EQ(kTemp, first.substr(0, kTemp.size()));
    EXPECT_EQ(u".txt", first.substr(first.size() - 4));

    // Another program takes that very name (the clock stands still here): a file there keeps
    // its bytes, a folder stays a folder, and the next free name is taken.
    fake::PutFile(first, "planted");
    plat::Wide second;
    {
        plat::TFileHandle file = CreateTemporaryFile(kTemp, u"License", u".txt", &second);
        ASSERT_TRUE(file.Valid());
        EXPECT_NE(first, second);
    }
    EXPECT_EQ("planted", fake::FileBytes(first));
    fake::PutFolder(second);
    plat::Wide third;
    {
        plat::TFileHandle file = CreateTemporaryFile(kTemp, u"License", u".txt", &third);
        ASSERT_TRUE(file.Valid());
        EXPECT_NE(second, third);
    }
    EXPECT_TRUE(fake::FolderExistsAt(second));

    // A folder that does not exist gives no file at all, and says so at once.
    plat::Wide none;
    EXPECT_FALSE(CreateTemporaryFile(u"C:\\No such folder\\", u"x", u".txt", &none).Valid());
}

TEST_F(UserAccount, ALicenceThatCannotBeWrittenStillEndsASilentRunWithTwo) {
    // A temporary folder on a drive where nothing fits.
    fake::DriveInfo full;
    full.capacity = 0;
    fake::AddDrive('T', full);
    fake::PutFolder(u"T:\\Temp");
    fake::SetTempPath(u"T:\\Temp\\");
    EXPECT_EQ(2, Setup(u"-S"));
    EXPECT_EQ(Names{}, fake::ListTree(u"T:\\Temp"));
    EXPECT_FALSE(fake::FolderExistsAt(kMain));

    // A write that fails half-way leaves no partial copy behind either.
    fake::SetTempPath(kTemp);
    fake::FailOperation(fake::Operation::WriteFile, fake::OperationCount(fake::Operation::WriteFile) + 1);
    EXPECT_EQ(2, Setup(u"-S"));
    EXPECT_TRUE(fake::FaultHappened());
    EXPECT_EQ(Names{}, fake::ListTree(kTemp));
}

// ---- The uninstall entry ----

TEST_F(UserAccount, TheUninstallEntryTellsHowToRemoveQuietlyAndWhere) {
    ASSERT_EQ(0, Setup(u"-S"));
    const plat::HKey hklm = plat::kHKeyLocalMachine;
    EXPECT_EQ("\"C:\\Program Files\\Tessaron\\tsd.exe\" -ui", Text(hklm, "UninstallString"));
    EXPECT_EQ("\"C:\\Program Files\\Tessaron\\tsd.exe\" -ui /S", Text(hklm, "QuietUninstallString"));
    EXPECT_EQ("C:\\Program Files\\Tessaron", Text(hklm, "InstallLocation"));
    EXPECT_EQ(1, Number(hklm, "NoModify"));
    EXPECT_EQ(1, Number(hklm, "NoRepair"));
    EXPECT_EQ("C:\\Program Files\\Tessaron\\tsd.exe", Text(hklm, "DisplayIcon"));
    EXPECT_FALSE(fake::RegKeyExists(plat::kHKeyCurrentUser, kUninstallKey));
}

TEST_F(UserAccount, WithoutTheMachinesKeyTheEntryGoesToTheUsersOwnList) {
    fake::DenyRegistryKey(plat::kHKeyLocalMachine, kUninstallKey);
    const plat::Wide folder = u"C:\\Users\\User\\Apps\\Tessaron";
    ASSERT_EQ(0, Setup(u"-S -D" + folder));
    const plat::HKey hkcu = plat::kHKeyCurrentUser;
    EXPECT_FALSE(fake::RegKeyExists(plat::kHKeyLocalMachine, kUninstallKey));
    EXPECT_EQ("\"C:\\Users\\User\\Apps\\Tessaron\\tsd.exe\" -ui", Text(hkcu, "UninstallString"));
    EXPECT_EQ("\"C:\\Users\\User\\Apps\\Tessaron\\tsd.exe\" -ui /S", Text(hkcu, "QuietUninstallString"));
    EXPECT_EQ("4.4.3.8", Text(hkcu, "DisplayVersion"));
    EXPECT_EQ(1, Number(hkcu, "NoRepair"));

    // A user's own installation is removed without asking for elevation, the entry with it.
    fake::SetElevated(false);
    EXPECT_EQ(kUninstallRemoved, Remove(folder + u"\\tsd.exe"));
    EXPECT_TRUE(fake::Executions().empty()) << "no elevation was asked for";
    EXPECT_FALSE(fake::RegKeyExists(hkcu, kUninstallKey));
    EXPECT_FALSE(fake::RegKeyExists(hkcu, kSavedChoicesKey));
}

TEST_F(UserAccount, AStandardUsersSetupRegistersItselfForThatUser) {
    // Not elevated, the machine's keys can be read but not written.
    fake::SetElevated(false);
    const plat::Wide folder = u"C:\\Users\\User\\Apps\\Tessaron";
    ASSERT_EQ(0, Setup(u"-S -D" + folder));
    EXPECT_FALSE(fake::RegKeyExists(plat::kHKeyLocalMachine, kUninstallKey));
    EXPECT_EQ(folder, WideOfUtf8(Text(plat::kHKeyCurrentUser, "InstallLocation")));
}

// ---- Removing an installation for all users ----

TEST_F(UserAccount, AnUnelevatedRemovalOfAnAllUsersCopyStartsItselfElevated) {
    ASSERT_EQ(0, Setup(u"-S"));
    fake::SetElevated(false);
    fake::SetShellExecuteExResult(true, 0);
    Names before = fake::ListTree(u"C:\\");
    EXPECT_EQ(0, Remove(kMain + u"\\tsd.exe"));
    ASSERT_EQ(1u, fake::Executions().size());
    const fake::Execution& run = fake::Executions()[0];
    EXPECT_EQ(fake::Execution::ShellAndWait, run.how);
    EXPECT_EQ(u"runas", run.verb);
    EXPECT_EQ(kMain + u"\\tsd.exe", run.file);
    EXPECT_EQ(u"-ui /S /ELEVATED", run.parameters);
    // The elevated copy does the work; this process removed nothing itself.
    EXPECT_EQ(before, fake::ListTree(u"C:\\"));
    EXPECT_TRUE(fake::RegKeyExists(plat::kHKeyLocalMachine, kUninstallKey));

    // Its exit code is passed on; an interactive removal asks the elevated copy, not this one.
    fake::SetShellExecuteExResult(true, kUninstallIncomplete);
    EXPECT_EQ(kUninstallIncomplete, Remove(kMain + u"\\tsd.exe", false));
    EXPECT_EQ(u"-ui /ELEVATED", fake::Executions().back().parameters);
    EXPECT_TRUE(fake::ShownBoxes().empty());
}

TEST_F(UserAccount, ARefusedElevationRemovesNothing) {
    ASSERT_EQ(0, Setup(u"-S"));
    fake::SetElevated(false);
    fake::SetShellExecuteExResult(false, plat::kErrorCancelled);
    Names before = fake::ListTree(u"C:\\");
    EXPECT_EQ(kUninstallRefused, Remove(kMain + u"\\tsd.exe", false));
    EXPECT_EQ(before, fake::ListTree(u"C:\\"));
    EXPECT_TRUE(fake::RegKeyExists(plat::kHKeyLocalMachine, kUninstallKey));
    EXPECT_TRUE(fake::RegKeyExists(plat::kHKeyCurrentUser, kSavedChoicesKey));
}

TEST_F(UserAccount, TheElevatedCopyAndAnElevatedRemovalNeverAskAgain) {
    ASSERT_EQ(0, Setup(u"-S"));
    // Started with the mark, it goes on as it is even where elevation did not take.
    fake::SetElevated(false);
    ResetRunFlags();
    ResetInstallLog();
    TUninstallOptions marked;
    marked.ProgramPath = kMain + u"\\tsd.exe";
    marked.Silent = true;
    marked.StartFinish = [](const plat::Wide&) { return true; };
    Uninstall(marked);
    EXPECT_TRUE(fake::Executions().empty());

    ASSERT_EQ(0, Setup(u"-S"));
    fake::SetElevated(true);
    EXPECT_EQ(kUninstallRemoved, Remove(kMain + u"\\tsd.exe"));
    EXPECT_TRUE(fake::Executions().empty());
}

// The hand-off as tsd.exe makes it, through its own reading of the command line: the copy started
// unelevated asks once and passes the elevated copy's exit code on; the copy started with the
// switches it was given never asks again, even where "runas" gave it no more rights (User
// Account Control switched off), so that no prompt follows another.
TEST_F(UserAccount, TheRestartedRemovalReadsItsMarkAndNeverAsksAgain) {
    ASSERT_EQ(0, Setup(u"-S"));
    fake::SetElevated(false);
    fake::SetShellExecuteExResult(true, kUninstallIncomplete);
    auto removeWith = [](const plat::Wide& commandLine) {
        ResetRunFlags();
        ResetInstallLog();
        ResetUILangState();
        fake::SetModuleFileName(kMain + u"\\tsd.exe");
        TUninstallOptions options;
        EXPECT_TRUE(ReadRemovalSwitches(SplitCommandLine(commandLine), &options)) << Utf8Of(commandLine);
        options.ProgramPath = kMain + u"\\tsd.exe";
        options.StartFinish = [](const plat::Wide&) { return true; };
        return Uninstall(options);
    };
    // The uninstall entry's quiet command.
    EXPECT_EQ(kUninstallIncomplete, removeWith(u"-ui /S"));
    ASSERT_EQ(1u, fake::Executions().size());
    EXPECT_EQ(u"runas", fake::Executions()[0].verb);
    EXPECT_TRUE(fake::RegKeyExists(plat::kHKeyLocalMachine, kUninstallKey)) << "removed by the first copy";

    // The restarted copy, with exactly the switches it was started with and still without the
    // rights: it goes on as it is and reports what it could not remove.
    const plat::Wide restart = fake::Executions()[0].parameters;
    EXPECT_EQ(kUninstallIncomplete, removeWith(restart)) << Utf8Of(restart);
    EXPECT_EQ(1u, fake::Executions().size()) << "the restarted copy asked for elevation again";
    EXPECT_TRUE(fake::RegKeyExists(plat::kHKeyLocalMachine, kUninstallKey)) << "needs an administrator";
    EXPECT_TRUE(fake::ShownBoxes().empty()) << "the quiet removal stays quiet after the restart";
}

TEST(RemovalSwitches, TheRemovalItsQuietnessAndTheElevatedMarkInAnyCase) {
    const struct {
        const char16_t* commandLine;
        bool removal, silent, mayElevate;
    } cases[] = {
        {u"-ui", true, false, true},
        {u"-ui /S", true, true, true},
        {u"-UI -s", true, true, true},
        {u"-ui /ELEVATED", true, false, false},
        {u"-ui /S /elevated", true, true, false},
        {u"/ELEVATED -ui", true, false, false},
        {u"-uilp en", false, false, false},
        {u"/S /ELEVATED", false, false, false},
        {u"", false, false, false},
    };
    fake::Reset();
    for (const auto& c : cases) {
        SCOPED_TRACE(Utf8Of(c.commandLine));
        TUninstallOptions options;
        options.MayElevate = false;
        EXPECT_EQ(c.removal, ReadRemovalSwitches(SplitCommandLine(c.commandLine), &options));
        if (!c.removal) continue;
        EXPECT_EQ(c.silent, options.Silent);
        EXPECT_EQ(c.mayElevate, options.MayElevate);
    }
}

TEST_F(UserAccount, AllUsersIsTheMachinesEntryOrTheProgramFilesFolder) {
    EXPECT_TRUE(InstalledForAllUsers(u"C:\\Program Files\\Anything\\"));
    EXPECT_FALSE(InstalledForAllUsers(u"D:\\Apps\\Tessaron\\"));
    fake::AddDrive('D', fake::DriveInfo());
    ASSERT_EQ(0, Setup(u"-S -DD:\\Apps\\Tessaron"));
    fake::SetElevated(false);
    EXPECT_TRUE(InstalledForAllUsers(u"D:\\Apps\\Tessaron\\")) << "read without write access";
    EXPECT_TRUE(InstalledForAllUsers(u"d:\\apps\\tessaron\\"));
    EXPECT_FALSE(InstalledForAllUsers(u"D:\\Apps\\Other\\"));
}

// ---- Starting the application at the end ----

class Launching : public UserAccount {
protected:
    const fake::Execution& LaunchAfterInteractiveRun() {
        // Welcome, licence, destination, ready, finished.
        std::vector<TModalStep> user(5, [](TForm&) { MainDlgForm->NextBtn->Click(); });
        EXPECT_EQ(0, Setup(u"", user));
        EXPECT_EQ(1u, fake::Executions().size());
        return fake::Executions().back();
    }
};

TEST_F(Launching, AnElevatedSetupStartsTheApplicationAsTheSignedInUser) {
    fake::SetDesktopShellAvailable(true);
    const fake::Execution& run = LaunchAfterInteractiveRun();
    EXPECT_EQ(fake::Execution::DesktopShell, run.how);
    EXPECT_EQ(kMain + u"\\tsd.exe", run.file);
    EXPECT_EQ(u"-uilp en", run.parameters);
    EXPECT_EQ(u"open", run.verb);
    EXPECT_EQ(plat::kSwShow, run.showCommand);
}

TEST_F(Launching, WithoutADesktopShellTheShellsOwnStartIsUsed) {
    const fake::Execution& run = LaunchAfterInteractiveRun();
    EXPECT_EQ(fake::Execution::Shell, run.how);
    EXPECT_EQ(u"-uilp en", run.parameters);
}

TEST_F(Launching, ASetupThatIsNotElevatedStartsItDirectly) {
    fake::SetDesktopShellAvailable(true);
    fake::SetElevated(false);
    fake::DenyRegistryKey(plat::kHKeyLocalMachine, kUninstallKey);
    const fake::Execution& run = LaunchAfterInteractiveRun();
    EXPECT_EQ(fake::Execution::Shell, run.how);
    EXPECT_EQ(kMain + u"\\tsd.exe", run.file);
}

}  // namespace
