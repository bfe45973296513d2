#include "backtest/trade_rules.h"

#include <algorithm>

namespace kovo::backtest {

void AddStayTrade(const OrbStay& stay, const PriceSeries& prices, Side side, double cost, StrategyTrades& strategy) {
    const std::size_t last = prices.Size() - 1;
    if (stay.exitDay && *stay.exitDay < prices.points.front().day) return;
    std::size_t entry = 0;
    bool openedAtStart = true;
    if (stay.entryDay && *stay.entryDay >= prices.points.front().day) {
        const auto found = prices.FirstOnOrAfter(*stay.entryDay);
        if (!found) return;
        entry = *found;
        openedAtStart = false;
    }
    std::size_t exit = last;
    bool openAtEnd = true;
    if (stay.exitDay) {
        if (const auto found = prices.FirstOnOrAfter(*stay.exitDay)) {
            exit = *found;
            openAtEnd = false;
        }
    }
    // Consecutive stays of one orb may share a trading day (left on a Saturday, entered
    // again on the Sunday): the next trade opens where the last one closed.
    if (!strategy.trades.empty()) entry = std::max(entry, strategy.trades.back().exitIndex);
    if (exit <= entry) {
        ++strategy.sameDayStays;
        return;
    }
    const PricePoint& in = prices.points[entry];
    const PricePoint& out = prices.points[exit];
    strategy.trades.push_back(Trade{.entryIndex = entry,
                                    .exitIndex = exit,
                                    .entryDay = in.day,
                                    .exitDay = out.day,
                                    .entryClose = in.close,
                                    .exitClose = out.close,
                                    .tradeReturn = NetOfCosts(SideReturn(side, in.close, out.close), cost),
                                    .openedAtStart = openedAtStart,
                                    .openAtEnd = openAtEnd});
}

double SideReturn(Side side, double entryClose, double exitClose) {
    return side == Side::Long ? exitClose / entryClose - 1.0 : 1.0 - exitClose / entryClose;
}

double NetOfCosts(double grossReturn, double cost) {
    if (cost == 0) return grossReturn;
    return (1.0 - cost) * (1.0 + grossReturn) * (1.0 - cost) - 1.0;
}

std::vector<StrategyTrades> BuildTrades(const std::vector<OrbStay>& stays, const PriceSeries& prices, Side side,
                                        const std::array<bool, 7>& aspects, const std::array<int, 3>& orbDegrees,
                                        double cost) {
    std::vector<StrategyTrades> strategies;
    for (int aspect = 1; aspect <= 7; ++aspect) {
        if (!aspects[static_cast<std::size_t>(aspect - 1)]) continue;
        for (int level = 0; level < 3; ++level)
            strategies.push_back({.aspect = aspect,
                                  .level = level,
                                  .orbDegrees = orbDegrees[static_cast<std::size_t>(level)],
                                  .trades = {},
                                  .sameDayStays = 0,
                                  .rule = {}});
    }
    if (prices.Empty()) return strategies;
    // Stays in order of entry within each strategy; a stay cut at the start comes first.
    std::vector<const OrbStay*> ordered;
    for (const OrbStay& stay : stays) ordered.push_back(&stay);
    std::stable_sort(ordered.begin(), ordered.end(), [](const OrbStay* a, const OrbStay* b) {
        return a->entryDay.value_or(INT32_MIN) < b->entryDay.value_or(INT32_MIN);
    });
    for (StrategyTrades& strategy : strategies)
        for (const OrbStay* stay : ordered)
            if (stay->aspect == strategy.aspect && stay->level == strategy.level) AddStayTrade(*stay, prices, side, cost, strategy);
    return strategies;
}

}  // namespace kovo::backtest
