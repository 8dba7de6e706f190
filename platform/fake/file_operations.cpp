// Files and folders of the fake by path: attributes, making and removing folders, deleting,
// copying and moving (a folder with all below it), the current folder and the temporary folder.
#include "platform/fake/state.h"

namespace fake {

namespace detail {

uint32_t Reported(const Node& node) {
    if (!node.link.empty() && !node.folder && M().linksAsWine) {
        Path target = FollowLink(ParsePath(node.link));
        const Node* found = target.valid && !target.volume ? FindNode(target.Key()) : nullptr;
        return found && !found->folder ? Reported(*found) : plat::kFileAttributeArchive;
    }
    if (!node.link.empty())
        return plat::kFileAttributeReparsePoint |
               (node.folder ? plat::kFileAttributeDirectory : plat::kFileAttributeArchive);
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
constexpr uint32_t kMoveFileCopyAllowed = 0x2;

// The error for a path whose node is missing: the file, or a folder on the way to it.
uint32_t MissingError(const Path& path) {
    if (uint32_t error = CheckParent(path)) return error;
    return kErrorFileNotFound;
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

uint32_t GetFileAttributesW(const Wide& path) {
    ++M().attributeLookups;
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
    if (M().ended) return Fail(kErrorAccessDenied), false;
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
    if (M().ended) return Fail(kErrorAccessDenied), false;
    Path p = ParsePath(path);
    if (!p.valid || p.volume) return Fail(kErrorPathNotFound), false;
    if (uint32_t error = CheckDrive(p.drive)) return Fail(error), false;
    if (p.IsRoot()) return Fail(kErrorAccessDenied), false;
    Wide key = p.Key();
    const Node* node = FindNode(key);
    if (!node) return Fail(MissingError(p)), false;
    if (!node->folder) return Fail(kErrorDirectory), false;
    if (!node->link.empty() && M().linksAsWine) {
        // Wine removes the folder the link points at (when it is empty); the link stays.
        p = FollowLink(p);
        if (!p.valid || p.volume || p.IsRoot()) return Fail(kErrorAccessDenied), false;
        key = p.Key();
        node = FindNode(key);
        if (!node) return Fail(MissingError(p)), false;
        if (!node->folder) return Fail(kErrorDirectory), false;
    }
    // A folder link goes itself; what it points at stays.
    if (!node->link.empty()) return M().nodes.erase(key), true;
    if (!ChildKeys(key).empty()) return Fail(kErrorDirNotEmpty), false;
    if (DeleteBlocked(key)) return Fail(kErrorSharingViolation), false;
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
    if (!node->link.empty() && !node->folder && M().linksAsWine) {
        // Wine deletes the file the link points at; the link stays.
        p = FollowLink(p);
        if (!p.valid || p.volume) return Fail(kErrorFileNotFound), false;
        key = p.Key();
        node = FindNode(key);
        if (!node) return Fail(MissingError(p)), false;
    }
    if (node->folder) return Fail(kErrorAccessDenied), false;
    if (p.trailingSlash) return Fail(kErrorInvalidName), false;
    if (node->attributes & kFileAttributeReadOnly) return Fail(kErrorAccessDenied), false;
    if (DeleteBlocked(key)) return Fail(kErrorSharingViolation), false;
    if (FaultNow(fake::Operation::DeleteFile, key)) return Fail(kErrorAccessDenied), false;
    M().nodes.erase(key);
    return true;
}

bool CopyFileW(const Wide& from, const Wide& to, bool failIfExists) {
    Path source = FollowLink(ParsePath(from)), target = ParsePath(to);
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
    copy.security = FindNode(key) ? FindNode(key)->security : NewSecurity(target, false);
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
        if (entry.first == targetKey) {
            entry.second.name = target.Name();
            entry.second.movedInWith = flags;
        }
        M().nodes[entry.first] = entry.second;
    }
    return true;
}

Wide GetFullPathNameW(const Wide& path) {
    Wide full = FullPathText(path);
    if (full.empty()) Fail(kErrorInvalidName);
    return full;
}

namespace {

bool SamePart(const Wide& a, const Wide& b) { return Upper(a) == Upper(b); }

}  // namespace

Wide GetLongPathNameW(const Wide& path) {
    Wide full = FullPathText(path);
    if (full.compare(0, 4, u"\\\\?\\") == 0) full = full.substr(4);
    if (full.size() < 3 || full[1] != u':' || full[2] != u'\\') return Fail(kErrorInvalidName), Wide();
    Path p = ParsePath(full);
    if (!p.valid || p.volume) return Fail(kErrorPathNotFound), Wide();
    if (uint32_t error = CheckDrive(p.drive)) return Fail(error), Wide();
    if (!p.IsRoot() && !FindNode(FollowLink(p).Key())) return Fail(MissingError(p)), Wide();
    // Each short name as the long one, up to a link: beyond it, names are the target's.
    Wide result = full.substr(0, 3), key = DriveKey(p.drive);
    bool asWritten = false;
    size_t start = 3;
    while (start < full.size()) {
        size_t end = full.find(u'\\', start);
        if (end == Wide::npos) end = full.size();
        Wide part = full.substr(start, end - start), childKey;
        const Node* node = asWritten ? nullptr : ChildNamed(key, part, &childKey);
        if (node) {
            // Windows looks up only what reads as a short name; a long name keeps its case.
            if (!SamePart(node->name, part)) part = node->name;
            key = childKey;
            asWritten = !node->link.empty();
        } else {
            asWritten = true;
        }
        result += part + (end < full.size() ? u"\\" : u"");
        start = end + 1;
    }
    return result;
}

Wide GetCurrentDirectoryW() { return M().currentFolder; }

bool SetCurrentDirectoryW(const Wide& path) {
    ++M().currentFolderChanges;
    if (path.empty()) return Fail(kErrorInvalidName), false;
    Path p = FollowLink(ParsePath(path));
    if (!p.valid || p.volume) return Fail(kErrorPathNotFound), false;
    if (uint32_t error = CheckDrive(p.drive)) return Fail(error), false;
    if (!p.IsRoot()) {
        const Node* node = FindNode(p.Key());
        if (!node) return Fail(MissingError(p)), false;
        if (!node->folder) return Fail(kErrorDirectory), false;
    }
    // Windows keeps the folder as it was named, links on the way included.
    Wide named = FullPathText(path);
    while (named.size() > 3 && named.back() == u'\\') named.pop_back();
    M().currentFolder = named.empty() ? p.Display() : named;
    return true;
}

Wide GetTempPathW() { return M().tempPath; }

}  // namespace plat
