#include <gtest/gtest.h>

#include "calendar/calendar_services.h"
#include "test_support.h"

using namespace kovo::calendar;

namespace {
using kovo::testing::Day;

class CalendarServices : public ::testing::Test {};
}  // namespace

TEST_F(CalendarServices, DateTexts) {
    EXPECT_EQ(FormatDayNumberIso(Day(2022, 12, 22)), "2022-12-22");
    EXPECT_EQ(FormatDayNumberIso(1721426), "1-01-01");
    EXPECT_EQ(FormatDayNumberLong(Day(2022, 12, 22)), "December 22, 2022");
    EXPECT_EQ(FormatDayNumberLong(Day(2013, 5, 1)), "May 1, 2013");
    EXPECT_EQ(FormatDayNumberShort(Day(2013, 8, 31)), "Aug. 31, 2013");
    EXPECT_EQ(FormatDayNumberShort(Day(2013, 6, 1)), "June 1, 2013");
    EXPECT_EQ(FormatDayNumberShort(Day(2014, 9, 30)), "Sept. 30, 2014");
    EXPECT_EQ(FormatDayNumberShort(Day(2011, 3, 5)), "March 5, 2011");
}

TEST_F(CalendarServices, NumericFormGroupsOnlyYearsBeyondFourDigits) {
    DateRecord r;
    r.year = 12345;
    r.month = 3;
    r.day = 4;
    EXPECT_EQ(FormatDateNumeric(r, "-", ","), "12,345-03-04");
    EXPECT_EQ(FormatDateNumeric(r, "-", ""), "12345-03-04");
    r.year = -500;
    EXPECT_EQ(FormatDateNumeric(r, "/", ","), "-500/03/04");
    r.year = 0;
    r.month = 0;
    r.day = 0;
    EXPECT_EQ(FormatDateNumeric(r, "-", ""), "0-00-00");
}

TEST_F(CalendarServices, Iso8601GivesEveryYearFourDigitsWhereTheReportFormDoesNot) {
    EXPECT_EQ(FormatDayNumberIso8601(Day(1, 1, 1)), "0001-01-01");
    EXPECT_EQ(FormatDayNumberIso8601(Day(999, 12, 31)), "0999-12-31");
    EXPECT_EQ(FormatDayNumberIso8601(Day(2026, 12, 9)), "2026-12-09");
    EXPECT_EQ(FormatDayNumberIso8601(Day(12345, 3, 4)), "12345-03-04");
    EXPECT_EQ(FormatDayNumberIso8601(Day(-5, 3, 4)), "-0005-03-04");
    EXPECT_EQ(FormatDayNumberIso(Day(1, 1, 1)), "1-01-01");  // the report's cells stay as they are
}

TEST_F(CalendarServices, LeapDaysAndValidity) {
    DateRecord r;
    r.year = 2012;
    r.month = 2;
    r.day = 29;
    DayNumberFromDate(r);
    EXPECT_EQ(r.valid, 1);
    r.year = 2011;
    DayNumberFromDate(r);
    EXPECT_EQ(r.valid, 0);
}

TEST_F(CalendarServices, SeparateThousandsAndTimeZoneRounding) {
    EXPECT_EQ(SeparateThousands("1234567", ","), "1,234,567");
    EXPECT_EQ(SeparateThousands("1234567", ""), "1234567");
    EXPECT_EQ(TimeZoneMinutesFromSecondsWest(5 * 3600), -300);
    EXPECT_EQ(TimeZoneMinutesFromSecondsWest(-(5 * 3600 + 1800)), 330);
    EXPECT_EQ(TimeZoneMinutesFromSecondsWest(-90), 2);   // 1.5 minutes east rounds to 2
    EXPECT_EQ(TimeZoneMinutesFromSecondsWest(-150), 2);  // 2.5 minutes east rounds to 2
    EXPECT_EQ(TimeZoneMinutesFromSecondsWest(30), 0);    // -0.5 rounds to 0
}
