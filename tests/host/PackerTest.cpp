// The payload packer, run as the build runs it: its round trip and its refusals.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "image/Zlib.h"
#include "install/DosTime.h"
#include "payload/PayloadFormat.h"

namespace {

class Packer : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/tsdpack-test-XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(pattern));
        dir = pattern;
    }
    void TearDown() override { std::system(("rm -rf '" + dir + "'").c_str()); }

    void Put(const std::string& relative, const std::string& bytes) {
        std::string path = dir + "/" + relative;
        std::system(("mkdir -p \"$(dirname '" + path + "')\"").c_str());
        std::ofstream(path, std::ios::binary) << bytes;
    }
    // Runs the packer; gives its exit code and keeps its messages.
    int Pack(const std::string& listing, const std::string& extra = "") {
        Put("listing.txt", listing);
        std::string command = std::string(TSD_PACKER) + " --listing '" + dir + "/listing.txt' --out '" +
                              dir + "/payload.bin' " + extra + " 2>'" + dir + "/err.txt' >/dev/null";
        int status = std::system(command.c_str());
        std::ifstream err(dir + "/err.txt");
        std::stringstream text;
        text << err.rdbuf();
        messages = text.str();
        return WEXITSTATUS(status);
    }
    std::string ReadFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    bool Exists(const std::string& relative) {
        struct stat st;
        return stat((dir + "/" + relative).c_str(), &st) == 0;
    }

    std::string dir;
    std::string messages;
};

struct Walked {
    std::string name;
    double time;
    std::string data;
};

std::vector<Walked> Unpack(const std::string& packed) {
    InflatedData block;
    uint32_t length = 0;
    EXPECT_TRUE(InflateBuffer(packed.data(), static_cast<uint32_t>(packed.size()), 0, &block, &length));
    std::vector<Walked> out;
    EXPECT_TRUE(WalkPayload(block.get(), length, [&](const PayloadEntryView& e) {
        out.push_back({std::string(e.name, e.nameLength), e.time,
                       std::string(reinterpret_cast<const char*>(e.data), static_cast<size_t>(e.size))});
    }));
    return out;
}

TEST_F(Packer, RoundTripKeepsOrderNamesBytesAndStamps) {
    Put("prog.bin", std::string("MZ\0\1binary", 10));
    Put("License.txt", "Licence text\r\n");
    Put("Templates/Letters/Letter 1.rtf", "{\\rtf1 letter}");
    Put("Clip Library/Headers & Footers/h.txt", "");
    int code = Pack("# payload\n"
                    "tsd.exe\t2026-11-20 04:43:38\n"
                    "License.txt\t2026-11-20 04:43:39\n"  // odd second: stored as :38
                    "Templates\\Letters\\Letter 1.rtf\t1980-01-01 00:00:00\r\n"
                    "Clip Library\\Headers & Footers\\h.txt\t2099-12-31 23:59:58\n",
                    "--set 'tsd.exe=" + dir + "/prog.bin'");
    ASSERT_EQ(0, code) << messages;
    std::string packed = ReadFile(dir + "/payload.bin");
    ASSERT_GE(packed.size(), 2u);
    EXPECT_EQ("\x78\xDA", packed.substr(0, 2)) << "strongest compression";

    auto entries = Unpack(packed);
    ASSERT_EQ(4u, entries.size());
    EXPECT_EQ("tsd.exe", entries[0].name);
    EXPECT_EQ(std::string("MZ\0\1binary", 10), entries[0].data);
    EXPECT_EQ("License.txt", entries[1].name);
    EXPECT_EQ("Templates\\Letters\\Letter 1.rtf", entries[2].name);
    EXPECT_EQ("{\\rtf1 letter}", entries[2].data);
    EXPECT_EQ("Clip Library\\Headers & Footers\\h.txt", entries[3].name);
    EXPECT_EQ("", entries[3].data);

    double release = EncodeDate(2026, 11, 20) + EncodeTime(4, 43, 38, 0);
    EXPECT_EQ(release, entries[0].time);
    EXPECT_EQ(release, entries[1].time) << "two-second form";
    EXPECT_EQ(EncodeDate(1980, 1, 1), entries[2].time);
    for (const auto& e : entries)
        EXPECT_EQ(DosTimeToDate(DateToDosTime(e.time)), e.time) << e.name << " is on a DOS time";

    // Packing again from the same inputs gives the same bytes.
    ASSERT_EQ(0, Pack(ReadFile(dir + "/listing.txt"), "--set 'tsd.exe=" + dir + "/prog.bin'"));
    EXPECT_EQ(packed, ReadFile(dir + "/payload.bin"));
}

TEST_F(Packer, StampsFromTheFileTimeThroughTheTwoSecondForm) {
    Put("a.txt", "abc");
    struct tm local = {};
    local.tm_year = 2025 - 1900;
    local.tm_mon = 5;
    local.tm_mday = 17;
    local.tm_hour = 13;
    local.tm_min = 14;
    local.tm_sec = 15;
    local.tm_isdst = -1;
    struct utimbuf times;
    times.actime = times.modtime = mktime(&local);
    ASSERT_EQ(0, utime((dir + "/a.txt").c_str(), &times));
    ASSERT_EQ(0, Pack("a.txt\n")) << messages;
    auto entries = Unpack(ReadFile(dir + "/payload.bin"));
    ASSERT_EQ(1u, entries.size());
    EXPECT_EQ(EncodeDate(2025, 6, 17) + EncodeTime(13, 14, 14, 0), entries[0].time);
}

TEST_F(Packer, RefusesNamesThatCannotBeInstalledSafely) {
    Put("a.txt", "abc");
    Put("b.txt", "def");
    const std::string stamp = "\t2026-01-01 00:00:00\n";
    struct Case {
        std::string listing;
        std::string says;
    };
    // The names' own rules have their table in the payload name tests; one of them here shows
    // that the packer applies them.
    const std::vector<Case> cases = {
        {"a.txt" + stamp + "A.TXT" + stamp, "letter case"},
        {"..\\a.txt" + stamp, "\"..\""},
        {"missing.txt" + stamp, "no file"},
        {"a.txt\t1979-12-31 23:59:58\n", "1980"},
        {"a.txt\t2100-01-01 00:00:00\n", "1980"},
        {"a.txt\t2026-02-30 00:00:00\n", "impossible"},
        {"a.txt\tyesterday\n", "YYYY-MM-DD"},
        {"# nothing\n", "no entries"},
    };
    for (const auto& c : cases) {
        std::remove((dir + "/payload.bin").c_str());
        EXPECT_EQ(1, Pack(c.listing)) << c.listing;
        EXPECT_NE(std::string::npos, messages.find(c.says)) << c.listing << " said: " << messages;
        EXPECT_FALSE(Exists("payload.bin")) << "nothing is written for " << c.listing;
    }
    EXPECT_EQ(1, Pack("a.txt" + stamp, "--set 'nope.exe=/bin/true'"));
    EXPECT_EQ(1, Pack("a.txt" + stamp, "--bogus"));
}

TEST_F(Packer, AcceptsTheLongestNameAndPlainNonAsciiNames) {
    std::string longName(251, 'n');
    Put(longName + ".txt", "long");
    Put("Caf\xC3\xA9 \xE4\xB8\xAD.txt", "bmp");
    ASSERT_EQ(0, Pack(longName + ".txt\t2026-01-01 00:00:00\nCaf\xC3\xA9 \xE4\xB8\xAD.txt\t2026-01-01 00:00:00\n"))
        << messages;
    auto entries = Unpack(ReadFile(dir + "/payload.bin"));
    ASSERT_EQ(2u, entries.size());
    EXPECT_EQ(255u, entries[0].name.size());
}

}  // namespace
