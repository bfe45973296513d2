// The chart's one conversion to local time, and its texts.
#include <gtest/gtest.h>

#include "chart/local_time.h"
#include "transits/local_time.h"
#include "test_support.h"

namespace kovo::chart {
namespace {

using testing::Day;

TEST(LocalTime, FixedOffsetsBothWaysAndTheReportsRoundingOfExactMinutes) {
    transits::TransitRunParams p;
    p.zone = kovo::testing::ListZone(14, "EST");  // five hours west
    const double midnightUt = Day(2026, 3, 5) - 0.5;  // 00:00 GMT, still 4 March in the east of America
    EXPECT_EQ(transits::LocalTimeAt(p, midnightUt).offsetMinutes, -300);
    EXPECT_EQ(transits::LocalTimeAt(p, midnightUt).label, "EST");
    EXPECT_DOUBLE_EQ(UtOfLocal(p, LocalJulianDate(p, midnightUt)), midnightUt);
    EXPECT_EQ(LocalDayAt(p, midnightUt), Day(2026, 3, 4));
    EXPECT_EQ(FormatLocalTime(p, midnightUt), "2026-03-04 19:00 EST");
    // A hair before local midnight the report reads the next day's 00:00; half a minute
    // before, 23:59 (never 24:00).
    const double late = midnightUt + 5.0 / 24 - 0.3 / 86400;
    EXPECT_EQ(FormatExactMinute(p, late), "2026-03-05 00:00 EST");
    EXPECT_EQ(FormatLocalTime(p, late), "2026-03-04 23:59 EST");
    EXPECT_EQ(FormatExactMinute(p, midnightUt + 5.0 / 24 - 29.6 / 86400), "2026-03-04 23:59 EST");
    EXPECT_EQ(FormatExactMinute(p, midnightUt + 29.6 / 86400), "2026-03-04 19:01 EST");
}

TEST(LocalTime, DeviationsInArcSeconds) {
    EXPECT_EQ(FormatDeviation(0), "0\u00b000'00\"");
    EXPECT_EQ(FormatDeviation(17.0 / 3600 / 360 * 6.28318530717959), "0\u00b000'17\"");
    EXPECT_EQ(FormatDeviation(-(1 + 2.0 / 60 + 3.0 / 3600) / 360 * 6.28318530717959), "1\u00b002'03\"");
}

}  // namespace
}  // namespace kovo::chart
