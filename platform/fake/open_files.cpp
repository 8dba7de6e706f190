// Open files of the fake and their handles: CreateFileW with dispositions, access and sharing,
// reads and writes with injected failures and disk capacity, sizes, times and closing; the
// sharing rules and the handle table serve the searches and the operations by path too.
#include <algorithm>
#include <cstring>

#include "platform/fake/state.h"

namespace fake {

namespace detail {

namespace {

constexpr uint32_t kGenericAll = 0x10000000;
constexpr uint32_t kDeleteAccess = 0x10000;

bool Reads(uint32_t access) { return access & (plat::kGenericRead | kGenericAll | 0x1); }
bool Writes(uint32_t access) { return access & (plat::kGenericWrite | kGenericAll | 0x2 | 0x4); }
bool Deletes(uint32_t access) { return access & (kDeleteAccess | kGenericAll); }
// Opens that ask for no data access (only attributes, as to query a size) take no part in
// sharing, on Windows as here.
bool Shares(uint32_t access) { return Reads(access) || Writes(access) || Deletes(access); }

}  // namespace

bool SharingConflict(const Wide& key, uint32_t access, uint32_t share) {
    if (!Shares(access)) return false;
    if (M().held.count(key)) return true;  // another program holds it without sharing
    for (const auto& entry : M().handles) {
        const HandleObject& other = entry.second;
        if (other.kind != HandleObject::kFile || other.file.key != key) continue;
        const OpenFile& open = other.file;
        if (!Shares(open.access)) continue;
        if ((Reads(access) && !(open.share & plat::kFileShareRead)) ||
            (Writes(access) && !(open.share & plat::kFileShareWrite)) ||
            (Deletes(access) && !(open.share & plat::kFileShareDelete)) ||
            (Reads(open.access) && !(share & plat::kFileShareRead)) ||
            (Writes(open.access) && !(share & plat::kFileShareWrite)) ||
            (Deletes(open.access) && !(share & plat::kFileShareDelete))) {
            return true;
        }
    }
    return false;
}

bool DeleteBlocked(const Wide& key) { return SharingConflict(key, kDeleteAccess, 0x7); }

plat::Handle NewHandle(const HandleObject& object) {
    Machine& m = M();
    plat::Handle handle = m.nextHandle;
    m.nextHandle += 4;
    m.handles[handle] = object;
    return handle;
}

HandleObject* Lookup(plat::Handle handle, HandleObject::Kind kind) {
    auto it = M().handles.find(handle);
    if (it == M().handles.end() || it->second.kind != kind) return nullptr;
    return &it->second;
}

}  // namespace detail

}  // namespace fake

namespace plat {

using namespace fake::detail;

namespace {

constexpr uint32_t kErrorDeviceNotConnected = 1167;
constexpr uint32_t kTruncateExisting = 5;

Handle OpenVolume(char16_t drive) {
    auto it = M().drives.find(drive);
    if (it == M().drives.end()) {
        Fail(kErrorFileNotFound);
        return kInvalidHandle;
    }
    if (!it->second.canOpenVolume) {
        Fail(kErrorAccessDenied);
        return kInvalidHandle;
    }
    HandleObject object;
    object.kind = HandleObject::kVolume;
    object.drive = drive;
    M().lastError = 0;
    return NewHandle(object);
}

}  // namespace

Handle CreateFileW(const Wide& path, uint32_t access, uint32_t shareMode, uint32_t disposition,
                   uint32_t flagsAndAttributes) {
    Path p = ParsePath(path);
    if (!p.valid) {
        Fail(kErrorPathNotFound);
        return kInvalidHandle;
    }
    if (p.volume) return OpenVolume(p.drive);
    if (const Node* link = FindNode(p.Key()); link && !link->link.empty()) {
        // A name that a link holds is taken, whether the link leads anywhere or not.
        if (disposition == kCreateNew) return Fail(kErrorFileExists), kInvalidHandle;
        if (!(flagsAndAttributes & kFileFlagOpenReparsePoint) || M().linksAsWine) {
            p = FollowLink(p);
            if (!p.valid) return Fail(1921), kInvalidHandle;  // ERROR_CANT_RESOLVE_FILENAME
        }
    }
    if (disposition < kCreateNew || disposition > kTruncateExisting) {
        Fail(kErrorInvalidParameter);
        return kInvalidHandle;
    }
    if (uint32_t error = p.IsRoot() ? CheckDrive(p.drive) : CheckParent(p)) {
        Fail(error);
        return kInvalidHandle;
    }
    Wide key = p.Key();
    Node* node = FindNode(key);
    // A folder opens only as a folder, for its times and its final path.
    bool folderOpen = node && node->folder && (flagsAndAttributes & kFileFlagBackupSemantics) &&
                      disposition == kOpenExisting;
    if (node && node->folder && !folderOpen) {
        Fail(kErrorAccessDenied);
        return kInvalidHandle;
    }
    if (p.trailingSlash) {
        Fail(kErrorInvalidName);
        return kInvalidHandle;
    }
    // The process holds its current folder open without sharing its deletion.
    if (Deletes(access) && node && node->folder && ParsePath(M().currentFolder).Key() == key) {
        Fail(kErrorSharingViolation);
        return kInvalidHandle;
    }
    bool changes = Writes(access) || disposition != kOpenExisting;
    if (changes && FaultNow(fake::Operation::CreateFile, key)) {
        Fail(kErrorAccessDenied);
        return kInvalidHandle;
    }
    uint32_t newAttributes =
        (flagsAndAttributes & kStoredAttributes & ~kFileAttributeNormal) | kFileAttributeArchive;
    uint32_t resultError = 0;
    if (node && DeniedByList(*node, access)) {
        Fail(kErrorAccessDenied);
        return kInvalidHandle;
    }
    if (node) {
        bool truncates = disposition == kCreateAlways || disposition == kTruncateExisting;
        if (disposition == kCreateNew) {
            Fail(kErrorFileExists);
            return kInvalidHandle;
        }
        if ((node->attributes & kFileAttributeReadOnly) && (Writes(access) || truncates)) {
            Fail(kErrorAccessDenied);
            return kInvalidHandle;
        }
        // Replacing a hidden or system file must name those attributes again.
        uint32_t kept = node->attributes & (kFileAttributeHidden | kFileAttributeSystem);
        if (disposition == kCreateAlways && (kept & ~flagsAndAttributes)) {
            Fail(kErrorAccessDenied);
            return kInvalidHandle;
        }
        if (disposition == kTruncateExisting && !Writes(access)) {
            Fail(kErrorInvalidParameter);
            return kInvalidHandle;
        }
        if (SharingConflict(key, access, shareMode)) {
            Fail(kErrorSharingViolation);
            return kInvalidHandle;
        }
        if (truncates) {
            node->bytes.clear();
            node->flushed = false;
            node->written = node->accessed = Now();
        }
        if (disposition == kCreateAlways) node->attributes = newAttributes;
        if (disposition == kCreateAlways || disposition == kOpenAlways) {
            resultError = kErrorAlreadyExists;
        }
    } else {
        if (disposition == kOpenExisting || disposition == kTruncateExisting) {
            Fail(kErrorFileNotFound);
            return kInvalidHandle;
        }
        Node& created = M().nodes[key];
        created.name = p.Name();
        created.attributes = newAttributes;
        created.created = created.accessed = created.written = Now();
        created.security = NewSecurity(p, false);
    }
    HandleObject object;
    object.kind = HandleObject::kFile;
    object.file.key = key;
    object.file.access = access;
    object.file.share = shareMode;
    object.file.deleteOnClose = (flagsAndAttributes & kFileFlagDeleteOnClose) != 0;
    M().lastError = resultError;
    return NewHandle(object);
}

Handle OpenFileInFolder(Handle folder, const Wide& name, uint32_t access, uint32_t shareMode,
                        uint32_t flagsAndAttributes) {
    HandleObject* object = Lookup(folder, HandleObject::kFile);
    if (!object) return Fail(kErrorInvalidHandle), kInvalidHandle;
    if (name.empty() || name.find_first_not_of(u'.') == Wide::npos ||
        name.find_first_of(u"\\/:") != Wide::npos)
        return Fail(kErrorInvalidName), kInvalidHandle;
    // Here a handle names its object by the key it was opened under, which nobody can rename
    // while the folder is held: the file is looked up below that key, never through a link
    // in its place.
    const Node* held = FindNode(object->file.key);
    if (!held || !held->folder) return Fail(kErrorPathNotFound), kInvalidHandle;
    return CreateFileW(DisplayOfKey(object->file.key) + u"\\" + name, access, shareMode,
                       kOpenExisting, flagsAndAttributes & ~kFileFlagBackupSemantics);
}

bool ReadFile(Handle file, void* buffer, uint32_t count, uint32_t* read) {
    if (read) *read = 0;
    HandleObject* object = Lookup(file, HandleObject::kFile);
    if (!object) return Fail(kErrorInvalidHandle), false;
    if (!Reads(object->file.access)) return Fail(kErrorAccessDenied), false;
    Node* node = FindNode(object->file.key);
    if (!node) return Fail(kErrorDeviceNotConnected), false;
    uint64_t position = object->file.position;
    uint64_t available = position < node->bytes.size() ? node->bytes.size() - position : 0;
    uint32_t done = static_cast<uint32_t>(std::min<uint64_t>(count, available));
    if (done) std::memcpy(buffer, node->bytes.data() + position, done);
    object->file.position += done;
    if (read) *read = done;
    return true;
}

Wide GetFinalPathNameByHandleW(Handle file) {
    ++M().finalPaths;
    HandleObject* object = Lookup(file, HandleObject::kFile);
    if (!object) return Fail(kErrorInvalidHandle), Wide();
    if (!FindNode(object->file.key)) return Fail(kErrorFileNotFound), Wide();
    return DisplayOfKey(object->file.key);
}

uint32_t SetFilePointer(Handle file, int32_t distance, uint32_t moveMethod) {
    HandleObject* object = Lookup(file, HandleObject::kFile);
    if (!object) return Fail(kErrorInvalidHandle), kInvalidSetFilePointer;
    Node* node = FindNode(object->file.key);
    if (!node) return Fail(kErrorDeviceNotConnected), kInvalidSetFilePointer;
    int64_t base = moveMethod == kFileBegin ? 0
                   : moveMethod == 1        ? static_cast<int64_t>(object->file.position)
                   : moveMethod == 2        ? static_cast<int64_t>(node->bytes.size())
                                            : -1;
    int64_t position = base + distance;
    if (base < 0 || position < 0) return Fail(base < 0 ? kErrorInvalidParameter : 131), kInvalidSetFilePointer;
    object->file.position = static_cast<uint64_t>(position);
    M().lastError = 0;
    return static_cast<uint32_t>(position);
}

bool WriteFile(Handle file, const void* buffer, uint32_t count, uint32_t* written) {
    if (written) *written = 0;
    HandleObject* object = Lookup(file, HandleObject::kFile);
    if (!object) return Fail(kErrorInvalidHandle), false;
    OpenFile& open = object->file;
    if (!Writes(open.access)) return Fail(kErrorAccessDenied), false;
    Node* node = FindNode(open.key);
    if (!node) return Fail(kErrorDeviceNotConnected), false;
    if (count == 0) return true;

    uint32_t toWrite = count;
    bool injected = false, reportSuccess = false;
    auto failure = M().writeFailures.find(open.key);
    if (failure != M().writeFailures.end()) {
        injected = true;
        toWrite = std::min(count, failure->second.partialBytes);
        if (--failure->second.count <= 0) M().writeFailures.erase(failure);
    }
    fake::FaultKind kind;
    if (FaultNow(fake::Operation::WriteFile, open.key, &kind)) {
        if (kind == fake::FaultKind::Ended) return Fail(kErrorWriteFault), false;
        injected = true;
        toWrite = count / 2;
        reportSuccess = kind == fake::FaultKind::ShortWrite;
    }

    uint64_t end = open.position + toWrite;
    uint64_t growth = end > node->bytes.size() ? end - node->bytes.size() : 0;
    if (growth && UsedBytes(open.key[0]) + growth > M().drives[open.key[0]].capacity) {
        return Fail(kErrorDiskFull), false;
    }
    if (toWrite) {
        if (end > node->bytes.size()) node->bytes.resize(end, '\0');
        std::memcpy(&node->bytes[open.position], buffer, toWrite);
        node->flushed = false;
        open.position = end;
        if (!open.writeTimeFixed) node->written = Now();
    }
    if (written) *written = toWrite;
    if (reportSuccess) return true;
    if (injected) return Fail(kErrorWriteFault), false;
    return true;
}

bool FlushFileBuffers(Handle file) {
    HandleObject* object = Lookup(file, HandleObject::kFile);
    if (!object) return Fail(kErrorInvalidHandle), false;
    if (!Writes(object->file.access)) return Fail(kErrorAccessDenied), false;
    Node* node = FindNode(object->file.key);
    if (!node) return Fail(kErrorDeviceNotConnected), false;
    // A disk that fails while its cache is written out.
    if (FaultNow(fake::Operation::FlushFile, object->file.key)) return Fail(kErrorWriteFault), false;
    node->flushed = true;
    return true;
}

uint32_t GetFileSize(Handle file) {
    auto it = M().handles.find(file);
    if (it == M().handles.end() || it->second.kind == HandleObject::kSearch) {
        Fail(kErrorInvalidHandle);
        return kInvalidFileSize;
    }
    if (it->second.kind == HandleObject::kVolume) {
        Fail(1);  // ERROR_INVALID_FUNCTION
        return kInvalidFileSize;
    }
    Node* node = FindNode(it->second.file.key);
    if (!node) {
        Fail(kErrorDeviceNotConnected);
        return kInvalidFileSize;
    }
    uint32_t low = static_cast<uint32_t>(node->bytes.size());
    // A size whose low half is INVALID_FILE_SIZE is told apart by the error 0.
    if (low == kInvalidFileSize) M().lastError = 0;
    return low;
}

bool SetFileTime(Handle file, const FileTime* creation, const FileTime* lastAccess,
                 const FileTime* lastWrite) {
    HandleObject* object = Lookup(file, HandleObject::kFile);
    if (!object) return Fail(kErrorInvalidHandle), false;
    // Windows needs FILE_WRITE_ATTRIBUTES, which GENERIC_WRITE includes.
    if (!Writes(object->file.access)) return Fail(kErrorAccessDenied), false;
    Node* node = FindNode(object->file.key);
    if (!node) return Fail(kErrorDeviceNotConnected), false;
    if (FaultNow(fake::Operation::SetFileTime, object->file.key)) return Fail(kErrorAccessDenied), false;
    if (creation) node->created = *creation;
    if (lastAccess) node->accessed = *lastAccess;
    if (lastWrite) {
        node->written = *lastWrite;
        object->file.writeTimeFixed = true;  // later writes through this handle keep it
    }
    return true;
}

bool GetFileTime(Handle file, FileTime* creation, FileTime* lastAccess, FileTime* lastWrite) {
    HandleObject* object = Lookup(file, HandleObject::kFile);
    if (!object) return Fail(kErrorInvalidHandle), false;
    Node* node = FindNode(object->file.key);
    if (!node) return Fail(kErrorDeviceNotConnected), false;
    if (creation) *creation = node->created;
    if (lastAccess) *lastAccess = node->accessed;
    if (lastWrite) *lastWrite = node->written;
    return true;
}

bool CloseHandle(Handle handle) {
    if (handle == kInvalidHandle) return true;  // the pseudo handle of the current process
    auto it = M().handles.find(handle);
    if (it == M().handles.end() || it->second.kind == HandleObject::kSearch) {
        return Fail(kErrorInvalidHandle), false;
    }
    // A file opened for deletion on close goes with its last such handle.
    bool deletes = it->second.kind == HandleObject::kFile && it->second.file.deleteOnClose;
    Wide key = it->second.file.key;
    M().handles.erase(it);
    // A folder goes only while empty (Windows lets nothing be made in one whose deletion waits).
    if (deletes && !HasOpenHandle(key) && ChildKeys(key).empty()) M().nodes.erase(key);
    return true;
}

}  // namespace plat

namespace fake {

int FinalPathCount() { return detail::M().finalPaths; }
int AttributeLookupCount() { return detail::M().attributeLookups; }
int CurrentFolderChangeCount() { return detail::M().currentFolderChanges; }
int SecurityReopenCount() { return detail::M().securityReopens; }

}  // namespace fake
