// File times, local time and MS-DOS times: the installer stamps every file it writes with an
// MS-DOS time taken as local time, and reads stamps back the same way.
#include "tests/contract/ContractSupport.h"

namespace contract {
namespace {

using namespace plat;

SystemTime Fields(int year, int month, int day, int hour, int minute, int second, int ms = 0) {
    return SystemTimeOf(year, month, day, hour, minute, second, ms);
}

FileTime TimeOf(const SystemTime& fields) {
    FileTime time = 0;
    EXPECT_TRUE(SystemTimeToFileTime(fields, &time));
    return time;
}

TEST(ContractTimes, SystemTimeConversions) {
    FileTime millennium = TimeOf(Fields(2000, 1, 1, 0, 0, 0));
    EXPECT_EQ(millennium, 125911584000000000ull);
    SystemTime back;
    ASSERT_TRUE(FileTimeToSystemTime(TimeOf(Fields(2024, 2, 29, 23, 59, 58, 123)), &back));
    EXPECT_EQ(back.year, 2024);
    EXPECT_EQ(back.month, 2);
    EXPECT_EQ(back.day, 29);
    EXPECT_EQ(back.dayOfWeek, 4);  // a Thursday
    EXPECT_EQ(back.hour, 23);
    EXPECT_EQ(back.minute, 59);
    EXPECT_EQ(back.second, 58);
    EXPECT_EQ(back.milliseconds, 123);

    FileTime unused;
    EXPECT_FALSE(SystemTimeToFileTime(Fields(2001, 2, 30, 0, 0, 0), &unused));
    EXPECT_FALSE(SystemTimeToFileTime(Fields(2001, 13, 1, 0, 0, 0), &unused));
    EXPECT_FALSE(SystemTimeToFileTime(Fields(2001, 1, 1, 24, 0, 0), &unused));
    EXPECT_FALSE(FileTimeToSystemTime(0x8000000000000000ull, &back));
}

// The MS-DOS form (two-second resolution) drops what lies below its even second, so an installed
// file reads as its payload stamp.
TEST(ContractTimes, DosTimesDropTheTicksBelowTheEvenSecond) {
    FileTime evenSecond = 0;
    ASSERT_TRUE(SystemTimeToFileTime(SystemTimeOf(2024, 2, 29, 23, 59, 58, 0), &evenSecond));
    for (const FileTime ticks : {FileTime{0}, FileTime{1}, FileTime{19999999}}) {
        uint16_t dosDate = 0, dosTime = 0;
        ASSERT_TRUE(FileTimeToDosDateTime(evenSecond + ticks, &dosDate, &dosTime)) << ticks;
        EXPECT_EQ(((2024 - 1980) << 9) | (2 << 5) | 29, dosDate) << ticks;
        EXPECT_EQ((23 << 11) | (59 << 5) | 29, dosTime) << ticks;
    }
}

TEST(ContractTimes, LocalAndUniversalFileTimesAreInverse) {
    for (FileTime utc : {TimeOf(Fields(1999, 12, 31, 23, 30, 0)),
                         TimeOf(Fields(2024, 7, 1, 12, 0, 0)),
                         TimeOf(Fields(2026, 3, 14, 10, 20, 30))}) {
        FileTime local = 0, again = 0;
        ASSERT_TRUE(FileTimeToLocalFileTime(utc, &local));
        ASSERT_TRUE(LocalFileTimeToFileTime(local, &again));
        EXPECT_EQ(again, utc);
    }
}

TEST(ContractTimes, DosTimesKeepEvenSeconds) {
    FileTime time = TimeOf(Fields(2024, 2, 29, 13, 45, 57, 900));
    uint16_t date = 0, clock = 0;
    ASSERT_TRUE(FileTimeToDosDateTime(time, &date, &clock));
    EXPECT_EQ(date, ((2024 - 1980) << 9) | (2 << 5) | 29);
    EXPECT_EQ(clock, (13 << 11) | (45 << 5) | (56 / 2));

    FileTime back = 0;
    ASSERT_TRUE(DosDateTimeToFileTime(date, clock, &back));
    EXPECT_EQ(back, TimeOf(Fields(2024, 2, 29, 13, 45, 56)));
}

TEST(ContractTimes, DosTimesCoverOnly1980To2107) {
    uint16_t date = 0, clock = 0;
    EXPECT_FALSE(FileTimeToDosDateTime(TimeOf(Fields(1979, 12, 31, 23, 59, 58)), &date, &clock));
    ASSERT_TRUE(FileTimeToDosDateTime(TimeOf(Fields(1980, 1, 1, 0, 0, 0)), &date, &clock));
    EXPECT_EQ(date, (1 << 5) | 1);
    EXPECT_EQ(clock, 0);
    ASSERT_TRUE(FileTimeToDosDateTime(TimeOf(Fields(2107, 12, 31, 23, 59, 58)), &date, &clock));
    EXPECT_EQ(date, (127 << 9) | (12 << 5) | 31);
    EXPECT_EQ(clock, (23 << 11) | (59 << 5) | 29);
}

TEST(ContractTimes, ImpossibleDosTimesAreRefused) {
    FileTime time;
    const uint16_t year2000 = 20 << 9;
    EXPECT_FALSE(DosDateTimeToFileTime(0, 0, &time)) << "0 is no date";
    EXPECT_FALSE(DosDateTimeToFileTime(year2000 | (13 << 5) | 1, 0, &time));
    EXPECT_FALSE(DosDateTimeToFileTime(year2000 | (2 << 5) | 30, 0, &time));
    EXPECT_FALSE(DosDateTimeToFileTime(year2000 | (1 << 5) | 1, 24 << 11, &time));
    EXPECT_FALSE(DosDateTimeToFileTime(year2000 | (1 << 5) | 1, 30, &time)) << "60 seconds";
    EXPECT_TRUE(DosDateTimeToFileTime(year2000 | (1 << 5) | 1, 29, &time));
    EXPECT_EQ(time, TimeOf(Fields(2000, 1, 1, 0, 0, 58)));
}

TEST(ContractTimes, LocalClockAgreesWithTheUniversalClock) {
    SystemTime now;
    GetLocalTime(&now);
    FileTime local = 0, converted = 0;
    ASSERT_TRUE(SystemTimeToFileTime(now, &local));
    ASSERT_TRUE(FileTimeToLocalFileTime(GetSystemTimeAsFileTime(), &converted));
    FileTime difference = converted > local ? converted - local : local - converted;
    EXPECT_LT(difference, 50000000ull) << "more than 5 s apart";
}

}  // namespace
}  // namespace contract
