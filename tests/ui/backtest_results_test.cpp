// The backtest window's results: the significance and risk columns, the marking of rules
// that pass q < 0.10, results greyed once the inputs differ, the trades of the chosen row,
// the hold-out fields and tab, and the window state kept between starts.
#include <QCheckBox>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QTest>
#include <QWheelEvent>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "calendar/calendar_services.h"
#include "test_support.h"
#include "ui/backtest_chart_view.h"
#include "ui/backtest_charts.h"
#include "ui/backtest_null_chart.h"
#include "ui/backtest_tables.h"
#include "ui/backtest_window.h"
#include "ui_test_support.h"

using namespace kovo;
using kovo::testing::FindControl;

namespace {

// The text of the column with this heading in a row.
QString Cell(const QTableWidget* table, int row, const QString& heading) {
    for (int c = 0; c < table->columnCount(); ++c)
        if (table->horizontalHeaderItem(c)->text() == heading) return table->item(row, c)->text();
    throw std::logic_error("no column " + heading.toStdString());
}

TEST(BacktestTables, StatisticsColumnsFillFromTheResultAndPassingRowsAreMarked) {
    backtest::BacktestResult r;
    backtest::StrategyResult pass;
    pass.trades.aspect = 1;
    pass.trades.orbDegrees = 10;
    pass.stats.trades = 4;
    pass.significance.baselineMean = 0.0123;
    pass.significance.excessPct = 0.5;
    pass.significance.shift = stats::ShiftTest{.observed = 0.01, .pValue = 0.001234, .atLeastObserved = 0, .shifts = {}, .null = {}};
    pass.significance.interval = stats::BootstrapInterval{.meanPct = 1.7, .lowPct = -0.25, .highPct = 3.5};
    pass.significance.qValue = 0.05;
    pass.risk.returnPerDayInMarket = 0.000456;
    pass.risk.daily.sharpe = 1.234;
    pass.risk.trades.averageLoss = -0.0201;
    backtest::StrategyResult fail = pass;
    fail.trades.orbDegrees = 5;
    fail.significance.qValue = 0.1;  // the bound itself does not pass
    r.strategies = {pass, fail};
    r.buyAndHold.trades.aspect = 0;
    r.buyAndHold.risk.daily.sharpe = 0.5;
    r.buyAndHold.risk.daily.annualisedVolatility = 0.16;
    r.rules = {.tested = 2, .passing = 1};

    QTableWidget table(0, static_cast<int>(ui::StatisticsHeadings().size()));
    table.setHorizontalHeaderLabels(ui::StatisticsHeadings());
    ui::FillStatisticsTable(&table, r);
    ASSERT_EQ(table.rowCount(), 3);
    EXPECT_EQ(Cell(&table, 0, QStringLiteral("Baseline %")), QStringLiteral("1.23"));
    EXPECT_EQ(Cell(&table, 0, QStringLiteral("Excess %")), QStringLiteral("0.50"));
    EXPECT_EQ(Cell(&table, 0, QStringLiteral("p")), QStringLiteral("0.0012"));
    EXPECT_EQ(Cell(&table, 0, QStringLiteral("q")), QString::fromUtf8("\u2713 0.0500"));
    EXPECT_EQ(Cell(&table, 0, QStringLiteral("CI low %")), QStringLiteral("-0.25"));
    EXPECT_EQ(Cell(&table, 0, QStringLiteral("Per day %")), QStringLiteral("0.046"));
    EXPECT_EQ(Cell(&table, 0, QStringLiteral("Sharpe")), QStringLiteral("1.23"));
    EXPECT_EQ(Cell(&table, 0, QStringLiteral("Avg loss %")), QStringLiteral("-2.01"));
    EXPECT_EQ(Cell(&table, 0, QStringLiteral("Sortino")), QStringLiteral("-"));
    EXPECT_TRUE(table.item(0, 0)->font().bold());
    EXPECT_EQ(Cell(&table, 1, QStringLiteral("q")), QStringLiteral("0.1000"));
    EXPECT_FALSE(table.item(1, 0)->font().bold());
    // Buy-and-hold: no test, but its risk figures to compare with.
    EXPECT_EQ(Cell(&table, 2, QStringLiteral("Aspect")), QStringLiteral("Buy and hold"));
    EXPECT_EQ(Cell(&table, 2, QStringLiteral("p")), QStringLiteral("-"));
    EXPECT_EQ(Cell(&table, 2, QStringLiteral("Volatility %")), QStringLiteral("16.00"));
    EXPECT_EQ(ui::StrategyOfRow(&table, 2), ui::kBuyAndHoldRow);

    // Sorted by q, the rows still know their strategies.
    table.sortByColumn(17, Qt::DescendingOrder);
    EXPECT_EQ(ui::StrategyOfRow(&table, ui::RowOfStrategy(&table, 1)), 1);
    EXPECT_EQ(Cell(&table, ui::RowOfStrategy(&table, 1), QStringLiteral("Orb")), QString::fromUtf8("5°"));
    EXPECT_TRUE(ui::FamilySummary(r).startsWith(QStringLiteral("2 rules tested, 1 passes q < 0.10")));
}

TEST(BacktestTables, ALogScaleIsProposedForSeriesSpanningMoreThanTenfold) {
    backtest::BacktestResult r;
    r.prices.points = {{.day = 1, .close = 2.0}, {.day = 2, .close = 20.0}};
    EXPECT_FALSE(ui::BacktestCharts::SpansDecades(r));
    r.prices.points.push_back({.day = 3, .close = 20.5});
    EXPECT_TRUE(ui::BacktestCharts::SpansDecades(r));
}

TEST(BacktestTables, NullBinsCountEveryValueOnce) {
    const std::vector<int> counts = ui::BinCounts({0.0, 0.49, 0.5, 1.0, 1.0}, 0.0, 1.0, 2);
    EXPECT_EQ(counts, (std::vector<int>{2, 3}));  // the upper edge falls in the last bin
    EXPECT_EQ(ui::BinCounts({3.0, 3.0}, 3.0, 3.0, 4), (std::vector<int>{2, 0, 0, 0}));
}

class BacktestResultsTest : public kovo::testing::UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        w = Start();
    }

    ui::BacktestWindow& Open() {
        FindControl<QPushButton>(w->main, QStringLiteral("cmdBacktest"))->click();
        return *kovo::testing::Probe(w->main).Backtest();
    }

    // Weekdays of March to May 2011 with closes that wander up and down.
    std::string Spring2011() {
        const std::int32_t first = kovo::testing::Day(2011, 3, 1);
        std::ofstream file(TempPath("spring.csv"));
        file << "Date,Close\n";
        for (std::int32_t d = first; d <= kovo::testing::Day(2011, 5, 31); ++d)
            if (d % 7 < 5) file << calendar::FormatDayNumberIso(d) << "," << 1000 + (d * 37 % 23) << "\n";
        return TempPath("spring.csv");
    }

    // A run of the opposition and the trine on the spring with few shifts.
    ui::BacktestInputs SpringInputs() {
        ui::BacktestInputs in;
        in.pricesPath = Spring2011();
        in.aspects = {false, true, false, true, false, false, false};
        in.permutations = 200;
        return in;
    }

    void Run(ui::BacktestWindow& bt) {
        bt.RunClicked();
        bt.WaitForRun();
        ASSERT_TRUE(bt.LastResult().has_value()) << (w->dialogs.Messages().empty() ? "" : w->dialogs.Messages()[0].text);
    }

    std::unique_ptr<kovo::testing::StartedWindow> w;
};

TEST_F(BacktestResultsTest, ARunFillsTheSignificanceColumnsAndTheNullChart) {
    ui::BacktestWindow& bt = Open();
    bt.SetInputs(SpringInputs());
    Run(bt);
    const backtest::BacktestResult& r = *bt.LastResult();
    auto* table = FindControl<QTableWidget>(bt, QStringLiteral("tblStatistics"));
    ASSERT_EQ(table->rowCount(), static_cast<int>(r.strategies.size()) + 1);
    for (int row = 0; row < table->rowCount(); ++row) {
        const int s = ui::StrategyOfRow(table, row);
        if (s < 0 || !r.strategies[static_cast<std::size_t>(s)].significance.shift) continue;
        const double p = r.strategies[static_cast<std::size_t>(s)].significance.shift->pValue;
        EXPECT_EQ(Cell(table, row, QStringLiteral("p")), QString::number(p, 'f', 4));
    }
    auto* events = FindControl<QTableWidget>(bt, QStringLiteral("tblEvents"));
    ASSERT_EQ(events->rowCount(), static_cast<int>(r.eventStudy.size()));
    ASSERT_EQ(events->columnCount(), 2 + 3 * 7);
    for (int row = 0; row < events->rowCount(); ++row) {
        const backtest::HorizonReturns& h = r.eventStudy[static_cast<std::size_t>(row)].horizons[0];
        const auto p = h.significance.PValue();
        EXPECT_EQ(Cell(events, row, QStringLiteral("+1 p")), p ? QString::number(*p, 'f', 4) : QStringLiteral("-"));
        EXPECT_EQ(Cell(events, row, QStringLiteral("+1 t (NW)")),
                  h.neweyWest ? QString::number(h.neweyWest->t, 'f', 2) : QStringLiteral("-"));
    }
    EXPECT_EQ(FindControl<QLabel>(bt, QStringLiteral("lblFamily"))->text(), ui::FamilySummary(r));
    const int shown = bt.SelectedStrategy();
    ASSERT_GE(shown, 0);
    const QString title = FindControl<QChartView>(bt, QStringLiteral("chtNull"))->chart()->title();
    if (r.strategies[static_cast<std::size_t>(shown)].significance.shift) {
        EXPECT_TRUE(title.contains(QStringLiteral("p = ")));
    }
    // Titles name the run; a series spanning less than a factor of 10 stays linear.
    EXPECT_TRUE(FindControl<QChartView>(bt, QStringLiteral("chtPrices"))->chart()->title().contains(QStringLiteral("spring.csv")));
    EXPECT_FALSE(FindControl<QCheckBox>(bt, QStringLiteral("chkLogScale"))->isChecked());

    // The wheel narrows the dates around the pointer, a double-click shows them all again,
    // and the tooltip names the date and close under the pointer.
    auto* view = FindControl<ui::ZoomChartView>(bt, QStringLiteral("chtPrices"));
    view->resize(800, 400);
    Settle();
    const auto span = [view] {
        const auto* axis = static_cast<const QDateTimeAxis*>(view->chart()->axes(Qt::Horizontal).front());
        return axis->min().msecsTo(axis->max());
    };
    const qint64 all = span();
    const QPointF at = view->chart()->plotArea().center();
    QWheelEvent wheel(at, view->mapToGlobal(at.toPoint()), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(view->viewport(), &wheel);
    EXPECT_NEAR(static_cast<double>(span()) / static_cast<double>(all), 0.8, 0.01);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at.toPoint());
    EXPECT_EQ(span(), all);
    const backtest::PricePoint& first = r.prices.points.front();
    EXPECT_EQ(view->tipText(ui::BacktestCharts::DayMsecs(first.day)),
              QString::fromStdString(calendar::FormatDayNumberIso8601(first.day)) + QStringLiteral("  close ") +
                  QString::number(first.close));
}

TEST_F(BacktestResultsTest, ChangingAnInputGreysTheResultsUntilTheNextRun) {
    ui::BacktestWindow& bt = Open();
    auto* exportButton = FindControl<QPushButton>(bt, QStringLiteral("cmdExportTable"));
    auto* results = FindControl<QSplitter>(bt, QStringLiteral("splitResults"));
    auto* summary = FindControl<QLabel>(bt, QStringLiteral("lblSummary"));
    EXPECT_FALSE(exportButton->isEnabled());  // nothing to export before a run
    bt.SetInputs(SpringInputs());
    Run(bt);
    const QString ran = summary->text();
    EXPECT_TRUE(exportButton->isEnabled());
    EXPECT_TRUE(results->isEnabled());

    auto* cost = FindControl<QDoubleSpinBox>(bt, QStringLiteral("spnCost"));
    cost->setValue(12.5);
    EXPECT_TRUE(bt.ResultsStale());
    EXPECT_FALSE(results->isEnabled());
    EXPECT_LT(FindControl<QChartView>(bt, QStringLiteral("chtPrices"))->chart()->opacity(), 1.0);
    EXPECT_FALSE(exportButton->isEnabled());
    EXPECT_FALSE(FindControl<QPushButton>(bt, QStringLiteral("cmdSaveChart"))->isEnabled());
    EXPECT_EQ(summary->text(), QStringLiteral("Inputs changed: run again to update the results."));
    w->dialogs.ClearRecords();
    EXPECT_FALSE(bt.ExportTable());  // Ctrl+S too refuses stale results
    ASSERT_EQ(w->dialogs.Messages().size(), 1u);

    cost->setValue(0);  // back to the inputs of the results
    EXPECT_TRUE(results->isEnabled());
    EXPECT_EQ(FindControl<QChartView>(bt, QStringLiteral("chtPrices"))->chart()->opacity(), 1.0);
    EXPECT_EQ(summary->text(), ran);
    FindControl<QLineEdit>(bt, QStringLiteral("txtTo"))->setText(QStringLiteral("2011-05-20"));
    EXPECT_FALSE(exportButton->isEnabled());
    Run(bt);
    EXPECT_TRUE(exportButton->isEnabled());
    EXPECT_TRUE(results->isEnabled());

    // The typed name gets the chosen filter's extension.
    w->dialogs.QueueFileName(TempPath("table"));
    ASSERT_TRUE(bt.ExportTable());
    EXPECT_TRUE(QFile::exists(QString::fromStdString(TempPath("table.csv"))));
}

TEST_F(BacktestResultsTest, TheTradesTabListsTheChosenRowsTrades) {
    ui::BacktestWindow& bt = Open();
    bt.SetInputs(SpringInputs());
    Run(bt);
    const backtest::BacktestResult& r = *bt.LastResult();
    auto* table = FindControl<QTableWidget>(bt, QStringLiteral("tblStatistics"));
    auto* trades = FindControl<QTableWidget>(bt, QStringLiteral("tblTrades"));
    table->sortByColumn(2, Qt::DescendingOrder);  // most trades first; rows keep their strategy
    for (int row : {0, ui::RowOfStrategy(table, ui::kBuyAndHoldRow)}) {
        table->selectRow(row);
        const int s = ui::StrategyOfRow(table, row);
        ASSERT_EQ(bt.SelectedStrategy(), s);
        const backtest::StrategyResult& chosen = s < 0 ? r.buyAndHold : r.strategies[static_cast<std::size_t>(s)];
        ASSERT_EQ(trades->rowCount(), static_cast<int>(chosen.trades.trades.size()));
        ASSERT_GT(trades->rowCount(), 0);
        const backtest::Trade& first = chosen.trades.trades.front();
        EXPECT_EQ(trades->item(0, 0)->text().toStdString(), calendar::FormatDayNumberIso8601(first.entryDay));
        EXPECT_EQ(trades->item(0, 1)->text().toDouble(), first.entryClose);
        EXPECT_EQ(trades->item(0, 4)->text(), QString::number(first.tradeReturn * 100, 'f', 2));
        EXPECT_EQ(trades->item(0, 5)->text().toInt(), first.exitDay - first.entryDay);
    }
    EXPECT_EQ(trades->rowCount(), 1);  // buy-and-hold's one trade
    EXPECT_EQ(FindControl<QComboBox>(bt, QStringLiteral("cboStrategy"))->currentText(), QStringLiteral("Buy and hold"));
}

TEST_F(BacktestResultsTest, TheHoldoutAndTestFieldsReachTheParameters) {
    ui::BacktestWindow& bt = Open();
    ui::BacktestInputs in = SpringInputs();
    in.holdout = true;
    in.holdoutFrom = "2011-04-15";
    in.costBasisPoints = 7.5;
    in.riskFreePct = 2;
    in.permutations = 300;
    in.seed = 42;
    bt.SetInputs(in);
    EXPECT_EQ(bt.Inputs(), in);
    Run(bt);
    const backtest::BacktestParams& p = bt.LastResult()->inputs;
    EXPECT_EQ(p.holdoutDay, kovo::testing::Day(2011, 4, 15));
    EXPECT_EQ(p.costBasisPoints, 7.5);
    EXPECT_EQ(p.riskFreePct, 2);
    EXPECT_EQ(p.permutations, 300);
    EXPECT_EQ(p.seed, 42u);
    ASSERT_EQ(bt.LastResult()->periods.size(), 2u);
    auto* holdout = FindControl<QTableWidget>(bt, QStringLiteral("tblHoldout"));
    ASSERT_EQ(holdout->rowCount(), static_cast<int>(bt.LastResult()->strategies.size()));
    for (int row = 0; row < holdout->rowCount(); ++row)
        EXPECT_TRUE(QStringList({QStringLiteral("yes"), QStringLiteral("no"), QStringLiteral("-")})
                        .contains(holdout->item(row, 8)->text()));

    // Unchecked, the day is not used; checked with no date or a bad one, the run is refused.
    FindControl<QCheckBox>(bt, QStringLiteral("chkHoldout"))->setChecked(false);
    Run(bt);
    EXPECT_FALSE(bt.LastResult()->inputs.holdoutDay.has_value());
    EXPECT_FALSE(FindControl<QTabWidget>(bt, QStringLiteral("tabResults"))->isTabEnabled(2));
    FindControl<QCheckBox>(bt, QStringLiteral("chkHoldout"))->setChecked(true);
    FindControl<QLineEdit>(bt, QStringLiteral("txtHoldout"))->setText(QStringLiteral("2011-04-31"));
    w->dialogs.ClearRecords();
    bt.RunClicked();
    bt.WaitForRun();
    ASSERT_EQ(w->dialogs.Messages().size(), 1u);
    EXPECT_EQ(w->dialogs.Messages()[0].text, "\"2011-04-31\" is not a date: dates are written YYYY-MM-DD.");
}

TEST_F(BacktestResultsTest, SizeSplitterAndPricesFileAreKeptBetweenStarts) {
    ui::BacktestWindow& bt = Open();
    bt.SetInputs(SpringInputs());
    bt.resize(760, 550);
    auto* split = FindControl<QSplitter>(bt, QStringLiteral("splitResults"));
    split->setSizes({150, 330});
    const QList<int> sizes = split->sizes();
    bt.close();
    EXPECT_EQ(ui::BacktestWindow::StoredPricesPath(), TempPath("spring.csv"));
    w.reset();
    w = Start();
    ui::BacktestWindow& again = Open();
    EXPECT_EQ(again.Inputs().pricesPath, TempPath("spring.csv"));
    EXPECT_EQ(again.size(), QSize(760, 550));
    EXPECT_EQ(FindControl<QSplitter>(again, QStringLiteral("splitResults"))->sizes(), sizes);
    // The program's end closes it too, and so keeps its size.
    again.resize(780, 540);
    w->dialogs.QueueAnswer(util::Answer::No);  // no saved state of the main window
    w->controls.cmdQuit()->click();
    ASSERT_TRUE(kovo::testing::Probe(w->main).ProgramEnded());
    w.reset();
    w = Start();
    EXPECT_EQ(Open().size(), QSize(780, 540));
}

// KOVO_BACKTEST_SHOT names a PNG of the window after a run of Earth and Jupiter
// (heliocentric) on the real closes of 2007 to 2014, for the documentation.
TEST_F(BacktestResultsTest, Screenshot) {
    const char* shot = std::getenv("KOVO_BACKTEST_SHOT");
    const std::string index = kovo::testing::SharedIndexFile();
    if (shot == nullptr || index.empty()) GTEST_SKIP() << "KOVO_BACKTEST_SHOT or the index history not given";
    ASSERT_TRUE(kovo::testing::WriteIndexAsCsv(index, TempPath("djia.csv")));
    ui::BacktestWindow& bt = Open();
    ui::BacktestInputs in;
    in.pricesPath = TempPath("djia.csv");
    bt.SetInputs(in);
    Run(bt);
    Settle();
    // As it opens on the screen (1366 x 768 under a configured offscreen platform).
    EXPECT_TRUE(bt.grab().save(QString::fromLocal8Bit(shot) + QStringLiteral("-opened.png")));
    bt.resize(1366, 860);
    const backtest::BacktestResult& r = *bt.LastResult();
    int shown = 0;
    for (std::size_t i = 0; i < r.strategies.size(); ++i)
        if (r.strategies[i].significance.Survives()) shown = static_cast<int>(i);
    bt.SelectStrategy(shown);
    auto* table = FindControl<QTableWidget>(bt, QStringLiteral("tblStatistics"));
    table->scrollToItem(table->item(0, 20));  // the significance columns
    auto* charts = FindControl<QTabWidget>(bt, QStringLiteral("tabCharts"));
    for (int tab : {0, 1, 2}) {
        charts->setCurrentIndex(tab);
        Settle();
        const QString name = QString::fromLocal8Bit(shot);
        EXPECT_TRUE(bt.grab().save(tab == 2 ? name : name + QString::number(tab) + QStringLiteral(".png")));
    }
    FindControl<QDoubleSpinBox>(bt, QStringLiteral("spnCost"))->setValue(10);
    Settle();
    EXPECT_TRUE(bt.grab().save(QString::fromLocal8Bit(shot) + QStringLiteral("-stale.png")));
}

}  // namespace
