// The removal of the shared data: what "Update.log" lists, the small data files, the log, and
// the folders made for them.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "install/DataFolder.h"
#include "install/InstallLog.h"
#include "standin/Removal.h"
#include "standin/RemovalScope.h"

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

}  // namespace

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
