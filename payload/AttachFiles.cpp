#include "payload/AttachFiles.h"

#include "install/DataFolder.h"
#include "install/InstUtils.h"
#include "install/InstallLog.h"
#include "install/InstalledTime.h"
#include "install/LinkGuard.h"
#include "install/RunFlags.h"
#include "install/SafeWrite.h"
#include "install/TempFile.h"
#include "payload/PayloadFormat.h"
#include "payload/PayloadName.h"
#include "resources/Product.h"
#include "wizard/lang/UILang.h"

TAttachedFiles* AttachedFiles = nullptr;
plat::Wide PublicDataDir;
bool ForceOverwrite = false;

void ResetAttachFilesState() {
    // The process that ends frees what it held, the inflated payload with it.
    delete AttachedFiles;
    AttachedFiles = nullptr;
    PublicDataDir.clear();
    ForceOverwrite = false;
}

TAttachedFiles::TAttachedFiles() {
    loaded_ = Load();
    PublicDataDir = SharedDataFolder() + kPublicFolderName;
}

bool TAttachedFiles::Load() {
    const void* stored = nullptr;
    uint32_t storedSize = 0;
    if (!plat::LoadOwnResource(kPayloadResourceType, kPayloadResourceName, &stored, &storedSize))
        return false;
    // Five times the stored size holds the whole payload, so inflate runs once and nothing is
    // copied; the block then shrinks to the inflated length.
    uint64_t capacity = uint64_t{storedSize} * 5;
    if (capacity > 0x7FFFFFFF) capacity = 0x7FFFFFFF;
    if (!InflateBuffer(stored, storedSize, static_cast<uint32_t>(capacity), &block_,
                       &blockLength_))
        return false;
    // A name that could lead a file out of its folder, into a stream or onto a device makes the
    // whole payload damaged: nothing of it is installed.
    bool named = true;
    bool walked = WalkPayload(block_.get(), blockLength_, [&](const PayloadEntryView& e) {
        if (!named || PayloadNameProblem(e.name, e.nameLength)) {
            named = false;
            return;
        }
        auto file = std::make_unique<TAttachedFile>();
        file->Name = WideOfUtf8(e.name, e.nameLength);
        file->Size = e.size;
        file->Time = e.time;
        file->Data = e.data;
        Entries.push_back(std::move(file));
    });
    if (!walked || !named) Entries.clear();
    return walked && named;
}

void TAttachedFiles::SelectFiles(const std::string& pattern, const plat::Wide& folder,
                                 CopyMode mode) {
    CopyMode effective = ForceOverwrite ? CopyAlways : mode;
    plat::Wide wanted = PathKey(WideOfUtf8(pattern));
    bool folderPattern = !wanted.empty() && wanted.back() == u'\\';
    for (auto& entry : Entries) {
        plat::Wide name = PathKey(entry->Name);
        if (folderPattern) {
            if (name.compare(0, wanted.size(), wanted) == 0 && name.size() >= wanted.size())
                AddFileToInstall(entry.get(), folder, effective, mode);
        } else if (name == wanted) {
            AddFileToInstall(entry.get(), folder, effective, mode);
            break;
        }
    }
}

void TAttachedFiles::AddFileToInstall(TAttachedFile* entry, const plat::Wide& folder,
                                      CopyMode effective, CopyMode given) {
    plat::Wide dest = JoinPath(folder, entry->Name);
    if (effective != CopyAlways && FileExists(dest)) {
        if (effective == CopyIfMissing) return;
        // Any difference counts, a newer file on disk too.
        if (FileDateOf(dest) == entry->Time) return;
    }
    auto file = std::make_unique<TFileToInstall>();
    file->Source = entry;
    file->Dest = dest;
    file->Logged = LogSuspendCount == 0 ? 1 : 0;
    destKeys_.insert(PathKey(file->Dest));
    ToInstall.push_back(std::move(file));
    if (PathStartsWith(dest, PublicDataDir)) {
        plat::Wide line = dest;
        if (given == CopyIfMissing) line += u"\t!";
        UpdateList.push_back(Utf8Of(line));
    }
}

bool TAttachedFiles::WriteEntry(const TAttachedFile& entry, const plat::Wide& path) {
    TSafeWrite how;
    // A shared file carries the installation's time, by which the removal tells it from the
    // user's.
    const bool shared = !PublicDataDir.empty() && PathStartsWith(path, PublicDataDir);
    how.Finish = [&entry, shared](plat::Handle file) {
        SetInstalledTime(file, DateToDosTime(entry.Time), shared);  // a failure keeps the write time
    };
    // The temporary file of a replacement never takes the name of a file this run writes.
    how.Reserved = [this](const plat::Wide& name) { return destKeys_.count(PathKey(name)) != 0; };
    // A file that already holds these bytes and this stamp is left as it is (a reinstallation).
    // One that an earlier setup wrote, with the bare stamp, is written again to carry the
    // installation's time.
    how.KeepUnchanged = InstalledTimeOf(DateToDosTime(entry.Time), shared, &how.LastWrite);
    // One write straight from the inflated block.
    if (!WriteWholeFile(path, entry.Data, static_cast<uint32_t>(entry.Size), how)) return false;
    LogLine("File Copy: " + Utf8Of(path));
    return true;
}

TAttachedFile* TAttachedFiles::LastEntryNamed(const std::string& name) {
    plat::Wide wanted = WideOfUtf8(name);
    for (size_t i = Entries.size(); i-- > 0;)
        if (SamePath(Entries[i]->Name, wanted)) return Entries[i].get();
    return nullptr;
}

bool TAttachedFiles::InstallFile(TAttachedFile* entry, const std::string& name,
                                 const plat::Wide& path) {
    if (!entry) entry = LastEntryNamed(name);
    return Retrying(path, [&] {
        // The way to the file is checked, and held, before its folder is looked for: a folder
        // of an earlier installation is then known to exist without a look of its own. Whatever
        // the check finds, the write below finds it again.
        NoLinkOnTheWay(path);
        ForceFolders(ExtractFolder(path));
        // A name the payload does not hold fails like a file that cannot be written.
        return entry && WriteEntry(*entry, path);
    });
}

bool TAttachedFiles::ExtractTemporarily(const std::string& name, const plat::Wide& folder,
                                        std::string* bytes) {
    TAttachedFile* entry = LastEntryNamed(name);
    return Retrying(folder + WideOfUtf8(name), [&] {
        ForceFolders(folder);
        plat::Wide path;
        // Deleted when the handle closes: the copy never outlives this call, whatever happens.
        plat::TFileHandle file = CreateTemporaryFile(folder, WideOfUtf8(name.substr(0, name.rfind('.'))),
                                                     WideOfUtf8(name.substr(name.rfind('.'))), &path);
        if (!entry || !file.Valid()) return false;
        uint32_t size = static_cast<uint32_t>(entry->Size), done = 0;
        if (!plat::WriteFile(file.Get(), entry->Data, size, &done) || done != size) return false;
        if (plat::SetFilePointer(file.Get(), 0, plat::kFileBegin) != 0) return false;
        std::string text(size, '\0');
        if (size && (!plat::ReadFile(file.Get(), &text[0], size, &done) || done != size)) return false;
        *bytes = std::move(text);
        return true;
    });
}

bool TAttachedFiles::Retrying(const plat::Wide& path, const std::function<bool()>& attempt) {
    for (;;) {
        if (attempt()) return true;
        // The user may delete or create folders while the question is open.
        ForgetKnownFolders();
        if (Silent) {
            ExitCode = kExitCannotWrite;
            return false;
        }
        TMsgButton answer =
            ShowMessageBox(FormatText(UIText(CannotCreateFile), {Utf8Of(path)}), TMsgKind::Error,
                           {TMsgButton::Abort, TMsgButton::Retry, TMsgButton::Ignore});
        if (answer == TMsgButton::Ignore) return true;
        // Only Retry tries again: a box that could not be shown answers OK, which must not spin.
        if (answer != TMsgButton::Retry) return false;
    }
}
