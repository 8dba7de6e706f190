#include "standin/Uninstall.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "install/CheckedObject.h"
#include "install/DataFolder.h"
#include "install/InstUtils.h"
#include "install/InstallLog.h"
#include "install/SafeWrite.h"
#include "platform/Handles.h"
#include "standin/Elevation.h"
#include "standin/InstalledCopy.h"
#include "standin/RealPaths.h"
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

void AddOnce(std::vector<Wide>& items, const Wide& item) {
    for (const Wide& known : items)
        if (SamePath(known, item)) return;
    items.push_back(item);
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

// A date value read from 8 bytes in memory order; 0 when they hold no date after 1899-12-30.
double DateOfBytes(const unsigned char* bytes) {
    double date;
    std::memcpy(&date, bytes, sizeof date);
    return std::isfinite(date) && date > 0 ? date : 0;
}

// The installation's stamp, "Hidden\install_stamp"; 0 when it cannot be read.
double ReadInstallStamp(TRemoval& removal, const Wide& data) {
    Wide path = data + kHiddenFolderName + kInstallStampName;
    std::string bytes;
    TCheckedObject file;
    if (removal.Paths.File(data, path, &file) != TPathState::Real || !ReadChecked(file, &bytes) ||
        bytes.size() != sizeof(double))
        return 0;
    return DateOfBytes(reinterpret_cast<const unsigned char*>(bytes.data()));
}

// Whether the user changed the file after the run that placed it (whose stamp is given): its
// last-write time is later than the stamp and is none that an installation gives its files.
// Those are the payload's stamps, whole local seconds on the two-second grid, which lie after
// the run where the machine's clock was behind the release's (or its time zone behind the
// builder's); a program saving a file gives it the moment of the save, to a fraction of a
// second.
bool ChangedByUser(const plat::ByHandleFileInformation& info, double stamp) {
    constexpr plat::FileTime kTwoSeconds = 20000000;  // in 100 ns ticks; time zones keep the grid
    if (info.lastWriteTime % kTwoSeconds == 0) return false;
    plat::FileTime local;
    uint16_t dosDate, dosTime;
    if (!plat::FileTimeToLocalFileTime(info.lastWriteTime, &local) ||
        !plat::FileTimeToDosDateTime(local, &dosDate, &dosTime))
        return true;  // a time no installation gives
    return DosTimeToDate((uint32_t{dosDate} << 16) | dosTime) > stamp;
}

// The stamp of a run's marker line ("*" and 16 hexadecimal digits); 0 for another line.
double StampOfMarker(const std::string& line) {
    if (line.size() != 17) return 0;
    unsigned char bytes[8];
    for (size_t i = 0; i < 8; ++i) {
        int value = 0;
        for (char c : line.substr(1 + 2 * i, 2)) {
            int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
            if (digit < 0) return 0;
            value = value * 16 + digit;
        }
        bytes[i] = static_cast<unsigned char>(value);
    }
    return DateOfBytes(bytes);
}

// The shared templates and clip library items that "Update.log" lists, the small data files and
// the log itself, then whatever folder that leaves empty. Only paths inside the data folder are
// acted on: the log lies in a folder that every user can write to. A file written after the run
// that placed it (its marker's stamp, else the installation's) is the user's and stays, with the
// log that lists it.
void RemoveSharedData(TRemoval& removal) {
    Wide data = DataFolderToRemove();
    if (data.empty() || !FolderExists(data)) return;
    TPathState dataState = removal.Paths.Folder(data, data);
    if (dataState == TPathState::Link) AddOnce(removal.Linked, data);
    if (dataState != TPathState::Real) return;
    Wide updateLog = data + kUpdateLogName;
    bool keepUpdateLog = false;
    std::string text;
    TCheckedObject log;
    TPathState logState = removal.Paths.File(data, updateLog, &log);
    if (logState == TPathState::Link) AddOnce(removal.Linked, updateLog);
    if (logState == TPathState::Link || logState == TPathState::Unknown ||
        (logState == TPathState::Real && !ReadChecked(log, &text))) {
        // A log that cannot be read as itself (a link, another name of someone's file) stays, and
        // what it would list with it.
        if (logState != TPathState::Link) removal.Left.push_back(updateLog);
        keepUpdateLog = true;
        text.clear();
    }
    log.Handle.Reset();
    const double installStamp = ReadInstallStamp(removal, data);
    double runStamp = installStamp;
    // The folders that the installation made for what it listed: they go when empty, and no
    // other folder, so that a folder of the user's own stays with what holds it.
    std::vector<Wide> made = {data, data + kHiddenFolderName};
    for (const std::string& line : SplitLogLines(text)) {
        if (line.empty()) continue;
        if (line[0] == '*') {  // a run's marker
            double stamp = StampOfMarker(line);
            runStamp = stamp ? stamp : installStamp;
            continue;
        }
        Wide path = WideOfUtf8(line.substr(0, line.find('\t')));  // "\t!": keep existing
        if (!IsFullPath(path, false) || !PathStartsWith(path, data) || path.size() == data.size()) {
            removal.Left.push_back(path);  // not the removal's to touch: named, never in silence
            continue;
        }
        for (Wide folder = ExtractFolder(path); folder.size() > data.size();
             folder = ExtractFolder(WithoutBackslash(folder)))
            AddOnce(made, folder);
        // While a file it lists remains, the log stays to tell of it.
        size_t before = removal.Left.size() + removal.Linked.size();
        TCheckedObject file;
        if (removal.Deletable(data, path, &file)) {
            if (runStamp && ChangedByUser(file.Info, runStamp))
                removal.Kept.push_back(path);
            else
                removal.DeleteExamined(file, path);
        }
        file.Handle.Reset();
        removal.RemoveLeftovers(data, path);
        if (removal.Left.size() + removal.Linked.size() != before || !removal.Kept.empty())
            keepUpdateLog = true;
    }
    removal.DeleteFile(data, data + kHiddenFolderName + kInstallStampName);
    removal.DeleteFile(data, data + kCommonDataName);
    if (!keepUpdateLog) removal.DeleteFile(data, updateLog);
    std::stable_sort(made.begin(), made.end(),
                     [](const Wide& a, const Wide& b) { return Depth(a) > Depth(b); });
    for (const Wide& folder : made) removal.RemoveFolderIfEmpty(data, folder);
}

// The files that the install log lists (all but `keep`), the log once none of them remains, and
// the listed folders and the installation folder when empty, deepest first. With
// `otherCopyProgram` (the removal of a copy that the uninstall entry does not name), only what
// belongs to this copy: its folder, the folders above it, and shortcuts to that program.
void RemoveLogged(const Wide& folder, const TInstallRecord& record, const Wide& keep,
                  TRemoval& removal, const Wide& otherCopyProgram = Wide()) {
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

// The closing message: what was removed, and each kind of thing that stayed with its list.
std::string Report(const TRemoval& removal, const Wide& folder, const Wide& otherFolder) {
    std::vector<std::string> parts;
    if (!otherFolder.empty())
        parts.push_back(FormatText(Text(UninstallOtherCopy),
                                   {Utf8Of(WithoutBackslash(folder)), Utf8Of(WithoutBackslash(otherFolder))}));
    else if (removal.Complete())
        parts.push_back(Text(UninstallDone));
    else if (removal.Left.empty())
        parts.push_back(Text(UninstallNotAll));
    if (!removal.Left.empty()) parts.push_back(FormatText(Text(UninstallPartly), {ListOf(removal.Left)}));
    if (!removal.Linked.empty())
        parts.push_back(FormatText(Text(UninstallLinksLeft), {ListOf(removal.Linked)}));
    if (!removal.Kept.empty())
        parts.push_back(FormatText(Text(UninstallChangedKept), {ListOf(removal.Kept)}));
    std::string text;
    for (const std::string& part : parts) text += (text.empty() ? "" : "\r\r") + part;
    return text;
}

}  // namespace

TLogState ReadInstallRecord(const Wide& logPath, TInstallRecord* record) {
    *record = TInstallRecord();
    if (!FileExists(logPath)) return TLogState::Missing;
    // Read as the file itself, with one name: a link or a hard link to another file counts as a
    // damaged log, whose lines are never taken.
    std::string text;
    if (!ReadPlainFile(logPath, &text) || text.find('\0') != std::string::npos)
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
    TUninstallEntries entries;
    if (!FileExists(folder + kPortableMarkName)) {
        log = ReadInstallRecord(folder + kInstallLogName, &record);
        if (log != TLogState::Damaged) entries = ReadUninstallEntries(folder);
    }
    // Without its log, a copy that the uninstall entry names is still an installed one.
    bool unlogged = log == TLogState::Missing && entries.NamesThisFolder;
    if (log == TLogState::Missing && !unlogged) {
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
    if (unlogged) {
        record.Files = ProgramFilesIn(folder);
        for (const Wide& shortcut : ShortcutsTo(options.ProgramPath)) record.Files.push_back(shortcut);
    }

    // No process can remove the folder it works in.
    plat::SetCurrentDirectoryW(TempFolder());
    TRemoval removal;
    // The uninstall entry names another copy: the entry, the saved choices, the shortcuts and
    // the shared data are that copy's.
    bool otherCopy = !entries.OtherFolder.empty();
    if (otherCopy) {
        for (plat::HKey root : entries.Own) removal.DeleteKey(root, kUninstallKey);
    } else {
        RemoveSharedData(removal);
        removal.DeleteKey(plat::kHKeyCurrentUser, kSavedChoicesKey);
        removal.DeleteKey(plat::kHKeyLocalMachine, kUninstallKey);
        removal.DeleteKey(plat::kHKeyCurrentUser, kUninstallKey);  // a user's own installation
        plat::RegDeleteKeyA(plat::kHKeyCurrentUser, kProductKey);  // stays while it holds other keys
    }

    // The running program file is left, with the log and the folders holding it, to a process
    // that starts once this one has ended.
    bool selfListed = false;
    for (const Wide& file : record.Files)
        if (SamePath(file, options.ProgramPath) && FileExists(file)) selfListed = true;
    RemoveLogged(folder, record, selfListed ? options.ProgramPath : Wide(), removal,
                 otherCopy ? options.ProgramPath : Wide());
    if (selfListed && !(options.StartFinish && options.StartFinish(folder))) {
        removal.Left.push_back(options.ProgramPath);
        if (!unlogged) removal.Left.push_back(folder + kInstallLogName);
    }

    tell(Report(removal, folder, entries.OtherFolder),
         (removal.Complete() ? plat::kMbIconInformation : plat::kMbIconWarning) | plat::kMbOk);
    return removal.Complete() ? kUninstallRemoved : kUninstallIncomplete;
}

int FinishUninstall(const Wide& folder) {
    plat::SetCurrentDirectoryW(TempFolder());
    Wide own = JoinPath(folder, u"");
    TInstallRecord record;
    TLogState log = ReadInstallRecord(own + kInstallLogName, &record);
    if (log == TLogState::Damaged) return kUninstallIncomplete;
    // A copy removed without its log: what the product's own names give.
    if (log == TLogState::Missing && !FileExists(own + kPortableMarkName))
        record.Files = ProgramFilesIn(own);
    TUninstallEntries entries = ReadUninstallEntries(own);
    TRemoval removal;
    RemoveLogged(own, record, Wide(), removal,
                 entries.OtherFolder.empty() ? Wide() : own + kProgramFileW);
    return removal.Complete() ? kUninstallRemoved : kUninstallIncomplete;
}
