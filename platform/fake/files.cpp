// Files and folders of the fake: CreateFileW with dispositions, access and sharing, reads and
// writes with injected failures and disk capacity, searches, folders and the current folder.
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

uint32_t Reported(const Node& node) {
    if (node.folder) return node.attributes;
    return node.attributes ? node.attributes : plat::kFileAttributeNormal;
}

}  // namespace detail

}  // namespace fake

namespace plat {

using namespace fake::detail;

namespace {

constexpr uint32_t kErrorDirectory = 267;
constexpr uint32_t kErrorNotSameDevice = 17;
constexpr uint32_t kErrorDeviceNotConnected = 1167;
constexpr uint32_t kTruncateExisting = 5;
constexpr uint32_t kMoveFileReplaceExisting = 0x1;
constexpr uint32_t kMoveFileCopyAllowed = 0x2;

// The error for a path whose node is missing: the file, or a folder on the way to it.
uint32_t MissingError(const Path& path) {
    if (uint32_t error = CheckParent(path)) return error;
    return kErrorFileNotFound;
}

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

// Removes a node and everything below it.
void EraseTree(const Wide& key) {
    auto& nodes = M().nodes;
    nodes.erase(key);
    Wide prefix = key + u"\\";
    auto it = nodes.lower_bound(prefix);
    while (it != nodes.end() && it->first.compare(0, prefix.size(), prefix) == 0) {
        it = nodes.erase(it);
    }
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
    if (node && node->folder) {
        Fail(kErrorAccessDenied);
        return kInvalidHandle;
    }
    if (p.trailingSlash) {
        Fail(kErrorInvalidName);
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
    }
    HandleObject object;
    object.kind = HandleObject::kFile;
    object.file.key = key;
    object.file.access = access;
    object.file.share = shareMode;
    M().lastError = resultError;
    return NewHandle(object);
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
        open.position = end;
        if (!open.writeTimeFixed) node->written = Now();
    }
    if (written) *written = toWrite;
    if (reportSuccess) return true;
    if (injected) return Fail(kErrorWriteFault), false;
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
    M().handles.erase(it);
    return true;
}

uint32_t GetFileAttributesW(const Wide& path) {
    Path p = ParsePath(path);
    uint32_t error = 0;
    const Node* node = nullptr;
    if (!p.valid || p.volume) {
        error = kErrorPathNotFound;
    } else if (uint32_t driveError = CheckDrive(p.drive)) {
        error = driveError;
    } else if (!(node = FindNode(p.Key()))) {
        error = MissingError(p);
    } else if (p.trailingSlash && !node->folder) {
        error = kErrorPathNotFound;
    }
    if (error) {
        Fail(error);
        return kInvalidFileAttributes;
    }
    return Reported(*node);
}

bool SetFileAttributesW(const Wide& path, uint32_t attributes) {
    Path p = ParsePath(path);
    if (!p.valid || p.volume) return Fail(kErrorPathNotFound), false;
    if (uint32_t error = CheckDrive(p.drive)) return Fail(error), false;
    Node* node = FindNode(p.Key());
    if (!node) return Fail(MissingError(p)), false;
    node->attributes = (attributes & kStoredAttributes & ~kFileAttributeNormal) |
                       (node->folder ? kFileAttributeDirectory : 0);
    return true;
}

bool CreateDirectoryW(const Wide& path) {
    Path p = ParsePath(path);
    if (!p.valid || p.volume) return Fail(kErrorPathNotFound), false;
    if (uint32_t error = CheckDrive(p.drive)) return Fail(error), false;
    Wide key = p.Key();
    if (FindNode(key)) return Fail(kErrorAlreadyExists), false;
    if (uint32_t error = CheckParent(p)) return Fail(error), false;
    if (M().deniedFolders.count(key)) return Fail(kErrorAccessDenied), false;
    if (FaultNow(fake::Operation::CreateFolder, key)) return Fail(kErrorAccessDenied), false;
    MakeFolderNode(p);
    return true;
}

bool RemoveDirectoryW(const Wide& path) {
    Path p = ParsePath(path);
    if (!p.valid || p.volume) return Fail(kErrorPathNotFound), false;
    if (uint32_t error = CheckDrive(p.drive)) return Fail(error), false;
    if (p.IsRoot()) return Fail(kErrorAccessDenied), false;
    Wide key = p.Key();
    const Node* node = FindNode(key);
    if (!node) return Fail(MissingError(p)), false;
    if (!node->folder) return Fail(kErrorDirectory), false;
    if (!ChildKeys(key).empty()) return Fail(kErrorDirNotEmpty), false;
    // The process holds its current folder open.
    if (ParsePath(M().currentFolder).Key() == key) return Fail(kErrorSharingViolation), false;
    M().nodes.erase(key);
    return true;
}

bool DeleteFileW(const Wide& path) {
    Path p = ParsePath(path);
    if (!p.valid || p.volume) return Fail(kErrorPathNotFound), false;
    if (uint32_t error = CheckDrive(p.drive)) return Fail(error), false;
    Wide key = p.Key();
    const Node* node = FindNode(key);
    if (!node) return Fail(MissingError(p)), false;
    if (node->folder) return Fail(kErrorAccessDenied), false;
    if (p.trailingSlash) return Fail(kErrorInvalidName), false;
    if (node->attributes & kFileAttributeReadOnly) return Fail(kErrorAccessDenied), false;
    if (DeleteBlocked(key)) return Fail(kErrorSharingViolation), false;
    if (FaultNow(fake::Operation::DeleteFile, key)) return Fail(kErrorAccessDenied), false;
    M().nodes.erase(key);
    return true;
}

bool CopyFileW(const Wide& from, const Wide& to, bool failIfExists) {
    Path source = ParsePath(from), target = ParsePath(to);
    if (!source.valid || source.volume) return Fail(kErrorPathNotFound), false;
    if (uint32_t error = CheckDrive(source.drive)) return Fail(error), false;
    const Node* original = FindNode(source.Key());
    if (!original) return Fail(MissingError(source)), false;
    if (original->folder) return Fail(kErrorAccessDenied), false;
    if (SharingConflict(source.Key(), kGenericRead, kFileShareRead)) {
        return Fail(kErrorSharingViolation), false;
    }
    if (!target.valid || target.volume) return Fail(kErrorPathNotFound), false;
    if (uint32_t error = CheckParent(target)) return Fail(error), false;
    Wide key = target.Key();
    uint64_t replaced = 0;
    if (const Node* existing = FindNode(key)) {
        if (existing->folder) return Fail(kErrorAccessDenied), false;
        if (failIfExists) return Fail(kErrorFileExists), false;
        if (existing->attributes &
            (kFileAttributeReadOnly | kFileAttributeHidden | kFileAttributeSystem)) {
            return Fail(kErrorAccessDenied), false;
        }
        if (SharingConflict(key, kGenericWrite, 0)) return Fail(kErrorSharingViolation), false;
        replaced = existing->bytes.size();
    }
    uint64_t size = original->bytes.size();
    if (size > replaced &&
        UsedBytes(target.drive) + (size - replaced) > M().drives[target.drive].capacity) {
        return Fail(kErrorDiskFull), false;
    }
    Node copy = *original;
    copy.name = FindNode(key) ? FindNode(key)->name : target.Name();
    copy.attributes |= kFileAttributeArchive;
    copy.created = copy.accessed = Now();
    M().nodes[key] = copy;
    return true;
}

bool MoveFileExW(const Wide& from, const Wide& to, uint32_t flags) {
    Path source = ParsePath(from);
    if (!source.valid || source.volume || source.IsRoot()) return Fail(kErrorPathNotFound), false;
    if (uint32_t error = CheckDrive(source.drive)) return Fail(error), false;
    Wide sourceKey = source.Key();
    const Node* original = FindNode(sourceKey);
    if (!original) return Fail(MissingError(source)), false;
    // Moves left for the next start are recorded by Windows only; nothing changes now.
    if (flags & kMoveFileDelayUntilReboot) return true;
    Path target = ParsePath(to);
    if (!target.valid || target.volume) return Fail(kErrorPathNotFound), false;
    if (uint32_t error = CheckParent(target)) return Fail(error), false;
    if (DeleteBlocked(sourceKey)) return Fail(kErrorSharingViolation), false;
    Wide targetKey = target.Key();
    if (target.drive != source.drive &&
        (original->folder || !(flags & kMoveFileCopyAllowed))) {
        return Fail(kErrorNotSameDevice), false;
    }
    if (targetKey != sourceKey) {
        if (const Node* existing = FindNode(targetKey)) {
            if (!(flags & kMoveFileReplaceExisting)) return Fail(kErrorAlreadyExists), false;
            if (existing->folder || original->folder) return Fail(kErrorAccessDenied), false;
            if (existing->attributes & kFileAttributeReadOnly) return Fail(kErrorAccessDenied), false;
            if (DeleteBlocked(targetKey)) return Fail(kErrorSharingViolation), false;
        }
        if (original->folder && targetKey.compare(0, sourceKey.size() + 1, sourceKey + u"\\") == 0) {
            return Fail(kErrorSharingViolation), false;  // into itself
        }
    }
    if (FaultNow(fake::Operation::MoveFile, sourceKey)) return Fail(kErrorAccessDenied), false;
    // Move the node and everything below it under the new key.
    std::vector<std::pair<Wide, Node>> moved;
    Wide prefix = sourceKey + u"\\";
    for (const auto& entry : M().nodes) {
        if (entry.first == sourceKey || entry.first.compare(0, prefix.size(), prefix) == 0) {
            moved.emplace_back(targetKey + entry.first.substr(sourceKey.size()), entry.second);
        }
    }
    EraseTree(sourceKey);
    if (FindNode(targetKey)) M().nodes.erase(targetKey);
    for (auto& entry : moved) {
        if (entry.first == targetKey) entry.second.name = target.Name();
        M().nodes[entry.first] = entry.second;
    }
    return true;
}

Wide GetCurrentDirectoryW() { return M().currentFolder; }

bool SetCurrentDirectoryW(const Wide& path) {
    if (path.empty()) return Fail(kErrorInvalidName), false;
    Path p = ParsePath(path);
    if (!p.valid || p.volume) return Fail(kErrorPathNotFound), false;
    if (uint32_t error = CheckDrive(p.drive)) return Fail(error), false;
    if (!p.IsRoot()) {
        const Node* node = FindNode(p.Key());
        if (!node) return Fail(MissingError(p)), false;
        if (!node->folder) return Fail(kErrorDirectory), false;
    }
    M().currentFolder = p.Display();
    return true;
}

Wide GetTempPathW() { return M().tempPath; }

}  // namespace plat
