#pragma once
// The fair-comparison figures of a strategy, beside its totals: the return per day in the
// market, the daily equity's volatility, Sharpe and Sortino ratios, and the trades' profit
// factor, average win and loss, best and worst trade (definitions: stats/risk_figures.h).
// Buy-and-hold gets the same figures, so each rule compares with it line by line.
#include <optional>

#include "backtest/price_series.h"
#include "backtest/trade_rules.h"
#include "stats/risk_figures.h"

namespace kovo::backtest {

struct StrategyRisk {
    std::optional<double> returnPerDayInMarket;  // geometric mean per trading day held
    int daysInMarket = 0;                        // trading-day steps held
    stats::DailyFigures daily;
    stats::TradeFigures trades;
};

// `cost` as charged by the trades (see NetOfCosts); riskFreePct: percent a year.
StrategyRisk RiskOf(const std::vector<Trade>& trades, const PriceSeries& prices, Side side, double cost,
                    double riskFreePct);

}  // namespace kovo::backtest
