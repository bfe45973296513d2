#pragma once
// Three trading weeks whose trades and statistics are worked out by hand in the tests:
// Monday 2011-03-07 to Friday 2011-03-25, index i on day Monday + 7 * (i / 5) + i % 5.
#include <cstdint>
#include <vector>

#include "backtest/price_series.h"
#include "test_support.h"

namespace kovo::testing {

inline constexpr double kWeekCloses[15] = {100, 102, 101, 105, 110,   // week 1
                                           108, 104, 106, 112, 115,   // week 2
                                           113, 111, 118, 120, 119};  // week 3

inline std::int32_t FirstMonday() { return Day(2011, 3, 7); }

inline std::int32_t TradingDay(int index) { return FirstMonday() + 7 * (index / 5) + index % 5; }

inline backtest::PriceSeries ThreeWeeks() {
    backtest::PriceSeries series;
    for (int i = 0; i < 15; ++i) series.points.push_back({.day = TradingDay(i), .close = kWeekCloses[i], .line = 0});
    return series;
}

}  // namespace kovo::testing
