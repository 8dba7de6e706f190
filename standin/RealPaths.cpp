#include "standin/RealPaths.h"

#include <iterator>

#include "install/InstUtils.h"
#include "install/LinkGuard.h"

bool IsRootFolder(const Wide& folder) {
    Wide bare = WithoutBackslash(folder);
    if (bare.size() == 2 && bare[1] == u':') return true;
    if (bare.size() > 2 && bare[0] == u'\\' && bare[1] == u'\\') {
        size_t server = bare.find(u'\\', 2);
        return server == Wide::npos || bare.find(u'\\', server + 1) == Wide::npos;
    }
    return false;
}

TPathState TRealPaths::File(const Wide& root, const Wide& path, TCheckedObject* file) {
    Wide folder = ExtractFolder(path);
    TPathState above = Folder(root, folder);
    if (above != TPathState::Real) return above;
    auto held = folders_.find(folder);
    Wide parentFinal = held != folders_.end() ? held->second.Object.Final : Wide();
    return OpenChecked(path, parentFinal, false, file);
}

TPathState TRealPaths::FileAlone(const Wide& path, TCheckedObject* file) {
    Wide folder = ExtractFolder(path);
    Wide folderFinal = FinalPathOf(IsRootFolder(folder) ? folder : WithoutBackslash(folder),
                                   plat::kFileFlagBackupSemantics);
    if (folderFinal.empty()) return TPathState::Unknown;
    return OpenChecked(path, folderFinal, false, file);
}

TPathState TRealPaths::Folder(const Wide& root, const Wide& folder) {
    if (!PathStartsWith(folder, root)) return TPathState::Unknown;
    // The root, then each folder below it down to `folder`, each checked against the one above.
    Wide parentFinal;
    for (size_t end = root.size() - 1; end < folder.size(); end = folder.find(u'\\', end + 1)) {
        if (end == Wide::npos) break;
        Wide step = folder.substr(0, end + 1);
        if (IsRootFolder(step)) continue;
        TPathState state = FolderItself(step, parentFinal);
        if (state != TPathState::Real) return state;
        parentFinal = folders_[step].Object.Final;
    }
    return TPathState::Real;
}

bool TRealPaths::RemoveFolder(const Wide& folder) {
    auto held = folders_.find(folder);
    if (held == folders_.end() || held->second.State != TPathState::Real) return false;
    // The folder is held for listing, which a handle that may delete it would stop: it is let go,
    // with what lay below it, then opened again to be deleted and checked anew on that handle,
    // against the folder above it, which stays held.
    Forget(folder);
    Wide parent = ExtractFolder(WithoutBackslash(folder));
    auto above = folders_.find(parent);
    Wide parentFinal = above != folders_.end() ? above->second.Object.Final : Wide();
    TCheckedObject doomed;
    return OpenChecked(WithoutBackslash(folder), parentFinal, true, &doomed) == TPathState::Real &&
           DeleteChecked(doomed);
}

void TRealPaths::Forget(const Wide& folder) {
    for (auto it = folders_.begin(); it != folders_.end();)
        it = PathStartsWith(it->first, folder) ? folders_.erase(it) : std::next(it);
}

TPathState TRealPaths::FolderItself(const Wide& folder, const Wide& parentFinal) {
    auto known = folders_.find(folder);
    if (known != folders_.end()) return known->second.State;
    THeld held;
    held.State =
        OpenChecked(WithoutBackslash(folder), parentFinal, true, &held.Object, TCheckedFor::Holding);
    TPathState state = held.State;
    // A folder that is missing now may be made later; it is asked again then.
    if (state != TPathState::Missing) folders_[folder] = std::move(held);
    return state;
}
