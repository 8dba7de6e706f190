// The owner and access list of a folder, read and set through a handle that was opened only to
// hold it (no right to read or change its security, its deletion not shared): the elevated
// process makes the Administrators group its owner and gives it a protected list.
//
// Wine keeps no owner or list on a file or folder: it accepts any, maps the list to the Unix
// mode bits and reads back a list made from them, owned by its one account. What Windows keeps
// is therefore checked where the platform keeps it (Windows, the fake) and skipped under Wine.
#include <algorithm>

#include "tests/contract/ContractSupport.h"

namespace {

using contract::ScratchTest;
using plat::Wide;

class ContractSecurity : public ScratchTest {};

constexpr uint32_t kInherit = plat::kObjectInheritAce | plat::kContainerInheritAce;

plat::Handle Hold(const Wide& folder) {
    return plat::CreateFileW(folder, plat::kFileReadData | plat::kFileReadAttributes,
                             plat::kFileShareRead | plat::kFileShareWrite, plat::kOpenExisting,
                             plat::kFileFlagOpenReparsePoint | plat::kFileFlagBackupSemantics);
}

plat::ObjectSecurity Shared() {
    plat::ObjectSecurity security;
    security.owner = plat::kSidAdministrators;
    security.daclProtected = true;
    security.dacl = {{plat::kSidAdministrators, plat::kFileAllAccess, kInherit},
                     {plat::kSidSystem, plat::kFileAllAccess, kInherit},
                     {plat::kSidUsers, plat::kFileGenericReadExecute, kInherit}};
    return security;
}

// Whether the platform keeps an owner and list as set: tried on a probe folder of that name.
bool KeepsSecurity(const Wide& probeFolder) {
    if (!plat::CreateDirectoryW(probeFolder)) return true;  // the test itself then fails
    plat::Handle probe = Hold(probeFolder);
    plat::ObjectSecurity kept;
    bool read = plat::SetSecurityInfo(probe, Shared()) && plat::GetSecurityInfo(probe, &kept);
    plat::CloseHandle(probe);
    return !read || kept.daclProtected || kept.owner == plat::kSidAdministrators;
}

constexpr char kNotKept[] = "this platform keeps no owner or access list on a folder (Wine)";

bool HasEntry(const plat::ObjectSecurity& security, const Wide& sid, uint32_t mask, uint32_t flags) {
    return std::any_of(security.dacl.begin(), security.dacl.end(), [&](const plat::AccessEntry& e) {
        return e.allowed && e.sid == sid && e.mask == mask && e.flags == flags;
    });
}

TEST_F(ContractSecurity, ANewFolderBelongsToTheProcesssAccountOrTheAdministrators) {
    Wide folder = In(u"New");
    ASSERT_TRUE(plat::CreateDirectoryW(folder));
    plat::Handle held = Hold(folder);
    ASSERT_NE(plat::kInvalidHandle, held) << plat::GetLastError();
    plat::ObjectSecurity security;
    EXPECT_TRUE(plat::GetSecurityInfo(held, &security)) << plat::GetLastError();
    // Windows gives what an elevated administrator makes to the Administrators group (or, by
    // the machine's policy, to the administrator), what a user makes to the user.
    Wide account = plat::GetTokenUserSid();
    EXPECT_EQ(u"S-1-5-", account.substr(0, 6));
    EXPECT_TRUE(security.owner == account || security.owner == plat::kSidAdministrators)
        << contract::Narrow(security.owner) << " / " << contract::Narrow(account);
    plat::CloseHandle(held);
}

TEST_F(ContractSecurity, SetThroughAHoldingHandleWhichStillHoldsIt) {
    Wide folder = In(u"Shared");
    ASSERT_TRUE(plat::CreateDirectoryW(folder));
    plat::Handle held = Hold(folder);
    ASSERT_NE(plat::kInvalidHandle, held) << plat::GetLastError();
    ASSERT_TRUE(plat::SetSecurityInfo(held, Shared())) << plat::GetLastError();
    // Still held: nobody renames it; and the process still makes what it wants inside it.
    EXPECT_FALSE(plat::MoveFileExW(folder, In(u"Away"), 0));
    EXPECT_TRUE(plat::CreateDirectoryW(contract::Join(folder, u"Inside"))) << plat::GetLastError();
    EXPECT_TRUE(contract::WriteWholeFile(contract::Join(folder, u"Inside\\file.txt"), "x"));
    plat::CloseHandle(held);
}

TEST_F(ContractSecurity, OwnerAndProtectedListAreReadBackAsSet) {
    if (!KeepsSecurity(In(u"Probe"))) GTEST_SKIP() << kNotKept;
    Wide folder = In(u"Shared");
    ASSERT_TRUE(plat::CreateDirectoryW(folder));
    plat::Handle held = Hold(folder);
    ASSERT_NE(plat::kInvalidHandle, held) << plat::GetLastError();
    ASSERT_TRUE(plat::SetSecurityInfo(held, Shared())) << plat::GetLastError();

    plat::ObjectSecurity read;
    ASSERT_TRUE(plat::GetSecurityInfo(held, &read)) << plat::GetLastError();
    EXPECT_EQ(Wide(plat::kSidAdministrators), read.owner);
    EXPECT_TRUE(read.daclProtected);
    EXPECT_EQ(3u, read.dacl.size());
    EXPECT_TRUE(HasEntry(read, plat::kSidAdministrators, plat::kFileAllAccess, kInherit));
    EXPECT_TRUE(HasEntry(read, plat::kSidSystem, plat::kFileAllAccess, kInherit));
    EXPECT_TRUE(HasEntry(read, plat::kSidUsers, plat::kFileGenericReadExecute, kInherit));
    plat::CloseHandle(held);

    // The same is read through a handle opened afresh.
    held = Hold(folder);
    ASSERT_NE(plat::kInvalidHandle, held);
    ASSERT_TRUE(plat::GetSecurityInfo(held, &read));
    EXPECT_EQ(Wide(plat::kSidAdministrators), read.owner);
    EXPECT_TRUE(read.daclProtected);
    plat::CloseHandle(held);
}

TEST_F(ContractSecurity, AnOwnerTheProcessMayNotGiveIsRefused) {
    if (!KeepsSecurity(In(u"Probe"))) GTEST_SKIP() << kNotKept;
    Wide folder = In(u"Refused");
    ASSERT_TRUE(plat::CreateDirectoryW(folder));
    plat::Handle held = Hold(folder);
    ASSERT_NE(plat::kInvalidHandle, held);
    plat::ObjectSecurity before;
    ASSERT_TRUE(plat::GetSecurityInfo(held, &before));
    plat::ObjectSecurity someoneElse = Shared();
    someoneElse.owner = u"S-1-5-21-1004336348-1177238915-682003330-1002";
    EXPECT_FALSE(plat::SetSecurityInfo(held, someoneElse));
    EXPECT_EQ(plat::kErrorInvalidOwner, plat::GetLastError());
    plat::ObjectSecurity after;
    ASSERT_TRUE(plat::GetSecurityInfo(held, &after));
    EXPECT_EQ(before.owner, after.owner);
    EXPECT_EQ(before.daclProtected, after.daclProtected);
    plat::CloseHandle(held);
}

TEST_F(ContractSecurity, WhatIsMadeBelowInheritsTheListAndNothingBelowChangesWithIt) {
    if (!KeepsSecurity(In(u"Probe"))) GTEST_SKIP() << kNotKept;
    Wide folder = In(u"Parent");
    Wide before = contract::Join(folder, u"Before");
    ASSERT_TRUE(plat::CreateDirectoryW(folder));
    ASSERT_TRUE(plat::CreateDirectoryW(before));
    plat::Handle held = Hold(before);
    ASSERT_NE(plat::kInvalidHandle, held);
    plat::ObjectSecurity old;
    ASSERT_TRUE(plat::GetSecurityInfo(held, &old));
    plat::CloseHandle(held);

    held = Hold(folder);
    ASSERT_NE(plat::kInvalidHandle, held);
    ASSERT_TRUE(plat::SetSecurityInfo(held, Shared())) << plat::GetLastError();
    plat::CloseHandle(held);

    // What was there keeps its own.
    held = Hold(before);
    ASSERT_NE(plat::kInvalidHandle, held);
    plat::ObjectSecurity kept;
    ASSERT_TRUE(plat::GetSecurityInfo(held, &kept));
    EXPECT_EQ(old.dacl.size(), kept.dacl.size());
    EXPECT_FALSE(kept.daclProtected);
    plat::CloseHandle(held);

    // What is made afterwards inherits every entry.
    Wide after = contract::Join(folder, u"After");
    ASSERT_TRUE(plat::CreateDirectoryW(after));
    held = Hold(after);
    ASSERT_NE(plat::kInvalidHandle, held);
    plat::ObjectSecurity inherited;
    ASSERT_TRUE(plat::GetSecurityInfo(held, &inherited));
    EXPECT_FALSE(inherited.daclProtected);
    uint32_t flags = kInherit | plat::kInheritedAce;
    EXPECT_TRUE(HasEntry(inherited, plat::kSidAdministrators, plat::kFileAllAccess, flags));
    EXPECT_TRUE(HasEntry(inherited, plat::kSidSystem, plat::kFileAllAccess, flags));
    EXPECT_TRUE(HasEntry(inherited, plat::kSidUsers, plat::kFileGenericReadExecute, flags));
    plat::CloseHandle(held);
}

}  // namespace
