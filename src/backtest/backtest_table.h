#pragma once
// The statistics table of a backtest as text, CSV or JSON, rendered from its records:
// one row per aspect and orb level, one for buy-and-hold, and the event study.
//
// Text shows returns and shares in percent with two decimals, "-" where a value does
// not apply (no trades, no events); lines end with "\n". CSV and JSON give returns and
// shares as fractions (0.0312 for 3.12 %) with up to 10 significant digits, empty or
// null where a value does not apply; whatever the process locale, "." is the decimal
// mark.
#include <string>

#include "backtest/backtest_run.h"

namespace kovo::backtest {

// "Conjunction 10°", or "Buy and hold" for aspect 0.
std::string StrategyLabel(const StrategyTrades& strategy);

// The column names of the statistics table, as the window's table and the CSV name them.
inline constexpr const char* kStatisticsColumns[] = {
    "Aspect", "Orb", "Trades", "Profitable %", "Mean %", "Median %", "Total %", "Annualised %",
    "Max drawdown %", "Avg days held", "In market %", "Open at end", "Opened at start", "Same-day"};

std::string BacktestText(const BacktestResult& result);
// Two tables, separated by an empty line: the statistics and the event study.
std::string BacktestCsv(const BacktestResult& result);
std::string BacktestJson(const BacktestResult& result);

// A number for CSV and JSON: up to 10 significant digits, "." as the decimal mark.
std::string PlainNumber(double value);

}  // namespace kovo::backtest
