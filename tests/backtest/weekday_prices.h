#pragma once
// A price series for rule tests: every weekday of 2024, rising a little each day with a
// weekly wobble.
#include "backtest/price_series.h"
#include "test_support.h"

namespace kovo::backtest {

inline PriceSeries Weekdays2024() {
    using testing::Day;
    PriceSeries series;
    for (std::int32_t d = Day(2024, 1, 1); d <= Day(2024, 12, 31); ++d) {
        const int weekday = (d + 1) % 7;  // 0 Sunday
        if (weekday == 0 || weekday == 6) continue;
        series.points.push_back({.day = d, .close = 100.0 + 0.05 * (d - Day(2024, 1, 1)) + weekday, .line = 0});
    }
    return series;
}

}  // namespace kovo::backtest
