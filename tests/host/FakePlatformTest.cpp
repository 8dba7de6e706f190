// The in-memory platform's own controls, which the other host tests use to set up a machine and
// to inject faults.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fake/fake.h"
#include "platform/platform.h"

namespace {

using plat::Handle;
using plat::Wide;

// The platform contract tests run against a clean machine, whatever the tests before them did.
class ResetBeforeContractTests : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo& info) override {
        if (std::string(info.test_suite_name()).rfind("Contract", 0) == 0) fake::Reset();
    }
};

const bool kListenerRegistered = [] {
    testing::UnitTest::GetInstance()->listeners().Append(new ResetBeforeContractTests);
    return true;
}();

class FakePlatform : public testing::Test {
protected:
    void SetUp() override { fake::Reset(); }
    void TearDown() override { fake::Reset(); }

    static Handle OpenForWriting(const Wide& path) {
        return plat::CreateFileW(path, plat::kGenericWrite, plat::kFileShareRead,
                                 plat::kCreateAlways, plat::kFileAttributeNormal);
    }
    static bool Write(Handle file, const std::string& bytes, uint32_t* written) {
        return plat::WriteFile(file, bytes.data(), static_cast<uint32_t>(bytes.size()), written);
    }
    static plat::FileTime Time(int year, int month, int day, int hour, int minute, int second) {
        plat::FileTime time = 0;
        EXPECT_TRUE(plat::SystemTimeToFileTime(
            plat::SystemTimeOf(year, month, day, hour, minute, second), &time));
        return time;
    }
};

// ---- The clean machine ----

TEST_F(FakePlatform, CleanMachineHasDriveCWithTheSpecialFolders) {
    EXPECT_EQ(plat::GetLogicalDrives(), 1u << 2);
    Wide label = u"x", fileSystem;
    uint32_t flags = 0;
    ASSERT_TRUE(plat::GetVolumeInformationW(u"C:\\", &label, &flags, &fileSystem));
    EXPECT_EQ(label, u"");
    EXPECT_EQ(fileSystem, u"NTFS");
    EXPECT_EQ(flags, plat::kFsCasePreservedNames);
    EXPECT_EQ(plat::GetCurrentDirectoryW(), u"C:\\");
    EXPECT_EQ(plat::GetTempPathW(), u"C:\\Users\\User\\Temp\\");
    EXPECT_TRUE(fake::FolderExistsAt(u"C:\\Users\\User\\Temp"));
    EXPECT_EQ(plat::GetCommandLineW(), u"setup.exe");
    EXPECT_EQ(plat::GetUserDefaultLCID(), 0x0409u);

    ASSERT_TRUE(plat::ResolveSHGetFolderPathW());
    Wide path;
    ASSERT_EQ(plat::SHGetFolderPathW(plat::kCsidlProgramFiles, &path), 0);
    EXPECT_EQ(path, u"C:\\Program Files");
    ASSERT_EQ(plat::SHGetFolderPathW(plat::kCsidlCommonAppData, &path), 0);
    EXPECT_EQ(path, u"C:\\ProgramData");
    ASSERT_EQ(plat::SHGetFolderPathW(plat::kCsidlPrograms, &path), 0);
    EXPECT_TRUE(fake::FolderExistsAt(path));

    plat::SystemTime now;
    plat::GetLocalTime(&now);
    EXPECT_EQ(now.year, 2026);
    EXPECT_EQ(now.month, 3);
    EXPECT_EQ(now.day, 14);
    EXPECT_EQ(now.hour, 10);
    EXPECT_EQ(now.minute, 20);
    EXPECT_EQ(now.second, 30);
    EXPECT_EQ(plat::GetSystemTimeAsFileTime(), Time(2026, 3, 14, 10, 20, 30)) << "UTC+0";
}

TEST_F(FakePlatform, FolderLookupFailsUntilResolved) {
    Wide path;
    EXPECT_NE(plat::SHGetFolderPathW(plat::kCsidlPersonal, &path), 0);
    fake::SetFolderServiceAvailable(false);
    EXPECT_FALSE(plat::ResolveSHGetFolderPathW());
    EXPECT_NE(plat::SHGetFolderPathW(plat::kCsidlPersonal, &path), 0);
    fake::SetFolderServiceAvailable(true);
    ASSERT_TRUE(plat::ResolveSHGetFolderPathW());
    fake::SetSpecialFolder(plat::kCsidlPersonal, u"");
    EXPECT_NE(plat::SHGetFolderPathW(plat::kCsidlPersonal, &path), 0);
    fake::SetSpecialFolder(plat::kCsidlPersonal, u"D:\\Docs");
    ASSERT_EQ(plat::SHGetFolderPathW(plat::kCsidlPersonal, &path), 0);
    EXPECT_EQ(path, u"D:\\Docs");
}

TEST_F(FakePlatform, ResetClearsEverything) {
    fake::PutFile(u"C:\\Data\\file.txt", "bytes");
    fake::AddDrive('E', fake::DriveInfo());
    fake::HoldOpen(u"C:\\Data\\file.txt");
    fake::FailWrites(u"C:\\Data\\new.txt");
    fake::DenyCreateFolder(u"C:\\Denied");
    plat::SetCurrentDirectoryW(u"C:\\Data");
    fake::SetTempPath(u"E:\\");
    fake::SetCommandLine(u"setup.exe /S");
    fake::SetModuleFileName(u"E:\\setup.exe");
    fake::SetTimeZoneBias(-120);
    fake::SetUserLCID(0x040C);
    fake::SetResource("FILES", "FILES", "payload");
    fake::SetSpecialFolder(plat::kCsidlPersonal, u"E:\\Docs");
    fake::SetShellLinkAvailable(false);
    plat::SetErrorMode(plat::kSemFailCriticalErrors);
    plat::OleInitialize();
    plat::ResolveSHGetFolderPathW();
    plat::HKey key = 0;
    plat::RegCreateKeyExA(plat::kHKeyCurrentUser, "Software\\Tessaron", plat::kKeyAllAccess, &key);
    plat::WindowHandle window = fake::AddWindow();
    fake::SetWindowProp(window, u"1.x Coral Wing", 1);
    fake::FailWindowEnumeration();
    fake::ScriptAnswers({plat::kIdNo});
    plat::MessageBoxW(0, u"text", u"caption", plat::kMbOk);
    plat::ShellExecuteW(u"open", u"C:\\app.exe", u"", u"", plat::kSwShow);
    plat::FindData found;
    plat::FindFirstFileW(u"C:\\*", &found);
    plat::SetLastError(5);

    fake::Reset();

    EXPECT_FALSE(fake::FileExistsAt(u"C:\\Data\\file.txt"));
    EXPECT_FALSE(fake::FolderExistsAt(u"C:\\Data"));
    EXPECT_EQ(fake::Drive('E'), nullptr);
    EXPECT_EQ(plat::GetLogicalDrives(), 1u << 2);
    EXPECT_EQ(fake::OpenHandleCount(), 0);
    EXPECT_EQ(fake::OpenKeyCount(), 0);
    EXPECT_EQ(plat::GetLastError(), 0u);
    EXPECT_EQ(plat::GetCurrentDirectoryW(), u"C:\\");
    EXPECT_EQ(plat::GetTempPathW(), u"C:\\Users\\User\\Temp\\");
    EXPECT_EQ(plat::GetCommandLineW(), u"setup.exe");
    EXPECT_EQ(plat::GetUserDefaultLCID(), 0x0409u);
    EXPECT_EQ(fake::ErrorMode(), 0u);
    EXPECT_FALSE(fake::OleInitialized());
    EXPECT_FALSE(fake::RegKeyExists(plat::kHKeyCurrentUser, "Software\\Tessaron"));
    EXPECT_TRUE(fake::ShownBoxes().empty());
    EXPECT_TRUE(fake::Executions().empty());
    EXPECT_EQ(plat::MessageBoxW(0, u"t", u"c", plat::kMbYesNo), plat::kIdOk) << "script cleared";
    const void* data = nullptr;
    uint32_t size = 0;
    EXPECT_FALSE(plat::LoadOwnResource("FILES", "FILES", &data, &size));
    int windows = 0;
    EXPECT_TRUE(plat::EnumWindows([&](plat::WindowHandle) { return ++windows, true; }));
    EXPECT_EQ(windows, 0);
    Wide path;
    EXPECT_NE(plat::SHGetFolderPathW(plat::kCsidlPersonal, &path), 0) << "lookup not resolved";
    ASSERT_TRUE(plat::ResolveSHGetFolderPathW());
    ASSERT_EQ(plat::SHGetFolderPathW(plat::kCsidlPersonal, &path), 0);
    EXPECT_EQ(path, u"C:\\Users\\User\\Documents");
    EXPECT_EQ(plat::GetSystemTimeAsFileTime(), Time(2026, 3, 14, 10, 20, 30));

    // The cleared faults no longer apply.
    Handle file = OpenForWriting(u"C:\\Data2.txt");
    ASSERT_NE(file, plat::kInvalidHandle);
    uint32_t written = 0;
    EXPECT_TRUE(Write(file, "ok", &written));
    plat::CloseHandle(file);
    fake::PutFile(u"C:\\Data\\file.txt", "again");
    file = OpenForWriting(u"C:\\Data\\file.txt");
    EXPECT_NE(file, plat::kInvalidHandle) << "no longer held open";
    plat::CloseHandle(file);
    EXPECT_TRUE(plat::CreateDirectoryW(u"C:\\Denied"));
    plat::OleInitialize();
    plat::ShellLink link;
    EXPECT_TRUE(link.Created());
    plat::OleUninitialize();
}

// ---- Files ----

TEST_F(FakePlatform, PutFileCreatesFoldersAndListTreeShowsThem) {
    plat::FileTime stamp = Time(2020, 5, 6, 7, 8, 10);
    fake::PutFile(u"C:\\App\\Sub\\Data.bin", "12345", stamp);
    fake::PutFile(u"c:\\app\\readme.TXT", "r");
    fake::PutFolder(u"C:\\App\\Empty");
    EXPECT_TRUE(fake::FolderExistsAt(u"C:\\APP\\SUB"));
    EXPECT_TRUE(fake::FileExistsAt(u"c:\\app\\sub\\data.bin"));
    EXPECT_FALSE(fake::FileExistsAt(u"C:\\App\\Sub"));
    EXPECT_EQ(fake::FileBytes(u"C:\\App\\Sub\\Data.bin"), "12345");
    EXPECT_EQ(fake::FileWriteTime(u"C:\\App\\Sub\\Data.bin"), stamp);
    EXPECT_EQ(fake::FileWriteTime(u"C:\\App\\readme.txt"), plat::GetSystemTimeAsFileTime());
    EXPECT_EQ(fake::ListTree(u"C:\\App"),
              (std::vector<Wide>{u"Empty\\", u"Sub\\", u"Sub\\Data.bin", u"readme.TXT"}));
}

TEST_F(FakePlatform, InjectedWriteFailureFailsOnceThenWritesSucceed) {
    Wide path = u"C:\\Users\\User\\Temp\\out.bin";
    fake::FailWrites(path);  // before the file exists, as the installer creates it
    Handle file = OpenForWriting(path);
    ASSERT_NE(file, plat::kInvalidHandle);
    uint32_t written = 99;
    EXPECT_FALSE(Write(file, "abcdef", &written));
    EXPECT_EQ(plat::GetLastError(), plat::kErrorWriteFault);
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(fake::FileBytes(path), "");
    EXPECT_TRUE(Write(file, "abcdef", &written));
    EXPECT_EQ(written, 6u);
    plat::CloseHandle(file);
    EXPECT_EQ(fake::FileBytes(path), "abcdef");
}

TEST_F(FakePlatform, InjectedPartialWritesKeepTheirBytes) {
    Wide path = u"C:\\partial.bin";
    fake::FailWrites(path, 2, 3);
    Handle file = OpenForWriting(path);
    uint32_t written = 0;
    EXPECT_FALSE(Write(file, "abcdef", &written));
    EXPECT_EQ(written, 3u);
    EXPECT_FALSE(Write(file, "ghijkl", &written));
    EXPECT_EQ(written, 3u);
    EXPECT_TRUE(Write(file, "mn", &written));
    plat::CloseHandle(file);
    EXPECT_EQ(fake::FileBytes(path), "abcghimn");
}

TEST_F(FakePlatform, HeldOpenFileRefusesDataAccessAndDeletion) {
    Wide path = u"C:\\App\\tsd.exe";
    fake::PutFile(path, "MZ");
    fake::HoldOpen(path);
    EXPECT_EQ(OpenForWriting(path), plat::kInvalidHandle);
    EXPECT_EQ(plat::GetLastError(), plat::kErrorSharingViolation);
    EXPECT_EQ(plat::CreateFileW(path, plat::kGenericRead, plat::kFileShareRead | plat::kFileShareWrite,
                                plat::kOpenExisting, 0),
              plat::kInvalidHandle);
    EXPECT_FALSE(plat::DeleteFileW(path));
    EXPECT_EQ(plat::GetLastError(), plat::kErrorSharingViolation);
    // Queries without access rights still work, as on Windows.
    Handle query = plat::CreateFileW(path, 0, plat::kFileShareRead, plat::kOpenExisting, 0);
    ASSERT_NE(query, plat::kInvalidHandle);
    EXPECT_EQ(plat::GetFileSize(query), 2u);
    plat::CloseHandle(query);

    fake::HoldOpen(path, false);
    Handle file = OpenForWriting(path);
    EXPECT_NE(file, plat::kInvalidHandle);
    plat::CloseHandle(file);
    EXPECT_TRUE(plat::DeleteFileW(path));
}

TEST_F(FakePlatform, FullDiskRefusesGrowthButNotRewrites) {
    fake::DriveInfo stick;
    stick.capacity = 10;
    fake::AddDrive('E', stick);
    Handle file = OpenForWriting(u"E:\\a.bin");
    uint32_t written = 0;
    EXPECT_TRUE(Write(file, "12345678", &written));
    EXPECT_FALSE(Write(file, "abcde", &written));
    EXPECT_EQ(plat::GetLastError(), plat::kErrorDiskFull);
    EXPECT_EQ(written, 0u);
    EXPECT_TRUE(Write(file, "ab", &written));
    plat::CloseHandle(file);
    EXPECT_EQ(fake::FileBytes(u"E:\\a.bin"), "12345678ab");
    file = OpenForWriting(u"E:\\a.bin");  // truncated: the space is free again
    EXPECT_TRUE(Write(file, "0123456789", &written));
    plat::CloseHandle(file);
    EXPECT_FALSE(plat::CopyFileW(u"E:\\a.bin", u"E:\\b.bin", true));
    EXPECT_EQ(plat::GetLastError(), plat::kErrorDiskFull);
}

TEST_F(FakePlatform, RemovedDriveMakesItsPathsUnreachable) {
    fake::DriveInfo stick;
    stick.type = plat::kDriveRemovable;
    fake::AddDrive('F', stick);
    fake::PutFile(u"F:\\Portable\\tsd.exe", "MZ");
    Handle open = plat::CreateFileW(u"F:\\Portable\\tsd.exe", plat::kGenericRead | plat::kGenericWrite,
                                    plat::kFileShareRead, plat::kOpenExisting, 0);
    ASSERT_NE(open, plat::kInvalidHandle);
    EXPECT_TRUE(plat::GetLogicalDrives() & (1u << 5));

    fake::RemoveDrive('F');
    EXPECT_FALSE(plat::GetLogicalDrives() & (1u << 5));
    EXPECT_EQ(plat::GetDriveTypeW(u"F:\\"), plat::kDriveNoRootDir);
    EXPECT_FALSE(fake::FileExistsAt(u"F:\\Portable\\tsd.exe"));
    plat::FindData found;
    EXPECT_EQ(plat::FindFirstFileW(u"F:\\Portable\\*.*", &found), plat::kInvalidHandle);
    EXPECT_EQ(OpenForWriting(u"F:\\Portable\\new.txt"), plat::kInvalidHandle);
    EXPECT_EQ(plat::GetLastError(), plat::kErrorPathNotFound);
    EXPECT_FALSE(plat::CreateDirectoryW(u"F:\\Other"));
    EXPECT_FALSE(plat::SetCurrentDirectoryW(u"F:\\Portable"));
    uint32_t written = 0;
    EXPECT_FALSE(Write(open, "x", &written)) << "a handle left open fails";
    EXPECT_TRUE(plat::CloseHandle(open));
    EXPECT_EQ(fake::OpenHandleCount(), 0);
}

TEST_F(FakePlatform, DeniedFolderCannotBeCreated) {
    fake::DenyCreateFolder(u"C:\\Program Files\\Tessaron");
    EXPECT_FALSE(plat::CreateDirectoryW(u"C:\\Program Files\\Tessaron\\"));
    EXPECT_EQ(plat::GetLastError(), plat::kErrorAccessDenied);
    EXPECT_TRUE(plat::CreateDirectoryW(u"C:\\Program Files\\Other"));
}

TEST_F(FakePlatform, OpenHandleCountCountsFilesSearchesAndVolumes) {
    fake::PutFile(u"C:\\a.txt", "a");
    Handle file = plat::CreateFileW(u"C:\\a.txt", plat::kGenericRead, plat::kFileShareRead,
                                    plat::kOpenExisting, 0);
    plat::FindData found;
    Handle search = plat::FindFirstFileW(u"C:\\*", &found);
    Handle volume = plat::CreateFileW(u"\\\\.\\C:", plat::kGenericRead,
                                      plat::kFileShareRead | plat::kFileShareWrite,
                                      plat::kOpenExisting, 0);
    EXPECT_EQ(fake::OpenHandleCount(), 3);
    EXPECT_FALSE(plat::CloseHandle(search)) << "a search is ended with FindClose";
    EXPECT_TRUE(plat::FindClose(search));
    EXPECT_TRUE(plat::CloseHandle(file));
    EXPECT_TRUE(plat::CloseHandle(volume));
    EXPECT_EQ(fake::OpenHandleCount(), 0);
    EXPECT_FALSE(plat::CloseHandle(file)) << "closed twice";
}

TEST_F(FakePlatform, AttributesSetByTheTestAreSeenBySearches) {
    fake::PutFolder(u"C:\\Data\\Hidden");
    fake::SetAttributes(u"C:\\Data\\Hidden", plat::kFileAttributeHidden);
    plat::FindData found;
    Handle search = plat::FindFirstFileW(u"C:\\Data\\Hidden", &found);
    ASSERT_NE(search, plat::kInvalidHandle);
    plat::FindClose(search);
    EXPECT_EQ(found.attributes, plat::kFileAttributeHidden | plat::kFileAttributeDirectory);
}

TEST_F(FakePlatform, ExplicitWriteTimeSurvivesLaterWritesThroughTheHandle) {
    Handle file = OpenForWriting(u"C:\\stamped.txt");
    uint32_t written = 0;
    Write(file, "ab", &written);
    plat::FileTime stamp = Time(2001, 2, 3, 4, 5, 6);
    ASSERT_TRUE(plat::SetFileTime(file, nullptr, nullptr, &stamp));
    Write(file, "cd", &written);
    plat::CloseHandle(file);
    EXPECT_EQ(fake::FileWriteTime(u"C:\\stamped.txt"), stamp);
}

// ---- Clock and time zone ----

TEST_F(FakePlatform, TimeZoneBiasSeparatesLocalFromUniversalTime) {
    fake::SetTimeZoneBias(-60);  // UTC+1
    plat::SystemTime local = plat::SystemTimeOf(2025, 12, 31, 23, 59, 59);
    fake::SetLocalTime(local);
    plat::SystemTime now;
    plat::GetLocalTime(&now);
    EXPECT_EQ(now.year, 2025);
    EXPECT_EQ(now.hour, 23);
    EXPECT_EQ(plat::GetSystemTimeAsFileTime(), Time(2025, 12, 31, 22, 59, 59));
    plat::FileTime converted = 0;
    ASSERT_TRUE(plat::FileTimeToLocalFileTime(Time(2025, 12, 31, 22, 59, 59), &converted));
    EXPECT_EQ(converted, Time(2025, 12, 31, 23, 59, 59));

    Handle file = OpenForWriting(u"C:\\now.txt");
    uint32_t written = 0;
    Write(file, "x", &written);
    plat::CloseHandle(file);
    EXPECT_EQ(fake::FileWriteTime(u"C:\\now.txt"), Time(2025, 12, 31, 22, 59, 59))
        << "files are stamped in UTC";
}

// ---- Drives ----

TEST_F(FakePlatform, DriveTableAnswersTheDriveQueries) {
    fake::DriveInfo usb;
    usb.busType = plat::kBusTypeUsb;
    usb.label = u"Stick";
    fake::AddDrive('G', usb);
    fake::DriveInfo share;
    share.type = plat::kDriveRemote;
    share.networkName = u"\\\\server\\share";
    fake::AddDrive('N', share);
    fake::DriveInfo reader;
    reader.type = plat::kDriveRemovable;
    reader.mediumPresent = false;
    reader.removableMedia = true;
    fake::AddDrive('R', reader);
    fake::DriveInfo locked;
    locked.canOpenVolume = false;
    fake::AddDrive('L', locked);

    Handle volume = plat::CreateFileW(u"\\\\.\\G:", plat::kGenericRead,
                                      plat::kFileShareRead | plat::kFileShareWrite,
                                      plat::kOpenExisting, 0);
    ASSERT_NE(volume, plat::kInvalidHandle);
    unsigned char query[12] = {};
    unsigned char out[548] = {};
    uint32_t returned = 0;
    ASSERT_TRUE(plat::DeviceIoControl(volume, plat::kIoctlStorageQueryProperty, query, 12, out,
                                      548, &returned));
    EXPECT_EQ(out[plat::kDescriptorBusTypeOffset], plat::kBusTypeUsb);
    EXPECT_EQ(out[plat::kDescriptorRemovableMediaOffset], 0);
    plat::CloseHandle(volume);

    volume = plat::CreateFileW(u"\\\\.\\r:", plat::kGenericRead,
                               plat::kFileShareRead | plat::kFileShareWrite, plat::kOpenExisting, 0);
    ASSERT_NE(volume, plat::kInvalidHandle) << "an empty reader still opens";
    ASSERT_TRUE(plat::DeviceIoControl(volume, plat::kIoctlStorageQueryProperty, query, 12, out,
                                      548, &returned));
    EXPECT_EQ(out[plat::kDescriptorRemovableMediaOffset], 1);
    plat::CloseHandle(volume);
    EXPECT_FALSE(plat::GetVolumeInformationW(u"R:\\", nullptr, nullptr, nullptr));
    EXPECT_EQ(plat::GetLastError(), plat::kErrorNotReady);

    EXPECT_EQ(plat::CreateFileW(u"\\\\.\\L:", plat::kGenericRead,
                                plat::kFileShareRead | plat::kFileShareWrite, plat::kOpenExisting, 0),
              plat::kInvalidHandle);
    EXPECT_EQ(plat::GetLastError(), plat::kErrorAccessDenied);

    Wide label, remote;
    ASSERT_TRUE(plat::GetVolumeInformationW(u"G:\\", &label, nullptr, nullptr));
    EXPECT_EQ(label, u"Stick");
    EXPECT_EQ(plat::WNetGetConnectionW(u"N:", &remote), 0u);
    EXPECT_EQ(remote, u"\\\\server\\share");
    EXPECT_EQ(plat::GetDriveTypeW(u"N:\\"), plat::kDriveRemote);
    EXPECT_EQ(plat::WNetGetConnectionW(u"G:", &remote), plat::kErrorNotConnected);

    EXPECT_EQ(plat::SetErrorMode(plat::kSemFailCriticalErrors), 0u);
    EXPECT_EQ(fake::ErrorMode(), plat::kSemFailCriticalErrors);
}

// ---- Registry ----

TEST_F(FakePlatform, RegistryControlsSeeStoredValues) {
    plat::HKey key = 0;
    ASSERT_EQ(plat::RegCreateKeyExA(plat::kHKeyLocalMachine, "Software\\Tessaron\\Setup",
                                    plat::kKeyAllAccess, &key), 0);
    EXPECT_EQ(fake::OpenKeyCount(), 1);
    ASSERT_EQ(plat::RegSetValueExA(key, "MAINDIR", plat::kRegSz, "C:\\\xe9", 5), 0);
    fake::RegValue value;
    ASSERT_TRUE(fake::RegValueAt(plat::kHKeyLocalMachine, "SOFTWARE\\tessaron\\setup", "maindir",
                                 &value));
    EXPECT_EQ(value.type, plat::kRegSz);
    EXPECT_EQ(value.bytes, std::string("C\0:\0\\\0\xe9\0\0\0", 10));
    EXPECT_TRUE(fake::RegKeyExists(plat::kHKeyLocalMachine, "Software\\Tessaron"));
    EXPECT_FALSE(fake::RegKeyExists(plat::kHKeyCurrentUser, "Software\\Tessaron"));
    plat::RegCloseKey(key);
    EXPECT_EQ(fake::OpenKeyCount(), 0);

    fake::DenyRegistryKey(plat::kHKeyLocalMachine, "Software\\Uninstall");
    EXPECT_EQ(plat::RegCreateKeyExA(plat::kHKeyLocalMachine, "Software\\Uninstall\\Tessaron",
                                    plat::kKeyAllAccess, &key),
              static_cast<int32_t>(plat::kErrorAccessDenied));
    EXPECT_FALSE(fake::RegKeyExists(plat::kHKeyLocalMachine, "Software\\Uninstall\\Tessaron"));
    EXPECT_EQ(fake::OpenKeyCount(), 0);
}

// ---- Shell ----

TEST_F(FakePlatform, ShellExecuteIsRecorded) {
    EXPECT_EQ(plat::ShellExecuteW(u"open", u"C:\\App\\tsd.exe", u"-uilp en", u"C:\\App",
                                  plat::kSwShow),
              42);
    ASSERT_EQ(fake::Executions().size(), 1u);
    const fake::Execution& run = fake::Executions()[0];
    EXPECT_EQ(run.verb, u"open");
    EXPECT_EQ(run.file, u"C:\\App\\tsd.exe");
    EXPECT_EQ(run.parameters, u"-uilp en");
    EXPECT_EQ(run.directory, u"C:\\App");
    EXPECT_EQ(run.showCommand, plat::kSwShow);
}

TEST_F(FakePlatform, ShellLinkNeedsTheComponentServicesAndIsReadByLinkAt) {
    {
        plat::ShellLink link;
        EXPECT_FALSE(link.Created()) << "OleInitialize was not called";
    }
    EXPECT_EQ(plat::OleInitialize(), 0);
    EXPECT_TRUE(fake::OleInitialized());
    Wide path = u"C:\\Users\\User\\Desktop\\Tessaron.lnk";
    {
        plat::ShellLink link;
        ASSERT_TRUE(link.Created());
        link.SetPath(u"C:\\App\\tsd.exe");
        link.SetWorkingDirectory(u"C:\\App\\");
        link.SetDescription(u"Word processor");
        ASSERT_TRUE(link.HasPersistFile());
        ASSERT_EQ(link.Save(path), 0);
    }
    fake::LinkData data;
    ASSERT_TRUE(fake::LinkAt(u"c:\\users\\user\\desktop\\TESSARON.LNK", &data));
    EXPECT_EQ(data.target, u"C:\\App\\tsd.exe");
    EXPECT_EQ(data.workingDirectory, u"C:\\App\\");
    EXPECT_EQ(data.description, u"Word processor");
    EXPECT_EQ(fake::FileBytes(path).substr(0, 4), std::string("L\0\0\0", 4));
    EXPECT_FALSE(fake::LinkAt(u"C:\\Users\\User\\Desktop\\other.lnk", &data));

    fake::FailWrites(u"C:\\Users\\User\\Desktop\\Failing.lnk");
    {
        plat::ShellLink link;
        link.HasPersistFile();
        EXPECT_LT(link.Save(u"C:\\Users\\User\\Desktop\\Failing.lnk"), 0);
    }
    fake::SetShellLinkAvailable(false);
    {
        plat::ShellLink link;
        EXPECT_FALSE(link.Created());
        EXPECT_FALSE(link.HasPersistFile());
    }
    plat::OleUninitialize();
    EXPECT_FALSE(fake::OleInitialized());
    EXPECT_EQ(fake::OpenHandleCount(), 0);
}

// ---- Windows and message boxes ----

TEST_F(FakePlatform, WindowsAreEnumeratedInCreationOrderWithTheirProperties) {
    plat::WindowHandle first = fake::AddWindow();
    plat::WindowHandle second = fake::AddWindow();
    plat::WindowHandle third = fake::AddWindow();
    fake::SetWindowProp(second, u"1.x Coral Wing", 7);
    std::vector<plat::WindowHandle> seen;
    EXPECT_TRUE(plat::EnumWindows([&](plat::WindowHandle w) { return seen.push_back(w), true; }));
    EXPECT_EQ(seen, (std::vector<plat::WindowHandle>{first, second, third}));
    EXPECT_EQ(plat::GetPropW(second, u"1.X CORAL WING"), 7u);
    EXPECT_EQ(plat::GetPropW(first, u"1.x Coral Wing"), 0u);

    seen.clear();
    plat::EnumWindows([&](plat::WindowHandle w) { return seen.push_back(w), w != second; });
    EXPECT_EQ(seen, (std::vector<plat::WindowHandle>{first, second}));

    fake::RemoveWindow(second);
    seen.clear();
    plat::EnumWindows([&](plat::WindowHandle w) { return seen.push_back(w), true; });
    EXPECT_EQ(seen, (std::vector<plat::WindowHandle>{first, third}));

    fake::FailWindowEnumeration();
    EXPECT_FALSE(plat::EnumWindows([](plat::WindowHandle) { return true; }));
}

TEST_F(FakePlatform, MessageBoxesAreAnsweredFromTheScriptAndRecorded) {
    fake::ScriptAnswers({plat::kIdRetry, plat::kIdCancel});
    uint32_t flags = plat::kMbRetryCancel | plat::kMbIconError | plat::kMbTaskModal;
    EXPECT_EQ(plat::MessageBoxW(0, u"Cannot create file", u"Setup", flags), plat::kIdRetry);
    EXPECT_EQ(plat::MessageBoxW(0, u"Cannot create file", u"Setup", flags), plat::kIdCancel);
    EXPECT_EQ(plat::MessageBoxW(0, u"Done", u"Setup", plat::kMbOk), plat::kIdOk);
    ASSERT_EQ(fake::ShownBoxes().size(), 3u);
    EXPECT_EQ(fake::ShownBoxes()[0].text, u"Cannot create file");
    EXPECT_EQ(fake::ShownBoxes()[0].caption, u"Setup");
    EXPECT_EQ(fake::ShownBoxes()[0].flags, flags);
    EXPECT_EQ(fake::ShownBoxes()[2].text, u"Done");
}

// ---- Process and resources ----

TEST_F(FakePlatform, ResourcesAreFoundByTypeAndNameWithoutCase) {
    fake::SetResource("FILES", "FILES", "payload bytes");
    fake::SetResource("#14", "#1", "icon group");
    const void* data = nullptr;
    uint32_t size = 0;
    ASSERT_TRUE(plat::LoadOwnResource("files", "Files", &data, &size));
    EXPECT_EQ(std::string(static_cast<const char*>(data), size), "payload bytes");
    EXPECT_FALSE(plat::LoadOwnResource("PNG", "LOGO", &data, &size));
    EXPECT_NE(plat::LoadIconW(1), 0u);
    EXPECT_EQ(plat::LoadIconW(2), 0u);
    fake::ClearResources();
    EXPECT_FALSE(plat::LoadOwnResource("FILES", "FILES", &data, &size));

    fake::SetCommandLine(u"\"C:\\setup.exe\" /S");
    fake::SetModuleFileName(u"E:\\setup.exe");
    EXPECT_EQ(plat::GetCommandLineW(), u"\"C:\\setup.exe\" /S");
    EXPECT_EQ(plat::GetModuleFileNameW(), u"E:\\setup.exe");
    fake::SetUserLCID(0x0804);
    EXPECT_EQ(plat::GetUserDefaultLCID(), 0x0804u);
}

}  // namespace
