#pragma once
// The trading rules of a backtest: one strategy per aspect and orb level, holding the
// instrument (long) or its opposite (short) while the pair stays inside that orb.
//
// A position opens at the close of the first trading day on or after the day the orb is
// entered and closes at the close of the first trading day on or after the day it is
// left. The prices are those of the backtest's range (first to last trading day used).
//  - A stay entered before the range began (or already inside when the scan began)
//    opens at the range's first close and is flagged openedAtStart.
//  - A stay not left by the range's last trading day closes at the last close and is
//    flagged openAtEnd.
//  - A stay that opens and closes on the same trading day is no trade; it is counted
//    in sameDayStays.
//  - A stay left before the first trading day, or entered after the last, is outside
//    the range and ignored.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "backtest/orb_stays.h"
#include "backtest/price_series.h"
#include "stats/side.h"

namespace kovo::backtest {

using Side = stats::Side;

struct Trade {
    std::size_t entryIndex = 0;  // trading day index into the range's prices
    std::size_t exitIndex = 0;   // > entryIndex
    std::int32_t entryDay = 0;   // day numbers of those trading days
    std::int32_t exitDay = 0;
    double entryClose = 0;
    double exitClose = 0;
    // long: exitClose / entryClose - 1; short: 1 - exitClose / entryClose (a short sale
    // at the entry close bought back at the exit close, as a fraction of the entry close),
    // net of the costs of entry and exit (see NetOfCosts)
    double tradeReturn = 0;
    bool openedAtStart = false;
    bool openAtEnd = false;
};

// The trades of one aspect at one orb level, in time order; they never overlap.
struct StrategyTrades {
    int aspect = 1;      // aspect index 1..7
    int level = 0;       // 0 outer, 1 middle, 2 inner
    int orbDegrees = 0;  // that level's orb
    std::vector<Trade> trades;
    int sameDayStays = 0;
    std::string rule;  // a cycle rule's label ("Retrograde"); empty for aspects and buy-and-hold

    bool IsBuyAndHold() const { return aspect == 0 && rule.empty(); }
};

// Adds the trade of one stay to a strategy, following the rules above; stays must come
// in time order.
void AddStayTrade(const OrbStay& stay, const PriceSeries& prices, Side side, double cost, StrategyTrades& strategy);

// The return of holding from one close to another on the given side.
double SideReturn(Side side, double entryClose, double exitClose);

// A return after paying `cost` (a fraction of the position, 0.001 for 10 basis points)
// on entry and again on exit: (1 - cost) (1 + r) (1 - cost) - 1. Without costs the
// return is left exactly as it is.
double NetOfCosts(double grossReturn, double cost);

// One StrategyTrades per checked aspect (aspects[k] is aspect index k + 1) and orb level,
// aspects ascending, levels outer first, built from the stays of the run; every trade
// pays `cost` on entry and on exit.
std::vector<StrategyTrades> BuildTrades(const std::vector<OrbStay>& stays, const PriceSeries& prices, Side side,
                                        const std::array<bool, 7>& aspects, const std::array<int, 3>& orbDegrees,
                                        double cost = 0);

}  // namespace kovo::backtest
