// The install log loader over arbitrary file content: the lines it loads are the file's lines
// (up to a NUL, broken at CR LF, CR or LF), none holds a line break or a NUL, a new line is added
// once and last, and saving writes those lines ended by CR LF, which load back the same.
#include <algorithm>
#include <string>

#include "install/InstallLog.h"
#include "install/RunFlags.h"
#include "tests/fuzz/FuzzSupport.h"
#include "tests/host/TestMachine.h"

namespace {

// The text as the log holds it: up to a NUL, every line ended by CR LF whatever ended it (CR LF,
// a lone CR or a lone LF), and an unended last line ended.
std::string AsCrLfLines(const std::string& text) {
    std::string out;
    size_t end = std::min(text.find('\0'), text.size());
    for (size_t i = 0; i < end; ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            out += "\r\n";
            if (text[i] == '\r' && i + 1 < end && text[i + 1] == '\n') ++i;
        } else {
            out += text[i];
        }
    }
    if (!out.empty() && (out.size() < 2 || out.compare(out.size() - 2, 2, "\r\n") != 0)) out += "\r\n";
    return out;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

}  // namespace

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
    for (const std::string& line : *LogList)
        FUZZ_REQUIRE(line.find_first_of(std::string("\r\n\0", 3)) == std::string::npos);
    const std::string loaded = AsCrLfLines(text);
    FUZZ_REQUIRE(Joined(*LogList) == loaded);

    size_t before = LogList->size();
    LogLine("File Copy: C:\\Program Files\\Tessaron\\tsd.exe");
    LogLine("FILE COPY: c:\\program files\\tessaron\\TSD.EXE");  // the same line, other case
    FUZZ_REQUIRE(LogList->size() <= before + 1);

    SaveInstallLog();
    std::string saved = fake::FileBytes(path);
    // The file's lines, then the new line unless the file held it already (in any case).
    const std::string added = "File Copy: C:\\Program Files\\Tessaron\\tsd.exe\r\n";
    FUZZ_REQUIRE(saved == loaded || saved == loaded + added);
    FUZZ_REQUIRE(saved == Joined(*LogList));
    std::vector<std::string> kept = *LogList;
    ResetInstallLog();
    StartInstallLog(folder, false);
    FUZZ_REQUIRE(*LogList == kept);
    FUZZ_REQUIRE(fake::OpenHandleCount() == 0);
    return 0;
}
