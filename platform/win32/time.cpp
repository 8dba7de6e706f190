// File times, MS-DOS times and the clock.
#include "platform/win32/wide.h"

namespace plat {

using namespace win32;

namespace {

SYSTEMTIME ToSystemTime(const SystemTime& in) {
    SYSTEMTIME out;
    out.wYear = in.year;
    out.wMonth = in.month;
    out.wDayOfWeek = in.dayOfWeek;
    out.wDay = in.day;
    out.wHour = in.hour;
    out.wMinute = in.minute;
    out.wSecond = in.second;
    out.wMilliseconds = in.milliseconds;
    return out;
}

SystemTime FromSystemTime(const SYSTEMTIME& in) {
    SystemTime out;
    out.year = in.wYear;
    out.month = in.wMonth;
    out.dayOfWeek = in.wDayOfWeek;
    out.day = in.wDay;
    out.hour = in.wHour;
    out.minute = in.wMinute;
    out.second = in.wSecond;
    out.milliseconds = in.wMilliseconds;
    return out;
}

}  // namespace

bool FileTimeToLocalFileTime(FileTime utc, FileTime* local) {
    FILETIME in = ToFileTime(utc), out;
    if (!::FileTimeToLocalFileTime(&in, &out)) return false;
    *local = FromFileTime(out);
    return true;
}

bool LocalFileTimeToFileTime(FileTime local, FileTime* utc) {
    FILETIME in = ToFileTime(local), out;
    if (!::LocalFileTimeToFileTime(&in, &out)) return false;
    *utc = FromFileTime(out);
    return true;
}

bool FileTimeToDosDateTime(FileTime time, uint16_t* dosDate, uint16_t* dosTime) {
    FILETIME in = ToFileTime(time);
    WORD date = 0, clock = 0;
    if (!::FileTimeToDosDateTime(&in, &date, &clock)) return false;
    *dosDate = date;
    *dosTime = clock;
    return true;
}

bool DosDateTimeToFileTime(uint16_t dosDate, uint16_t dosTime, FileTime* time) {
    FILETIME out;
    if (!::DosDateTimeToFileTime(dosDate, dosTime, &out)) return false;
    *time = FromFileTime(out);
    return true;
}

bool FileTimeToSystemTime(FileTime time, SystemTime* out) {
    FILETIME in = ToFileTime(time);
    SYSTEMTIME fields;
    if (!::FileTimeToSystemTime(&in, &fields)) return false;
    *out = FromSystemTime(fields);
    return true;
}

bool SystemTimeToFileTime(const SystemTime& in, FileTime* out) {
    SYSTEMTIME fields = ToSystemTime(in);
    FILETIME result;
    if (!::SystemTimeToFileTime(&fields, &result)) return false;
    *out = FromFileTime(result);
    return true;
}

void GetLocalTime(SystemTime* out) {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    *out = FromSystemTime(now);
}

FileTime GetSystemTimeAsFileTime() {
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    return FromFileTime(now);
}

}  // namespace plat
