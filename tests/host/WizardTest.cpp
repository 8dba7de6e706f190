// The whole run through the entry on the fake machine: the silent chain, the interactive page
// flow driven by a scripted user, and what each installation leaves behind.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/Entry.h"
#include "install/InstUtils.h"
#include "tests/host/TestMachine.h"
#include "wizard/engine/AppRunning.h"
#include "wizard/engine/Registry.h"

namespace {

using Lines = std::vector<std::string>;


class Wizard : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(StartFreshProcessWithRealPayload()) << TSD_PAYLOAD_FILE;
    }
    // A second run of the program on the same machine.
    void NextProcess() { ResetProcessState(); }
    int Run(const plat::Wide& arguments, std::vector<TModalStep> user = {}) {
        fake::SetCommandLine(u"\"C:\\Users\\User\\Downloads\\tessaron-setup.exe\" " + arguments);
        SetHeadlessModalSteps(std::move(user));
        return SetupMain();
    }
    static TMainDlgForm& Form() { return *MainDlgForm; }
    static void Press(TButton* button) { button->Click(); }
    static uint8_t Page() { return Form().CurrentPage(); }
    Lines LogLines(const plat::Wide& path) { return SplitLogLines(fake::FileBytes(path)); }
    size_t BoxesShown() { return fake::ShownBoxes().size(); }
};

TEST_F(Wizard, SilentFirstInstallationPlacesEverything) {
    ASSERT_EQ(0, Run(u"-S"));
    EXPECT_TRUE(fake::ShownBoxes().empty());
    EXPECT_TRUE(fake::Executions().empty()) << "a silent run never launches the application";
    EXPECT_TRUE(fake::FileExistsAt(kMain + u"\\tsd.exe"));
    EXPECT_TRUE(fake::FileExistsAt(kMain + u"\\License.txt"));
    EXPECT_TRUE(fake::FileExistsAt(kCommon + u"\\Public\\Templates\\Letters\\Business Letter.rtf"));
    EXPECT_EQ(8u, fake::FileBytes(kCommon + u"\\Hidden\\install_stamp").size());
    std::string common = fake::FileBytes(kCommon + u"\\tsd_common.dat");
    ASSERT_EQ(16u, common.size());
    EXPECT_EQ(std::string("\1\0\0\0\x08\0\0\0", 8), common.substr(0, 8));
    EXPECT_TRUE(fake::FileExistsAt(kCommonPrograms + kLinkName));
    EXPECT_TRUE(fake::FileExistsAt(kCommonDesktop + kLinkName));
    EXPECT_FALSE(fake::FileExistsAt(kMain + u"\\Tessaron.ini"));

    Lines log = LogLines(kMain + u"\\Install.log");
    // The data folders are made while the files are selected, before anything is written.
    EXPECT_EQ((Lines{"Made Dir: C:\\ProgramData\\Tessaron\\", "Made Dir: C:\\ProgramData\\Tessaron\\Public\\",
                     "Made Dir: C:\\ProgramData\\Tessaron\\Hidden\\",
                     "Made Dir: C:\\Program Files\\Tessaron\\", "File Copy: C:\\Program Files\\Tessaron\\tsd.exe",
                     "File Copy: C:\\Program Files\\Tessaron\\License.txt",
                     "File Copy: " + Utf8Of(kCommonPrograms + kLinkName),
                     "File Copy: " + Utf8Of(kCommonDesktop + kLinkName)}),
              log);

    Lines update = LogLines(kCommon + u"\\Update.log");
    ASSERT_EQ(1u + 258u, update.size());
    EXPECT_EQ('*', update[0][0]);
    for (size_t i = 1; i < update.size(); ++i) {
        EXPECT_EQ(0u, update[i].find("C:\\ProgramData\\Tessaron\\Public\\")) << update[i];
        EXPECT_EQ("\t!", update[i].substr(update[i].size() - 2)) << update[i];
    }
    EXPECT_TRUE(fake::RegKeyExists(plat::kHKeyCurrentUser, kSavedChoicesKey));
    EXPECT_TRUE(fake::RegKeyExists(plat::kHKeyLocalMachine, kUninstallKey));
}

TEST_F(Wizard, SilentReinstallationRemembersAndLogsEachLineOnce) {
    fake::SetUserLCID(0x040C);  // French
    ASSERT_EQ(0, Run(u"-S"));
    Lines firstLog = LogLines(kMain + u"\\Install.log");
    Lines firstUpdate = LogLines(kCommon + u"\\Update.log");
    fake::PutFile(kCommon + u"\\Public\\Templates\\Letters\\Business Letter.rtf", "changed by the user");

    NextProcess();
    fake::SetUserLCID(0x0409);
    fake::SetLocalTime(plat::SystemTimeOf(2027, 1, 2, 3));
    ASSERT_EQ(0, Run(u"/S"));
    EXPECT_EQ(3, CurrentUILang) << "the saved language wins over the locale";
    Lines secondLog = LogLines(kMain + u"\\Install.log");
    EXPECT_EQ(firstLog.size(), secondLog.size());
    for (const auto& line : firstLog)
        EXPECT_NE(secondLog.end(), std::find(secondLog.begin(), secondLog.end(), line)) << line;
    Lines secondUpdate = LogLines(kCommon + u"\\Update.log");
    EXPECT_EQ(firstUpdate.size(), secondUpdate.size()) << "one marker, the full list";
    EXPECT_NE(firstUpdate[0], secondUpdate[0]);
    EXPECT_NE("changed by the user",
              fake::FileBytes(kCommon + u"\\Public\\Templates\\Letters\\Business Letter.rtf"))
        << "a normal reinstallation rewrites every file";
}

TEST_F(Wizard, SilentRunWhileTheApplicationRunsInstallsNothing) {
    plat::WindowHandle app = fake::AddWindow();
    fake::SetWindowProp(app, kRunningMark, 1);
    EXPECT_EQ(1, Run(u"-S"));
    EXPECT_FALSE(fake::FolderExistsAt(kMain));
    EXPECT_FALSE(fake::RegKeyExists(plat::kHKeyCurrentUser, kSavedChoicesKey));
    EXPECT_TRUE(fake::ShownBoxes().empty());
}

TEST_F(Wizard, SilentPortableInstallationStaysInItsFolder) {
    fake::PutFile(u"C:\\Portable\\Tessaron\\Tessaron.ini", "");
    ASSERT_EQ(0, Run(u"-S \"-DC:\\Portable\\Tessaron\""));
    EXPECT_TRUE(fake::FileExistsAt(u"C:\\Portable\\Tessaron\\tsd.exe"));
    auto templates = fake::ListTree(u"C:\\Portable\\Tessaron\\Templates");
    EXPECT_EQ(16, std::count_if(templates.begin(), templates.end(),
                                [](const plat::Wide& n) { return n.back() != u'\\'; }));
    EXPECT_EQ(16u, fake::FileBytes(u"C:\\Portable\\Tessaron\\tsd_common.dat").size());
    EXPECT_FALSE(fake::FileExistsAt(u"C:\\Portable\\Tessaron\\Install.log"));
    EXPECT_FALSE(fake::FolderExistsAt(kCommon));
    EXPECT_FALSE(fake::FileExistsAt(kCommonPrograms + kLinkName));
    EXPECT_FALSE(fake::RegKeyExists(plat::kHKeyCurrentUser, kSavedChoicesKey));
    EXPECT_FALSE(fake::RegKeyExists(plat::kHKeyLocalMachine, kUninstallKey));
}

TEST_F(Wizard, SilentPortableCopyIsRefusedInsideProgramFiles) {
    fake::PutFile(kMain + u"\\Tessaron.ini", "");
    EXPECT_EQ(0, Run(u"-S"));
    ASSERT_EQ(1u, BoxesShown());
    EXPECT_EQ(u"A portable copy cannot be installed to this folder.", fake::ShownBoxes()[0].text);
    EXPECT_FALSE(fake::FileExistsAt(kMain + u"\\tsd.exe"));
}

TEST_F(Wizard, AFailureOnTheTenthFileKeepsNineAndTheRecords) {
    // The files are written in payload order: tsd.exe, License.txt, then the templates.
    std::vector<plat::Wide> dests;
    std::stringstream listing(ReadSourceFile("resources/payload/listing.txt"));
    std::string line;
    while (std::getline(listing, line) && dests.size() < 10) {
        if (line.empty() || line[0] == '#') continue;
        plat::Wide name = WideOfUtf8(line.substr(0, line.find('\t')));
        dests.push_back(dests.size() < 2 ? JoinPath(kMain, name) : JoinPath(kCommon + u"\\Public", name));
    }
    fake::FailWrites(dests[9], 1);
    EXPECT_EQ(2, Run(u"-S"));
    for (int i = 0; i < 9; ++i) EXPECT_TRUE(fake::FileExistsAt(dests[i])) << Utf8Of(dests[i]);
    EXPECT_EQ("", fake::FileBytes(dests[9]));
    EXPECT_TRUE(fake::FileExistsAt(kMain + u"\\Install.log"));
    EXPECT_TRUE(fake::RegKeyExists(plat::kHKeyLocalMachine, kUninstallKey));
    EXPECT_FALSE(fake::FileExistsAt(kCommon + u"\\tsd_common.dat"));
    EXPECT_FALSE(fake::FileExistsAt(kCommon + u"\\Update.log"));
}

TEST_F(Wizard, InteractiveInstallationWalksEveryPageAndLaunches) {
    std::vector<TModalStep> user = {
        [](TForm&) { EXPECT_EQ(kWelcomePage, Page()); EXPECT_FALSE(Form().BackBtn->Visible()); },
        [](TForm&) { Press(Form().NextBtn); },
        [](TForm&) {
            EXPECT_EQ(kLicensePage, Page());
            EXPECT_FALSE(Form().LicenseMemo->Lines().empty());
            EXPECT_TRUE(Form().NextBtn->Enabled() && Form().CancelBtn->Enabled());
            Press(Form().NextBtn);
        },
        [](TForm&) { EXPECT_EQ(kDestinationPage, Page()); Press(Form().NextBtn); },
        [](TForm&) {
            EXPECT_EQ(kReadyPage, Page());
            EXPECT_TRUE(Form().InstallToAllChkBx->Visible());
            Form().InstallToAllChkBx->UserToggled(false);
            Form().DesktopChkBx->UserToggled(false);
            Press(Form().NextBtn);
        },
        [](TForm&) {
            EXPECT_EQ(kFinishedPage, Page());
            EXPECT_EQ(u"&Finish", Form().NextBtn->Caption());
            EXPECT_FALSE(Form().CancelBtn->Enabled());
            EXPECT_FALSE(Form().BackBtn->Enabled());
            Press(Form().NextBtn);
        },
    };
    EXPECT_EQ(0, Run(u"", user));
    EXPECT_EQ(std::vector<plat::Wide>{}, fake::ListTree(u"C:\\Users\\User\\Temp")) << "the extracted licence is deleted";
    EXPECT_TRUE(fake::FileExistsAt(
        u"C:\\Users\\User\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs" + kLinkName));
    EXPECT_FALSE(fake::FileExistsAt(u"C:\\Users\\User\\Desktop" + kLinkName));
    ASSERT_EQ(1u, fake::Executions().size());
    EXPECT_EQ(u"open", fake::Executions()[0].verb);
    EXPECT_EQ(kMain + u"\\tsd.exe", fake::Executions()[0].file);
    EXPECT_EQ(u"-uilp en", fake::Executions()[0].parameters);
    EXPECT_EQ(plat::kSwShow, fake::Executions()[0].showCommand);
    TSavedChoices saved = ReadSavedChoices();
    EXPECT_FALSE(saved.InstallToAll);
    EXPECT_FALSE(saved.DesktopShortcut);
}

// The choices of one run are the next run's defaults: the folder, the shortcuts' places and the
// start at the end, in the wizard's boxes and in where a silent reinstallation puts things.
TEST_F(Wizard, TheChoicesOfTheLastRunAreTheDefaultsOfTheNext) {
    const plat::Wide folder = u"C:\\Apps\\Tessaron";
    std::vector<TModalStep> choose = {
        [](TForm&) { Press(Form().NextBtn); },
        [](TForm&) { Press(Form().NextBtn); },
        [](TForm&) {
            Form().DestDirEdt->UserEdited(u"C:\\Apps\\Tessaron");
            Press(Form().NextBtn);
        },
        [](TForm&) {
            EXPECT_EQ(kReadyPage, Page());
            Form().InstallToAllChkBx->UserToggled(false);
            Form().DesktopChkBx->UserToggled(false);
            Press(Form().NextBtn);
        },
        [](TForm&) {
            EXPECT_EQ(kFinishedPage, Page());
            Form().FinishChkBx->UserToggled(false);
            Press(Form().NextBtn);
        },
    };
    ASSERT_EQ(0, Run(u"", choose));
    ASSERT_TRUE(fake::FileExistsAt(folder + u"\\tsd.exe"));
    ASSERT_TRUE(plat::DeleteFileW(kUserPrograms + kLinkName));

    // A silent reinstallation: the remembered folder, the user's own Start menu alone.
    NextProcess();
    ASSERT_EQ(0, Run(u"-S"));
    EXPECT_FALSE(fake::FolderExistsAt(kMain));
    fake::LinkData link;
    ASSERT_TRUE(fake::LinkAt(kUserPrograms + kLinkName, &link));
    EXPECT_EQ(folder + u"\\tsd.exe", link.target);
    for (const plat::Wide& place : {kCommonPrograms, kCommonDesktop, kUserDesktop})
        EXPECT_FALSE(fake::FileExistsAt(place + kLinkName)) << Utf8Of(place);

    // The wizard opens with the same choices, and the application is not started at the end.
    NextProcess();
    static int stepsRun;
    stepsRun = 0;
    std::vector<TModalStep> look = {
        [](TForm&) { ++stepsRun; Press(Form().NextBtn); },
        [](TForm&) {
            ++stepsRun;
            EXPECT_EQ(kDestinationPage, Page());
            EXPECT_EQ(u"C:\\Apps\\Tessaron", Form().DestDirEdt->Text());
            Press(Form().NextBtn);
        },
        [](TForm&) {
            ++stepsRun;
            EXPECT_EQ(kReadyPage, Page());
            EXPECT_FALSE(Form().InstallToAllChkBx->Checked());
            EXPECT_FALSE(Form().DesktopChkBx->Checked());
            Press(Form().NextBtn);
        },
        [](TForm&) {
            ++stepsRun;
            EXPECT_EQ(kFinishedPage, Page());
            EXPECT_FALSE(Form().FinishChkBx->Checked());
            Press(Form().NextBtn);
        },
    };
    EXPECT_EQ(0, Run(u"", look));
    EXPECT_EQ(4, stepsRun);
    EXPECT_TRUE(fake::Executions().empty()) << "the application was started";
    EXPECT_TRUE(fake::FileExistsAt(kUserPrograms + kLinkName));
    for (const plat::Wide& place : {kCommonPrograms, kCommonDesktop, kUserDesktop})
        EXPECT_FALSE(fake::FileExistsAt(place + kLinkName)) << Utf8Of(place);
}

// A portable copy chosen in the wizard: the marker file is written, nothing outside the folder
// changes, and the next run finds the copy portable by its marker.
TEST_F(Wizard, APortableCopyMadeInTheWizardIsMarkedAndStaysInItsFolder) {
    const plat::Wide folder = u"C:\\Portable\\Tessaron";
    std::vector<TModalStep> user = {
        [](TForm&) { Press(Form().NextBtn); },
        [](TForm&) { Press(Form().NextBtn); },
        [](TForm&) {
            Form().DestDirEdt->UserEdited(u"C:\\Portable\\Tessaron");
            Form().PortableChkBx->UserToggled(true);
            Press(Form().NextBtn);
        },
        [](TForm&) { EXPECT_EQ(kReadyPage, Page()); Press(Form().NextBtn); },
        [](TForm&) {
            EXPECT_EQ(kFinishedPage, Page());
            Form().FinishChkBx->UserToggled(false);
            Press(Form().NextBtn);
        },
    };
    ASSERT_EQ(0, Run(u"", user));
    EXPECT_TRUE(fake::FileExistsAt(folder + u"\\tsd.exe"));
    ASSERT_TRUE(fake::FileExistsAt(folder + u"\\Tessaron.ini")) << "the copy is not marked portable";
    EXPECT_EQ("", fake::FileBytes(folder + u"\\Tessaron.ini"));
    EXPECT_FALSE(fake::FileExistsAt(folder + u"\\Install.log"));
    EXPECT_FALSE(fake::FolderExistsAt(kCommon));
    for (const plat::Wide& place : {kCommonPrograms, kCommonDesktop, kUserPrograms, kUserDesktop})
        EXPECT_FALSE(fake::FileExistsAt(place + kLinkName)) << Utf8Of(place);
    EXPECT_FALSE(fake::RegKeyExists(plat::kHKeyCurrentUser, kSavedChoicesKey));
    EXPECT_FALSE(fake::RegKeyExists(plat::kHKeyLocalMachine, kUninstallKey));

    // Updated silently in place: the marker alone makes it portable again.
    NextProcess();
    ASSERT_EQ(0, Run(u"-S \"-DC:\\Portable\\Tessaron\""));
    EXPECT_FALSE(fake::FileExistsAt(folder + u"\\Install.log"));
    EXPECT_FALSE(fake::FolderExistsAt(kCommon));
    EXPECT_FALSE(fake::RegKeyExists(plat::kHKeyCurrentUser, kSavedChoicesKey));
}

TEST_F(Wizard, CancelAsksAndNoKeepsThePage) {
    fake::ScriptAnswers({plat::kIdNo, plat::kIdYes});
    std::vector<TModalStep> user = {
        [](TForm&) { Press(Form().NextBtn); },
        [](TForm&) { Press(Form().NextBtn); },
        [](TForm&) { Press(Form().CancelBtn); },
        [](TForm&) { EXPECT_EQ(kDestinationPage, Page()) << "No keeps the page"; Press(Form().CancelBtn); },
        [](TForm&) { ADD_FAILURE() << "Yes should have closed the wizard"; },
    };
    EXPECT_EQ(0, Run(u"", user));
    ASSERT_EQ(2u, BoxesShown());
    EXPECT_EQ(u"Setup is not complete. Do you wish to quit this setup program?", fake::ShownBoxes()[0].text);
    EXPECT_FALSE(fake::FolderExistsAt(kMain));
    EXPECT_FALSE(fake::RegKeyExists(plat::kHKeyCurrentUser, kSavedChoicesKey));
}

TEST_F(Wizard, ClosingOnTheFinishedPageSkipsTheClosingStepButRecords) {
    fake::ScriptAnswers({plat::kIdYes});
    std::vector<TModalStep> user = {
        [](TForm&) { Press(Form().NextBtn); }, [](TForm&) { Press(Form().NextBtn); },
        [](TForm&) { Press(Form().NextBtn); }, [](TForm&) { Press(Form().NextBtn); },
        [](TForm& f) { EXPECT_EQ(kFinishedPage, Page()); f.Close(); },
    };
    EXPECT_EQ(0, Run(u"", user));
    EXPECT_EQ(1u, BoxesShown());
    EXPECT_TRUE(fake::Executions().empty());
    EXPECT_FALSE(fake::FileExistsAt(kCommon + u"\\Update.log"));
    EXPECT_TRUE(fake::FileExistsAt(kMain + u"\\Install.log"));
    EXPECT_TRUE(fake::RegKeyExists(plat::kHKeyLocalMachine, kUninstallKey));
}

TEST_F(Wizard, TheLicenceMustBeAccepted) {
    std::vector<TModalStep> user = {
        [](TForm&) { Press(Form().NextBtn); },
        [](TForm&) {
            Form().LicenseChkBx->UserToggled(false);
            Press(Form().NextBtn);
            EXPECT_EQ(kLicensePage, Page());
            Press(Form().BackBtn);
            EXPECT_EQ(kWelcomePage, Page());
            Press(Form().NextBtn);
            EXPECT_EQ(kLicensePage, Page());
            Form().CloseAllowed = true;
            Form().Close();
        },
    };
    Run(u"", user);
    ASSERT_EQ(1u, BoxesShown());
    EXPECT_EQ(u"To install this program, you need to agree to all the terms of the License Agreement.",
              fake::ShownBoxes()[0].text);
    EXPECT_EQ(plat::kMbOk | plat::kMbIconInformation | plat::kMbTaskModal, fake::ShownBoxes()[0].flags);
}

TEST_F(Wizard, APreviousInstallationSkipsTheLicenceBothWays) {
    ASSERT_EQ(0, Run(u"-S"));
    NextProcess();
    // Steps run only while the form is open: counted, so that a form that never opens fails.
    static int stepsRun;
    stepsRun = 0;
    std::vector<TModalStep> user = {
        [](TForm&) {
            ++stepsRun;
            EXPECT_TRUE(Form().PreviousInstall);
            Press(Form().NextBtn);
            EXPECT_EQ(kDestinationPage, Page());
            EXPECT_TRUE(Form().LicenseMemo->Lines().empty()) << "nothing extracted";
            Press(Form().BackBtn);
            EXPECT_EQ(kWelcomePage, Page());
            Form().CloseAllowed = true;
            Form().Close();
        },
    };
    EXPECT_EQ(0, Run(u"", user));
    EXPECT_EQ(1, stepsRun);
    EXPECT_EQ(0u, BoxesShown());
}

TEST_F(Wizard, ChangingTheLanguageChangesEveryCaption) {
    std::vector<TModalStep> user = {
        [](TForm&) {
            TMainDlgForm& f = Form();
            int englishQ = f.PortableInfoBtn->Left();
            f.LangBox->UserSelected(3);
            EXPECT_EQ(3, CurrentUILang);
            EXPECT_EQ(DecodeUIText(UIText(SetupTitle)), f.Caption());
            EXPECT_EQ(f.Caption(), Application.Title);
            EXPECT_EQ(DecodeUIText(PageTitle(0)), f.TopLbl->Caption());
            EXPECT_EQ(DecodeUIText(UIText(InstallPortable)), f.PortableChkBx->Caption());
            EXPECT_EQ(DecodeUIText(UIText(CancelCaption)), f.CancelBtn->Caption());
            EXPECT_NE(englishQ, f.PortableInfoBtn->Left());
            EXPECT_EQ(f.PortableChkBx->Left() + f.PortableChkBx->Width(), f.PortableInfoBtn->Left());
            f.Close();
        },
    };
    fake::ScriptAnswers({plat::kIdYes});
    Run(u"", user);
    ASSERT_EQ(1u, BoxesShown());
    EXPECT_EQ(DecodeUIText(SetupTitle[3]), fake::ShownBoxes()[0].caption) << "boxes follow the language";
}

TEST_F(Wizard, TheRunningApplicationMustBeClosedFirst) {
    plat::WindowHandle app = fake::AddWindow();
    fake::SetWindowProp(app, kRunningMark, 7);
    std::vector<TModalStep> user = {
        [](TForm&) { Press(Form().NextBtn); }, [](TForm&) { Press(Form().NextBtn); },
        [](TForm&) { Press(Form().NextBtn); },
        [app](TForm&) {
            Press(Form().NextBtn);
            EXPECT_EQ(kReadyPage, Page());
            EXPECT_FALSE(fake::FolderExistsAt(kMain));
            fake::RemoveWindow(app);
            Press(Form().NextBtn);
            EXPECT_EQ(kFinishedPage, Page());
            Press(Form().NextBtn);
        },
    };
    EXPECT_EQ(0, Run(u"", user));
    ASSERT_EQ(1u, BoxesShown());
    EXPECT_EQ(DecodeUIText(UIText(CloseRunning)), fake::ShownBoxes()[0].text);
    EXPECT_TRUE(fake::FileExistsAt(kMain + u"\\tsd.exe"));
}

TEST_F(Wizard, ALicenceThatCannotBeExtractedEndsTheRun) {
    // The first write of the run is the licence's copy in the temporary folder.
    fake::FailOperation(fake::Operation::WriteFile, 1);
    fake::ScriptAnswers({plat::kIdAbort});
    std::vector<TModalStep> user = {[](TForm&) { Press(Form().NextBtn); },
                                    [](TForm&) { ADD_FAILURE() << "the wizard should have closed"; }};
    EXPECT_EQ(0, Run(u"", user));
    EXPECT_EQ(1u, BoxesShown()) << "the file dialog, and no quit question";
    EXPECT_TRUE(fake::FaultHappened());
    EXPECT_EQ(std::vector<plat::Wide>{}, fake::ListTree(u"C:\\Users\\User\\Temp")) << "no partial copy is left";

    NextProcess();
    fake::ScriptAnswers({});
    fake::DriveInfo full;  // a temporary folder where nothing fits
    full.capacity = 0;
    fake::AddDrive('T', full);
    fake::PutFolder(u"T:\\Temp");
    fake::SetTempPath(u"T:\\Temp\\");
    EXPECT_EQ(2, Run(u"-S"));
    EXPECT_FALSE(fake::FolderExistsAt(kMain));
}

TEST_F(Wizard, DamagedProgramResourcesEndWithCodeThree) {
    fake::SetResource("#10", "TMAINDLGFORM", "TMainDlgForm MainDlgForm\n  TNoSuchControl X\n");
    EXPECT_EQ(3, Run(u"-S"));
    NextProcess();
    PutProgramResources();
    fake::SetResource("PNG", "LOGO", "not a png");
    EXPECT_EQ(3, Run(u"-S"));
}

}  // namespace

namespace {

class WizardUpdateLog : public Wizard {};

TEST_F(WizardUpdateLog, AnUnwritableUpdateLogIsNotReportedAsSuccess) {
    fake::PutFile(kCommon + u"\\Update.log", "*0000000000000000\r\nC:\\kept\r\n");
    fake::HoldOpen(kCommon + u"\\Update.log");
    EXPECT_EQ(2, Run(u"-S")) << "a silent run reports the failure";
    EXPECT_EQ("*0000000000000000\r\nC:\\kept\r\n", fake::FileBytes(kCommon + u"\\Update.log"));
    EXPECT_TRUE(fake::FileExistsAt(kMain + u"\\Install.log")) << "the installation itself is recorded";
}

TEST_F(WizardUpdateLog, TheUserSeesTheFileAndMayPressFinishAgain) {
    fake::PutFile(kCommon + u"\\Update.log", "");
    fake::HoldOpen(kCommon + u"\\Update.log");
    std::vector<TModalStep> user = {
        [](TForm&) { Press(Form().NextBtn); }, [](TForm&) { Press(Form().NextBtn); },
        [](TForm&) { Press(Form().NextBtn); }, [](TForm&) { Press(Form().NextBtn); },
        [](TForm&) {
            Form().FinishChkBx->UserToggled(false);
            Press(Form().NextBtn);
            EXPECT_EQ(kFinishedPage, Page()) << "the closing step stopped";
            fake::HoldOpen(kCommon + u"\\Update.log", false);
            Press(Form().NextBtn);
        },
    };
    EXPECT_EQ(0, Run(u"", user));
    ASSERT_EQ(1u, BoxesShown());
    EXPECT_NE(plat::Wide::npos, fake::ShownBoxes()[0].text.find(u"Update.log"));
    EXPECT_EQ(plat::kMbIconError, fake::ShownBoxes()[0].flags & 0xF0);
    EXPECT_EQ(1u + 258u, LogLines(kCommon + u"\\Update.log").size()) << "written on the second press";
}

}  // namespace
