#pragma once
// The research window's ranked table: one row per rule of a sweep, its cells the texts of
// exporting::SweepTable (those of `kovo-report sweep --format csv`), numbers sorting as
// numbers. The main columns are shown; the others are hidden until chosen from the
// heading's context menu. Rows that pass q < 0.10 are bold on a light background.
#include <QString>
#include <string>
#include <vector>

#include "sweep/sweep_run.h"

class QTableWidget;
class QWidget;

namespace kovo::ui {

// The role on a row's first cell: the index of its rule in result.rows.
inline constexpr int kSweepRowRole = Qt::UserRole + 2;

// Which rows the table and the plot show.
struct ResearchFilter {
    std::string pair;     // a part of "pair centricity" in any case ("mars", "helio"); "" for all
    int aspect = -1;      // -1 every rule, 0 the named rules, 1..7 one aspect's rules
    double maxQ = 1.0;    // rows with q up to this; 1 (or more) keeps rows without q too
};
bool RowPasses(const sweep::SweepRow& row, const ResearchFilter& filter);

// "Excess %" for "excess_pct", "CI low %" for "ci_low_pct": a heading of a table column.
QString ColumnHeading(const std::string& key);

// Creates the table, unsorted and read-only, with the column chooser on its heading.
QTableWidget* CreateResearchTable(QWidget* parent);
// Refills it with the result's rows in rank order (sorting is switched off meanwhile and
// the sort column kept).
void FillResearchTable(QTableWidget* table, const sweep::SweepResult& result);
// Hides the rows the filter leaves out; returns the shown rules' indexes in result.rows,
// in rank order.
std::vector<int> FilterResearchTable(QTableWidget* table, const sweep::SweepResult& result,
                                     const ResearchFilter& filter);

// The rule of a table row (kSweepRowRole) whatever the sort order, -1 when none; the
// table row of a rule, -1 when none.
int SweepRowOf(const QTableWidget* table, int tableRow);
int TableRowOf(const QTableWidget* table, int sweepRow);

}  // namespace kovo::ui
