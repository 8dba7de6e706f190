#include "install/SafeWrite.h"

#include <string>

#include "install/InstUtils.h"
#include "install/LinkGuard.h"
#include "install/UnchangedFile.h"
#include "platform/Handles.h"

namespace {

// Temporary names held by folders, links or files that cannot be removed are passed over; this
// many make a folder where nothing can be created fail soon.
constexpr unsigned kTemporaryNameAttempts = 100;
// Every name of the temporary scheme (Candidate) matches it.
constexpr char16_t kTemporaryNamePattern[] = u"*.~*";

// Something else holds the name: a file or a link that leads nowhere (folders were passed over
// before; a refusal is a refusal).
bool NameTaken(uint32_t error) {
    return error == plat::kErrorFileExists || error == plat::kErrorAlreadyExists;
}

// Creates the file new, so that nothing that already stands at its name (a file, a folder, a
// link leading elsewhere) is ever opened, writes every byte in one call and lets the caller
// finish it; with `durable` the bytes (and the stamp that Finish gave) are on the disk before
// the file is closed. The file stays whatever happens; the caller removes it when it was a
// temporary one.
bool WriteNewContent(const plat::Wide& path, const void* data, uint32_t size,
                     const TSafeWrite& how, bool durable, bool* nameTaken = nullptr) {
    plat::TFileHandle file(plat::CreateFileW(path, plat::kGenericRead | plat::kGenericWrite,
                                             how.ShareMode, plat::kCreateNew,
                                             plat::kFileAttributeNormal));
    if (!file.Valid()) {
        if (nameTaken) *nameTaken = NameTaken(plat::GetLastError());
        return false;
    }
    uint32_t written = 0;
    // A write that reports success for fewer bytes is a failure too.
    bool ok = plat::WriteFile(file.Get(), data, size, &written) && written == size;
    if (ok && how.Finish) how.Finish(file.Get());
    if (ok && durable) ok = plat::FlushFileBuffers(file.Get());
    return ok;
}

plat::Wide Candidate(const plat::Wide& path, unsigned n) {
    std::string number = std::to_string(n);
    return path + u".~" + plat::Wide(number.begin(), number.end());
}

// A plain file at a temporary name of this scheme was left by a run that was killed before it
// could move or remove it: it goes, never through a link and never a folder. False when it is
// not such a file or could not be removed.
bool RemoveLeftover(const plat::Wide& name) {
    if (!IsPlainFileAt(name)) return false;
    uint32_t attributes = plat::GetFileAttributesW(name);
    if (attributes != plat::kInvalidFileAttributes && (attributes & plat::kFileAttributeReadOnly))
        plat::SetFileAttributesW(name, attributes & ~plat::kFileAttributeReadOnly);
    return plat::DeleteFileW(name);
}

}  // namespace

bool RemoveTemporaryLeftovers(const plat::Wide& path) {
    bool allGone = true;
    for (unsigned n = 0; n < kTemporaryNameAttempts; ++n) {
        plat::Wide candidate = Candidate(path, n);
        // Names are taken from 0 on, each past the ones that were held: the first free one ends
        // what a run can have left.
        if (plat::GetFileAttributesW(candidate) == plat::kInvalidFileAttributes) break;
        // Folders and links there are someone else's.
        if (IsPlainFileAt(candidate) && !RemoveLeftover(candidate)) allGone = false;
    }
    return allGone;
}

bool IsTemporaryName(const plat::Wide& name, plat::Wide* original) {
    size_t mark = name.rfind(u".~");
    if (mark == plat::Wide::npos || mark == 0 || mark + 2 == name.size()) return false;
    for (size_t i = mark + 2; i < name.size(); ++i)
        if (name[i] < u'0' || name[i] > u'9') return false;
    if (original) *original = name.substr(0, mark);
    return true;
}

namespace {

// True when the candidate may be created: nothing stands there (any more), and the run does not
// still have to write a file of that name.
bool Free(const plat::Wide& candidate, const std::function<bool(const plat::Wide&)>& reserved) {
    if (reserved && reserved(candidate)) return false;
    uint32_t attributes = plat::GetFileAttributesW(candidate);
    return attributes == plat::kInvalidFileAttributes || RemoveLeftover(candidate);
}

// An unchanged file is left as it is; the temporary name is still cleared as a replacement would
// clear it. A folder that held no temporary name at all when first asked has nothing to clear:
// one listing of it spares a look-up per file (under Wine, a search of the folder for a name that
// is not there).
bool KeptAsItIs(const plat::Wide& path, const TSafeWrite& how) {
    if (HeldFolderMayHold(ExtractFolder(path), kTemporaryNamePattern)) TemporaryNameFor(path, how.Reserved);
    return true;
}

}  // namespace

plat::Wide TemporaryNameFor(const plat::Wide& path,
                            const std::function<bool(const plat::Wide&)>& reserved) {
    for (unsigned n = 0; n < kTemporaryNameAttempts; ++n)
        if (Free(Candidate(path, n), reserved)) return Candidate(path, n);
    return plat::Wide();
}

bool WriteWholeFile(const plat::Wide& path, const void* data, uint32_t size,
                    const TSafeWrite& how) {
    // Nothing is written where a link in the installation's folders would lead.
    if (!NoLinkOnTheWay(path)) return false;
    // A reinstallation finds most files as it left them, in folders that were there before it:
    // such a file is judged on its own handle first, which tells all that the look-up below
    // would, and the look-up is spared. Anything else takes the way below, as ever.
    const bool keptFirst = how.KeepUnchanged && HeldFolderWasThere(ExtractFolder(path));
    if (keptFirst && HoldsExactly(path, data, size, how.LastWrite)) return KeptAsItIs(path, how);
    uint32_t attributes = plat::GetFileAttributesW(path);
    bool exists = attributes != plat::kInvalidFileAttributes;
    // A link is neither followed nor replaced, and a folder is not a file.
    if (exists && (attributes & (plat::kFileAttributeReparsePoint | plat::kFileAttributeDirectory)))
        return false;
    // A new file written directly is not flushed: a power cut before the cache reaches the disk
    // loses no bytes that were there before, and a flush per file would slow every first
    // installation.
    if (!how.NeverPartial && !exists) return WriteNewContent(path, data, size, how, false);
    // Reading an unchanged file costs far less than writing, flushing and moving it.
    if (how.KeepUnchanged && !keptFirst && HoldsExactly(path, data, size, how.LastWrite))
        return KeptAsItIs(path, how);
    for (unsigned n = 0; n < kTemporaryNameAttempts; ++n) {
        plat::Wide temporary = Candidate(path, n);
        if (!Free(temporary, how.Reserved)) continue;
        bool taken = false;
        bool ok = WriteNewContent(temporary, data, size, how, true, &taken);
        // A name that something holds after all (a link that leads nowhere) is passed over.
        if (!ok && taken) continue;
        // The new bytes reach the disk before the name switches to them, and the switch itself
        // is written through: after a power cut the path holds either the old bytes or the new
        // ones, never a file of the right name whose bytes were still in the cache.
        ok = ok && plat::MoveFileExW(temporary, path,
                                     plat::kMoveFileReplaceExisting | plat::kMoveFileWriteThrough);
        if (!ok) plat::DeleteFileW(temporary);
        return ok;
    }
    return false;
}
