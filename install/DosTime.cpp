#include "install/DosTime.h"

#include <cmath>

namespace {

constexpr double kMsPerDay = 86400000.0;
// Days from 0001-01-01 to 1899-12-30, the origin of date values.
constexpr int kDateDelta = 693594;

bool IsLeapYear(int year) { return (year % 4 == 0) && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(int year, int month) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return (month == 2 && IsLeapYear(year)) ? 29 : kDays[month - 1];
}

}  // namespace

double EncodeDate(int year, int month, int day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > DaysInMonth(year, month))
        return 0;
    int days = day;
    for (int m = 1; m < month; ++m) days += DaysInMonth(year, m);
    int y = year - 1;
    days += y * 365 + y / 4 - y / 100 + y / 400;
    return static_cast<double>(days - kDateDelta);
}

double EncodeTime(int hour, int minute, int second, int milliseconds) {
    return (hour * 3600000.0 + minute * 60000.0 + second * 1000.0 + milliseconds) / kMsPerDay;
}

void DecodeDateTime(double date, int* year, int* month, int* day, int* hour, int* minute,
                    int* second, int* milliseconds) {
    double whole = std::floor(date);
    long long ms = std::llround((date - whole) * kMsPerDay);
    long long dayNumber = static_cast<long long>(whole);
    if (ms >= 86400000LL) {
        ms -= 86400000LL;
        ++dayNumber;
    }
    // Days since 0001-01-01 (which is day 0 here).
    long long d = dayNumber + kDateDelta - 1;
    int y = 1;
    // 400-, 100-, 4- and 1-year cycles, as the proleptic Gregorian calendar repeats.
    long long n400 = d / 146097;
    d %= 146097;
    long long n100 = d / 36524;
    d %= 36524;
    if (n100 == 4) {
        n100 = 3;
        d += 36524;
    }
    long long n4 = d / 1461;
    d %= 1461;
    long long n1 = d / 365;
    d %= 365;
    if (n1 == 4) {
        n1 = 3;
        d += 365;
    }
    y += static_cast<int>(n400 * 400 + n100 * 100 + n4 * 4 + n1);
    int m = 1;
    while (d >= DaysInMonth(y, m)) {
        d -= DaysInMonth(y, m);
        ++m;
    }
    *year = y;
    *month = m;
    *day = static_cast<int>(d) + 1;
    *hour = static_cast<int>(ms / 3600000);
    *minute = static_cast<int>(ms / 60000 % 60);
    *second = static_cast<int>(ms / 1000 % 60);
    *milliseconds = static_cast<int>(ms % 1000);
}

uint32_t DateToDosTime(double date) {
    int year, month, day, hour, minute, second, ms;
    DecodeDateTime(date, &year, &month, &day, &hour, &minute, &second, &ms);
    if (year < 1980 || year > 2099) return 0;
    uint32_t time = static_cast<uint32_t>(second / 2 + minute * 32 + hour * 2048);
    uint32_t dosDate = static_cast<uint32_t>(day + month * 32 + (year - 1980) * 512);
    return (dosDate << 16) | time;
}

double DosTimeToDate(uint32_t dosTime) {
    int year = static_cast<int>(dosTime >> 25) + 1980;
    int month = static_cast<int>((dosTime >> 21) & 0x0F);
    int day = static_cast<int>((dosTime >> 16) & 0x1F);
    int hour = static_cast<int>((dosTime >> 11) & 0x1F);
    int minute = static_cast<int>((dosTime >> 5) & 0x3F);
    int second = static_cast<int>(dosTime & 0x1F) * 2;
    return EncodeDate(year, month, day) + EncodeTime(hour, minute, second, 0);
}
