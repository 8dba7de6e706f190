// Files and folders: what the installer relies on when it writes, sizes, finds and removes files
// and switches folders.
#include <algorithm>
#include <set>

#include "tests/contract/ContractSupport.h"

namespace contract {
namespace {

using namespace plat;

class ContractFiles : public ScratchTest {
protected:
    Handle Open(const Wide& path, uint32_t access, uint32_t share, uint32_t disposition) {
        return CreateFileW(path, access, share, disposition, kFileAttributeNormal);
    }
};

TEST_F(ContractFiles, WrittenBytesAreReadBackWithTheirSize) {
    Wide path = In(u"data.bin");
    Handle file = Open(path, kGenericWrite, kFileShareRead, kCreateNew);
    ASSERT_NE(file, kInvalidHandle) << GetLastError();
    uint32_t written = 0;
    EXPECT_TRUE(WriteFile(file, "hello, ", 7, &written));
    EXPECT_EQ(written, 7u);
    EXPECT_TRUE(WriteFile(file, "world", 5, &written));
    EXPECT_EQ(GetFileSize(file), 12u);
    EXPECT_TRUE(CloseHandle(file));

    file = Open(path, kGenericRead, kFileShareRead, kOpenExisting);
    ASSERT_NE(file, kInvalidHandle);
    char buffer[64] = {};
    uint32_t read = 0;
    EXPECT_TRUE(ReadFile(file, buffer, sizeof buffer, &read));
    EXPECT_EQ(std::string(buffer, read), "hello, world");
    EXPECT_TRUE(ReadFile(file, buffer, sizeof buffer, &read));  // at the end: success, nothing
    EXPECT_EQ(read, 0u);
    EXPECT_TRUE(CloseHandle(file));
}

TEST_F(ContractFiles, SizeIsReadThroughAHandleWithoutAccessRights) {
    Wide path = In(u"sized.txt");
    ASSERT_TRUE(WriteWholeFile(path, std::string(1000, 'x')));
    Handle file = Open(path, 0, kFileShareRead, kOpenExisting);
    ASSERT_NE(file, kInvalidHandle) << GetLastError();
    EXPECT_EQ(GetFileSize(file), 1000u);
    EXPECT_TRUE(CloseHandle(file));

    EXPECT_EQ(GetFileSize(kInvalidHandle), kInvalidFileSize);
    EXPECT_EQ(GetLastError(), kErrorInvalidHandle);
}

TEST_F(ContractFiles, DispositionsOnExistingAndMissingFiles) {
    Wide path = In(u"existing.txt");
    ASSERT_TRUE(WriteWholeFile(path, "old contents"));

    EXPECT_EQ(Open(path, kGenericWrite, 0, kCreateNew), kInvalidHandle);
    EXPECT_EQ(GetLastError(), 80u);  // ERROR_FILE_EXISTS

    Handle file = Open(path, kGenericRead | kGenericWrite, kFileShareRead, kCreateAlways);
    ASSERT_NE(file, kInvalidHandle);
    EXPECT_EQ(GetLastError(), kErrorAlreadyExists);
    EXPECT_EQ(GetFileSize(file), 0u) << "CREATE_ALWAYS truncates";
    CloseHandle(file);

    file = Open(path, kGenericRead, kFileShareRead, kOpenAlways);
    ASSERT_NE(file, kInvalidHandle);
    EXPECT_EQ(GetLastError(), kErrorAlreadyExists);
    CloseHandle(file);

    file = Open(In(u"new.txt"), kGenericWrite, kFileShareRead, kOpenAlways);
    ASSERT_NE(file, kInvalidHandle);
    EXPECT_EQ(GetLastError(), kErrorSuccess);
    CloseHandle(file);

    EXPECT_EQ(Open(In(u"missing.txt"), kGenericRead, kFileShareRead, kOpenExisting),
              kInvalidHandle);
    EXPECT_EQ(GetLastError(), kErrorFileNotFound);
    EXPECT_EQ(Open(In(u"no folder\\file.txt"), kGenericWrite, 0, kCreateAlways), kInvalidHandle);
    EXPECT_EQ(GetLastError(), kErrorPathNotFound);
}

TEST_F(ContractFiles, RewritingAFileReplacesItsContents) {
    Wide path = In(u"rewritten.txt");
    ASSERT_TRUE(WriteWholeFile(path, "a much longer first version"));
    ASSERT_TRUE(WriteWholeFile(path, "short"));
    EXPECT_EQ(ReadWholeFile(path), "short");
    ASSERT_TRUE(WriteWholeFile(path, ""));
    EXPECT_EQ(ReadWholeFile(path), "");
}

TEST_F(ContractFiles, AFolderCannotBeOpenedAsAFile) {
    Wide folder = In(u"Folder");
    ASSERT_TRUE(CreateDirectoryW(folder));
    EXPECT_EQ(Open(folder, kGenericRead, kFileShareRead, kOpenExisting), kInvalidHandle);
    EXPECT_EQ(GetLastError(), kErrorAccessDenied);
    EXPECT_EQ(Open(folder, kGenericWrite, 0, kCreateAlways), kInvalidHandle);
    EXPECT_EQ(GetLastError(), kErrorAccessDenied);
}

TEST_F(ContractFiles, HandlesOnlyDoWhatTheirAccessAllows) {
    Wide path = In(u"rights.txt");
    ASSERT_TRUE(WriteWholeFile(path, "abc"));
    char buffer[4];
    uint32_t count = 0;

    Handle reader = Open(path, kGenericRead, kFileShareRead, kOpenExisting);
    ASSERT_NE(reader, kInvalidHandle);
    EXPECT_FALSE(WriteFile(reader, "x", 1, &count));
    EXPECT_EQ(GetLastError(), kErrorAccessDenied);
    CloseHandle(reader);

    Handle writer = Open(path, kGenericWrite, kFileShareRead, kOpenExisting);
    ASSERT_NE(writer, kInvalidHandle);
    EXPECT_FALSE(ReadFile(writer, buffer, 1, &count));
    EXPECT_EQ(GetLastError(), kErrorAccessDenied);
    CloseHandle(writer);
    EXPECT_EQ(ReadWholeFile(path), "abc");
}

TEST_F(ContractFiles, OpenHandlesShareAFileOnlyAsTheyAllow) {
    Wide path = In(u"shared.txt");
    Handle writer = Open(path, kGenericWrite, kFileShareRead, kCreateAlways);
    ASSERT_NE(writer, kInvalidHandle);

    // The writer lets others read but not write.
    EXPECT_EQ(Open(path, kGenericWrite, kFileShareRead | kFileShareWrite, kOpenExisting),
              kInvalidHandle);
    EXPECT_EQ(GetLastError(), kErrorSharingViolation);
    // A reader must in turn let the writer write.
    EXPECT_EQ(Open(path, kGenericRead, kFileShareRead, kOpenExisting), kInvalidHandle);
    EXPECT_EQ(GetLastError(), kErrorSharingViolation);
    Handle reader = Open(path, kGenericRead, kFileShareRead | kFileShareWrite, kOpenExisting);
    EXPECT_NE(reader, kInvalidHandle);
    CloseHandle(reader);
    // Opens without access rights take no part in sharing.
    Handle query = Open(path, 0, kFileShareRead, kOpenExisting);
    EXPECT_NE(query, kInvalidHandle);
    CloseHandle(query);

    EXPECT_FALSE(DeleteFileW(path));
    EXPECT_EQ(GetLastError(), kErrorSharingViolation);
    EXPECT_TRUE(CloseHandle(writer));

    Handle exclusive = Open(path, kGenericRead, 0, kOpenExisting);
    ASSERT_NE(exclusive, kInvalidHandle);
    EXPECT_EQ(Open(path, kGenericRead, kFileShareRead | kFileShareWrite, kOpenExisting),
              kInvalidHandle);
    EXPECT_EQ(GetLastError(), kErrorSharingViolation);
    CloseHandle(exclusive);

    EXPECT_TRUE(DeleteFileW(path));
    EXPECT_EQ(GetFileAttributesW(path), kInvalidFileAttributes);
}

TEST_F(ContractFiles, ExactSearchIgnoresLetterCaseAndGivesTheStoredName) {
    ASSERT_TRUE(WriteWholeFile(In(u"Report.TXT"), "12345"));
    FindData found;
    Handle search = FindFirstFileW(In(u"rEPORT.txt"), &found);
    ASSERT_NE(search, kInvalidHandle);
    EXPECT_EQ(found.name, u"Report.TXT");
    EXPECT_EQ(found.size, 5u);
    EXPECT_FALSE(found.attributes & kFileAttributeDirectory);
    EXPECT_FALSE(FindNextFileW(search, &found));
    EXPECT_EQ(GetLastError(), kErrorNoMoreFiles);
    EXPECT_TRUE(FindClose(search));

    ASSERT_TRUE(CreateDirectoryW(In(u"SubFolder")));
    search = FindFirstFileW(In(u"subfolder"), &found);
    ASSERT_NE(search, kInvalidHandle);
    EXPECT_EQ(found.name, u"SubFolder");
    EXPECT_TRUE(found.attributes & kFileAttributeDirectory);
    FindClose(search);
}

TEST_F(ContractFiles, SearchFailures) {
    ASSERT_TRUE(CreateDirectoryW(In(u"Sub")));
    FindData found;
    EXPECT_EQ(FindFirstFileW(In(u"nothing.txt"), &found), kInvalidHandle);
    EXPECT_EQ(GetLastError(), kErrorFileNotFound);
    EXPECT_EQ(FindFirstFileW(In(u"missing\\nothing.txt"), &found), kInvalidHandle);
    EXPECT_EQ(GetLastError(), kErrorPathNotFound);
    EXPECT_EQ(FindFirstFileW(In(u"Sub\\"), &found), kInvalidHandle)
        << "a trailing backslash finds nothing";
}

TEST_F(ContractFiles, WildcardSearchListsEveryEntryWithDotsFirst) {
    ASSERT_TRUE(WriteWholeFile(In(u"b.txt"), "b"));
    ASSERT_TRUE(WriteWholeFile(In(u"a.dat"), "aa"));
    ASSERT_TRUE(CreateDirectoryW(In(u"Sub")));

    for (const char16_t* pattern : {u"*.*", u"*"}) {
        std::vector<FindData> entries;
        FindData found;
        Handle search = FindFirstFileW(In(pattern), &found);
        ASSERT_NE(search, kInvalidHandle);
        do entries.push_back(found);
        while (FindNextFileW(search, &found));
        EXPECT_EQ(GetLastError(), kErrorNoMoreFiles);
        FindClose(search);

        ASSERT_EQ(entries.size(), 5u);
        EXPECT_EQ(entries[0].name, u".");
        EXPECT_EQ(entries[1].name, u"..");
        std::set<Wide> names;
        for (const FindData& entry : entries) {
            names.insert(entry.name);
            bool folder = entry.name == u"." || entry.name == u".." || entry.name == u"Sub";
            EXPECT_EQ((entry.attributes & kFileAttributeDirectory) != 0, folder);
        }
        EXPECT_EQ(names, (std::set<Wide>{u".", u"..", u"a.dat", u"b.txt", u"Sub"}));
    }
}

TEST_F(ContractFiles, FolderCreationAndRemovalRules) {
    Wide outer = In(u"Outer"), inner = In(u"Outer\\Inner");
    EXPECT_FALSE(CreateDirectoryW(inner));
    EXPECT_EQ(GetLastError(), kErrorPathNotFound);
    EXPECT_TRUE(CreateDirectoryW(outer));
    EXPECT_FALSE(CreateDirectoryW(outer));
    EXPECT_EQ(GetLastError(), kErrorAlreadyExists);
    EXPECT_FALSE(CreateDirectoryW(outer + u"\\"));
    EXPECT_EQ(GetLastError(), kErrorAlreadyExists);
    EXPECT_TRUE(CreateDirectoryW(inner + u"\\")) << "a trailing backslash is accepted";
    EXPECT_TRUE(IsFolder(inner));

    EXPECT_FALSE(RemoveDirectoryW(outer));
    EXPECT_EQ(GetLastError(), kErrorDirNotEmpty);
    EXPECT_FALSE(DeleteFileW(outer));
    EXPECT_EQ(GetLastError(), kErrorAccessDenied);
    EXPECT_TRUE(RemoveDirectoryW(inner));
    EXPECT_TRUE(RemoveDirectoryW(outer));
    EXPECT_EQ(GetFileAttributesW(outer), kInvalidFileAttributes);
    EXPECT_EQ(GetLastError(), kErrorFileNotFound);

    Wide file = In(u"file.txt");
    ASSERT_TRUE(WriteWholeFile(file, "x"));
    EXPECT_FALSE(CreateDirectoryW(file));
    EXPECT_EQ(GetLastError(), kErrorAlreadyExists);
    EXPECT_FALSE(RemoveDirectoryW(file));
    EXPECT_FALSE(DeleteFileW(In(u"missing.txt")));
    EXPECT_EQ(GetLastError(), kErrorFileNotFound);
}

TEST_F(ContractFiles, AttributesOfFilesAndFolders) {
    Wide file = In(u"attributes.txt");
    ASSERT_TRUE(WriteWholeFile(file, "x"));
    uint32_t attributes = GetFileAttributesW(file);
    ASSERT_NE(attributes, kInvalidFileAttributes);
    EXPECT_FALSE(attributes & kFileAttributeDirectory);
    EXPECT_TRUE(SetFileAttributesW(file, kFileAttributeReadOnly));
    EXPECT_TRUE(GetFileAttributesW(file) & kFileAttributeReadOnly);
    EXPECT_FALSE(DeleteFileW(file)) << "read-only files are not deleted";
    EXPECT_EQ(GetLastError(), kErrorAccessDenied);
    EXPECT_TRUE(SetFileAttributesW(file, kFileAttributeNormal));
    EXPECT_FALSE(GetFileAttributesW(file) & kFileAttributeReadOnly);
    EXPECT_TRUE(DeleteFileW(file));
    EXPECT_TRUE(IsFolder(Folder()));
    EXPECT_TRUE(IsFolder(Folder() + u"\\"));
}

TEST_F(ContractFiles, CurrentFolderFollowsSetCurrentDirectory) {
    Wide saved = GetCurrentDirectoryW();
    ASSERT_FALSE(saved.empty());
    Wide sub = In(u"Current");
    ASSERT_TRUE(CreateDirectoryW(sub));
    ASSERT_TRUE(WriteWholeFile(In(u"file.txt"), "x"));

    EXPECT_TRUE(SetCurrentDirectoryW(Folder() + u"\\"));
    EXPECT_EQ(GetCurrentDirectoryW(), Folder()) << "no trailing backslash below a root";
    EXPECT_TRUE(SetCurrentDirectoryW(sub));
    EXPECT_EQ(GetCurrentDirectoryW(), sub);

    EXPECT_FALSE(SetCurrentDirectoryW(In(u"missing")));
    EXPECT_FALSE(SetCurrentDirectoryW(In(u"missing\\deeper")));
    EXPECT_FALSE(SetCurrentDirectoryW(In(u"file.txt")));
    EXPECT_FALSE(SetCurrentDirectoryW(u""));
    EXPECT_EQ(GetCurrentDirectoryW(), sub) << "a failed switch keeps the current folder";

    Wide root = Folder().substr(0, 3);  // "C:\"
    ASSERT_EQ(root[1], u':');
    EXPECT_TRUE(SetCurrentDirectoryW(root));
    Wide current = GetCurrentDirectoryW();
    EXPECT_EQ(current.size(), 3u);
    EXPECT_EQ(current.back(), u'\\') << "a root keeps its backslash";

    EXPECT_TRUE(SetCurrentDirectoryW(saved));
    EXPECT_EQ(GetCurrentDirectoryW(), saved);
}

TEST_F(ContractFiles, TheCurrentFolderCannotBeRemoved) {
    Wide saved = GetCurrentDirectoryW();
    Wide sub = In(u"Busy");
    ASSERT_TRUE(CreateDirectoryW(sub));
    ASSERT_TRUE(SetCurrentDirectoryW(sub));
    EXPECT_FALSE(RemoveDirectoryW(sub));
    EXPECT_EQ(GetLastError(), kErrorSharingViolation);
    ASSERT_TRUE(SetCurrentDirectoryW(saved));
    EXPECT_TRUE(RemoveDirectoryW(sub));
}

// A last-write time reads back to the tick, through the handle and through a search; among them
// an installed file's time, its payload stamp (an even second) and one tick.
TEST_F(ContractFiles, FileTimesRoundTrip) {
    FileTime evenSecond = 0, fraction = 0;
    ASSERT_TRUE(SystemTimeToFileTime(SystemTimeOf(2024, 2, 29, 23, 59, 58, 0), &evenSecond));
    ASSERT_TRUE(SystemTimeToFileTime(SystemTimeOf(2021, 6, 15, 12, 34, 56, 789), &fraction));
    for (const FileTime stamp : {fraction, evenSecond + 1}) {
        SCOPED_TRACE(stamp);
        Wide path = In(u"stamped.txt");
        Handle file = CreateFileW(path, kGenericRead | kGenericWrite, kFileShareRead,
                                  kCreateAlways, kFileAttributeNormal);
        ASSERT_NE(file, kInvalidHandle);
        FileTime after = 0;
        EXPECT_TRUE(SetFileTime(file, nullptr, nullptr, &stamp));
        ASSERT_TRUE(GetFileTime(file, nullptr, nullptr, &after));
        EXPECT_EQ(after, stamp);
        ByHandleFileInformation info;
        ASSERT_TRUE(GetFileInformationByHandle(file, &info));
        EXPECT_EQ(info.lastWriteTime, stamp);
        EXPECT_TRUE(CloseHandle(file));

        FindData found;
        Handle search = FindFirstFileW(path, &found);
        ASSERT_NE(search, kInvalidHandle);
        FindClose(search);
        EXPECT_EQ(found.lastWriteTime, stamp);
    }
}

// The facts of an open file agree with what GetFileInformationByHandle tells of it: attributes,
// last-write time to the tick, size and its single name; a folder shows as one.
TEST_F(ContractFiles, OpenFileFactsAgreeWithTheFullInformation) {
    FileTime stamp = 0;
    ASSERT_TRUE(SystemTimeToFileTime(SystemTimeOf(2021, 6, 15, 12, 34, 56, 789), &stamp));
    Wide path = In(u"facts.txt");
    ASSERT_TRUE(WriteWholeFile(path, "twelve bytes"));
    Handle file = CreateFileW(path, kGenericRead | kGenericWrite, kFileShareRead, kOpenExisting,
                              kFileAttributeNormal);
    ASSERT_NE(file, kInvalidHandle);
    ASSERT_TRUE(SetFileTime(file, nullptr, nullptr, &stamp));
    OpenFileFacts facts;
    ASSERT_TRUE(GetOpenFileFacts(file, &facts));
    ByHandleFileInformation info;
    ASSERT_TRUE(GetFileInformationByHandle(file, &info));
    EXPECT_EQ(12u, facts.size);
    EXPECT_EQ(1u, facts.numberOfLinks);
    EXPECT_EQ(stamp, facts.lastWriteTime);
    EXPECT_EQ(info.attributes, facts.attributes);
    EXPECT_EQ(0u, facts.attributes & kFileAttributeDirectory);
    EXPECT_TRUE(CloseHandle(file));

    Wide folder = In(u"facts");
    ASSERT_TRUE(CreateDirectoryW(folder));
    Handle held = CreateFileW(folder, 0, kFileShareRead | kFileShareWrite | kFileShareDelete,
                              kOpenExisting, kFileFlagBackupSemantics);
    ASSERT_NE(held, kInvalidHandle);
    ASSERT_TRUE(GetOpenFileFacts(held, &facts));
    EXPECT_NE(0u, facts.attributes & kFileAttributeDirectory);
    EXPECT_TRUE(CloseHandle(held));
    EXPECT_FALSE(GetOpenFileFacts(kInvalidHandle, &facts));
}

TEST_F(ContractFiles, WritingStampsTheFileWithTheClock) {
    const FileTime kTwoSeconds = 20000000;
    FileTime start = GetSystemTimeAsFileTime();
    Wide path = In(u"fresh.txt");
    ASSERT_TRUE(WriteWholeFile(path, "now"));
    FileTime end = GetSystemTimeAsFileTime();
    FindData found;
    Handle search = FindFirstFileW(path, &found);
    ASSERT_NE(search, kInvalidHandle);
    FindClose(search);
    EXPECT_GE(found.lastWriteTime + kTwoSeconds, start);
    EXPECT_LE(found.lastWriteTime, end + kTwoSeconds);
}

TEST_F(ContractFiles, CopyAndMove) {
    Wide source = In(u"source.txt"), copy = In(u"copy.txt"), moved = In(u"moved.txt");
    ASSERT_TRUE(WriteWholeFile(source, "payload"));
    EXPECT_TRUE(CopyFileW(source, copy, true));
    EXPECT_EQ(ReadWholeFile(copy), "payload");
    EXPECT_FALSE(CopyFileW(source, copy, true));
    EXPECT_EQ(GetLastError(), 80u);  // ERROR_FILE_EXISTS
    EXPECT_TRUE(CopyFileW(source, copy, false));

    EXPECT_FALSE(MoveFileExW(source, copy, 0));
    EXPECT_EQ(GetLastError(), kErrorAlreadyExists);
    EXPECT_TRUE(MoveFileExW(source, moved, 0));
    EXPECT_EQ(GetFileAttributesW(source), kInvalidFileAttributes);
    EXPECT_EQ(ReadWholeFile(moved), "payload");
    ASSERT_TRUE(WriteWholeFile(source, "second"));
    EXPECT_TRUE(MoveFileExW(source, moved, 1));  // MOVEFILE_REPLACE_EXISTING
    EXPECT_EQ(ReadWholeFile(moved), "second");
}

TEST_F(ContractFiles, FlushingNeedsAHandleThatWritesAndAWriteThroughMoveReplaces) {
    Wide path = In(u"flushed.txt"), target = In(u"target.txt");
    ASSERT_TRUE(WriteWholeFile(target, "old"));
    Handle writer = Open(path, kGenericRead | kGenericWrite, 0, kCreateAlways);
    ASSERT_NE(writer, kInvalidHandle);
    uint32_t count = 0;
    ASSERT_TRUE(WriteFile(writer, "new", 3, &count));
    EXPECT_TRUE(FlushFileBuffers(writer));
    CloseHandle(writer);

    Handle reader = Open(path, kGenericRead, kFileShareRead, kOpenExisting);
    ASSERT_NE(reader, kInvalidHandle);
    EXPECT_FALSE(FlushFileBuffers(reader));
    EXPECT_EQ(GetLastError(), kErrorAccessDenied);
    CloseHandle(reader);
    EXPECT_FALSE(FlushFileBuffers(kInvalidHandle + 0x7FF0));

    EXPECT_TRUE(MoveFileExW(path, target, kMoveFileReplaceExisting | kMoveFileWriteThrough));
    EXPECT_EQ(ReadWholeFile(target), "new");
    EXPECT_EQ(GetFileAttributesW(path), kInvalidFileAttributes);
}

// The same text gives the same full path on both platforms, from a known current folder.
TEST_F(ContractFiles, FullPathsAreReadAsWindowsReadsThem) {
    Wide saved = GetCurrentDirectoryW();
    Wide folder = Folder(), parent = folder.substr(0, folder.rfind(u'\\'));
    Wide drive = folder.substr(0, 2);  // "C:"
    Wide forward = folder;
    std::replace(forward.begin(), forward.end(), u'\\', u'/');
    ASSERT_TRUE(SetCurrentDirectoryW(folder));
    const struct {
        Wide text, full;
    } cases[] = {
        {folder + u"\\a\\\\b", folder + u"\\a\\b"},
        {forward + u"/a//b/", folder + u"\\a\\b\\"},
        {folder + u"\\Tessaron.", folder + u"\\Tessaron"},
        {folder + u"\\Tessaron. . ", folder + u"\\Tessaron"},
        {folder + u"\\Tessaron \\", folder + u"\\Tessaron \\"},
        {folder + u"\\a.\\b", folder + u"\\a\\b"},
        {folder + u"\\a..\\b", folder + u"\\a.\\b"},
        {folder + u"\\a \\b", folder + u"\\a \\b"},
        {folder + u"\\a\\.\\b\\..\\c", folder + u"\\a\\c"},
        {folder + u"\\a\\.", folder + u"\\a"},
        {folder + u"\\a\\b\\..", folder + u"\\a"},
        {folder + u"\\..", parent},
        {drive + u"\\..\\..\\x", drive + u"\\x"},
        {drive + u"\\", drive + u"\\"},
        {drive + u"\\\\x", drive + u"\\x"},
        {drive, folder + u"\\"},
        {drive + u"a\\b", folder + u"\\a\\b"},
        {u"a\\b", folder + u"\\a\\b"},
        {u".", folder},
        {u"..", parent},
        {u"\\x\\y", drive + u"\\x\\y"},
        {u"Q:x", u"Q:\\x"},
        {u"\\\\srv\\share\\a\\..\\b.", u"\\\\srv\\share\\b"},
        {u"\\\\srv\\share\\..\\x", u"\\\\srv\\share\\x"},
    };
    for (const auto& c : cases) {
        std::string shown;
        for (char16_t unit : c.text) shown += static_cast<char>(unit);
        EXPECT_EQ(GetFullPathNameW(c.text), c.full) << shown;
    }
    EXPECT_EQ(GetFullPathNameW(u""), u"");
    ASSERT_TRUE(SetCurrentDirectoryW(saved));
}

TEST(ContractTempFolder, IsAnExistingFolderEndingInABackslash) {
    Wide temp = GetTempPathW();
    ASSERT_FALSE(temp.empty());
    EXPECT_EQ(temp.back(), u'\\');
    EXPECT_TRUE(IsFolder(temp));
}

}  // namespace
}  // namespace contract

namespace {

class ContractLongNames : public contract::ScratchTest {};

TEST_F(ContractLongNames, AnExistingPathComesBackWithItsLongNamesAndAMissingOneFails) {
    plat::Wide folder = In(u"A Long Folder Name");
    ASSERT_TRUE(plat::CreateDirectoryW(folder));
    plat::Wide got = plat::GetLongPathNameW(folder);
    EXPECT_EQ(u"A Long Folder Name", got.substr(got.size() - 18));
    EXPECT_TRUE(plat::GetLongPathNameW(In(u"Missing\\Below")).empty());
    uint32_t error = plat::GetLastError();
    EXPECT_TRUE(error == plat::kErrorFileNotFound || error == plat::kErrorPathNotFound) << error;
}

}  // namespace
