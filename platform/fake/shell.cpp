// Shell of the fake: special folders, programs "started" (recorded), the component services and
// a shell link object that keeps its link as a real file of the fake file system.
#include "platform/fake/state.h"

namespace plat {

using namespace fake::detail;

namespace {

constexpr int32_t kSOk = 0;
constexpr int32_t kSFalse = 1;
constexpr int32_t kENotImpl = static_cast<int32_t>(0x80004001u);
constexpr int32_t kENoInterface = static_cast<int32_t>(0x80004002u);
constexpr int32_t kEPointer = static_cast<int32_t>(0x80004003u);
constexpr int32_t kEFail = static_cast<int32_t>(0x80004005u);
constexpr int32_t kEInvalidArg = static_cast<int32_t>(0x80070057u);

int32_t FromWin32(uint32_t error) {
    return error ? static_cast<int32_t>(0x80070000u | (error & 0xFFFF)) : kEFail;
}

// Link file: the shell's 4C 00 00 00 header and class id, a marker, then the target, working
// folder and description, each a 32-bit length in code units and its UTF-16LE text.
const char kHeader[] = "L\0\0\0\x01\x14\x02\0\0\0\0\0\xC0\0\0\0\0\0\0\x46" "FAKELINK";
constexpr size_t kHeaderSize = sizeof(kHeader) - 1;

std::string Serialize(const fake::LinkData& link) {
    std::string bytes(kHeader, kHeaderSize);
    for (const Wide* text : {&link.target, &link.workingDirectory, &link.description}) {
        uint32_t length = static_cast<uint32_t>(text->size());
        for (int i = 0; i < 4; ++i) bytes += static_cast<char>(length >> (8 * i));
        for (char16_t c : *text) {
            bytes += static_cast<char>(c & 0xFF);
            bytes += static_cast<char>(c >> 8);
        }
    }
    return bytes;
}

bool Parse(const std::string& bytes, fake::LinkData* link) {
    if (bytes.size() < kHeaderSize || bytes.compare(0, kHeaderSize, kHeader, kHeaderSize) != 0) {
        return false;
    }
    size_t at = kHeaderSize;
    for (Wide* text : {&link->target, &link->workingDirectory, &link->description}) {
        if (at + 4 > bytes.size()) return false;
        uint32_t length = 0;
        for (int i = 0; i < 4; ++i) {
            length |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
        }
        at += 4;
        if (length > (bytes.size() - at) / 2) return false;
        text->clear();
        for (uint32_t i = 0; i < length; ++i, at += 2) {
            text->push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[at]) |
                                                  (static_cast<unsigned char>(bytes[at + 1]) << 8)));
        }
    }
    return true;
}

}  // namespace

bool ResolveSHGetFolderPathW() {
    M().folderServiceResolved = M().folderServiceAvailable;
    return M().folderServiceResolved;
}

int32_t SHGetFolderPathW(int csidl, Wide* path) {
    if (!M().folderServiceResolved) return kENotImpl;  // never resolved: no function to call
    auto it = M().specialFolders.find(csidl & 0xFF);
    if (it == M().specialFolders.end()) return kEInvalidArg;
    if (it->second.empty()) return kEFail;
    *path = it->second;
    return kSOk;
}

intptr_t ShellExecuteW(const Wide& verb, const Wide& file, const Wide& parameters,
                       const Wide& directory, int showCommand) {
    M().executions.push_back({verb, file, parameters, directory, showCommand, fake::Execution::Shell});
    return 42;
}

bool IsProcessElevated() { return M().elevated; }

bool ShellExecuteExW(const Wide& verb, const Wide& file, const Wide& parameters, int showCommand,
                     uint32_t* exitCode) {
    if (!M().shellExecuteExStarts) return Fail(M().shellExecuteExResult), false;
    Node* program = FindNode(ParsePath(file).Key());
    if (!program || program->folder) return Fail(kErrorFileNotFound), false;
    M().executions.push_back({verb, file, parameters, Wide(), showCommand, fake::Execution::ShellAndWait});
    if (exitCode) *exitCode = M().shellExecuteExResult;
    return true;
}

int32_t DesktopShellExecute(const Wide& file, const Wide& parameters, const Wide& directory,
                            const Wide& verb, int showCommand) {
    constexpr int32_t kClassNotRegistered = static_cast<int32_t>(0x80040154u);
    if (!M().desktopShellAvailable) return kClassNotRegistered;
    M().executions.push_back({verb, file, parameters, directory, showCommand, fake::Execution::DesktopShell});
    return kSOk;
}

int32_t OleInitialize() { return ++M().oleInitCount == 1 ? kSOk : kSFalse; }

void OleUninitialize() {
    if (M().oleInitCount > 0) --M().oleInitCount;
}

struct ShellLink::Impl {
    bool created = false;
    bool persistFile = false;
    fake::LinkData link;
};

// Like CoCreateInstance, creation needs the component services initialised on this thread.
ShellLink::ShellLink() : impl_(new Impl) {
    impl_->created = M().shellLinkAvailable && M().oleInitCount > 0;
}

ShellLink::~ShellLink() { delete impl_; }

bool ShellLink::Created() const { return impl_->created; }

int32_t ShellLink::SetPath(const Wide& target) {
    if (!impl_->created) return kEPointer;
    impl_->link.target = target;
    return kSOk;
}

int32_t ShellLink::SetWorkingDirectory(const Wide& folder) {
    if (!impl_->created) return kEPointer;
    impl_->link.workingDirectory = folder;
    return kSOk;
}

int32_t ShellLink::SetDescription(const Wide& text) {
    if (!impl_->created) return kEPointer;
    impl_->link.description = text;
    return kSOk;
}

bool ShellLink::HasPersistFile() {
    impl_->persistFile = impl_->created;
    return impl_->persistFile;
}

// The link is written through the fake's own files, so every file rule (missing folder,
// sharing, injected failures, disk full) applies to it.
int32_t ShellLink::Save(const Wide& linkPath) {
    if (!HasPersistFile()) return kENoInterface;
    if (FaultNow(fake::Operation::SaveLink, Upper(linkPath))) return FromWin32(kErrorAccessDenied);
    Handle file = CreateFileW(linkPath, kGenericWrite, 0, kCreateAlways, kFileAttributeNormal);
    if (file == kInvalidHandle) return FromWin32(GetLastError());
    std::string bytes = Serialize(impl_->link);
    uint32_t written = 0;
    bool ok = WriteFile(file, bytes.data(), static_cast<uint32_t>(bytes.size()), &written);
    uint32_t error = GetLastError();
    CloseHandle(file);
    return ok ? kSOk : FromWin32(error);
}

int32_t ShellLink::Load(const Wide& linkPath) {
    if (!HasPersistFile()) return kENoInterface;
    Handle file = CreateFileW(linkPath, kGenericRead, kFileShareRead, kOpenExisting,
                              kFileAttributeNormal);
    if (file == kInvalidHandle) return FromWin32(GetLastError());
    std::string bytes(GetFileSize(file), '\0');
    uint32_t read = 0;
    bool ok = bytes.empty() || ReadFile(file, &bytes[0], static_cast<uint32_t>(bytes.size()), &read);
    CloseHandle(file);
    fake::LinkData link;
    if (!ok || !Parse(bytes, &link)) return kEFail;
    impl_->link = link;
    return kSOk;
}

Wide ShellLink::GetPath() { return impl_->created ? impl_->link.target : Wide(); }

Wide ShellLink::GetWorkingDirectory() {
    return impl_->created ? impl_->link.workingDirectory : Wide();
}

Wide ShellLink::GetDescription() { return impl_->created ? impl_->link.description : Wide(); }

}  // namespace plat

namespace fake {

using namespace detail;

void SetSpecialFolder(int csidl, const Wide& path) { M().specialFolders[csidl] = path; }

void SetFolderServiceAvailable(bool available) {
    M().folderServiceAvailable = available;
    if (!available) M().folderServiceResolved = false;
}

const std::vector<Execution>& Executions() { return M().executions; }

void SetElevated(bool elevated) { M().elevated = elevated; }

void SetWindowsView(WindowsView view) {
    const Wide native = u"C:\\Program Files", x86 = u"C:\\Program Files (x86)";
    Machine& m = M();
    m.view = view;
    bool windows64 = view != WindowsView::Windows32;
    m.specialFolders[plat::kCsidlProgramFiles] = view == WindowsView::Native64 || !windows64 ? native : x86;
    m.specialFolders[plat::kCsidlProgramFilesX86] = windows64 ? x86 : native;
    m.environment[u"PROGRAMFILES"] = m.specialFolders[plat::kCsidlProgramFiles];
    if (windows64) {
        m.environment[u"PROGRAMFILES(X86)"] = x86;
        m.environment[u"PROGRAMW6432"] = native;
        PutFolder(x86);
    } else {
        m.environment.erase(u"PROGRAMFILES(X86)");
        m.environment.erase(u"PROGRAMW6432");
    }
    PutFolder(native);
}

void SetShellExecuteExResult(bool started, uint32_t exitCodeOrError) {
    M().shellExecuteExStarts = started;
    M().shellExecuteExResult = exitCodeOrError;
}

void SetDesktopShellAvailable(bool available) { M().desktopShellAvailable = available; }

bool OleInitialized() { return M().oleInitCount > 0; }

bool LinkAt(const Wide& path, LinkData* out) {
    Path p = ParsePath(path);
    if (!p.valid || p.volume || !M().drives.count(p.drive)) return false;
    const Node* node = FindNode(p.Key());
    if (!node || node->folder) return false;
    LinkData link;
    if (!plat::Parse(node->bytes, &link)) return false;
    if (out) *out = link;
    return true;
}

void SetShellLinkAvailable(bool available) { M().shellLinkAvailable = available; }

}  // namespace fake
