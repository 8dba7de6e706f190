// The update log merge over an arbitrary existing file and an arbitrary list of the run's
// lines: the file then holds the earlier runs without this run's files, empty lines or markers
// left without files, followed by this run's marker and its sorted lines; what is written is
// exactly that, and a file that cannot be written stays as it was.
#include "install/InstallLog.h"
#include "tests/fuzz/FuzzSupport.h"
#include "tests/host/TestMachine.h"
#include "wizard/engine/UpdateLog.h"

namespace {

bool SameText(const std::string& a, const std::string& b) { return CompareLogText(a, b) == 0; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> parts = FuzzParts(data, size, 2);
    const std::string& existing = parts[0];
    std::vector<std::string> run;
    for (const std::string& line : SplitLogLines(parts[1]))
        if (!line.empty()) run.push_back(line);
    const double stamp = 46000.5;
    // One machine for every input: each one replaces the log and leaves nothing else behind.
    static bool started = (fake::Reset(), true);
    (void)started;

    std::vector<std::string> merged = MergeUpdateLog(SplitLogLines(existing), run, stamp);
    size_t marker = merged.size() - run.size() - 1;
    FUZZ_REQUIRE(merged.size() >= run.size() + 1);
    FUZZ_REQUIRE(merged[marker] == UpdateLogMarker(stamp));
    for (size_t i = 0; i < run.size(); ++i) {
        if (i > 0) FUZZ_REQUIRE(CompareLogText(merged[marker + i], merged[marker + 1 + i]) <= 0);
    }
    std::vector<std::string> sortedRun(merged.begin() + static_cast<std::ptrdiff_t>(marker) + 1, merged.end());
    std::vector<std::string> a = sortedRun, b = run;
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    FUZZ_REQUIRE(a == b);  // the run's lines, each once as given
    for (size_t i = 0; i < marker; ++i) {
        FUZZ_REQUIRE(!merged[i].empty());
        for (const std::string& line : run) FUZZ_REQUIRE(!SameText(merged[i], line));
        if (i > 0) FUZZ_REQUIRE(!(merged[i][0] == '*' && merged[i - 1][0] == '*'));
    }
    if (marker > 0) FUZZ_REQUIRE(merged[marker - 1][0] != '*');

    const plat::Wide path = u"C:\\ProgramData\\Tessaron\\Update.log";
    fake::PutFile(path, existing);
    if (run.empty()) {
        FUZZ_REQUIRE(WriteUpdateLog(path, run, stamp));
        FUZZ_REQUIRE(fake::FileBytes(path) == existing);
        return 0;
    }
    FUZZ_REQUIRE(WriteUpdateLog(path, run, stamp));
    FUZZ_REQUIRE(fake::FileBytes(path) == JoinLogLines(merged));
    // A write that fails halfway leaves the earlier content whole.
    fake::PutFile(path, existing);
    fake::FailOperation(fake::Operation::WriteFile, fake::OperationCount(fake::Operation::WriteFile) + 1);
    FUZZ_REQUIRE(!WriteUpdateLog(path, run, stamp));
    FUZZ_REQUIRE(fake::FileBytes(path) == existing);
    FUZZ_REQUIRE(fake::ListTree(u"C:\\ProgramData\\Tessaron") == std::vector<plat::Wide>{u"Update.log"});
    return 0;
}
