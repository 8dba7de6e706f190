// The one seam between the setup program and Windows.
//
// Every operation here is shaped like the Win32 call of the same name, so the code above it reads
// like the Win32 program it is. Two implementations exist and are chosen at link time:
//   platform/win32/  thin calls of the real functions (Windows build only);
//   platform/fake/   an in-memory Windows for host tests (see fake/fake.h for its controls).
// Buffers of the real API are replaced by returned values where that changes nothing for callers;
// error results keep their Win32 meaning (FALSE / INVALID_HANDLE_VALUE / error codes) so that the
// callers can follow the installer's algorithms literally.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace plat {

// UTF-16 text, the form of every path and every text handed to the platform.
using Wide = std::u16string;

// Opaque handles. A Handle is a file, search or volume handle; kInvalidHandle is
// INVALID_HANDLE_VALUE.
using Handle = intptr_t;
constexpr Handle kInvalidHandle = -1;
using HKey = uintptr_t;
using WindowHandle = uintptr_t;
using IconHandle = uintptr_t;

// ---- Published Win32 values (prefixed so they never meet the windows.h macros) ----

// Access rights, sharing, dispositions, attributes.
constexpr uint32_t kGenericRead = 0x80000000u;
constexpr uint32_t kGenericWrite = 0x40000000u;
constexpr uint32_t kFileShareRead = 0x1;
constexpr uint32_t kFileShareWrite = 0x2;
constexpr uint32_t kFileShareDelete = 0x4;
constexpr uint32_t kCreateNew = 1;
constexpr uint32_t kCreateAlways = 2;
constexpr uint32_t kOpenExisting = 3;
constexpr uint32_t kOpenAlways = 4;
constexpr uint32_t kFileAttributeReadOnly = 0x01;
constexpr uint32_t kFileAttributeHidden = 0x02;
constexpr uint32_t kFileAttributeSystem = 0x04;
constexpr uint32_t kFileAttributeVolumeLabel = 0x08;
constexpr uint32_t kFileAttributeDirectory = 0x10;
constexpr uint32_t kFileAttributeArchive = 0x20;
constexpr uint32_t kFileAttributeNormal = 0x80;
// A junction, a symbolic link or a mount point.
constexpr uint32_t kFileAttributeReparsePoint = 0x400;
// CreateFileW opens a link itself instead of what it points at.
constexpr uint32_t kFileFlagOpenReparsePoint = 0x00200000u;
constexpr uint32_t kFileFlagBackupSemantics = 0x02000000u;
constexpr uint32_t kInvalidFileSize = 0xFFFFFFFFu;
constexpr uint32_t kInvalidFileAttributes = 0xFFFFFFFFu;
constexpr uint32_t kMoveFileReplaceExisting = 0x1;
constexpr uint32_t kMoveFileDelayUntilReboot = 0x4;
// The file is deleted when its last handle is closed, never by its name.
constexpr uint32_t kFileFlagDeleteOnClose = 0x04000000u;
constexpr uint32_t kFileBegin = 0;
constexpr uint32_t kFileEnd = 2;
constexpr uint32_t kInvalidSetFilePointer = 0xFFFFFFFFu;
constexpr uint32_t kMoveFileWriteThrough = 0x8;
// Standard and specific access rights asked for by the opens that check and delete one object.
constexpr uint32_t kDelete = 0x00010000u;
constexpr uint32_t kReadControl = 0x00020000u;  // reading the owner and the access list
constexpr uint32_t kFileReadData = 0x1;  // FILE_LIST_DIRECTORY for a folder
constexpr uint32_t kFileReadAttributes = 0x80;
constexpr uint32_t kFileWriteAttributes = 0x100;

// Error codes (GetLastError, registry and network results).
constexpr uint32_t kErrorSuccess = 0;
constexpr uint32_t kErrorFileNotFound = 2;
constexpr uint32_t kErrorPathNotFound = 3;
constexpr uint32_t kErrorAccessDenied = 5;
constexpr uint32_t kErrorInvalidHandle = 6;
constexpr uint32_t kErrorNotReady = 21;
constexpr uint32_t kErrorWriteFault = 29;
constexpr uint32_t kErrorSharingViolation = 32;
constexpr uint32_t kErrorHandleDiskFull = 39;
constexpr uint32_t kErrorInvalidParameter = 87;
constexpr uint32_t kErrorDiskFull = 112;
constexpr uint32_t kErrorInsufficientBuffer = 122;
constexpr uint32_t kErrorDirNotEmpty = 145;
constexpr uint32_t kErrorAlreadyExists = 183;
constexpr uint32_t kErrorMoreData = 234;
constexpr uint32_t kErrorNoMoreFiles = 18;
constexpr uint32_t kErrorNotConnected = 2250;
constexpr uint32_t kErrorBadDevice = 1200;
constexpr uint32_t kErrorFileExists = 80;
constexpr uint32_t kErrorCancelled = 1223;  // the user refused (an elevation prompt)
constexpr uint32_t kErrorInvalidOwner = 1307;  // that account may not be made the owner

// Drive types (GetDriveTypeW).
constexpr uint32_t kDriveUnknown = 0;
constexpr uint32_t kDriveNoRootDir = 1;
constexpr uint32_t kDriveRemovable = 2;
constexpr uint32_t kDriveFixed = 3;
constexpr uint32_t kDriveRemote = 4;
constexpr uint32_t kDriveCdrom = 5;
constexpr uint32_t kDriveRamdisk = 6;

// File-system flags (GetVolumeInformationW).
constexpr uint32_t kFsCaseSensitive = 0x1;
constexpr uint32_t kFsCasePreservedNames = 0x2;

// Error mode.
constexpr uint32_t kSemFailCriticalErrors = 0x1;

// Storage query (DeviceIoControl).
constexpr uint32_t kIoctlStorageQueryProperty = 0x2D1400;
constexpr uint32_t kBusTypeAta = 3;
constexpr uint32_t kBusType1394 = 4;
constexpr uint32_t kBusTypeUsb = 7;
constexpr uint32_t kBusTypeSata = 11;
// Offsets inside STORAGE_DEVICE_DESCRIPTOR.
constexpr size_t kDescriptorSizeOffset = 4;
constexpr size_t kDescriptorRemovableMediaOffset = 10;
constexpr size_t kDescriptorBusTypeOffset = 28;

// Locale.
constexpr uint32_t kLocaleUserDefault = 0x0400;
constexpr uint32_t kLcmapLowercase = 0x100;
constexpr uint32_t kLcmapUppercase = 0x200;
constexpr uint32_t kNormIgnoreCase = 0x1;
constexpr uint32_t kSortStringSort = 0x1000;
constexpr int kCstrLessThan = 1;
constexpr int kCstrEqual = 2;
constexpr int kCstrGreaterThan = 3;

// Registry.
constexpr HKey kHKeyCurrentUser = 0x80000001u;
constexpr HKey kHKeyLocalMachine = 0x80000002u;
constexpr uint32_t kKeyAllAccess = 0xF003F;
constexpr uint32_t kKeyRead = 0x20019;
constexpr uint32_t kRegNone = 0;
constexpr uint32_t kRegSz = 1;
constexpr uint32_t kRegBinary = 3;
constexpr uint32_t kRegDword = 4;

// Message boxes.
constexpr uint32_t kMbOk = 0x0;
constexpr uint32_t kMbOkCancel = 0x1;
constexpr uint32_t kMbAbortRetryIgnore = 0x2;
constexpr uint32_t kMbYesNoCancel = 0x3;
constexpr uint32_t kMbYesNo = 0x4;
constexpr uint32_t kMbRetryCancel = 0x5;
constexpr uint32_t kMbIconError = 0x10;
constexpr uint32_t kMbIconQuestion = 0x20;
constexpr uint32_t kMbIconWarning = 0x30;
constexpr uint32_t kMbIconInformation = 0x40;
constexpr uint32_t kMbTaskModal = 0x2000;
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdAbort = 3;
constexpr int kIdRetry = 4;
constexpr int kIdIgnore = 5;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

// Show commands.
constexpr int kSwShow = 5;

// Shell folder ids.
constexpr int kCsidlPrograms = 0x02;
constexpr int kCsidlPersonal = 0x05;
constexpr int kCsidlDesktopDirectory = 0x10;
constexpr int kCsidlCommonPrograms = 0x17;
constexpr int kCsidlCommonDesktopDirectory = 0x19;
constexpr int kCsidlCommonAppData = 0x23;
constexpr int kCsidlProgramFiles = 0x26;
// The 32-bit program files folder: "C:\\Program Files (x86)" on 64-bit Windows, the one program
// files folder on 32-bit Windows.
constexpr int kCsidlProgramFilesX86 = 0x2A;

// Security of files and folders: accounts as SID strings; access rights and the inheritance
// flags of an access entry.
constexpr char16_t kSidSystem[] = u"S-1-5-18";
constexpr char16_t kSidAdministrators[] = u"S-1-5-32-544";
constexpr char16_t kSidUsers[] = u"S-1-5-32-545";
constexpr char16_t kSidAuthenticatedUsers[] = u"S-1-5-11";
constexpr char16_t kSidCreatorOwner[] = u"S-1-3-0";
constexpr uint32_t kFileAllAccess = 0x001F01FFu;
constexpr uint32_t kFileGenericReadExecute = 0x001200A9u;  // read, list, traverse
constexpr uint32_t kObjectInheritAce = 0x1;     // files made below get it
constexpr uint32_t kContainerInheritAce = 0x2;  // folders made below get it
constexpr uint32_t kNoPropagateInheritAce = 0x4;
constexpr uint32_t kInheritOnlyAce = 0x8;       // for what is made below, not for the object
constexpr uint32_t kInheritedAce = 0x10;        // came from the folder above

// ---- Structures ----

// A FILETIME as one number: 100-nanosecond intervals since 1601-01-01.
using FileTime = uint64_t;

struct SystemTime {
    uint16_t year = 0, month = 0, dayOfWeek = 0, day = 0;
    uint16_t hour = 0, minute = 0, second = 0, milliseconds = 0;
};

// The fields of a calendar time (day of week left 0).
inline SystemTime SystemTimeOf(int year, int month, int day, int hour = 0, int minute = 0,
                               int second = 0, int milliseconds = 0) {
    SystemTime t;
    t.year = static_cast<uint16_t>(year);
    t.month = static_cast<uint16_t>(month);
    t.day = static_cast<uint16_t>(day);
    t.hour = static_cast<uint16_t>(hour);
    t.minute = static_cast<uint16_t>(minute);
    t.second = static_cast<uint16_t>(second);
    t.milliseconds = static_cast<uint16_t>(milliseconds);
    return t;
}

struct FindData {
    uint32_t attributes = 0;
    FileTime creationTime = 0, lastAccessTime = 0, lastWriteTime = 0;
    uint64_t size = 0;
    Wide name;
};

// What GetFileInformationByHandle tells of an open file or folder.
struct ByHandleFileInformation {
    uint32_t attributes = 0;
    FileTime creationTime = 0, lastAccessTime = 0, lastWriteTime = 0;
    uint32_t volumeSerialNumber = 0;
    uint64_t size = 0;
    uint32_t numberOfLinks = 0;  // the names (hard links) the file has
    uint64_t fileIndex = 0;
};

// FILE_BASIC_INFO for SetFileInformationByHandle: a time or the attributes left 0 stay as they are.
struct FileBasicInfo {
    FileTime creationTime = 0, lastAccessTime = 0, lastWriteTime = 0, changeTime = 0;
    uint32_t attributes = 0;
};

// FILE_DISPOSITION_INFO: the open file or (empty) folder goes when its last handle is closed.
struct FileDispositionInfo {
    bool deleteFile = true;
};

// One entry of an access list: an account, its rights, the inheritance flags; allowed or denied.
struct AccessEntry {
    Wide sid;
    uint32_t mask = 0;
    uint32_t flags = 0;
    bool allowed = true;
};

// The owner and the access list (DACL) of a file or folder. A protected list takes nothing
// from the folder above.
struct ObjectSecurity {
    Wide owner;
    bool daclProtected = false;
    std::vector<AccessEntry> dacl;
};

// ---- Process ----

uint32_t GetLastError();
void SetLastError(uint32_t code);
Wide GetCommandLineW();
// Full path of the running program file.
Wide GetModuleFileNameW();
// Libraries loaded by name come from the system folder only, never from the program's folder (a
// downloads or temporary folder) or the current folder: SetDefaultDllDirectories with
// LOAD_LIBRARY_SEARCH_SYSTEM32 where Windows has it, and SetDllDirectoryW(""). The first thing
// each program does. False when Windows lacks SetDefaultDllDirectories (Windows 7 without its
// update); the second half then still holds.
bool RestrictLibrarySearch();
// The value of the process's environment variable; an empty text when it is not set.
Wide GetEnvironmentVariableW(const Wide& name);

// ---- Files and folders ----

Handle CreateFileW(const Wide& path, uint32_t access, uint32_t shareMode, uint32_t disposition,
                   uint32_t flagsAndAttributes);
bool ReadFile(Handle file, void* buffer, uint32_t count, uint32_t* read);
bool WriteFile(Handle file, const void* buffer, uint32_t count, uint32_t* written);
// Moves the file pointer; the new position, or kInvalidSetFilePointer on failure.
uint32_t SetFilePointer(Handle file, int32_t distance, uint32_t moveMethod);
// Puts the file's written bytes on the disk before returning (needs write access).
bool FlushFileBuffers(Handle file);
// Low 32 bits of the size; kInvalidFileSize for an invalid handle.
uint32_t GetFileSize(Handle file);
// Null pointers leave that time unchanged.
bool SetFileTime(Handle file, const FileTime* creation, const FileTime* lastAccess,
                 const FileTime* lastWrite);
bool GetFileTime(Handle file, FileTime* creation, FileTime* lastAccess, FileTime* lastWrite);
bool CloseHandle(Handle handle);
// The path of what the handle has open, after every link on the way was followed, in its DOS
// form without the "\\?\" prefix ("C:\Folder\File"); empty on failure.
Wide GetFinalPathNameByHandleW(Handle file);
// The attributes, times, size and link count of what the handle has open (the handle needs no
// access right beyond FILE_READ_ATTRIBUTES).
bool GetFileInformationByHandle(Handle file, ByHandleFileInformation* info);
// What a file's own information tells through its handle: its attributes, last-write time, size
// and names (hard links). Unlike GetFileInformationByHandle it asks nothing of the volume (its
// serial number), which Wine answers slowly: fit for a question asked of every installed file.
struct OpenFileFacts {
    uint32_t attributes = 0;
    FileTime lastWriteTime = 0;
    uint64_t size = 0;
    uint32_t numberOfLinks = 0;
};
bool GetOpenFileFacts(Handle file, OpenFileFacts* facts);
// Opens the existing file `name` of the folder that `folder` has open (the handle needs no rights
// of its own; Windows and Wine: NtCreateFile relative to it). The name is one element, never a
// path: what is opened lies in that very folder, whichever names lead to it meanwhile, with no
// folder above it looked up again. A folder, or a name with a separator, a colon or only dots,
// does not open. The rights, sharing and flags are CreateFileW's.
Handle OpenFileInFolder(Handle folder, const Wide& name, uint32_t access, uint32_t shareMode,
                        uint32_t flagsAndAttributes);
// Changes the attributes (and times) of what the handle has open; needs FILE_WRITE_ATTRIBUTES.
bool SetFileInformationByHandle(Handle file, const FileBasicInfo& info);
// Marks what the handle has open for deletion (needs DELETE access): it goes, by no name but the
// handle, once the last handle to it is closed. A folder that is not empty, or a read-only file,
// is refused.
bool SetFileInformationByHandle(Handle file, const FileDispositionInfo& info);
Handle FindFirstFileW(const Wide& pattern, FindData* found);
bool FindNextFileW(Handle search, FindData* found);
bool FindClose(Handle search);
uint32_t GetFileAttributesW(const Wide& path);
bool SetFileAttributesW(const Wide& path, uint32_t attributes);
bool CreateDirectoryW(const Wide& path);
bool RemoveDirectoryW(const Wide& path);
bool DeleteFileW(const Wide& path);
bool CopyFileW(const Wide& from, const Wide& to, bool failIfExists);
bool MoveFileExW(const Wide& from, const Wide& to, uint32_t flags);
// The full path that Windows reads the text as (separators, "." and "..", trailing dots and
// blanks, relative to the current folder); an empty text on failure.
Wide GetFullPathNameW(const Wide& path);
// The path with every element that has a long name given it (an 8.3 short name such as
// "PROGRA~1" becomes "Program Files"); the path must exist. Empty on failure.
Wide GetLongPathNameW(const Wide& path);
// The current folder as the platform holds it (no trailing backslash except on a root).
Wide GetCurrentDirectoryW();
bool SetCurrentDirectoryW(const Wide& path);
// The temporary folder as the platform gives it (normally with a trailing backslash).
Wide GetTempPathW();

// The owner and the access list (inherited entries included, marked kInheritedAce) of what the
// handle has open; the handle needs no rights of its own: the object is opened once more through
// it for reading its security. False when that cannot be read (the object's list denies the
// process that right, or a file system without security).
bool GetSecurityInfo(Handle object, ObjectSecurity* out);
// Gives what the handle has open this owner and exactly this access list (entries flagged
// kInheritedAce are taken as the object's own), protected or not, on that object alone: nothing
// below it changes. The object is opened once more through the handle (never by a name, which
// another user could have changed), with an administrator's rights to take ownership and to
// restore, which the process uses for this call alone, so that a folder whose list shuts
// administrators out can still be taken over. Fails with kErrorInvalidOwner when the process
// may not give it that owner (a user may give their own account only; an elevated
// administrator the Administrators group too), and with kErrorAccessDenied when it may not
// change the object at all. Wine keeps neither owner nor list on files: it accepts any, maps the
// list to the Unix mode bits and reads back a list made from them, owned by its one account.
bool SetSecurityInfo(Handle object, const ObjectSecurity& security);
// The account the process runs as (the TokenUser of its token) as a SID string; empty on failure.
Wide GetTokenUserSid();

// ---- Times ----

bool FileTimeToLocalFileTime(FileTime utc, FileTime* local);
bool LocalFileTimeToFileTime(FileTime local, FileTime* utc);
bool FileTimeToDosDateTime(FileTime time, uint16_t* dosDate, uint16_t* dosTime);
bool DosDateTimeToFileTime(uint16_t dosDate, uint16_t dosTime, FileTime* time);
bool FileTimeToSystemTime(FileTime time, SystemTime* out);
bool SystemTimeToFileTime(const SystemTime& in, FileTime* out);
void GetLocalTime(SystemTime* out);
FileTime GetSystemTimeAsFileTime();

// ---- Drives and volumes ----

uint32_t GetLogicalDrives();
uint32_t GetDriveTypeW(const Wide& root);
// Any output may be null. Fails for a missing drive or a drive without a medium.
bool GetVolumeInformationW(const Wide& root, Wide* label, uint32_t* fileSystemFlags,
                           Wide* fileSystemName);
uint32_t SetErrorMode(uint32_t mode);
bool DeviceIoControl(Handle device, uint32_t code, const void* in, uint32_t inSize, void* out,
                     uint32_t outSize, uint32_t* returned);
// Returns 0 and the remote name, or an error code (kErrorNotConnected for a local drive).
uint32_t WNetGetConnectionW(const Wide& localName, Wide* remoteName);

// ---- Locale ----

uint32_t GetUserDefaultLCID();
Wide LCMapStringW(uint32_t locale, uint32_t flags, const Wide& text);
// kCstrLessThan, kCstrEqual or kCstrGreaterThan; 0 on failure.
int CompareStringA(uint32_t locale, uint32_t flags, const std::string& a, const std::string& b);
// The text's sort key for CompareStringA with these flags (LCMapStringA, LCMAP_SORTKEY): two keys
// compare byte by byte, as unsigned bytes, as CompareStringA compares their texts. One call where
// sorting would ask CompareStringA many times. Empty for an empty text and on failure.
std::string SortKeyA(uint32_t locale, uint32_t flags, const std::string& text);

// ---- The program's own resources ----

// FindResourceA + LoadResource + LockResource + SizeofResource in one: the bytes of the resource
// of that type and name in the program file. Integer ids are written "#n" as FindResourceA allows.
bool LoadOwnResource(const char* type, const char* name, const void** data, uint32_t* size);
// Resource id as an icon of the program file; 0 when missing.
IconHandle LoadIconW(int resourceId);

// ---- Registry (results are Win32 error codes, 0 on success) ----

int32_t RegCreateKeyExA(HKey root, const std::string& subKey, uint32_t access, HKey* result);
int32_t RegOpenKeyExA(HKey root, const std::string& subKey, uint32_t access, HKey* result);
// data may be null to ask for the size only; *size is in and out, in bytes.
int32_t RegQueryValueExA(HKey key, const std::string& name, uint32_t* type, void* data,
                         uint32_t* size);
int32_t RegQueryValueExW(HKey key, const Wide& name, uint32_t* type, void* data, uint32_t* size);
int32_t RegSetValueExA(HKey key, const std::string& name, uint32_t type, const void* data,
                       uint32_t size);
int32_t RegSetValueExW(HKey key, const Wide& name, uint32_t type, const void* data, uint32_t size);
int32_t RegDeleteValueA(HKey key, const std::string& name);
// Deletes a key that has no sub-keys.
int32_t RegDeleteKeyA(HKey root, const std::string& subKey);
int32_t RegCloseKey(HKey key);

// ---- Shell ----

// Loads the folder lookup service from the system folder ("shell32.dll", then "shfolder.dll").
// False when neither has it; SHGetFolderPathW then fails.
bool ResolveSHGetFolderPathW();
// HRESULT, 0 on success.
int32_t SHGetFolderPathW(int csidl, Wide* path);
// > 32 on success, as ShellExecuteW.
intptr_t ShellExecuteW(const Wide& verb, const Wide& file, const Wide& parameters,
                       const Wide& directory, int showCommand);
int32_t OleInitialize();
void OleUninitialize();

// ---- Elevation ----

// True when the process runs with a full administrator's token (TokenElevation); false for a
// standard user and for an administrator's filtered token, as Windows starts programs.
bool IsProcessElevated();
// ShellExecuteExW with SEE_MASK_NOCLOSEPROCESS, then waits for the started process to end and
// gives its exit code. False when nothing was started; GetLastError then tells why
// (kErrorCancelled: the user refused the elevation that the verb "runas" asks for).
bool ShellExecuteExW(const Wide& verb, const Wide& file, const Wide& parameters, int showCommand,
                     uint32_t* exitCode);
// Starts a program through the desktop's shell (the shell window's IShellDispatch2::ShellExecute),
// which runs it with the shell's own token: an elevated process starts it as the signed-in user,
// not elevated. HRESULT, 0 on success; fails where no shell window runs.
int32_t DesktopShellExecute(const Wide& file, const Wide& parameters, const Wide& directory,
                            const Wide& verb, int showCommand);

// The shell link object (CLSID_ShellLink with IShellLinkW and IPersistFile). Created() is false
// when CoCreateInstance failed; every other call then fails.
class ShellLink {
public:
    ShellLink();
    ~ShellLink();
    ShellLink(const ShellLink&) = delete;
    ShellLink& operator=(const ShellLink&) = delete;
    bool Created() const;
    int32_t SetPath(const Wide& target);
    int32_t SetWorkingDirectory(const Wide& folder);
    int32_t SetDescription(const Wide& text);
    // QueryInterface for IPersistFile.
    bool HasPersistFile();
    int32_t Save(const Wide& linkPath);
    int32_t Load(const Wide& linkPath);
    Wide GetPath();
    Wide GetWorkingDirectory();
    Wide GetDescription();

    struct Impl;

private:
    Impl* impl_;
};

// ---- Windows ----

// Calls visit for each top-level window until it returns false. False when enumeration failed.
bool EnumWindows(const std::function<bool(WindowHandle)>& visit);
uintptr_t GetPropW(WindowHandle window, const Wide& name);
int MessageBoxW(WindowHandle owner, const Wide& text, const Wide& caption, uint32_t flags);

}  // namespace plat
