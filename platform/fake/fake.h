// Controls of the in-memory Windows that host tests run against.
//
// The fake models one machine: drive-lettered, case-insensitive file systems with times,
// attributes, owners and access lists, sharing and injected write failures; a drive table; a
// registry; special folders; a user locale; top-level windows with properties; message boxes
// answered from a script and recorded; programs "started" through the shell and recorded; a
// settable clock and time zone; the program's own resources and command line. Reset() returns
// it to a clean machine.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace fake {

using plat::Wide;

// A clean machine:
//   C: fixed, "NTFS", flags case-preserved, no label, bus SATA; C:\ with the folders the special
//      folders name, all existing; current folder C:\; temporary folder C:\Users\User\Temp\;
//   special folders as on a 32-bit Windows (C:\Program Files, C:\ProgramData, ...);
//   LCID 0x0409; time zone UTC+0 without daylight saving; clock 2026-03-14 10:20:30.000 local;
//   empty registry, no windows, no resources, command line "setup.exe";
//   folder lookup service available (SHGetFolderPathW answers once ResolveSHGetFolderPathW has
//   found it, as at program start); error mode 0; no scripted answers.
void Reset();
// Keeps a copy of the whole machine, and later makes it the machine again: many runs can start
// from one prepared machine without preparing it each time.
void SaveMachine();
void RestoreMachine();

// ---- Drives ----
struct DriveInfo {
    uint32_t type = plat::kDriveFixed;
    std::u16string label;                 // volume label, empty for none
    std::u16string fileSystem = u"NTFS";  // file-system name
    uint32_t fsFlags = plat::kFsCasePreservedNames;
    bool mediumPresent = true;            // false: an empty card reader or optical drive
    bool canOpenVolume = true;            // false: opening \\.\X: is refused (no rights)
    uint32_t busType = plat::kBusTypeSata;
    bool removableMedia = false;          // the descriptor's RemovableMedia byte
    std::u16string networkName;           // remote name for WNetGetConnectionW, empty for none
    uint64_t capacity = 1ull << 40;       // bytes that fit before writes fail with "disk full"
};
// Adds (or replaces) drive letter 'A'..'Z' with an empty root folder.
void AddDrive(char letter, const DriveInfo& info);
// Unplugs a drive: it vanishes from GetLogicalDrives and its files become unreachable.
void RemoveDrive(char letter);
DriveInfo* Drive(char letter);
uint32_t ErrorMode();

// ---- Files (paths are full, any letter case) ----
// Creates the file and its missing folders with the given bytes and last-write time (UTC; 0 for
// the clock's time). The drive must exist.
void PutFile(const Wide& path, const std::string& bytes, plat::FileTime lastWriteUtc = 0);
void PutFolder(const Wide& path);
// A junction or symbolic link at the path (its folders made) that points at the target, a full
// path that need not exist; `toFolder` for a link to a folder. Windows follows it on the way to
// anything below it, and CreateFileW follows it; the attribute queries, searches, deletions and
// moves see the link itself, with FILE_ATTRIBUTE_REPARSE_POINT.
void PutLink(const Wide& path, const Wide& target, bool toFolder);
// Links as Wine 8 makes them of Unix symbolic links: a link to a file reports its target's
// attributes (no reparse attribute) to queries and searches, CreateFileW follows every link even
// with FILE_FLAG_OPEN_REPARSE_POINT, and DeleteFileW and RemoveDirectoryW on a link act on its
// target. Off on a clean machine (the Windows behaviour).
void SetLinksAsUnderWine(bool asWine);
// Another user renames the folder away (to `<folder>.moved`) and puts a link to `target` in its
// place, as anyone may with a folder they can write. As on Windows, the rename fails, and nothing
// changes, while a handle holds the folder open without FILE_SHARE_DELETE. True when swapped.
bool SwapForLink(const Wide& folder, const Wide& target);
// The file or folder also answers to an 8.3 short name ("PROGRA~1") in every path that names it.
void SetShortName(const Wide& path, const Wide& shortName);
// The file has that many names (hard links); the other names themselves are not modelled.
void SetHardLinkCount(const Wide& path, uint32_t links);
// Every file and folder has an owner and an access list; a new one gets its owner from the
// process and inherits what the folder above passes on. C:\ProgramData carries the list that
// Windows gives it (users may make folders there, and own what they make).
// Another account takes the file or folder: it becomes its owner, as if that user had made it.
void SetOwner(const Wide& path, const Wide& sid);
plat::ObjectSecurity SecurityOf(const Wide& path);
// Gives the file or folder this owner and list as they are (no inheritance). An open that asks
// for a right that one of its denying entries denies the process fails with access denied (the
// right to read the attributes excepted, as Windows grants it to whoever may list the folder
// above); allowing entries are not weighed.
void SetSecurity(const Wide& path, const plat::ObjectSecurity& security);
// SetSecurityInfo on this file or folder fails with access denied (a file system that keeps no
// security, or an object that even an administrator cannot take).
void DenySecurityChange(const Wide& path, bool deny = true);
bool FileExistsAt(const Wide& path);
bool FolderExistsAt(const Wide& path);
std::string FileBytes(const Wide& path);
plat::FileTime FileWriteTime(const Wide& path);
void SetAttributes(const Wide& path, uint32_t attributes);
// Every name below the folder (files and folders), relative, sorted, folders ending in '\'.
std::vector<Wide> ListTree(const Wide& folder);
// Another program holds the file open without sharing: opening it fails with a sharing violation
// (opens without access rights, which only query the file, still succeed, as on Windows).
void HoldOpen(const Wide& path, bool held = true);
// The next `count` WriteFile calls on handles of this file fail (error kErrorWriteFault), after
// writing `partialBytes` bytes of each.
void FailWrites(const Wide& path, int count = 1, uint32_t partialBytes = 0);
// CreateDirectoryW of this folder fails with access denied.
void DenyCreateFolder(const Wide& path, bool deny = true);
// True when the file's bytes were flushed to the disk (FlushFileBuffers) after they last
// changed; a move keeps the state.
bool FlushedAt(const Wide& path);
// The flags of the MoveFileExW that put the file or folder at the path; 0 when none did.
uint32_t MovedInWith(const Wide& path);
// Number of handles currently open (to find leaks).
int OpenHandleCount();

// ---- Faults by operation ----
// The operations that change the machine. Each kind is counted on its own from Reset() on, so a
// test can run once to learn the counts and then fail every single operation in turn.
enum class Operation {
    CreateFile,    // an open that may create, truncate or write (read-only opens do not count)
    WriteFile,     // a write of at least one byte
    SetFileTime,
    CreateFolder,
    MoveFile,
    DeleteFile,
    RegCreateKey,
    RegSetValue,   // RegSetValueExA and RegSetValueExW
    SaveLink,      // IPersistFile::Save of the shell link object
    FlushFile,     // FlushFileBuffers
};
constexpr int kOperationKinds = 10;
const char* OperationName(Operation operation);
int OperationCount(Operation operation);
enum class FaultKind {
    Ended,       // the process has ended: the call changes nothing at all
    Fail,        // the call fails (a write first stores half of its bytes: a full disk)
    ShortWrite,  // WriteFile only: half of the bytes are stored and the call reports success
};
// The nth call (1-based, counted from Reset()) of that kind fails once, as the kind says; every
// other call behaves normally.
void FailOperation(Operation operation, int nth, FaultKind kind = FaultKind::Fail);
// Calls `hook` (empty: none) before each operation of this process that changes the machine,
// with its kind and target: another user's moment to act between a check and what follows it.
void BeforeEachOperation(std::function<void(Operation, const Wide& target)> hook);
// True once the injected fault has happened; *target then names the file, folder or key it hit
// (for a write or a time stamp, the file of the handle).
bool FaultHappened(Wide* target = nullptr);

// ---- The end of a process ----
// The process is killed right after the nth operation from now that changes the machine (every
// kind above counted together): that one happens, and every later one changes nothing and fails,
// as if the process were gone while it still runs to its end here.
void EndProcessAfter(int operations);
bool ProcessEnded();
// Operations that change the machine, all kinds together, since Reset().
int TotalOperationCount();
// What Windows does when a process ends: its handles are closed (a file opened to be deleted on
// close goes), and the next process may change the machine again.
void StartNextProcess();

// ---- Process, clock, locale ----
void SetCommandLine(const Wide& commandLine);
void SetModuleFileName(const Wide& path);
void SetTempPath(const Wide& path);
// Local = UTC - biasMinutes (the Win32 sign convention: UTC+1 is -60).
void SetTimeZoneBias(int biasMinutes);
void SetLocalTime(const plat::SystemTime& local);
void SetUserLCID(uint32_t lcid);
// CompareStringA calls since the machine was reset: each is a call into the system's collation.
int CollationCount();
// SortKeyA calls since the machine was reset.
int SortKeyCount();
// GetFinalPathNameByHandleW calls since the machine was reset: each asks the system for a path.
int FinalPathCount();
// GetFileAttributesW calls since the machine was reset: each looks a path up.
int AttributeLookupCount();
// SetCurrentDirectoryW calls since the machine was reset: each enters a folder, as a look for it does.
int CurrentFolderChangeCount();
// GetSecurityInfo calls through a handle without the right to read security, each of which opens
// the object a second time.
int SecurityReopenCount();

// ---- Resources ----
// An icon for LoadIconW(n) is the group-icon resource of type "#14" and name "#n".
void SetResource(const std::string& type, const std::string& name, const std::string& bytes);
void ClearResources();

// ---- Shell ----
void SetSpecialFolder(int csidl, const Wide& path);  // an empty path makes the lookup fail
// Which Windows the program sees. The clean machine is a 32-bit Windows. Wow64 is a 32-bit
// program on 64-bit Windows: its program files folder is "C:\Program Files (x86)" (both by
// CSIDL_PROGRAM_FILES and CSIDL_PROGRAM_FILESX86), the native one "C:\Program Files" is known only
// by the environment ("ProgramW6432"), and HKLM\Software\X is redirected to
// HKLM\Software\WOW6432Node\X (RegKeyExists and RegValueAt see the keys as stored). Native64 is a
// 64-bit program there: both folders by their own CSIDLs, no redirection. Both folders exist.
enum class WindowsView { Windows32, Wow64, Native64 };
void SetWindowsView(WindowsView view);
// An empty value removes the variable.
void SetEnvironmentVariable(const Wide& name, const Wide& value);
void SetFolderServiceAvailable(bool available);
struct Execution {
    Wide verb, file, parameters, directory;
    int showCommand;
    // How it was started: ShellExecuteW, ShellExecuteExW (which waited for it) or the desktop's
    // shell (as the signed-in user).
    enum How { Shell, ShellAndWait, DesktopShell } how = Shell;
};
const std::vector<Execution>& Executions();
// Whether the process runs elevated (IsProcessElevated); a clean machine runs it elevated, as
// Wine does.
void SetElevated(bool elevated);
// What ShellExecuteExW answers: a started program's exit code, or (started false) the error of a
// start that failed, kErrorCancelled for a refused elevation. Clean machine: started, code 0.
void SetShellExecuteExResult(bool started, uint32_t exitCodeOrError);
// Whether a desktop shell runs that DesktopShellExecute can reach; a clean machine has none,
// as under Wine.
void SetDesktopShellAvailable(bool available);
// The account the process runs as (a SID); objects it makes belong to it, or to the
// Administrators group while it runs elevated, as Windows gives an administrator's elevated
// token that default owner. A clean machine runs as kUserAccount.
constexpr char16_t kUserAccount[] = u"S-1-5-21-1004336348-1177238915-682003330-1001";
constexpr char16_t kOtherUserAccount[] = u"S-1-5-21-1004336348-1177238915-682003330-1002";
void SetProcessAccount(const Wide& sid);
bool OleInitialized();
// Links saved by the shell link object, by path: target, working folder, description.
struct LinkData {
    Wide target, workingDirectory, description;
};
bool LinkAt(const Wide& path, LinkData* out);
// The link object is created only while OleInitialize is in force, as CoCreateInstance needs.
void SetShellLinkAvailable(bool available);

// ---- Registry ----
struct RegValue {
    uint32_t type;
    std::string bytes;  // as stored: REG_SZ in UTF-16LE with its terminating nul
};
bool RegKeyExists(plat::HKey root, const std::string& path);
bool RegValueAt(plat::HKey root, const std::string& path, const std::string& name, RegValue* out);
void DenyRegistryKey(plat::HKey root, const std::string& path, bool deny = true);
int OpenKeyCount();

// ---- Windows ----
plat::WindowHandle AddWindow();
void SetWindowProp(plat::WindowHandle window, const Wide& name, uintptr_t value);
void RemoveWindow(plat::WindowHandle window);
void FailWindowEnumeration(bool fail = true);

// ---- Message boxes ----
// Answers given in order to the next boxes shown. With no answer left, a box answers as one that
// cannot be shown: kIdOk.
void ScriptAnswers(const std::vector<int>& answers);
struct ShownBox {
    Wide text, caption;
    uint32_t flags;
    plat::WindowHandle owner = 0;  // the window the box was given as its owner
};
const std::vector<ShownBox>& ShownBoxes();

}  // namespace fake
