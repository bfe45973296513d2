#include "backtest/backtest_statistics.h"

#include <algorithm>
#include <cmath>

namespace kovo::backtest {

namespace {

constexpr double kDaysPerYear = 365.25;

double MaxDrawdown(const std::vector<double>& equity) {
    double peak = equity.empty() ? 0 : equity.front();
    double worst = 0;
    for (const double e : equity) {
        peak = std::max(peak, e);
        if (peak > 0) worst = std::max(worst, 1.0 - e / peak);
    }
    return worst;
}

}  // namespace

double Median(std::vector<double> values) {
    const std::size_t n = values.size();
    std::sort(values.begin(), values.end());
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

double Annualised(double totalReturn, double calendarDays) {
    if (totalReturn <= -1.0) return -1.0;
    return std::pow(1.0 + totalReturn, kDaysPerYear / calendarDays) - 1.0;
}

std::vector<double> EquityCurve(const std::vector<Trade>& trades, const PriceSeries& prices, Side side,
                                double cost) {
    std::vector<double> equity(prices.Size(), 1.0);
    const double s = side == Side::Long ? 1.0 : -1.0;
    std::size_t k = 1;
    double held = 1.0;  // the equity at the latest close out of the market
    for (const Trade& trade : trades) {
        for (; k <= trade.entryIndex && k < equity.size(); ++k) equity[k] = held;
        // Without costs the factors are left out, so that the curve is exactly as before.
        const double atEntry = cost == 0 ? equity[trade.entryIndex] : equity[trade.entryIndex] * (1.0 - cost);
        for (k = trade.entryIndex + 1; k <= trade.exitIndex; ++k)
            equity[k] = atEntry * (1.0 + s * (prices.points[k].close / trade.entryClose - 1.0));
        if (cost != 0) equity[trade.exitIndex] *= 1.0 - cost;
        held = equity[trade.exitIndex];
    }
    for (; k < equity.size(); ++k) equity[k] = held;
    return equity;
}

BacktestStatistics StatisticsOf(const StrategyTrades& strategy, const PriceSeries& prices, Side side, double cost) {
    BacktestStatistics stats;
    stats.sameDayStays = strategy.sameDayStays;
    const std::vector<Trade>& trades = strategy.trades;
    const std::vector<double> equity = EquityCurve(trades, prices, side, cost);
    stats.maxDrawdown = MaxDrawdown(equity);
    const double calendarDays = prices.points.back().day - prices.points.front().day;
    stats.trades = static_cast<int>(trades.size());
    if (trades.empty()) return stats;

    std::vector<double> returns;
    double growth = 1.0;
    double daysHeld = 0;
    double stepsHeld = 0;
    int profitable = 0;
    for (const Trade& t : trades) {
        returns.push_back(t.tradeReturn);
        growth *= 1.0 + t.tradeReturn;
        daysHeld += t.exitDay - t.entryDay;
        stepsHeld += static_cast<double>(t.exitIndex - t.entryIndex);
        if (t.tradeReturn > 0) ++profitable;
        if (t.openAtEnd) ++stats.openAtEnd;
        if (t.openedAtStart) ++stats.openedAtStart;
    }
    const double n = static_cast<double>(trades.size());
    stats.profitableShare = profitable / n;
    double sum = 0;
    for (const double r : returns) sum += r;
    stats.meanReturn = sum / n;
    stats.medianReturn = Median(returns);
    stats.totalReturn = growth - 1.0;
    stats.annualisedReturn = Annualised(stats.totalReturn, calendarDays);
    stats.averageDaysHeld = daysHeld / n;
    stats.timeInMarket = stepsHeld / static_cast<double>(prices.Size() - 1);
    return stats;
}

StrategyTrades BuyAndHoldTrades(const PriceSeries& prices, double cost) {
    StrategyTrades hold{.aspect = 0, .level = 0, .orbDegrees = 0, .trades = {}, .sameDayStays = 0, .rule = {}};
    if (prices.Size() < kMinimumCloses) return hold;
    const PricePoint& first = prices.points.front();
    const PricePoint& last = prices.points.back();
    hold.trades.push_back(Trade{.entryIndex = 0,
                                .exitIndex = prices.Size() - 1,
                                .entryDay = first.day,
                                .exitDay = last.day,
                                .entryClose = first.close,
                                .exitClose = last.close,
                                .tradeReturn = NetOfCosts(SideReturn(Side::Long, first.close, last.close), cost),
                                .openedAtStart = false,
                                .openAtEnd = false});
    return hold;
}

}  // namespace kovo::backtest
