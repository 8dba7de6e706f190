// Selecting payload entries and writing them, with the retry dialog and fault injection.
#include <gtest/gtest.h>

#include <zlib.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "install/InstUtils.h"
#include "install/InstallLog.h"
#include "install/RunFlags.h"
#include "payload/AttachFiles.h"
#include "payload/PayloadFormat.h"
#include "platform/fake/fake.h"
#include "tests/host/TestMachine.h"
#include "wizard/lang/UILang.h"

namespace {

using Lines = std::vector<std::string>;

const double kStamp = 46000.5;  // 2025-12-09 12:00:00, on the two-second grid

class AttachFiles : public ::testing::Test {
protected:
    void SetUp() override {
        StartFreshProcess();
        std::string raw;
        AppendPayloadEntry(&raw, "tsd.exe", kStamp, "MZ program");
        AppendPayloadEntry(&raw, "License.txt", kStamp, "Licence\r\n");
        AppendPayloadEntry(&raw, "Templates\\Letters\\Letter 1.rtf", kStamp, "{\\rtf1 one}");
        AppendPayloadEntry(&raw, "templates\\Memos\\Memo.rtf", kStamp, "{\\rtf1 memo}");
        AppendPayloadEntry(&raw, "TemplatesX\\a.rtf", kStamp, "not a template");
        AppendPayloadEntry(&raw, "Clip Library\\Phrases\\p.txt", kStamp, "phrase");
        AppendPayloadEntry(&raw, "license.TXT", kStamp + 1, "second licence");
        fake::SetResource("FILES", "FILES", DeflateForTest(raw));
        files = std::make_unique<TAttachedFiles>();
        ASSERT_TRUE(files->Loaded());
        StartInstallLog(u"C:\\Apps\\Tessaron", true);
    }
    std::vector<plat::Wide> Selected() {
        std::vector<plat::Wide> out;
        for (auto& f : files->ToInstall) out.push_back(f->Dest);
        return out;
    }
    plat::FileTime UtcOfLocalDate(double date) {
        plat::FileTime local, utc;
        uint32_t dos = DateToDosTime(date);
        plat::DosDateTimeToFileTime(static_cast<uint16_t>(dos >> 16), static_cast<uint16_t>(dos), &local);
        plat::LocalFileTimeToFileTime(local, &utc);
        return utc;
    }
    std::unique_ptr<TAttachedFiles> files;
};

TEST_F(AttachFiles, PublicDataDirLiesInTheAllUsersDataFolder) {
    EXPECT_EQ(u"C:\\ProgramData\\Tessaron\\Public\\", PublicDataDir);
}

TEST_F(AttachFiles, WithoutAnAllUsersDataFolderTheSharedFilesStillCountAsShared) {
    // The installation then puts the shared files under the documents folder; the reader must
    // look for them there too, or the update log would not list them.
    fake::SetSpecialFolder(plat::kCsidlCommonAppData, u"");
    fake::SetSpecialFolder(plat::kCsidlPersonal, u"C:\\Users\\User\\Documents");
    files = std::make_unique<TAttachedFiles>();
    EXPECT_EQ(u"C:\\Users\\User\\Documents\\Tessaron\\Public\\", PublicDataDir);
    files->SelectFiles("Templates\\", PublicDataDir, CopyIfMissing);
    EXPECT_EQ((Lines{"C:\\Users\\User\\Documents\\Tessaron\\Public\\Templates\\Letters\\Letter 1.rtf\t!",
                     "C:\\Users\\User\\Documents\\Tessaron\\Public\\templates\\Memos\\Memo.rtf\t!"}),
              files->UpdateList);
}

TEST_F(AttachFiles, FolderPatternsMatchAnyCaseButNotLongerNames) {
    files->SelectFiles("TEMPLATES\\", u"D:\\Pub", CopyAlways);
    EXPECT_EQ((std::vector<plat::Wide>{u"D:\\Pub\\Templates\\Letters\\Letter 1.rtf",
                                       u"D:\\Pub\\templates\\Memos\\Memo.rtf"}),
              Selected());
}

TEST_F(AttachFiles, FilePatternTakesOnlyTheFirstEntryOfThatName) {
    files->SelectFiles("License.txt", u"C:\\Apps\\Tessaron\\", CopyAlways);
    ASSERT_EQ(1u, files->ToInstall.size());
    EXPECT_EQ(files->Entries[1].get(), files->ToInstall[0]->Source);
    EXPECT_EQ(u"C:\\Apps\\Tessaron\\License.txt", files->ToInstall[0]->Dest);
}

TEST_F(AttachFiles, CopyIfChangedReplacesAnyDifferentDate) {
    fake::PutFile(u"C:\\Apps\\Tessaron\\tsd.exe", "old", UtcOfLocalDate(kStamp));
    files->SelectFiles("tsd.exe", u"C:\\Apps\\Tessaron", CopyIfChanged);
    EXPECT_TRUE(files->ToInstall.empty()) << "same date: kept";

    fake::PutFile(u"C:\\Apps\\Tessaron\\tsd.exe", "newer", UtcOfLocalDate(kStamp + 30));
    files->SelectFiles("tsd.exe", u"C:\\Apps\\Tessaron", CopyIfChanged);
    EXPECT_EQ(1u, files->ToInstall.size()) << "a later date is replaced too";
}

TEST_F(AttachFiles, CopyIfMissingKeepsExistingFilesUnlessForced) {
    fake::PutFile(u"C:\\Pub\\Clip Library\\Phrases\\p.txt", "user's own edit");
    files->SelectFiles("Clip Library\\", u"C:\\Pub", CopyIfMissing);
    EXPECT_TRUE(files->ToInstall.empty());
    ForceOverwrite = true;
    files->SelectFiles("Clip Library\\", u"C:\\Pub", CopyIfMissing);
    EXPECT_EQ(1u, files->ToInstall.size());
}

TEST_F(AttachFiles, AFolderAtTheDestinationCountsAsNoFileAndFailsWhenWritten) {
    fake::PutFolder(u"C:\\Apps\\Tessaron\\tsd.exe");
    files->SelectFiles("tsd.exe", u"C:\\Apps\\Tessaron", CopyIfMissing);
    ASSERT_EQ(1u, files->ToInstall.size());
    fake::ScriptAnswers({plat::kIdAbort});
    EXPECT_FALSE(files->InstallFile(files->ToInstall[0]->Source, "", files->ToInstall[0]->Dest));
    ASSERT_EQ(1u, fake::ShownBoxes().size());
}

TEST_F(AttachFiles, UpdateLinesForFilesUnderThePublicFolder) {
    ForceOverwrite = true;  // the mode given still decides the "!"
    files->SelectFiles("Templates\\", PublicDataDir, CopyIfMissing);
    files->SelectFiles("Clip Library\\", PublicDataDir, CopyIfChanged);
    files->SelectFiles("tsd.exe", u"C:\\Apps\\Tessaron", CopyIfMissing);
    EXPECT_EQ((Lines{"C:\\ProgramData\\Tessaron\\Public\\Templates\\Letters\\Letter 1.rtf\t!",
                     "C:\\ProgramData\\Tessaron\\Public\\templates\\Memos\\Memo.rtf\t!",
                     "C:\\ProgramData\\Tessaron\\Public\\Clip Library\\Phrases\\p.txt"}),
              files->UpdateList);
    files->SelectFiles("License.txt", u"c:\\programdata\\tessaron\\public\\x", CopyAlways);
    EXPECT_EQ("c:\\programdata\\tessaron\\public\\x\\License.txt", files->UpdateList.back())
        << "compared without regard to case";
}

TEST_F(AttachFiles, WritesBytesStampAndLogLines) {
    ASSERT_TRUE(files->InstallFile(files->Entries[2].get(), "", u"C:\\Apps\\Tessaron\\Templates\\Letters\\Letter 1.rtf"));
    EXPECT_EQ("{\\rtf1 one}", fake::FileBytes(u"C:\\Apps\\Tessaron\\Templates\\Letters\\Letter 1.rtf"));
    EXPECT_EQ(kStamp, FileDateOf(u"C:\\Apps\\Tessaron\\Templates\\Letters\\Letter 1.rtf"));
    EXPECT_EQ((Lines{"Made Dir: C:\\Apps\\", "Made Dir: C:\\Apps\\Tessaron\\",
                     "Made Dir: C:\\Apps\\Tessaron\\Templates\\",
                     "Made Dir: C:\\Apps\\Tessaron\\Templates\\Letters\\",
                     "File Copy: C:\\Apps\\Tessaron\\Templates\\Letters\\Letter 1.rtf"}),
              *LogList);
    EXPECT_EQ(0, fake::OpenHandleCount());
}

TEST_F(AttachFiles, ByNameTakesTheLastEntryOfThatName) {
    ASSERT_TRUE(files->InstallFile(nullptr, "LICENSE.txt", u"C:\\Temp\\License.txt"));
    EXPECT_EQ("second licence", fake::FileBytes(u"C:\\Temp\\License.txt"));
}

TEST_F(AttachFiles, SuspendedSelectionWritesNoLogLines) {
    SuspendLog();
    files->SelectFiles("Templates\\", u"C:\\Pub", CopyAlways);
    ResumeLog();
    for (auto& f : files->ToInstall) {
        ASSERT_EQ(0, f->Logged);
        SuspendLog();
        ASSERT_TRUE(files->InstallFile(f->Source, "", f->Dest));
        ResumeLog();
    }
    EXPECT_TRUE(LogList->empty());
    EXPECT_TRUE(fake::FileExistsAt(u"C:\\Pub\\templates\\Memos\\Memo.rtf"));
}

TEST_F(AttachFiles, RetryAfterAFailedWriteThenSuccess) {
    const plat::Wide path = u"C:\\Apps\\Tessaron\\tsd.exe";
    fake::FailWrites(path, 1, 4);
    fake::ScriptAnswers({plat::kIdRetry});
    ASSERT_TRUE(files->InstallFile(files->Entries[0].get(), "", path));
    EXPECT_EQ("MZ program", fake::FileBytes(path));
    ASSERT_EQ(1u, fake::ShownBoxes().size());
    const auto& box = fake::ShownBoxes()[0];
    EXPECT_EQ(plat::kMbAbortRetryIgnore | plat::kMbIconError | plat::kMbTaskModal, box.flags);
    EXPECT_EQ(u"Tessaron Word Processor - Setup", box.caption);
    EXPECT_EQ(0u, box.text.find(u"Cannot create file \"C:\\Apps\\Tessaron\\tsd.exe\".\r"));
    EXPECT_EQ(1, std::count(LogList->begin(), LogList->end(), "File Copy: C:\\Apps\\Tessaron\\tsd.exe"));
}

TEST_F(AttachFiles, AbortAndIgnoreLeaveAPartialFileUnlogged) {
    const plat::Wide path = u"C:\\Apps\\Tessaron\\tsd.exe";
    fake::FailWrites(path, 2, 4);
    fake::ScriptAnswers({plat::kIdAbort});
    EXPECT_FALSE(files->InstallFile(files->Entries[0].get(), "", path));
    EXPECT_EQ("MZ p", fake::FileBytes(path)) << "a partly written file stays";
    // The file exists now, so the next attempt writes a temporary file beside it.
    fake::FailWrites(path + u".~0", 1, 4);
    fake::ScriptAnswers({plat::kIdIgnore});
    EXPECT_TRUE(files->InstallFile(files->Entries[0].get(), "", path));
    EXPECT_EQ("MZ p", fake::FileBytes(path)) << "an existing file keeps its bytes";
    EXPECT_FALSE(fake::FileExistsAt(path + u".~0"));
    for (const auto& line : *LogList) EXPECT_EQ(std::string::npos, line.find("File Copy")) << line;
}

TEST_F(AttachFiles, HeldOpenFileAndSilentRuns) {
    const plat::Wide path = u"C:\\Apps\\Tessaron\\License.txt";
    fake::PutFile(path, "in use");
    fake::HoldOpen(path);
    Silent = true;
    EXPECT_FALSE(files->InstallFile(files->Entries[1].get(), "", path));
    EXPECT_EQ(kExitCannotWrite, ExitCode);
    EXPECT_TRUE(fake::ShownBoxes().empty()) << "a silent run asks nothing";
    EXPECT_EQ("in use", fake::FileBytes(path));
}

TEST_F(AttachFiles, ABoxThatCannotBeShownDoesNotRetryForever) {
    fake::HoldOpen(u"C:\\Apps\\Tessaron\\tsd.exe");
    fake::PutFile(u"C:\\Apps\\Tessaron\\tsd.exe", "x");
    EXPECT_FALSE(files->InstallFile(files->Entries[0].get(), "", u"C:\\Apps\\Tessaron\\tsd.exe"));
    EXPECT_EQ(1u, fake::ShownBoxes().size()) << "answered OK: taken as Abort";
}

TEST_F(AttachFiles, ANameThePayloadLacksFailsLikeAnUnwritableFile) {
    fake::ScriptAnswers({plat::kIdRetry, plat::kIdAbort});
    EXPECT_FALSE(files->InstallFile(nullptr, "Readme.txt", u"C:\\Temp\\Readme.txt"));
    EXPECT_EQ(2u, fake::ShownBoxes().size());
    EXPECT_FALSE(fake::FileExistsAt(u"C:\\Temp\\Readme.txt"));
    Silent = true;
    EXPECT_FALSE(files->InstallFile(nullptr, "Readme.txt", u"C:\\Temp\\Readme.txt"));
    EXPECT_EQ(kExitCannotWrite, ExitCode);
}

TEST_F(AttachFiles, DiskFullFailsTheWrite) {
    fake::DriveInfo stick;
    stick.type = plat::kDriveRemovable;
    stick.capacity = 5;
    fake::AddDrive('F', stick);
    Silent = true;
    EXPECT_FALSE(files->InstallFile(files->Entries[0].get(), "", u"F:\\tsd.exe"));
    EXPECT_EQ(kExitCannotWrite, ExitCode);
}

TEST(RealPayloadInstall, AllEntriesWithTheirBytesAndTimes) {
    ASSERT_FALSE(RealPayload().empty()) << TSD_PAYLOAD_FILE;
    for (int bias : {0, -120, 480}) {
        fake::Reset();
        fake::SetTimeZoneBias(bias);
        ResetRunFlags();
        ResetInstallLog();
        ResetAttachFilesState();
        Silent = true;
        fake::SetResource("FILES", "FILES", RealPayload());
        TAttachedFiles files;
        ASSERT_EQ(260u, files.Entries.size());
        StartInstallLog(u"C:\\Program Files\\Tessaron", false);
        for (auto& e : files.Entries)
            ASSERT_TRUE(files.InstallFile(e.get(), "", JoinPath(u"C:\\Program Files\\Tessaron", e->Name)));
        for (auto& e : files.Entries) {
            plat::Wide path = JoinPath(u"C:\\Program Files\\Tessaron", e->Name);
            ASSERT_EQ(std::string(reinterpret_cast<const char*>(e->Data), static_cast<size_t>(e->Size)),
                      fake::FileBytes(path));
            ASSERT_EQ(e->Time, FileDateOf(path)) << Utf8Of(path) << " bias " << bias;
        }
        EXPECT_EQ(ExitCode, 0);
        EXPECT_GE(LogList->size(), 260u + 1 + 2 + 8 + 14);
    }
}

}  // namespace

// Folders found or made once are not tested again for every file, but a retry looks again: a
// folder removed behind the installer's back is made anew and the file written.
TEST_F(AttachFiles, KnownFoldersAreLookedAtAgainBeforeARetry) {
    const plat::Wide folder = u"C:\\Apps\\Tessaron\\Templates\\Letters\\";
    ASSERT_TRUE(files->InstallFile(files->Entries[2].get(), "", folder + u"Letter 1.rtf"));
    ASSERT_TRUE(plat::DeleteFileW(folder + u"Letter 1.rtf"));
    ASSERT_TRUE(plat::RemoveDirectoryW(folder));
    fake::ScriptAnswers({plat::kIdRetry});
    ASSERT_TRUE(files->InstallFile(files->Entries[2].get(), "", folder + u"Letter 2.rtf"));
    EXPECT_EQ(1u, fake::ShownBoxes().size());
    EXPECT_EQ("{\\rtf1 one}", fake::FileBytes(folder + u"Letter 2.rtf"));
    // The folder was made twice but is logged once, as before.
    EXPECT_EQ(1, std::count(LogList->begin(), LogList->end(),
                            "Made Dir: C:\\Apps\\Tessaron\\Templates\\Letters\\"));
}

namespace {

// A payload whose names include what a replacement's temporary file would be called.
TEST(AttachFilesTemporaryNames, AReplacementNeverWritesUnderTheNameOfAnotherFileOfTheRun) {
    StartFreshProcess();
    std::string raw;
    AppendPayloadEntry(&raw, "Notes.txt", kStamp, "new notes");
    AppendPayloadEntry(&raw, "NOTES.TXT.~0", kStamp, "a file of its own");
    AppendPayloadEntry(&raw, "Other.txt", kStamp, "other");
    fake::SetResource("FILES", "FILES", DeflateForTest(raw));
    TAttachedFiles files;
    ASSERT_TRUE(files.Loaded());
    StartInstallLog(u"C:\\Apps\\Tessaron", true);
    const plat::Wide folder = u"C:\\Apps\\Tessaron\\";
    fake::PutFile(folder + u"Notes.txt", "old notes");  // replaced through a temporary file
    for (const char* name : {"Notes.txt", "NOTES.TXT.~0", "Other.txt"})
        files.SelectFiles(name, folder, CopyAlways);
    ASSERT_EQ(3u, files.ToInstall.size());
    std::vector<plat::Wide> created;
    fake::BeforeEachOperation([&](fake::Operation operation, const plat::Wide& target) {
        if (operation == fake::Operation::CreateFile) created.push_back(target);
    });
    ASSERT_TRUE(files.InstallFile(files.Entries[0].get(), "", folder + u"Notes.txt"));
    fake::BeforeEachOperation(nullptr);
    EXPECT_EQ("new notes", fake::FileBytes(folder + u"Notes.txt"));
    ASSERT_FALSE(created.empty());
    for (const plat::Wide& path : created) {
        EXPECT_FALSE(SamePath(path, folder + u"Notes.txt.~0")) << "the run's own file's name";
        EXPECT_TRUE(PathStartsWith(path, folder + u"Notes.txt.~")) << "not beside the file: " << Utf8Of(path);
    }
    EXPECT_FALSE(fake::FileExistsAt(folder + u"Notes.txt.~0"));
}

}  // namespace
