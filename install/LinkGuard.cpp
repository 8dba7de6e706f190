#include "install/LinkGuard.h"

#include <map>
#include <set>
#include <vector>

#include "install/CheckedObject.h"
#include "install/FolderOwners.h"
#include "install/InstUtils.h"
#include "platform/Handles.h"

namespace {

struct TGuardedRoot {
    plat::Wide folder;
    TFolderOwners owners;
};

std::vector<TGuardedRoot>& Roots() {
    static std::vector<TGuardedRoot> roots;
    return roots;
}

struct THeldFolder {
    TCheckedObject object;
    bool administrations = false;  // its owner was found, or made, the administration
    bool wasThere = false;  // it existed when the run first looked for it
    // Patterns its entries were listed with in this run, and whether any entry matched.
    std::vector<std::pair<plat::Wide, bool>> listed;
};

// Folders (upper-cased, with their backslash) found to be real ones in this run, each held open
// from its check on without sharing its deletion, so that nobody can rename it or put a link in
// its place while the run writes below it.
std::map<plat::Wide, THeldFolder>& Checked() {
    static std::map<plat::Wide, THeldFolder> folders;
    return folders;
}

// Folders (keys as above) that did not exist when the run first looked for them: it made them, or
// someone else did meanwhile.
std::set<plat::Wide>& FoundMissing() {
    static std::set<plat::Wide> folders;
    return folders;
}

// The folder (as the last path named it) whose whole way was found held: the files of one
// folder come one after another, and their way, held since, needs no second walk. Forgotten with
// the holds, and when a root is added (it may ask more of the folders on the way).
plat::Wide& LastWayHeld() {
    static plat::Wide folder;
    return folder;
}

// The first folder that the latest walk found missing (with its backslash), or empty.
plat::Wide& LastWalkMissing() {
    static plat::Wide folder;
    return folder;
}

bool IsDriveRoot(const plat::Wide& folder) { return folder.size() == 3 && folder[1] == u':'; }

// Takes over the folder (with its backslash) through a handle that may only read its
// attributes, checked as RealFolder checks: no link, reached as itself.
bool TakeOverShutOut(const plat::Wide& folder, const plat::Wide& parentFinal) {
    TCheckedObject seen;
    return OpenChecked(WithoutBackslash(folder), parentFinal, true, &seen, TCheckedFor::Examining) ==
               TPathState::Real &&
           plat::SetSecurityInfo(seen.Handle.Get(), SharedFolderSecurity());
}

// The folder (with its backslash) checked against the final path of the one holding it (empty
// for the first of the way) and held; *final gets its final path. A folder that does not exist
// yet passes with an empty *final: it will be made a real one, and is checked once it is.
// Below a root of the administrators, a folder that someone else owns is taken over, on the
// handle that holds it, before anything is made or written below it; one that cannot be taken
// over does not pass.
bool RealFolder(const plat::Wide& folder, const plat::Wide& parentFinal, TFolderOwners owners,
                plat::Wide* final) {
    plat::Wide key = PathKey(folder);
    auto known = Checked().find(key);
    if (known == Checked().end()) {
        THeldFolder held;
        TPathState state = OpenChecked(WithoutBackslash(folder), parentFinal, true, &held.object,
                                       TCheckedFor::Holding);
        // A folder whose list shuts the administrators out cannot even be held: taken over
        // first (on a handle checked as any other), it can.
        if (state == TPathState::Unknown && owners == TFolderOwners::Administrators &&
            plat::GetLastError() == plat::kErrorAccessDenied &&
            TakeOverShutOut(folder, parentFinal))
            state = OpenChecked(WithoutBackslash(folder), parentFinal, true, &held.object,
                                TCheckedFor::Holding);
        final->clear();
        if (state == TPathState::Missing) {
            FoundMissing().insert(key);
            return true;
        }
        if (state != TPathState::Real) return false;
        held.wasThere = FoundMissing().count(key) == 0;
        known = Checked().emplace(key, std::move(held)).first;
    }
    THeldFolder& held = known->second;
    if (owners == TFolderOwners::Administrators && !held.administrations) {
        if (!TakeOverUnlessOwned(held.object.Handle.Get())) return false;
        held.administrations = true;
    }
    *final = held.object.Final;
    return true;
}

}  // namespace

void GuardFolder(const plat::Wide& root, TFolderOwners owners) {
    plat::Wide folder = root;
    AppendBackslash(folder);
    for (TGuardedRoot& known : Roots())
        if (SamePath(known.folder, folder)) {
            if (owners == TFolderOwners::Administrators) known.owners = owners;
            LastWayHeld().clear();
            return;
        }
    Roots().push_back({folder, owners});
    LastWayHeld().clear();
}

void ForgetGuardedFolders() {
    Roots().clear();
    ForgetCheckedFolders();
}

void ForgetCheckedFolders() {
    LastWayHeld().clear();
    LastWalkMissing().clear();
    Checked().clear();
    FoundMissing().clear();
}

namespace {

// The guarded root that the path lies in (the root itself included), or nullptr.
const TGuardedRoot* RootOf(const plat::Wide& path, const TGuardedRoot* after = nullptr) {
    bool past = after == nullptr;
    for (const TGuardedRoot& root : Roots()) {
        if (!past) {
            past = &root == after;
            continue;
        }
        plat::Wide bare = WithoutBackslash(root.folder);
        if (PathStartsWith(path, bare) && (path.size() == bare.size() || path[bare.size()] == u'\\'))
            return &root;
    }
    return nullptr;
}

}  // namespace

bool NoLinkOnTheWay(const plat::Wide& path) {
    plat::Wide pathFolder = ExtractFolder(path);
    LastWalkMissing().clear();
    if (!LastWayHeld().empty() && pathFolder == LastWayHeld()) return true;
    bool wholeWayHeld = true;
    for (const TGuardedRoot* guarded = RootOf(path); guarded; guarded = RootOf(path, guarded)) {
        const plat::Wide& root = guarded->folder;
        // The guarded folder itself, then every folder below it on the way to the path's folder,
        // each against the final path of the one above it.
        plat::Wide folder = pathFolder;
        if (folder.size() < root.size()) {  // the guarded folder itself, named without its backslash
            folder = root;
            wholeWayHeld = false;  // its walk is not that of the files beside it
        }
        plat::Wide parentFinal;
        for (size_t end = root.size() - 1; end != plat::Wide::npos && end < folder.size();
             end = folder.find(u'\\', end + 1)) {
            plat::Wide step = folder.substr(0, end + 1);
            if (IsDriveRoot(step)) continue;
            if (!RealFolder(step, parentFinal, guarded->owners, &parentFinal)) return false;
            if (parentFinal.empty()) {  // missing: nothing below it exists either
                wholeWayHeld = false;
                if (LastWalkMissing().empty()) LastWalkMissing() = step;
                break;
            }
        }
    }
    if (wholeWayHeld) LastWayHeld() = pathFolder;
    return true;
}

namespace {

// The folder's hold in this run, or nullptr.
THeldFolder* Held(const plat::Wide& folder) {
    plat::Wide withBackslash = folder;
    AppendBackslash(withBackslash);
    auto known = Checked().find(PathKey(withBackslash));
    return known == Checked().end() ? nullptr : &known->second;
}

}  // namespace

plat::Handle HeldFolder(const plat::Wide& folder) {
    const THeldFolder* held = Held(folder);
    return held ? held->object.Handle.Get() : plat::kInvalidHandle;
}

plat::Wide HeldFolderFinal(const plat::Wide& folder) {
    const THeldFolder* held = Held(folder);
    return held ? held->object.Final : plat::Wide();
}

bool MissingAtTheLastWalk(const plat::Wide& folder) {
    const plat::Wide& missing = LastWalkMissing();
    if (missing.empty()) return false;
    plat::Wide withBackslash = folder;
    AppendBackslash(withBackslash);
    return PathStartsWith(withBackslash, missing);
}

bool HeldFolderWasThere(const plat::Wide& folder) {
    const THeldFolder* held = Held(folder);
    return held && held->wasThere;
}

bool HeldFolderMayHold(const plat::Wide& folder, const plat::Wide& pattern) {
    THeldFolder* held = Held(folder);
    if (!held) return true;
    for (const auto& listed : held->listed)
        if (listed.first == pattern) return listed.second;
    // Listed through the held folder's path: nobody can rename it, or a folder above it, while
    // the run holds them.
    plat::FindData found;
    plat::Handle search = plat::FindFirstFileW(JoinPath(WithoutBackslash(folder), pattern), &found);
    bool any = search != plat::kInvalidHandle || plat::GetLastError() != plat::kErrorFileNotFound;
    if (search != plat::kInvalidHandle) plat::FindClose(search);
    held->listed.emplace_back(pattern, any);
    return any;
}

bool OwnedByTheAdministrators(const plat::Wide& path) {
    for (const TGuardedRoot* guarded = RootOf(path); guarded; guarded = RootOf(path, guarded))
        if (guarded->owners == TFolderOwners::Administrators) return true;
    return false;
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
