#pragma once
// The text sections that say whether a backtest's rules beat chance, after the
// statistics table and the event study: significance, the fair comparison with
// buy-and-hold, the hold-out, the event study's significance and a paragraph in plain
// words; and the trade list of one row.
//
// Formats: percents with two decimals (three for the return per day), p and q with four,
// ratios with two, "-" where a figure does not apply; lines end with "\n".
#include <cstddef>
#include <optional>
#include <string>

#include "backtest/backtest_run.h"

namespace kovo::backtest {

std::string SignificanceText(const BacktestResult& result);

// The strategy of `aspect` (1..7) at `orbDegrees`, or buy-and-hold for aspect 0.
const StrategyResult* FindStrategy(const BacktestResult& result, int aspect, int orbDegrees);
// The row of a rule by its label, any case ("retrograde", "Station R +5d", "hold"); null
// when there is none.
const StrategyResult* FindRule(const BacktestResult& result, const std::string& label);
// The rows' labels, for a message: "Retrograde, Pre-shadow, ..., hold".
std::string RuleNames(const BacktestResult& result);

// "Trades of Trine 10°" and one line per trade.
std::string TradesText(const BacktestResult& result, const StrategyResult& strategy);

// The closing paragraph: how many rules were tested, how many survive, what that means.
std::string PlainWordsSummary(const BacktestResult& result);

}  // namespace kovo::backtest
