// Every single operation that changes the machine, failed in turn: a silent installation and
// interactive ones answering Abort, Retry and Ignore, each from a clean machine (also from one
// holding an older copy, and as a portable copy), checked for what must hold whatever failed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <set>

#include "app/Entry.h"
#include "install/InstUtils.h"
#include "install/InstallLog.h"
#include "install/RunFlags.h"
#include "payload/PayloadFormat.h"
#include "tests/host/TestMachine.h"
#include "wizard/engine/Registry.h"

namespace {

using fake::Operation;

// The real payload cut down to its first two entries and two templates and two clip library
// items in different folders (names, stamps and bytes as they are): every kind of destination
// and folder is there, and a sweep over every operation stays fast.
const std::string& SweepPayload() {
    static const std::string payload = [] {
        InflatedData block;
        uint32_t length = 0;
        const std::string& real = RealPayload();
        if (real.empty() || !InflateBuffer(real.data(), static_cast<uint32_t>(real.size()), 0,
                                           &block, &length))
            return std::string();
        std::string raw;
        int templates = 0, clips = 0, index = 0;
        std::string lastFolder;
        WalkPayload(block.get(), length, [&](const PayloadEntryView& e) {
            std::string name(e.name, e.nameLength);
            std::string folder = name.substr(0, name.rfind('\\') + 1);
            bool take = index++ < 2;
            if (folder != lastFolder) {
                // The first file of each new folder, two of each kind.
                if (name.rfind("Templates\\", 0) == 0 && templates < 2) take = true, ++templates;
                if (name.rfind("Clip Library\\", 0) == 0 && clips < 2) take = true, ++clips;
                lastFolder = folder;
            }
            if (take)
                AppendPayloadEntry(&raw, name, e.time,
                                   std::string(reinterpret_cast<const char*>(e.data),
                                               static_cast<size_t>(e.size)));
        });
        return DeflateForTest(raw);
    }();
    return payload;
}

// The names of a payload's shared files (those in a folder), as the payload stores them.
std::vector<std::string> DataFileNames(const std::string& payload) {
    static std::map<const std::string*, std::vector<std::string>> known;
    auto found = known.find(&payload);
    if (found != known.end()) return found->second;
    InflatedData block;
    uint32_t length = 0;
    std::vector<std::string> names;
    if (InflateBuffer(payload.data(), static_cast<uint32_t>(payload.size()), 0, &block, &length))
        WalkPayload(block.get(), length, [&](const PayloadEntryView& e) {
            std::string name(e.name, e.nameLength);
            if (name.find('\\') != std::string::npos) names.push_back(name);
        });
    return known[&payload] = names;
}

enum class Mode { Silent, Abort, Retry, Ignore };
const char* ModeName(Mode mode) {
    static const char* const kNames[] = {"silent", "abort", "retry", "ignore"};
    return kNames[static_cast<int>(mode)];
}

// The licence's copy in the temporary folder takes a name of its own, "License-<hex>.txt".
const plat::Wide kTempLicenceStem = u"C:\\Users\\User\\Temp\\License-";
const plat::FileTime kOldTime = 130000000000000000ull;

std::string Upper(const plat::Wide& path) { return Utf8Of(plat::LCMapStringW(plat::kLocaleUserDefault, plat::kLcmapUppercase, path)); }

struct FileState {
    std::string bytes;
    plat::FileTime time;
    bool operator==(const FileState& other) const { return bytes == other.bytes && time == other.time; }
};
using Files = std::map<std::string, FileState>;  // by upper-cased full path

Files AllFiles() {
    Files files;
    for (const plat::Wide& name : fake::ListTree(u"C:\\")) {
        if (name.back() == u'\\') continue;
        plat::Wide path = u"C:\\" + name;
        files[Upper(path)] = {fake::FileBytes(path), fake::FileWriteTime(path)};
    }
    return files;
}

// An older copy: its program, licence, logs, data files and a template the user changed.
void PutOlderCopy() {
    fake::PutFile(kMain + u"\\tsd.exe", "older program", kOldTime);
    fake::PutFile(kMain + u"\\License.txt", "older licence", kOldTime);
    fake::PutFile(kMain + u"\\Install.log",
                  "Made Dir: C:\\Program Files\\Tessaron\\\r\nFile Copy: C:\\Program Files\\Tessaron\\tsd.exe\r\n"
                  "File Copy: C:\\Program Files\\Tessaron\\License.txt\r\n", kOldTime);
    fake::PutFile(kCommon + u"\\Update.log",
                  "*0000000000C0DD40\r\nC:\\ProgramData\\Tessaron\\Public\\Templates\\Old.rtf\t!\r\n", kOldTime);
    fake::PutFile(kCommon + u"\\Public\\Templates\\Old.rtf", "an old template", kOldTime);
    fake::PutFile(kCommon + u"\\tsd_common.dat", "older data file.", kOldTime);
    fake::PutFile(kCommon + u"\\Hidden\\install_stamp", "oldstamp", kOldTime);
}

// The machine a run starts from.
enum class Setting { Clean, OlderCopy, Portable };
const char* SettingName(Setting setting) {
    static const char* const kNames[] = {"clean machine", "over an older copy", "portable copy"};
    return kNames[static_cast<int>(setting)];
}
const plat::Wide kPortable = u"C:\\Portable\\Tessaron";

struct Sweep {
    int runs = 0, faults = 0;
    std::map<std::string, int> faultsByKind;
};

class FaultSweep : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(SweepPayload().empty()) << TSD_PAYLOAD_FILE; }

    // One run of the program on a clean machine (with the older copy when asked), with the
    // nth operation of a kind failed when nth > 0. Gives the exit code.
    int RunOnce(Mode mode, Setting setting, Operation op, int nth, fake::FaultKind kind) {
        StartFreshProcess();
        fake::SetResource("FILES", "FILES", *payload_);
        portable_ = setting == Setting::Portable;
        main_ = portable_ ? kPortable : kMain;
        public_ = portable_ ? kPortable : kCommon + u"\\Public";
        data_ = portable_ ? kPortable : kCommon;
        if (setting == Setting::OlderCopy) PutOlderCopy();
        // The marker file makes the destination a portable copy.
        if (portable_) fake::PutFile(kPortable + u"\\Tessaron.ini", "");
        plat::Wide destination = portable_ ? u" \"-D" + kPortable + u"\"" : u"";
        before_ = AllFiles();
        if (nth > 0) fake::FailOperation(op, nth, kind);
        if (mode == Mode::Silent) {
            fake::SetCommandLine(u"setup.exe -S" + destination);
        } else {
            fake::SetCommandLine(u"setup.exe" + destination);
            int answer = mode == Mode::Abort ? plat::kIdAbort
                         : mode == Mode::Retry ? plat::kIdRetry : plat::kIdIgnore;
            fake::ScriptAnswers({answer});
            // The user presses Next (and Finish) until the wizard closes.
            SetHeadlessModalSteps({[](TForm& form) {
                for (int i = 0; i < 12 && form.ModalResult == mrNone; ++i)
                    if (MainDlgForm->NextBtn->Enabled()) MainDlgForm->NextBtn->Click();
            }});
        }
        return SetupMain();
    }

    // The payload destinations of the run, upper-cased, with their entries.
    std::map<std::string, const TAttachedFile*> Destinations() {
        std::map<std::string, const TAttachedFile*> out;
        for (const auto& entry : AttachedFiles->Entries) {
            bool main = entry->Name.find(u'\\') == plat::Wide::npos;
            out[Upper(JoinPath(main ? main_ : public_, entry->Name))] = entry.get();
        }
        return out;
    }

    // The entry's bytes and stamp; a file whose stamp could not be set keeps the time it was
    // written, which is not reported.
    bool HoldsEntry(const plat::Wide& path, const TAttachedFile& entry) {
        bool unstamped = stampFault_ == Upper(path);
        return fake::FileBytes(path) ==
                   std::string(reinterpret_cast<const char*>(entry.Data), static_cast<size_t>(entry.Size)) &&
               (unstamped || FileDateOf(path) == entry.Time);
    }

    // The update log after a run that wrote it: the older log as it was (its lines name no file
    // of this payload), then the run's marker and one line for each shared file of the payload.
    bool IsMergedUpdateLog(const std::string& update, const std::string& oldUpdate) {
        if (update.compare(0, oldUpdate.size(), oldUpdate) != 0) return false;
        std::vector<std::string> lines = SplitLogLines(update.substr(oldUpdate.size()));
        // 2026-03-14 10:20:30, the fake machine's clock, as the 8 bytes of its date.
        if (lines.empty() || lines[0] != "*4A9FF4C9ED81E640") return false;
        lines.erase(lines.begin());
        std::vector<std::string> expected;
        for (const std::string& name : DataFileNames(*payload_))
            expected.push_back("C:\\ProgramData\\Tessaron\\Public\\" + name + "\t!");
        std::sort(lines.begin(), lines.end());
        std::sort(expected.begin(), expected.end());
        return update.size() >= 2 && update.compare(update.size() - 2, 2, "\r\n") == 0 &&
               lines == expected;
    }

    static bool KeepsEveryLine(const std::string& log, const std::vector<std::string>& oldLines) {
        std::vector<std::string> lines = SplitLogLines(log);
        for (const std::string& line : oldLines)
            if (std::find(lines.begin(), lines.end(), line) == lines.end()) return false;
        return log.empty() || (log.size() >= 2 && log.compare(log.size() - 2, 2, "\r\n") == 0);
    }

    // A saved install log lists what the removal must find: each file of the installation folder
    // that holds its payload entry, each shortcut there is, and every line of the older log.
    void ExpectListsWhatTheRemovalNeeds(const std::string& log, const std::vector<std::string>& oldLines) {
        EXPECT_TRUE(KeepsEveryLine(log, oldLines)) << log;
        std::vector<std::string> lines = SplitLogLines(log);
        auto listed = [&](const plat::Wide& path) {
            return std::find(lines.begin(), lines.end(), "File Copy: " + Utf8Of(path)) != lines.end();
        };
        for (const auto& entry : AttachedFiles->Entries) {
            if (entry->Name.find(u'\\') != plat::Wide::npos) continue;
            plat::Wide path = JoinPath(kMain, entry->Name);
            if (HoldsEntry(path, *entry)) EXPECT_TRUE(listed(path)) << Utf8Of(path) << "\n" << log;
        }
        for (const plat::Wide& folder : {kCommonPrograms, kCommonDesktop, kUserPrograms, kUserDesktop})
            if (fake::LinkAt(folder + kLinkName, nullptr))
                EXPECT_TRUE(listed(folder + kLinkName)) << Utf8Of(folder + kLinkName) << "\n" << log;
    }

    void Check(Mode mode, Operation op, int code) {
        plat::Wide target;
        bool hit = fake::FaultHappened(&target);
        std::string where = Upper(target);
        auto dests = Destinations();
        auto at = [&](const plat::Wide& path) { return Upper(path); };
        // The temporary file of a replacement belongs to its destination.
        std::string owner = where.substr(0, where.rfind(".~") == std::string::npos ? where.size() : where.rfind(".~"));
        bool fileWriteFault = hit && op != Operation::SetFileTime && op != Operation::DeleteFile &&
                              op != Operation::CreateFolder && op != Operation::RegCreateKey &&
                              op != Operation::RegSetValue && op != Operation::SaveLink;
        // A licence copy that cannot be created under one name is created under the next, as
        // when another program holds that name; only a failed write ends the run.
        bool licenceFault = fileWriteFault && op != Operation::CreateFile &&
                            owner.rfind(at(kTempLicenceStem), 0) == 0 && owner.size() > 4 &&
                            owner.compare(owner.size() - 4, 4, ".TXT") == 0;
        bool payloadFault = fileWriteFault && dests.count(owner);
        bool updateLogFault = fileWriteFault && owner == at(kCommon + u"\\Update.log");
        bool folderFault = hit && op == Operation::CreateFolder;
        bool registryFault = hit && (op == Operation::RegCreateKey || op == Operation::RegSetValue);
        stampFault_ = hit && op == Operation::SetFileTime ? owner : std::string();

        // All payload files in place, and the update log merged.
        bool payloadComplete = true;
        for (const auto& [path, entry] : dests)
            if (!HoldsEntry(WideOfUtf8(path), *entry)) payloadComplete = false;
        std::string oldUpdate = before_.count(at(kCommon + u"\\Update.log"))
                                    ? before_[at(kCommon + u"\\Update.log")].bytes : std::string();
        std::string update = fake::FileBytes(kCommon + u"\\Update.log");
        // A portable copy never writes the update log.
        bool updateWritten = portable_ ? update.empty() : IsMergedUpdateLog(update, oldUpdate);

        // The exit code the rules give.
        int expected = 0;
        if (licenceFault) {
            expected = mode == Mode::Silent ? 2 : 0;
        } else if (payloadFault) {
            expected = mode == Mode::Silent || mode == Mode::Abort ? 2 : 0;
        } else if (updateLogFault) {
            expected = mode == Mode::Silent ? 2 : 0;  // the user presses Finish again
        } else if (folderFault) {
            // A folder that could not be made fails the file meant for it, unless a later file
            // makes the folder after all.
            bool fileDialog = false;  // the Abort, Retry, Ignore question of a file
            for (const auto& box : fake::ShownBoxes())
                fileDialog = fileDialog || (box.flags & 0xF) == plat::kMbAbortRetryIgnore;
            if (mode == Mode::Silent) expected = payloadComplete && updateWritten ? 0 : 2;
            if (mode == Mode::Abort) expected = fileDialog ? 2 : 0;
        }
        EXPECT_EQ(expected, code);
        if (code == 0 && !(mode == Mode::Ignore && hit) && !(mode == Mode::Abort && licenceFault)) {
            EXPECT_TRUE(payloadComplete) << "success reported, but a payload file is missing or wrong";
            EXPECT_TRUE(updateWritten) << "success reported, but Update.log is not merged";
        }
        if (licenceFault && mode != Mode::Retry && mode != Mode::Ignore)
            EXPECT_TRUE(AllFiles() == before_) << "nothing installed, and no partial licence left";

        // Update.log: its old content or the new one.
        EXPECT_TRUE(update == oldUpdate || updateWritten) << update;

        // Every "File Copy: " line names a file as the payload holds it (or a shortcut); a line
        // of the older copy's log may still name its older file.
        Files after = AllFiles();
        std::string log = fake::FileBytes(main_ + u"\\Install.log");
        std::string oldLog = before_.count(at(main_ + u"\\Install.log")) ? before_[at(main_ + u"\\Install.log")].bytes : "";
        std::vector<std::string> oldLines = SplitLogLines(oldLog);
        for (const std::string& line : SplitLogLines(log)) {
            if (line.rfind("File Copy: ", 0) != 0) {
                EXPECT_EQ(0u, line.rfind("Made Dir: ", 0)) << line;
                continue;
            }
            plat::Wide path = WideOfUtf8(line.substr(11));
            if (path.size() > 4 && path.substr(path.size() - 4) == u".lnk") {
                // A shortcut is listed even when its saving failed; the run goes on as if it
                // existed.
                if (owner != at(path)) EXPECT_TRUE(fake::LinkAt(path, nullptr)) << line;
                continue;
            }
            auto dest = dests.find(at(path));
            ASSERT_NE(dests.end(), dest) << line;
            bool fromOlderLog = std::find(oldLines.begin(), oldLines.end(), line) != oldLines.end();
            EXPECT_TRUE(HoldsEntry(path, *dest->second) ||
                        (fromOlderLog && after.count(at(path)) && before_.count(at(path)) &&
                         after[at(path)].bytes == before_[at(path)].bytes))
                << line;
        }
        // (It cannot be saved when its folder could not be made.)
        if (portable_)
            EXPECT_FALSE(fake::FileExistsAt(main_ + u"\\Install.log")) << "a portable copy keeps no log";
        else if (log != oldLog || (LogActive && !(hit && owner == at(kMain + u"\\Install.log")) &&
                                   !registryFault && fake::FolderExistsAt(kMain)))
            ExpectListsWhatTheRemovalNeeds(log, oldLines);  // this run's log, new or unchanged

        // No file the installation should not write; existing files old or new, never a mix.
        std::set<std::string> allowed = {at(data_ + u"\\tsd_common.dat")};
        if (!portable_) {
            for (const plat::Wide& file : {kMain + u"\\Install.log", kCommon + u"\\Update.log",
                                           kCommon + u"\\Hidden\\install_stamp"})
                allowed.insert(at(file));
            for (const plat::Wide& folder : {kCommonPrograms, kCommonDesktop, kUserPrograms, kUserDesktop})
                allowed.insert(at(folder + kLinkName));
        }
        for (const auto& [path, entry] : dests) allowed.insert(path);
        for (const auto& [path, state] : after) {
            if (before_.count(path)) continue;
            EXPECT_TRUE(allowed.count(path)) << "unexpected file " << path;
        }
        for (const auto& [path, old] : before_) {
            if (!after.count(path)) {
                ADD_FAILURE() << "an existing file is gone: " << path;
                continue;
            }
            const std::string& now = after[path].bytes;
            if (now == old.bytes) continue;
            if (dests.count(path)) EXPECT_TRUE(HoldsEntry(WideOfUtf8(path), *dests[path])) << path;
            else if (path == at(kCommon + u"\\Update.log")) EXPECT_TRUE(updateWritten);
            else if (path == at(kMain + u"\\Install.log")) EXPECT_TRUE(KeepsEveryLine(now, oldLines)) << now;
            else if (path == at(data_ + u"\\tsd_common.dat")) EXPECT_EQ(16u, now.size());
            else if (path == at(kCommon + u"\\Hidden\\install_stamp")) EXPECT_EQ(8u, now.size());
            else ADD_FAILURE() << "an existing file was changed: " << path;
        }

        // The registry records exist exactly when the installation started (never portable
        // here), unless writing them was the fault.
        bool records = fake::RegValueAt(plat::kHKeyCurrentUser, kSavedChoicesKey, "MAINDIR", nullptr) &&
                       fake::RegValueAt(plat::kHKeyLocalMachine, kUninstallKey, "UninstallString", nullptr);
        if (!registryFault) EXPECT_EQ(LogActive && !portable_, records);
        if (!LogActive) EXPECT_FALSE(fake::RegKeyExists(plat::kHKeyCurrentUser, kSavedChoicesKey));
        EXPECT_EQ(0, fake::OpenHandleCount());
        EXPECT_EQ(0, fake::OpenKeyCount());
    }

    // Every operation of every kind in turn; of the kinds that every file has (create, write,
    // stamp), every stride-th one and the last.
    void SweepAll(Mode mode, Setting setting, Sweep* sweep, int stride = 1) {
        RunOnce(mode, setting, Operation::CreateFile, 0, fake::FaultKind::Fail);
        int counts[fake::kOperationKinds];
        for (int k = 0; k < fake::kOperationKinds; ++k) counts[k] = fake::OperationCount(static_cast<Operation>(k));
        for (int k = 0; k < fake::kOperationKinds; ++k) {
            Operation op = static_cast<Operation>(k);
            for (auto kind : {fake::FaultKind::Fail, fake::FaultKind::ShortWrite}) {
                if (kind == fake::FaultKind::ShortWrite && op != Operation::WriteFile) continue;
                bool perFile = op == Operation::CreateFile || op == Operation::WriteFile ||
                               op == Operation::SetFileTime;
                for (int nth = 1; nth <= counts[k]; ++nth) {
                    if (perFile && (nth - 1) % stride != 0 && nth != counts[k]) continue;
                    int code = RunOnce(mode, setting, op, nth, kind);
                    ++sweep->runs;
                    if (!fake::FaultHappened()) continue;  // the run took another way
                    ++sweep->faults;
                    ++sweep->faultsByKind[fake::OperationName(op) +
                                          std::string(kind == fake::FaultKind::ShortWrite ? " (short)" : "")];
                    plat::Wide target;
                    fake::FaultHappened(&target);
                    SCOPED_TRACE(std::string(ModeName(mode)) + ", " + SettingName(setting) + ": " +
                                 fake::OperationName(op) + (kind == fake::FaultKind::ShortWrite ? " (short)" : "") +
                                 " #" + std::to_string(nth) + " on " + Utf8Of(target));
                    Check(mode, op, code);
                    if (HasFailure()) return;  // one report per sweep is enough to start from
                }
            }
        }
    }

    Files before_;
    std::string stampFault_;
    const std::string* payload_ = &SweepPayload();
    bool portable_ = false;
    plat::Wide main_, public_, data_;
};

TEST_F(FaultSweep, EveryWriteOperationFailedInTurn) {
    Sweep sweep;
    for (Setting setting : {Setting::Clean, Setting::OlderCopy, Setting::Portable})
        for (Mode mode : {Mode::Silent, Mode::Abort, Mode::Retry, Mode::Ignore}) {
            SweepAll(mode, setting, &sweep);
            if (HasFailure()) break;
        }
    std::string kinds;
    for (const auto& [name, count] : sweep.faultsByKind) kinds += " " + name + " " + std::to_string(count) + ";";
    std::printf("fault sweep: %d runs, %d faults injected;%s\n", sweep.runs, sweep.faults, kinds.c_str());
    EXPECT_GT(sweep.faults, 500);
}

// The whole real payload in a silent run on a clean machine: every folder, move, delete,
// registry and shortcut operation, and every fifth file operation.
TEST_F(FaultSweep, RealPayloadSilentRun) {
    payload_ = &RealPayload();
    Sweep sweep;
    SweepAll(Mode::Silent, Setting::Clean, &sweep, 5);
    std::printf("fault sweep, real payload: %d runs, %d faults injected\n", sweep.runs, sweep.faults);
    EXPECT_GT(sweep.faults, 150);
}

}  // namespace
