// The research window opened from the main window: a small sweep run through the window
// gives the core's table cell for cell, the filters, the plot and the table follow each
// other, survivors are drawn apart and named, a pair's row runs in the backtest window,
// refusals are shown and Escape stops a long sweep.
#include <QApplication>
#include <QChartView>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScatterSeries>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>

#include "astro/catalogue.h"
#include "backtest/calibration_walks.h"
#include "backtest/weekday_prices.h"
#include "calendar/calendar_services.h"
#include "export/sweep_export.h"
#include "fake_run_host.h"
#include "sweep/sweep_pairs.h"
#include "test_support.h"
#include "ui/backtest_window.h"
#include "ui/research_plot.h"
#include "ui/research_table.h"
#include "ui/research_window.h"
#include "ui_test_support.h"

using namespace kovo;
using kovo::testing::FindControl;

namespace {

constexpr const char* kPairs = "Mars-Jupiter,Sun-Venus";

class ResearchWindowTest : public kovo::testing::UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        w = Start();
    }

    ui::ResearchWindow& Open() {
        FindControl<QPushButton>(w->main, QStringLiteral("cmdResearch"))->click();
        return *kovo::testing::Probe(w->main).Research();
    }

    // A seeded walk over the weekdays of 2024, written as a CSV file; `planted` steps
    // gain 1 % more.
    std::string WalkFile(const std::vector<bool>& planted = {}) {
        const backtest::PriceSeries walk =
            kovo::testing::RandomWalk(backtest::Weekdays2024(), 11, {.sd = 0.012, .plantedExtra = 0.01}, planted);
        std::ofstream file(TempPath("walk.csv"));
        file << "Date,Close\n";
        for (const backtest::PricePoint& p : walk.points) {
            char close[32];
            std::snprintf(close, sizeof close, "%.4f", p.close);
            file << calendar::FormatDayNumberIso(p.day) << "," << close << "\n";
        }
        return TempPath("walk.csv");
    }

    // Both sides of two pairs' aspects and the Moon's phases, with a hold-out.
    static void Fill(ui::ResearchWindow& rw, const std::string& prices) {
        FindControl<QLineEdit>(rw, QStringLiteral("txtPrices"))->setText(QString::fromStdString(prices));
        FindControl<QComboBox>(rw, QStringLiteral("cboPairs"))->setCurrentText(QString::fromLatin1(kPairs));
        FindControl<QComboBox>(rw, QStringLiteral("cboDirection"))->setCurrentIndex(2);
        FindControl<QCheckBox>(rw, QStringLiteral("chkPhases"))->setChecked(true);
        FindControl<QCheckBox>(rw, QStringLiteral("chkHoldout"))->setChecked(true);
        FindControl<QLineEdit>(rw, QStringLiteral("txtHoldout"))->setText(QStringLiteral("2024-07-01"));
        FindControl<QSpinBox>(rw, QStringLiteral("spnPermutations"))->setValue(200);
        FindControl<QSpinBox>(rw, QStringLiteral("spnSeed"))->setValue(7);
        FindControl<QSpinBox>(rw, QStringLiteral("spnJobs"))->setValue(2);
    }

    // The same sweep asked of the core directly.
    static sweep::SweepResult CoreSweep(const std::string& prices) {
        sweep::SweepRequest request;
        request.pairs = std::get<std::vector<sweep::SweepPair>>(sweep::ParsePairs(kPairs));
        request.sides = {backtest::Side::Long, backtest::Side::Short};
        request.events.phases = true;
        request.holdoutDay = kovo::testing::Day(2024, 7, 1);
        request.permutations = 200;
        request.seed = 7;
        return sweep::RunSweep(request, backtest::ReadPriceSeriesFile(prices).series, {});
    }

    const sweep::SweepResult& RunSmallSweep(ui::ResearchWindow& rw) {
        Fill(rw, WalkFile());
        rw.RunClicked();
        rw.WaitForRun();
        if (!rw.LastResult()) throw std::logic_error("no result: " + rw.StatusText().toStdString());
        return *rw.LastResult();
    }

    static std::vector<int> ShownRules(const QTableWidget* table) {
        std::vector<int> shown;
        for (int r = 0; r < table->rowCount(); ++r)
            if (!table->isRowHidden(r)) shown.push_back(ui::SweepRowOf(table, r));
        std::sort(shown.begin(), shown.end());
        return shown;
    }

    static std::string FileText(const std::string& path) {
        std::ifstream file(path, std::ios::binary);
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }

    std::unique_ptr<kovo::testing::StartedWindow> w;
};

TEST_F(ResearchWindowTest, ASweepThroughTheWindowShowsTheCoresTableAndExportsIt) {
    ui::ResearchWindow& rw = Open();
    const sweep::SweepResult& shown = RunSmallSweep(rw);
    const sweep::SweepResult core = CoreSweep(TempPath("walk.csv"));
    ASSERT_EQ(core.outcome, util::RunOutcome::Completed) << core.refusal;
    const exporting::ExportTable expected = exporting::SweepTable(core);

    const auto* table = FindControl<QTableWidget>(rw, QStringLiteral("tblRules"));
    ASSERT_EQ(table->columnCount(), static_cast<int>(expected.columns.size()));
    ASSERT_EQ(table->rowCount(), static_cast<int>(expected.rows.size()));
    for (int r = 0; r < table->rowCount(); ++r) {
        ASSERT_EQ(ui::SweepRowOf(table, r), r);  // in rank order until a heading is clicked
        for (int c = 0; c < table->columnCount(); ++c)
            ASSERT_EQ(table->item(r, c)->text().toStdString(), expected.rows[r][c].text)
                << expected.columns[c] << " of rank " << r + 1;
    }
    EXPECT_EQ(table->horizontalHeaderItem(21)->text(), QStringLiteral("Excess %"));
    EXPECT_TRUE(FindControl<QLabel>(rw, QStringLiteral("lblHeading"))->text().startsWith(QStringLiteral("Research sweep of 2 pairs")));

    // Counts sort as numbers: 9 before 10.
    auto* sorted = FindControl<QTableWidget>(rw, QStringLiteral("tblRules"));
    sorted->sortByColumn(7, Qt::AscendingOrder);
    for (int r = 1; r < sorted->rowCount(); ++r)
        ASSERT_LE(sorted->item(r - 1, 7)->text().toInt(), sorted->item(r, 7)->text().toInt());

    w->dialogs.QueueFileName(TempPath("rules.csv"));
    ASSERT_TRUE(rw.ExportTable());
    EXPECT_EQ(FileText(TempPath("rules.csv")), exporting::SweepCsv(core));
    w->dialogs.QueueFileName(TempPath("rules.json"));
    ASSERT_TRUE(rw.ExportTable());
    EXPECT_EQ(FileText(TempPath("rules.json")), exporting::SweepJson(shown));
    w->dialogs.QueueFileName(TempPath("plot.png"));
    ASSERT_TRUE(rw.SavePlot());
    EXPECT_EQ(FileText(TempPath("plot.png")).substr(0, 4), "\x89PNG");
    w->dialogs.QueueFileName(TempPath("plot"));
    w->dialogs.QueueSelectedFilter("SVG drawings (*.svg)");
    ASSERT_TRUE(rw.SavePlot());
    EXPECT_NE(FileText(TempPath("plot.svg")).find("<svg"), std::string::npos);
    w->dialogs.QueueFileName(TempPath("no/such/folder/rules.csv"));
    EXPECT_FALSE(rw.ExportTable());
    EXPECT_EQ(w->dialogs.Messages().back().text.rfind("Cannot write " + TempPath("no/such/folder/rules.csv"), 0), 0u);
}

TEST_F(ResearchWindowTest, FiltersHideTheRightRowsAndThePlotAndTableFollowEachOther) {
    ui::ResearchWindow& rw = Open();
    rw.show();
    const sweep::SweepResult& result = RunSmallSweep(rw);
    const auto* table = FindControl<QTableWidget>(rw, QStringLiteral("tblRules"));
    const auto expect = [&](const std::function<bool(const sweep::SweepRow&)>& wanted) {
        std::vector<int> rules;
        for (std::size_t i = 0; i < result.rows.size(); ++i)
            if (wanted(result.rows[i])) rules.push_back(static_cast<int>(i));
        return rules;
    };
    auto* pair = FindControl<QComboBox>(rw, QStringLiteral("cboPairFilter"));
    auto* aspect = FindControl<QComboBox>(rw, QStringLiteral("cboAspectFilter"));
    auto* maxQ = FindControl<QDoubleSpinBox>(rw, QStringLiteral("spnMaxQ"));
    pair->setCurrentText(QStringLiteral("mars"));
    const std::vector<int> mars = expect([](const sweep::SweepRow& r) { return sweep::UnitName(r.unit) == "Mars-Jupiter"; });
    ASSERT_FALSE(mars.empty());
    EXPECT_EQ(ShownRules(table), mars);
    pair->setCurrentText(QString());
    aspect->setCurrentIndex(aspect->findText(QStringLiteral("Trine")));
    EXPECT_EQ(ShownRules(table), expect([](const sweep::SweepRow& r) { return r.rule == "Trine"; }));
    aspect->setCurrentIndex(aspect->findText(QStringLiteral("Named rules")));
    EXPECT_EQ(ShownRules(table), expect([](const sweep::SweepRow& r) { return r.unit.kind == sweep::UnitKind::Lunar; }));
    aspect->setCurrentIndex(0);
    maxQ->setValue(0.9);
    const auto lowQ = [](const sweep::SweepRow& r) { return r[sweep::Figure::Q] && *r[sweep::Figure::Q] <= 0.9; };
    EXPECT_EQ(ShownRules(table), expect(lowQ));
    const ui::ResearchPlot& plot = *rw.findChild<ui::ResearchPlot*>();
    EXPECT_EQ(plot.Plotted(), expect([&](const sweep::SweepRow& r) {
                  return lowQ(r) && r[sweep::Figure::ExcessPct].has_value() && r[sweep::Figure::P].has_value();
              }));
    maxQ->setValue(1);

    // A click on a point well apart from the others selects its row; a row chosen in the
    // table rings its point.
    QChartView* view = FindControl<QChartView>(rw, QStringLiteral("chartRules"));
    rw.resize(1200, 1000);
    Settle();
    // Inside the plot area: a point on an axis lies under the axis line.
    const QRect inside = view->chart()->plotArea().toRect().adjusted(4, 4, -4, -4);
    int lonely = -1;
    for (const int rule : plot.Plotted()) {
        const QPoint at = *plot.PointPosition(rule);
        bool apart = inside.contains(at);
        for (const int other : plot.Plotted())
            if (other != rule && (plot.PointPosition(other).value() - at).manhattanLength() < 16) apart = false;
        if (apart) lonely = rule;
    }
    ASSERT_GE(lonely, 0) << "every point has a neighbour within 16 pixels";
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, *plot.PointPosition(lonely));
    EXPECT_EQ(rw.SelectedRule(), lonely);
    EXPECT_EQ(plot.Highlighted(), lonely);
    const int other = lonely == 0 ? 1 : 0;
    FindControl<QTableWidget>(rw, QStringLiteral("tblRules"))->selectRow(ui::TableRowOf(table, other));
    EXPECT_EQ(plot.Highlighted(), plot.PointPosition(other) ? other : -1);
}

TEST_F(ResearchWindowTest, ADoubleClickedPairRuleRunsInTheBacktestWindow) {
    ui::ResearchWindow& rw = Open();
    rw.show();
    const sweep::SweepResult& result = RunSmallSweep(rw);
    int rule = -1;
    for (std::size_t i = 0; i < result.rows.size() && rule < 0; ++i) {
        const sweep::SweepRow& r = result.rows[i];
        if (sweep::UnitName(r.unit) == "Mars-Jupiter" && r.side == backtest::Side::Short && r.orbDegrees == 5 &&
            r[sweep::Figure::P])
            rule = static_cast<int>(i);
    }
    ASSERT_GE(rule, 0);
    const sweep::SweepRow& row = result.rows[static_cast<std::size_t>(rule)];
    auto* table = FindControl<QTableWidget>(rw, QStringLiteral("tblRules"));
    QTableWidgetItem* item = table->item(ui::TableRowOf(table, rule), 1);
    table->scrollToItem(item);
    // A double-click: a click, then a second press that is the double-click.
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualItemRect(item).center());
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, table->visualItemRect(item).center());

    ui::BacktestWindow* bt = kovo::testing::Probe(w->main).Backtest();
    ASSERT_NE(bt, nullptr);
    const ui::BacktestInputs in = bt->Inputs();
    EXPECT_EQ(in.pricesPath, TempPath("walk.csv"));
    EXPECT_EQ(in.firstPlanet, 4);
    EXPECT_EQ(in.secondPlanet, 5);
    EXPECT_FALSE(in.heliocentric);
    EXPECT_TRUE(in.shortSide);
    EXPECT_TRUE(in.holdout);
    EXPECT_EQ(in.holdoutFrom, "2024-07-01");
    EXPECT_EQ(in.from, "");
    EXPECT_EQ(in.permutations, 200);
    EXPECT_EQ(in.seed, 7);
    ASSERT_TRUE(bt->Running());
    bt->WaitForRun();
    ASSERT_TRUE(bt->LastResult().has_value());
    ASSERT_EQ(bt->SelectedStrategy(), row.ruleIndex);
    // The single backtest of the row's pair and side gives the row's own figures.
    const backtest::StrategyResult& strategy = bt->LastResult()->strategies[static_cast<std::size_t>(row.ruleIndex)];
    EXPECT_EQ(strategy.trades.orbDegrees, 5);
    EXPECT_EQ(strategy.significance.PValue(), row[sweep::Figure::P]);
    EXPECT_EQ(strategy.significance.excessPct, row[sweep::Figure::ExcessPct]);

    // A Moon phase rule has no pair for the backtest window: the status line says so.
    int phase = -1;
    for (std::size_t i = 0; i < result.rows.size() && phase < 0; ++i)
        if (result.rows[i].unit.kind == sweep::UnitKind::Lunar) phase = static_cast<int>(i);
    ASSERT_GE(phase, 0);
    EXPECT_FALSE(rw.OpenInBacktest(phase));
    EXPECT_FALSE(bt->Running());
    EXPECT_TRUE(rw.StatusText().contains(QStringLiteral("kovo-report backtest --moon"))) << rw.StatusText().toStdString();
}

// An effect planted on the days the Sun-Moon trine's outer orb holds (24 stays a year):
// the rules it makes pass q < 0.10 form their own series, and the best of them carry
// their names.
TEST_F(ResearchWindowTest, SurvivorsAreDrawnApartAndNamed) {
    backtest::BacktestParams params;
    params.second = astro::Body::Moon;
    params.heliocentric = false;
    params.aspects = {false, false, false, true, false, false, false};
    params.permutations = 1;
    kovo::testing::FakeRunHost host;
    const backtest::PriceSeries days = backtest::Weekdays2024();
    const backtest::BacktestResult plain = backtest::RunBacktest(params, days, host);
    ASSERT_FALSE(plain.strategies.empty()) << (host.messages.empty() ? "" : host.messages.back().text);
    const backtest::StrategyTrades& trine = plain.strategies.front().trades;
    ASSERT_EQ(trine.orbDegrees, 10);
    const std::string prices = WalkFile(kovo::testing::HeldSteps(trine.trades, days.Size()));

    ui::ResearchWindow& rw = Open();
    FindControl<QLineEdit>(rw, QStringLiteral("txtPrices"))->setText(QString::fromStdString(prices));
    FindControl<QComboBox>(rw, QStringLiteral("cboPairs"))->setCurrentText(QStringLiteral("Sun-Moon,Mars-Jupiter"));
    FindControl<QSpinBox>(rw, QStringLiteral("spnPermutations"))->setValue(2000);
    rw.RunClicked();
    rw.WaitForRun();
    ASSERT_TRUE(rw.LastResult().has_value());
    const sweep::SweepResult& result = *rw.LastResult();
    ASSERT_GT(result.count.passing, 0) << "the planted effect was not found";

    std::vector<QString> survivors;
    for (const sweep::SweepRow& row : result.rows)
        if (row.Survives()) survivors.push_back(ui::ResearchPlot::RuleLabel(row));
    QStringList named;
    int drawnApart = -1;
    for (QAbstractSeries* series : FindControl<QChartView>(rw, QStringLiteral("chartRules"))->chart()->series()) {
        const auto* points = static_cast<QScatterSeries*>(series);
        if (points->name() == QStringLiteral("Survivors: q below 0.10")) drawnApart = static_cast<int>(points->count());
        if (points->pointLabelsVisible()) named << points->pointLabelsFormat();
    }
    EXPECT_EQ(drawnApart, static_cast<int>(survivors.size()));
    ASSERT_EQ(named.size(), std::min<qsizetype>(static_cast<qsizetype>(survivors.size()), ui::ResearchPlot::kMaxLabels));
    for (qsizetype i = 0; i < named.size(); ++i) EXPECT_EQ(named[i], survivors[static_cast<std::size_t>(i)]);
    EXPECT_EQ(named.front(), QString::fromUtf8("Sun-Moon Trine 10° long"));
}

TEST_F(ResearchWindowTest, RefusalsAreShownAndReturnRuns) {
    ui::ResearchWindow& rw = Open();
    QApplication::setActiveWindow(&rw);
    Fill(rw, WalkFile());
    auto* pairs = FindControl<QComboBox>(rw, QStringLiteral("cboPairs"));
    pairs->setCurrentText(QStringLiteral("Mars-Mars"));
    w->dialogs.ClearRecords();
    QTest::keyClick(pairs->lineEdit(), Qt::Key_Return);
    ASSERT_EQ(w->dialogs.Messages().size(), 1u);
    EXPECT_EQ(w->dialogs.Messages()[0].text, "Pairs: \"Mars-Mars\": a pair is two different bodies.");
    EXPECT_EQ(w->dialogs.Owners().back(), &rw);
    pairs->setCurrentText(QStringLiteral("Mars-Jupiter"));
    FindControl<QSpinBox>(rw, QStringLiteral("spnOrb2"))->setValue(5);
    rw.RunClicked();
    EXPECT_EQ(w->dialogs.Messages().back().text, "Orbs must be strictly decreasing: outer, then middle, then inner.");
    FindControl<QSpinBox>(rw, QStringLiteral("spnOrb2"))->setValue(2);

    FindControl<QLineEdit>(rw, QStringLiteral("txtFrom"))->setText(QStringLiteral("2024-02-30"));
    rw.RunClicked();
    EXPECT_EQ(w->dialogs.Messages().back().text, "\"2024-02-30\" is not a date: dates are written YYYY-MM-DD.");
    FindControl<QLineEdit>(rw, QStringLiteral("txtFrom"))->setText(QStringLiteral("2030-01-01"));
    rw.RunClicked();
    rw.WaitForRun();  // the core refuses a range without closes
    EXPECT_EQ(rw.LastOutcome(), util::RunOutcome::Refused);
    EXPECT_EQ(w->dialogs.Messages().size(), 4u);
    EXPECT_FALSE(rw.LastResult().has_value());

    std::ofstream(TempPath("zero.csv")) << "Date,Close\n2011-03-01,5\n2011-03-02,0\n";
    FindControl<QLineEdit>(rw, QStringLiteral("txtPrices"))->setText(QString::fromStdString(TempPath("zero.csv")));
    rw.RunClicked();
    EXPECT_EQ(w->dialogs.Messages().back().text, TempPath("zero.csv") + ": line 3: a close of 0.00 is not positive");
    EXPECT_FALSE(rw.Running());
}

// Every pair with their cycles at full strength: the bar counts the units, the window
// answers its events meanwhile, and Escape stops the sweep with nothing shown.
TEST_F(ResearchWindowTest, EscapeStopsALongSweep) {
    ui::ResearchWindow& rw = Open();
    rw.show();
    QApplication::setActiveWindow(&rw);
    Fill(rw, WalkFile());
    FindControl<QComboBox>(rw, QStringLiteral("cboPairs"))->setCurrentText(QStringLiteral("all"));
    FindControl<QCheckBox>(rw, QStringLiteral("chkStations"))->setChecked(true);
    FindControl<QSpinBox>(rw, QStringLiteral("spnPermutations"))->setValue(20000);
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start(5);
    rw.RunClicked();
    ASSERT_TRUE(rw.Running());
    auto* bar = FindControl<QProgressBar>(rw, QStringLiteral("barProgress"));
    while (rw.Running() && bar->value() < 1) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    ASSERT_TRUE(rw.Running()) << "the sweep ended before it could be stopped";
    EXPECT_EQ(bar->maximum(), 72 + 8 + 1);  // the pairs, Mercury ... Pluto's cycles, the Moon
    EXPECT_GT(ticks, 0);
    QTest::keyClick(&rw, Qt::Key_Escape);
    rw.WaitForRun();
    EXPECT_EQ(rw.LastOutcome(), util::RunOutcome::Stopped);
    EXPECT_FALSE(rw.LastResult().has_value());
    EXPECT_EQ(FindControl<QTableWidget>(rw, QStringLiteral("tblRules"))->rowCount(), 0);
    EXPECT_EQ(rw.StatusText(), QStringLiteral("Cancelled."));
    EXPECT_TRUE(rw.isVisible());
}

// KOVO_RESEARCH_SHOT names a PNG of the window after a sweep of every pair, both ways,
// over the shared 2007-2014 closes.
TEST_F(ResearchWindowTest, Screenshot) {
    const char* shot = std::getenv("KOVO_RESEARCH_SHOT");
    const std::string index = kovo::testing::SharedIndexFile();
    if (shot == nullptr || index.empty()) GTEST_SKIP() << "KOVO_RESEARCH_SHOT or the index history not given";
    ASSERT_TRUE(kovo::testing::WriteIndexAsCsv(index, TempPath("djia.csv")));
    ui::ResearchWindow& rw = Open();
    FindControl<QLineEdit>(rw, QStringLiteral("txtPrices"))->setText(QString::fromStdString(TempPath("djia.csv")));
    FindControl<QComboBox>(rw, QStringLiteral("cboPairs"))->setCurrentText(QStringLiteral("all"));
    FindControl<QComboBox>(rw, QStringLiteral("cboDirection"))->setCurrentIndex(2);
    FindControl<QCheckBox>(rw, QStringLiteral("chkHoldout"))->setChecked(true);
    FindControl<QLineEdit>(rw, QStringLiteral("txtHoldout"))->setText(QStringLiteral("2011-01-01"));
    rw.resize(1366, 900);
    rw.RunClicked();
    rw.WaitForRun();
    ASSERT_TRUE(rw.LastResult().has_value());
    rw.SelectRule(0);
    Settle();
    EXPECT_TRUE(rw.grab().save(QString::fromLocal8Bit(shot)));
}

}  // namespace
