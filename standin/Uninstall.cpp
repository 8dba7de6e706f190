#include "standin/Uninstall.h"

#include <algorithm>

#include "install/DataFolder.h"
#include "install/InstUtils.h"
#include "install/InstallLog.h"
#include "platform/Handles.h"
#include "standin/Elevation.h"
#include "wizard/engine/AppRunning.h"
#include "wizard/engine/Registry.h"
#include "wizard/lang/UILang.h"

namespace {

// The data folder whose contents a removal may delete; empty when the shell names no folder it
// could lie under, so that nothing relative to the current folder is ever taken for it.
Wide DataFolderToRemove() {
    if (SharedDataRoot().empty()) return Wide();
    return SharedDataFolder();
}

constexpr char kFileCopy[] = "File Copy: ";
constexpr char kMadeDir[] = "Made Dir: ";
constexpr uint32_t kFileAttributeReparsePoint = 0x400;

bool StartsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

bool IsLetter(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }

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

// "C:", "C:\" or a share's root: never removed.
bool IsRoot(const Wide& folder) {
    Wide bare = WithoutBackslash(folder);
    if (bare.size() == 2 && bare[1] == u':') return true;
    if (bare.size() > 2 && bare[0] == u'\\' && bare[1] == u'\\') {
        size_t server = bare.find(u'\\', 2);
        return server == Wide::npos || bare.find(u'\\', server + 1) == Wide::npos;
    }
    return false;
}

size_t Depth(const Wide& folder) {
    Wide bare = WithoutBackslash(folder);
    return static_cast<size_t>(std::count(bare.begin(), bare.end(), u'\\'));
}

// Names in a folder, without "." and "..".
std::vector<plat::FindData> FolderEntries(const Wide& folder) {
    std::vector<plat::FindData> entries;
    plat::FindData found;
    plat::TSearchHandle search(plat::FindFirstFileW(JoinPath(folder, u"*"), &found));
    if (!search.Valid()) return entries;
    do {
        if (found.name != u"." && found.name != u"..") entries.push_back(found);
    } while (plat::FindNextFileW(search.Get(), &found));
    return entries;
}

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
                          plat::kCsidlCommonAppData, plat::kCsidlProgramFiles}) {
            Wide shell = SpecialFolder(csidl);
            if (!shell.empty()) shellFolders_.push_back(JoinPath(shell, u""));
        }
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
        if (SamePath(folder, folder_) || Inside(folder, folder_)) return true;
        if (!data_.empty() && (SamePath(folder, data_) || Inside(folder, data_))) return true;
        if (!Inside(folder_, folder)) return false;  // not above the installation folder
        for (const Wide& shell : shellFolders_)
            if (SamePath(folder, shell) || Inside(shell, folder)) return false;
        return true;
    }

private:
    // Strictly below the folder (which ends in a backslash).
    static bool Inside(const Wide& path, const Wide& folder) {
        return path.size() > folder.size() && PathStartsWith(path, folder);
    }

    Wide folder_, data_;
    std::vector<Wide> linkFolders_, shellFolders_;
};

// The removal's work and what it had to leave.
class TRemoval {
public:
    std::vector<Wide> Left;

    // A listed file; one that is gone already counts as removed.
    void DeleteFile(const Wide& path) {
        uint32_t attributes = plat::GetFileAttributesW(path);
        if (attributes == plat::kInvalidFileAttributes) {
            uint32_t error = plat::GetLastError();
            if (error != plat::kErrorFileNotFound && error != plat::kErrorPathNotFound)
                Left.push_back(path);
            return;
        }
        if (attributes & plat::kFileAttributeDirectory) return;  // a folder is not what was listed
        if (plat::DeleteFileW(path)) return;
        // The user may have write-protected it; it goes all the same.
        if ((attributes & plat::kFileAttributeReadOnly) &&
            plat::SetFileAttributesW(path, attributes & ~plat::kFileAttributeReadOnly) &&
            plat::DeleteFileW(path))
            return;
        Left.push_back(path);
    }

    // A folder that an installation made: removed only when nothing is left in it.
    void RemoveFolderIfEmpty(const Wide& folder) {
        if (IsRoot(folder)) return;
        Wide bare = WithoutBackslash(folder);
        uint32_t attributes = plat::GetFileAttributesW(bare);
        if (attributes == plat::kInvalidFileAttributes ||
            !(attributes & plat::kFileAttributeDirectory))
            return;
        if (!FolderEntries(bare).empty()) return;  // the user's files, and so their folder, stay
        if (!plat::RemoveDirectoryW(bare)) Left.push_back(folder);
    }

    // The folder and every folder below it that holds no file. True when the folder is gone.
    bool RemoveEmptyTree(const Wide& folder) {
        bool empty = true;
        for (const plat::FindData& entry : FolderEntries(folder)) {
            bool isFolder = entry.attributes & plat::kFileAttributeDirectory;
            // A link to a folder elsewhere is not followed.
            if (!isFolder || (entry.attributes & kFileAttributeReparsePoint) ||
                !RemoveEmptyTree(JoinPath(folder, entry.name)))
                empty = false;
        }
        if (!empty) return false;
        if (plat::RemoveDirectoryW(folder)) return true;
        Left.push_back(JoinPath(folder, u""));
        return false;
    }

    void DeleteKey(plat::HKey root, const std::string& key) {
        int32_t status = plat::RegDeleteKeyA(root, key);
        if (status == 0 || status == static_cast<int32_t>(plat::kErrorFileNotFound)) return;
        const char* rootName =
            root == plat::kHKeyLocalMachine ? "HKEY_LOCAL_MACHINE\\" : "HKEY_CURRENT_USER\\";
        Left.push_back(WideOfUtf8(rootName + key));
    }
};

// The shared templates and clip library items that "Update.log" lists, the small data files and
// the log itself, then whatever folder that leaves empty. Only paths inside the data folder are
// acted on: the log lies in a folder that every user can write to.
void RemoveSharedData(TRemoval& removal) {
    Wide data = DataFolderToRemove();
    if (data.empty() || !FolderExists(data)) return;
    Wide updateLog = data + kUpdateLogName;
    bool keepUpdateLog = false;
    if (FileExists(updateLog)) {
        std::string text;
        if (!ReadBytesOfFile(updateLog, &text)) {
            removal.Left.push_back(updateLog);
            keepUpdateLog = true;
            text.clear();
        }
        for (const std::string& line : SplitLogLines(text)) {
            if (line.empty() || line[0] == '*') continue;  // run markers
            Wide path = WideOfUtf8(line.substr(0, line.find('\t')));  // "\t!": keep existing
            if (!IsFullPath(path, false) || !PathStartsWith(path, data) || path.size() == data.size())
                continue;
            size_t before = removal.Left.size();
            removal.DeleteFile(path);
            // While a file it lists remains, the log stays to tell of it.
            if (removal.Left.size() != before) keepUpdateLog = true;
        }
    }
    removal.DeleteFile(data + kHiddenFolderName + kInstallStampName);
    removal.DeleteFile(data + kCommonDataName);
    if (!keepUpdateLog) removal.DeleteFile(updateLog);
    removal.RemoveEmptyTree(WithoutBackslash(data));
}

// The files that the install log lists (all but `keep`), the log once none of them remains, and
// the listed folders and the installation folder when empty, deepest first.
void RemoveLogged(const Wide& folder, const TInstallRecord& record, const Wide& keep,
                  TRemoval& removal) {
    TScope scope(folder);
    size_t before = removal.Left.size();
    bool kept = false;
    for (const Wide& file : record.Files) {
        if (!scope.MayDeleteFile(file)) continue;
        if (!keep.empty() && SamePath(file, keep)) {
            kept = FileExists(file);
            continue;
        }
        removal.DeleteFile(file);
    }
    if (!kept && removal.Left.size() == before) removal.DeleteFile(JoinPath(folder, kInstallLogName));

    std::vector<Wide> folders = record.Folders;
    folders.push_back(JoinPath(folder, u""));
    std::stable_sort(folders.begin(), folders.end(),
                     [](const Wide& a, const Wide& b) { return Depth(a) > Depth(b); });
    for (const Wide& listed : folders)
        if (scope.MayRemoveFolder(JoinPath(listed, u""))) removal.RemoveFolderIfEmpty(listed);
}

// The interface language of the installation, English when none was saved.
void UseSavedLanguage() {
    TRegistry registry;
    if (!registry.KeyExists(kSavedChoicesKey)) return;
    registry.OpenKey(kSavedChoicesKey, false);
    if (registry.ValueExists("UILANG")) MatchSavedUILang(registry.ReadString("UILANG"));
}

int ShowBox(const std::string& text, uint32_t flags) {
    return plat::MessageBoxW(0, DecodeUIText(text), DecodeUIText(UIText(ProductName)),
                             plat::kMbTaskModal | flags);
}

const char* Text(const TUninstallText& text) { return text[CurrentUILang]; }

std::string ListOf(const std::vector<Wide>& items) {
    constexpr size_t kShown = 10;
    std::string list;
    for (size_t i = 0; i < items.size() && i < kShown; ++i)
        list += (i ? "\r" : "") + Utf8Of(items[i]);
    if (items.size() > kShown) list += "\r...";
    return list;
}

}  // namespace

TLogState ReadInstallRecord(const Wide& logPath, TInstallRecord* record) {
    *record = TInstallRecord();
    if (!FileExists(logPath)) return TLogState::Missing;
    std::string text;
    if (!ReadBytesOfFile(logPath, &text) || text.find('\0') != std::string::npos)
        return TLogState::Damaged;
    for (const std::string& line : SplitLogLines(text)) {
        if (line.empty()) continue;
        if (StartsWith(line, kFileCopy)) {
            Wide path = WideOfUtf8(line.substr(sizeof kFileCopy - 1));
            if (!IsFullPath(path, false)) return TLogState::Damaged;
            record->Files.push_back(path);
        } else if (StartsWith(line, kMadeDir)) {
            Wide path = WideOfUtf8(line.substr(sizeof kMadeDir - 1));
            if (!IsFullPath(path, true)) return TLogState::Damaged;
            record->Folders.push_back(path);
        } else {
            return TLogState::Damaged;
        }
    }
    if (record->Files.empty()) return TLogState::Damaged;
    return TLogState::Read;
}

int Uninstall(const TUninstallOptions& options) {
    UseSavedLanguage();
    auto tell = [&options](const std::string& text, uint32_t flags) {
        if (!options.Silent) ShowBox(text, flags);
    };

    Wide folder = ExtractFolder(options.ProgramPath);
    // Settings removes a copy with the command as it stands, unelevated: an installation for the
    // whole machine asks Windows for the rights it needs, and the elevated copy does the rest.
    if (options.MayElevate && !plat::IsProcessElevated() && InstalledForAllUsers(folder))
        return RemoveElevated(options.ProgramPath, options.Silent);
    TInstallRecord record;
    TLogState log = TLogState::Missing;
    if (!FileExists(folder + kPortableMarkName))
        log = ReadInstallRecord(folder + kInstallLogName, &record);
    if (log == TLogState::Missing) {
        tell(Text(UninstallPortable), plat::kMbIconInformation | plat::kMbOk);
        return kUninstallRefused;
    }
    if (log == TLogState::Damaged) {
        tell(Text(UninstallLogDamaged), plat::kMbIconError | plat::kMbOk);
        return kUninstallIncomplete;
    }
    if (IsAppRunning()) {
        tell(Text(UninstallRunning), plat::kMbIconInformation | plat::kMbOk);
        return kUninstallRefused;
    }
    if (!options.Silent) {
        if (ShowBox(Text(UninstallConfirm), plat::kMbIconQuestion | plat::kMbYesNo) != plat::kIdYes)
            return kUninstallRefused;
        // The application may have been started while the question was open.
        if (IsAppRunning()) {
            tell(Text(UninstallRunning), plat::kMbIconInformation | plat::kMbOk);
            return kUninstallRefused;
        }
    }

    // No process can remove the folder it works in.
    plat::SetCurrentDirectoryW(TempFolder());
    TRemoval removal;
    RemoveSharedData(removal);
    removal.DeleteKey(plat::kHKeyCurrentUser, kSavedChoicesKey);
    removal.DeleteKey(plat::kHKeyLocalMachine, kUninstallKey);
    removal.DeleteKey(plat::kHKeyCurrentUser, kUninstallKey);  // a user's own installation
    plat::RegDeleteKeyA(plat::kHKeyCurrentUser, kProductKey);  // stays while it holds other keys

    // The running program file is left, with the log and the folders holding it, to a process
    // that starts once this one has ended.
    bool selfListed = false;
    for (const Wide& file : record.Files)
        if (SamePath(file, options.ProgramPath) && FileExists(file)) selfListed = true;
    RemoveLogged(folder, record, selfListed ? options.ProgramPath : Wide(), removal);
    if (selfListed && !(options.StartFinish && options.StartFinish(folder))) {
        removal.Left.push_back(options.ProgramPath);
        removal.Left.push_back(folder + kInstallLogName);
    }

    if (removal.Left.empty()) {
        tell(Text(UninstallDone), plat::kMbIconInformation | plat::kMbOk);
        return kUninstallRemoved;
    }
    tell(FormatText(Text(UninstallPartly), {ListOf(removal.Left)}),
         plat::kMbIconWarning | plat::kMbOk);
    return kUninstallIncomplete;
}

int FinishUninstall(const Wide& folder) {
    plat::SetCurrentDirectoryW(TempFolder());
    TInstallRecord record;
    TLogState log = ReadInstallRecord(JoinPath(folder, kInstallLogName), &record);
    if (log == TLogState::Damaged) return kUninstallIncomplete;
    TRemoval removal;
    RemoveLogged(JoinPath(folder, u""), record, Wide(), removal);
    return removal.Left.empty() ? kUninstallRemoved : kUninstallIncomplete;
}
