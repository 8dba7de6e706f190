#include "install/LinkGuard.h"

#include <unordered_set>
#include <vector>

#include "install/InstUtils.h"
#include "platform/Handles.h"

namespace {

std::vector<plat::Wide>& Roots() {
    static std::vector<plat::Wide> roots;
    return roots;
}

// Upper-cased folders (with their backslash) found to be real folders in this run.
std::unordered_set<plat::Wide>& Checked() {
    static std::unordered_set<plat::Wide> folders;
    return folders;
}

plat::Wide Key(const plat::Wide& folder) {
    return plat::LCMapStringW(plat::kLocaleUserDefault, plat::kLcmapUppercase, folder);
}

bool RealFolder(const plat::Wide& folder) {
    plat::Wide key = Key(folder);
    if (Checked().count(key)) return true;
    uint32_t attributes = plat::GetFileAttributesW(WithoutBackslash(folder));
    if (attributes != plat::kInvalidFileAttributes &&
        (attributes & plat::kFileAttributeReparsePoint))
        return false;
    // Only folders that exist are remembered: a missing one is asked again once it is made.
    if (attributes != plat::kInvalidFileAttributes) Checked().insert(key);
    return true;
}

}  // namespace

void GuardFolder(const plat::Wide& root) {
    plat::Wide folder = root;
    AppendBackslash(folder);
    for (const plat::Wide& known : Roots())
        if (SamePath(known, folder)) return;
    Roots().push_back(folder);
}

void ForgetGuardedFolders() {
    Roots().clear();
    ForgetCheckedFolders();
}

void ForgetCheckedFolders() { Checked().clear(); }

bool NoLinkOnTheWay(const plat::Wide& path) {
    for (const plat::Wide& root : Roots()) {
        plat::Wide bare = WithoutBackslash(root);
        if (!PathStartsWith(path, bare) ||
            (path.size() > bare.size() && path[bare.size()] != u'\\'))
            continue;
        // The guarded folder itself, then every folder below it on the way to the path's folder.
        if (!RealFolder(root)) return false;
        plat::Wide folder = ExtractFolder(path);
        for (size_t next = root.size(); next < folder.size();) {
            size_t end = folder.find(u'\\', next);
            if (end == plat::Wide::npos) break;
            if (!RealFolder(folder.substr(0, end + 1))) return false;
            next = end + 1;
        }
    }
    return true;
}

plat::Wide FinalPathOf(const plat::Wide& path, uint32_t flags) {
    plat::TFileHandle opened(plat::CreateFileW(
        path, 0, plat::kFileShareRead | plat::kFileShareWrite | plat::kFileShareDelete,
        plat::kOpenExisting, flags));
    return opened.Valid() ? plat::GetFinalPathNameByHandleW(opened.Get()) : plat::Wide();
}

bool IsFinalPathOfFile(const plat::Wide& final, const plat::Wide& path,
                       const plat::Wide& folderFinal) {
    plat::Wide folder = ExtractFolder(path);
    plat::Wide expected = folderFinal.empty() ? path : JoinPath(folderFinal, path.substr(folder.size()));
    return !final.empty() && SamePath(final, expected);
}

bool IsPlainFileAt(const plat::Wide& path) {
    uint32_t attributes = plat::GetFileAttributesW(path);
    if (attributes == plat::kInvalidFileAttributes ||
        (attributes & (plat::kFileAttributeDirectory | plat::kFileAttributeReparsePoint)))
        return false;
    plat::Wide folder = ExtractFolder(path);
    return IsFinalPathOfFile(FinalPathOf(path, plat::kFileFlagOpenReparsePoint), path,
                             FinalPathOf(WithoutBackslash(folder), plat::kFileFlagBackupSemantics));
}
