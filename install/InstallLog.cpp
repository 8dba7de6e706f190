#include "install/InstallLog.h"

#include <set>

#include "base/TextCompare.h"
#include "install/CheckedObject.h"
#include "install/InstUtils.h"
#include "install/LinkGuard.h"
#include "install/RunFlags.h"
#include "install/SafeWrite.h"
#include "resources/Product.h"

std::unique_ptr<std::vector<std::string>> LogList;
plat::Wide LogFileName;
int32_t LogSuspendCount = 0;

int CompareLogText(const std::string& a, const std::string& b) {
    return CompareTextIgnoreCase(a, b);
}

std::string LogTextKey(const std::string& line) { return TextKeyIgnoreCase(line); }

void LogLine(const std::string& line) {
    // Before the log starts, lines arrive only while it is suspended; a missing list is no place
    // to record one either way.
    if (LogSuspendCount != 0 || !LogList) return;
    for (const auto& existing : *LogList)
        if (CompareLogText(existing, line) == 0) return;
    LogList->push_back(line);
}

void SuspendLog() { ++LogSuspendCount; }

void ResumeLog() { --LogSuspendCount; }

std::vector<std::string> SplitLogLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t end = text.find('\0');
    if (end == std::string::npos) end = text.size();
    size_t start = 0, i = 0;
    while (i < end) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(text.substr(start, i - start));
            i += (c == '\r' && i + 1 < end && text[i + 1] == '\n') ? 2 : 1;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < end) lines.push_back(text.substr(start, end - start));
    return lines;
}

std::string JoinLogLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

void StartInstallLog(const plat::Wide& mainDir, bool portable) {
    LogList = std::make_unique<std::vector<std::string>>();
    if (!portable) {
        LogFileName = JoinPath(mainDir, kInstallLogName);
        std::string text;
        // A link or a hard link there is not read: its target's lines would be taken for the
        // installation's.
        if (ReadPlainFile(LogFileName, &text))
            *LogList = SplitLogLines(text);
    }
    LogActive = true;
}

void SaveInstallLog() {
    if (!LogList || LogFileName.empty()) return;
    // Written whole or not at all: a cut last line would name a file that was never written.
    std::string text = JoinLogLines(*LogList);
    TSafeWrite how;
    how.ShareMode = plat::kFileShareRead;
    how.NeverPartial = true;
    WriteWholeFile(LogFileName, text.data(), static_cast<uint32_t>(text.size()), how);
}

void ResetInstallLog() {
    // The folders that ForceFolders remembers and guards belong to the same run as the log.
    ForgetKnownFolders();
    ForgetGuardedFolders();
    LogList.reset();
    LogFileName.clear();
    LogSuspendCount = 0;
}

namespace {

// Folders that ForceFolders saw existing or created successfully in this run, as passed to it.
std::set<Wide>& KnownFolders() {
    static std::set<Wide> folders;
    return folders;
}

}  // namespace

void ForceFolders(const Wide& folder) {
    auto& known = KnownFolders();
    if (known.count(folder)) return;
    // A folder that the run holds exists: nobody can remove it while it is held. One that the
    // check of the way just found missing is not looked for again.
    if (HeldFolder(folder) != plat::kInvalidHandle ||
        (!MissingAtTheLastWalk(folder) && FolderExists(folder))) {
        known.insert(folder);
        return;
    }
    Wide bare = WithoutBackslash(folder);
    Wide parent = ExtractFolder(bare);
    // The length strictly decreases, so "X:" (its own parent) ends the recursion.
    if (parent.size() < folder.size()) ForceFolders(parent);
    // Only a folder that was really made counts as known; one that could not be made is tried
    // again the next time, as before. Nothing is made where a link would lead: the way to it
    // is checked (and held); at its own name the creation fails if anything is there.
    if (NoLinkOnTheWay(bare) && plat::CreateDirectoryW(folder)) known.insert(folder);
    LogLine("Made Dir: " + Utf8Of(folder));
}

void ForgetKnownFolders() {
    KnownFolders().clear();
    ForgetCheckedFolders();
}
