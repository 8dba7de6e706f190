// Times of the fake: Gregorian calendar arithmetic on FILETIMEs, the settable clock and time-zone
// bias (local = UTC - bias, one fixed bias as FileTimeToLocalFileTime uses), and MS-DOS times.
#include "platform/fake/state.h"

namespace plat {

using namespace fake::detail;

namespace {

constexpr int64_t kTicksPerSecond = 10000000;
constexpr int64_t kTicksPerDay = kTicksPerSecond * 86400;
constexpr int64_t kTicksPerMinute = kTicksPerSecond * 60;

bool IsLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeap(year) ? 29 : days[month - 1];
}

constexpr int64_t kDays1601To1970 = 134774;

// Days since 1601-01-01 of a date (proleptic Gregorian), by way of days since 1970-01-01.
int64_t DaysFrom1601(int year, int month, int day) {
    int64_t y = year - (month <= 2 ? 1 : 0);
    int64_t era = (y >= 0 ? y : y - 399) / 400;
    int64_t yoe = y - era * 400;
    int64_t doy = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468 + kDays1601To1970;
}

void CivilFromDays(int64_t days1601, int* year, int* month, int* day) {
    int64_t z = days1601 - kDays1601To1970 + 719468;
    int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    int64_t doe = z - era * 146097;
    int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    int64_t mp = (5 * doy + 2) / 153;
    *day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    *month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    *year = static_cast<int>(yoe + era * 400 + (*month <= 2 ? 1 : 0));
}

int64_t BiasTicks() { return static_cast<int64_t>(M().biasMinutes) * kTicksPerMinute; }

}  // namespace

bool FileTimeToSystemTime(FileTime time, SystemTime* out) {
    if (time >= 0x8000000000000000ull) return Fail(kErrorInvalidParameter), false;
    int64_t days = static_cast<int64_t>(time / kTicksPerDay);
    int64_t rest = static_cast<int64_t>(time % kTicksPerDay);
    int year, month, day;
    CivilFromDays(days, &year, &month, &day);
    out->year = static_cast<uint16_t>(year);
    out->month = static_cast<uint16_t>(month);
    out->day = static_cast<uint16_t>(day);
    out->dayOfWeek = static_cast<uint16_t>((days + 1) % 7);  // 1601-01-01 was a Monday
    out->hour = static_cast<uint16_t>(rest / (3600 * kTicksPerSecond));
    out->minute = static_cast<uint16_t>(rest / (60 * kTicksPerSecond) % 60);
    out->second = static_cast<uint16_t>(rest / kTicksPerSecond % 60);
    out->milliseconds = static_cast<uint16_t>(rest / 10000 % 1000);
    return true;
}

bool SystemTimeToFileTime(const SystemTime& in, FileTime* out) {
    if (in.year < 1601 || in.year > 30827 || in.month < 1 || in.month > 12 || in.day < 1 ||
        in.day > DaysInMonth(in.year, in.month) || in.hour > 23 || in.minute > 59 ||
        in.second > 59 || in.milliseconds > 999) {
        return Fail(kErrorInvalidParameter), false;
    }
    int64_t days = DaysFrom1601(in.year, in.month, in.day);
    *out = static_cast<FileTime>(days * kTicksPerDay +
                                 ((in.hour * 60 + in.minute) * 60 + in.second) * kTicksPerSecond +
                                 in.milliseconds * 10000);
    return true;
}

bool FileTimeToLocalFileTime(FileTime utc, FileTime* local) {
    int64_t result = static_cast<int64_t>(utc) - BiasTicks();
    if (utc >= 0x8000000000000000ull || result < 0) return Fail(kErrorInvalidParameter), false;
    *local = static_cast<FileTime>(result);
    return true;
}

bool LocalFileTimeToFileTime(FileTime local, FileTime* utc) {
    int64_t result = static_cast<int64_t>(local) + BiasTicks();
    if (local >= 0x8000000000000000ull || result < 0) return Fail(kErrorInvalidParameter), false;
    *utc = static_cast<FileTime>(result);
    return true;
}

bool FileTimeToDosDateTime(FileTime time, uint16_t* dosDate, uint16_t* dosTime) {
    SystemTime fields;
    if (!FileTimeToSystemTime(time, &fields)) return false;
    if (fields.year < 1980 || fields.year > 2107) return Fail(kErrorInvalidParameter), false;
    *dosDate = static_cast<uint16_t>(((fields.year - 1980) << 9) | (fields.month << 5) | fields.day);
    *dosTime = static_cast<uint16_t>((fields.hour << 11) | (fields.minute << 5) | (fields.second / 2));
    return true;
}

bool DosDateTimeToFileTime(uint16_t dosDate, uint16_t dosTime, FileTime* time) {
    SystemTime fields;
    fields.year = static_cast<uint16_t>(1980 + (dosDate >> 9));
    fields.month = (dosDate >> 5) & 0x0F;
    fields.day = dosDate & 0x1F;
    fields.hour = dosTime >> 11;
    fields.minute = (dosTime >> 5) & 0x3F;
    fields.second = static_cast<uint16_t>((dosTime & 0x1F) * 2);
    return SystemTimeToFileTime(fields, time);
}

void GetLocalTime(SystemTime* out) { FileTimeToSystemTime(M().localNow, out); }

FileTime GetSystemTimeAsFileTime() { return Now(); }

}  // namespace plat

namespace fake {

void SetTimeZoneBias(int biasMinutes) { detail::M().biasMinutes = biasMinutes; }

void SetLocalTime(const plat::SystemTime& local) {
    plat::FileTime time;
    if (plat::SystemTimeToFileTime(local, &time)) detail::M().localNow = time;
}

}  // namespace fake
