// Replacing an existing file: the new bytes go to a temporary file beside it, which then takes
// its place, so that a failure at any step leaves the old file as it was.
#include <gtest/gtest.h>

#include <algorithm>

#include "install/InstUtils.h"
#include "install/SmallFiles.h"
#include "install/InstallLog.h"
#include "install/RunFlags.h"
#include "install/SafeWrite.h"
#include "payload/AttachFiles.h"
#include "payload/PayloadFormat.h"
#include "platform/fake/fake.h"
#include "tests/host/TestMachine.h"
#include "wizard/engine/UpdateLog.h"

namespace {

using fake::Operation;

const double kStamp = 46000.5;
const plat::Wide kExe = u"C:\\Apps\\Tessaron\\tsd.exe";
const plat::FileTime kOldTime = 130000000000000000ull;

class SafeReplace : public ::testing::Test {
protected:
    void SetUp() override {
        StartFreshProcess();
        std::string raw;
        AppendPayloadEntry(&raw, "tsd.exe", kStamp, "new program");
        // A payload file named like the first temporary name of tsd.exe.
        AppendPayloadEntry(&raw, "tsd.exe.~0", kStamp, "not a temporary file");
        fake::SetResource("FILES", "FILES", DeflateForTest(raw));
        files = std::make_unique<TAttachedFiles>();
        ASSERT_TRUE(files->Loaded());
        StartInstallLog(u"C:\\Apps\\Tessaron", true);
        fake::PutFile(kExe, "old program", kOldTime);
    }
    // Fails the next operation of that kind.
    static void FailNext(Operation op, fake::FaultKind kind = fake::FaultKind::Fail) {
        fake::FailOperation(op, fake::OperationCount(op) + 1, kind);
    }
    bool Install() { return files->InstallFile(files->Entries[0].get(), "", kExe); }
    void ExpectOldFileOnly() {
        EXPECT_EQ("old program", fake::FileBytes(kExe));
        EXPECT_EQ(kOldTime, fake::FileWriteTime(kExe));
        EXPECT_EQ((std::vector<plat::Wide>{u"tsd.exe"}), fake::ListTree(u"C:\\Apps\\Tessaron"))
            << "no temporary file is left";
        for (const auto& line : *LogList) EXPECT_EQ(std::string::npos, line.find("File Copy")) << line;
        EXPECT_EQ(0, fake::OpenHandleCount());
    }
    std::unique_ptr<TAttachedFiles> files;
};

TEST_F(SafeReplace, AReplacedFileHasTheNewBytesStampAndLogLineAndNoTemporaryFile) {
    ASSERT_TRUE(Install());
    EXPECT_EQ("new program", fake::FileBytes(kExe));
    EXPECT_EQ(kStamp, FileDateOf(kExe));
    EXPECT_EQ(1, fake::OperationCount(Operation::MoveFile));
    EXPECT_EQ((std::vector<plat::Wide>{u"tsd.exe"}), fake::ListTree(u"C:\\Apps\\Tessaron"));
    EXPECT_EQ(1, std::count(LogList->begin(), LogList->end(), "File Copy: " + Utf8Of(kExe)));
}

TEST_F(SafeReplace, TheNewBytesAreOnTheDiskBeforeTheMoveThatIsWrittenThrough) {
    ASSERT_TRUE(Install());
    EXPECT_EQ(1, fake::OperationCount(Operation::FlushFile));
    EXPECT_TRUE(fake::FlushedAt(kExe)) << "flushed as the temporary file, before the move";
    EXPECT_EQ(plat::kMoveFileReplaceExisting | plat::kMoveFileWriteThrough, fake::MovedInWith(kExe));
}

TEST_F(SafeReplace, AMissingFileIsWrittenDirectly) {
    const plat::Wide fresh = u"C:\\Apps\\Tessaron\\Fresh\\tsd.exe";
    ASSERT_TRUE(files->InstallFile(files->Entries[0].get(), "", fresh));
    EXPECT_EQ("new program", fake::FileBytes(fresh));
    EXPECT_EQ(0, fake::OperationCount(Operation::MoveFile));
    EXPECT_EQ(0, fake::OperationCount(Operation::FlushFile)) << "nothing old to lose";
}

TEST_F(SafeReplace, FailuresOfTheTemporaryFileKeepTheOldOne) {
    Silent = true;
    for (auto [op, kind] : {std::pair{Operation::CreateFile, fake::FaultKind::Fail},
                            std::pair{Operation::WriteFile, fake::FaultKind::Fail},
                            std::pair{Operation::WriteFile, fake::FaultKind::ShortWrite},
                            std::pair{Operation::FlushFile, fake::FaultKind::Fail},
                            std::pair{Operation::MoveFile, fake::FaultKind::Fail}}) {
        SCOPED_TRACE(fake::OperationName(op));
        ExitCode = 0;
        FailNext(op, kind);
        EXPECT_FALSE(Install()) << "a short write is no success";
        EXPECT_TRUE(fake::FaultHappened());
        EXPECT_EQ(kExitCannotWrite, ExitCode);
        ExpectOldFileOnly();
    }
}

TEST_F(SafeReplace, AbortRetryAndIgnoreAfterAFailedReplacement) {
    FailNext(Operation::MoveFile);
    fake::ScriptAnswers({plat::kIdAbort});
    EXPECT_FALSE(Install());
    ExpectOldFileOnly();

    FailNext(Operation::WriteFile);
    fake::ScriptAnswers({plat::kIdIgnore});
    EXPECT_TRUE(Install()) << "Ignore goes on";
    ExpectOldFileOnly();

    FailNext(Operation::WriteFile, fake::FaultKind::ShortWrite);
    fake::ScriptAnswers({plat::kIdRetry});
    EXPECT_TRUE(Install());
    EXPECT_EQ("new program", fake::FileBytes(kExe));
    EXPECT_EQ(3u, fake::ShownBoxes().size());
}

TEST_F(SafeReplace, AFailedStampOnTheTemporaryFileStillReplaces) {
    FailNext(Operation::SetFileTime);
    ASSERT_TRUE(Install());
    EXPECT_TRUE(fake::FaultHappened());
    EXPECT_EQ("new program", fake::FileBytes(kExe));
    EXPECT_NE(kStamp, FileDateOf(kExe)) << "the file keeps the time it was written";
    EXPECT_EQ(1, std::count(LogList->begin(), LogList->end(), "File Copy: " + Utf8Of(kExe)));
}

TEST_F(SafeReplace, TheTemporaryNameAvoidsFoldersLinksAndFilesStillToBeWritten) {
    ForceOverwrite = true;
    files->SelectFiles("tsd.exe.~0", u"C:\\Apps\\Tessaron", CopyIfChanged);
    fake::PutFolder(kExe + u".~1");
    fake::PutLink(kExe + u".~2", u"C:\\Elsewhere\\x.txt", false);
    FailNext(Operation::MoveFile);
    Silent = true;
    EXPECT_FALSE(Install());
    plat::Wide moved;
    ASSERT_TRUE(fake::FaultHappened(&moved));
    EXPECT_EQ(u"C:\\APPS\\TESSARON\\TSD.EXE.~3", moved);
    EXPECT_TRUE(fake::FolderExistsAt(kExe + u".~1"));
    EXPECT_EQ(plat::kFileAttributeReparsePoint | plat::kFileAttributeArchive,
              plat::GetFileAttributesW(kExe + u".~2"));
    EXPECT_FALSE(fake::FolderExistsAt(u"C:\\Elsewhere"));
    EXPECT_FALSE(fake::FileExistsAt(kExe + u".~0"));
    EXPECT_FALSE(fake::FileExistsAt(kExe + u".~3"));
}

TEST_F(SafeReplace, WhatAKilledRunLeftAtATemporaryNameIsRemovedAndTheNameReused) {
    fake::PutFile(kExe + u".~0", "half of a program");
    fake::SetAttributes(kExe + u".~0", plat::kFileAttributeReadOnly);
    ASSERT_TRUE(Install());
    EXPECT_EQ("new program", fake::FileBytes(kExe));
    EXPECT_FALSE(fake::FileExistsAt(kExe + u".~0"));
    EXPECT_EQ((std::vector<plat::Wide>{u"tsd.exe"}), fake::ListTree(u"C:\\Apps\\Tessaron"));
}

TEST(TemporaryName, IsTheSchemesMarkAndNothingElse) {
    plat::Wide original;
    EXPECT_TRUE(IsTemporaryName(u"tsd.exe.~0", &original));
    EXPECT_EQ(u"tsd.exe", original);
    EXPECT_TRUE(IsTemporaryName(u"Update.log.~12"));
    for (const char16_t* other : {u"tsd.exe", u"tsd.exe.~", u".~0", u"tsd.exe.~0a", u"tsd.exe~0", u"x.~-1"})
        EXPECT_FALSE(IsTemporaryName(other)) << std::string(other, other + std::char_traits<char16_t>::length(other));
}

TEST_F(SafeReplace, DataFilesAndTheInstallLogAreReplacedWholeOrNotAtAll) {
    const plat::Wide data = u"C:\\Apps\\Tessaron\\tsd_common.dat";
    fake::PutFile(data, "old data");
    for (auto kind : {fake::FaultKind::Fail, fake::FaultKind::ShortWrite}) {
        FailNext(Operation::WriteFile, kind);
        WriteBytesToFile(data, "new data, longer");
        EXPECT_EQ("old data", fake::FileBytes(data));
    }
    WriteBytesToFile(data, "new data, longer");
    EXPECT_EQ("new data, longer", fake::FileBytes(data));

    // A new install log is never left cut short either.
    StartInstallLog(u"C:\\Apps\\Tessaron", false);
    LogLine("File Copy: C:\\Apps\\Tessaron\\tsd.exe");
    FailNext(Operation::WriteFile, fake::FaultKind::ShortWrite);
    SaveInstallLog();
    EXPECT_FALSE(fake::FileExistsAt(u"C:\\Apps\\Tessaron\\Install.log"));
    SaveInstallLog();
    EXPECT_EQ("File Copy: C:\\Apps\\Tessaron\\tsd.exe\r\n", fake::FileBytes(u"C:\\Apps\\Tessaron\\Install.log"));
    EXPECT_EQ((std::vector<plat::Wide>{u"Install.log", u"tsd.exe", u"tsd_common.dat"}),
              fake::ListTree(u"C:\\Apps\\Tessaron"));
}

TEST_F(SafeReplace, BothLogsAreFlushedAndMovedWriteThroughAndAFailedFlushKeepsTheOldOne) {
    const plat::Wide installLog = u"C:\\Apps\\Tessaron\\Install.log";
    const plat::Wide updateLog = u"C:\\ProgramData\\Tessaron\\Update.log";
    const uint32_t throughMove = plat::kMoveFileReplaceExisting | plat::kMoveFileWriteThrough;
    fake::PutFolder(u"C:\\ProgramData\\Tessaron");
    StartInstallLog(u"C:\\Apps\\Tessaron", false);
    LogLine("File Copy: C:\\Apps\\Tessaron\\tsd.exe");
    // New logs as well as replaced ones.
    for (int run = 0; run < 2; ++run) {
        SaveInstallLog();
        ASSERT_TRUE(WriteUpdateLog(updateLog, {"C:\\x"}, kStamp));
        for (const auto& log : {installLog, updateLog}) {
            EXPECT_TRUE(fake::FlushedAt(log)) << Utf8Of(log) << " run " << run;
            EXPECT_EQ(throughMove, fake::MovedInWith(log)) << Utf8Of(log) << " run " << run;
        }
    }
    const std::string oldInstall = fake::FileBytes(installLog), oldUpdate = fake::FileBytes(updateLog);
    LogLine("File Copy: C:\\Apps\\Tessaron\\License.txt");
    FailNext(Operation::FlushFile);
    SaveInstallLog();
    EXPECT_TRUE(fake::FaultHappened());
    FailNext(Operation::FlushFile);
    EXPECT_FALSE(WriteUpdateLog(updateLog, {"C:\\y"}, kStamp));
    EXPECT_EQ(oldInstall, fake::FileBytes(installLog));
    EXPECT_EQ(oldUpdate, fake::FileBytes(updateLog));
    EXPECT_EQ((std::vector<plat::Wide>{u"Install.log", u"tsd.exe"}), fake::ListTree(u"C:\\Apps\\Tessaron"));
    EXPECT_EQ((std::vector<plat::Wide>{u"Update.log"}), fake::ListTree(u"C:\\ProgramData\\Tessaron"));
    EXPECT_EQ(0, fake::OpenHandleCount());
}

}  // namespace
