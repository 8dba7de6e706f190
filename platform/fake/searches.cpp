// Folder searches of the fake: FindFirstFileW takes a name or a pattern with '*' and '?' and
// gathers the matching entries at once; FindNextFileW hands them out in the file system's order.
#include "platform/fake/state.h"

namespace plat {

using namespace fake::detail;

namespace {

FindData EntryOf(const Node& node, const Wide& name) {
    FindData data;
    data.attributes = Reported(node);
    data.creationTime = node.created;
    data.lastAccessTime = node.accessed;
    data.lastWriteTime = node.written;
    data.size = node.bytes.size();
    data.name = name;
    return data;
}

bool Matches(const Wide& pattern, size_t p, const Wide& name, size_t n) {
    while (p < pattern.size()) {
        char16_t c = pattern[p];
        if (c == u'*') {
            for (size_t k = n; k <= name.size(); ++k) {
                if (Matches(pattern, p + 1, name, k)) return true;
            }
            return false;
        }
        if (n >= name.size()) return false;
        if (c != u'?' && UpperUnit(c) != UpperUnit(name[n])) return false;
        ++p;
        ++n;
    }
    return n == name.size();
}

bool MatchesPattern(const Wide& pattern, const Wide& name) {
    if (pattern == u"*" || pattern == u"*.*") return true;
    return Matches(pattern, 0, name, 0);
}

}  // namespace

Handle FindFirstFileW(const Wide& pattern, FindData* found) {
    Path p = ParsePath(pattern);
    uint32_t error = 0;
    if (!p.valid || p.volume) {
        error = p.valid ? kErrorFileNotFound : kErrorPathNotFound;
    } else if (uint32_t driveError = CheckDrive(p.drive)) {
        error = driveError;
    } else if (p.IsRoot() || p.trailingSlash) {
        error = kErrorFileNotFound;
    } else {
        const Node* parent = FindNode(p.ParentKey());
        if (!parent) error = kErrorPathNotFound;
        else if (!parent->folder) error = kErrorInvalidName;
        // The search opens the folder to list it, sharing reading and writing only (as Wine
        // does): a handle that may delete the folder stops it.
        else if (SharingConflict(p.ParentKey(), kGenericRead, kFileShareRead | kFileShareWrite))
            error = kErrorSharingViolation;
    }
    if (error) {
        Fail(error);
        return kInvalidHandle;
    }

    HandleObject object;
    object.kind = HandleObject::kSearch;
    Wide name = p.Name();
    if (name.find_first_of(u"*?") != Wide::npos) {
        Path folder = p;
        folder.parts.pop_back();
        const Node& folderNode = *FindNode(folder.Key());
        if (!folder.IsRoot()) {
            for (const char16_t* dots : {u".", u".."}) {
                if (MatchesPattern(name, dots)) object.entries.push_back(EntryOf(folderNode, dots));
            }
        }
        for (const Wide& key : ChildKeys(folder.Key())) {
            const Node& node = M().nodes[key];
            if (MatchesPattern(name, node.name)) object.entries.push_back(EntryOf(node, node.name));
        }
    } else if (const Node* node = FindNode(p.Key())) {
        object.entries.push_back(EntryOf(*node, node->name));
    }
    if (object.entries.empty()) {
        Fail(kErrorFileNotFound);
        return kInvalidHandle;
    }
    if (found) *found = object.entries[0];
    object.next = 1;
    return NewHandle(object);
}

bool FindNextFileW(Handle search, FindData* found) {
    HandleObject* object = Lookup(search, HandleObject::kSearch);
    if (!object) return Fail(kErrorInvalidHandle), false;
    if (object->next >= object->entries.size()) return Fail(kErrorNoMoreFiles), false;
    if (found) *found = object->entries[object->next];
    ++object->next;
    return true;
}

bool FindClose(Handle search) {
    if (!Lookup(search, HandleObject::kSearch)) return Fail(kErrorInvalidHandle), false;
    M().handles.erase(search);
    return true;
}

}  // namespace plat
