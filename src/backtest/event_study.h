#pragma once
// The event study: how the instrument moved after each exact aspect.
//
// For an exact aspect on civil day D, the base is the close of the last trading day
// before D (the closes' times of day are not known, so the whole exact day counts as
// after the base close). For h = 1, 5 and 20 trading days the event's return is
// P[b + h] / P[b] - 1, the plain price change whatever side the backtest trades.
// Events whose day lies outside the range's first..last trading day, or without a
// trading day before it in the range, are left out; an event whose horizon runs past
// the last close counts only for the shorter horizons.
#include <array>
#include <optional>
#include <vector>

#include "backtest/orb_stays.h"
#include "backtest/price_series.h"

namespace kovo::backtest {

inline constexpr std::array<int, 3> kEventHorizons{1, 5, 20};  // trading days

struct HorizonReturns {
    int count = 0;  // events with a close h trading days after their base
    std::optional<double> mean;
    std::optional<double> median;
};

struct EventStudyRow {
    int aspect = 1;  // aspect index 1..7
    int events = 0;  // exact aspects in the range with a base close
    std::array<HorizonReturns, 3> horizons;  // by kEventHorizons
};

// One row per checked aspect (aspects[k] is aspect index k + 1), ascending.
std::vector<EventStudyRow> StudyEvents(const std::vector<ExactEvent>& events, const PriceSeries& prices,
                                       const std::array<bool, 7>& aspects);

}  // namespace kovo::backtest
