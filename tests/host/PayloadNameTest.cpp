// The names a payload entry may carry: the verdicts on literal names, every name of the release
// listing accepted, and a setup program whose payload plants a refused name stopping as a damaged
// one before anything is written.
#include <gtest/gtest.h>

#include <sstream>

#include "app/Entry.h"
#include "install/RunFlags.h"
#include "payload/PayloadFormat.h"
#include "payload/PayloadName.h"
#include "tests/host/TestMachine.h"

namespace {

const char* Problem(const std::string& name) {
    return PayloadNameProblem(name.data(), static_cast<uint32_t>(name.size()));
}

TEST(PayloadName, AcceptsPlainRelativeNames) {
    const std::vector<std::string> sound = {
        "tsd.exe",
        "License.txt",
        "Clip Library\\Headers & Footers\\Page 1 (left).rtf",
        "a",
        ".hidden",
        "..more",
        "a..b",
        " leading blank",
        "sub\\x.y.z",
        std::string(255, 'n'),
        "Caf\xC3\xA9 \xE4\xB8\xAD.txt",      // two- and three-byte characters
        "\xEF\xBF\xBD.txt",                  // U+FFFD, the last of the plane that is not a noncharacter
        "CONSOLE.txt", "NULL", "AUXILIARY\\x", "PRN1", "CON_IN$",
        "COM0", "LPT0", "COM10", "LPT", "COM", "COMx.txt",
        "CONIN", "CONOUT",
        "COM\xC2\xB9x", "COM\xC2\xB4",       // not a superscript 1, 2 or 3
        "Templates\\Letters\\x.rtf",
        "\xEF\xBC\x9A.txt",                  // a full-width colon is a plain character
        "a\x7E" "b",
    };
    for (const auto& name : sound) EXPECT_EQ(nullptr, Problem(name)) << name;
}

TEST(PayloadName, RefusesNamesThatLeaveTheFolderOrAreNoPlainFile) {
    struct Case {
        std::string name;
        const char* says;
    };
    const std::vector<Case> refused = {
        {"", "empty"},
        {std::string(256, 'n'), "255 bytes"},
        // Out of the folder.
        {"..", "\"..\""},
        {"..\\x.txt", "\"..\""},
        {"Templates\\..\\..\\..\\..\\Victim\\x.txt", "\"..\""},
        {"Templates\\..", "\"..\""},
        {"\\x.txt", "absolute"},
        {"\\\\server\\share\\x.txt", "absolute"},
        {"\\\\?\\C:\\x.txt", "absolute"},
        {"/x.txt", "absolute"},
        {"C:\\x.txt", "\":\""},
        {"C:x.txt", "\":\""},
        {"Templates/../x.txt", "\"/\""},
        {"a/b", "\"/\""},
        // Empty and "." elements.
        {".", "\".\""},
        {".\\x.txt", "\".\""},
        {"a\\.\\b", "\".\""},
        {"a\\\\b", "empty"},
        {"a\\", "empty"},
        // Streams and characters Windows names cannot hold.
        {"Templates\\Letters\\x.rtf:data", "\":\""},
        {"x.rtf::$DATA", "\":\""},
        {std::string("a\0b", 3), "control character"},
        {"a\x01" "b", "control character"},
        {"a\x1F" "b", "control character"},
        {"a\tb", "control character"},
        {"a\x7F" "b", "control character"},
        {"a<b", "cannot hold"}, {"a>b", "cannot hold"}, {"a\"b", "cannot hold"},
        {"a|b", "cannot hold"}, {"a?b", "cannot hold"}, {"a*b", "cannot hold"},
        // Endings that Windows drops.
        {"x.txt.", "ending in"},
        {"x.txt ", "ending in"},
        {"sub.\\x.txt", "ending in"},
        {"sub \\x.txt", "ending in"},
        {"...", "ending in"},
        {" ", "ending in"},
        // Devices, in any case, with or without an extension, in any folder.
        {"CON", "device"}, {"prn", "device"}, {"Aux", "device"}, {"nul", "device"},
        {"nul.txt", "device"}, {"Com1.rtf", "device"}, {"COM9", "device"}, {"lpt1", "device"},
        {"LPT9.tar.gz", "device"}, {"sub\\NUL.x", "device"}, {"con\\x.txt", "device"},
        {"NUL .txt", "device"}, {"CONIN$", "device"}, {"conout$.log", "device"},
        {"COM\xC2\xB9", "device"}, {"com\xC2\xB2.txt", "device"}, {"LPT\xC2\xB3", "device"},
        // UTF-8 that the setup's decoder would read as something else.
        {"\xC0\xAE\xC0\xAE\\x.txt", "UTF-8"},   // overlong "..": the decoder would give ".."
        {"\xC1\x9C" "x", "UTF-8"},             // overlong "\"
        {"\xE0\x80\xAE", "UTF-8"},             // three-byte overlong "."
        {"\xED\xA0\x80", "UTF-8"},             // a surrogate half
        {"\xC3", "UTF-8"},                     // cut short
        {"\xC3(", "UTF-8"},
        {"\x80x", "UTF-8"},
        {"\xFFx", "UTF-8"},
        {"\xF0\x9F\x98\x80.txt", "Basic Multilingual Plane"},
    };
    for (const auto& c : refused) {
        const char* problem = Problem(c.name);
        ASSERT_NE(nullptr, problem) << c.name;
        EXPECT_NE(std::string::npos, std::string(problem).find(c.says)) << c.name << ": " << problem;
    }
}

TEST(PayloadName, EveryNameOfTheReleaseListingPasses) {
    std::istringstream lines(ReadSourceFile("resources/payload/listing.txt"));
    std::string line;
    int names = 0;
    while (std::getline(lines, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::string name = line.substr(0, line.find('\t'));
        EXPECT_EQ(nullptr, Problem(name)) << name;
        ++names;
    }
    EXPECT_EQ(260, names);
}

// The real payload with one more entry at its end, well-formed zlib: a check made only when a
// file is written would have written the real entries before it.
std::string RealPayloadPlus(const std::string& name) {
    InflatedData block;
    uint32_t length = 0;
    const std::string& real = RealPayload();
    EXPECT_TRUE(InflateBuffer(real.data(), static_cast<uint32_t>(real.size()), 0, &block, &length));
    std::string raw(reinterpret_cast<const char*>(block.get()), length);
    AppendPayloadEntry(&raw, name, 45000.5, "planted");
    return DeflateForTest(raw);
}

TEST(PayloadName, APlantedNameMakesTheSetupProgramDamagedBeforeAnythingIsWritten) {
    ASSERT_FALSE(RealPayload().empty()) << TSD_PAYLOAD_FILE;
    for (const std::string name :
         {"Templates\\..\\..\\..\\..\\Victim\\x.txt", "Templates\\Letters\\x.rtf:data", "C:\\Victim\\x.txt",
          "\\Victim\\x.txt", "Templates\\nul.txt", "Templates\\x.rtf ", "\xC0\xAE\xC0\xAE\\x.txt"}) {
        for (bool silent : {true, false}) {
            StartFreshProcess();
            std::vector<plat::Wide> machine = fake::ListTree(u"C:\\");
            fake::SetResource("FILES", "FILES", RealPayloadPlus(name));
            fake::SetCommandLine(silent ? u"setup.exe /S" : u"setup.exe");
            EXPECT_EQ(kExitDamaged, SetupMain()) << name;
            for (int k = 0; k < fake::kOperationKinds; ++k)
                EXPECT_EQ(0, fake::OperationCount(static_cast<fake::Operation>(k)))
                    << fake::OperationName(static_cast<fake::Operation>(k)) << " for " << name;
            EXPECT_EQ(machine, fake::ListTree(u"C:\\")) << name;
            EXPECT_EQ(silent ? 0u : 1u, fake::ShownBoxes().size()) << name;
        }
    }
    // The same payload without the planted entry installs.
    StartFreshProcess();
    fake::SetResource("FILES", "FILES", RealPayloadPlus("Templates\\Letters\\x.rtf"));
    fake::SetCommandLine(u"setup.exe /S");
    EXPECT_EQ(0, SetupMain());
    EXPECT_TRUE(fake::FileExistsAt(kCommon + u"\\Public\\Templates\\Letters\\x.rtf"));
}

}  // namespace
