// The install log: equality, suspension, loading and saving byte for byte.
#include <gtest/gtest.h>

#include "install/InstUtils.h"
#include "install/InstallLog.h"
#include "install/RunFlags.h"
#include "platform/fake/fake.h"
#include "tests/host/TestMachine.h"

namespace {

using Lines = std::vector<std::string>;

class InstallLog : public ::testing::Test {
protected:
    void SetUp() override {
        StartFreshProcess();
    }
};

TEST_F(InstallLog, NothingIsRecordedBeforeTheLogStarts) {
    SuspendLog();
    LogLine("File Copy: C:\\x");
    ResumeLog();
    LogLine("File Copy: C:\\y");
    EXPECT_EQ(nullptr, LogList);
}

TEST_F(InstallLog, EqualLinesInAnyCaseAreAddedOnce) {
    StartInstallLog(u"C:\\Apps\\Tessaron", true);
    LogLine("File Copy: C:\\Apps\\Tessaron\\tsd.exe");
    LogLine("FILE COPY: c:\\apps\\tessaron\\TSD.EXE");
    LogLine("Made Dir: C:\\Apps\\");
    EXPECT_EQ((Lines{"File Copy: C:\\Apps\\Tessaron\\tsd.exe", "Made Dir: C:\\Apps\\"}), *LogList);
}

TEST_F(InstallLog, SuspensionNests) {
    StartInstallLog(u"C:\\T", true);
    SuspendLog();
    SuspendLog();
    ResumeLog();
    LogLine("File Copy: a");
    EXPECT_TRUE(LogList->empty());
    ResumeLog();
    LogLine("File Copy: a");
    EXPECT_EQ(1u, LogList->size());
}

TEST_F(InstallLog, SplittingKeepsInnerEmptyLinesAndDropsTheLastBreak) {
    EXPECT_EQ((Lines{"a", "", "b"}), SplitLogLines("a\r\n\r\nb\r\n"));
    EXPECT_EQ((Lines{"a", "b", "c", "d"}), SplitLogLines("a\rb\nc\r\nd"));
    EXPECT_EQ((Lines{"a", ""}), SplitLogLines("a\n\r"));
    EXPECT_EQ((Lines{"a"}), SplitLogLines(std::string("a\r\n\0b\r\n", 7)));
    EXPECT_EQ(Lines{}, SplitLogLines(""));
    EXPECT_EQ((Lines{""}), SplitLogLines("\r\n"));
}

TEST_F(InstallLog, ReinstallationRoundTripsByteForByte) {
    const std::string previous =
        "Made Dir: C:\\Program Files\\Tessaron\\\r\n\r\nFile Copy: C:\\Program Files\\Tessaron\\tsd.exe\r\n"
        "File Copy: C:\\Program Files\\Tessaron\\Caf\xC3\xA9.txt\r\n";
    fake::PutFile(u"C:\\Program Files\\Tessaron\\Install.log", previous);
    StartInstallLog(u"C:\\Program Files\\Tessaron\\", false);
    EXPECT_TRUE(LogActive);
    EXPECT_EQ(u"C:\\Program Files\\Tessaron\\Install.log", LogFileName);
    ASSERT_EQ(4u, LogList->size());
    EXPECT_EQ("", (*LogList)[1]);
    LogLine("file copy: c:\\program files\\tessaron\\TSD.exe");
    SaveInstallLog();
    EXPECT_EQ(previous, fake::FileBytes(u"C:\\Program Files\\Tessaron\\Install.log"));

    LogLine("File Copy: C:\\new.lnk");
    SaveInstallLog();
    EXPECT_EQ(previous + "File Copy: C:\\new.lnk\r\n",
              fake::FileBytes(u"C:\\Program Files\\Tessaron\\Install.log"));
}

TEST_F(InstallLog, LoadedDuplicatesStayAndUnreadableFilesAreIgnored) {
    fake::PutFile(u"C:\\T\\Install.log", "a\r\nA\r\n");
    StartInstallLog(u"C:\\T", false);
    EXPECT_EQ((Lines{"a", "A"}), *LogList) << "loaded lines skip the equality test";

    ResetInstallLog();
    fake::HoldOpen(u"C:\\T\\Install.log");
    StartInstallLog(u"C:\\T", false);
    EXPECT_TRUE(LogList->empty());
    SaveInstallLog();  // fails quietly
    EXPECT_EQ("a\r\nA\r\n", fake::FileBytes(u"C:\\T\\Install.log"));
}

TEST_F(InstallLog, ALogTooLargeToReadCountsAsUnreadable) {
    std::string huge = "a\r\n" + std::string(kMaxReadableFileSize - 2, 'x');
    fake::PutFile(u"C:\\T\\Install.log", huge);
    StartInstallLog(u"C:\\T", false);
    EXPECT_TRUE(LogList->empty());
    LogLine("File Copy: C:\\T\\tsd.exe");
    SaveInstallLog();
    EXPECT_EQ("File Copy: C:\\T\\tsd.exe\r\n", fake::FileBytes(u"C:\\T\\Install.log"));
}

TEST_F(InstallLog, PortableInstallationKeepsItsLogInMemory) {
    fake::PutFile(u"C:\\Port\\Install.log", "old\r\n");
    StartInstallLog(u"C:\\Port", true);
    EXPECT_TRUE(LogList->empty());
    EXPECT_EQ(u"", LogFileName);
    LogLine("File Copy: C:\\Port\\tsd.exe");
    SaveInstallLog();
    EXPECT_EQ("old\r\n", fake::FileBytes(u"C:\\Port\\Install.log"));
}

TEST_F(InstallLog, ComparisonIgnoresCase) {
    EXPECT_EQ(0, CompareLogText("Made Dir: C:\\A\\", "made dir: c:\\a\\"));
    EXPECT_LT(CompareLogText("apple", "Banana"), 0);
    EXPECT_GT(CompareLogText("b", "A"), 0);
}

}  // namespace
