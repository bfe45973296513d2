// The cycles window opened from the main window: a run on the real ephemeris, a refusal,
// the export against kovo-report's, the keys, and the named points' editor and file.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include <QSpinBox>

#include "main_window_probe.h"
#include "report/report_result.h"
#include "ui/chart_view.h"
#include "ui/chart_window.h"
#include "report/cycles_command.h"
#include "ui/cycles_window.h"
#include "ui/points_dialog.h"
#include "ui_test_support.h"

using namespace kovo;

namespace {

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class CyclesWindowTest : public kovo::testing::UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        w = Start();
        kovo::testing::FindControl<QPushButton>(w->main, QStringLiteral("cmdCycles"))->click();
        cycles = w->main.findChild<ui::CyclesWindow*>(QStringLiteral("frmCycles"));
        ASSERT_NE(cycles, nullptr);
    }

    template <typename Control>
    Control* Get(const char* name) const {
        return kovo::testing::FindControl<Control>(*cycles, QString::fromLatin1(name));
    }

    void Range(const char* from, const char* to) {
        Get<QLineEdit>("txtFrom")->setText(QString::fromLatin1(from));
        Get<QLineEdit>("txtTo")->setText(QString::fromLatin1(to));
    }

    void Run() {
        cycles->RunClicked();
        cycles->WaitForRun();
    }

    std::unique_ptr<kovo::testing::StartedWindow> w;
    ui::CyclesWindow* cycles = nullptr;
};

TEST_F(CyclesWindowTest, MercuryStationsOf2024FillTheTableAndExportAsTheCommandLineWrites) {
    EXPECT_TRUE(cycles->isVisible());
    EXPECT_EQ(Get<QComboBox>("cboBody")->currentText(), QStringLiteral("Mercury"));
    Range("2024-01-01", "2024-12-31");
    QTest::keyClick(Get<QLineEdit>("txtTo"), Qt::Key_Return);
    cycles->WaitForRun();
    // Three cycles turn retrograde in 2024; the table also holds the end of the one that
    // turned in December 2023 (station direct 2024-01-02), its earlier cells empty.
    const auto* table = Get<QTableWidget>("tblResults");
    ASSERT_EQ(table->rowCount(), 4) << cycles->StatusText().toStdString();
    EXPECT_EQ(cycles->StatusText(),
              QStringLiteral("4 retrograde cycles of Mercury (2 cut by the range: their parts outside it are empty)."));
    int retrograde = 0;
    for (int row = 0; row < table->rowCount(); ++row)
        retrograde += table->item(row, 6)->text().startsWith(QStringLiteral("2024-"));  // station_retrograde_utc
    EXPECT_EQ(retrograde, 3);
    EXPECT_EQ(table->horizontalHeaderItem(6)->text(), QStringLiteral("station_retrograde_utc"));
    EXPECT_EQ(table->item(1, 6)->text(), QStringLiteral("2024-04-01T22:14Z"));
    EXPECT_EQ(table->item(0, 0)->text(), QStringLiteral("Mercury"));

    w->dialogs.QueueFileName(TempPath("mercury"));
    w->dialogs.QueueSelectedFilter("CSV files (*.csv)");
    ASSERT_TRUE(cycles->ExportClicked());
    std::ostringstream out;
    std::ostringstream errors;
    ASSERT_EQ(report::RunCyclesCommand({"stations", "--from", "2024-01-01", "--to", "2024-12-31", "--format", "csv"}, out,
                                       errors),
              0)
        << errors.str();
    EXPECT_EQ(Slurp(TempPath("mercury.csv")), out.str());
}

TEST_F(CyclesWindowTest, RefusalsGoToTheStatusLineAndEmptyTheTable) {
    Range("2024-01-01", "2024-12-31");
    Run();
    ASSERT_GT(Get<QTableWidget>("tblResults")->rowCount(), 0);
    Get<QRadioButton>("optHeliocentric")->setChecked(true);
    Run();
    EXPECT_TRUE(cycles->StatusText().startsWith(QStringLiteral("Heliocentric positions never station")))
        << cycles->StatusText().toStdString();
    EXPECT_EQ(Get<QTableWidget>("tblResults")->rowCount(), 0);
    EXPECT_FALSE(cycles->LastFound());
    EXPECT_FALSE(cycles->ExportClicked());  // nothing shown, nothing to write
    EXPECT_TRUE(w->dialogs.FileRequests().empty());

    Range("2024-02-30", "2024-12-31");
    Run();
    EXPECT_EQ(cycles->StatusText(), QStringLiteral("The start date is written YYYY-MM-DD."));
}

// The search runs on a worker: the window says so and takes no second run meanwhile, and
// closing the program under it waits for it rather than leaving it writing to a window
// that is gone.
TEST_F(CyclesWindowTest, ASearchUnderWayHoldsRunAndExportAndOutlivesNoWindow) {
    Range("2024-01-01", "2024-12-31");
    cycles->RunClicked();
    ASSERT_TRUE(cycles->Running());
    EXPECT_EQ(cycles->StatusText(), QStringLiteral("Searching…"));
    EXPECT_FALSE(Get<QPushButton>("cmdRun")->isEnabled());
    EXPECT_FALSE(Get<QPushButton>("cmdExport")->isEnabled());
    cycles->RunClicked();  // ignored
    cycles->WaitForRun();
    EXPECT_TRUE(Get<QPushButton>("cmdRun")->isEnabled());
    ASSERT_TRUE(cycles->LastFound());

    Range("2000-01-01", "2029-12-31");
    cycles->RunClicked();
    ASSERT_TRUE(cycles->Running());
    w.reset();
}

TEST_F(CyclesWindowTest, SiderealIngressesInANamedZoneAndEscapeCloses) {
    Get<QComboBox>("cboKind")->setCurrentIndex(1);
    EXPECT_TRUE(Get<QComboBox>("cboZodiac")->isEnabled());
    EXPECT_FALSE(Get<QComboBox>("cboAyanamsa")->isEnabled());
    Get<QComboBox>("cboZodiac")->setCurrentIndex(1);
    Get<QComboBox>("cboAyanamsa")->setCurrentIndex(2);
    auto* zone = Get<QComboBox>("cboZone");
    w->dialogs.QueueZone("America/New_York");
    zone->setCurrentIndex(zone->count() - 1);
    emit zone->activated(zone->count() - 1);
    EXPECT_EQ(zone->currentText(), QStringLiteral("America/New_York"));
    Range("2024-01-01", "2024-12-31");
    Run();
    ASSERT_TRUE(cycles->LastFound());
    const auto& found = *cycles->LastFound();
    EXPECT_EQ(found.inputs.zodiac, platform::Zodiac::Raman);
    EXPECT_EQ(found.inputs.zone.Name(), "America/New_York");
    EXPECT_EQ(Get<QTableWidget>("tblResults")->rowCount(), static_cast<int>(found.ingresses.size()));

    // The offscreen platform leaves the main window active; a user's click would not.
    QApplication::setActiveWindow(cycles);
    ASSERT_EQ(QApplication::activeWindow(), cycles);
    // Every input is reached by its mnemonic, those of rows with several controls too.
    const std::pair<Qt::Key, const char*> mnemonics[] = {
        {Qt::Key_B, "cboBody"}, {Qt::Key_S, "cboKind"}, {Qt::Key_Z, "cboZodiac"}, {Qt::Key_A, "cboAyanamsa"},
        {Qt::Key_F, "txtFrom"}, {Qt::Key_T, "txtTo"},   {Qt::Key_N, "cboZone"}};
    for (const auto& [key, name] : mnemonics) {
        QTest::keyClick(QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : cycles, key, Qt::AltModifier);
        EXPECT_EQ(QApplication::focusWidget(), Get<QWidget>(name)) << name;
    }
    QTest::keyClick(Get<QLineEdit>("txtFrom"), Qt::Key_Escape);
    EXPECT_FALSE(cycles->isVisible());
}

TEST_F(CyclesWindowTest, PointsAreAddedCheckedAndSavedBesideTheSettings) {
    const std::string path = ui::PointsFilePath();
    EXPECT_EQ(path, TempPath("points.json"));
    ui::PointsDialog dialog(cycles, w->dialogs, {});
    auto* name = kovo::testing::FindControl<QLineEdit>(dialog, QStringLiteral("txtName"));
    auto* degree = kovo::testing::FindControl<QLineEdit>(dialog, QStringLiteral("txtDegree"));
    name->setText(QStringLiteral("NYSE Sun"));
    degree->setText(QStringLiteral("15°30' Taurus"));
    ASSERT_TRUE(dialog.AddClicked());
    name->setText(QStringLiteral("nyse sun"));
    degree->setText(QStringLiteral("1"));
    EXPECT_FALSE(dialog.AddClicked());  // the same name
    degree->setText(QStringLiteral("Taurus"));
    name->setText(QStringLiteral("Other"));
    EXPECT_FALSE(dialog.AddClicked());
    EXPECT_NE(kovo::testing::FindControl<QLabel>(dialog, QStringLiteral("lblProblem"))->text().indexOf(QStringLiteral("15°30' Taurus")),
              -1);
    ASSERT_TRUE(dialog.SaveClicked());
    EXPECT_EQ(Slurp(path), "[\n  {\"name\": \"NYSE Sun\", \"degree\": 45.5}\n]\n");

    // A file that cannot be read is said, with its path, and stays as it is.
    std::ofstream(path, std::ios::binary | std::ios::trunc) << "[{\"name\": \"A\"}]";
    w->dialogs.ClearRecords();
    ui::PointsDialog::Edit(cycles, w->dialogs);
    ASSERT_EQ(w->dialogs.Messages().size(), 1u);
    EXPECT_NE(w->dialogs.Messages()[0].text.find(path), std::string::npos) << w->dialogs.Messages()[0].text;
    EXPECT_EQ(Slurp(path), "[{\"name\": \"A\"}]");
}

// A typed degree runs the two-planet scan to a fixed point; its CSV is kovo-report's,
// and Chart draws it like a pair. Orbs out of order are refused like the main window's.
TEST_F(CyclesWindowTest, TransitsToAPointExportAsTheCommandLineAndChart) {
    Get<QComboBox>("cboKind")->setCurrentIndex(2);
    EXPECT_TRUE(Get<QComboBox>("cboPoint")->isVisibleTo(cycles));
    Get<QComboBox>("cboBody")->setCurrentIndex(3);  // Mars
    Get<QComboBox>("cboPoint")->setEditText(QStringLiteral("15°30' Taurus"));
    Range("2024-01-01", "2024-12-31");
    Run();
    ASSERT_TRUE(cycles->LastPointFound()) << cycles->StatusText().toStdString();
    const std::size_t periods = cycles->LastPointFound()->result.periods.size();
    ASSERT_GT(periods, 0u);
    EXPECT_EQ(Get<QTableWidget>("tblResults")->rowCount(), static_cast<int>(periods));
    EXPECT_TRUE(cycles->StatusText().endsWith(QStringLiteral("of Mars and 15°30' Taurus in orb.")))
        << cycles->StatusText().toStdString();

    w->dialogs.QueueFileName(TempPath("point.csv"));
    ASSERT_TRUE(cycles->ExportClicked());
    const auto cli = kovo::testing::Report({"transits", "--first", "Mars", "--second-degree", "45.5", "--from",
                                            "2024-01-01", "--to", "2024-12-31", "--tz", "GMT", "--format", "csv"});
    ASSERT_EQ(cli.status, 0) << cli.err;
    EXPECT_EQ(Slurp(TempPath("point.csv")), cli.out);

    ASSERT_TRUE(cycles->ChartClicked());
    ASSERT_NE(cycles->Chart(), nullptr);
    EXPECT_TRUE(cycles->Chart()->isVisible());

    Get<QSpinBox>("spnOrb2")->setValue(12);
    Run();
    EXPECT_FALSE(cycles->LastPointFound());
    EXPECT_EQ(Get<QTableWidget>("tblResults")->rowCount(), 0);
    EXPECT_FALSE(cycles->StatusText().isEmpty());

    Get<QComboBox>("cboPoint")->setEditText(QStringLiteral("31° Taurus"));
    Run();
    EXPECT_TRUE(cycles->StatusText().startsWith(QStringLiteral("The point: "))) << cycles->StatusText().toStdString();
}

// Phases and eclipses need no body: its fields stand aside, and Chart draws the Moon's lane.
TEST_F(CyclesWindowTest, LunarPhasesAndEclipsesListAndChartTheMoon) {
    Get<QRadioButton>("optHeliocentric")->setChecked(true);  // set aside, not refused
    Get<QComboBox>("cboKind")->setCurrentIndex(3);
    EXPECT_FALSE(Get<QComboBox>("cboBody")->isEnabled());
    Range("2024-04-01", "2024-04-30");
    Run();
    EXPECT_EQ(cycles->StatusText(), QStringLiteral("4 lunar phases.")) << cycles->StatusText().toStdString();
    const auto* table = Get<QTableWidget>("tblResults");
    ASSERT_EQ(table->rowCount(), 4);
    EXPECT_EQ(table->item(1, 0)->text(), QStringLiteral("new moon"));
    EXPECT_EQ(table->item(1, 1)->text(), QStringLiteral("2024-04-08T18:21Z"));
    ASSERT_TRUE(cycles->ChartClicked());
    const auto& lanes = cycles->Chart()->View().Model().cycleLanes;
    ASSERT_EQ(lanes.size(), 1u);
    EXPECT_TRUE(lanes[0].lunar);
    EXPECT_GE(lanes[0].ticks.size(), 5u);  // four phases and the eclipse of 04-08

    Get<QComboBox>("cboKind")->setCurrentIndex(4);
    Run();
    EXPECT_EQ(cycles->StatusText(), QStringLiteral("1 eclipse.")) << cycles->StatusText().toStdString();
}

// The picture in the README: KOVO_CYCLES_SHOT=path.png picks where it goes.
TEST_F(CyclesWindowTest, Screenshot) {
    const char* shot = std::getenv("KOVO_CYCLES_SHOT");
    if (shot == nullptr) GTEST_SKIP() << "KOVO_CYCLES_SHOT not given";
    Range("2024-01-01", "2026-12-31");
    Run();
    cycles->resize(1366, 560);
    Settle();
    EXPECT_TRUE(cycles->grab().save(QString::fromLocal8Bit(shot)));
    // KOVO_CYCLES_POINT_SHOT: the window with transits to a point.
    if (const char* pointShot = std::getenv("KOVO_CYCLES_POINT_SHOT")) {
        Get<QComboBox>("cboKind")->setCurrentIndex(2);
        Get<QComboBox>("cboBody")->setCurrentIndex(3);
        Get<QComboBox>("cboPoint")->setEditText(QStringLiteral("15°30' Taurus"));
        Run();
        Settle();
        EXPECT_TRUE(cycles->grab().save(QString::fromLocal8Bit(pointShot)));
    }
}

}  // namespace
