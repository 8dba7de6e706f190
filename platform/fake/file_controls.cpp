// The test side's controls of the fake's files: putting files and folders in place, setting the
// temporary folder, looking at files, folders and open handles without the platform calls, and
// making opens, writes and new folders fail.
#include <algorithm>

#include "platform/fake/state.h"

namespace fake {

using namespace detail;

void PutFolder(const Wide& path) {
    Path p = ParsePath(path);
    if (!p.valid || p.volume || !M().drives.count(p.drive)) return;  // needs an existing drive
    Path step = p;
    step.parts.clear();
    for (const Wide& part : p.parts) {
        step.parts.push_back(part);
        Node* node = FindNode(step.Key());
        if (node && node->folder) continue;
        MakeFolderNode(step);
    }
}

namespace {

// A fresh node at the path, its folders made; nullptr where no such path can be (no drive).
Node* NewNodeAt(const Wide& path) {
    Path p = ParsePath(path);
    if (!p.valid || p.volume || p.IsRoot() || !M().drives.count(p.drive)) return nullptr;
    Path parent = p;
    parent.parts.pop_back();
    PutFolder(parent.Display());
    Node& node = M().nodes[p.Key()];
    node = Node();
    node.name = p.Name();
    node.created = node.accessed = node.written = Now();
    node.security = NewSecurity(p, false);
    return &node;
}

}  // namespace

void PutFile(const Wide& path, const std::string& bytes, plat::FileTime lastWriteUtc) {
    Node* node = NewNodeAt(path);
    if (!node) return;
    node->attributes = plat::kFileAttributeArchive;
    node->bytes = bytes;
    if (lastWriteUtc) node->written = lastWriteUtc;  // 0: written now
}

void PutLink(const Wide& path, const Wide& target, bool toFolder) {
    Node* node = NewNodeAt(path);
    if (!node) return;
    node->link = target;
    node->folder = toFolder;
    node->attributes = plat::kFileAttributeReparsePoint;
}

void SetLinksAsUnderWine(bool asWine) { M().linksAsWine = asWine; }

namespace {

const Node* NodeAt(const Wide& path) {
    Path p = ParsePath(path);
    if (!p.valid || p.volume || !M().drives.count(p.drive)) return nullptr;
    return FindNode(p.Key());
}

}  // namespace

bool FileExistsAt(const Wide& path) {
    const Node* node = NodeAt(path);
    return node && !node->folder;
}

bool FolderExistsAt(const Wide& path) {
    const Node* node = NodeAt(path);
    return node && node->folder;
}

std::string FileBytes(const Wide& path) {
    const Node* node = NodeAt(path);
    return node && !node->folder ? node->bytes : std::string();
}

plat::FileTime FileWriteTime(const Wide& path) {
    const Node* node = NodeAt(path);
    return node ? node->written : 0;
}

bool FlushedAt(const Wide& path) {
    const Node* node = NodeAt(path);
    return node && node->flushed;
}

uint32_t MovedInWith(const Wide& path) {
    const Node* node = NodeAt(path);
    return node ? node->movedInWith : 0;
}

void SetAttributes(const Wide& path, uint32_t attributes) {
    Path p = ParsePath(path);
    if (Node* node = p.valid && !p.volume ? FindNode(p.Key()) : nullptr) {
        node->attributes = (attributes & ~plat::kFileAttributeNormal) |
                           (node->folder ? plat::kFileAttributeDirectory : 0);
    }
}

std::vector<Wide> ListTree(const Wide& folder) {
    std::vector<Wide> result;
    Path p = ParsePath(folder);
    if (!p.valid || p.volume) return result;
    Wide prefix = p.Key() + u"\\";
    const auto& nodes = M().nodes;
    for (auto it = nodes.lower_bound(prefix);
         it != nodes.end() && it->first.compare(0, prefix.size(), prefix) == 0; ++it) {
        // Rebuild the relative name from the stored names of each element.
        Wide relative;
        size_t start = prefix.size();
        while (start <= it->first.size()) {
            size_t end = it->first.find(u'\\', start);
            if (end == Wide::npos) end = it->first.size();
            if (!relative.empty()) relative += u"\\";
            relative += nodes.at(it->first.substr(0, end)).name;
            start = end + 1;
        }
        if (it->second.folder) relative += u"\\";
        result.push_back(relative);
    }
    std::sort(result.begin(), result.end());
    return result;
}

void HoldOpen(const Wide& path, bool held) {
    Wide key = ParsePath(path).Key();
    if (held) M().held.insert(key);
    else M().held.erase(key);
}

void FailWrites(const Wide& path, int count, uint32_t partialBytes) {
    Wide key = ParsePath(path).Key();
    if (count <= 0) M().writeFailures.erase(key);
    else M().writeFailures[key] = {count, partialBytes};
}

void DenyCreateFolder(const Wide& path, bool deny) {
    Wide key = ParsePath(path).Key();
    if (deny) M().deniedFolders.insert(key);
    else M().deniedFolders.erase(key);
}

int OpenHandleCount() { return static_cast<int>(M().handles.size()); }

void SetTempPath(const Wide& path) { M().tempPath = path; }

}  // namespace fake

namespace fake {

bool SwapForLink(const Wide& folder, const Wide& target) {
    Path p = ParsePath(folder);
    if (!p.valid || p.volume || p.IsRoot()) return false;
    Wide key = p.Key();
    const Node* node = FindNode(key);
    if (!node || !node->folder || DeleteBlocked(key)) return false;
    Path away = ParsePath(p.Display() + u".moved");
    Wide awayKey = away.Key();
    if (FindNode(awayKey)) return false;
    std::vector<std::pair<Wide, Node>> moved;
    Wide prefix = key + u"\\";
    for (const auto& entry : M().nodes)
        if (entry.first == key || entry.first.compare(0, prefix.size(), prefix) == 0)
            moved.emplace_back(awayKey + entry.first.substr(key.size()), entry.second);
    for (auto& entry : moved) {
        M().nodes.erase(key + entry.first.substr(awayKey.size()));
        if (entry.first == awayKey) entry.second.name = away.Name();
        M().nodes[entry.first] = entry.second;
    }
    PutLink(p.Display(), target, true);
    return true;
}

void SetHardLinkCount(const Wide& path, uint32_t links) {
    Path p = ParsePath(path);
    if (!p.valid || p.volume) return;
    if (Node* node = FindNode(p.Key())) node->hardLinks = links;
}

}  // namespace fake

namespace fake {

void SetShortName(const Wide& path, const Wide& shortName) {
    Path p = ParsePath(path);
    if (!p.valid || p.volume) return;
    if (Node* node = FindNode(p.Key())) node->shortName = Upper(shortName);
}

}  // namespace fake
