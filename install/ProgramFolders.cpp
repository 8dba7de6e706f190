#include "install/ProgramFolders.h"

#include "install/InstUtils.h"

std::vector<Wide> ProgramFilesFolders() {
    // For a 32-bit program the native folder has no CSIDL of its own: WOW64 gives it in the
    // environment.
    std::vector<Wide> found = {SpecialFolder(plat::kCsidlProgramFiles),
                               SpecialFolder(plat::kCsidlProgramFilesX86),
                               plat::GetEnvironmentVariableW(u"ProgramW6432")};
    std::vector<Wide> folders;
    for (Wide folder : found) {
        while (folder.size() > 3 && folder.back() == u'\\') folder.pop_back();
        if (folder.empty()) continue;
        bool known = false;
        for (const Wide& other : folders) known = known || SamePath(folder, other);
        if (!known) folders.push_back(folder);
    }
    return folders;
}

bool InProgramFiles(const Wide& path) {
    for (const Wide& folder : ProgramFilesFolders())
        if (SamePath(path, folder) || PathStartsWith(path, JoinPath(folder, u""))) return true;
    return false;
}
