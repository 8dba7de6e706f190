// The removal of what the install log lists.
#include <algorithm>

#include "install/DataFolder.h"
#include "standin/InstalledCopy.h"
#include "standin/Removal.h"
#include "standin/RemovalScope.h"

// The files that the install log lists (all but `keep`), the log once none of them remains, and
// the listed folders and the installation folder when empty, deepest first. With
// `otherCopyProgram` (the removal of a copy that the uninstall entry does not name), only what
// belongs to this copy: its folder, the folders above it, and shortcuts to that program.
void RemoveLogged(const Wide& folder, const TInstallRecord& record, const Wide& keep,
                  TRemoval& removal, const Wide& otherCopyProgram) {
    TScope scope(folder);
    bool otherCopy = !otherCopyProgram.empty();
    size_t before = removal.Left.size() + removal.Linked.size();
    bool kept = false;
    for (const Wide& file : record.Files) {
        if (!scope.MayDeleteFile(file)) {
            // Not the removal's to touch (a shortcut whose folder moved, a line someone added): it
            // stays, named, and the removal does not say it removed everything.
            removal.Left.push_back(file);
            continue;
        }
        if (!keep.empty() && SamePath(file, keep)) {
            kept = FileExists(file);
            continue;
        }
        Wide root = scope.RootOf(file);
        if (otherCopy && !scope.OfFolder(file) &&
            !(root.empty() && FileExists(file) && ShortcutPointsAt(file, otherCopyProgram)))
            continue;
        removal.DeleteFile(root, file);
    }
    Wide log = JoinPath(folder, kInstallLogName);
    if (!kept && removal.Left.size() + removal.Linked.size() == before)
        removal.DeleteFile(scope.RootOf(log), log);

    std::vector<Wide> folders = record.Folders;
    folders.push_back(JoinPath(folder, u""));
    std::stable_sort(folders.begin(), folders.end(),
                     [](const Wide& a, const Wide& b) { return Depth(a) > Depth(b); });
    for (const Wide& listed : folders) {
        Wide bare = JoinPath(listed, u"");
        if (!scope.MayRemoveFolder(bare) || (otherCopy && !scope.OfFolder(bare))) continue;
        removal.RemoveFolderIfEmpty(scope.RootOf(bare), listed);
    }
}
