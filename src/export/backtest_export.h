#pragma once
// A backtest's statistics, event study and trades as CSV and JSON, through the export
// layer's writers (CsvText, the JSON value rules). Lines end with LF.
//
// CSV: each table stands alone and every row carries the run's details (pair,
// centricity, from, to, side, orbs, cost_bp, source) as leading columns. Figures are
// plain decimals as the window shows them, never in scientific notation: percents
// ("_pct") with two decimals (the return per day with three), p- and q-values with four,
// ratios with two, days held with one. A figure that does not apply is an empty field.
//
// JSON: the members of earlier versions keep their meaning (returns and shares as
// fractions with up to 10 significant digits); the significance figures named "...Pct"
// are percents, the risk figures fractions or ratios; null where a figure does not apply.
#include <string>

#include "backtest/backtest_run.h"
#include "export/export_table.h"

namespace kovo::exporting {

// One row per aspect and orb level, then buy-and-hold (orb empty); with a hold-out, the
// figures before and after it and whether the excess held its sign.
ExportTable BacktestStatisticsTable(const backtest::BacktestResult& result);
// One row per checked aspect: events, then per horizon the count, mean, median, excess,
// Newey-West t, p and q.
ExportTable EventStudyTable(const backtest::BacktestResult& result);
// One row per trade of the strategy.
ExportTable TradesTable(const backtest::BacktestResult& result, const backtest::StrategyResult& strategy);

std::string BacktestCsv(const backtest::BacktestResult& result);
std::string EventStudyCsv(const backtest::BacktestResult& result);
std::string TradesCsv(const backtest::BacktestResult& result, const backtest::StrategyResult& strategy);
// One line: the inputs, the run's settings and family counts, "strategies", "buyAndHold",
// "eventStudy", "holdout" with a hold-out, and "trades" of the given strategy if any.
std::string BacktestJson(const backtest::BacktestResult& result, const backtest::StrategyResult* trades = nullptr);

}  // namespace kovo::exporting
