#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "platform/calendar_lib.h"
#include "support/scoped_env.h"

using namespace kovo::platform;

namespace {

DateRecord Date(int y, int m, int d, int calendar = 'G') {
    DateRecord r;
    r.year = y;
    r.month = m;
    r.day = d;
    r.calendar = calendar;
    return r;
}

}  // namespace

TEST(CalendarLib, KnownDayNumbers) {
    auto r = Date(1, 1, 1);
    EXPECT_EQ(euro_date_to_jdn(&r), 1721426);
    r = Date(1600, 1, 1);
    EXPECT_EQ(euro_date_to_jdn(&r), 2305448);
    r = Date(2007, 1, 3);
    EXPECT_EQ(euro_date_to_jdn(&r), 2454104);
    r = Date(2014, 12, 31);
    EXPECT_EQ(euro_date_to_jdn(&r), 2457023);
    r = Date(2099, 12, 31);
    EXPECT_EQ(euro_date_to_jdn(&r), 2488069);
    r = Date(2799, 12, 31);
    EXPECT_EQ(euro_date_to_jdn(&r), 2743738);
    EXPECT_EQ(r.valid, 1);
}

TEST(CalendarLib, ValidityOfImpossibleDates) {
    auto r = Date(2012, 2, 29);
    euro_date_to_jdn(&r);
    EXPECT_EQ(r.valid, 1);
    for (auto bad : {Date(2011, 2, 29), Date(2011, 2, 30), Date(2011, 13, 1), Date(2011, 0, 1),
                     Date(2011, 1, 0), Date(2011, 4, 31), Date(1900, 2, 29), Date(2011, 1, 1, 'J')}) {
        euro_date_to_jdn(&bad);
        EXPECT_EQ(bad.valid, 0) << bad.year << "-" << bad.month << "-" << bad.day;
    }
    auto zeroMarker = Date(2000, 2, 29, 0);
    euro_date_to_jdn(&zeroMarker);
    EXPECT_EQ(zeroMarker.valid, 1);
}

TEST(CalendarLib, ExtremeYearsNeverOverflowIntoValidDates) {
    auto r = Date(2147483647, 12, 31);
    euro_date_to_jdn(&r);
    EXPECT_EQ(r.valid, 0);
    r = Date(-2147483647 - 1, 1, 1);
    euro_date_to_jdn(&r);
    EXPECT_EQ(r.valid, 0);
    r = Date(-500, 3, 1);
    const auto jdn = euro_date_to_jdn(&r);
    EXPECT_EQ(r.valid, 1);
    DateRecord back;
    back.dayNumber = jdn;
    jdn_to_euro_date(&back);
    EXPECT_EQ(back.year, -500);
    EXPECT_EQ(back.month, 3);
    EXPECT_EQ(back.day, 1);
}

// Every day from year 1 to 2799 converts to a date and back without a gap or repeat.
TEST(CalendarLib, WalkOverConsecutiveDayNumbers) {
    DateRecord prev;
    prev.dayNumber = 1721426;
    jdn_to_euro_date(&prev);
    ASSERT_EQ(prev.year, 1);
    for (int jdn = 1721427; jdn <= 2743738; ++jdn) {
        DateRecord r;
        r.dayNumber = jdn;
        jdn_to_euro_date(&r);
        const bool nextDay = r.year == prev.year && r.month == prev.month && r.day == prev.day + 1;
        const bool nextMonth = r.year == prev.year && r.month == prev.month + 1 && r.day == 1;
        const bool nextYear = r.year == prev.year + 1 && r.month == 1 && r.day == 1 && prev.month == 12 && prev.day == 31;
        ASSERT_TRUE(nextDay || nextMonth || nextYear) << jdn;
        if (r.month == 3 && r.day == 1) {
            const bool leap = (r.year % 4 == 0 && r.year % 100 != 0) || r.year % 400 == 0;
            ASSERT_EQ(prev.day, leap ? 29 : 28) << r.year;
        }
        auto check = Date(r.year, r.month, r.day);
        ASSERT_EQ(euro_date_to_jdn(&check), jdn);
        ASSERT_EQ(check.valid, 1);
        prev = r;
    }
}

TEST(CalendarLib, SeparateThousands) {
    char buffer[21];
    separate_thousands("1234567", ',', buffer);
    EXPECT_STREQ(buffer, "1,234,567");
    separate_thousands("-12345", '.', buffer);
    EXPECT_STREQ(buffer, "-12.345");
    separate_thousands("999", ',', buffer);
    EXPECT_STREQ(buffer, "999");
    separate_thousands("123456789012345678901234", ',', buffer);
    EXPECT_EQ(std::strlen(buffer), 20u);
}

TEST(CalendarLib, JuldatGivesTheCalendarYear) {
    std::int32_t y = 0;
    juldat(2451544.5, "A", &y, nullptr, nullptr, nullptr);  // 2000-01-01 0h
    EXPECT_EQ(y, 2000);
    juldat(2451544.49, "A", &y, nullptr, nullptr, nullptr);
    EXPECT_EQ(y, 1999);
}

TEST(CalendarLib, TimezoneFollowsTheEnvironment) {
    const std::optional<std::string> before = kovo::testing::GetEnv("TZ");
    {
        const kovo::testing::ScopedEnv zone("TZ", "EST5EDT");
        EXPECT_EQ(get_timezone(), 5 * 3600);
        zone.Set("IST-5:30");
        EXPECT_EQ(get_timezone(), -(5 * 3600 + 1800));
        zone.Set("UTC");
        EXPECT_EQ(get_timezone(), 0);
    }
    // The cases after this one in the same process see the zone they started with.
    EXPECT_EQ(kovo::testing::GetEnv("TZ"), before);
}
