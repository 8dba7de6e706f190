// The destination page: the default folder, the cleaning of the typed folder, the portable
// option following drives and marker files, the drives followed once a second, the help page and
// the commit.
#include <gtest/gtest.h>

#include "app/CommandLine.h"
#include "install/InstUtils.h"
#include "tests/host/TestMachine.h"
#include "wizard/engine/Registry.h"

namespace {

class DestinationPage : public ::testing::Test {
protected:
    void SetUp() override {
        StartFreshProcess();
        RegisterFormControlClasses();
        fake::PutFolder(u"C:\\Program Files");
    }
    TMainDlgForm& Open(const plat::Wide& arguments = u"") {
        fake::SetCommandLine(u"setup.exe " + arguments);
        form = std::make_unique<TMainDlgForm>(ReadRunSwitches(ProgramArguments()));
        EXPECT_TRUE(form->Built()) << form->LoadError();
        MainDlgForm = form.get();
        return *form;
    }
    void AddUsbStick(char letter) {
        fake::DriveInfo stick;
        stick.type = plat::kDriveRemovable;
        stick.label = u"BACKUP";
        fake::AddDrive(letter, stick);
    }
    void AddFixed(char letter) {
        fake::DriveInfo disk;
        disk.type = plat::kDriveFixed;
        fake::AddDrive(letter, disk);
    }
    void SaveMainDir(const plat::Wide& folder) {
        plat::HKey key = 0;
        plat::RegCreateKeyExA(plat::kHKeyCurrentUser, kSavedChoicesKey, plat::kKeyAllAccess, &key);
        plat::RegSetValueExW(key, u"MAINDIR", plat::kRegSz, folder.c_str(),
                             static_cast<uint32_t>((folder.size() + 1) * 2));
        plat::RegCloseKey(key);
    }
    plat::Wide Edit() { return form->DestDirEdt->Text(); }
    std::unique_ptr<TMainDlgForm> form;
};

TEST_F(DestinationPage, DefaultIsTessaronUnderProgramFiles) {
    Open();
    EXPECT_EQ(u"C:\\Program Files\\Tessaron", MainDir);
    EXPECT_EQ(u"C:\\Program Files\\Tessaron", Edit());
    EXPECT_FALSE(form->IsPortable());
}

TEST_F(DestinationPage, ADeletedSavedFolderGivesWayAndTheSwitchWinsOverBoth) {
    SaveMainDir(u"D:\\Gone\\Tessaron");
    Open();
    EXPECT_EQ(u"C:\\Program Files\\Tessaron", MainDir);
    form.reset();
    fake::PutFolder(u"C:\\Kept\\Tessaron");
    SaveMainDir(u"C:\\Kept\\Tessaron");
    Open();
    EXPECT_EQ(u"C:\\Kept\\Tessaron", MainDir);
    form.reset();
    Open(u"/DQ:\\Not\\There -DX:\\Second");
    EXPECT_EQ(u"Q:\\Not\\There", MainDir) << "the leftmost switch, not checked for existence";
    EXPECT_EQ(u"Q:\\Not\\There", Edit());
}

TEST_F(DestinationPage, AnEmptySwitchIsCompletedToAFolder) {
    Open(u"/D");
    EXPECT_EQ(u"c:\\Tessaron", Edit());
}

TEST_F(DestinationPage, TheTypedFolderIsCleaned) {
    Open();
    struct Case {
        plat::Wide typed, cleaned;
    } cases[] = {{u"  D:\\Tools  ", u"D:\\Tools"},
                 {u"C:\\", u"C:\\Tessaron"},
                 {u"c:\\program files", u"c:\\program files\\Tessaron"},
                 {u"C:\\Program Files\\", u"C:\\Program Files\\Tessaron"},
                 {u"D:\\Apps", u"D:\\Apps"},
                 {u"D:", u"D:\\Tessaron"},
                 {u"\\\\srv\\share", u"\\\\srv\\share"},
                 {u"\\\\srv\\share\\apps\\", u"\\\\srv\\share\\apps"}};
    for (const auto& c : cases) {
        form->DestDirEdt->UserEdited(c.typed);
        form->NormalizeDestination();
        EXPECT_EQ(c.cleaned, Edit()) << Utf8Of(c.typed);
    }
    form->DestDirCmbBx->ChooseDrive(u'c');
    form->DestDirEdt->UserEdited(u"Tools");
    form->NormalizeDestination();
    EXPECT_EQ(u"c:\\Tessaron", Edit()) << "no drive: the selector's drive";
}

TEST_F(DestinationPage, TheFolderIsSpelledAsWindowsReadsIt) {
    Open();
    struct Case {
        plat::Wide typed, canonical;
    } cases[] = {{u"C:\\Apps4\\\\Tessaron", u"C:\\Apps4\\Tessaron"},
                 {u"C:\\Apps5\\Tessaron.", u"C:\\Apps5\\Tessaron"},
                 {u"C:/Apps6/Tessaron", u"C:\\Apps6\\Tessaron"},
                 {u" C:\\x ", u"C:\\x"},
                 {u"C:\\x. \\", u"C:\\x"},
                 {u"C:\\x\\\\", u"C:\\x"},
                 {u"C:\\Apps.\\.\\Tools\\..\\Tessaron", u"C:\\Apps\\Tessaron"},
                 {u"C:Apps", u"C:\\Apps"},  // against the current folder, C:\ here
                 {u"C:/", u"C:\\Tessaron"},
                 {u"C:\\\\", u"C:\\Tessaron"},
                 {u"D:\\..", u"D:\\Tessaron"},
                 {u"C:\\Program Files\\.", u"C:\\Program Files\\Tessaron"},
                 {u"c:/program files/", u"c:\\program files\\Tessaron"},
                 {u"\\\\srv\\share\\\\apps\\.", u"\\\\srv\\share\\apps"}};
    for (const auto& c : cases) {
        form->DestDirEdt->UserEdited(c.typed);
        form->GoToPage(kDestinationPage, kReadyPage);
        EXPECT_EQ(c.canonical, MainDir) << Utf8Of(c.typed);
        EXPECT_EQ(c.canonical, Edit()) << "the edit shows the folder that is used";
    }
}

TEST_F(DestinationPage, TheSwitchAndTheRememberedFolderAreSpelledAsWindowsReadsThem) {
    Open(u"-DC:/Apps6//Tessaron.");
    EXPECT_EQ(u"C:\\Apps6\\Tessaron", Edit());
    form->GoToPage(kDestinationPage, kReadyPage);
    EXPECT_EQ(u"C:\\Apps6\\Tessaron", MainDir);
    form.reset();
    // Remembered by an earlier version as it was typed.
    fake::PutFolder(u"C:\\Kept\\Tessaron");
    SaveMainDir(u"C:\\Kept\\\\Tessaron.");
    Open();
    EXPECT_EQ(u"C:\\Kept\\Tessaron", Edit());
    form->GoToPage(kDestinationPage, kReadyPage);
    EXPECT_EQ(u"C:\\Kept\\Tessaron", MainDir);
}

TEST_F(DestinationPage, ThePortableRulesSeeTheFolderAsWindowsReadsIt) {
    fake::PutFile(u"C:\\Port\\Tessaron.ini", "");
    Open();
    form->DestDirEdt->UserEdited(u"C:/Port/");
    form->NormalizeDestination();
    EXPECT_TRUE(form->PortableChkBx->Checked()) << "the marker is found";
    EXPECT_FALSE(form->PortableChkBx->Enabled());
    for (plat::Wide folder : {u"C:/Program Files/Tessaron", u"C:\\\\Program Files\\x",
                              u"C:\\Program Files.\\x", u"C:\\Apps\\..\\Program Files\\x"}) {
        MainDir = u"unchanged";
        form->DestDirEdt->UserEdited(folder);
        form->GoToPage(kDestinationPage, kReadyPage);
        EXPECT_EQ(u"unchanged", MainDir) << Utf8Of(folder);
    }
    EXPECT_EQ(4u, fake::ShownBoxes().size());
}

TEST_F(DestinationPage, ADriveRootChosenInTheTreeGetsTheProductFolder) {
    AddFixed('D');
    Open();
    form->DestDirLstBx->OpenFolder(u"D:\\");
    EXPECT_EQ(u"D:\\Tessaron", Edit());
}

TEST_F(DestinationPage, AMarkerFileLocksThePortableOption) {
    fake::PutFile(u"C:\\Port\\Tessaron.ini", "");
    fake::PutFolder(u"C:\\Other");
    Open();
    form->DestDirLstBx->OpenFolder(u"C:\\Port");
    EXPECT_TRUE(form->PortableChkBx->Checked());
    EXPECT_FALSE(form->PortableChkBx->Enabled());
    form->DestDirLstBx->OpenFolder(u"C:\\Other");
    EXPECT_TRUE(form->PortableChkBx->Enabled());
    EXPECT_TRUE(form->PortableChkBx->Checked()) << "unlocked, still ticked";
}

TEST_F(DestinationPage, ThePortableOptionFollowsTheKindOfDrive) {
    AddUsbStick('F');
    AddFixed('D');
    fake::PutFolder(u"D:\\Data");
    Open();
    form->DestDirLstBx->OpenFolder(u"F:\\");
    EXPECT_TRUE(form->IsPortable()) << "fixed to USB";
    EXPECT_EQ(u"F:\\Tessaron", Edit());
    form->DestDirLstBx->OpenFolder(u"C:\\Program Files");
    EXPECT_FALSE(form->IsPortable()) << "USB back to fixed";
    form->PortableChkBx->UserToggled(true);
    form->DestDirLstBx->OpenFolder(u"D:\\Data");
    EXPECT_TRUE(form->IsPortable()) << "between two fixed drives the user's choice stays";
}

TEST_F(DestinationPage, APortableCopyIsRefusedUnderProgramFiles) {
    Open();
    form->PortableChkBx->UserToggled(true);
    for (plat::Wide folder : {u"C:\\Program Files\\Tessaron", u"c:\\PROGRAM FILES\\x",
                              u"C:\\Program Files (x86)\\Tessaron", u"C:\\Program FilesX"}) {
        MainDir = u"unchanged";
        form->DestDirEdt->UserEdited(folder);
        form->GoToPage(kDestinationPage, kReadyPage);
        EXPECT_EQ(u"unchanged", MainDir) << Utf8Of(folder);
    }
    EXPECT_EQ(4u, fake::ShownBoxes().size());
    EXPECT_EQ(u"A portable copy cannot be installed to this folder.", fake::ShownBoxes()[0].text);
    form->DestDirEdt->UserEdited(u"C:\\Portable\\Tessaron");
    form->GoToPage(kDestinationPage, kReadyPage);
    EXPECT_EQ(u"C:\\Portable\\Tessaron", MainDir);
    EXPECT_FALSE(form->InstallToAllChkBx->Visible());
    EXPECT_FALSE(form->DesktopChkBx->Visible());
}

TEST_F(DestinationPage, DrivesPluggedInOrPulledOutAreFollowed) {
    Open();
    form->DestDirCmbBx->FillDrives();
    form->GoToPage(kDestinationPage, kReadyPage);  // commits C:\Program Files\Tessaron
    ASSERT_EQ(u"C:\\Program Files\\Tessaron", MainDir);

    AddUsbStick('F');
    form->RefreshDrives(nullptr);
    EXPECT_EQ(u'f', form->DestDirCmbBx->DriveLetter());
    EXPECT_EQ(u"f:\\Tessaron", Edit()) << "the drive as the selector holds it";
    EXPECT_TRUE(form->IsPortable());
    EXPECT_EQ(u"C:\\Program Files\\Tessaron", MainDir) << "the committed folder stays";

    form->RefreshDrives(nullptr);  // nothing changed
    EXPECT_EQ(u"f:\\Tessaron", Edit());

    fake::RemoveDrive('F');
    form->RefreshDrives(nullptr);
    EXPECT_EQ(u'c', form->DestDirCmbBx->DriveLetter()) << "back to the program files drive";
    EXPECT_EQ(u"C:\\Program Files\\Tessaron", Edit());
    // The stick is gone, so its kind can no longer be asked: the option stays as it was.
    EXPECT_TRUE(form->IsPortable());
}

TEST_F(DestinationPage, PullingAnotherDriveKeepsTheSelection) {
    AddUsbStick('F');
    AddFixed('D');
    Open();
    form->DestDirCmbBx->FillDrives();
    form->DestDirCmbBx->ChooseDrive(u'd');
    int selected = form->DestDirCmbBx->ItemIndex();
    ASSERT_GE(selected, 0);
    plat::Wide shown = form->DestDirCmbBx->Items()[static_cast<size_t>(selected)];
    fake::RemoveDrive('F');
    form->RefreshDrives(nullptr);
    EXPECT_EQ(u'd', form->DestDirCmbBx->DriveLetter());
    ASSERT_GE(form->DestDirCmbBx->ItemIndex(), 0);
    EXPECT_EQ(shown, form->DestDirCmbBx->Items()[static_cast<size_t>(form->DestDirCmbBx->ItemIndex())]);
}

TEST_F(DestinationPage, TheHelpPageFollowsTheLanguage) {
    Open();
    form->PortableInfoBtnClick(nullptr);
    CurrentUILang = 3;
    form->PortableInfoBtnClick(nullptr);
    CurrentUILang = 4;
    form->PortableInfoBtnClick(nullptr);
    ASSERT_EQ(3u, fake::Executions().size());
    EXPECT_EQ(u"/en/help/portable.htm", fake::Executions()[0].file.substr(fake::Executions()[0].file.size() - 21));
    EXPECT_EQ(u"/fr/help/portable.htm", fake::Executions()[1].file.substr(fake::Executions()[1].file.size() - 21));
    EXPECT_EQ(u"/en/help/portable.htm", fake::Executions()[2].file.substr(fake::Executions()[2].file.size() - 21));
    EXPECT_EQ(u"open", fake::Executions()[0].verb);
    EXPECT_EQ(1, fake::Executions()[0].showCommand);
    EXPECT_EQ(0u, fake::Executions()[0].file.find(u"https://"));
}

}  // namespace
