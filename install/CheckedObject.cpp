#include "install/CheckedObject.h"

#include "install/InstUtils.h"

namespace {

constexpr uint32_t kRights =
    plat::kFileReadData | plat::kDelete | plat::kFileReadAttributes | plat::kFileWriteAttributes;
constexpr uint32_t kHoldingRights = plat::kFileReadData | plat::kFileReadAttributes | plat::kReadControl;
constexpr uint32_t kItself = plat::kFileFlagOpenReparsePoint | plat::kFileFlagBackupSemantics;

TPathState StateOfFailedOpen() {
    uint32_t error = plat::GetLastError();
    return error == plat::kErrorFileNotFound || error == plat::kErrorPathNotFound
               ? TPathState::Missing
               : TPathState::Unknown;
}

}  // namespace

TPathState OpenChecked(const plat::Wide& path, const plat::Wide& parentFinal, bool folder,
                       TCheckedObject* out, TCheckedFor use) {
    TCheckedObject object;
    uint32_t rights = use == TCheckedFor::Deletion  ? kRights
                      : use == TCheckedFor::Holding ? kHoldingRights
                                                    : plat::kFileReadAttributes;
    constexpr uint32_t kShare = plat::kFileShareRead | plat::kFileShareWrite;
    object.Handle.Reset(plat::CreateFileW(path, rights, kShare, plat::kOpenExisting, kItself));
    // A folder held with the right to read its security has its owner read through the hold
    // itself, not through a second open of it; one whose list refuses that right is held as
    // before, without it.
    if (!object.Handle.Valid() && use == TCheckedFor::Holding &&
        plat::GetLastError() == plat::kErrorAccessDenied)
        object.Handle.Reset(plat::CreateFileW(path, rights & ~plat::kReadControl, kShare,
                                              plat::kOpenExisting, kItself));
    if (!object.Handle.Valid()) return StateOfFailedOpen();
    if (!plat::GetOpenFileFacts(object.Handle.Get(), &object.Info)) return TPathState::Unknown;
    if (object.Info.attributes & plat::kFileAttributeReparsePoint) return TPathState::Link;
    bool isFolder = (object.Info.attributes & plat::kFileAttributeDirectory) != 0;
    object.Final = plat::GetFinalPathNameByHandleW(object.Handle.Get());
    if (object.Final.empty()) return TPathState::Unknown;
    if (parentFinal.empty()) {
        uint32_t attributes = plat::GetFileAttributesW(path);
        if (attributes != plat::kInvalidFileAttributes &&
            (attributes & plat::kFileAttributeReparsePoint))
            return TPathState::Link;
    } else if (!SamePath(object.Final, JoinPath(parentFinal, path.substr(ExtractFolder(path).size())))) {
        return TPathState::Link;  // reached elsewhere: through a link, or a link itself under Wine
    }
    if (folder && !isFolder) return TPathState::Missing;
    if (!folder && isFolder) return TPathState::NotAFile;
    *out = std::move(object);
    return TPathState::Real;
}

bool DeleteChecked(TCheckedObject& object) {
    if (!object.Handle.Valid()) return false;
    plat::FileDispositionInfo remove;
    bool marked = plat::SetFileInformationByHandle(object.Handle.Get(), remove);
    // The user may have write-protected it; it goes all the same.
    if (!marked && (object.Info.attributes & plat::kFileAttributeReadOnly) &&
        !(object.Info.attributes & plat::kFileAttributeDirectory) && object.Info.numberOfLinks == 1) {
        plat::FileBasicInfo basic;
        uint32_t rest = object.Info.attributes & ~(plat::kFileAttributeReadOnly | plat::kFileAttributeNormal);
        basic.attributes = rest ? rest : plat::kFileAttributeNormal;
        marked = plat::SetFileInformationByHandle(object.Handle.Get(), basic) &&
                 plat::SetFileInformationByHandle(object.Handle.Get(), remove);
    }
    object.Handle.Reset();
    return marked;
}

bool ReadChecked(const TCheckedObject& object, std::string* bytes) {
    bytes->clear();
    return object.Handle.Valid() && object.Info.numberOfLinks == 1 &&
           !(object.Info.attributes & plat::kFileAttributeDirectory) &&
           ReadBytesOfHandle(object.Handle.Get(), bytes);
}

bool ReadPlainFile(const plat::Wide& path, std::string* bytes) {
    bytes->clear();
    plat::Wide folder = ExtractFolder(path);
    plat::TFileHandle folderHandle(plat::CreateFileW(
        folder.size() > 3 ? WithoutBackslash(folder) : folder, 0,
        plat::kFileShareRead | plat::kFileShareWrite | plat::kFileShareDelete, plat::kOpenExisting,
        plat::kFileFlagBackupSemantics));
    plat::Wide folderFinal =
        folderHandle.Valid() ? plat::GetFinalPathNameByHandleW(folderHandle.Get()) : plat::Wide();
    if (folderFinal.empty()) return false;
    TCheckedObject file;
    file.Handle.Reset(plat::CreateFileW(path, plat::kGenericRead, plat::kFileShareRead,
                                        plat::kOpenExisting, plat::kFileFlagOpenReparsePoint));
    if (!file.Handle.Valid() || !plat::GetOpenFileFacts(file.Handle.Get(), &file.Info) ||
        (file.Info.attributes & (plat::kFileAttributeReparsePoint | plat::kFileAttributeDirectory)))
        return false;
    plat::Wide final = plat::GetFinalPathNameByHandleW(file.Handle.Get());
    if (final.empty() || !SamePath(final, JoinPath(folderFinal, path.substr(folder.size()))))
        return false;
    return ReadChecked(file, bytes);
}
