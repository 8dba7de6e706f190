// The small file-system operations the installer is built on. Paths are wide texts with "\" as
// separator; folder paths produced here end in one backslash (an empty one stays empty). Nothing
// here raises or shows a message: platform failures come back as results.
#pragma once

#include <cstdint>
#include <string>

#include "base/Utf8.h"
#include "install/DosTime.h"
#include "platform/platform.h"

using plat::Wide;

// ---- Paths and folders ----

// Makes the path end in exactly one backslash: a final "/" or "\" becomes "\", anything else gets
// one appended. Only the last character is looked at; an empty path stays empty.
void AppendBackslash(Wide& path);
// Without one trailing backslash ("C:\" gives "C:").
Wide WithoutBackslash(const Wide& path);
Wide JoinPath(const Wide& folder, const Wide& name);
// Up to and including the last "\" or ":"; empty when there is neither.
Wide ExtractFolder(const Wide& path);
// "\\?\C:\x" and "\\.\C:\x" as "C:\x", "\\?\UNC\server\share" as "\\server\share": the
// prefixes that only turn Windows' reading of a path off, taken off; any other text as it is.
Wide WithoutDevicePrefix(const Wide& path);
// The full path with the long name of every element of its longest beginning that exists (a
// short name such as "PROGRA~1" becomes "Program Files"); the rest as it is.
Wide WithLongNames(const Wide& path);
// The current folder with a trailing backslash.
Wide CurrentFolder();
// The user's temporary folder, else the documents folder, with a trailing backslash.
Wide TempFolder();
// A shell folder by CSIDL, as the platform gives it; empty when the lookup fails.
Wide SpecialFolder(int csidl);
// True when the process can switch into the folder and reads back the same path (any case).
// Changes the current folder for the length of the test.
bool FolderExists(const Wide& path);
// True for an existing file that is not a folder.
bool FileExists(const Wide& path);
// The path upper-cased with the user's locale: the form in which SamePath compares, for keys.
Wide PathKey(const Wide& path);
// Equal after upper-casing with the user's locale.
bool SamePath(const Wide& a, const Wide& b);
bool PathStartsWith(const Wide& path, const Wide& prefix);

// ---- Files ----

// Low 32 bits of the size; -1 when the file cannot be opened.
int32_t FileSizeOf(const Wide& path);
// Last-write time as a local date value on the two-second MS-DOS grid; the current local time
// for a missing file; kUnrepresentableFileDate for a time outside the MS-DOS range.
double FileDateOf(const Wide& path);
// 1899-12-30 00:00, a date no payload stamp can carry (they lie in 1980..2099), so a file whose
// time cannot be read back always counts as changed.
constexpr double kUnrepresentableFileDate = 0.0;
// The last-write time (UTC) that SetFileDate gives for the MS-DOS date/time; false when the
// date/time is not a valid one.
bool FileTimeOfDosTime(uint32_t dosTime, plat::FileTime* utc);
// Gives an open file the MS-DOS date/time, taken as local time, as its last-write time. 0, or the
// platform error of the step that failed.
uint32_t SetFileDate(plat::Handle file, uint32_t dosTime);
// The most ReadBytesOfFile reads. Install.log and Update.log lie where other users can write;
// a full installation's logs hold a few hundred lines, so a larger file is damaged, and is never
// read whole.
constexpr uint32_t kMaxReadableFileSize = 16 * 1024 * 1024;
// The whole content of a file; false when it cannot be opened or read, or holds more than
// kMaxReadableFileSize bytes.
bool ReadBytesOfFile(const Wide& path, std::string* bytes);
// The same from the current position of a file open for reading.
bool ReadBytesOfHandle(plat::Handle file, std::string* bytes);
// The current local date and time as a date value.
double NowAsDate();
