#include "base/date_time.h"

#include <gtest/gtest.h>

namespace {

DateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
    return EncodeDateTime({y, mo, d, h, mi, s, ms});
}

const double kSecond = 1.0 / 86400.0;

RegionalFormats British() {
    RegionalFormats f;
    f.shortDate = "dd/MM/yyyy";
    f.longTime = "HH:mm:ss";
    return f;
}

TEST(EncodeDateTime, CountsDaysFromTheEpochAndEncodesEarlierDatesNegatively) {
    EXPECT_DOUBLE_EQ(At(1899, 12, 30), 0.0);
    EXPECT_DOUBLE_EQ(At(1900, 1, 1), 2.0);
    EXPECT_DOUBLE_EQ(At(2000, 1, 1), 36526.0);
    EXPECT_DOUBLE_EQ(At(2008, 3, 5, 12), 39512.5);
    // Before the epoch the time of day is subtracted: 29 Dec 1899 06:00 is -1.25.
    EXPECT_DOUBLE_EQ(At(1899, 12, 29, 6), -1.25);
    EXPECT_DOUBLE_EQ(At(1601, 1, 1), -109205.0);
}

TEST(DecodeDateTime, RoundTripsToTheMillisecond) {
    const CalendarTime samples[] = {{2026, 12, 8, 7, 23, 9, 456},
                                    {1899, 12, 29, 18, 0, 0, 1},
                                    {2000, 2, 29, 23, 59, 59, 999},
                                    {1601, 1, 1, 0, 0, 0, 0},
                                    {2107, 12, 31, 12, 0, 0, 0}};
    for (const CalendarTime& t : samples) {
        CalendarTime back = DecodeDateTime(EncodeDateTime(t));
        EXPECT_EQ(back.year, t.year);
        EXPECT_EQ(back.month, t.month);
        EXPECT_EQ(back.day, t.day);
        EXPECT_EQ(back.hour, t.hour);
        EXPECT_EQ(back.minute, t.minute);
        EXPECT_EQ(back.second, t.second);
        EXPECT_EQ(back.millisecond, t.millisecond);
    }
}

TEST(OldFileRule, HoldsAtItsEdges) {
    const DateTime start = At(2026, 12, 8, 9, 30, 15, 250);
    const DateTime cut = CutOff(start, 30);
    EXPECT_DOUBLE_EQ(cut, At(2026, 11, 8, 9, 30, 15, 250)) << "the cut-off keeps the time of day";
    const DateTime oneMs = 1.0 / 86400000.0;
    const struct {
        DateTime created, modified;
        bool old;
    } cases[] = {
        {At(2026, 11, 8, 9, 30, 15, 250), At(2020, 1, 1), true}, // Created equal to the cut-off
        {cut + oneMs, At(2020, 1, 1), false},                    // one millisecond later
        {At(2020, 1, 1), cut, true},                             // Modified equal
        {At(2020, 1, 1), cut + oneMs, false},                    // written recently
        {At(2026, 12, 1), At(2020, 1, 1), false},                // copied recently
        {At(2027, 1, 1), At(2020, 1, 1), false},                 // created in the future
        {At(1850, 6, 1, 12), At(1850, 6, 1, 12), true},          // before the epoch
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsOld(c.created, c.modified, cut), c.old) << c.created << " " << c.modified;
    EXPECT_TRUE(IsOld(start, start, CutOff(start, 0))) << "N = 0: the scan start itself";
}

TEST(OldDirectoryRule, ShiftsModifiedBySixtyOneSeconds) {
    const DateTime cut = CutOff(At(2026, 12, 8, 10, 0, 0), 0);
    EXPECT_TRUE(IsOld(cut, ShiftedModified(cut + 61 * kSecond), cut));
    EXPECT_FALSE(IsOld(cut, ShiftedModified(cut + 62 * kSecond), cut));
    EXPECT_FALSE(IsOld(At(2000, 1, 1), ShiftedModified(cut + 120 * kSecond), cut));
    EXPECT_FALSE(IsOld(cut + kSecond, ShiftedModified(At(2000, 1, 1)), cut));
}

TEST(AgeInDays, TruncatesTheDistanceFromCreated) {
    const DateTime start = At(2026, 6, 10, 12);
    EXPECT_EQ(AgeInDays(start, At(2026, 6, 1, 18)), 8); // 8.75 days
    EXPECT_EQ(AgeInDays(start, start - 1.999), 1);
    EXPECT_EQ(AgeInDays(start, start + 2.5), 2) << "sign ignored";
    EXPECT_EQ(AgeInDays(start, start), 0);
}

TEST(DateTimeText, WritesTheTimeOnlyWhenHourMinuteOrSecondIsSet) {
    const RegionalFormats f = British();
    EXPECT_EQ(DateTimeText(At(2008, 3, 5, 14, 7, 9), f), "05/03/2008 14:07:09");
    EXPECT_EQ(DateTimeText(At(2008, 3, 5), f), "05/03/2008");
    EXPECT_EQ(DateTimeText(At(2008, 3, 5, 0, 0, 0, 400), f), "05/03/2008");
    EXPECT_EQ(DateTimeText(At(2008, 3, 5, 0, 0, 1), f), "05/03/2008 00:00:01");
    EXPECT_EQ(DateTimeText(At(1899, 12, 29, 6), f), "29/12/1899 06:00:00");
}

TEST(FormatPicture, FollowsTheRegionalPictures) {
    RegionalFormats f;
    f.monthAbbrevs[2] = "Mar";
    f.monthNames[2] = "March";
    f.dayAbbrevs[3] = "Wed";
    const CalendarTime afternoon = {2008, 3, 5, 15, 4, 5, 0};
    const CalendarTime morning = {2024, 3, 7, 0, 4, 5, 0};
    EXPECT_EQ(FormatPicture("M/d/yyyy", afternoon, f), "3/5/2008");
    EXPECT_EQ(FormatPicture("h:mm:ss tt", afternoon, f), "3:04:05 PM");
    EXPECT_EQ(FormatPicture("h:mm:ss tt", morning, f), "12:04:05 AM");
    EXPECT_EQ(FormatPicture("d.M.yyyy", afternoon, f), "5.3.2008");
    EXPECT_EQ(FormatPicture("HH:mm:ss", morning, f), "00:04:05");
    EXPECT_EQ(FormatPicture("ddd d MMM yy", afternoon, f), "Wed 5 Mar 08");
    EXPECT_EQ(FormatPicture("d MMMM yyyy 'r.'", afternoon, f), "5 March 2008 r.");
    EXPECT_EQ(FormatPicture("yyyy-MM-dd", {998, 1, 2, 0, 0, 0, 0}, f), "0998-01-02");
    EXPECT_EQ(FormatPicture("t", afternoon, f), "P");
}

TEST(DateTimes, AStampWithoutADateIsUnknownAndSoNeverOld) {
    const FILETIME beyond{0xFFFFFFFFu, 0xFFFFFFFFu};
    DateTime value = 1;
    EXPECT_FALSE(ToLocalDateTime(beyond, value));
    EXPECT_EQ(value, 0);
    const FILETIME year2000{0xD53E8000u, 0x01BF53EBu};
    EXPECT_TRUE(ToLocalDateTime(year2000, value));
    EXPECT_GT(value, 36000);
}

} // namespace
