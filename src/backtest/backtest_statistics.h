#pragma once
// The statistics of one strategy's trades over the backtest's range, and of buying and
// holding the instrument over the same range.
//
// Notation: P[0..N-1] are the closes of the range's trading days, d[0..N-1] their day
// numbers, r[i] the return of trade i (see Trade::tradeReturn), s = +1 long, -1 short.
//
// - trades: the number of trades (same-day stays are no trades).
// - profitableShare: the share of trades with r > 0.
// - meanReturn, medianReturn: of r over the trades (the median of an even count is the
//   mean of the two middle values).
// - totalReturn: prod(1 + r[i]) - 1, all equity in each trade in turn, nothing earned
//   between trades. It equals the equity curve's last value minus 1.
// - annualisedReturn: (1 + totalReturn)^(365.25 / (d[N-1] - d[0])) - 1, over the whole
//   range in calendar days (time out of the market included), so that it compares with
//   buy-and-hold; -1 when the equity is gone.
// - equity curve: E[0] = 1; out of the market E[k] = E[k-1]; inside trade i, opened at
//   index e, E[k] = E[e] * (1 + s * (P[k] / P[e] - 1)) for e < k <= exit, so each close
//   marks the position to market.
// - maxDrawdown: max over k of 1 - E[k] / max(E[0..k]), a fraction (0.25: a quarter of
//   the equity lost from its highest close).
// - averageDaysHeld: the mean of d[exit] - d[entry] in calendar days.
// - timeInMarket: sum(exit - entry) / (N - 1), the share of the range's close-to-close
//   steps during which a position was held.
// Means, shares and the median are absent without trades; the totals are then 0.
//
// Buy-and-hold is one long trade from P[0] to P[N-1].
#include <optional>
#include <vector>

#include "backtest/price_series.h"
#include "backtest/trade_rules.h"

namespace kovo::backtest {

struct BacktestStatistics {
    int trades = 0;
    int openAtEnd = 0;      // trades flagged openAtEnd
    int openedAtStart = 0;  // trades flagged openedAtStart
    int sameDayStays = 0;
    std::optional<double> profitableShare;
    std::optional<double> meanReturn;
    std::optional<double> medianReturn;
    double totalReturn = 0;
    double annualisedReturn = 0;
    double maxDrawdown = 0;
    std::optional<double> averageDaysHeld;
    double timeInMarket = 0;
};

// The equity curve defined above, one value per trading day of `prices`. With costs, each
// trade's marks carry the entry's cost and its exit close the exit's too, so the curve
// ends at prod(1 + r[i]) with the trades' net returns.
std::vector<double> EquityCurve(const std::vector<Trade>& trades, const PriceSeries& prices, Side side,
                                double cost = 0);

// The statistics of a strategy's trades; prices must hold at least two closes.
BacktestStatistics StatisticsOf(const StrategyTrades& strategy, const PriceSeries& prices, Side side,
                                double cost = 0);

// Buy-and-hold: one long trade over the whole range, paying `cost` on entry and exit.
StrategyTrades BuyAndHoldTrades(const PriceSeries& prices, double cost = 0);

// The median of values (not empty); the mean of the two middle values for an even count.
double Median(std::vector<double> values);

// Annualised from a total return over calendarDays (> 0).
double Annualised(double totalReturn, double calendarDays);

}  // namespace kovo::backtest
