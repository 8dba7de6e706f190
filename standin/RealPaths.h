// Whether what the removal is about to delete is what its log names. The removal runs elevated or
// as SYSTEM in folders that ordinary users can change (the shared data folder, an installation
// folder a user may write to), where a junction or symbolic link would turn a deletion into one
// somewhere else. So a path counts only when every folder from its root (the installation folder
// or the data folder) down to it is a real folder, and a file only when the file is itself: not a
// link, and its final path is its folder's final path and its own name. Each folder on the way is
// opened once, checked on its handle and held without sharing its deletion until the removal is
// done with it, so that nobody can rename it or put a link in its place meanwhile; a file is
// checked and deleted through one handle. A link found on the way is never followed and never
// deleted (under Wine every deletion of a link deletes its target).
#pragma once

#include <map>

#include "install/CheckedObject.h"
#include "platform/platform.h"

using plat::Wide;

// "C:", "C:\" or a share's root ("\\server\share").
bool IsRootFolder(const Wide& folder);

// One removal's examinations; each folder is opened once per run and held while it is known.
class TRealPaths {
public:
    // A file below `root` (a folder ending in "\"); Real leaves it open in `*file`.
    TPathState File(const Wide& root, const Wide& path, TCheckedObject* file);
    // A file in a folder the removal does not own (a shortcut folder): the file alone.
    TPathState FileAlone(const Wide& path, TCheckedObject* file);
    // A folder (ending in "\") at or below `root`; a drive's or share's root in between is taken
    // as it is. Real leaves it and every folder on the way held.
    TPathState Folder(const Wide& root, const Wide& folder);
    // Deletes a folder that Folder found Real and that is empty, through its held handle.
    bool RemoveFolder(const Wide& folder);

    // The folder (ending in "\") was removed, or is done with: it and what lay below it are let
    // go and examined afresh.
    void Forget(const Wide& folder);

private:
    struct THeld {
        TPathState State = TPathState::Unknown;
        TCheckedObject Object;
    };
    TPathState FolderItself(const Wide& folder, const Wide& parentFinal);

    std::map<Wide, THeld> folders_;
};
