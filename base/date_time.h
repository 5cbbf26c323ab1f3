// Date-time values (days since 30 December 1899, the fraction the time of day), the age
// rule and the date-time text.
#pragma once
#include <cmath>
#include <cstdint>
#include <string>

#include <windows.h>

using DateTime = double;

struct CalendarTime {
    int year, month, day, hour, minute, second, millisecond;
};

// Encodes calendar fields; dates before 1899-12-30 subtract the time of day.
DateTime EncodeDateTime(const CalendarTime& t);
// Splits a value back into calendar fields, to the millisecond.
CalendarTime DecodeDateTime(DateTime value);

DateTime SystemTimeToDateTime(const SYSTEMTIME& st);
// A UTC file time stamp in local time, with the offset in force now; false (and the epoch)
// when the stamp has no such form.
bool ToLocalDateTime(const FILETIME& stamp, DateTime& value);
// The old-file rule on a file's creation and last-write stamps, both converted into
// `created` and `modified`. A stamp without a date-time form leaves the age unknown: not old.
bool AreOldStamps(const FILETIME& creation, const FILETIME& lastWrite, DateTime cutOff,
                  DateTime& created, DateTime& modified);
// The same, the epoch itself for a stamp out of the platform's range.
DateTime FileTimeToLocalDateTime(const FILETIME& stamp);
// The local clock now, with milliseconds.
DateTime LocalNow();

inline DateTime CutOff(DateTime scanStart, int32_t days) {
    return scanStart + -days;
}

// Values carry milliseconds and nothing finer; comparing whole milliseconds keeps equality
// exact where the floating-point sums of two routes to the same moment differ in the last bit.
inline long long WholeMilliseconds(DateTime value) {
    return std::llround(value * 86400000.0);
}

// Old when Created and Modified both lie at or before the cut-off (equality counts as old).
inline bool IsOld(DateTime created, DateTime modified, DateTime cutOff) {
    const long long limit = WholeMilliseconds(cutOff);
    return WholeMilliseconds(created) <= limit && WholeMilliseconds(modified) <= limit;
}

// A directory's Modified is taken 61 seconds earlier before the old-file rule is applied to
// it, and the shifted value is what its row shows.
inline DateTime ShiftedModified(DateTime modified) {
    return modified - 61.0 / 86400.0;
}

// The rule a directory is removed by, on its creation and last-write stamps, converted into
// `created` and `modified` (shifted, as its row shows it): not old where either has no
// date-time form.
bool AreOldDirectoryStamps(const FILETIME& creation, const FILETIME& lastWrite, DateTime cutOff,
                           DateTime& created, DateTime& modified);
bool AreOldDirectoryStamps(const FILETIME& creation, const FILETIME& lastWrite, DateTime cutOff);

// Whole days between the scan start and Created, sign ignored, fraction dropped.
int32_t AgeInDays(DateTime scanStart, DateTime created);

// The user's regional formats, read once at start-up.
struct RegionalFormats {
    std::string shortDate = "M/d/yyyy";
    std::string longTime = "h:mm:ss tt";
    std::string am = "AM", pm = "PM";
    std::string monthNames[12], monthAbbrevs[12], dayNames[7], dayAbbrevs[7];

    static RegionalFormats FromSystem();
};

// The short date, then a blank and the long time only when hour, minute or second is set.
std::string DateTimeText(DateTime value, const RegionalFormats& formats);

// Formats calendar fields with a Windows date or time picture (d, M, y, h, H, m, s, t, '...').
std::string FormatPicture(const std::string& picture, const CalendarTime& t,
                          const RegionalFormats& formats);
