// Where a removal may act, and the form its logs' paths must have: the installation folder, the
// product's data folder, the product's shortcuts in the shell's shortcut folders, and empty
// folders above the installation folder that the installation made.
#pragma once

#include <vector>

#include "install/InstUtils.h"
#include "install/ProgramFolders.h"
#include "platform/platform.h"
#include "wizard/lang/UILang.h"

using plat::Wide;

// The data folder whose contents a removal may delete; empty when the shell names no folder it
// could lie under, so that nothing relative to the current folder is ever taken for it.
Wide DataFolderToRemove();

// A full path on a drive ("C:\...") or a share ("\\server\share\..."), without wildcards or other
// characters no file name holds, and without "." or ".." steps that could lead elsewhere. Device
// and literal paths ("\\.\", "\\?\") fail on their "." and "?", and so does a name ending in a
// dot or a blank, which Windows drops: the text would not name the file it seems to. A drive
// alone ("C:" or "C:\") is accepted only where `driveAlone` says so: the log lists drives that did
// not exist when it was written.
bool IsFullPath(const Wide& path, bool driveAlone);

// How deep the folder lies: the number of backslashes between its names.
size_t Depth(const Wide& folder);

// Where a removal may delete: the installation folder and the product's data folder with
// everything below them, the product's shortcut files in the four shortcut folders, and empty
// folders above the installation folder that the installation made (never a drive or a shell
// folder). An install log lists full paths and could list anything; what lies elsewhere is
// not touched.
class TScope {
public:
    explicit TScope(const Wide& folder) : folder_(JoinPath(folder, u"")), data_(DataFolderToRemove()) {
        for (int csidl : {plat::kCsidlPrograms, plat::kCsidlDesktopDirectory, plat::kCsidlCommonPrograms,
                          plat::kCsidlCommonDesktopDirectory}) {
            Wide shell = SpecialFolder(csidl);
            if (!shell.empty()) linkFolders_.push_back(JoinPath(shell, u""));
        }
        for (int csidl : {plat::kCsidlPrograms, plat::kCsidlPersonal, plat::kCsidlDesktopDirectory,
                          plat::kCsidlCommonPrograms, plat::kCsidlCommonDesktopDirectory,
                          plat::kCsidlCommonAppData}) {
            Wide shell = SpecialFolder(csidl);
            if (!shell.empty()) shellFolders_.push_back(JoinPath(shell, u""));
        }
        for (const Wide& programs : ProgramFilesFolders()) shellFolders_.push_back(JoinPath(programs, u""));
    }

    bool MayDeleteFile(const Wide& path) const {
        if (Inside(path, folder_) || (!data_.empty() && Inside(path, data_))) return true;
        Wide parent = ExtractFolder(path), name = path.substr(parent.size());
        bool linkFolder = false;
        for (const Wide& shell : linkFolders_) linkFolder = linkFolder || SamePath(parent, shell);
        if (!linkFolder) return false;
        for (const char* product : ProductName)
            if (SamePath(name, WideOfUtf8(std::string(product) + ".lnk"))) return true;
        return false;
    }

    // `folder` ends in a backslash.
    bool MayRemoveFolder(const Wide& folder) const {
        if (AtOrInside(folder, folder_)) return true;
        if (!data_.empty() && AtOrInside(folder, data_)) return true;
        return AboveFolder(folder);
    }

    // The folder itself, a folder below it, or one above it (which holds it).
    bool OfFolder(const Wide& path) const { return AtOrInside(path, folder_) || AboveFolder(path); }

    // The folder from which every folder down to the path must be a real one: the installation
    // folder or the data folder (the outer one where one holds the other), or for a folder above
    // the installation folder, its drive or share. Empty for a shortcut, whose folder is the
    // shell's own.
    Wide RootOf(const Wide& path) const {
        bool inFolder = AtOrInside(path, folder_);
        bool inData = !data_.empty() && AtOrInside(path, data_);
        if (inFolder && inData) return folder_.size() < data_.size() ? folder_ : data_;
        if (inFolder) return folder_;
        if (inData) return data_;
        if (!Inside(folder_, path)) return Wide();
        size_t end = path[1] == u':' ? 2 : path.find(u'\\', path.find(u'\\', 2) + 1);
        return end == Wide::npos ? Wide() : path.substr(0, end + 1);
    }

private:
    // Strictly below the folder (which ends in a backslash).
    static bool Inside(const Wide& path, const Wide& folder) {
        return path.size() > folder.size() && PathStartsWith(path, folder);
    }
    static bool AtOrInside(const Wide& path, const Wide& folder) {
        return SamePath(path, folder) || Inside(path, folder);
    }
    // Above the installation folder, and no shell folder nor one holding a shell folder.
    bool AboveFolder(const Wide& folder) const {
        if (!Inside(folder_, folder)) return false;
        for (const Wide& shell : shellFolders_)
            if (SamePath(folder, shell) || Inside(shell, folder)) return false;
        return true;
    }

    Wide folder_, data_;
    std::vector<Wide> linkFolders_, shellFolders_;
};
