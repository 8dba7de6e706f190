// Date values and MS-DOS date/times.
//
// A date value counts days since 1899-12-30 00:00 in local time; its fraction is the time of day.
// An MS-DOS date/time packs the date in the high 16 bits (day 0-4, month 5-8, year-1980 9-15) and
// the time in the low 16 bits (seconds/2 0-4, minutes 5-10, hours 11-15). The payload stores every
// stamp as exactly the date value that DosTimeToDate gives, so that stored stamps and the dates
// read back from installed files compare equal.
#pragma once

#include <cstdint>

// The MS-DOS date/time of a date value, or 0 when its year lies outside 1980..2099.
uint32_t DateToDosTime(double date);
// The date value of an MS-DOS date/time. An impossible date contributes 0 days.
double DosTimeToDate(uint32_t dosTime);

// Calendar helpers shared with the code that reads the clock.
double EncodeDate(int year, int month, int day);  // days since 1899-12-30; 0 if impossible
double EncodeTime(int hour, int minute, int second, int milliseconds);
// Splits a date value into its calendar fields (milliseconds rounded to the nearest).
void DecodeDateTime(double date, int* year, int* month, int* day, int* hour, int* minute,
                    int* second, int* milliseconds);
