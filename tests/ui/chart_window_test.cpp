// The "Chart" button and the chart window: when the button may be used, what the window
// shows, zoom, pan, fit and cursor, and its save, print and copy commands.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolTip>
#include <QWheelEvent>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QAction>
#include <map>
#include <set>

#include "astro/catalogue.h"
#include "chart/chart_export.h"
#include "chart/cycle_timeline.h"
#include "chart/chart_test_support.h"
#include "ui/chart_view.h"
#include "ui/chart_window.h"
#include "main_window_probe.h"
#include "ui_test_support.h"

using namespace kovo;

namespace {

class ChartButtonTest : public kovo::testing::UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        w = Start();
        w->main.SetTimeZonePosition(24);  // GMT
    }
    void Dates(const char* y0, const char* m0, const char* d0, const char* y1, const char* m1, const char* d1) {
        const char* texts[2][3] = {{y0, m0, d0}, {y1, m1, d1}};
        for (int i = 0; i < 2; ++i) {
            w->controls.txbYear(i)->setText(QString::fromUtf8(texts[i][0]));
            w->controls.txbMonth(i)->setText(QString::fromUtf8(texts[i][1]));
            w->controls.txbDay(i)->setText(QString::fromUtf8(texts[i][2]));
            w->main.MonthDayLostFocus(i);
        }
    }
    QPushButton* Chart() const { return kovo::testing::FindControl<QPushButton>(w->main, QStringLiteral("cmdChart")); }

    std::unique_ptr<kovo::testing::StartedWindow> w;
};

TEST_F(ChartButtonTest, EnabledOnlyWhenTheLastTransitRunLeftRecordsAndNoRunIsGoingOn) {
    ASSERT_NE(Chart(), nullptr);
    EXPECT_EQ(Chart()->text(), QStringLiteral("Chart"));
    EXPECT_FALSE(Chart()->isEnabled());

    Dates("2026", "1", "1", "2026", "12", "31");
    bool seenDuringRun = false;
    bool enabledDuringRun = true;
    QTimer::singleShot(0, &w->main, [&] {
        seenDuringRun = w->main.TransitRunInProgress();
        enabledDuringRun = Chart()->isEnabled();
    });
    w->controls.cmdStart()->click();
    ASSERT_TRUE(seenDuringRun);
    EXPECT_FALSE(enabledDuringRun);
    EXPECT_TRUE(Chart()->isEnabled());

    Chart()->click();
    ui::ChartWindow* chart = kovo::testing::Probe(w->main).Chart();
    ASSERT_NE(chart, nullptr);
    EXPECT_TRUE(chart->isVisible());
    const auto& records = std::get<transits::TransitResult>(kovo::testing::Probe(w->main).LastRunRecords());
    EXPECT_EQ(chart->View().Model().PeriodCount(), records.periods.size());
    EXPECT_EQ(chart->View().Model().lanes.size(), 7u);

    Dates("2026", "1", "1", "2026", "1", "3");  // refused: too short
    w->controls.cmdStart()->click();
    EXPECT_FALSE(Chart()->isEnabled());

    // Found nothing: still a chart, which says so.
    for (int a = 1; a < 7; ++a) w->controls.chkAspectType(a)->setChecked(false);
    Dates("2026", "1", "1", "2026", "1", "4");
    w->controls.cmdStart()->click();
    ASSERT_TRUE(Chart()->isEnabled());
    Chart()->click();
    EXPECT_EQ(chart->View().Model().emptyText, "Not found");
    w->dialogs.ClearRecords();

    // A simulation's records are no transit run's.
    kovo::testing::FindControl<QRadioButton>(w->main, QStringLiteral("optHeliocentric"))->click();
    kovo::testing::FindControl<QPushButton>(w->main, QStringLiteral("cmdSimulateInvestment"))->click();
    EXPECT_TRUE(std::holds_alternative<simulation::SimulationRun>(kovo::testing::Probe(w->main).LastRunRecords()));
    EXPECT_FALSE(Chart()->isEnabled());
    chart->close();
}

TEST_F(ChartButtonTest, AnAllTransitsRunHasALanePerPairAndAspect) {
    Dates("2026", "1", "1", "2026", "3", "31");
    for (int a = 2; a < 7; ++a) w->controls.chkAspectType(a)->setChecked(false);  // conjunction and opposition
    w->controls.cmdShowAll(0)->click();
    ASSERT_TRUE(Chart()->isEnabled());
    Chart()->click();
    const chart::TimelineModel& model = kovo::testing::Probe(w->main).Chart()->View().Model();
    const auto& all = std::get<transits::AllTransitsResult>(kovo::testing::Probe(w->main).LastRunRecords());
    EXPECT_EQ(model.pairs.size(), all.pairs.size());
    EXPECT_EQ(model.lanes.size(), 2 * all.pairs.size());
    EXPECT_EQ(model.lanes[0].label, model.pairs[0].firstName + "\u2013" + model.pairs[0].secondName + " Conjunction");
    kovo::testing::Probe(w->main).Chart()->close();
}

class ChartWindowTest : public kovo::testing::UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        window = std::make_unique<ui::ChartWindow>(dialogs);
        window->ShowModel(chart::BuildTimeline(
            kovo::testing::ScanPair(4, 5, kovo::testing::Day(2026, 1, 1), kovo::testing::Day(2026, 12, 31))));
        window->resize(1200, 700);
        window->show();
        Settle();
    }
    ui::ChartView& View() { return window->View(); }
    double Width() { return View().View().endUt - View().View().startUt; }
    void Key(int key) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(&View(), &press);
    }
    void Mouse(QEvent::Type type, double x, Qt::MouseButtons buttons) {
        const QPointF at(x, View().height() / 2.0);
        QMouseEvent event(type, at, View().mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                          buttons, Qt::NoModifier);
        QApplication::sendEvent(&View(), &event);
    }

    kovo::testing::ScriptedDialogService dialogs;
    std::unique_ptr<ui::ChartWindow> window;
};

TEST_F(ChartWindowTest, ZoomPanAndFit) {
    const chart::TimelineModel& model = View().Model();
    const double range = model.rangeEndUt - model.rangeStartUt;
    EXPECT_DOUBLE_EQ(Width(), range);
    Key(Qt::Key_Plus);
    EXPECT_NEAR(Width(), range / 1.25, 1e-9);
    Key(Qt::Key_Minus);
    Key(Qt::Key_Minus);
    EXPECT_NEAR(Width(), range, 1e-9);  // never wider than the range

    // The wheel zooms about the mouse: the instant under it stays put.
    const double x = 400;
    const double before = View().CurrentLayout().axis.UtOf(x);
    QWheelEvent wheel(QPointF(x, 200), View().mapToGlobal(QPointF(x, 200)), QPoint(), QPoint(0, 240), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&View(), &wheel);
    EXPECT_NEAR(Width(), range / 1.5625, 1e-6);
    EXPECT_NEAR(View().CurrentLayout().axis.UtOf(x), before, 1e-6);

    // Dragging to the right shows earlier days.
    const double start = View().View().startUt;
    const double perDay = View().CurrentLayout().axis.PixelsPerDay();
    Mouse(QEvent::MouseButtonPress, 600, Qt::LeftButton);
    Mouse(QEvent::MouseMove, 650, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, 650, Qt::NoButton);
    EXPECT_NEAR(View().View().startUt, start - 50 / perDay, 1e-6);
    EXPECT_NEAR(Width(), range / 1.5625, 1e-6);

    View().Fit();
    EXPECT_DOUBLE_EQ(View().View().startUt, model.rangeStartUt);
    EXPECT_DOUBLE_EQ(Width(), range);
    for (int i = 0; i < 60; ++i) Key(Qt::Key_Plus);
    EXPECT_NEAR(Width(), ui::ChartView::kNarrowestDays, 1e-9);
}

TEST_F(ChartWindowTest, TheCursorsStatusLineNamesDateAndCrossedPeriods) {
    const chart::TimelineLayout layout = View().CurrentLayout();
    const chart::ChartPeriod& period = View().Model().lanes[3].periods.front();  // the trine
    const double middle = (period.levels[0][0].startUt + period.levels[0][0].endUt) / 2;
    Mouse(QEvent::MouseMove, layout.axis.XOf(middle), Qt::NoButton);
    const QString status = window->findChild<QLabel*>(QStringLiteral("chartStatus"))->text();
    EXPECT_TRUE(status.contains(QStringLiteral("Trine: "))) << status.toStdString();
    EXPECT_TRUE(status.contains(QStringLiteral(" orb ("))) << status.toStdString();
    EXPECT_TRUE(status.startsWith(QStringLiteral("2026-0"))) << status.toStdString();
    ASSERT_TRUE(View().CursorX().has_value());
    Mouse(QEvent::MouseMove, 2, Qt::NoButton);  // left of the plot: no cursor
    EXPECT_FALSE(View().CursorX().has_value());
    EXPECT_TRUE(window->findChild<QLabel*>(QStringLiteral("chartStatus"))->text().isEmpty());
}

TEST_F(ChartWindowTest, AnExactTicksTooltipAgreesWithTheReport) {
    const chart::TimelineLayout layout = View().CurrentLayout();
    ASSERT_FALSE(layout.ticks.empty());
    const chart::TickShape& tick = layout.ticks.front();
    const QPoint at = tick.line.center().toPoint();
    QHelpEvent help(QEvent::ToolTip, at, View().mapToGlobal(at));
    QApplication::sendEvent(&View(), &help);
    const std::string text = QToolTip::text().toStdString();
    EXPECT_NE(text.find("Exact " + astro::AspectName[static_cast<std::size_t>(tick.period->aspect)] +
                        " of Mars and Jupiter\n" + tick.tick->when),
              std::string::npos)
        << text;
    EXPECT_EQ(tick.tick->when.substr(tick.tick->when.size() - 4), " GMT");
    QToolTip::hideText();
}

TEST_F(ChartWindowTest, SaveAsPngAndSvgThroughTheDialogService) {
    const std::string png = TempPath("chart.png");
    dialogs.QueueFileName(png);
    ASSERT_TRUE(window->SaveAsPng());
    EXPECT_EQ(QImage(QString::fromStdString(png)).size(), View().size());
    ASSERT_EQ(dialogs.FileRequests().size(), 1u);
    EXPECT_EQ(dialogs.FileRequests()[0].title, "Save chart as PNG");

    dialogs.QueueFileName(TempPath("chart"));  // the kind's ending is added
    ASSERT_TRUE(window->SaveAsSvg());
    QFile svg(QString::fromStdString(TempPath("chart.svg")));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    const auto shapes = kovo::testing::ReadSvg(svg.readAll());
    EXPECT_TRUE(shapes.wellFormed);
    EXPECT_EQ(shapes.byId.count("period-0-0-outer"), 1u);

    dialogs.QueueFileName("");  // cancelled
    EXPECT_FALSE(window->SaveAsSvg());
    dialogs.QueueFileName(TempPath("missing/chart.png"));
    EXPECT_FALSE(window->SaveAsPng());
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_NE(dialogs.Messages()[0].text.find("could not be saved to"), std::string::npos);
}

TEST_F(ChartWindowTest, PrintAndCopyImage) {
    const QString pdf = QString::fromStdString(TempPath("chart.pdf"));
    window->SetPrinterChooser([&pdf](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    window->Print();
    QFile printed(pdf);
    ASSERT_TRUE(printed.open(QIODevice::ReadOnly));
    EXPECT_TRUE(printed.read(4) == "%PDF");
    EXPECT_GT(printed.size(), 2000);

    window->SetPrinterChooser([](QPrinter&) { return false; });  // cancelled
    QFile::remove(pdf);
    window->Print();
    EXPECT_FALSE(QFile::exists(pdf));

    QApplication::clipboard()->clear();
    window->CopyImage();
    EXPECT_EQ(QApplication::clipboard()->image().size(), View().size());
}

// Its boxes open over the chart window, not over the main window behind it.
TEST_F(ChartWindowTest, ItsBoxesBelongToItself) {
    dialogs.QueueFileName(TempPath("missing/chart.png"));
    EXPECT_FALSE(window->SaveAsPng());
    ASSERT_EQ(dialogs.Owners().size(), 2u);  // the file name, then the failure
    EXPECT_EQ(dialogs.Owners()[0], window.get());
    EXPECT_EQ(dialogs.Owners()[1], window.get());
    EXPECT_EQ(dialogs.Owner(), nullptr);

    // The real service parents the box to the owner rather than to its own window.
    QWidget mainWindow;
    ui::QtDialogService real(&mainWindow);
    ui::WindowDialogs own(real, window.get());
    const QWidget* parent = nullptr;
    QTimer::singleShot(0, window.get(), [&parent] {
        QWidget* box = QApplication::activeModalWidget();
        if (box == nullptr) return;
        parent = box->parentWidget();
        box->close();
    });
    own.ShowMessage({.text = "A message", .title = "KOVO"});
    EXPECT_EQ(parent, window.get());
    EXPECT_EQ(real.Owner(), nullptr);
}

// "Retrograde cycles and ingresses": Alt+R or Space tick it, the bodies' lanes come and
// go without changing the zoom, the state carries over to the next run's chart, and a
// chart of one body's cycles alone is shown as it comes.
TEST_F(ChartWindowTest, TheCyclesBoxAddsTheBodiesLanesAndKeepsTheZoom) {
    auto* box = window->findChild<QCheckBox*>(QStringLiteral("chkCycles"));
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isEnabled());
    EXPECT_FALSE(box->isChecked());
    EXPECT_TRUE(View().Model().cycleLanes.empty());
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    View().setFocus();
    Key(Qt::Key_Plus);
    const chart::ViewRange zoomed = View().View();

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_R, Qt::AltModifier);
    // A mnemonic clicks the box the way a mouse would, after a short press.
    for (int i = 0; i < 100 && !box->isChecked(); ++i) QTest::qWait(10);
    ASSERT_TRUE(box->isChecked());
    ASSERT_EQ(View().Model().cycleLanes.size(), 2u);
    EXPECT_EQ(View().Model().cycleLanes[1].body, "Jupiter");
    EXPECT_EQ(View().Model().lanes.size(), 7u);
    EXPECT_DOUBLE_EQ(View().View().startUt, zoomed.startUt);
    EXPECT_DOUBLE_EQ(View().View().endUt, zoomed.endUt);

    // Jupiter's station direct of March 2026 has a tooltip in the run's zone.
    View().Fit();
    const chart::TimelineLayout layout = View().CurrentLayout();
    const auto station = std::find_if(layout.cycleTicks.begin(), layout.cycleTicks.end(), [](const chart::CycleTickShape& t) {
        return t.tick->mark == chart::CycleMark::StationDirect;
    });
    ASSERT_NE(station, layout.cycleTicks.end());
    const QPoint at = station->line.center().toPoint();
    QHelpEvent help(QEvent::ToolTip, at, View().mapToGlobal(at));
    QApplication::sendEvent(&View(), &help);
    EXPECT_TRUE(QToolTip::text().startsWith(QStringLiteral("Jupiter stations direct\n2026-03-"))) << QToolTip::text().toStdString();
    QToolTip::hideText();

    // The next run's chart gets the lanes too.
    chart::TimelineModel next = View().Model();
    next.cycleLanes.clear();
    window->ShowModel(next);
    EXPECT_EQ(View().Model().cycleLanes.size(), 2u);

    box->setFocus();
    QTest::keyClick(box, Qt::Key_Space);
    EXPECT_FALSE(box->isChecked());
    EXPECT_TRUE(View().Model().cycleLanes.empty());

    window->ShowModel(chart::BuildCycleTimeline({.body = astro::Body::Mercury}, kovo::testing::Day(2024, 1, 1) - 0.5,
                                                kovo::testing::Day(2025, 1, 1) - 0.5, kovo::testing::ListZone(24, "GMT"),
                                                "Mercury in 2024"));
    EXPECT_FALSE(box->isEnabled());
    ASSERT_EQ(View().Model().cycleLanes.size(), 1u);
    EXPECT_TRUE(View().Model().lanes.empty());
    EXPECT_FALSE(window->grab().isNull());
}

// Escape and Ctrl+W close the window, Ctrl+S saves, Tab reaches the tool bar, and the
// tooltips name the keys.
TEST_F(ChartWindowTest, TheKeyboardClosesSavesAndReachesTheToolBar) {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    View().setFocus();
    std::map<QString, QToolButton*> buttons;
    for (QToolButton* b : window->findChild<QToolBar*>(QStringLiteral("chartToolBar"))->findChildren<QToolButton*>())
        if (b->defaultAction() != nullptr) buttons[b->defaultAction()->text()] = b;
    ASSERT_EQ(buttons.count(QStringLiteral("Save as PNG\u2026")), 1u);
    EXPECT_EQ(buttons[QStringLiteral("Save as PNG\u2026")]->toolTip(), QStringLiteral("Save as PNG (Ctrl+S)"));
    EXPECT_EQ(buttons[QStringLiteral("Fit")]->toolTip(), QStringLiteral("Fit (Ctrl+0)"));

    std::set<QWidget*> reached;
    for (int i = 0; i < 20; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        reached.insert(QApplication::focusWidget());
    }
    for (const auto& [text, button] : buttons) EXPECT_EQ(reached.count(button), 1u) << text.toStdString();

    const std::string png = TempPath("keys.png");
    dialogs.QueueFileName(png);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(QFile::exists(QString::fromStdString(png)));

    View().setFocus();
    QTest::keyClick(&View(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_W, Qt::ControlModifier);
    EXPECT_FALSE(window->isVisible());
}

}  // namespace
