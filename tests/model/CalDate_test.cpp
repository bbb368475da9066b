#include "ModelTestSupport.h"

#include "model/CalDate.h"
#include "model/CivilDays.h"
#include "platform/Clock.h"

namespace {
// `d` after `step` (NextDay, AddDays, ...) moved it.
template <typename... Count> CalDate Stepped(CalDate d, void (*step)(CalDate&, Count...), Count... n)
{
    step(d, n...);
    return d;
}

const char* const kZones[] = {"Europe/Berlin", "America/New_York", "Australia/Lord_Howe", "UTC", "Asia/Kolkata"};
} // namespace

using CalDateTest = VeluminaTest;

TEST_F(CalDateTest, ValidityIgnoresMonthLengthsOrderingIsByYearMonthDayAndStepsCrossMonthEnds)
{
    EXPECT_TRUE(IsValidDate(Date(2010, 2, 31)));
    EXPECT_TRUE(IsValidDate(Date(2099, 12, 31)));
    EXPECT_FALSE(IsValidDate(Date(2100, 1, 1)));
    EXPECT_FALSE(IsValidDate(Date(1970, 12, 31)));
    EXPECT_FALSE(IsValidDate(Date(2010, 13, 1)));
    EXPECT_FALSE(IsValidDate(Date(2010, 1, 0)));
    EXPECT_FALSE(IsValidDate(CalDate{0, 0, 0}));

    EXPECT_FALSE(IsYearInMapRange(2007));
    EXPECT_TRUE(IsYearInMapRange(2008));
    EXPECT_TRUE(IsYearInMapRange(2099));
    EXPECT_FALSE(IsYearInMapRange(2100));

    EXPECT_TRUE(IsStoredDateValid(1900, 1, 1));
    EXPECT_TRUE(IsStoredDateValid(65535, 12, 31));
    EXPECT_FALSE(IsStoredDateValid(1899, 1, 1));
    EXPECT_FALSE(IsStoredDateValid(2010, 0, 1));
    EXPECT_FALSE(IsStoredDateValid(2010, 1, 32));

    // Ordering compares year, then month, then day.
    EXPECT_TRUE(IsBefore(Date(2009, 12, 31), Date(2010, 1, 1)));
    EXPECT_TRUE(IsBefore(Date(2010, 2, 31), Date(2010, 3, 1)));
    EXPECT_FALSE(IsBefore(Date(2010, 3, 1), Date(2010, 3, 1)));
    EXPECT_TRUE(IsBeforeOrSame(Date(2010, 3, 1), Date(2010, 3, 1)));
    EXPECT_TRUE(IsAfter(Date(2010, 3, 2), Date(2010, 3, 1)));
    EXPECT_FALSE(IsAfter(Date(2010, 3, 1), Date(2010, 3, 1)));

    // Every day step is compared with the conversion below; these are the ends of months.
    EXPECT_TRUE(SameDate(Stepped(Date(2008, 2, 28), NextDay), Date(2008, 2, 29)));
    EXPECT_TRUE(SameDate(Stepped(Date(2011, 1, 1), PrevDay), Date(2010, 12, 31)));
    EXPECT_TRUE(SameDate(Stepped(Date(2012, 3, 1), PrevDay), Date(2012, 2, 29)));
    EXPECT_TRUE(SameDate(Stepped(Date(2010, 12, 20), AddDays, 400), Date(2012, 1, 24)));
    EXPECT_TRUE(SameDate(Stepped(Date(2010, 3, 5), SubtractDays, 5), Date(2010, 2, 28)));
    // A stored day beyond the month's end rolls over as the conversion does.
    EXPECT_TRUE(SameDate(Stepped(Date(2010, 2, 31), NextDay), Date(2010, 3, 4)));
    EXPECT_TRUE(SameDate(OffsetDate(Date(2010, 2, 30), 0), Date(2010, 3, 2)));
}

// Steps from the 15th of each month cross every clock change of these zones (Lord Howe's is
// half an hour): day counts must not see them.
TEST_F(CalDateTest, FastPathsAndCivilArithmeticAgreeWithTheConversionInRealZones)
{
    for (const char* zone : kZones) {
        ScopedTimeZone scoped(zone);
        CalDate day = Date(2007, 12, 25);
        int mismatches = 0;
        while (day.year < 2100) {
            const CalDate converted = FromTime(ToTime(day, 12) + 86400);
            CalDate civil = day;
            CivilNextDay(civil);
            if (!IsSameDate(Stepped(day, NextDay), converted) || !IsSameDate(civil, converted))
                ++mismatches;
            if (day.day == 15) {
                // Longer steps, both signs, and the day count back.
                for (int n : {1, 13, 27, 28, 29, 31, 200, 366}) {
                    const CalDate ahead = OffsetDate(day, n);
                    CalDate civilAhead = day;
                    CivilAddDays(civilAhead, n);
                    if (!IsSameDate(Stepped(day, AddDays, n), ahead) || !IsSameDate(civilAhead, ahead) ||
                        !IsSameDate(Stepped(ahead, SubtractDays, n), day) ||
                        !IsSameDate(CivilOffsetDate(day, -n), OffsetDate(day, -n)))
                        ++mismatches;
                    if (DaysBetween(ahead, day) != n || DaysBetween(day, ahead) != -(n - 1) ||
                        CivilDaysBetween(ahead, day) != n || CivilDaysBetween(day, ahead) != -(n - 1))
                        ++mismatches;
                }
            }
            day = converted;
        }
        EXPECT_EQ(mismatches, 0) << zone;
    }
}

TEST_F(CalDateTest, TodayFollowsTheClockAndTheZone)
{
    // 23:30 UTC on 31 December 2026 is already 1 January 2027 in Berlin.
    SetCurrentTimeForTesting(1798759800);
    EXPECT_TRUE(SameDate(Today(), Date(2027, 1, 1)));
    {
        ScopedTimeZone newYork("America/New_York");
        EXPECT_TRUE(SameDate(Today(), Date(2026, 12, 31)));
    }
    SystemTime fields{};
    ASSERT_TRUE(ToSystemTime(ToTime(Date(2026, 12, 6), 12), fields));
    EXPECT_EQ(fields.day, 6);
    EXPECT_EQ(fields.dayOfWeek, 0); // a Sunday
    EXPECT_EQ(fields.hour, 12);
}

TEST_F(CalDateTest, ConversionRejectsWhatItCannotHold)
{
    EXPECT_EQ(ToTime(Date(1899, 12, 31), 12), kInvalidTime);
    EXPECT_EQ(ToTime(Date(2010, 0, 1), 12), kInvalidTime);
    EXPECT_EQ(ToTime(Date(2010, 1, 32), 12), kInvalidTime);
    EXPECT_EQ(ToTime(Date(2010, 1, 1), 24), kInvalidTime);
    EXPECT_NE(ToTime(Date(1900, 1, 1), 12), kInvalidTime);
    EXPECT_EQ(DaysBetween(Date(2010, 13, 1), Date(2010, 1, 1)), 0);
    CalDate broken = Date(2010, 13, 31);
    NextDay(broken);
    EXPECT_TRUE(SameDate(broken, CalDate{0, 0, 0}));
}
