// Which shared file the removal takes for the installation's, by its last-write time: one that
// still has the time the installation wrote goes; one the user replaced or saved stays, also when
// it came out of a ZIP (its time on the two-second grid, like a payload stamp); an earlier setup's
// files, which carry the bare payload stamp, go as they always did.
#include <functional>

#include "install/InstallLog.h"
#include "tests/host/RemovalMachine.h"

namespace {

using namespace removal_test;

constexpr plat::FileTime kTwoSeconds = 20000000;  // 100 ns ticks
constexpr plat::FileTime kHour = 36000000000ull;

plat::FileTime LastWriteOf(const plat::Wide& path) {
    plat::FindData found;
    plat::Handle search = plat::FindFirstFileW(path, &found);
    EXPECT_NE(plat::kInvalidHandle, search) << Utf8Of(path);
    plat::FindClose(search);
    return found.lastWriteTime;
}

// The shared files that the update log lists.
Names ListedFiles() {
    Names files;
    for (const std::string& line : SplitLogLines(fake::FileBytes(kCommon + u"\\Update.log")))
        if (!line.empty() && line[0] != '*') files.push_back(WideOfUtf8(line.substr(0, line.find('\t'))));
    return files;
}

// What an earlier setup left: the same files with the bare payload stamp, the even second.
void AsAnEarlierSetupWroteThem() {
    for (const plat::Wide& file : ListedFiles()) {
        plat::FileTime written = LastWriteOf(file);
        fake::PutFile(file, fake::FileBytes(file), written - written % kTwoSeconds);
    }
}

// A template replaced by one unpacked from a ZIP an hour after the installation: a new file whose
// time lies on the two-second grid, later than the run's stamp.
void ReplaceFromZip() {
    plat::FileTime now = plat::GetSystemTimeAsFileTime();
    fake::PutFile(kTemplate, "from a zip", now - now % kTwoSeconds + kHour);
}

struct TTimeRow {
    const char* name;
    const char* what;
    std::function<void(Uninstalling&)> after;  // run after the installation
    bool kept;                                 // the template stays, with the update log
};

class RemovalByTime : public Uninstalling, public ::testing::WithParamInterface<TTimeRow> {
public:
    void Reinstall() { Install(); }
};

// Printed by its name.
void PrintTo(const TTimeRow& row, std::ostream* out) { *out << row.name; }

TEST_P(RemovalByTime, TheTemplateGoesOnlyWithTheInstallationsTime) {
    const TTimeRow& row = GetParam();
    SCOPED_TRACE(row.what);
    Install();
    row.after(*this);
    const std::string before = fake::FileBytes(kTemplate);
    ASSERT_EQ(kUninstallRemoved, RemoveAll(true)) << "a kept file is no failure";
    if (!row.kept) {
        EXPECT_EQ(Names{}, Added()) << "every shared file and the log go";
        return;
    }
    EXPECT_EQ(before, fake::FileBytes(kTemplate));
    EXPECT_EQ((Names{u"ProgramData\\Tessaron\\", u"ProgramData\\Tessaron\\Public\\",
                     u"ProgramData\\Tessaron\\Public\\Templates\\",
                     u"ProgramData\\Tessaron\\Public\\Templates\\Letters\\",
                     u"ProgramData\\Tessaron\\Public\\Templates\\Letters\\Business Letter.rtf",
                     u"ProgramData\\Tessaron\\Update.log"}),
              Added())
        << "the rest of the shared files go";
    EXPECT_NE(std::string::npos, fake::FileBytes(kCommon + u"\\Update.log").find("Business Letter.rtf"));
}

const TTimeRow kTimeRows[] = {
    {"InstalledAndUntouched", "installed and untouched", [](Uninstalling&) {}, false},
    {"ReplacedFromZip", "replaced by a ZIP's file, its even-second time after the stamp",
     [](Uninstalling&) { ReplaceFromZip(); }, true},
    {"EditedAndSaved", "edited and saved an hour later",
     [](Uninstalling&) {
         fake::PutFile(kTemplate, "edited", plat::GetSystemTimeAsFileTime() + kHour + 5000000);
     },
     true},
    {"SavedInTheInstallationsSecond", "saved again in the second of the installation",
     [](Uninstalling&) { fake::PutFile(kTemplate, "saved at once", plat::GetSystemTimeAsFileTime()); },
     true},
    {"EarlierSetup", "an earlier setup's installation", [](Uninstalling&) { AsAnEarlierSetupWroteThem(); }, false},
    // There a ZIP's time cannot be told from a payload stamp that lies after the run: it goes, as
    // it always did.
    {"EarlierSetupTemplateFromZip", "an earlier setup's installation, the template from a ZIP",
     [](Uninstalling&) {
         AsAnEarlierSetupWroteThem();
         ReplaceFromZip();
     },
     false},
    {"Reinstalled", "reinstalled",
     [](Uninstalling& test) { static_cast<RemovalByTime&>(test).Reinstall(); }, false},
    {"EarlierSetupReinstalled", "an earlier setup's installation, reinstalled",
     [](Uninstalling& test) {
         AsAnEarlierSetupWroteThem();
         static_cast<RemovalByTime&>(test).Reinstall();
     },
     false},
    {"ReinstalledThenReplacedFromZip", "reinstalled, then replaced by a ZIP's file",
     [](Uninstalling& test) {
         static_cast<RemovalByTime&>(test).Reinstall();
         ReplaceFromZip();
     },
     true},
};

INSTANTIATE_TEST_SUITE_P(Rows, RemovalByTime, ::testing::ValuesIn(kTimeRows),
                         [](const ::testing::TestParamInfo<TTimeRow>& info) {
                             return std::string(info.param.name);
                         });

// An earlier setup's shared files are written again by a reinstallation, to carry the
// installation's time, and read as the payload's stamp all the same.
TEST_F(Uninstalling, AReinstallationGivesAnEarlierSetupsFilesTheInstallationsTime) {
    Install();
    const plat::FileTime installed = LastWriteOf(kTemplate);
    const double date = FileDateOf(kTemplate);
    AsAnEarlierSetupWroteThem();
    ASSERT_EQ(date, FileDateOf(kTemplate)) << "the same MS-DOS time";
    ASSERT_NE(installed, LastWriteOf(kTemplate));
    Install();
    EXPECT_EQ(installed, LastWriteOf(kTemplate));
    EXPECT_EQ(date, FileDateOf(kTemplate));
    // The files outside the shared folder keep the bare stamp, a two-second time as a FAT drive
    // holds it, so that a reinstallation there still finds them unchanged.
    EXPECT_EQ(0u, LastWriteOf(kProgram) % kTwoSeconds);
    EXPECT_EQ(0u, LastWriteOf(kMain + u"\\License.txt") % kTwoSeconds);
}

}  // namespace
