#pragma once
// The date axis: which local dates get a tick and a label for a view, so that labels
// never crowd each other at any zoom, from single days to centuries.
#include <cstdint>
#include <string>
#include <vector>

#include "transits/transit_params.h"

namespace kovo::chart {

struct AxisTick {
    double ut = 0;          // local midnight beginning `day`
    std::int32_t day = 0;   // day number
    std::string label;      // "2026-03-05", "Mar 2026" or "2026", after the step
};

// Ticks inside [startUt, endUt] at the finest of these steps whose ticks stand at least
// `minSpacingDays` apart: 1, 2, 7 or 14 days (weeks from Monday); 1, 3 or 6 months; 1, 2,
// 5, 10, 20, 50 or 100 years. A finer step when that one leaves fewer than two ticks.
std::vector<AxisTick> DateTicks(const transits::TransitRunParams& params, double startUt, double endUt,
                                double minSpacingDays);

}  // namespace kovo::chart
