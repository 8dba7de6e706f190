// The removal's work and what it had to leave: files checked and deleted through one handle each,
// the leftovers beside them, the folders an installation made once empty, registry keys.
#pragma once

#include <string>
#include <vector>

#include "install/CheckedObject.h"
#include "install/InstUtils.h"
#include "install/SafeWrite.h"
#include "platform/Handles.h"
#include "standin/Uninstall.h"
#include "standin/RealPaths.h"

inline void AddOnce(std::vector<Wide>& items, const Wide& item) {
    for (const Wide& known : items)
        if (SamePath(known, item)) return;
    items.push_back(item);
}

// Names in a folder, without "." and "..".
inline std::vector<plat::FindData> FolderEntries(const Wide& folder) {
    std::vector<plat::FindData> entries;
    plat::FindData found;
    plat::TSearchHandle search(plat::FindFirstFileW(JoinPath(folder, u"*"), &found));
    if (!search.Valid()) return entries;
    do {
        if (found.name != u"." && found.name != u"..") entries.push_back(found);
    } while (plat::FindNextFileW(search.Get(), &found));
    return entries;
}

// The removal's work and what it had to leave.
class TRemoval {
public:
    std::vector<Wide> Left;    // could not be removed
    std::vector<Wide> Linked;  // links, or behind one: neither followed nor deleted
    std::vector<Wide> Kept;    // shared files the user changed after the installation
    TRealPaths Paths;

    // Whether a listed file is there to be deleted: the file itself, with no link from its root
    // down to it (an empty root: a shortcut, whose file alone is examined); Real leaves it open
    // in `*file`. One that is gone already counts as removed; a link is named in Linked, a file
    // that cannot be examined in Left.
    bool Deletable(const Wide& root, const Wide& path, TCheckedObject* file) {
        TPathState state = root.empty() ? Paths.FileAlone(path, file) : Paths.File(root, path, file);
        if (state == TPathState::Link) AddOnce(Linked, path);
        if (state == TPathState::Unknown) Left.push_back(path);
        return state == TPathState::Real;  // a folder is not what was listed
    }

    // A file that Deletable accepted, through the handle it checked.
    void DeleteExamined(TCheckedObject& file, const Wide& path) {
        if (!DeleteChecked(file)) Left.push_back(path);
    }

    void DeleteFile(const Wide& root, const Wide& path) {
        TCheckedObject file;
        if (Deletable(root, path, &file)) DeleteExamined(file, path);
        if (!root.empty()) RemoveLeftovers(root, path);
    }

    // What an installation killed while it replaced the file left beside it ("<name>.~<n>"):
    // plain files reached without a link, each checked and deleted as the file itself.
    void RemoveLeftovers(const Wide& root, const Wide& path) {
        Wide folder = ExtractFolder(path);
        if (Paths.Folder(root, folder) != TPathState::Real) return;
        Wide name = path.substr(folder.size());
        for (const plat::FindData& entry : FolderEntries(WithoutBackslash(folder))) {
            Wide original;
            if (!IsTemporaryName(entry.name, &original) || !SamePath(original, name)) continue;
            Wide leftover = folder + entry.name;
            TCheckedObject file;
            TPathState state = Paths.File(root, leftover, &file);
            // Folders and links there are someone else's.
            if (state == TPathState::Unknown || (state == TPathState::Real && !DeleteChecked(file)))
                Left.push_back(leftover);
        }
    }

    // A folder that an installation made: removed only when it is a real folder, reached through
    // real folders from `root`, with nothing left in it.
    void RemoveFolderIfEmpty(const Wide& root, const Wide& folder) {
        if (IsRootFolder(folder) || root.empty()) return;
        Wide listed = JoinPath(folder, u"");
        TPathState state = Paths.Folder(root, listed);
        if (state == TPathState::Link) AddOnce(Linked, listed);
        if (state != TPathState::Real) return;
        if (!FolderEntries(WithoutBackslash(folder)).empty()) return;  // the user's files, and so their folder, stay
        if (!Paths.RemoveFolder(listed)) Left.push_back(listed);
    }

    void DeleteKey(plat::HKey root, const std::string& key) {
        int32_t status = plat::RegDeleteKeyA(root, key);
        if (status == 0 || status == static_cast<int32_t>(plat::kErrorFileNotFound)) return;
        const char* rootName =
            root == plat::kHKeyLocalMachine ? "HKEY_LOCAL_MACHINE\\" : "HKEY_CURRENT_USER\\";
        Left.push_back(WideOfUtf8(rootName + key));
    }

    bool Complete() const { return Left.empty() && Linked.empty(); }
};

// The shared templates and clip library items that "Update.log" lists, the small data files and
// the log itself, and the folders the installation made for them once empty.
void RemoveSharedData(TRemoval& removal);

// The files that the install log lists (all but `keep`), the log, and the folders it made.
void RemoveLogged(const Wide& folder, const TInstallRecord& record, const Wide& keep,
                  TRemoval& removal, const Wide& otherCopyProgram = Wide());
