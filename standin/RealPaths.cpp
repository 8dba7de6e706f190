#include "standin/RealPaths.h"

#include <iterator>

#include "install/InstUtils.h"
#include "install/LinkGuard.h"
#include "platform/Handles.h"

namespace {

TPathState MissingOrUnknown() {
    uint32_t error = plat::GetLastError();
    return error == plat::kErrorFileNotFound || error == plat::kErrorPathNotFound
               ? TPathState::Missing
               : TPathState::Unknown;
}

}  // namespace

bool IsRootFolder(const Wide& folder) {
    Wide bare = WithoutBackslash(folder);
    if (bare.size() == 2 && bare[1] == u':') return true;
    if (bare.size() > 2 && bare[0] == u'\\' && bare[1] == u'\\') {
        size_t server = bare.find(u'\\', 2);
        return server == Wide::npos || bare.find(u'\\', server + 1) == Wide::npos;
    }
    return false;
}

TPathState TRealPaths::File(const Wide& root, const Wide& path) {
    TPathState above = Folder(root, ExtractFolder(path));
    return above == TPathState::Real ? FileItself(path) : above;
}

TPathState TRealPaths::FileAlone(const Wide& path) { return FileItself(path); }

TPathState TRealPaths::Folder(const Wide& root, const Wide& folder) {
    if (!PathStartsWith(folder, root)) return TPathState::Unknown;
    // The root, then each folder below it down to `folder`.
    for (size_t end = root.size() - 1; end < folder.size(); end = folder.find(u'\\', end + 1)) {
        if (end == Wide::npos) break;
        Wide step = folder.substr(0, end + 1);
        if (IsRootFolder(step)) continue;
        TPathState state = FolderItself(step);
        if (state != TPathState::Real) return state;
    }
    return TPathState::Real;
}

void TRealPaths::Forget(const Wide& folder) {
    for (auto it = folders_.begin(); it != folders_.end();)
        it = PathStartsWith(it->first, folder) ? folders_.erase(it) : std::next(it);
    for (auto it = finalPaths_.begin(); it != finalPaths_.end();)
        it = PathStartsWith(it->first, folder) ? finalPaths_.erase(it) : std::next(it);
}

TPathState TRealPaths::FolderItself(const Wide& folder) {
    auto known = folders_.find(folder);
    if (known != folders_.end()) return known->second;
    TPathState state;
    uint32_t attributes = plat::GetFileAttributesW(WithoutBackslash(folder));
    if (attributes == plat::kInvalidFileAttributes)
        state = MissingOrUnknown();
    else if (attributes & plat::kFileAttributeReparsePoint)
        state = TPathState::Link;
    else if (!(attributes & plat::kFileAttributeDirectory))
        state = TPathState::Missing;  // a file: nothing can lie below it
    else
        state = TPathState::Real;
    folders_[folder] = state;
    return state;
}

Wide TRealPaths::FinalPathOfFolder(const Wide& folder) {
    auto known = finalPaths_.find(folder);
    if (known != finalPaths_.end()) return known->second;
    Wide final = FinalPathOf(IsRootFolder(folder) ? folder : WithoutBackslash(folder),
                             plat::kFileFlagBackupSemantics);
    finalPaths_[folder] = final;
    return final;
}

TPathState TRealPaths::FileItself(const Wide& path) {
    uint32_t attributes = plat::GetFileAttributesW(path);
    if (attributes == plat::kInvalidFileAttributes) return MissingOrUnknown();
    if (attributes & plat::kFileAttributeReparsePoint) return TPathState::Link;
    if (attributes & plat::kFileAttributeDirectory) return TPathState::NotAFile;
    Wide final = FinalPathOf(path, plat::kFileFlagOpenReparsePoint);
    if (final.empty()) return TPathState::Unknown;
    return IsFinalPathOfFile(final, path, FinalPathOfFolder(ExtractFolder(path))) ? TPathState::Real
                                                                                  : TPathState::Link;
}
