#pragma once
// A backtest's statistics and event study as CSV and JSON, through the export layer's
// writers (CsvText, the JSON value rules). Returns and shares are fractions (0.0312 for
// 3.12 %) with up to 10 significant digits, "." as the decimal mark whatever the locale;
// a value that does not apply (no trades, no events) or is not finite is an empty CSV
// field or JSON null. Lines end with LF.
#include <string>

#include "backtest/backtest_run.h"
#include "export/export_table.h"

namespace kovo::exporting {

// One row per aspect and orb level, then buy-and-hold (orb empty).
ExportTable BacktestStatisticsTable(const backtest::BacktestResult& result);
// One row per checked aspect: events, then count, mean and median at each horizon.
ExportTable EventStudyTable(const backtest::BacktestResult& result);

// The two tables, separated by an empty line.
std::string BacktestCsv(const backtest::BacktestResult& result);
// One line: the inputs, "strategies", "buyAndHold" and "eventStudy".
std::string BacktestJson(const backtest::BacktestResult& result);

}  // namespace kovo::exporting
