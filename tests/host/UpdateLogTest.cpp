// Merging a run's shared files into the update log.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "install/InstUtils.h"
#include "tests/host/TestMachine.h"
#include "wizard/engine/UpdateLog.h"

namespace {

using Lines = std::vector<std::string>;

class UpdateLog : public ::testing::Test {
protected:
    void SetUp() override { StartFreshProcess(); }
    const plat::Wide path = u"C:\\ProgramData\\Tessaron\\Update.log";
};

TEST_F(UpdateLog, MarkerHoldsTheStampBytesInMemoryOrder) {
    EXPECT_EQ("*00000000B04DE640", UpdateLogMarker(45677.5));
}

TEST_F(UpdateLog, FirstInstallationWritesOneMarkerAndTheSortedFiles) {
    fake::PutFolder(u"C:\\ProgramData\\Tessaron");
    ASSERT_TRUE(WriteUpdateLog(path, {"C:\\P\\b.rtf\t!", "C:\\P\\A.rtf\t!", "C:\\P\\c.rtf"}, 45677.5));
    EXPECT_EQ("*00000000B04DE640\r\nC:\\P\\A.rtf\t!\r\nC:\\P\\b.rtf\t!\r\nC:\\P\\c.rtf\r\n",
              fake::FileBytes(path));
}

TEST_F(UpdateLog, ReinstallingTheSamePayloadKeepsOneMarker) {
    Lines run = {"C:\\P\\a.rtf\t!", "C:\\P\\b.rtf\t!"};
    Lines merged = MergeUpdateLog(MergeUpdateLog({}, run, 1.0), run, 2.0);
    EXPECT_EQ((Lines{UpdateLogMarker(2.0), "C:\\P\\a.rtf\t!", "C:\\P\\b.rtf\t!"}), merged);
}

TEST_F(UpdateLog, FilesNoLongerShippedKeepTheirOldMarker) {
    Lines first = MergeUpdateLog({}, {"C:\\P\\old.rtf\t!", "C:\\P\\a.rtf\t!"}, 1.0);
    Lines merged = MergeUpdateLog(first, {"C:\\P\\A.RTF\t!"}, 2.0);
    EXPECT_EQ((Lines{UpdateLogMarker(1.0), "C:\\P\\old.rtf\t!", UpdateLogMarker(2.0), "C:\\P\\A.RTF\t!"}),
              merged)
        << "lines differing only in case are the same line";
}

TEST_F(UpdateLog, AReinstallationAsksTheCollationAboutOncePerLine) {
    Lines run;
    for (int i = 0; i < 200; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "C:\\P\\file%03d.rtf\t!", i);
        run.push_back(name);
    }
    Lines first = MergeUpdateLog({}, run, 1.0);
    int before = fake::CollationCount();
    Lines merged = MergeUpdateLog(first, run, 2.0);
    Lines expected = {UpdateLogMarker(2.0)};
    expected.insert(expected.end(), run.begin(), run.end());
    EXPECT_EQ(expected, merged);
    // 199 to see that the lines are in order, a few to look for the old marker.
    EXPECT_LE(fake::CollationCount() - before, 199 + 10);
}

// A first installation's lines come folder by folder, each folder's in order.
TEST_F(UpdateLog, AFirstInstallationAsksTheCollationAboutTwicePerLine) {
    Lines run;
    char name[64];
    for (int i = 0; i < 100; ++i) {
        std::snprintf(name, sizeof name, "C:\\P\\Templates\\t%03d.rtf\t!", i);
        run.push_back(name);
    }
    for (int i = 0; i < 100; ++i) {
        std::snprintf(name, sizeof name, "C:\\P\\Clip Library\\c%03d.wmf\t!", i);
        run.push_back(name);
    }
    int before = fake::CollationCount();
    Lines merged = MergeUpdateLog({}, run, 1.0);
    EXPECT_LE(fake::CollationCount() - before, 2 * 200);
    ASSERT_EQ(201u, merged.size());
    EXPECT_EQ("C:\\P\\Clip Library\\c000.wmf\t!", merged[1]);
    EXPECT_EQ("C:\\P\\Clip Library\\c099.wmf\t!", merged[100]);
    EXPECT_EQ("C:\\P\\Templates\\t000.rtf\t!", merged[101]);
    EXPECT_EQ("C:\\P\\Templates\\t099.rtf\t!", merged[200]);
}

// Whatever the stretches, the lines come out as a stable sort by the collation puts them: lines
// the collation holds equal keep the run's order.
TEST_F(UpdateLog, TheRunsLinesComeOutAsAStableSortPutsThem) {
    const Lines cases[] = {
        {},
        {"C:\\P\\a.rtf"},
        {"C:\\P\\b.rtf", "C:\\P\\B.RTF", "C:\\P\\a.rtf", "C:\\P\\A.rtf", "C:\\P\\b.rtf\t!"},
        {"C:\\P\\c", "C:\\P\\d", "C:\\P\\a", "C:\\P\\C", "C:\\P\\b", "C:\\P\\A", "C:\\P\\e"},
        {"C:\\P\\z", "C:\\P\\y", "C:\\P\\x", "C:\\P\\w", "C:\\P\\v", "C:\\P\\u", "C:\\P\\t",
         "C:\\P\\s", "C:\\P\\r", "C:\\P\\q", "C:\\P\\Y", "C:\\P\\X"},
        {"C:\\P\\my file.rtf", "C:\\P\\my-file.rtf", "C:\\P\\myfile.rtf", "C:\\P\\My File.rtf",
         "C:\\P\\m\xC3\xA4rz.rtf", "C:\\P\\marz.rtf"},
    };
    for (const Lines& run : cases) {
        Lines expected = run;
        std::stable_sort(expected.begin(), expected.end(), [](const std::string& a, const std::string& b) {
            return plat::CompareStringA(plat::kLocaleUserDefault, plat::kNormIgnoreCase | plat::kSortStringSort,
                                        a, b) == plat::kCstrLessThan;
        });
        expected.insert(expected.begin(), UpdateLogMarker(1.0));
        EXPECT_EQ(expected, MergeUpdateLog({}, run, 1.0));
    }
    // One spelled out.
    EXPECT_EQ((Lines{UpdateLogMarker(1.0), "C:\\P\\a", "C:\\P\\A", "C:\\P\\b", "C:\\P\\c", "C:\\P\\C",
                     "C:\\P\\d", "C:\\P\\e"}),
              MergeUpdateLog({}, cases[3], 1.0));
}

TEST_F(UpdateLog, AnOldLineEqualOnlyToTheCollationIsStillThisRunsLine) {
    Lines first = MergeUpdateLog({}, {"C:\\P\\z.rtf\t!", "C:\\P\\b.rtf\t!", "C:\\P\\a.rtf\t!"}, 1.0);
    Lines merged = MergeUpdateLog(first, {"C:\\p\\Z.RTF\t!", "C:\\p\\a.rtf\t!"}, 2.0);
    EXPECT_EQ((Lines{UpdateLogMarker(1.0), "C:\\P\\b.rtf\t!", UpdateLogMarker(2.0), "C:\\p\\a.rtf\t!",
                     "C:\\p\\Z.RTF\t!"}),
              merged);
}

TEST_F(UpdateLog, EmptyLinesAndRunsOfMarkersAreTidied) {
    Lines existing = {"", "*AAAA", "*BBBB", "", "C:\\x", "*CCCC", "*DDDD", ""};
    EXPECT_EQ((Lines{"*AAAA", "C:\\x", UpdateLogMarker(3.0), "C:\\y"}),
              MergeUpdateLog(existing, {"C:\\y"}, 3.0));
}

TEST_F(UpdateLog, NoLinesLeaveTheFileUntouched) {
    fake::PutFile(path, "*0\r\nC:\\x\r\n");
    ASSERT_TRUE(WriteUpdateLog(path, {}, 1.0));
    EXPECT_EQ("*0\r\nC:\\x\r\n", fake::FileBytes(path));
    ASSERT_TRUE(WriteUpdateLog(u"C:\\ProgramData\\Tessaron\\Other.log", {}, 1.0));
    EXPECT_FALSE(fake::FileExistsAt(u"C:\\ProgramData\\Tessaron\\Other.log"));
}

TEST_F(UpdateLog, ALogThatCannotBeReadOrWrittenIsKeptWhole) {
    fake::PutFile(path, "*0\r\nC:\\keep\r\n");
    fake::HoldOpen(path);
    EXPECT_FALSE(WriteUpdateLog(path, {"C:\\y"}, 1.0));
    fake::HoldOpen(path, false);
    EXPECT_EQ("*0\r\nC:\\keep\r\n", fake::FileBytes(path));

    // One byte more than is read is as unreadable.
    const std::string huge = "*0\r\nC:\\keep\r\n" + std::string(kMaxReadableFileSize - 12, 'x');
    fake::PutFile(path, huge);
    EXPECT_FALSE(WriteUpdateLog(path, {"C:\\y"}, 1.0));
    EXPECT_EQ(huge, fake::FileBytes(path));
    fake::PutFile(path, "*0\r\nC:\\keep\r\n");

    fake::FailWrites(path + u".~0", 1, 3);
    EXPECT_FALSE(WriteUpdateLog(path, {"C:\\y"}, 1.0));
    EXPECT_EQ("*0\r\nC:\\keep\r\n", fake::FileBytes(path)) << "a failed write loses nothing";
    EXPECT_FALSE(fake::FileExistsAt(path + u".~0"));

    ASSERT_TRUE(WriteUpdateLog(path, {"C:\\y"}, 1.0));
    EXPECT_EQ("*0\r\nC:\\keep\r\n" + UpdateLogMarker(1.0) + "\r\nC:\\y\r\n", fake::FileBytes(path));
}

}  // namespace
