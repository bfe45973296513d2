#include "ui/research_table.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QTableWidget>
#include <algorithm>

#include "export/sweep_export.h"
#include "ui/backtest_tables.h"
#include "ui/number_item.h"
#include "ui/qt_text.h"

namespace kovo::ui {

namespace {

// The columns shown until the user chooses others; the rest of the export's columns are
// there, hidden.
constexpr const char* kMainColumns[] = {"rank",        "pair",       "centricity",        "side",    "rule",
                                        "orb",         "trades",     "mean_pct",          "excess_pct", "p",
                                        "q",           "ci_low_pct", "ci_high_pct",       "before_excess_pct",
                                        "before_p",    "after_excess_pct", "after_p",     "held",    "passes"};

bool IsMainColumn(const std::string& key) {
    return std::any_of(std::begin(kMainColumns), std::end(kMainColumns), [&key](const char* k) { return key == k; });
}

QTableWidgetItem* CellItem(const exporting::Cell& cell) {
    const QString text = ToQ(cell.text);
    if (cell.kind == exporting::Cell::Kind::Number) return new NumberItem(text, text.toDouble());
    // Empty cells stand in number columns (a figure that does not apply): below every number.
    if (cell.kind == exporting::Cell::Kind::Empty) return new NumberItem(text, std::nullopt);
    return new QTableWidgetItem(text);
}

// The heading's context menu: every column with a tick, to show or hide it.
void ShowColumnChooser(QTableWidget* table, const QPoint& at) {
    QMenu menu(table);
    for (int c = 0; c < table->columnCount(); ++c) {
        QAction* action = menu.addAction(table->horizontalHeaderItem(c)->text());
        action->setCheckable(true);
        action->setChecked(!table->isColumnHidden(c));
        QObject::connect(action, &QAction::toggled, table, [table, c](bool on) { table->setColumnHidden(c, !on); });
    }
    menu.exec(table->horizontalHeader()->mapToGlobal(at));
}

}  // namespace

bool RowPasses(const sweep::SweepRow& row, const ResearchFilter& filter) {
    if (filter.aspect >= 0 && row.aspect != filter.aspect) return false;
    if (filter.maxQ < 1.0) {
        const std::optional<double>& q = row[sweep::Figure::Q];
        if (!q || *q > filter.maxQ) return false;
    }
    if (filter.pair.empty()) return true;
    const QString name = ToQ(sweep::UnitName(row.unit) + " " + sweep::UnitCentricity(row.unit));
    return name.contains(ToQ(filter.pair).trimmed(), Qt::CaseInsensitive);
}

QString ColumnHeading(const std::string& key) {
    if (key == "passes") return QStringLiteral("Pass");
    QString text = ToQ(key);
    if (text.endsWith(QStringLiteral("_pct"))) {
        text.chop(4);
        text += QStringLiteral(" %");
    }
    text.replace(QLatin1Char('_'), QLatin1Char(' '));
    if (text.startsWith(QStringLiteral("ci "))) text.replace(0, 2, QStringLiteral("CI"));
    // p and q are named in lower case, as the statistics call them.
    if (text != QStringLiteral("p") && text != QStringLiteral("q")) text[0] = text[0].toUpper();
    return text;
}

QTableWidget* CreateResearchTable(QWidget* parent) {
    auto* table = new QTableWidget(0, 0, parent);
    table->setObjectName(QStringLiteral("tblRules"));
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->verticalHeader()->setVisible(false);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    table->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    table->horizontalHeader()->setContextMenuPolicy(Qt::CustomContextMenu);
    table->horizontalHeader()->setToolTip(QStringLiteral("Click to sort; right-click to choose the columns"));
    QObject::connect(table->horizontalHeader(), &QHeaderView::customContextMenuRequested, table,
                     [table](const QPoint& at) { ShowColumnChooser(table, at); });
    table->setSortingEnabled(true);
    return table;
}

void FillResearchTable(QTableWidget* table, const sweep::SweepResult& result) {
    const exporting::ExportTable cells = exporting::SweepTable(result);
    table->setSortingEnabled(false);
    table->clearContents();
    table->setRowCount(0);
    QStringList headings;
    for (const std::string& key : cells.columns) headings << ColumnHeading(key);
    QStringList before;
    for (int c = 0; c < table->columnCount(); ++c) before << table->horizontalHeaderItem(c)->text();
    // The columns the user chose stay chosen while the sweep has the same columns.
    if (headings != before) {
        table->setColumnCount(static_cast<int>(headings.size()));
        table->setHorizontalHeaderLabels(headings);
        for (int c = 0; c < table->columnCount(); ++c)
            table->setColumnHidden(c, !IsMainColumn(cells.columns[static_cast<std::size_t>(c)]));
    }
    table->setRowCount(static_cast<int>(cells.rows.size()));
    for (int r = 0; r < table->rowCount(); ++r) {
        const auto& row = cells.rows[static_cast<std::size_t>(r)];
        for (int c = 0; c < table->columnCount(); ++c) table->setItem(r, c, CellItem(row[static_cast<std::size_t>(c)]));
        table->item(r, 0)->setData(kSweepRowRole, r);
        if (result.rows[static_cast<std::size_t>(r)].Survives()) MarkPassing(table, r);
    }
    table->resizeColumnsToContents();
    table->setSortingEnabled(true);
}

std::vector<int> FilterResearchTable(QTableWidget* table, const sweep::SweepResult& result,
                                     const ResearchFilter& filter) {
    std::vector<int> shown;
    for (int r = 0; r < table->rowCount(); ++r) {
        const int rule = SweepRowOf(table, r);
        const bool passes = rule >= 0 && RowPasses(result.rows[static_cast<std::size_t>(rule)], filter);
        table->setRowHidden(r, !passes);
        if (passes) shown.push_back(rule);
    }
    std::sort(shown.begin(), shown.end());
    return shown;
}

int SweepRowOf(const QTableWidget* table, int tableRow) {
    const QTableWidgetItem* item = table->item(tableRow, 0);
    const QVariant rule = item != nullptr ? item->data(kSweepRowRole) : QVariant();
    return rule.isValid() ? rule.toInt() : -1;
}

int TableRowOf(const QTableWidget* table, int sweepRow) {
    for (int r = 0; r < table->rowCount(); ++r)
        if (SweepRowOf(table, r) == sweepRow) return r;
    return -1;
}

}  // namespace kovo::ui
