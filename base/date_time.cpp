#include "base/date_time.h"

#include <cmath>

namespace {

const double kMsPerDay = 86400000.0;

bool IsLeap(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int y, int m) {
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : days[m - 1];
}

// Days from 0001-01-01 to the date (proleptic Gregorian).
int64_t DaysFromCivilStart(int y, int m, int d) {
    int64_t days = 0;
    for (int i = 1; i < m; ++i)
        days += DaysInMonth(y, i);
    int64_t py = y - 1;
    return py * 365 + py / 4 - py / 100 + py / 400 + days + d - 1;
}

const int64_t kDelphiEpoch = 693593; // days from 0001-01-01 to 1899-12-30

std::string Padded(int value, size_t width) {
    std::string s = std::to_string(value);
    while (s.size() < width)
        s.insert(s.begin(), '0');
    return s;
}

std::string ReadLocale(LCTYPE type, const std::string& fallback) {
    char buffer[256];
    int n = GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buffer, sizeof buffer);
    return n > 1 ? std::string(buffer, static_cast<size_t>(n - 1)) : fallback;
}

int DayOfWeek(const CalendarTime& t) { // 0 = Sunday
    int64_t days = DaysFromCivilStart(t.year, t.month, t.day);
    return static_cast<int>((days + 1) % 7);
}

} // namespace

DateTime EncodeDateTime(const CalendarTime& t) {
    double date = static_cast<double>(DaysFromCivilStart(t.year, t.month, t.day) - kDelphiEpoch);
    double time =
        (t.hour * 3600000.0 + t.minute * 60000.0 + t.second * 1000.0 + t.millisecond) / kMsPerDay;
    return date >= 0 ? date + time : date - time;
}

CalendarTime DecodeDateTime(DateTime value) {
    // Whole milliseconds from the epoch, read back through the sign convention.
    double whole = std::trunc(value);
    double fraction = std::fabs(value - whole);
    int64_t ms = static_cast<int64_t>(std::llround(fraction * kMsPerDay));
    int64_t days = static_cast<int64_t>(whole);
    if (ms >= 86400000) {
        ms -= 86400000;
        days += 1; // the next calendar day, whichever the sign
    }
    int64_t n = days + kDelphiEpoch; // days since 0001-01-01
    CalendarTime t{};
    int64_t y400 = n / 146097, r = n % 146097;
    int64_t y100 = r / 36524;
    if (y100 == 4)
        y100 = 3;
    r -= y100 * 36524;
    int64_t y4 = r / 1461;
    r %= 1461;
    int64_t y1 = r / 365;
    if (y1 == 4)
        y1 = 3;
    r -= y1 * 365;
    t.year = static_cast<int>(y400 * 400 + y100 * 100 + y4 * 4 + y1 + 1);
    t.month = 1;
    while (r >= DaysInMonth(t.year, t.month)) {
        r -= DaysInMonth(t.year, t.month);
        ++t.month;
    }
    t.day = static_cast<int>(r) + 1;
    t.hour = static_cast<int>(ms / 3600000);
    t.minute = static_cast<int>(ms / 60000 % 60);
    t.second = static_cast<int>(ms / 1000 % 60);
    t.millisecond = static_cast<int>(ms % 1000);
    return t;
}

DateTime SystemTimeToDateTime(const SYSTEMTIME& st) {
    return EncodeDateTime(
        {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds});
}

bool ToLocalDateTime(const FILETIME& stamp, DateTime& value) {
    FILETIME local{};
    SYSTEMTIME st{};
    value = 0;
    if (!FileTimeToLocalFileTime(&stamp, &local) || !FileTimeToSystemTime(&local, &st))
        return false;
    value = SystemTimeToDateTime(st);
    return true;
}

bool AreOldStamps(const FILETIME& creation, const FILETIME& lastWrite, DateTime cutOff,
                  DateTime& created, DateTime& modified) {
    const bool known = ToLocalDateTime(creation, created) & ToLocalDateTime(lastWrite, modified);
    return known && IsOld(created, modified, cutOff);
}

bool AreOldDirectoryStamps(const FILETIME& creation, const FILETIME& lastWrite, DateTime cutOff,
                           DateTime& created, DateTime& modified) {
    DateTime written = 0;
    const bool known = ToLocalDateTime(creation, created) & ToLocalDateTime(lastWrite, written);
    modified = ShiftedModified(written);
    return known && IsOld(created, modified, cutOff);
}

bool AreOldDirectoryStamps(const FILETIME& creation, const FILETIME& lastWrite, DateTime cutOff) {
    DateTime created = 0, modified = 0;
    return AreOldDirectoryStamps(creation, lastWrite, cutOff, created, modified);
}

DateTime FileTimeToLocalDateTime(const FILETIME& stamp) {
    DateTime value = 0;
    ToLocalDateTime(stamp, value);
    return value;
}

DateTime LocalNow() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    return SystemTimeToDateTime(st);
}

int32_t AgeInDays(DateTime scanStart, DateTime created) {
    return static_cast<int32_t>(std::trunc(std::fabs(scanStart - created)));
}

RegionalFormats RegionalFormats::FromSystem() {
    RegionalFormats f;
    f.shortDate = ReadLocale(LOCALE_SSHORTDATE, f.shortDate);
    f.longTime = ReadLocale(LOCALE_STIMEFORMAT, f.longTime);
    f.am = ReadLocale(LOCALE_S1159, f.am);
    f.pm = ReadLocale(LOCALE_S2359, f.pm);
    for (int i = 0; i < 12; ++i) {
        f.monthNames[i] = ReadLocale(LOCALE_SMONTHNAME1 + i, "");
        f.monthAbbrevs[i] = ReadLocale(LOCALE_SABBREVMONTHNAME1 + i, "");
    }
    // The locale lists days from Monday; the picture needs them from Sunday.
    for (int i = 0; i < 7; ++i) {
        f.dayNames[(i + 1) % 7] = ReadLocale(LOCALE_SDAYNAME1 + i, "");
        f.dayAbbrevs[(i + 1) % 7] = ReadLocale(LOCALE_SABBREVDAYNAME1 + i, "");
    }
    return f;
}

std::string FormatPicture(const std::string& picture, const CalendarTime& t,
                          const RegionalFormats& formats) {
    std::string out;
    size_t i = 0;
    while (i < picture.size()) {
        char c = picture[i];
        if (c == '\'') {
            size_t close = picture.find('\'', i + 1);
            if (close == std::string::npos)
                close = picture.size();
            if (close == i + 1)
                out += '\''; // '' is a literal quote
            else
                out += picture.substr(i + 1, close - i - 1);
            i = close + 1;
            continue;
        }
        size_t run = 1;
        while (i + run < picture.size() && picture[i + run] == c)
            ++run;
        int hour12 = t.hour % 12 == 0 ? 12 : t.hour % 12;
        switch (c) {
        case 'd':
            if (run >= 4)
                out += formats.dayNames[DayOfWeek(t)];
            else if (run == 3)
                out += formats.dayAbbrevs[DayOfWeek(t)];
            else
                out += Padded(t.day, run);
            break;
        case 'M':
            if (run >= 4)
                out += formats.monthNames[t.month - 1];
            else if (run == 3)
                out += formats.monthAbbrevs[t.month - 1];
            else
                out += Padded(t.month, run);
            break;
        case 'y':
            if (run <= 2)
                out += Padded(t.year % 100, run);
            else
                out += Padded(t.year, run == 3 ? 4 : run);
            break;
        case 'g':
            break; // era: none in the Gregorian calendar's short form
        case 'h':
            out += Padded(hour12, run >= 2 ? 2 : 1);
            break;
        case 'H':
            out += Padded(t.hour, run >= 2 ? 2 : 1);
            break;
        case 'm':
            out += Padded(t.minute, run >= 2 ? 2 : 1);
            break;
        case 's':
            out += Padded(t.second, run >= 2 ? 2 : 1);
            break;
        case 't': {
            const std::string& mark = t.hour < 12 ? formats.am : formats.pm;
            out += run >= 2 ? mark : mark.substr(0, 1);
            break;
        }
        default:
            out.append(run, c);
            break;
        }
        i += run;
    }
    return out;
}

std::string DateTimeText(DateTime value, const RegionalFormats& formats) {
    CalendarTime t = DecodeDateTime(value);
    std::string text = FormatPicture(formats.shortDate, t, formats);
    if (t.hour != 0 || t.minute != 0 || t.second != 0)
        text += " " + FormatPicture(formats.longTime, t, formats);
    return text;
}
