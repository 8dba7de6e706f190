// The install log loader over arbitrary file content: the lines it loads are the file's lines,
// none holds a line break or a NUL, new lines are added once, and saving writes exactly the
// list, which loads back the same.
#include "install/InstallLog.h"
#include "install/RunFlags.h"
#include "tests/fuzz/FuzzSupport.h"
#include "tests/host/TestMachine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const plat::Wide folder = u"C:\\Program Files\\Tessaron";
    const plat::Wide path = folder + u"\\Install.log";
    // One machine for every input: each one replaces the log and leaves nothing else behind.
    static bool started = (fake::Reset(), true);
    (void)started;
    ResetRunFlags();
    ResetInstallLog();
    std::string text(reinterpret_cast<const char*>(data), size);
    fake::PutFile(path, text);
    StartInstallLog(folder, false);
    FUZZ_REQUIRE(LogActive && LogList);
    FUZZ_REQUIRE(*LogList == SplitLogLines(text));
    for (const std::string& line : *LogList)
        FUZZ_REQUIRE(line.find_first_of(std::string("\r\n\0", 3)) == std::string::npos);

    size_t before = LogList->size();
    LogLine("File Copy: C:\\Program Files\\Tessaron\\tsd.exe");
    LogLine("FILE COPY: c:\\program files\\tessaron\\TSD.EXE");  // the same line, other case
    FUZZ_REQUIRE(LogList->size() <= before + 1);

    SaveInstallLog();
    std::string saved = fake::FileBytes(path);
    FUZZ_REQUIRE(saved == JoinLogLines(*LogList));
    std::vector<std::string> kept = *LogList;
    ResetInstallLog();
    StartInstallLog(folder, false);
    FUZZ_REQUIRE(*LogList == kept);
    FUZZ_REQUIRE(fake::OpenHandleCount() == 0);
    return 0;
}
