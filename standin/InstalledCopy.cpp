#include "standin/InstalledCopy.h"

#include "install/InstUtils.h"
#include "install/ProgramFolders.h"
#include "install/LinkGuard.h"
#include "resources/Product.h"
#include "standin/RealPaths.h"
#include "wizard/engine/Registry.h"
#include "wizard/lang/UILang.h"

namespace {

// The folder an uninstall entry names: its install location, or for an entry written before
// that was recorded, the program it shows as its icon. Empty when it names none.
Wide EntryFolder(TRegistry& registry) {
    Wide location = registry.ReadString("InstallLocation");
    if (location.empty()) location = ExtractFolder(registry.ReadString("DisplayIcon"));
    return location.empty() ? Wide() : JoinPath(location, u"");
}

}  // namespace

bool SameFolder(const Wide& a, const Wide& b) {
    if (SamePath(JoinPath(a, u""), JoinPath(b, u""))) return true;
    Wide finalA = FinalPathOf(WithoutBackslash(a), plat::kFileFlagBackupSemantics);
    Wide finalB = FinalPathOf(WithoutBackslash(b), plat::kFileFlagBackupSemantics);
    return !finalA.empty() && SamePath(finalA, finalB);
}

TUninstallEntries ReadUninstallEntries(const Wide& folder) {
    TUninstallEntries entries;
    for (plat::HKey root : {plat::kHKeyLocalMachine, plat::kHKeyCurrentUser}) {
        TRegistry registry;
        registry.SetRootKey(root);
        if (!registry.OpenKeyReadOnly(kUninstallKey)) continue;
        Wide named = EntryFolder(registry);
        if (named.empty() || SameFolder(named, folder)) {
            entries.Own.push_back(root);
            entries.NamesThisFolder = entries.NamesThisFolder || !named.empty();
        } else if (entries.OtherFolder.empty()) {
            entries.OtherFolder = named;
        }
    }
    return entries;
}

std::vector<Wide> ProgramFilesIn(const Wide& folder) {
    return {JoinPath(folder, kProgramFileW), JoinPath(folder, kLicenseFileW)};
}

bool ShortcutPointsAt(const Wide& shortcut, const Wide& program) {
    // The link object needs COM in this thread; the removal does not hold it otherwise.
    bool initialized = plat::OleInitialize() >= 0;
    Wide target;
    {
        plat::ShellLink link;
        if (link.Created() && link.HasPersistFile() && link.Load(shortcut) == 0) target = link.GetPath();
    }
    if (initialized) plat::OleUninitialize();
    if (target.empty()) return false;
    Wide targetFolder = ExtractFolder(target), programFolder = ExtractFolder(program);
    return SamePath(target, program) ||
           (SamePath(target.substr(targetFolder.size()), program.substr(programFolder.size())) &&
            SameFolder(targetFolder, programFolder));
}

std::vector<Wide> ShortcutsTo(const Wide& program) {
    std::vector<Wide> found;
    for (int csidl : {plat::kCsidlPrograms, plat::kCsidlDesktopDirectory, plat::kCsidlCommonPrograms,
                      plat::kCsidlCommonDesktopDirectory}) {
        Wide shell = SpecialFolder(csidl);
        if (shell.empty()) continue;
        for (const char* product : ProductName) {
            Wide shortcut = JoinPath(shell, WideOfUtf8(std::string(product) + ".lnk"));
            bool listed = false;
            for (const Wide& other : found) listed = listed || SamePath(other, shortcut);
            if (!listed && FileExists(shortcut) && ShortcutPointsAt(shortcut, program))
                found.push_back(shortcut);
        }
    }
    return found;
}

bool MayDeleteAtRestart(const Wide& folder) {
    // Inside either program files folder of a 64-bit Windows: only administrators write there.
    for (const Wide& programs : ProgramFilesFolders()) {
        Wide inside = JoinPath(programs, u"");
        if (folder.size() > inside.size() && PathStartsWith(folder, inside)) return true;
    }
    return false;
}
