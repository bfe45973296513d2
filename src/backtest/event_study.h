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
//
// Significance per horizon h: the excess is the events' mean h-day return minus the
// series' mean h-day return over every start day (the baseline of an h-day hold); its
// t-statistic uses Newey-West standard errors with lag h - 1, because the h-day windows
// of events fewer than h trading days apart share days (stats/newey_west.h); the p-value
// comes from circular shifts of the events' base days, two-sided (stats/event_shift.h);
// the q-values are Benjamini-Hochberg over every horizon of every row of the study, a
// family apart from the strategies'.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "backtest/orb_stays.h"
#include "backtest/price_series.h"
#include "backtest/rule_significance.h"
#include "stats/newey_west.h"

namespace kovo::backtest {

inline constexpr std::array<int, 3> kEventHorizons{1, 5, 20};  // trading days

struct HorizonReturns {
    int count = 0;  // events with a close h trading days after their base
    std::optional<double> mean;
    std::optional<double> median;
    // baselineMean: the series' mean h-day return; excessPct; shift: the two-sided test;
    // qValue. The bootstrap interval and hit rate are not used here.
    RuleSignificance significance;
    std::optional<stats::NeweyWestMean> neweyWest;  // of the excess returns
};

struct EventStudyRow {
    int aspect = 1;  // aspect index 1..7 (a cycle event's kind in a cycle backtest)
    int events = 0;  // exact aspects in the range with a base close
    std::array<HorizonReturns, 3> horizons;  // by kEventHorizons
    std::string label;  // a cycle event's name ("Station R"); empty for aspects
};

// One row per checked aspect (aspects[k] is aspect index k + 1), ascending, with the
// significance of every horizon; `identity` names the pair and seeds the shifts (the
// aspect and horizon are added to it).
std::vector<EventStudyRow> StudyEvents(const std::vector<ExactEvent>& events, const PriceSeries& prices,
                                       const std::array<bool, 7>& aspects, const std::string& identity,
                                       SignificanceContext& context);

// The study's family for the q-values: every horizon's significance, row by row.
std::vector<RuleSignificance*> EventFamily(std::vector<EventStudyRow>& rows);

}  // namespace kovo::backtest
