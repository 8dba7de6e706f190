// Paths, folders, files and dates on the fake machine.
#include <gtest/gtest.h>

#include "install/InstUtils.h"
#include "install/SmallFiles.h"
#include "install/InstallLog.h"
#include "install/LinkGuard.h"
#include "install/RunFlags.h"
#include "platform/fake/fake.h"
#include "tests/host/TestMachine.h"

namespace {

class InstUtils : public ::testing::Test {
protected:
    void SetUp() override {
        StartFreshProcess();
        LogList = std::make_unique<std::vector<std::string>>();
    }
    plat::FileTime Utc(int y, int mo, int d, int h, int mi, int s) {
        plat::FileTime t = 0;
        EXPECT_TRUE(plat::SystemTimeToFileTime(plat::SystemTimeOf(y, mo, d, h, mi, s), &t));
        return t;
    }
};

TEST_F(InstUtils, BackslashesAndFolders) {
    Wide p;
    AppendBackslash(p);
    EXPECT_EQ(u"", p);
    p = u"C:\\dir";
    AppendBackslash(p);
    EXPECT_EQ(u"C:\\dir\\", p);
    AppendBackslash(p);
    EXPECT_EQ(u"C:\\dir\\", p);
    p = u"C:\\dir/";
    AppendBackslash(p);
    EXPECT_EQ(u"C:\\dir\\", p);
    p = u"C:\\dir//";
    AppendBackslash(p);
    EXPECT_EQ(u"C:\\dir/\\", p) << "only the last character is looked at";

    EXPECT_EQ(u"C:", WithoutBackslash(u"C:\\"));
    EXPECT_EQ(u"C:\\a", WithoutBackslash(u"C:\\a"));
    EXPECT_EQ(u"C:\\a\\b.txt", JoinPath(u"C:\\a", u"b.txt"));
    EXPECT_EQ(u"C:\\a\\b.txt", JoinPath(u"C:\\a/", u"b.txt"));
    EXPECT_EQ(u"C:\\a\\", ExtractFolder(u"C:\\a\\b.txt"));
    EXPECT_EQ(u"C:", ExtractFolder(u"C:b.txt"));
    EXPECT_EQ(u"", ExtractFolder(u"b.txt"));
}

TEST_F(InstUtils, PathComparisonIgnoresCaseWithTheUsersLocale) {
    EXPECT_TRUE(SamePath(u"c:\\program files\\Caf\u00e9", u"C:\\PROGRAM FILES\\CAF\u00c9"));
    EXPECT_FALSE(SamePath(u"C:\\a", u"C:\\a\\"));
    EXPECT_TRUE(PathStartsWith(u"c:\\program files\\x", u"C:\\Program Files"));
    EXPECT_TRUE(PathStartsWith(u"anything", u""));
    EXPECT_TRUE(PathStartsWith(u"C:\\Program Files (x86)\\Tessaron", u"C:\\Program Files"));
    EXPECT_FALSE(PathStartsWith(u"C:\\Prog", u"C:\\Program Files"));
}

TEST_F(InstUtils, FolderExistsThroughTheCurrentFolderAndRestoresIt) {
    fake::PutFolder(u"C:\\Data\\Sub");
    fake::PutFile(u"C:\\Data\\file.txt", "x");
    ASSERT_TRUE(plat::SetCurrentDirectoryW(u"C:\\Data"));
    EXPECT_TRUE(FolderExists(u"c:\\data\\SUB"));
    EXPECT_TRUE(FolderExists(u"C:\\Data\\Sub\\"));
    EXPECT_FALSE(FolderExists(u"C:\\Data\\file.txt"));
    EXPECT_FALSE(FolderExists(u""));
    EXPECT_FALSE(FolderExists(u"Q:\\Data"));
    EXPECT_FALSE(FolderExists(u"C:\\Data\\Missing"));
    EXPECT_EQ(u"C:\\Data\\", CurrentFolder());
}

TEST_F(InstUtils, FileExistsOnlyForFiles) {
    fake::PutFile(u"C:\\Data\\file.txt", "x");
    EXPECT_TRUE(FileExists(u"c:\\DATA\\FILE.TXT"));
    EXPECT_FALSE(FileExists(u"C:\\Data"));
    EXPECT_FALSE(FileExists(u"C:\\Data\\other.txt"));
    EXPECT_EQ(0, fake::OpenHandleCount());
}

TEST_F(InstUtils, ForceFoldersCreatesAndLogsOnlyWhatWasMissing) {
    Wide programFiles = SpecialFolder(plat::kCsidlProgramFiles);
    ASSERT_EQ(u"C:\\Program Files", programFiles);
    ForceFolders(u"C:\\Program Files\\Tessaron\\");
    EXPECT_TRUE(fake::FolderExistsAt(u"C:\\Program Files\\Tessaron"));
    EXPECT_EQ((std::vector<std::string>{"Made Dir: C:\\Program Files\\Tessaron\\"}), *LogList);

    ForceFolders(u"C:\\Program Files\\Tessaron\\");
    EXPECT_EQ(1u, LogList->size()) << "an existing folder is not logged again";

    ForceFolders(u"C:\\New\\Deeper\\Deepest\\");
    EXPECT_EQ((std::vector<std::string>{"Made Dir: C:\\Program Files\\Tessaron\\",
                                        "Made Dir: C:\\New\\", "Made Dir: C:\\New\\Deeper\\",
                                        "Made Dir: C:\\New\\Deeper\\Deepest\\"}),
              *LogList);
}

// Below a guarded folder the check of the way has just looked: a folder it holds exists, one it
// found missing (and what lies below that) does not, and neither is looked for again.
TEST_F(InstUtils, ForceFoldersBelowAGuardedFolderTrustsWhatTheCheckOfTheWayFound) {
    fake::PutFolder(u"C:\\Root\\Old");
    GuardFolder(u"C:\\Root");
    ASSERT_TRUE(NoLinkOnTheWay(u"C:\\Root\\Old\\New\\Newer\\file.txt"));
    int before = fake::CurrentFolderChangeCount();
    ForceFolders(u"C:\\Root\\Old\\New\\Newer\\");
    EXPECT_EQ(0, fake::CurrentFolderChangeCount() - before);
    EXPECT_TRUE(fake::FolderExistsAt(u"C:\\Root\\Old\\New\\Newer"));
    EXPECT_EQ((std::vector<std::string>{"Made Dir: C:\\Root\\Old\\New\\",
                                        "Made Dir: C:\\Root\\Old\\New\\Newer\\"}),
              *LogList);
    // Elsewhere, and after another check, folders are looked for as ever.
    fake::PutFolder(u"C:\\Elsewhere");
    ForceFolders(u"C:\\Elsewhere\\");
    EXPECT_LT(0, fake::CurrentFolderChangeCount() - before);
    EXPECT_EQ(2u, LogList->size()) << "an existing folder is not made";
    ForgetGuardedFolders();
}

TEST_F(InstUtils, ForceFoldersOnAMissingDriveLogsEveryLevel) {
    ForceFolders(u"X:\\a\\b\\");
    EXPECT_EQ((std::vector<std::string>{"Made Dir: X:", "Made Dir: X:\\", "Made Dir: X:\\a\\",
                                        "Made Dir: X:\\a\\b\\"}),
              *LogList);
}

TEST_F(InstUtils, ForceFoldersLogsAFolderThatCouldNotBeCreated) {
    fake::DenyCreateFolder(u"C:\\Locked");
    ForceFolders(u"C:\\Locked\\Inner\\");
    EXPECT_FALSE(fake::FolderExistsAt(u"C:\\Locked"));
    EXPECT_EQ((std::vector<std::string>{"Made Dir: C:\\Locked\\", "Made Dir: C:\\Locked\\Inner\\"}),
              *LogList);
}

TEST_F(InstUtils, TempFolderFallsBackToDocuments) {
    fake::SetTempPath(u"C:\\Users\\User\\Temp\\");
    fake::PutFolder(u"C:\\Users\\User\\Temp");
    EXPECT_EQ(u"C:\\Users\\User\\Temp\\", TempFolder());
    fake::SetTempPath(u"C:\\Gone\\");
    EXPECT_EQ(SpecialFolder(plat::kCsidlPersonal) + u"\\", TempFolder());
    fake::SetSpecialFolder(plat::kCsidlPersonal, u"");
    EXPECT_EQ(u"", TempFolder());
}

TEST_F(InstUtils, SpecialFolderIsEmptyWithoutTheService) {
    EXPECT_EQ(u"C:\\ProgramData", SpecialFolder(plat::kCsidlCommonAppData));
    fake::SetFolderServiceAvailable(false);
    EXPECT_FALSE(plat::ResolveSHGetFolderPathW());
    EXPECT_EQ(u"", SpecialFolder(plat::kCsidlCommonAppData));
}

TEST_F(InstUtils, FileSizeOf) {
    fake::PutFile(u"C:\\big.exe", std::string(3000000, 'x'));
    EXPECT_EQ(3000000, FileSizeOf(u"C:\\big.exe"));
    EXPECT_EQ(-1, FileSizeOf(u"C:\\missing.exe"));
    fake::HoldOpen(u"C:\\big.exe");
    EXPECT_EQ(3000000, FileSizeOf(u"C:\\big.exe")) << "a size query needs no sharing";
    EXPECT_EQ(0, fake::OpenHandleCount());
}

TEST_F(InstUtils, StampsSurviveWriteAndReadBackInAnyTimeZone) {
    for (int bias : {0, -60, 300, -345}) {
        fake::SetTimeZoneBias(bias);
        double stamp = DosTimeToDate(DateToDosTime(EncodeDate(2026, 11, 20) + EncodeTime(4, 43, 38, 0)));
        Wide path = u"C:\\stamped.txt";
        plat::Handle file = plat::CreateFileW(path, plat::kGenericWrite, 0, plat::kCreateAlways,
                                              plat::kFileAttributeNormal);
        ASSERT_NE(plat::kInvalidHandle, file);
        EXPECT_EQ(0u, SetFileDate(file, DateToDosTime(stamp)));
        plat::CloseHandle(file);
        EXPECT_EQ(stamp, FileDateOf(path)) << bias;
    }
}

TEST_F(InstUtils, AZeroDosTimeLeavesTheWriteTime) {
    fake::PutFile(u"C:\\f.txt", "x", Utc(2024, 5, 6, 7, 8, 10));
    plat::Handle file = plat::CreateFileW(u"C:\\f.txt", plat::kGenericWrite, 0, plat::kOpenExisting,
                                          plat::kFileAttributeNormal);
    EXPECT_EQ(0u, DateToDosTime(EncodeDate(1979, 12, 31)));
    EXPECT_NE(0u, SetFileDate(file, 0));
    plat::CloseHandle(file);
    EXPECT_EQ(Utc(2024, 5, 6, 7, 8, 10), fake::FileWriteTime(u"C:\\f.txt"));
}

TEST_F(InstUtils, FileDateOfMissingAndUnrepresentableFiles) {
    fake::SetLocalTime(plat::SystemTimeOf(2026, 12, 7, 9, 30, 1, 500));
    EXPECT_EQ(EncodeDate(2026, 12, 7) + EncodeTime(9, 30, 1, 500), FileDateOf(u"C:\\missing"));
    fake::PutFile(u"C:\\old.txt", "x", Utc(1970, 1, 1, 0, 0, 0));
    EXPECT_EQ(kUnrepresentableFileDate, FileDateOf(u"C:\\old.txt"));
    fake::PutFile(u"C:\\odd.txt", "x", Utc(2025, 3, 4, 5, 6, 7));
    EXPECT_EQ(EncodeDate(2025, 3, 4) + EncodeTime(5, 6, 6, 0), FileDateOf(u"C:\\odd.txt"))
        << "two-second resolution";
}

TEST_F(InstUtils, WriteBytesToFileCreatesOrReplaces) {
    WriteBytesToFile(u"C:\\marker.ini", "");
    EXPECT_TRUE(fake::FileExistsAt(u"C:\\marker.ini"));
    EXPECT_EQ("", fake::FileBytes(u"C:\\marker.ini"));
    WriteBytesToFile(u"C:\\data.dat", std::string("\x01\0\0\0", 4));
    WriteBytesToFile(u"C:\\data.dat", "ab");
    EXPECT_EQ("ab", fake::FileBytes(u"C:\\data.dat"));
    WriteBytesToFile(u"Q:\\nowhere.dat", "ab");  // nothing reported
    std::string back;
    EXPECT_TRUE(ReadBytesOfFile(u"C:\\data.dat", &back));
    EXPECT_EQ("ab", back);
    EXPECT_FALSE(ReadBytesOfFile(u"C:\\none.dat", &back));
    EXPECT_EQ(0, fake::OpenHandleCount());
}

TEST_F(InstUtils, ReadingStopsOneBytePastTheBound) {
    std::string whole(kMaxReadableFileSize, 'x');
    fake::PutFile(u"C:\\at.log", whole);
    std::string back;
    ASSERT_TRUE(ReadBytesOfFile(u"C:\\at.log", &back));
    EXPECT_EQ(whole.size(), back.size());
    fake::PutFile(u"C:\\over.log", whole + "y");
    EXPECT_FALSE(ReadBytesOfFile(u"C:\\over.log", &back));
    EXPECT_TRUE(back.empty()) << "nothing of a file that is too large is given";
    EXPECT_EQ(0, fake::OpenHandleCount());
}

TEST(DosTime, ConversionsAndRange) {
    EXPECT_EQ(0u, DateToDosTime(EncodeDate(1979, 12, 31) + 0.5));
    EXPECT_EQ(0u, DateToDosTime(EncodeDate(2100, 1, 1)));
    EXPECT_NE(0u, DateToDosTime(EncodeDate(2099, 12, 31) + EncodeTime(23, 59, 58, 0)));
    uint32_t dos = DateToDosTime(EncodeDate(2025, 1, 20) + EncodeTime(12, 34, 57, 0));
    EXPECT_EQ(((2025u - 1980) << 25) | (1u << 21) | (20u << 16) | (12u << 11) | (34u << 5) | 28u, dos);
    EXPECT_EQ(EncodeDate(2025, 1, 20) + EncodeTime(12, 34, 56, 0), DosTimeToDate(dos));
    EXPECT_EQ(45677.5, EncodeDate(2025, 1, 20) + EncodeTime(12, 0, 0, 0));
    // An impossible date contributes no days; the time still counts.
    uint32_t badMonth = (45u << 25) | (13u << 21) | (1u << 16) | (6u << 11);
    EXPECT_EQ(EncodeTime(6, 0, 0, 0), DosTimeToDate(badMonth));
    uint32_t feb30 = (45u << 25) | (2u << 21) | (30u << 16);
    EXPECT_EQ(0.0, DosTimeToDate(feb30));
}

TEST(Utf8, PerCodeUnit) {
    EXPECT_EQ("\xC3\xA9", Utf8Of(u"\u00e9"));
    EXPECT_EQ("\xE4\xB8\xAD", Utf8Of(u"\u4e2d"));
    EXPECT_EQ(u"\u00e9\u4e2d", WideOfUtf8("\xC3\xA9\xE4\xB8\xAD"));
    // A character beyond U+FFFF: two three-byte sequences one way, skipped whole the other way.
    EXPECT_EQ("\xED\xA0\xBD\xED\xB8\x80", Utf8Of(u"\U0001F600"));
    EXPECT_EQ(u"ab", WideOfUtf8("a\xF0\x9F\x98\x80" "b"));
    EXPECT_EQ(u"a", WideOfUtf8("a\x80xyz")) << "a stray continuation byte skips four bytes";
    EXPECT_EQ(u"\u00c0", WideOfUtf8(std::string("\xC3", 1))) << "missing bytes count as zero";
    std::string withNul("a\0b", 3);
    EXPECT_EQ(plat::Wide(u"a\0b", 3), WideOfUtf8(withNul)) << "the counted form keeps its length";
    EXPECT_EQ(u"a", WideOfUtf8(withNul.c_str()));
}

}  // namespace
