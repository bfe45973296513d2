#pragma once
// Plain risk figures of a rule, beside its total return.
//
// From the trade returns r[0..n-1] (fractions on the rule's side, as the trades report
// them):
//   profit factor   = sum of r over winners (r > 0) / |sum of r over losers (r < 0)|;
//                     absent without a losing trade (nothing to divide by)
//   average win     = mean of r over winners; absent without one
//   average loss    = mean of r over losers (a negative fraction); absent without one
//   best, worst     = max r, min r; absent without trades
// A trade of exactly 0 is neither a winner nor a loser.
//
// Return per day in the market: the geometric mean daily return while a position was
// held, over D = sum of (exit - entry) trading days:
//   g = (prod (1 + r[i]))^(1/D) - 1
// -1 when the equity is gone (some 1 + r <= 0); absent without trades or with D = 0.
// For buy-and-hold, r is the one long trade over the range and D = N - 1.
//
// From the daily strategy returns d[0..T-1] (the equity curve's E[k] / E[k-1] - 1 over
// every step of the range, 0 on days out of the market), with A = 252 trading days a
// year and the risk-free rate R percent a year (0 unless given), taken per day as
// f = (1 + R/100)^(1/A) - 1:
//   annualised volatility = sd(d) * sqrt(A)        (sd: sample standard deviation, T - 1)
//   Sharpe ratio          = mean(x) / sd(x) * sqrt(A),  x[k] = d[k] - f
//   Sortino ratio         = mean(x) / DD * sqrt(A),  DD = sqrt(1/T * sum_k min(x[k], 0)^2)
// The Sortino ratio's downside deviation DD counts every day, with 0 for days at or
// above the risk-free rate (the usual target semideviation with target f).
// Volatility and Sharpe are absent for fewer than two days; Sharpe when sd(x) = 0;
// Sortino when DD = 0 (no day below the risk-free rate).
#include <cstddef>
#include <optional>
#include <vector>

namespace kovo::stats {

inline constexpr double kTradingDaysPerYear = 252;

struct TradeFigures {
    std::optional<double> profitFactor;  // ratio, > 0
    std::optional<double> averageWin;    // fraction, > 0
    std::optional<double> averageLoss;   // fraction, < 0
    std::optional<double> bestTrade;     // fraction
    std::optional<double> worstTrade;    // fraction
};

struct DailyFigures {
    std::optional<double> annualisedVolatility;  // fraction a year (0.16: 16 %)
    std::optional<double> sharpe;                // annualised ratio
    std::optional<double> sortino;               // annualised ratio
};

TradeFigures TradeFiguresOf(const std::vector<double>& tradeReturns);

// g as defined above; daysInMarket = D.
std::optional<double> ReturnPerDayInMarket(const std::vector<double>& tradeReturns, std::size_t daysInMarket);

// d[k] = E[k+1] / E[k] - 1 for an equity curve E[0..K]; 0 where E[k] <= 0 (the equity
// is gone, nothing is left to win or lose). Empty for fewer than two values.
std::vector<double> DailyReturnsOf(const std::vector<double>& equity);

DailyFigures DailyFiguresOf(const std::vector<double>& dailyReturns, double riskFreePctPerYear = 0);

}  // namespace kovo::stats
