// Entry stamps: local date values that lie on an MS-DOS date/time, as the setup program reads
// installed files back.
#pragma once

#include <string>

// The stamp of a calendar time, taken through the MS-DOS two-second form. Gives false with the
// reason when the time is impossible or outside the years 1980 to 2099.
bool StampOf(int year, int month, int day, int hour, int minute, int second, double* stamp,
             std::string* problem);
// "YYYY-MM-DD HH:MM:SS" in local time.
bool ParseStamp(const std::string& text, double* stamp, std::string* problem);
// The last-write time of a file, in local time.
bool StampOfFile(const std::string& path, double* stamp, std::string* problem);

// True when the value is exactly a stamp that packing can store.
bool IsStoredStamp(double stamp);
// "YYYY-MM-DD HH:MM:SS", or "(no valid stamp)" for a value that packing cannot store.
std::string FormatStamp(double stamp);
// The stamp as Unix time, taking it as local time (for the files that extraction writes).
bool UnixTimeOfStamp(double stamp, long long* seconds);
