#include "standin/Uninstall.h"

#include <algorithm>

#include "install/CheckedObject.h"
#include "install/DataFolder.h"
#include "install/InstUtils.h"
#include "install/InstallLog.h"
#include "install/SafeWrite.h"
#include "platform/Handles.h"
#include "standin/Elevation.h"
#include "standin/InstalledCopy.h"
#include "standin/RealPaths.h"
#include "standin/Removal.h"
#include "standin/RemovalScope.h"
#include "wizard/engine/AppRunning.h"
#include "wizard/engine/Registry.h"
#include "wizard/lang/UILang.h"

namespace {

constexpr char kFileCopy[] = "File Copy: ";
constexpr char kMadeDir[] = "Made Dir: ";

bool StartsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
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

