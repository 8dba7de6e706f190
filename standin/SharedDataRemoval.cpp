// The removal of the shared data: what "Update.log" lists, the small data files, the log, and
// the folders made for them.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "install/DataFolder.h"
#include "install/InstallLog.h"
#include "standin/Removal.h"
#include "standin/RemovalScope.h"
#include "standin/UserChanges.h"

namespace {

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

}  // namespace

// The shared templates and clip library items that "Update.log" lists, the small data files and
// the log itself, then whatever folder that leaves empty. Only paths inside the data folder are
// acted on: the log lies in a folder that every user can write to. A file that the user changed
// after the run that placed it (ChangedByUser; the run's stamp is its marker's, else the
// installation's) stays, with the log that lists it.
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
    // While a file it lists remains, the log stays to tell of it.
    auto leftSize = [&removal] { return removal.Left.size() + removal.Linked.size(); };
    // A run's files are examined together (held open) before any goes: whether the run gave them
    // the installation's time is told by all of them.
    struct TListed {
        Wide Path;
        TCheckedObject File;
        bool Deletable = false;
    };
    std::vector<TListed> run;
    auto finishRun = [&] {
        std::vector<plat::FileTime> times;
        for (const TListed& listed : run)
            if (listed.Deletable) times.push_back(listed.File.Info.lastWriteTime);
        const bool installedTimes = RunGaveInstalledTimes(times);
        for (TListed& listed : run) {
            size_t before = leftSize();
            if (listed.Deletable) {
                if (ChangedByUser(listed.File.Info.lastWriteTime, runStamp, installedTimes))
                    removal.Kept.push_back(listed.Path);
                else
                    removal.DeleteExamined(listed.File, listed.Path);
            }
            listed.File.Handle.Reset();
            removal.RemoveLeftovers(data, listed.Path);
            if (leftSize() != before) keepUpdateLog = true;
        }
        run.clear();
    };
    for (const std::string& line : SplitLogLines(text)) {
        if (line.empty()) continue;
        if (line[0] == '*') {  // a run's marker
            finishRun();
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
        // A path listed twice in one run (a planted log) is examined once: its handle is open.
        if (std::any_of(run.begin(), run.end(),
                        [&path](const TListed& listed) { return SamePath(listed.Path, path); }))
            continue;
        size_t before = leftSize();
        run.push_back(TListed{path, TCheckedObject(), false});
        run.back().Deletable = removal.Deletable(data, path, &run.back().File);
        if (leftSize() != before) keepUpdateLog = true;
    }
    finishRun();
    if (!removal.Kept.empty()) keepUpdateLog = true;
    removal.DeleteFile(data, data + kHiddenFolderName + kInstallStampName);
    removal.DeleteFile(data, data + kCommonDataName);
    if (!keepUpdateLog) removal.DeleteFile(data, updateLog);
    std::stable_sort(made.begin(), made.end(),
                     [](const Wide& a, const Wide& b) { return Depth(a) > Depth(b); });
    for (const Wide& folder : made) removal.RemoveFolderIfEmpty(data, folder);
}
