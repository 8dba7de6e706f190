// Shortcut files and their placement in the chosen scope, with the other scope's twin removed.
#include <gtest/gtest.h>

#include <algorithm>

#include "install/InstUtils.h"
#include "install/ShellLinks.h"
#include "tests/host/TestMachine.h"
#include "wizard/Shortcuts.h"

namespace {


class Shortcuts : public ::testing::Test {
protected:
    void SetUp() override {
        StartFreshProcess();
        StartInstallLog(u"C:\\Program Files\\Tessaron", false);
    }
    bool Has(const plat::Wide& folder) { return fake::FileExistsAt(folder + kLinkName); }
};

TEST_F(Shortcuts, LinkCarriesTargetFolderAndDescriptionAndIsLogged) {
    MakeShortcut(u"C:\\Links\\New\\App.lnk", u"C:\\Apps\\T\\tsd.exe", u"C:\\Apps\\T", u"Desc \u00e9");
    fake::LinkData link;
    ASSERT_TRUE(fake::LinkAt(u"C:\\Links\\New\\App.lnk", &link));
    EXPECT_EQ(u"C:\\Apps\\T\\tsd.exe", link.target);
    EXPECT_EQ(u"C:\\Apps\\T", link.workingDirectory);
    EXPECT_EQ(u"Desc \u00e9", link.description);
    EXPECT_EQ((std::vector<std::string>{"Made Dir: C:\\Links\\", "Made Dir: C:\\Links\\New\\",
                                        "File Copy: C:\\Links\\New\\App.lnk"}),
              *LogList)
        << "the missing folder is logged before the shortcut";
}

TEST_F(Shortcuts, WithoutTheLinkObjectNothingIsWrittenOrLogged) {
    fake::SetShellLinkAvailable(false);
    MakeShortcut(u"C:\\Links\\App.lnk", u"C:\\T\\tsd.exe", u"C:\\T", u"d");
    EXPECT_FALSE(fake::FileExistsAt(u"C:\\Links\\App.lnk"));
    EXPECT_TRUE(LogList->empty());
}

TEST_F(Shortcuts, CurrentUserScopeRemovesTheAllUsersTwins) {
    fake::PutFile(kCommonPrograms + kLinkName, "old");
    fake::PutFile(kCommonDesktop + kLinkName, "old");
    PlaceShortcuts(false, true, u"C:\\Program Files\\Tessaron");
    EXPECT_TRUE(Has(kUserPrograms));
    EXPECT_TRUE(Has(kUserDesktop));
    EXPECT_FALSE(Has(kCommonPrograms));
    EXPECT_FALSE(Has(kCommonDesktop));
    fake::LinkData link;
    ASSERT_TRUE(fake::LinkAt(kUserDesktop + kLinkName, &link));
    EXPECT_EQ(u"C:\\Program Files\\Tessaron\\tsd.exe", link.target);
    EXPECT_EQ(u"C:\\Program Files\\Tessaron", link.workingDirectory);
    EXPECT_EQ(u"Compact, fast-loading, but still powerful and efficient word processor", link.description);
}

TEST_F(Shortcuts, AllUsersWithoutDesktopKeepsAnExistingAllUsersDesktopShortcut) {
    fake::PutFile(kUserPrograms + kLinkName, "old");
    fake::PutFile(kUserDesktop + kLinkName, "old");
    fake::PutFile(kCommonDesktop + kLinkName, "mine");
    PlaceShortcuts(true, false, u"C:\\Program Files\\Tessaron");
    EXPECT_TRUE(Has(kCommonPrograms));
    EXPECT_EQ("mine", fake::FileBytes(kCommonDesktop + kLinkName));
    EXPECT_FALSE(Has(kUserPrograms));
    EXPECT_FALSE(Has(kUserDesktop));
}

TEST_F(Shortcuts, AnotherLanguageNamesAnotherShortcutAndLogsEachOnce) {
    PlaceShortcuts(true, false, u"C:\\T");
    CurrentUILang = 0;
    PlaceShortcuts(true, false, u"C:\\T");
    EXPECT_TRUE(Has(kCommonPrograms));
    EXPECT_TRUE(fake::FileExistsAt(kCommonPrograms + u"\\Tessaron-Textverarbeitungsprogramm.lnk"));
    CurrentUILang = 1;
    PlaceShortcuts(true, false, u"C:\\T");
    EXPECT_EQ(2, std::count_if(LogList->begin(), LogList->end(),
                               [](const std::string& l) { return l.find(".lnk") != std::string::npos; }));
}

TEST_F(Shortcuts, AFailedLookupUsesTheOtherScopesFolder) {
    fake::SetSpecialFolder(plat::kCsidlCommonPrograms, u"");
    PlaceShortcuts(true, false, u"C:\\T");
    EXPECT_TRUE(Has(kUserPrograms));
}

}  // namespace
