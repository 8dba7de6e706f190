// tsdpack's inspection of built program files, run as a release engineer runs it: list, verify
// and extract, against the real setup program and against small programs built here, foreign,
// truncated, damaged and hostile ones among them.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "install/DosTime.h"
#include "payload/PayloadFormat.h"
#include "tests/host/TestMachine.h"
#include "tests/host/TinyProgram.h"

namespace {

const std::string kWin = TSD_WIN_BUILD_DIR;
const std::string kListing = std::string(TSD_SOURCE_DIR) + "/resources/payload/listing.txt";

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::stringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

double Stamp(int y, int mo, int d, int h, int mi, int s) {
    return EncodeDate(y, mo, d) + EncodeTime(h, mi, s, 0);
}

// A program file whose payload holds these entries.
std::string ProgramWith(const std::vector<std::pair<std::string, std::string>>& entries,
                        double time = Stamp(2026, 11, 20, 4, 43, 38)) {
    std::string raw;
    for (const auto& e : entries) AppendPayloadEntry(&raw, e.first, time, e.second);
    return TinyProgram({{u"FILES", 0, u"FILES", 0, DeflateForTest(raw)}});
}

class Inspection : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/tsdpack-inspect-XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(pattern));
        dir = pattern;
    }
    void TearDown() override { std::system(("rm -rf '" + dir + "'").c_str()); }

    std::string Put(const std::string& relative, const std::string& bytes) {
        std::string path = dir + "/" + relative;
        std::system(("mkdir -p \"$(dirname '" + path + "')\"").c_str());
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    // Runs tsdpack with these arguments (each quoted); keeps stdout and stderr.
    int Run(const std::vector<std::string>& args) {
        std::string command = TSD_PACKER;
        for (const auto& a : args) command += " '" + a + "'";
        command += " >'" + dir + "/out.txt' 2>'" + dir + "/err.txt'";
        int status = std::system(command.c_str());
        out = Slurp(dir + "/out.txt");
        err = Slurp(dir + "/err.txt");
        return WEXITSTATUS(status);
    }
    bool Exists(const std::string& path) {
        struct stat st;
        return lstat(path.c_str(), &st) == 0;
    }

    std::string dir, out, err;
};

TEST_F(Inspection, ListsTheRealSetupProgramAsTheListingSaysInStoredOrder) {
    std::string setup = kWin + "/tessaron-setup.exe";
    ASSERT_EQ(0, Run({"list", setup})) << err;
    std::vector<std::string> lines = Lines(out);
    ASSERT_EQ(261u, lines.size());
    std::vector<std::string> listed;
    for (const auto& line : Lines(Slurp(kListing)))
        if (!line.empty() && line[0] != '#') listed.push_back(line);
    ASSERT_EQ(260u, listed.size());
    size_t inflated = 0;
    for (size_t i = 0; i < listed.size(); ++i) {
        size_t tab = listed[i].find('\t');
        std::string name = listed[i].substr(0, tab), stamp = listed[i].substr(tab + 1);
        std::string path = name;
        for (auto& c : path)
            if (c == '\\') c = '/';
        std::string bytes = name == "tsd.exe" ? Slurp(kWin + "/tsd.exe")
                                              : ReadSourceFile("resources/payload/" + path);
        EXPECT_EQ(std::to_string(bytes.size()) + "\t" + stamp + "\t" + name, lines[i]);
        inflated += kPayloadEntryOverhead + name.size() + bytes.size();
    }
    EXPECT_EQ("260 entries, " + std::to_string(inflated) + " bytes inflated, " +
                  std::to_string(RealPayload().size()) + " bytes stored",
              lines.back());
}

TEST_F(Inspection, VerifyAcceptsTheBuildAndNamesEachDifference) {
    std::string setup = kWin + "/tessaron-setup.exe";
    ASSERT_EQ(0, Run({"verify", setup, "--listing", kListing, "--set", "tsd.exe=" + kWin + "/tsd.exe"}))
        << out << err;

    // A listing of four entries and a program packed from it, then each kind of difference.
    Put("in/a.txt", "alpha");
    Put("in/b.txt", "bravo");
    Put("in/sub/c.txt", "charlie");
    Put("in/d.txt", "delta");
    const std::string listing = Put("in/listing.txt",
                                    "a.txt\t2026-11-20 04:43:38\n"
                                    "b.txt\t2026-11-20 04:43:38\n"
                                    "sub\\c.txt\t2026-11-20 04:43:38\n"
                                    "d.txt\t2026-11-20 04:43:38\n");
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, std::string>> stored;
        std::vector<std::string> says;
    };
    const std::vector<Case> cases = {
        {"the same", {{"a.txt", "alpha"}, {"b.txt", "bravo"}, {"sub\\c.txt", "charlie"}, {"d.txt", "delta"}}, {}},
        {"other bytes", {{"a.txt", "alpha"}, {"b.txt", "BRAVO"}, {"sub\\c.txt", "charlie"}, {"d.txt", "delta"}},
         {"bytes: b.txt holds 5 bytes that differ from the 5 bytes of its file"}},
        {"one missing", {{"a.txt", "alpha"}, {"sub\\c.txt", "charlie"}, {"d.txt", "delta"}}, {"missing: b.txt"}},
        {"one more", {{"a.txt", "alpha"}, {"b.txt", "bravo"}, {"sub\\c.txt", "charlie"}, {"d.txt", "delta"}, {"e.txt", ""}},
         {"not in the listing: e.txt"}},
        {"two swapped", {{"a.txt", "alpha"}, {"sub\\c.txt", "charlie"}, {"b.txt", "bravo"}, {"d.txt", "delta"}},
         {"order: sub\\c.txt is stored where b.txt belongs"}},
        {"stored twice", {{"a.txt", "alpha"}, {"b.txt", "bravo"}, {"sub\\c.txt", "charlie"}, {"d.txt", "delta"}, {"a.txt", "alpha"}},
         {"stored more than once: a.txt"}},
    };
    for (const auto& c : cases) {
        Put("p.exe", ProgramWith(c.stored));
        int code = Run({"verify", dir + "/p.exe", "--listing", listing});
        EXPECT_EQ(c.says.empty() ? 0 : 1, code) << c.what << ": " << out << err;
        for (const auto& line : c.says)
            EXPECT_NE(std::string::npos, out.find(line + "\n")) << c.what << " said: " << out;
    }
    Put("p.exe", ProgramWith({{"a.txt", "alpha"}, {"b.txt", "bravo"}, {"sub\\c.txt", "charlie"}, {"d.txt", "delta"}},
                             Stamp(2026, 11, 20, 4, 43, 40)));
    EXPECT_EQ(1, Run({"verify", dir + "/p.exe", "--listing", listing}));
    EXPECT_NE(std::string::npos,
              out.find("stamp: a.txt is stamped 2026-11-20 04:43:40, the listing says 2026-11-20 04:43:38\n"))
        << out;
    EXPECT_EQ(4u + 1, Lines(out).size()) << "four stamps, then the count: " << out;
    // --set takes its bytes from elsewhere, as when packing.
    Put("other.txt", "BRAVO");
    Put("p.exe", ProgramWith({{"a.txt", "alpha"}, {"b.txt", "BRAVO"}, {"sub\\c.txt", "charlie"}, {"d.txt", "delta"}}));
    EXPECT_EQ(0, Run({"verify", dir + "/p.exe", "--listing", listing, "--set", "b.txt=" + dir + "/other.txt"}))
        << out << err;
}

TEST_F(Inspection, ExtractWritesEveryEntryWithItsStampUnderTheFolder) {
    const double stamp = Stamp(2025, 6, 17, 13, 14, 14);
    Put("p.exe", ProgramWith({{"tsd.exe", std::string("MZ\0\1", 4)}, {"Clip Library\\Headers & Footers\\h.txt", ""},
                              {"Caf\xC3\xA9.txt", "caf\xC3\xA9"}},
                             stamp));
    ASSERT_EQ(0, Run({"extract", dir + "/p.exe", dir + "/out"})) << err;
    EXPECT_EQ(std::string("MZ\0\1", 4), Slurp(dir + "/out/tsd.exe"));
    EXPECT_TRUE(Exists(dir + "/out/Clip Library/Headers & Footers/h.txt"));
    EXPECT_EQ("caf\xC3\xA9", Slurp(dir + "/out/Caf\xC3\xA9.txt"));
    struct tm local = {};
    local.tm_year = 125;
    local.tm_mon = 5;
    local.tm_mday = 17;
    local.tm_hour = 13;
    local.tm_min = 14;
    local.tm_sec = 14;
    local.tm_isdst = -1;
    struct stat st;
    ASSERT_EQ(0, stat((dir + "/out/Clip Library/Headers & Footers/h.txt").c_str(), &st));
    EXPECT_EQ(mktime(&local), st.st_mtime) << "the stamp is local time";

    // The real setup program extracts to exactly the files it was packed from.
    ASSERT_EQ(0, Run({"extract", kWin + "/tessaron-setup.exe", dir + "/real"})) << err;
    EXPECT_EQ(Slurp(kWin + "/tsd.exe"), Slurp(dir + "/real/tsd.exe"));
    EXPECT_EQ(ReadSourceFile("resources/payload/License.txt"), Slurp(dir + "/real/License.txt"));
    EXPECT_EQ(0, std::system(("diff -r '" + std::string(TSD_SOURCE_DIR) + "/resources/payload/Templates' '" +
                              dir + "/real/Templates' >/dev/null").c_str()));
}

TEST_F(Inspection, ExtractRefusesHostileNamesAndWritesNothing) {
    const std::vector<std::vector<std::pair<std::string, std::string>>> hostile = {
        {{"ok.txt", "fine"}, {"..\\escaped.txt", "out"}},
        {{"ok.txt", "fine"}, {"sub\\..\\..\\escaped.txt", "out"}},
        {{"\\escaped.txt", "out"}},
        {{"/tmp/escaped.txt", "out"}},
        {{"C:\\escaped.txt", "out"}},
        {{"C:escaped.txt", "out"}},
        {{"sub/../../escaped.txt", "out"}},
        {{std::string("ok.txt\0/../../escaped.txt", 25), "out"}},
        {{"a.txt", "one"}, {"A.TXT", "two"}},
        {{"a", "file"}, {"A\\b.txt", "in a folder a"}},
        {{"CON.txt", "device"}},
        {{"ok.txt", "fine"}, {"ok\\", "folder"}},
    };
    for (const auto& entries : hostile) {
        Put("p.exe", ProgramWith(entries));
        EXPECT_EQ(2, Run({"extract", dir + "/p.exe", dir + "/out"})) << entries.back().first;
        EXPECT_NE(std::string::npos, err.find("cannot be extracted safely")) << err;
        EXPECT_FALSE(Exists(dir + "/out")) << "nothing is written for " << entries.back().first;
        EXPECT_FALSE(Exists(dir + "/escaped.txt"));
        EXPECT_FALSE(Exists("/tmp/escaped.txt"));
    }
    // A stamp that no packing stores, such as not a number at all.
    std::string raw;
    AppendPayloadEntry(&raw, "a.txt", 0.0 / 0.0, "x");
    Put("p.exe", TinyProgram({{u"FILES", 0, u"FILES", 0, DeflateForTest(raw)}}));
    EXPECT_EQ(2, Run({"extract", dir + "/p.exe", dir + "/out"}));
    EXPECT_FALSE(Exists(dir + "/out"));
    EXPECT_EQ(0, Run({"list", dir + "/p.exe"})) << "listing shows it: " << err;
    EXPECT_EQ("1\t(no valid stamp)\ta.txt", Lines(out)[0]);

    // A link already in the folder does not lead the files out of it.
    ASSERT_EQ(0, mkdir((dir + "/out").c_str(), 0777));
    ASSERT_EQ(0, mkdir((dir + "/elsewhere").c_str(), 0777));
    ASSERT_EQ(0, symlink((dir + "/elsewhere").c_str(), (dir + "/out/sub").c_str()));
    ASSERT_EQ(0, symlink((dir + "/elsewhere/b.txt").c_str(), (dir + "/out/b.txt").c_str()));
    Put("p.exe", ProgramWith({{"sub\\a.txt", "through a link"}}));
    EXPECT_EQ(1, Run({"extract", dir + "/p.exe", dir + "/out"}));
    Put("p.exe", ProgramWith({{"b.txt", "through a link"}}));
    EXPECT_EQ(1, Run({"extract", dir + "/p.exe", dir + "/out"}));
    EXPECT_FALSE(Exists(dir + "/elsewhere/a.txt"));
    EXPECT_FALSE(Exists(dir + "/elsewhere/b.txt"));
}

TEST_F(Inspection, VerifyAndExtractRefuseANameTheSetupProgramRefuses) {
    Put("in/a.txt", "alpha");
    const std::string listing = Put("in/listing.txt", "a.txt\t2026-11-20 04:43:38\n");
    for (const std::string planted : {"Templates\\..\\..\\..\\..\\Victim\\x.txt",
                                      "Templates\\Letters\\x.rtf:data", "Templates\\Com1.rtf"}) {
        Put("p.exe", ProgramWith({{"a.txt", "alpha"}, {planted, "planted"}}));
        EXPECT_EQ(2, Run({"verify", dir + "/p.exe", "--listing", listing})) << planted << ": " << out;
        EXPECT_NE(std::string::npos, err.find("damaged: entry 2 \"" + planted + "\"")) << err;
        EXPECT_EQ(2, Run({"extract", dir + "/p.exe", dir + "/out"})) << planted;
        EXPECT_FALSE(Exists(dir + "/out")) << planted;
        // Listing still shows what is stored, to find the fault by.
        EXPECT_EQ(0, Run({"list", dir + "/p.exe"})) << planted << ": " << err;
        EXPECT_NE(std::string::npos, out.find("\t" + planted + "\n")) << out;
    }
}

TEST_F(Inspection, ForeignTruncatedAndDamagedFilesEndWithCodeTwo) {
    std::string setup = Slurp(kWin + "/tessaron-setup.exe");
    ASSERT_FALSE(setup.empty());
    struct Case {
        const char* what;
        std::string path;
        const char* says;
    };
    const std::vector<Case> cases = {
        {"a text file", Put("notes.txt", "This is not a program at all, only a few words of text.\n"),
         "not a Windows program"},
        {"an empty file", Put("empty.exe", ""), "not a Windows program"},
        {"a PNG picture", std::string(TSD_SOURCE_DIR) + "/resources/logo.png", "not a Windows program"},
        {"the setup program cut in half", Put("half.exe", setup.substr(0, setup.size() / 2)), "damaged"},
        {"the setup program without its last byte", Put("short.exe", setup.substr(0, setup.size() - 1)),
         "cut short"},
        {"a program without payload", kWin + "/tsd.exe", "carries no payload"},
        {"the setup program with a damaged payload", kWin + "/tessaron-setup-damaged.exe", "does not inflate"},
        {"a payload cut short", Put("cut.exe", TinyProgram({{u"FILES", 0, u"FILES", 0, RealPayload().substr(0, 1000)}})),
         "cut short"},
        {"bytes after the payload", Put("tail.exe", TinyProgram({{u"FILES", 0, u"FILES", 0, RealPayload() + "x"}})),
         "follow"},
        {"an entry running past the end",
         Put("entry.exe", TinyProgram({{u"FILES", 0, u"FILES", 0, DeflateForTest(std::string("\x05" "a.txt", 6))}})),
         "entry 1 runs past"},
    };
    for (const auto& c : cases) {
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{"list", c.path}, {"verify", c.path, "--listing", kListing},
              {"extract", c.path, dir + "/out"}}) {
            EXPECT_EQ(2, Run(args)) << c.what << " " << args[0];
            EXPECT_NE(std::string::npos, err.find(c.says)) << c.what << " " << args[0] << " said: " << err;
            EXPECT_EQ("", out) << c.what << " " << args[0];
        }
        EXPECT_FALSE(Exists(dir + "/out")) << c.what;
    }
    EXPECT_EQ(1, Run({"list"}));
    EXPECT_EQ(1, Run({"extract", kWin + "/tessaron-setup.exe"}));
    EXPECT_EQ(1, Run({"verify", kWin + "/tessaron-setup.exe", "--out", "x"})) << "verify writes nothing";
}

}  // namespace
