#pragma once
// The backtest window's tables, filled from a result: the statistics of every rule and of
// buy-and-hold with their significance and risk figures, the event study, the hold-out
// comparison and the trades of one row. Percent columns show two decimals, p and q four,
// ratios two; "-" where a figure does not apply (it sorts below every number).
#include <QString>

#include "backtest/backtest_run.h"

class QTableWidget;

namespace kovo::ui {

// The statistics rows carry this role on their first cell: the index into
// result.strategies, or kBuyAndHoldRow.
inline constexpr int kStrategyRole = Qt::UserRole + 1;
inline constexpr int kBuyAndHoldRow = -1;

// Column headings; the tables are created with these and then filled.
QStringList StatisticsHeadings();
QStringList EventHeadings();
QStringList HoldoutHeadings();
QStringList TradeHeadings();

// Rows passing q < 0.10 are bold on a light background and their q cell carries a "✓".
void FillStatisticsTable(QTableWidget* table, const backtest::BacktestResult& result);
// Bold on a light background, whatever the theme: a row that passes q < 0.10.
void MarkPassing(QTableWidget* table, int row);
// The strategy of a statistics row (kStrategyRole), whatever the sort order.
int StrategyOfRow(const QTableWidget* table, int row);
// The row of a strategy index, or -1.
int RowOfStrategy(const QTableWidget* table, int strategy);

void FillEventTable(QTableWidget* table, const backtest::BacktestResult& result);
// One row per rule: excess, p and q before and from the hold-out day, and whether the
// excess kept its sign. Empty without a hold-out.
void FillHoldoutTable(QTableWidget* table, const backtest::BacktestResult& result);
void FillTradeTable(QTableWidget* table, const backtest::StrategyResult& strategy);

// "21 rules tested, 2 pass q < 0.10 …" for the rules and the event study.
QString FamilySummary(const backtest::BacktestResult& result);

}  // namespace kovo::ui
