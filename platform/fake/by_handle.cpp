// What the fake tells and changes through an open handle: the information of the object it has
// open, its attributes, and its deletion when the last handle goes.
#include "platform/fake/state.h"

namespace plat {

using namespace fake::detail;

namespace {

constexpr uint32_t kDeleteAccess = 0x10000;
constexpr uint32_t kGenericAll = 0x10000000;

// The node a file handle has open, or nullptr with the error set.
Node* NodeOfHandle(Handle file, OpenFile** open = nullptr) {
    HandleObject* object = Lookup(file, HandleObject::kFile);
    if (!object) return Fail(kErrorInvalidHandle), nullptr;
    Node* node = FindNode(object->file.key);
    if (!node) return Fail(kErrorFileNotFound), nullptr;
    if (open) *open = &object->file;
    return node;
}

}  // namespace

bool GetFileInformationByHandle(Handle file, ByHandleFileInformation* info) {
    OpenFile* open = nullptr;
    const Node* node = NodeOfHandle(file, &open);
    if (!node) return false;
    *info = ByHandleFileInformation();
    info->attributes = Reported(*node);
    info->creationTime = node->created;
    info->lastAccessTime = node->accessed;
    info->lastWriteTime = node->written;
    info->volumeSerialNumber = 0x1000u + open->key[0];
    info->size = node->folder ? 0 : node->bytes.size();
    info->numberOfLinks = node->folder ? 1 : node->hardLinks;
    info->fileIndex = std::hash<Wide>()(open->key);
    return true;
}

bool GetOpenFileFacts(Handle file, OpenFileFacts* facts) {
    const Node* node = NodeOfHandle(file);
    if (!node) return false;
    facts->attributes = Reported(*node);
    facts->lastWriteTime = node->written;
    facts->size = node->folder ? 0 : node->bytes.size();
    facts->numberOfLinks = node->folder ? 1 : node->hardLinks;
    return true;
}

bool SetFileInformationByHandle(Handle file, const FileBasicInfo& info) {
    if (M().ended) return Fail(kErrorAccessDenied), false;
    OpenFile* open = nullptr;
    Node* node = NodeOfHandle(file, &open);
    if (!node) return false;
    if (!(open->access & (kFileWriteAttributes | kGenericWrite | kGenericAll)))
        return Fail(kErrorAccessDenied), false;
    if (info.creationTime) node->created = info.creationTime;
    if (info.lastAccessTime) node->accessed = info.lastAccessTime;
    if (info.lastWriteTime) node->written = info.lastWriteTime;
    if (info.attributes)
        node->attributes = (info.attributes & kStoredAttributes & ~kFileAttributeNormal) |
                           (node->folder ? kFileAttributeDirectory : 0) |
                           (node->link.empty() ? 0 : kFileAttributeReparsePoint);
    return true;
}

bool SetFileInformationByHandle(Handle file, const FileDispositionInfo& info) {
    OpenFile* open = nullptr;
    Node* node = NodeOfHandle(file, &open);
    if (!node) return false;
    if (!(open->access & (kDeleteAccess | kGenericAll))) return Fail(kErrorAccessDenied), false;
    if (!info.deleteFile) {
        open->deleteOnClose = false;
        return true;
    }
    if (node->folder && node->link.empty() && !ChildKeys(open->key).empty())
        return Fail(kErrorDirNotEmpty), false;
    if (!node->folder && (node->attributes & kFileAttributeReadOnly))
        return Fail(kErrorAccessDenied), false;
    if (FaultNow(fake::Operation::DeleteFile, open->key)) return Fail(kErrorAccessDenied), false;
    open->deleteOnClose = true;
    return true;
}

}  // namespace plat
