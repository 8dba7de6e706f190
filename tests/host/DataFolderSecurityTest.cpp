// The shared data folders of an elevated installation are the administrators': made, they get a
// shared folder's security; made first by another user (or with a folder of theirs below), they
// are taken over before anything is written there, or, where that cannot be done, nothing is
// written there at all. A user's own installation and a portable copy leave security alone.
#include <gtest/gtest.h>

#include "app/Entry.h"
#include "install/InstUtils.h"
#include "tests/host/TestMachine.h"

namespace {

using Names = std::vector<plat::Wide>;

const plat::Wide kHidden = kCommon + u"\\Hidden";
const plat::Wide kPublic = kCommon + u"\\Public";
const plat::Wide kTemplates = kPublic + u"\\Templates";
const plat::Wide kLetter = kTemplates + u"\\Letters\\Business Letter.rtf";
const plat::Wide kOtherData = u"C:\\ProgramData\\Other";
constexpr uint32_t kInherit = plat::kObjectInheritAce | plat::kContainerInheritAce;

class DataFolderSecurity : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(StartFreshProcessWithRealPayload()) << TSD_PAYLOAD_FILE; }
    int Setup(const plat::Wide& arguments = u"-S") {
        ResetProcessState();
        fake::SetCommandLine(u"\"C:\\Users\\User\\Downloads\\tessaron-setup.exe\" " + arguments);
        return SetupMain();
    }
    // A folder of another user's, with a file of theirs in it.
    static void PlantFolderOfAnotherUser(const plat::Wide& folder) {
        fake::PutFile(folder + u"\\theirs.txt", "planted");
        fake::SetOwner(folder, fake::kOtherUserAccount);
        fake::SetOwner(folder + u"\\theirs.txt", fake::kOtherUserAccount);
    }
};

// The shared folder's security, spelled out: owner, protection and each entry.
void ExpectShared(const plat::Wide& folder) {
    plat::ObjectSecurity security = fake::SecurityOf(folder);
    EXPECT_EQ(plat::Wide(u"S-1-5-32-544"), security.owner) << Utf8Of(folder);
    EXPECT_TRUE(security.daclProtected) << Utf8Of(folder) << " takes nothing from above";
    ASSERT_EQ(3u, security.dacl.size()) << Utf8Of(folder);
    struct Expected {
        const char16_t* sid;
        uint32_t mask;
    };
    const Expected expected[] = {{u"S-1-5-32-544", 0x1F01FF}, {u"S-1-5-18", 0x1F01FF}, {u"S-1-5-32-545", 0x1200A9}};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(plat::Wide(expected[i].sid), security.dacl[i].sid) << Utf8Of(folder);
        EXPECT_EQ(expected[i].mask, security.dacl[i].mask) << Utf8Of(folder);
        EXPECT_EQ(kInherit, security.dacl[i].flags) << Utf8Of(folder) << " passed on to all below";
        EXPECT_TRUE(security.dacl[i].allowed);
    }
}

// Made below a shared folder: the administrators', with nothing but what the shared list passes on.
void ExpectMadeBelowShared(const plat::Wide& path) {
    plat::ObjectSecurity security = fake::SecurityOf(path);
    EXPECT_EQ(plat::Wide(u"S-1-5-32-544"), security.owner) << Utf8Of(path);
    ASSERT_EQ(3u, security.dacl.size()) << Utf8Of(path);
    for (const plat::AccessEntry& entry : security.dacl) {
        EXPECT_NE(0u, entry.flags & plat::kInheritedAce) << Utf8Of(path);
        EXPECT_TRUE(entry.sid != u"S-1-5-32-545" || entry.mask == 0x1200A9)
            << Utf8Of(path) << ": users may only read";
    }
}

TEST_F(DataFolderSecurity, AFreshElevatedInstallationMakesTheThreeFoldersShared) {
    ASSERT_EQ(0, Setup());
    for (const plat::Wide& folder : {kCommon, kHidden, kPublic}) ExpectShared(folder);
    ExpectMadeBelowShared(kTemplates);
    ExpectMadeBelowShared(kLetter);
    ExpectMadeBelowShared(kCommon + u"\\Update.log");
    // The folder above keeps its own.
    EXPECT_EQ(plat::Wide(u"S-1-5-18"), fake::SecurityOf(u"C:\\ProgramData").owner);
    EXPECT_EQ(5u, fake::SecurityOf(u"C:\\ProgramData").dacl.size());
}

TEST_F(DataFolderSecurity, FoldersAnotherUserMadeFirstAreTakenOverAndTheirFilesStayTheirs) {
    // The data folder, Hidden and a folder below Public made by another user beforehand; beside
    // them another folder of theirs that is none of the installation's.
    for (const plat::Wide& folder : {kCommon, kHidden, kTemplates, kOtherData}) PlantFolderOfAnotherUser(folder);
    Names otherBefore = fake::ListTree(kOtherData);

    ASSERT_EQ(0, Setup());
    for (const plat::Wide& folder : {kCommon, kHidden, kPublic}) ExpectShared(folder);
    ExpectShared(kTemplates);  // theirs below Public: taken over too
    ExpectMadeBelowShared(kLetter);
    ExpectMadeBelowShared(kHidden + u"\\install_stamp");
    // What they put there is neither deleted nor changed; only its folder is no longer theirs.
    for (const plat::Wide& folder : {kCommon, kHidden, kTemplates}) {
        EXPECT_EQ("planted", fake::FileBytes(folder + u"\\theirs.txt"));
        EXPECT_EQ(plat::Wide(fake::kOtherUserAccount), fake::SecurityOf(folder + u"\\theirs.txt").owner);
    }
    // Nothing outside the installation's folders moved.
    EXPECT_EQ(otherBefore, fake::ListTree(kOtherData));
    EXPECT_EQ(plat::Wide(fake::kOtherUserAccount), fake::SecurityOf(kOtherData).owner);
    EXPECT_FALSE(fake::SecurityOf(kOtherData).daclProtected);
}

TEST_F(DataFolderSecurity, AFileOfAnotherUserHoldingThePayloadsBytesIsWrittenAnew) {
    ASSERT_EQ(0, Setup());
    // They own a template that holds exactly what the payload would write (as if they had
    // planted it before the first installation): a reinstallation does not keep it as it is.
    fake::SetOwner(kLetter, fake::kOtherUserAccount);
    std::string bytes = fake::FileBytes(kLetter);
    ASSERT_EQ(0, Setup());
    EXPECT_EQ(bytes, fake::FileBytes(kLetter));
    ExpectMadeBelowShared(kLetter);
}

TEST_F(DataFolderSecurity, AFolderWhoseListShutsTheAdministratorsOutIsTakenOverAllTheSame) {
    // Otherwise any user could stop every installation by such a folder.
    PlantFolderOfAnotherUser(kPublic);
    plat::ObjectSecurity shut;
    shut.owner = fake::kOtherUserAccount;
    shut.daclProtected = true;
    shut.dacl = {{u"S-1-5-32-544", 0x1F01FF, kInherit, false}, {fake::kOtherUserAccount, 0x1F01FF, kInherit}};
    fake::SetSecurity(kPublic, shut);
    // As on Windows, the administrators may no longer list it, only read its attributes.
    constexpr uint32_t kFolderFlags = plat::kFileFlagBackupSemantics | plat::kFileFlagOpenReparsePoint;
    EXPECT_EQ(plat::kInvalidHandle, plat::CreateFileW(kPublic, plat::kFileReadData, 7, plat::kOpenExisting, kFolderFlags));
    EXPECT_EQ(plat::kErrorAccessDenied, plat::GetLastError());
    plat::Handle attributes = plat::CreateFileW(kPublic, plat::kFileReadAttributes, 7, plat::kOpenExisting, kFolderFlags);
    EXPECT_NE(plat::kInvalidHandle, attributes);
    plat::CloseHandle(attributes);
    ASSERT_EQ(0, Setup());
    ExpectShared(kPublic);
    EXPECT_TRUE(fake::FileExistsAt(kLetter));
    EXPECT_EQ("planted", fake::FileBytes(kPublic + u"\\theirs.txt"));
}

TEST_F(DataFolderSecurity, AHeldFolderHasItsOwnerReadThroughTheHoldItself) {
    int before = fake::SecurityReopenCount();
    ASSERT_EQ(0, Setup());
    EXPECT_EQ(0, fake::SecurityReopenCount() - before);
}

TEST_F(DataFolderSecurity, AFolderOfTheAdministratorsThatRefusesReadingItsSecurityIsHeldAllTheSame) {
    fake::PutFolder(kTemplates);
    plat::ObjectSecurity guarded;
    guarded.owner = u"S-1-5-32-544";
    guarded.daclProtected = true;
    guarded.dacl = {{u"S-1-5-32-544", plat::kReadControl, kInherit, false},
                    {u"S-1-5-32-544", 0x1F01FF, kInherit},
                    {u"S-1-5-32-545", 0x1200A9, kInherit}};
    fake::SetSecurity(kTemplates, guarded);
    ASSERT_EQ(0, Setup());
    EXPECT_TRUE(fake::FileExistsAt(kLetter));
    plat::ObjectSecurity after = fake::SecurityOf(kTemplates);
    EXPECT_EQ(3u, after.dacl.size()) << "not taken over: it was the administrators' already";
    EXPECT_FALSE(after.dacl.empty() || after.dacl[0].allowed);
}

TEST_F(DataFolderSecurity, AFolderThatCannotBeTakenOverGetsNothingWritten) {
    PlantFolderOfAnotherUser(kPublic);
    fake::DenySecurityChange(kPublic);
    EXPECT_EQ(2, Setup()) << "the templates cannot be written";
    EXPECT_EQ(Names{u"theirs.txt"}, fake::ListTree(kPublic)) << "nothing built on a folder of theirs";
    EXPECT_EQ(plat::Wide(fake::kOtherUserAccount), fake::SecurityOf(kPublic).owner);
}

TEST_F(DataFolderSecurity, AUsersOwnInstallationSetsAndTakesNothing) {
    fake::SetElevated(false);
    PlantFolderOfAnotherUser(kHidden);
    PlantFolderOfAnotherUser(kTemplates);
    fake::SetOwner(kPublic, fake::kOtherUserAccount);
    plat::ObjectSecurity hiddenBefore = fake::SecurityOf(kHidden);
    // Their folders are used as they are, as ever: nothing is refused.
    ASSERT_EQ(0, Setup(u"-S -DC:\\Users\\User\\Apps\\Tessaron"));
    EXPECT_TRUE(fake::FileExistsAt(kLetter));
    EXPECT_TRUE(fake::FileExistsAt(kHidden + u"\\install_stamp"));
    for (const plat::Wide& path : {kHidden, kPublic, kTemplates})
        EXPECT_EQ(plat::Wide(fake::kOtherUserAccount), fake::SecurityOf(path).owner) << Utf8Of(path);
    // What the run made has the user's owner and takes what ProgramData passes on, as Windows
    // gives any new folder; the other user's folder keeps its list.
    for (const plat::Wide& path : {kCommon, kTemplates + u"\\Letters"}) {
        plat::ObjectSecurity security = fake::SecurityOf(path);
        EXPECT_EQ(plat::Wide(fake::kUserAccount), security.owner) << Utf8Of(path);
        EXPECT_FALSE(security.daclProtected) << Utf8Of(path);
    }
    EXPECT_EQ(hiddenBefore.owner, fake::SecurityOf(kHidden).owner);
    EXPECT_EQ(hiddenBefore.dacl.size(), fake::SecurityOf(kHidden).dacl.size());
}

TEST_F(DataFolderSecurity, APortableCopySetsAndTakesNothing) {
    const plat::Wide folder = u"C:\\Users\\User\\Portable";
    fake::PutFile(folder + u"\\Tessaron.ini", "");
    fake::SetOwner(folder, fake::kOtherUserAccount);
    ASSERT_EQ(0, Setup(u"-S -D" + folder));
    ASSERT_TRUE(fake::FileExistsAt(folder + u"\\Templates\\Letters\\Business Letter.rtf"));
    EXPECT_FALSE(fake::FolderExistsAt(kCommon));
    EXPECT_EQ(plat::Wide(fake::kOtherUserAccount), fake::SecurityOf(folder).owner);
    EXPECT_FALSE(fake::SecurityOf(folder).daclProtected);
    EXPECT_FALSE(fake::SecurityOf(folder + u"\\Templates").daclProtected);
}

}  // namespace
