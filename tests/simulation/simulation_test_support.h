#pragma once
// Synthetic index price tables and parameter shortcuts for the simulation tests.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "calendar/calendar_services.h"
#include "simulation/index_file.h"
#include "simulation/simulation.h"
#include "simulation/simulation_slot.h"
#include "util/rounding.h"

namespace kovo::testing {

// One line per weekday from `first` through `last` (day numbers), valued by `value`.
inline simulation::IndexPrices WeekdayPrices(const std::function<double(std::int32_t)>& value,
                                             std::int32_t first = 2454102,
                                             std::int32_t last = simulation::LastInvestmentDay) {
    std::vector<std::string> lines;
    for (std::int32_t day = first; day <= last; ++day) {
        if (day % 7 >= 5) continue;  // Saturday and Sunday
        lines.push_back(calendar::FormatDayNumberIso(day) + "\t" + util::FixedTwoDecimals(value(day)));
    }
    simulation::IndexPrices prices;
    prices.SetIndexLines(std::move(lines));
    return prices;
}

// Aspect checks by aspect index 1..7.
inline std::array<bool, 7> Aspects(std::initializer_list<int> indexes) {
    std::array<bool, 7> checked{};
    for (int a : indexes) checked[static_cast<std::size_t>(a - 1)] = true;
    return checked;
}

}  // namespace kovo::testing
