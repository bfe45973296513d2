// The backtest window opened from the main window: inputs taken over, a run on the real
// ephemeris, the tables, the exports and a cancelled run.
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "backtest/backtest_table.h"
#include "export/backtest_export.h"
#include "calendar/calendar_services.h"
#include "test_support.h"
#include "ui/backtest_window.h"
#include "main_window_probe.h"
#include "ui_test_support.h"

using namespace kovo;

namespace {

class BacktestWindowTest : public kovo::testing::UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        w = Start();
    }

    ui::BacktestWindow& Open() {
        kovo::testing::FindControl<QPushButton>(w->main, QStringLiteral("cmdBacktest"))->click();
        return *kovo::testing::Probe(w->main).Backtest();
    }

    // Every weekday of March to May 2011, the close 1000 plus the days since 1 March.
    std::string Spring2011() {
        const std::int32_t first = kovo::testing::Day(2011, 3, 1);
        std::ofstream file(TempPath("spring.csv"));
        file << "Date,Close\n";
        for (std::int32_t d = first; d <= kovo::testing::Day(2011, 5, 31); ++d)
            if (d % 7 < 5) file << calendar::FormatDayNumberIso(d) << "," << 1000 + d - first << "\n";
        return TempPath("spring.csv");
    }

    std::unique_ptr<kovo::testing::StartedWindow> w;
};

TEST_F(BacktestWindowTest, OpensWithTheMainWindowsPairAspectsAndOrbs) {
    w->controls.chkAspectType(1)->setChecked(false);
    ui::BacktestWindow& bt = Open();
    EXPECT_TRUE(bt.isVisible());
    const ui::BacktestInputs in = bt.Inputs();
    EXPECT_EQ(in.firstPlanet, w->main.FirstPlanet());
    EXPECT_EQ(in.secondPlanet, w->main.SecondPlanet());
    EXPECT_FALSE(in.aspects[1]);
    EXPECT_EQ(in.orbDegrees[0], w->main.OrbDegrees(0));
    EXPECT_EQ(&Open(), &bt);  // a second click shows the same window
}

TEST_F(BacktestWindowTest, RunsShowsSortableTablesAndExportsThem) {
    ui::BacktestWindow& bt = Open();
    ui::BacktestInputs in;
    in.pricesPath = Spring2011();
    in.aspects = {false, true, false, false, false, false, false};
    bt.SetInputs(in);
    bt.RunClicked();
    bt.WaitForRun();
    ASSERT_TRUE(bt.LastResult().has_value()) << (w->dialogs.Messages().empty() ? "" : w->dialogs.Messages()[0].text);
    EXPECT_TRUE(kovo::testing::FindControl<QLabel>(bt, QStringLiteral("lblSummary"))->text().endsWith(QStringLiteral(" closes, column Close")));
    auto* table = kovo::testing::FindControl<QTableWidget>(bt, QStringLiteral("tblStatistics"));
    ASSERT_EQ(table->rowCount(), 4);  // three orbs of the opposition and buy-and-hold
    EXPECT_EQ(table->item(0, 1)->text(), QString::fromUtf8("10°"));  // unsorted until a heading is clicked
    EXPECT_EQ(table->item(3, 0)->text(), QStringLiteral("Buy and hold"));
    table->sortByColumn(3, Qt::DescendingOrder);  // profitable share
    EXPECT_EQ(table->item(0, 3)->text(), QStringLiteral("100.00"));
    table->sortByColumn(2, Qt::AscendingOrder);
    EXPECT_LE(table->item(0, 2)->text().toInt(), table->item(3, 2)->text().toInt());
    EXPECT_EQ(kovo::testing::FindControl<QTableWidget>(bt, QStringLiteral("tblEvents"))->rowCount(), 1);
    EXPECT_EQ(kovo::testing::FindControl<QComboBox>(bt, QStringLiteral("cboStrategy"))->currentText(),
              QString::fromUtf8("Opposition 10°"));

    w->dialogs.QueueFileName(TempPath("table.csv"));
    ASSERT_TRUE(bt.ExportTable());
    std::ifstream csv(TempPath("table.csv"), std::ios::binary);
    std::stringstream written;
    written << csv.rdbuf();
    EXPECT_EQ(written.str(), exporting::BacktestCsv(*bt.LastResult()));
    std::ifstream events(TempPath("table-events.csv"), std::ios::binary);
    std::stringstream writtenEvents;
    writtenEvents << events.rdbuf();
    EXPECT_EQ(writtenEvents.str(), exporting::EventStudyCsv(*bt.LastResult()));

    w->dialogs.QueueFileName(TempPath("prices.png"));
    ASSERT_TRUE(bt.SavePriceChart());
    QFile png(QString::fromStdString(TempPath("prices.png")));
    ASSERT_TRUE(png.open(QIODevice::ReadOnly));
    EXPECT_EQ(png.read(4), QByteArray("\x89PNG"));
    w->dialogs.QueueFileName(TempPath("no/such/folder/equity.png"));
    EXPECT_FALSE(bt.SaveEquityChart());
    EXPECT_EQ(w->dialogs.Messages().back().text.rfind("Cannot write", 0), 0u);
}

TEST_F(BacktestWindowTest, RefusesBadFilesAndCancelsALongRun) {
    ui::BacktestWindow& bt = Open();
    std::ofstream(TempPath("zero.csv")) << "Date,Close\n2011-03-01,5\n2011-03-02,0\n";
    ui::BacktestInputs in;
    in.pricesPath = TempPath("zero.csv");
    bt.SetInputs(in);
    bt.RunClicked();
    bt.WaitForRun();
    ASSERT_FALSE(w->dialogs.Messages().empty());
    EXPECT_EQ(w->dialogs.Messages().back().text, TempPath("zero.csv") + ": line 3: a close of 0.00 is not positive");
    EXPECT_FALSE(bt.LastResult().has_value());

    // A century of Mars and Jupiter; Cancel is pressed at the scan's first yield.
    std::ofstream(TempPath("century.csv")) << "Date,Close\n1900-01-02,5\n1999-12-31,6\n";
    in.pricesPath = TempPath("century.csv");
    in.firstPlanet = 4;
    in.heliocentric = false;
    bt.SetInputs(in);
    QTimer::singleShot(0, &bt, [&bt] { bt.CancelClicked(); });
    bt.RunClicked();
    bt.WaitForRun();
    EXPECT_FALSE(bt.Running());
    EXPECT_FALSE(bt.LastResult().has_value());
    EXPECT_EQ(kovo::testing::FindControl<QLabel>(bt, QStringLiteral("lblSummary"))->text(), QStringLiteral("Cancelled."));
}

// A century of Mercury and Venus (three-hour steps) scans on a worker thread: the window
// keeps answering its events, the bar moves, a second click starts nothing, and Cancel
// ends the run at its next step. KOVO_SCREENSHOT names a PNG of the window mid-run.
TEST_F(BacktestWindowTest, TheWindowAnswersEventsWhileALongBacktestRuns) {
    ui::BacktestWindow& bt = Open();
    std::ofstream(TempPath("century.csv")) << "Date,Close\n1900-01-02,5\n1999-12-31,6\n";
    ui::BacktestInputs in;
    in.pricesPath = TempPath("century.csv");
    in.firstPlanet = 2;   // Mercury
    in.secondPlanet = 3;  // Venus
    in.heliocentric = false;
    bt.SetInputs(in);
    auto* bar = kovo::testing::FindControl<QProgressBar>(bt, QStringLiteral("barProgress"));
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start(5);
    bt.RunClicked();
    ASSERT_TRUE(bt.Running());
    while (bt.Running() && bar->value() < 300) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    ASSERT_TRUE(bt.Running()) << "the century ended before a third of it was seen";
    EXPECT_GT(ticks, 0);
    EXPECT_FALSE(kovo::testing::FindControl<QPushButton>(bt, QStringLiteral("cmdRun"))->isEnabled());
    bt.RunClicked();  // ignored while a run is under way
    if (const char* shot = std::getenv("KOVO_SCREENSHOT")) bt.grab().save(QString::fromLocal8Bit(shot));
    bt.CancelClicked();
    bt.WaitForRun();
    EXPECT_FALSE(bt.LastResult().has_value());
    EXPECT_EQ(kovo::testing::FindControl<QLabel>(bt, QStringLiteral("lblSummary"))->text(), QStringLiteral("Cancelled."));
}

// Its boxes open over the backtest window, not over the main window behind it; the main
// window's own boxes stay the main window's.
TEST_F(BacktestWindowTest, ItsBoxesBelongToItself) {
    ui::BacktestWindow& bt = Open();
    w->dialogs.ClearRecords();
    bt.SetInputs({});
    bt.RunClicked();  // no file chosen: refused
    bt.WaitForRun();
    EXPECT_FALSE(bt.ExportTable());  // nothing run yet: refused
    kovo::testing::FindControl<QPushButton>(bt, QStringLiteral("cmdBrowse"))->click();
    ASSERT_EQ(w->dialogs.Messages().size(), 2u);
    ASSERT_EQ(w->dialogs.FileRequests().size(), 1u);
    ASSERT_EQ(w->dialogs.Owners().size(), 3u);
    for (const QWidget* owner : w->dialogs.Owners()) EXPECT_EQ(owner, &bt);
    EXPECT_EQ(w->dialogs.Owner(), nullptr);
}

// Return in a field runs, Ctrl+S exports the table, Escape and Ctrl+W close, and the
// buttons' tooltips name their keys.
TEST_F(BacktestWindowTest, TheKeyboardRunsExportsAndCloses) {
    ui::BacktestWindow& bt = Open();
    const auto activate = [&bt] {
        // The offscreen platform leaves the main window active; a user's click would not.
        QApplication::setActiveWindow(&bt);
        return QApplication::activeWindow() == &bt;
    };
    ASSERT_TRUE(activate());
    std::ofstream(TempPath("zero.csv")) << "Date,Close\n2011-03-01,5\n2011-03-02,0\n";
    auto* prices = kovo::testing::FindControl<QLineEdit>(bt, QStringLiteral("txtPrices"));
    prices->setText(QString::fromStdString(TempPath("zero.csv")));
    w->dialogs.ClearRecords();
    QTest::keyClick(prices, Qt::Key_Return);
    ASSERT_EQ(w->dialogs.Messages().size(), 1u);
    EXPECT_EQ(w->dialogs.Messages()[0].text, TempPath("zero.csv") + ": line 3: a close of 0.00 is not positive");

    QTest::keyClick(prices, Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(w->dialogs.Messages().size(), 2u);
    EXPECT_EQ(w->dialogs.Messages()[1].text, "Run a backtest first.");
    EXPECT_EQ(kovo::testing::FindControl<QPushButton>(bt, QStringLiteral("cmdExportTable"))->toolTip(),
              QStringLiteral("Export table (Ctrl+S)"));
    EXPECT_TRUE(kovo::testing::FindControl<QPushButton>(bt, QStringLiteral("cmdRun"))
                    ->toolTip()
                    .contains(QStringLiteral("Return")));

    QTest::keyClick(prices, Qt::Key_Escape);
    EXPECT_FALSE(bt.isVisible());
    Open();
    ASSERT_TRUE(activate());
    QTest::keyClick(&bt, Qt::Key_W, Qt::ControlModifier);
    EXPECT_FALSE(bt.isVisible());
}

}  // namespace
