#pragma once
// The statistics table of a backtest as text, rendered from its records: one row per
// aspect and orb level, one for buy-and-hold, and the event study. (CSV and JSON are
// written by the export layer: export/backtest_export.h.)
//
// Text shows returns and shares in percent with two decimals, "-" where a value does
// not apply (no trades, no events); lines end with "\n".
#include <string>

#include "backtest/backtest_run.h"

namespace kovo::backtest {

// "Conjunction 10°", or "Buy and hold" for aspect 0.
std::string StrategyLabel(const StrategyTrades& strategy);
// "Conjunction", or "Buy and hold" for aspect 0.
std::string StrategyAspectName(int aspect);
// The row's name: StrategyAspectName, or a cycle rule's label ("Retrograde").
std::string StrategyName(const StrategyTrades& strategy);
// An event-study row's name: the aspect's, or the label of a cycle event ("Station R").
std::string EventRowName(const EventStudyRow& row);
// The heading of the rules' first column: "Aspect", or "Rule" for a cycle backtest.
const char* RuleColumnName(const BacktestResult& r);
// "10°", or "" for buy-and-hold.
std::string OrbText(const StrategyTrades& strategy);
// "long" or "short".
const char* SideName(Side side);

// The column names of the statistics table, as the window's table and the CSV name them.
inline constexpr const char* kStatisticsColumns[] = {
    "Aspect", "Orb", "Trades", "Profitable %", "Mean %", "Median %", "Total %", "Annualised %",
    "Max drawdown %", "Avg days held", "In market %", "Open at end", "Opened at start", "Same-day"};

std::string BacktestText(const BacktestResult& result);

// A number for CSV and JSON: up to 10 significant digits, "." as the decimal mark.
std::string PlainNumber(double value);

}  // namespace kovo::backtest
