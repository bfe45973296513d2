// The date axis picks calendar steps that keep labels apart at every zoom.
#include <gtest/gtest.h>

#include "chart/axis_ticks.h"
#include "test_support.h"

namespace kovo::chart {
namespace {

using testing::Day;

transits::TransitRunParams Zone(int position) {
    transits::TransitRunParams p;
    p.zone = kovo::testing::ListZone(position);
    return p;
}

TEST(AxisTicks, AYearGetsMonthsACenturyGetsDecadesADayGetsDays) {
    const auto gmt = Zone(24);
    const double start = Day(2026, 1, 1) - 0.5;
    auto ticks = DateTicks(gmt, start, start + 365, 20);
    ASSERT_EQ(ticks.size(), 13u);  // the first of each month and 1 January 2027
    EXPECT_EQ(ticks[0].label, "Jan 2026");
    EXPECT_EQ(ticks[2].day, Day(2026, 3, 1));
    EXPECT_EQ(ticks[12].label, "Jan 2027");

    ticks = DateTicks(gmt, Day(1950, 1, 1) - 0.5, Day(2050, 12, 31) + 0.5, 3000);
    ASSERT_EQ(ticks.size(), 11u);
    EXPECT_EQ(ticks[0].label, "1950");
    EXPECT_EQ(ticks[10].label, "2050");

    ticks = DateTicks(gmt, start + 0.3, start + 4.3, 0.9);
    ASSERT_EQ(ticks.size(), 4u);
    EXPECT_EQ(ticks[0].label, "2026-01-02");
}

TEST(AxisTicks, TicksFallOnLocalMidnightsAndNeverCrowd) {
    const auto east = Zone(34);  // five hours east
    const double start = Day(2026, 1, 1) - 0.5 - 300.0 / 1440;
    for (const double spacing : {0.5, 1.5, 5.0, 20.0, 80.0, 200.0, 400.0, 1000.0}) {
        const auto ticks = DateTicks(east, start, start + 4000, spacing);
        ASSERT_FALSE(ticks.empty()) << spacing;
        for (std::size_t i = 0; i < ticks.size(); ++i) {
            EXPECT_DOUBLE_EQ(ticks[i].ut, ticks[i].day - 0.5 - 300.0 / 1440);
            if (i > 0) {
                EXPECT_GE(ticks[i].ut - ticks[i - 1].ut, spacing) << spacing;
            }
        }
    }
    EXPECT_TRUE(DateTicks(east, start, start, 1).empty());
    // Too narrow for the step asked: two dates all the same, of a finer step.
    const auto narrow = DateTicks(east, start, start + 4000, 5000);
    ASSERT_EQ(narrow.size(), 2u);
    EXPECT_EQ(narrow[0].label, "2030");
    EXPECT_EQ(narrow[1].label, "2035");
}

}  // namespace
}  // namespace kovo::chart
