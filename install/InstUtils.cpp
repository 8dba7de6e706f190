#include "install/InstUtils.h"

#include "platform/Handles.h"

void AppendBackslash(Wide& path) {
    if (path.empty()) return;
    if (path.back() == u'/' || path.back() == u'\\')
        path.back() = u'\\';
    else
        path += u'\\';
}

Wide WithoutBackslash(const Wide& path) {
    if (!path.empty() && path.back() == u'\\') return path.substr(0, path.size() - 1);
    return path;
}

Wide JoinPath(const Wide& folder, const Wide& name) {
    Wide joined = folder;
    AppendBackslash(joined);
    return joined + name;
}

Wide ExtractFolder(const Wide& path) {
    for (size_t i = path.size(); i-- > 0;)
        if (path[i] == u'\\' || path[i] == u':') return path.substr(0, i + 1);
    return Wide();
}

Wide CurrentFolder() {
    Wide folder = plat::GetCurrentDirectoryW();
    AppendBackslash(folder);
    return folder;
}

Wide TempFolder() {
    Wide folder = plat::GetTempPathW();
    size_t nul = folder.find(u'\0');
    if (nul != Wide::npos) folder.resize(nul);
    if (!FolderExists(folder)) folder = SpecialFolder(plat::kCsidlPersonal);
    AppendBackslash(folder);
    return folder;
}

Wide SpecialFolder(int csidl) {
    Wide path;
    if (plat::SHGetFolderPathW(csidl, &path) != 0) return Wide();
    size_t nul = path.find(u'\0');
    if (nul != Wide::npos) path.resize(nul);
    return path;
}

bool FolderExists(const Wide& path) {
    Wide remembered = CurrentFolder();
    Wide candidate = path;
    AppendBackslash(candidate);
    plat::SetCurrentDirectoryW(candidate);
    bool exists = SamePath(CurrentFolder(), candidate);
    plat::SetCurrentDirectoryW(remembered);
    return exists;
}

bool FileExists(const Wide& path) {
    plat::FindData found;
    plat::TSearchHandle search(plat::FindFirstFileW(path, &found));
    if (!search.Valid()) return false;
    return (found.attributes & plat::kFileAttributeDirectory) == 0;
}

Wide PathKey(const Wide& path) {
    return plat::LCMapStringW(plat::kLocaleUserDefault, plat::kLcmapUppercase, path);
}

bool SamePath(const Wide& a, const Wide& b) {
    // Upper-casing maps each UTF-16 unit to one: texts of different lengths never match, and
    // most pairs are told apart without the locale.
    return a.size() == b.size() && PathKey(a) == PathKey(b);
}

bool PathStartsWith(const Wide& path, const Wide& prefix) {
    return SamePath(path.substr(0, prefix.size()), prefix);
}

int32_t FileSizeOf(const Wide& path) {
    plat::TFileHandle file(plat::CreateFileW(path, 0, plat::kFileShareRead, plat::kOpenExisting,
                                             plat::kFileAttributeNormal));
    uint32_t size = plat::GetFileSize(file.Get());
    return static_cast<int32_t>(size);
}

double NowAsDate() {
    plat::SystemTime now;
    plat::GetLocalTime(&now);
    return EncodeDate(now.year, now.month, now.day) +
           EncodeTime(now.hour, now.minute, now.second, now.milliseconds);
}

double FileDateOf(const Wide& path) {
    plat::FindData found;
    if (!plat::TSearchHandle(plat::FindFirstFileW(path, &found)).Valid()) return NowAsDate();
    plat::FileTime local;
    uint16_t dosDate, dosTime;
    if (!plat::FileTimeToLocalFileTime(found.lastWriteTime, &local) ||
        !plat::FileTimeToDosDateTime(local, &dosDate, &dosTime))
        return kUnrepresentableFileDate;
    return DosTimeToDate((uint32_t{dosDate} << 16) | dosTime);
}

bool FileTimeOfDosTime(uint32_t dosTime, plat::FileTime* utc) {
    plat::FileTime local;
    return plat::DosDateTimeToFileTime(static_cast<uint16_t>(dosTime >> 16),
                                       static_cast<uint16_t>(dosTime & 0xFFFF), &local) &&
           plat::LocalFileTimeToFileTime(local, utc);
}

uint32_t SetFileDate(plat::Handle file, uint32_t dosTime) {
    plat::FileTime utc;
    if (!FileTimeOfDosTime(dosTime, &utc)) return plat::GetLastError();
    if (!plat::SetFileTime(file, nullptr, nullptr, &utc)) return plat::GetLastError();
    return 0;
}

bool ReadBytesOfFile(const Wide& path, std::string* bytes) {
    bytes->clear();
    plat::TFileHandle file(plat::CreateFileW(path, plat::kGenericRead, plat::kFileShareRead,
                                             plat::kOpenExisting, plat::kFileAttributeNormal));
    return file.Valid() && ReadBytesOfHandle(file.Get(), bytes);
}

bool ReadBytesOfHandle(plat::Handle file, std::string* bytes) {
    bytes->clear();
    // The size says it first; the reads stop one byte past the bound all the same, since the size
    // holds only its low 32 bits and the file may grow meanwhile.
    uint32_t size = plat::GetFileSize(file);
    if (size != plat::kInvalidFileSize && size > kMaxReadableFileSize) return false;
    char buffer[65536];
    for (;;) {
        uint32_t room = kMaxReadableFileSize + 1 - static_cast<uint32_t>(bytes->size());
        uint32_t got = 0;
        if (!plat::ReadFile(file, buffer, room < sizeof buffer ? room : sizeof buffer, &got))
            return false;
        if (got == 0) return true;
        bytes->append(buffer, got);
        if (bytes->size() > kMaxReadableFileSize) {
            bytes->clear();
            return false;
        }
    }
}

Wide WithoutDevicePrefix(const Wide& path) {
    auto letter = [](char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); };
    bool device = path.size() >= 4 && path[0] == u'\\' && path[1] == u'\\' &&
                  (path[2] == u'?' || path[2] == u'.') && path[3] == u'\\';
    if (!device) return path;
    Wide rest = path.substr(4);
    if (rest.size() >= 2 && letter(rest[0]) && rest[1] == u':') return rest;
    if (path[2] == u'?' && rest.size() > 4 && SamePath(rest.substr(0, 4), u"UNC\\"))
        return u"\\\\" + rest.substr(4);
    return path;
}

Wide WithLongNames(const Wide& path) {
    // The longest beginning that exists, one element shorter each time, down to the root.
    size_t end = path.size();
    for (;;) {
        Wide longHead = plat::GetLongPathNameW(path.substr(0, end));
        if (!longHead.empty()) return longHead + path.substr(end);
        size_t cut = end ? path.rfind(u'\\', end - 1) : Wide::npos;
        if (cut == Wide::npos || cut < 3) return path;
        end = cut;
    }
}
