#include "tools/packer/Stamps.h"

#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <ctime>

#include "install/DosTime.h"

bool StampOf(int year, int month, int day, int hour, int minute, int second, double* stamp,
             std::string* problem) {
    if (year < 1980 || year > 2099) {
        *problem = "has a stamp outside the years 1980 to 2099";
        return false;
    }
    if (EncodeDate(year, month, day) == 0 || hour > 23 || minute > 59 || second > 59 || hour < 0 ||
        minute < 0 || second < 0) {
        *problem = "has an impossible stamp";
        return false;
    }
    uint32_t dos =
        DateToDosTime(EncodeDate(year, month, day) + EncodeTime(hour, minute, second, 0));
    *stamp = DosTimeToDate(dos);
    return true;
}

bool ParseStamp(const std::string& text, double* stamp, std::string* problem) {
    int y, mo, d, h, mi, s;
    char tail;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &y, &mo, &d, &h, &mi, &s, &tail) !=
        6) {
        *problem = "has a stamp that is not YYYY-MM-DD HH:MM:SS";
        return false;
    }
    return StampOf(y, mo, d, h, mi, s, stamp, problem);
}

bool StampOfFile(const std::string& path, double* stamp, std::string* problem) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) {
        *problem = "has no file " + path;
        return false;
    }
    struct tm local;
    time_t t = st.st_mtime;
    localtime_r(&t, &local);
    return StampOf(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                   local.tm_min, local.tm_sec, stamp, problem);
}

bool IsStoredStamp(double stamp) {
    // Checked before any conversion: a hostile payload may hold any 64 bits.
    if (!std::isfinite(stamp) || stamp < EncodeDate(1980, 1, 1) || stamp >= EncodeDate(2100, 1, 1))
        return false;
    uint32_t dos = DateToDosTime(stamp);
    return dos != 0 && DosTimeToDate(dos) == stamp;
}

std::string FormatStamp(double stamp) {
    if (!IsStoredStamp(stamp)) return "(no valid stamp)";
    int y, mo, d, h, mi, s, ms;
    DecodeDateTime(stamp, &y, &mo, &d, &h, &mi, &s, &ms);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", y, mo, d, h, mi, s);
    return text;
}

bool UnixTimeOfStamp(double stamp, long long* seconds) {
    if (!IsStoredStamp(stamp)) return false;
    int y, mo, d, h, mi, s, ms;
    DecodeDateTime(stamp, &y, &mo, &d, &h, &mi, &s, &ms);
    struct tm local = {};
    local.tm_year = y - 1900;
    local.tm_mon = mo - 1;
    local.tm_mday = d;
    local.tm_hour = h;
    local.tm_min = mi;
    local.tm_sec = s;
    local.tm_isdst = -1;
    time_t t = mktime(&local);
    if (t == static_cast<time_t>(-1)) return false;
    *seconds = static_cast<long long>(t);
    return true;
}
