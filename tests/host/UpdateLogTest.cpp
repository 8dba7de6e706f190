// Merging a run's shared files into the update log.
#include <gtest/gtest.h>

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

// Lines in no order are sorted by their keys: one call into the collation per line, and no
// comparison of two lines by it.
TEST_F(UpdateLog, AFirstInstallationAsksOneSortKeyPerLineAndComparesNone) {
    Lines run;
    char name[64];
    for (int i = 0; i < 200; ++i) {
        std::snprintf(name, sizeof name, "C:\\P\\%s%03d.rtf\t!", i % 2 ? "B" : "a", 199 - i);
        run.push_back(name);
    }
    int comparisons = fake::CollationCount(), keys = fake::SortKeyCount();
    Lines merged = MergeUpdateLog({}, run, 1.0);
    EXPECT_EQ(0, fake::CollationCount() - comparisons);
    EXPECT_EQ(200, fake::SortKeyCount() - keys);
    ASSERT_EQ(201u, merged.size());
    EXPECT_EQ("C:\\P\\a001.rtf\t!", merged[1]);
    EXPECT_EQ("C:\\P\\a199.rtf\t!", merged[100]);
    EXPECT_EQ("C:\\P\\B000.rtf\t!", merged[101]);
    EXPECT_EQ("C:\\P\\B198.rtf\t!", merged[200]);
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
