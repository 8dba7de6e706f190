// The 32-bit setup and tsd.exe as 64-bit Windows runs them (WOW64), and the 64-bit build there:
// where the default destination lies, the portable refusal under both program files folders, the
// uninstall entry in the registry's 32-bit view and its removal, and the removal's elevation.
#include <gtest/gtest.h>

#include "app/CommandLine.h"
#include "standin/Elevation.h"
#include "tests/host/RemovalMachine.h"

namespace {

using removal_test::Names;

const plat::Wide kX86Folder = u"C:\\Program Files (x86)";
const plat::Wide kNativeFolder = u"C:\\Program Files";
const std::string kEntry = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tessaron Word Processor";
const std::string kEntry32 =
    "Software\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tessaron Word Processor";

class Wow64Destination : public ::testing::Test {
protected:
    void SetUp() override {
        StartFreshProcess();
        RegisterFormControlClasses();
    }
    TMainDlgForm& Open(fake::WindowsView view) {
        fake::SetWindowsView(view);
        fake::SetCommandLine(u"setup.exe");
        form = std::make_unique<TMainDlgForm>(ReadRunSwitches(ProgramArguments()));
        EXPECT_TRUE(form->Built()) << form->LoadError();
        MainDlgForm = form.get();
        return *form;
    }
    // Next on the destination page with the folder typed and the portable box ticked: true when
    // the page let it through.
    bool PortableAccepted(const plat::Wide& folder) {
        MainDir = u"unchanged";
        form->PortableChkBx->UserToggled(true);
        form->DestDirEdt->UserEdited(folder);
        form->GoToPage(kDestinationPage, kReadyPage);
        return MainDir != u"unchanged";
    }
    std::unique_ptr<TMainDlgForm> form;
};

TEST_F(Wow64Destination, TheDefaultFolderIsTheProgramFilesFolderOfTheProgramsOwnView) {
    const struct {
        fake::WindowsView view;
        const char16_t* folder;
    } cases[] = {
        {fake::WindowsView::Windows32, u"C:\\Program Files\\Tessaron"},
        {fake::WindowsView::Wow64, u"C:\\Program Files (x86)\\Tessaron"},
        {fake::WindowsView::Native64, u"C:\\Program Files\\Tessaron"},
    };
    for (const auto& c : cases) {
        StartFreshProcess();
        RegisterFormControlClasses();
        Open(c.view);
        EXPECT_EQ(c.folder, MainDir) << static_cast<int>(c.view);
        EXPECT_EQ(c.folder, form->DestDirEdt->Text()) << static_cast<int>(c.view);
        form.reset();
    }
}

TEST_F(Wow64Destination, APortableCopyIsRefusedUnderEitherProgramFilesFolder) {
    for (fake::WindowsView view : {fake::WindowsView::Wow64, fake::WindowsView::Native64}) {
        StartFreshProcess();
        RegisterFormControlClasses();
        Open(view);
        for (plat::Wide folder : {u"C:\\Program Files\\Portable", u"c:\\program files (x86)\\Portable"})
            EXPECT_FALSE(PortableAccepted(folder)) << Utf8Of(folder) << " view " << static_cast<int>(view);
        EXPECT_EQ(2u, fake::ShownBoxes().size());
        EXPECT_TRUE(PortableAccepted(u"C:\\Portable\\Tessaron"));
        EXPECT_EQ(u"C:\\Portable\\Tessaron", MainDir);
        form.reset();
    }
}

TEST_F(Wow64Destination, EitherProgramFilesFolderTypedAloneGetsTheProductFolder) {
    Open(fake::WindowsView::Wow64);
    for (const plat::Wide& folder : {kNativeFolder, kX86Folder}) {
        form->DestDirEdt->UserEdited(folder);
        form->GoToPage(kDestinationPage, kReadyPage);
        EXPECT_EQ(folder + u"\\Tessaron", MainDir);
    }
}

class Wow64Removal : public removal_test::Uninstalling {
protected:
    void View(fake::WindowsView view) {
        fake::SetWindowsView(view);
        before_ = fake::ListTree(u"C:\\");
    }
    static plat::Wide EntryText(const std::string& key, const std::string& name) {
        fake::RegValue value;
        if (!fake::RegValueAt(plat::kHKeyLocalMachine, key, name, &value)) return u"(none)";
        plat::Wide text;
        for (size_t i = 0; i + 1 < value.bytes.size(); i += 2)
            text += static_cast<char16_t>(static_cast<unsigned char>(value.bytes[i]) |
                                          static_cast<unsigned char>(value.bytes[i + 1]) << 8);
        while (!text.empty() && text.back() == u'\0') text.pop_back();
        return text;
    }
};

TEST_F(Wow64Removal, TheEntryLiesInThe32BitViewAndTheRemovalThroughItTakesEverything) {
    View(fake::WindowsView::Wow64);
    Install();
    const plat::Wide main = kX86Folder + u"\\Tessaron";
    EXPECT_TRUE(fake::FileExistsAt(main + u"\\tsd.exe"));
    EXPECT_FALSE(fake::FolderExistsAt(kNativeFolder + u"\\Tessaron"));
    // Windows' list of programs reads both views; the 32-bit program writes the redirected one.
    EXPECT_TRUE(fake::RegKeyExists(plat::kHKeyLocalMachine, kEntry32));
    EXPECT_FALSE(fake::RegKeyExists(plat::kHKeyLocalMachine, kEntry));
    EXPECT_EQ(u"\"C:\\Program Files (x86)\\Tessaron\\tsd.exe\" -ui", EntryText(kEntry32, "UninstallString"));
    EXPECT_EQ(u"C:\\Program Files (x86)\\Tessaron", EntryText(kEntry32, "InstallLocation"));
    fake::LinkData link;
    ASSERT_TRUE(fake::LinkAt(kCommonPrograms + kLinkName, &link));
    EXPECT_EQ(main + u"\\tsd.exe", link.target);

    // The removal, a 32-bit program too, finds the entry in the same view and removes it.
    EXPECT_EQ(kUninstallRemoved, Remove(true, main + u"\\tsd.exe"));
    EXPECT_EQ(Names{main + u"\\"}, finishFolders_);
    EXPECT_EQ(kUninstallRemoved, FinishUninstall(main));
    EXPECT_FALSE(fake::RegKeyExists(plat::kHKeyLocalMachine, kEntry32));
    EXPECT_FALSE(fake::RegKeyExists(plat::kHKeyCurrentUser, kSavedChoicesKey));
    EXPECT_EQ(Names{}, Added());
}

TEST_F(Wow64Removal, The64BitBuildWritesTheNativeView) {
    View(fake::WindowsView::Native64);
    Install();
    EXPECT_TRUE(fake::FileExistsAt(kMain + u"\\tsd.exe"));
    EXPECT_TRUE(fake::RegKeyExists(plat::kHKeyLocalMachine, kEntry));
    EXPECT_FALSE(fake::RegKeyExists(plat::kHKeyLocalMachine, "Software\\WOW6432Node"));
    EXPECT_EQ(kUninstallRemoved, RemoveAll(true));
    EXPECT_EQ(Names{}, Added());
}

TEST_F(Wow64Removal, ACopyUnderEitherProgramFilesFolderIsRemovedElevated) {
    View(fake::WindowsView::Wow64);
    for (const plat::Wide& folder : {kNativeFolder + u"\\Tessaron", kX86Folder + u"\\Tessaron"})
        EXPECT_TRUE(InstalledForAllUsers(folder)) << Utf8Of(folder);
    EXPECT_FALSE(InstalledForAllUsers(u"C:\\Users\\User\\Tessaron"));
    EXPECT_FALSE(InstalledForAllUsers(u"C:\\Program Files Extra\\Tessaron"));
}

}  // namespace
