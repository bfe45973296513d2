#include "ui/backtest_tables.h"

#include <QBrush>
#include <QFont>
#include <QHeaderView>
#include <QTableWidget>
#include <optional>

#include "astro/catalogue.h"
#include "backtest/backtest_table.h"
#include "calendar/calendar_services.h"
#include "ui/number_item.h"
#include "ui/qt_text.h"

namespace kovo::ui {

namespace {

using backtest::BacktestResult;
using backtest::RuleSignificance;
using backtest::StrategyResult;
using std::optional;

NumberItem* Fixed(optional<double> value, int decimals) {
    return new NumberItem(value ? QString::number(*value, 'f', decimals) : QStringLiteral("-"), value);
}

// A fraction shown in percent; the sort value stays the fraction.
NumberItem* PercentItem(optional<double> fraction, int decimals = 2) {
    return new NumberItem(fraction ? QString::number(*fraction * 100.0, 'f', decimals) : QStringLiteral("-"), fraction);
}

NumberItem* CountItem(int count) { return new NumberItem(QString::number(count), static_cast<double>(count)); }

// A close as the file gave it, up to ten significant digits.
NumberItem* CloseItem(double close) { return new NumberItem(QString::number(close, 'g', 10), close); }

NumberItem* ProbabilityItem(optional<double> value) { return Fixed(value, 4); }

QString Date(std::int32_t day) { return ToQ(calendar::FormatDayNumberIso8601(day)); }

const QString kPassMark = QString::fromUtf8("\u2713 ");

// q with a check mark when it passes: the mark tells the passing rows apart without colour.
NumberItem* QItem(const RuleSignificance& s) {
    NumberItem* item = ProbabilityItem(s.qValue);
    if (s.Survives()) item->setText(kPassMark + item->text());
    return item;
}

optional<double> Interval(const RuleSignificance& s, bool high) {
    if (!s.interval) return std::nullopt;
    return high ? s.interval->highPct : s.interval->lowPct;
}

std::vector<QTableWidgetItem*> StatisticsCells(const StrategyResult& s) {
    const backtest::BacktestStatistics& st = s.stats;
    const bool any = st.trades > 0;
    const bool hold = s.trades.IsBuyAndHold();
    optional<double> orb;
    if (!hold) orb = s.trades.orbDegrees;
    const RuleSignificance& sig = s.significance;
    const backtest::StrategyRisk& risk = s.risk;
    return {new QTableWidgetItem(ToQ(backtest::StrategyName(s.trades))),
            new NumberItem(hold ? QString() : QString::number(s.trades.orbDegrees) + QStringLiteral("°"), orb),
            CountItem(st.trades),
            PercentItem(st.profitableShare),
            PercentItem(st.meanReturn),
            PercentItem(st.medianReturn),
            PercentItem(any ? optional(st.totalReturn) : std::nullopt),
            PercentItem(any ? optional(st.annualisedReturn) : std::nullopt),
            PercentItem(st.maxDrawdown),
            Fixed(st.averageDaysHeld, 1),
            PercentItem(st.timeInMarket),
            CountItem(st.openAtEnd),
            CountItem(st.openedAtStart),
            CountItem(st.sameDayStays),
            PercentItem(sig.baselineMean),
            Fixed(sig.excessPct, 2),
            ProbabilityItem(sig.PValue()),
            QItem(sig),
            Fixed(Interval(sig, false), 2),
            Fixed(Interval(sig, true), 2),
            // Returns per day are hundredths of a percent: two decimals would hide them.
            PercentItem(risk.returnPerDayInMarket, 3),
            PercentItem(risk.daily.annualisedVolatility),
            Fixed(risk.daily.sharpe, 2),
            Fixed(risk.daily.sortino, 2),
            Fixed(risk.trades.profitFactor, 2),
            PercentItem(risk.trades.averageWin),
            PercentItem(risk.trades.averageLoss),
            PercentItem(risk.trades.bestTrade),
            PercentItem(risk.trades.worstTrade)};
}

void Begin(QTableWidget* table) {
    table->setSortingEnabled(false);
    table->setRowCount(0);
}

// New results come in their own order; a click on a heading sorts.
void End(QTableWidget* table) {
    table->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    table->setSortingEnabled(true);
    table->resizeColumnsToContents();
}

int AddRow(QTableWidget* table, const std::vector<QTableWidgetItem*>& cells) {
    const int row = table->rowCount();
    table->insertRow(row);
    for (int c = 0; c < static_cast<int>(cells.size()); ++c) table->setItem(row, c, cells[static_cast<std::size_t>(c)]);
    return row;
}

QString FamilyText(const backtest::FamilyCount& count, const char* what) {
    const QString passing = count.passing == 0   ? QStringLiteral("none passes")
                            : count.passing == 1 ? QStringLiteral("1 passes")
                                                 : QStringLiteral("%1 pass").arg(count.passing);
    return QStringLiteral("%1 %2 tested, %3 q < 0.10").arg(count.tested).arg(QString::fromLatin1(what), passing);
}

}  // namespace

void MarkPassing(QTableWidget* table, int row) {
    const QBrush light(QColor(222, 244, 222));
    for (int c = 0; c < table->columnCount(); ++c) {
        QTableWidgetItem* item = table->item(row, c);
        QFont font = item->font();
        font.setBold(true);
        item->setFont(font);
        item->setBackground(light);
        item->setForeground(QBrush(Qt::black));  // dark text on the light background in dark themes too
        item->setToolTip(QStringLiteral("Passes q < 0.10"));
    }
}

QStringList StatisticsHeadings() {
    QStringList headings;
    // The first columns are those of the text and CSV table.
    for (const char* column : {"Aspect", "Orb", "Trades", "Profitable %", "Mean %", "Median %", "Total %",
                               "Annualised %", "Max drawdown %", "Avg days held", "In market %", "Open at end",
                               "Opened at start", "Same-day", "Baseline %", "Excess %", "p", "q", "CI low %",
                               "CI high %", "Per day %", "Volatility %", "Sharpe", "Sortino", "Profit factor",
                               "Avg win %", "Avg loss %", "Best %", "Worst %"})
        headings << QString::fromUtf8(column);
    return headings;
}

QStringList EventHeadings() {
    QStringList headings{QStringLiteral("Aspect"), QStringLiteral("Events")};
    for (int h : backtest::kEventHorizons) {
        const QString p = QStringLiteral("+%1 ").arg(h);
        for (const char* column : {"n", "mean %", "median %", "excess %", "t (NW)", "p", "q"})
            headings << p + QString::fromLatin1(column);
    }
    return headings;
}

QStringList HoldoutHeadings() {
    return {QStringLiteral("Aspect"),         QStringLiteral("Orb"),        QStringLiteral("Excess % before"),
            QStringLiteral("p before"),       QStringLiteral("q before"),   QStringLiteral("Excess % after"),
            QStringLiteral("p after"),        QStringLiteral("q after"),    QStringLiteral("Held")};
}

QStringList TradeHeadings() {
    return {QStringLiteral("Entry date"), QStringLiteral("Entry close"), QStringLiteral("Exit date"),
            QStringLiteral("Exit close"), QStringLiteral("Return %"),    QStringLiteral("Days held"),
            QStringLiteral("Marks")};
}

void FillStatisticsTable(QTableWidget* table, const BacktestResult& r) {
    Begin(table);
    for (std::size_t i = 0; i <= r.strategies.size(); ++i) {
        const bool hold = i == r.strategies.size();
        const StrategyResult& s = hold ? r.buyAndHold : r.strategies[i];
        const int row = AddRow(table, StatisticsCells(s));
        table->item(row, 0)->setData(Qt::UserRole, s.trades.aspect);
        table->item(row, 0)->setData(kStrategyRole, hold ? kBuyAndHoldRow : static_cast<int>(i));
        if (s.significance.Survives()) MarkPassing(table, row);
    }
    End(table);
}

int StrategyOfRow(const QTableWidget* table, int row) {
    const QTableWidgetItem* item = table->item(row, 0);
    return item != nullptr ? item->data(kStrategyRole).toInt() : kBuyAndHoldRow;
}

int RowOfStrategy(const QTableWidget* table, int strategy) {
    for (int row = 0; row < table->rowCount(); ++row)
        if (StrategyOfRow(table, row) == strategy) return row;
    return -1;
}

void FillEventTable(QTableWidget* table, const BacktestResult& r) {
    Begin(table);
    for (const backtest::EventStudyRow& e : r.eventStudy) {
        std::vector<QTableWidgetItem*> cells{new QTableWidgetItem(ToQ(backtest::StrategyAspectName(e.aspect))),
                                             CountItem(e.events)};
        for (const backtest::HorizonReturns& h : e.horizons) {
            optional<double> t;
            if (h.neweyWest) t = h.neweyWest->t;
            cells.insert(cells.end(), {CountItem(h.count), PercentItem(h.mean), PercentItem(h.median),
                                       Fixed(h.significance.excessPct, 2), Fixed(t, 2),
                                       ProbabilityItem(h.significance.PValue()), QItem(h.significance)});
        }
        AddRow(table, cells);
    }
    End(table);
}

void FillHoldoutTable(QTableWidget* table, const BacktestResult& r) {
    Begin(table);
    if (r.periods.size() == 2) {
        const BacktestResult& before = r.periods[0];
        const BacktestResult& after = r.periods[1];
        const std::size_t rows = std::min(before.strategies.size(), after.strategies.size());
        for (std::size_t i = 0; i < rows; ++i) {
            const RuleSignificance& b = before.strategies[i].significance;
            const RuleSignificance& a = after.strategies[i].significance;
            const backtest::StrategyTrades& t = before.strategies[i].trades;
            const optional<bool> held = backtest::HeldOut(b, a);
            AddRow(table, {new QTableWidgetItem(ToQ(backtest::StrategyAspectName(t.aspect))),
                           new NumberItem(QString::number(t.orbDegrees) + QStringLiteral("°"), t.orbDegrees),
                           Fixed(b.excessPct, 2), ProbabilityItem(b.PValue()), QItem(b), Fixed(a.excessPct, 2),
                           ProbabilityItem(a.PValue()), QItem(a),
                           new QTableWidgetItem(!held ? QStringLiteral("-") : *held ? QStringLiteral("yes")
                                                                                      : QStringLiteral("no"))});
        }
    }
    End(table);
}

void FillTradeTable(QTableWidget* table, const StrategyResult& s) {
    Begin(table);
    for (const backtest::Trade& t : s.trades.trades) {
        QStringList marks;
        if (t.openedAtStart) marks << QStringLiteral("opened at start");
        if (t.openAtEnd) marks << QStringLiteral("open at end");
        AddRow(table, {new NumberItem(Date(t.entryDay), t.entryDay), CloseItem(t.entryClose),
                       new NumberItem(Date(t.exitDay), t.exitDay), CloseItem(t.exitClose),
                       PercentItem(t.tradeReturn), CountItem(t.exitDay - t.entryDay),
                       new QTableWidgetItem(marks.join(QStringLiteral(", ")))});
    }
    End(table);
}

QString FamilySummary(const BacktestResult& r) {
    QString text = FamilyText(r.rules, "rules");
    // What q < 0.10 promises: Benjamini-Hochberg bounds the share of chance finds among the passes.
    if (r.rules.passing > 0)
        text += QStringLiteral(" (of the rules passing, about one in ten or fewer is expected to be a chance find)");
    else if (r.rules.tested > 0)
        text += QStringLiteral(" (no rule beats chance once the number of rules tried is counted)");
    return text + QStringLiteral("; event study: ") + FamilyText(r.events, "horizons") + QStringLiteral(".");
}

}  // namespace kovo::ui
