#include "stats/risk_figures.h"

#include <algorithm>
#include <cmath>

#include "stats/sample_figures.h"

namespace kovo::stats {

namespace {

// The sample standard deviation (divisor T - 1) of at least two values around `mean`;
// exactly 0 for equal values, whose computed mean may be an ulp off them.
double SampleDeviation(const std::vector<double>& values, double mean) {
    const auto [least, greatest] = std::minmax_element(values.begin(), values.end());
    if (*least == *greatest) return 0;
    double squares = 0;
    for (const double x : values) squares += (x - mean) * (x - mean);
    return std::sqrt(squares / static_cast<double>(values.size() - 1));
}

}  // namespace

TradeFigures TradeFiguresOf(const std::vector<double>& tradeReturns) {
    TradeFigures figures;
    if (tradeReturns.empty()) return figures;
    double gains = 0;
    double losses = 0;
    int winners = 0;
    int losers = 0;
    for (const double r : tradeReturns) {
        if (r > 0) {
            gains += r;
            ++winners;
        } else if (r < 0) {
            losses += r;
            ++losers;
        }
    }
    if (winners > 0) figures.averageWin = gains / winners;
    if (losers > 0) {
        figures.averageLoss = losses / losers;
        figures.profitFactor = gains / -losses;
    }
    const auto [worst, best] = std::minmax_element(tradeReturns.begin(), tradeReturns.end());
    figures.bestTrade = *best;
    figures.worstTrade = *worst;
    return figures;
}

std::optional<double> ReturnPerDayInMarket(const std::vector<double>& tradeReturns, std::size_t daysInMarket) {
    if (tradeReturns.empty() || daysInMarket == 0) return std::nullopt;
    // Sum of logs rather than a product: a century of trades would overflow or vanish.
    double logGrowth = 0;
    for (const double r : tradeReturns) {
        if (!(1.0 + r > 0)) return -1.0;
        logGrowth += std::log1p(r);
    }
    return std::expm1(logGrowth / static_cast<double>(daysInMarket));
}

std::vector<double> DailyReturnsOf(const std::vector<double>& equity) {
    std::vector<double> daily;
    for (std::size_t k = 1; k < equity.size(); ++k)
        daily.push_back(equity[k - 1] > 0 ? equity[k] / equity[k - 1] - 1.0 : 0.0);
    return daily;
}

DailyFigures DailyFiguresOf(const std::vector<double>& dailyReturns, double riskFreePctPerYear) {
    DailyFigures figures;
    const std::size_t days = dailyReturns.size();
    if (days < 2) return figures;
    const double yearRoot = std::sqrt(kTradingDaysPerYear);
    figures.annualisedVolatility = SampleDeviation(dailyReturns, *MeanOf(dailyReturns)) * yearRoot;
    const double riskFreeDaily = std::pow(1.0 + riskFreePctPerYear / 100.0, 1.0 / kTradingDaysPerYear) - 1.0;
    std::vector<double> excess;
    excess.reserve(days);
    for (const double d : dailyReturns) excess.push_back(d - riskFreeDaily);
    const double mean = *MeanOf(excess);
    if (const double deviation = SampleDeviation(excess, mean); deviation > 0) figures.sharpe = mean / deviation * yearRoot;
    double downside = 0;
    for (const double x : excess) downside += x < 0 ? x * x : 0.0;
    if (downside > 0) figures.sortino = mean / std::sqrt(downside / static_cast<double>(days)) * yearRoot;
    return figures;
}

}  // namespace kovo::stats
