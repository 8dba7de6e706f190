// The entry as far as the payload: silent switch, payload reader, damaged program files and the
// exit code. The real payload of the build is checked for its content.
#include <gtest/gtest.h>

#include <zlib.h>

#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

#include "app/Entry.h"
#include "base/Utf8.h"
#include "install/RunFlags.h"
#include "payload/AttachFiles.h"
#include "payload/PayloadFormat.h"
#include "platform/fake/fake.h"
#include "tests/host/TestMachine.h"
#include "wizard/lang/UILang.h"

namespace {

std::string SmallPayload() {
    std::string raw;
    AppendPayloadEntry(&raw, "tsd.exe", 46000.5, "MZ");
    AppendPayloadEntry(&raw, "License.txt", 46000.5, "Licence");
    AppendPayloadEntry(&raw, "Templates\\Letters\\Caf\xC3\xA9.rtf", 46000.5, "{\\rtf1}");
    return DeflateForTest(raw);
}

class Entry : public ::testing::Test {
protected:
    void SetUp() override {
        StartFreshProcess();
    }
    int Run(const std::string& payload, const plat::Wide& commandLine) {
        fake::SetResource("FILES", "FILES", payload);
        fake::SetCommandLine(commandLine);
        return SetupMain();
    }
};

TEST_F(Entry, ListsThePayloadEntriesAndEndsWithZero) {
    EXPECT_EQ(0, Run(SmallPayload(), u"setup.exe -S"));
    EXPECT_TRUE(Silent);
    ASSERT_NE(nullptr, AttachedFiles);
    ASSERT_EQ(3u, AttachedFiles->Entries.size());
    EXPECT_EQ(u"tsd.exe", AttachedFiles->Entries[0]->Name);
    EXPECT_EQ(u"Templates\\Letters\\Caf\u00e9.rtf", AttachedFiles->Entries[2]->Name);
    EXPECT_EQ(7, AttachedFiles->Entries[1]->Size);
    EXPECT_EQ(0, std::memcmp("Licence", AttachedFiles->Entries[1]->Data, 7));
    EXPECT_EQ(46000.5, AttachedFiles->Entries[1]->Time);
    EXPECT_TRUE(fake::ShownBoxes().empty());
}

TEST_F(Entry, DamagedPayloadStopsSilentlyWithExitCodeThree) {
    std::string damaged = SmallPayload();
    damaged[damaged.size() / 2] ^= 0x55;
    damaged[damaged.size() / 2 + 1] ^= 0x55;
    EXPECT_EQ(kExitDamaged, Run(damaged, u"setup.exe -S"));
    EXPECT_TRUE(fake::ShownBoxes().empty()) << "a silent run shows nothing";
}

TEST_F(Entry, DamagedPayloadIsReportedInAnInteractiveRun) {
    EXPECT_EQ(kExitDamaged, Run("not zlib data at all", u"setup.exe"));
    ASSERT_EQ(1u, fake::ShownBoxes().size());
    const auto& box = fake::ShownBoxes()[0];
    EXPECT_NE(plat::Wide::npos, box.text.find(u"damaged"));
    EXPECT_EQ(u"Tessaron Word Processor - Setup", box.caption);
    EXPECT_TRUE(box.flags & plat::kMbTaskModal);
    EXPECT_EQ(plat::kMbIconError, box.flags & 0xF0);
}

TEST_F(Entry, PayloadWhoseWalkRunsPastTheEndIsDamaged) {
    std::string raw;
    AppendPayloadEntry(&raw, "tsd.exe", 46000.5, "MZ");
    raw.push_back('\x05');
    raw += "abc";  // a name that the block ends in
    EXPECT_EQ(kExitDamaged, Run(DeflateForTest(raw), u"setup.exe -S"));
    EXPECT_TRUE(AttachedFiles->Entries.empty());
}

TEST_F(Entry, MissingPayloadIsDamaged) {
    fake::SetCommandLine(u"setup.exe -S");
    EXPECT_EQ(kExitDamaged, SetupMain());
}

// The payload that the build packs into the real setup program.
TEST(RealPayload, HoldsThe260EntriesInTheirFolders) {
    ASSERT_TRUE(StartFreshProcessWithRealPayload()) << "build the Windows payload first: " << TSD_PAYLOAD_FILE;
    ASSERT_EQ("\x78\xDA", RealPayload().substr(0, 2));
    fake::SetCommandLine(u"setup.exe -S");
    ASSERT_EQ(0, SetupMain());
    const auto& entries = AttachedFiles->Entries;
    ASSERT_EQ(260u, entries.size());
    EXPECT_EQ(u"tsd.exe", entries[0]->Name);
    EXPECT_EQ(0, std::memcmp("MZ", entries[0]->Data, 2));
    EXPECT_EQ(u"License.txt", entries[1]->Name);

    std::map<std::string, int> perFolder;
    std::map<std::string, int> imageFolders;
    std::vector<std::string> topOrder;  // top folders in stored order, runs collapsed
    for (size_t i = 2; i < entries.size(); ++i) {
        std::string name = Utf8Of(entries[i]->Name);
        std::string top = name.substr(0, name.find('\\') + 1);
        if (topOrder.empty() || topOrder.back() != top) topOrder.push_back(top);
        size_t second = name.find('\\', top.size());
        ASSERT_NE(std::string::npos, second) << name;
        std::string folder = name.substr(0, second + 1);
        ++perFolder[folder];
        if (folder == "Clip Library\\Images\\") {
            size_t third = name.find('\\', second + 1);
            ASSERT_NE(std::string::npos, third) << "images lie in sub-folders: " << name;
            ++imageFolders[name.substr(0, third)];
        }
        EXPECT_GE(entries[i]->Size, 8) << name;
    }
    EXPECT_EQ((std::vector<std::string>{"Templates\\", "Clip Library\\"}), topOrder)
        << "all templates, then all clip library items";
    std::map<std::string, int> expected = {
        {"Templates\\Letters\\", 4},          {"Templates\\Memos\\", 5},
        {"Templates\\Stories\\", 2},          {"Templates\\TOCs\\", 5},
        {"Clip Library\\Closings\\", 28},     {"Clip Library\\Greetings\\", 7},
        {"Clip Library\\Headers & Footers\\", 16}, {"Clip Library\\Images\\", 125},
        {"Clip Library\\Miscellaneous\\", 16}, {"Clip Library\\Phrases\\", 28},
        {"Clip Library\\Salutations\\", 13},  {"Clip Library\\Tables\\", 9}};
    EXPECT_EQ(expected, perFolder);
    EXPECT_EQ(14u, imageFolders.size());
}

}  // namespace
