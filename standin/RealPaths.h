// Whether what the removal is about to delete is what its log names. The removal runs elevated or
// as SYSTEM in folders that ordinary users can change (the shared data folder, an installation
// folder a user may write to), where a junction or symbolic link would turn a deletion into one
// somewhere else. So a path counts only when every folder from its root (the installation folder
// or the data folder) down to it is a real folder, and a file only when the file is itself: not a
// link, and opened, its final path is its folder's final path and its own name. A link found on
// the way is never followed and never deleted (under Wine every deletion of a link deletes its
// target).
#pragma once

#include <map>

#include "platform/platform.h"

using plat::Wide;

enum class TPathState {
    Missing,   // nothing there, or a folder on the way is missing
    NotAFile,  // a real folder stands where a file was listed
    Real,      // the file or folder itself, with no link from its root down to it
    Link,      // a link, or behind one
    Unknown,   // it could not be examined
};

// "C:", "C:\" or a share's root ("\\server\share").
bool IsRootFolder(const Wide& folder);

// One removal's examinations; each folder is queried once per run.
class TRealPaths {
public:
    // A file below `root` (a folder ending in "\").
    TPathState File(const Wide& root, const Wide& path);
    // A file in a folder the removal does not own (a shortcut folder): the file alone.
    TPathState FileAlone(const Wide& path);
    // A folder (ending in "\") at or below `root`; a drive's or share's root in between is taken
    // as it is.
    TPathState Folder(const Wide& root, const Wide& folder);

    // The folder (ending in "\") was removed: it and what lay below it are examined afresh.
    void Forget(const Wide& folder);

private:
    TPathState FolderItself(const Wide& folder);
    TPathState FileItself(const Wide& path);
    Wide FinalPathOfFolder(const Wide& folder);

    std::map<Wide, TPathState> folders_;
    std::map<Wide, Wide> finalPaths_;
};
