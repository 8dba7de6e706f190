// Owners and access lists of the fake's files and folders: what a new object inherits, reading
// and setting them through a handle, and the test's controls.
#include "platform/fake/state.h"

namespace fake {

namespace detail {

namespace {

Wide DefaultOwner() { return M().elevated ? Wide(plat::kSidAdministrators) : M().account; }

// What one inheritable entry of the folder above gives a new object (none, one or two entries),
// by Windows' rules: folders take the container-inheritable entries and pass them on, files the
// object-inheritable ones; an entry for the creator owner names the new object's owner.
void Inherit(const plat::AccessEntry& above, bool folder, const Wide& owner,
             std::vector<plat::AccessEntry>* out) {
    using namespace plat;
    uint32_t flags = above.flags;
    bool toFolders = flags & kContainerInheritAce, toFiles = flags & kObjectInheritAce;
    bool propagate = !(flags & kNoPropagateInheritAce);
    if (folder ? !(toFolders || (toFiles && propagate)) : !toFiles) return;
    bool creator = above.sid == kSidCreatorOwner;
    AccessEntry entry = above;
    entry.flags = kInheritedAce;
    if (folder && propagate) entry.flags |= flags & (kContainerInheritAce | kObjectInheritAce);
    bool appliesHere = folder ? toFolders : true;
    if (!appliesHere) entry.flags |= kInheritOnlyAce;  // only for the files further below
    if (creator && appliesHere) {
        AccessEntry own = entry;
        own.sid = owner;
        own.flags = kInheritedAce;
        out->push_back(own);
        if (!(folder && propagate)) return;
        entry.flags |= kInheritOnlyAce;  // still passed on to what is made below
    }
    out->push_back(entry);
}

// The rights that an access mask asks for, its generic bits spelled out as files know them.
uint32_t Specific(uint32_t access) {
    uint32_t rights = access & 0x00FFFFFFu;
    if (access & plat::kGenericRead) rights |= 0x120089;
    if (access & plat::kGenericWrite) rights |= 0x120116;
    if (access & 0x20000000u) rights |= 0x1200A0;  // GENERIC_EXECUTE
    if (access & 0x10000000u) rights |= plat::kFileAllAccess;
    return rights;
}

}  // namespace

bool DeniedByList(const Node& node, uint32_t access) {
    const Machine& m = M();
    // Reading the attributes is granted to whoever may list the folder above, whatever the
    // object's own list says.
    uint32_t rights = Specific(access) & ~plat::kFileReadAttributes;
    for (const plat::AccessEntry& entry : node.security.dacl) {
        if (entry.allowed || (entry.flags & plat::kInheritOnlyAce) || !(entry.mask & rights)) continue;
        if (entry.sid == m.account || (m.elevated && entry.sid == plat::kSidAdministrators)) return true;
    }
    return false;
}

plat::ObjectSecurity NewSecurity(const Path& path, bool folder) {
    plat::ObjectSecurity security;
    security.owner = DefaultOwner();
    if (path.IsRoot()) return security;
    const Node* above = FindNode(path.ParentKey());
    if (!above) return security;
    for (const plat::AccessEntry& entry : above->security.dacl)
        if (entry.flags & (plat::kObjectInheritAce | plat::kContainerInheritAce))
            Inherit(entry, folder, security.owner, &security.dacl);
    return security;
}

}  // namespace detail

using namespace detail;

void SetProcessAccount(const Wide& sid) { M().account = sid; }

void SetOwner(const Wide& path, const Wide& sid) {
    if (Node* node = FindNode(ParsePath(path).Key())) node->security.owner = sid;
}

void DenySecurityChange(const Wide& path, bool deny) {
    Wide key = ParsePath(path).Key();
    if (deny)
        M().securityDenied.insert(key);
    else
        M().securityDenied.erase(key);
}

void SetSecurity(const Wide& path, const plat::ObjectSecurity& security) {
    if (Node* node = FindNode(ParsePath(path).Key())) node->security = security;
}

plat::ObjectSecurity SecurityOf(const Wide& path) {
    const Node* node = FindNode(ParsePath(path).Key());
    return node ? node->security : plat::ObjectSecurity();
}

}  // namespace fake

namespace plat {

using namespace fake::detail;

namespace {

Node* NodeOf(Handle object, Wide* key = nullptr) {
    HandleObject* open = Lookup(object, HandleObject::kFile);
    if (!open) return Fail(kErrorInvalidHandle), nullptr;
    if (key) *key = open->file.key;
    Node* node = FindNode(open->file.key);
    if (!node) return Fail(kErrorFileNotFound), nullptr;
    return node;
}

}  // namespace

bool GetSecurityInfo(Handle object, ObjectSecurity* out) {
    *out = ObjectSecurity();
    const Node* node = NodeOf(object);
    if (!node) return false;
    // Windows reads it through a second open of the object when the handle lacks the right.
    if (!(Lookup(object, HandleObject::kFile)->file.access & (kReadControl | kGenericRead)))
        ++M().securityReopens;
    *out = node->security;
    return true;
}

bool SetSecurityInfo(Handle object, const ObjectSecurity& security) {
    if (M().ended) return Fail(kErrorAccessDenied), false;
    Wide key;
    Node* node = NodeOf(object, &key);
    if (!node) return false;
    const Machine& m = M();
    if (m.securityDenied.count(key)) return Fail(kErrorAccessDenied), false;
    // An administrator may take any object (the right to take ownership); a user changes only
    // what is theirs.
    if (!m.elevated && node->security.owner != m.account) return Fail(kErrorAccessDenied), false;
    if (security.owner != m.account && !(m.elevated && security.owner == kSidAdministrators))
        return Fail(kErrorInvalidOwner), false;
    node->security = security;
    for (AccessEntry& entry : node->security.dacl) entry.flags &= ~kInheritedAce;
    return true;
}

Wide GetTokenUserSid() { return M().account; }

}  // namespace plat
