#include "install/FolderOwners.h"

namespace {

// The Administrators group, the system, or the account this (elevated) process runs as: what
// an administrator makes belongs to the group or, where the machine's policy says so, to the
// administrator's own account (and, under Wine, always to the one account there is).
bool IsAdministration(const plat::Wide& sid) {
    return sid == plat::kSidAdministrators || sid == plat::kSidSystem ||
           (!sid.empty() && sid == plat::GetTokenUserSid());
}

}  // namespace

plat::ObjectSecurity SharedFolderSecurity() {
    constexpr uint32_t kInherit = plat::kObjectInheritAce | plat::kContainerInheritAce;
    plat::ObjectSecurity security;
    security.owner = plat::kSidAdministrators;
    security.daclProtected = true;
    security.dacl = {{plat::kSidAdministrators, plat::kFileAllAccess, kInherit},
                     {plat::kSidSystem, plat::kFileAllAccess, kInherit},
                     {plat::kSidUsers, plat::kFileGenericReadExecute, kInherit}};
    return security;
}

bool OwnedByAdministration(plat::Handle object) {
    plat::ObjectSecurity security;
    return plat::GetSecurityInfo(object, &security) && IsAdministration(security.owner);
}

bool TakeOverUnlessOwned(plat::Handle object) {
    return OwnedByAdministration(object) || plat::SetSecurityInfo(object, SharedFolderSecurity());
}

bool MakeShared(plat::Handle folder) {
    plat::ObjectSecurity security;
    if (plat::GetSecurityInfo(folder, &security) && IsAdministration(security.owner) &&
        security.daclProtected)
        return true;
    return plat::SetSecurityInfo(folder, SharedFolderSecurity());
}
