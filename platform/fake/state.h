// The one state of the in-memory Windows, shared by the fake's files. Reset() replaces it whole.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/fake/fake.h"

namespace fake::detail {

// ---- Text ----
char16_t UpperUnit(char16_t c);
char16_t LowerUnit(char16_t c);
Wide Upper(const Wide& text);
// Code page 1252 <-> UTF-16 ('?' for characters outside the code page).
char16_t FromCp1252(unsigned char byte);
Wide WideOfCp1252(const std::string& bytes);
std::string Cp1252Of(const Wide& text);
Wide Ascii(const std::string& text);

// ---- Paths ----
// A parsed full path. Keys (map keys of the file system) are upper-cased: "C:" for a root,
// "C:\DIR\FILE" below it.
struct Path {
    bool valid = false;     // a drive-lettered path (or a volume)
    bool volume = false;    // "\\.\X:"
    char16_t drive = 0;     // 'A'..'Z'
    std::vector<Wide> parts;
    bool trailingSlash = false;
    bool IsRoot() const { return parts.empty(); }
    Wide Display() const;   // "C:\Dir\File", "C:\" for a root
    Wide Key() const;
    Wide ParentKey() const;
    Wide Name() const;      // last element, "" for a root
};
// The full path that Windows reads the text as: relative, drive-relative and rooted paths against
// the current folder; "/" as "\", repeated separators, "." and "..", trailing dots and blanks
// folded. Network paths keep their "\\server\share" root; "\\?\" paths stay as they are. An
// empty text for what names no path.
Wide FullPathText(const Wide& text);
// Resolves relative, drive-relative and rooted paths against the current folder as
// FullPathText does. Every link on the way to the last element is followed, as Windows follows
// junctions and folder links; the last element itself is left as it is (FollowLink follows it).
Path ParsePath(const Wide& text);
// The path with its last element followed while it is a link (invalid after too many steps).
Path FollowLink(const Path& path);
// The path that the key's nodes spell, in their stored letter case.
Wide DisplayOfKey(const Wide& key);
Wide DriveKey(char16_t drive);

// ---- File system ----
struct Node {
    Wide name;  // as created
    // A junction or symbolic link: the full path it points at; empty for a plain file or folder.
    // `folder` tells whether it stands for a folder.
    Wide link;
    bool folder = false;
    uint32_t attributes = 0;  // stored bits, the directory bit included for folders
    std::string bytes;
    plat::FileTime created = 0, accessed = 0, written = 0;
    bool flushed = false;       // FlushFileBuffers since the bytes last changed
    uint32_t movedInWith = 0;   // the flags of the move that last put it at its path
    uint32_t hardLinks = 1;     // the names the file has (the others are not modelled)
    Wide shortName;             // its 8.3 name, upper-cased; empty when it has none of its own
    plat::ObjectSecurity security;  // its owner and access list
};

struct WriteFailure {
    int count = 0;
    uint32_t partialBytes = 0;
};

struct OpenFile {
    Wide key;  // of what was opened, after every link was followed
    uint32_t access = 0, share = 0;
    uint64_t position = 0;
    bool writeTimeFixed = false;  // SetFileTime gave a last-write time: writes keep it
    bool deleteOnClose = false;
};

struct HandleObject {
    enum Kind { kFile, kSearch, kVolume } kind = kFile;
    OpenFile file;
    std::vector<plat::FindData> entries;
    size_t next = 0;
    char16_t drive = 0;
};

// ---- Registry ----
struct RegEntry {
    Wide name;
    RegValue value;
};

struct RegKeyNode {
    Wide name;
    std::map<Wide, RegEntry> values;  // by upper-cased name
};

struct Window {
    plat::WindowHandle handle;
    std::map<Wide, uintptr_t> props;  // by upper-cased name
};

struct InjectedFault {
    int operation = -1;
    int nth = 0;
    FaultKind kind = FaultKind::Fail;
    bool happened = false;
    Wide target;
};

struct Machine {
    uint32_t lastError = 0;
    Wide commandLine, moduleFileName, tempPath, currentFolder;

    std::map<char16_t, DriveInfo> drives;
    std::map<Wide, Node> nodes;
    std::map<Wide, WriteFailure> writeFailures;
    std::set<Wide> held, deniedFolders, securityDenied;
    std::map<plat::Handle, HandleObject> handles;
    plat::Handle nextHandle = 0x100;
    // Links act as Wine shows them (SetLinksAsUnderWine).
    bool linksAsWine = false;

    uint32_t errorMode = 0;
    int biasMinutes = 0;
    plat::FileTime localNow = 0;  // the clock, in local time; it does not run by itself
    uint32_t lcid = 0x0409;
    int collations = 0;  // CompareStringA calls
    int sortKeys = 0;  // SortKeyA calls
    int finalPaths = 0;  // GetFinalPathNameByHandleW calls
    int attributeLookups = 0;  // GetFileAttributesW calls
    int currentFolderChanges = 0;  // SetCurrentDirectoryW calls
    int securityReopens = 0;  // GetSecurityInfo calls on a handle without READ_CONTROL

    std::map<std::pair<std::string, std::string>, std::string> resources;

    std::map<int, Wide> specialFolders;
    fake::WindowsView view = fake::WindowsView::Windows32;
    std::map<Wide, Wide> environment;  // by upper-cased name
    bool folderServiceAvailable = true, folderServiceResolved = false;
    std::vector<Execution> executions;
    bool elevated = true;
    Wide account = fake::kUserAccount;  // the account the process runs as
    bool shellExecuteExStarts = true;
    uint32_t shellExecuteExResult = 0;
    bool desktopShellAvailable = false;
    int oleInitCount = 0;
    bool shellLinkAvailable = true;

    std::map<Wide, RegKeyNode> keys;  // by upper-cased "HKCU\PATH"
    std::map<plat::HKey, Wide> keyHandles;
    plat::HKey nextKey = 0x1000;
    std::set<Wide> deniedKeys;

    std::vector<Window> windows;
    plat::WindowHandle nextWindow = 0x10010;
    bool failEnumeration = false;

    std::deque<int> answers;
    std::vector<ShownBox> shownBoxes;

    int operationCounts[kOperationKinds] = {};
    InjectedFault fault;
    // The process's end: after this many more operations (0: never), none changes anything.
    int operationsBeforeEnd = 0;
    bool ended = false;
    // Called before each operation that changes the machine (BeforeEachOperation).
    std::function<void(Operation, const Wide&)> beforeOperation;
};

Machine& M();
uint32_t Fail(uint32_t error);  // sets the last error, returns it

// File-system helpers.
Node* FindNode(const Wide& key);
// The node of the element `part` in the folder with that key: by its name, else by its short name.
const Node* ChildNamed(const Wide& folderKey, const Wide& part, Wide* key);

// 0 when the path's drive is there and ready and its parent folder exists; else the error
// (ERROR_PATH_NOT_FOUND, ERROR_NOT_READY).
uint32_t CheckParent(const Path& path);
uint32_t CheckDrive(char16_t drive);
Node& MakeFolderNode(const Path& path);
// The security of a new file or folder at the path: owned by the process's default owner (the
// Administrators group for an elevated process, else its account), with what the folder above
// passes on by its inheritable entries.
plat::ObjectSecurity NewSecurity(const Path& path, bool folder);
// True when an entry of the object's list denies the process one of these rights (only denying
// entries are looked at: what no entry denies is allowed).
bool DeniedByList(const Node& node, uint32_t access);
// Children keys of a folder key, in the file system's (upper-cased name) order.
std::vector<Wide> ChildKeys(const Wide& folderKey);
bool HasOpenHandle(const Wide& key);
plat::FileTime Now();  // the clock in UTC
uint64_t UsedBytes(char16_t drive);

// Shared by the fake's file parts: opens, searches and the operations by path.
constexpr uint32_t kErrorInvalidName = 123;
constexpr uint32_t kStoredAttributes = plat::kFileAttributeReadOnly | plat::kFileAttributeHidden |
                                       plat::kFileAttributeSystem | plat::kFileAttributeArchive |
                                       0x100 | 0x2000;  // temporary, not content indexed
// True when an open with that access and share mode clashes with the file's holders.
bool SharingConflict(const Wide& key, uint32_t access, uint32_t share);
// A delete or rename needs every holder of the file to share deletion.
bool DeleteBlocked(const Wide& key);
plat::Handle NewHandle(const HandleObject& object);
// The open handle of that kind, or nullptr.
HandleObject* Lookup(plat::Handle handle, HandleObject::Kind kind);
// The attributes Windows reports for the node (FILE_ATTRIBUTE_NORMAL for a file without any).
uint32_t Reported(const Node& node);

// Counts one operation of that kind; true (and *kind set) when this is the call that must fail,
// or when the process has ended (*kind then Ended: nothing at all may change).
bool FaultNow(Operation operation, const Wide& target, FaultKind* kind = nullptr);

// Registry helpers.
Wide RootName(plat::HKey root);

}  // namespace fake::detail
