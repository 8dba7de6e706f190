#include "standin/RemovalScope.h"

#include <algorithm>

#include "install/DataFolder.h"
#include "install/InstUtils.h"

namespace {

bool IsLetter(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }

}  // namespace

// The data folder whose contents a removal may delete; empty when the shell names no folder it
// could lie under, so that nothing relative to the current folder is ever taken for it.
Wide DataFolderToRemove() {
    if (SharedDataRoot().empty()) return Wide();
    return SharedDataFolder();
}

// A full path on a drive ("C:\...") or a share ("\\server\share\..."), without wildcards or other
// characters no file name holds, and without "." or ".." steps that could lead elsewhere. Device
// and literal paths ("\\.\", "\\?\") fail on their "." and "?", and so does a name ending in a
// dot or a blank, which Windows drops: the text would not name the file it seems to. A drive
// alone ("C:" or "C:\") is accepted only where `driveAlone` says so: the log lists drives that did
// not exist when it was written.
bool IsFullPath(const Wide& path, bool driveAlone) {
    size_t start;
    if (path.size() >= 2 && IsLetter(path[0]) && path[1] == u':') {
        if (path.size() == 2) return driveAlone;
        if (path[2] != u'\\') return false;
        if (path.size() == 3) return driveAlone;
        start = 3;
    } else if (path.size() > 2 && path[0] == u'\\' && path[1] == u'\\') {
        start = 2;
    } else {
        return false;
    }
    size_t step = start;
    for (size_t i = start; i <= path.size(); ++i) {
        if (i < path.size()) {
            char16_t c = path[i];
            if (c < 32 || Wide(u"*?\"<>|:/").find(c) != Wide::npos) return false;
            if (c != u'\\') continue;
        }
        Wide name = path.substr(step, i - step);
        if (name == u"." || name == u"..") return false;
        if (!name.empty() && (name.back() == u'.' || name.back() == u' ')) return false;
        step = i + 1;
    }
    return true;
}

size_t Depth(const Wide& folder) {
    Wide bare = WithoutBackslash(folder);
    return static_cast<size_t>(std::count(bare.begin(), bare.end(), u'\\'));
}
