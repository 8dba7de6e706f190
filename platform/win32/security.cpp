// The owner and access list of an open file or folder: read, and set on that object alone.
#include "platform/win32/wide.h"

#include <sddl.h>

#include <vector>

namespace plat {

using namespace win32;

namespace {

// Enables privileges of the process's token for the life of the object and then gives them back
// the state they had. An administrator holds them disabled; a user who lacks them gets nothing.
class TPrivilegesInUse {
public:
    explicit TPrivilegesInUse(std::initializer_list<const wchar_t*> names) {
        if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token_))
            return;
        for (const wchar_t* name : names) {
            LUID id;
            if (!::LookupPrivilegeValueW(nullptr, name, &id)) continue;
            TOKEN_PRIVILEGES wanted = {};
            wanted.PrivilegeCount = 1;
            wanted.Privileges[0].Luid = id;
            wanted.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
            TOKEN_PRIVILEGES before = {};
            DWORD size = sizeof before;
            if (::AdjustTokenPrivileges(token_, FALSE, &wanted, sizeof before, &before, &size) &&
                ::GetLastError() == ERROR_SUCCESS && before.PrivilegeCount == 1)
                restore_.push_back(before);  // was disabled: disable it again afterwards
        }
    }
    ~TPrivilegesInUse() {
        for (TOKEN_PRIVILEGES& before : restore_)
            ::AdjustTokenPrivileges(token_, FALSE, &before, 0, nullptr, nullptr);
        if (token_) ::CloseHandle(token_);
    }
    TPrivilegesInUse(const TPrivilegesInUse&) = delete;
    TPrivilegesInUse& operator=(const TPrivilegesInUse&) = delete;

private:
    HANDLE token_ = nullptr;
    std::vector<TOKEN_PRIVILEGES> restore_;
};

using ReOpenFileFn = HANDLE(WINAPI*)(HANDLE, DWORD, DWORD, DWORD);

// The object that `held` has open, opened once more with these rights. Through the handle where
// Windows can (ReOpenFile); else by its final path, and then only when it is the same object
// (volume and file index), which the holder's refusal to share deletion keeps in place.
HANDLE ReOpen(Handle held, DWORD access) {
    constexpr DWORD kShare = FILE_SHARE_READ | FILE_SHARE_WRITE;
    constexpr DWORD kFlags = FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT;
    static ReOpenFileFn reOpen = reinterpret_cast<ReOpenFileFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "ReOpenFile")));
    if (reOpen) {
        HANDLE again = reOpen(H(held), access, kShare, kFlags);
        if (again != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_CALL_NOT_IMPLEMENTED)
            return again;
    }
    Wide final = GetFinalPathNameByHandleW(held);
    if (final.empty()) return INVALID_HANDLE_VALUE;
    HANDLE again = ::CreateFileW(W(u"\\\\?\\" + final), access, kShare, nullptr, OPEN_EXISTING,
                                 kFlags, nullptr);
    if (again == INVALID_HANDLE_VALUE) return again;
    BY_HANDLE_FILE_INFORMATION first, second;
    if (!::GetFileInformationByHandle(H(held), &first) ||
        !::GetFileInformationByHandle(again, &second) ||
        first.dwVolumeSerialNumber != second.dwVolumeSerialNumber ||
        first.nFileIndexHigh != second.nFileIndexHigh || first.nFileIndexLow != second.nFileIndexLow) {
        ::CloseHandle(again);
        ::SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    return again;
}

Wide SidText(PSID sid) {
    wchar_t* text = nullptr;
    if (!sid || !::ConvertSidToStringSidW(sid, &text)) return Wide();
    Wide result = FromW(text);
    ::LocalFree(text);
    return result;
}

// A SID made from its text, freed with the object.
class TSid {
public:
    explicit TSid(const Wide& text) {
        if (!::ConvertStringSidToSidW(W(text), &sid_)) sid_ = nullptr;
    }
    ~TSid() {
        if (sid_) ::LocalFree(sid_);
    }
    TSid(const TSid&) = delete;
    TSid& operator=(const TSid&) = delete;
    TSid(TSid&& other) noexcept : sid_(other.sid_) { other.sid_ = nullptr; }
    PSID Get() const { return sid_; }

private:
    PSID sid_ = nullptr;
};

// The owner and access list of what the handle has open, read through it; false with
// ERROR_ACCESS_DENIED when it lacks READ_CONTROL.
bool ReadSecurity(HANDLE handle, std::vector<BYTE>* buffer) {
    constexpr SECURITY_INFORMATION kWhat = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    buffer->resize(512);  // enough for the usual lists: one call
    DWORD size = 0;
    if (::GetKernelObjectSecurity(handle, kWhat, buffer->data(), static_cast<DWORD>(buffer->size()), &size))
        return true;
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0) return false;
    buffer->resize(size);
    return ::GetKernelObjectSecurity(handle, kWhat, buffer->data(), size, &size) != FALSE;
}

}  // namespace

bool GetSecurityInfo(Handle object, ObjectSecurity* out) {
    *out = ObjectSecurity();
    std::vector<BYTE> buffer;
    // A handle opened with READ_CONTROL is read as it is; any other through a second open.
    if (!ReadSecurity(H(object), &buffer)) {
        if (::GetLastError() != ERROR_ACCESS_DENIED) return false;
        HANDLE again = ReOpen(object, READ_CONTROL);
        if (again == INVALID_HANDLE_VALUE) return false;
        bool ok = ReadSecurity(again, &buffer);
        DWORD error = ::GetLastError();
        ::CloseHandle(again);
        if (!ok) return ::SetLastError(error), false;
    }
    auto descriptor = static_cast<PSECURITY_DESCRIPTOR>(buffer.data());
    PSID owner = nullptr;
    BOOL defaulted = FALSE;
    if (!::GetSecurityDescriptorOwner(descriptor, &owner, &defaulted)) return false;
    out->owner = SidText(owner);
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    if (!::GetSecurityDescriptorControl(descriptor, &control, &revision)) return false;
    out->daclProtected = (control & SE_DACL_PROTECTED) != 0;
    BOOL present = FALSE;
    PACL dacl = nullptr;
    if (!::GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted)) return false;
    if (!present || !dacl) return true;  // no list at all: read as an empty one
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        void* ace = nullptr;
        if (!::GetAce(dacl, i, &ace)) return false;
        auto header = static_cast<ACE_HEADER*>(ace);
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE && header->AceType != ACCESS_DENIED_ACE_TYPE)
            continue;  // object and callback entries do not occur on files
        auto allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);  // a denied entry has the same shape
        AccessEntry entry;
        entry.sid = SidText(&allowed->SidStart);
        entry.mask = allowed->Mask;
        entry.flags = header->AceFlags & (kObjectInheritAce | kContainerInheritAce |
                                          kNoPropagateInheritAce | kInheritOnlyAce | kInheritedAce);
        entry.allowed = header->AceType == ACCESS_ALLOWED_ACE_TYPE;
        out->dacl.push_back(entry);
    }
    return true;
}

bool SetSecurityInfo(Handle object, const ObjectSecurity& security) {
    TSid owner(security.owner);
    if (!owner.Get()) return ::SetLastError(ERROR_INVALID_SID), false;
    std::vector<TSid> sids;
    DWORD aclSize = sizeof(ACL);
    for (const AccessEntry& entry : security.dacl) {
        sids.emplace_back(entry.sid);
        if (!sids.back().Get()) return ::SetLastError(ERROR_INVALID_SID), false;
        aclSize += sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD) + ::GetLengthSid(sids.back().Get());
    }
    std::vector<BYTE> aclBuffer(aclSize);
    auto acl = reinterpret_cast<PACL>(aclBuffer.data());
    if (!::InitializeAcl(acl, aclSize, ACL_REVISION)) return false;
    for (size_t i = 0; i < security.dacl.size(); ++i) {
        const AccessEntry& entry = security.dacl[i];
        DWORD flags = entry.flags & (kObjectInheritAce | kContainerInheritAce |
                                     kNoPropagateInheritAce | kInheritOnlyAce);
        BOOL added = entry.allowed
                         ? ::AddAccessAllowedAceEx(acl, ACL_REVISION, flags, entry.mask, sids[i].Get())
                         : ::AddAccessDeniedAceEx(acl, ACL_REVISION, flags, entry.mask, sids[i].Get());
        if (!added) return false;
    }
    SECURITY_DESCRIPTOR descriptor;
    if (!::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) ||
        !::SetSecurityDescriptorOwner(&descriptor, owner.Get(), FALSE) ||
        !::SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE) ||
        !::SetSecurityDescriptorControl(&descriptor, SE_DACL_PROTECTED,
                                        security.daclProtected ? SE_DACL_PROTECTED : 0))
        return false;
    // The rights to take ownership and to restore give an administrator WRITE_OWNER and WRITE_DAC
    // whatever the object's list says, and let the owner be set; for this call alone.
    TPrivilegesInUse rights({SE_TAKE_OWNERSHIP_NAME, SE_RESTORE_NAME});
    HANDLE again = ReOpen(object, READ_CONTROL | WRITE_DAC | WRITE_OWNER);
    if (again == INVALID_HANDLE_VALUE) return false;
    // On this object alone: SetSecurityInfo would walk what lies below and change it too.
    bool ok = ::SetKernelObjectSecurity(again, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                        &descriptor) != FALSE;
    DWORD error = ::GetLastError();
    ::CloseHandle(again);
    ::SetLastError(error);
    return ok;
}

namespace {

Wide ReadTokenUserSid() {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return Wide();
    DWORD size = 0;
    ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size ? size : 1);
    bool ok = size && ::GetTokenInformation(token, TokenUser, buffer.data(), size, &size);
    ::CloseHandle(token);
    return ok ? SidText(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid) : Wide();
}

}  // namespace

Wide GetTokenUserSid() {
    // A process's account never changes: asked once.
    static const Wide sid = ReadTokenUserSid();
    return sid;
}

}  // namespace plat
