// The main window: start-up defaults, change actions, busy state, timer and resize rules.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QTemporaryDir>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

#include "calendar/calendar_services.h"
#include "calendar/time_zones.h"
#include "ui/pop_up.h"
#include "ui/twips.h"
#include "main_window_probe.h"
#include "ui_test_support.h"

namespace kovo::testing {
namespace {

using ui::frmMain;

std::string Text(const QAbstractButton* b) { return b->text().toStdString(); }
std::string Text(const QLabel* l) { return l->text().toStdString(); }
std::string Text(const QComboBox* c) { return c->currentText().toStdString(); }

class MainWindowTest : public UiTest {};

TEST_F(MainWindowTest, StartsWithDefaultsWhenNothingIsSaved) {
    const int yearBeforeStart = QDate::currentDate().year();
    auto w = Start();
    const int yearAfterStart = QDate::currentDate().year();
    frmMain& m = w->main;
    const MainControls& c = w->controls;
    EXPECT_TRUE(kovo::testing::Probe(m).StartUpCompleted());
    EXPECT_EQ(Text(c.cboPlanet(0)), "Mars");
    EXPECT_EQ(Text(c.cboPlanet(1)), "Jupiter");
    EXPECT_EQ(m.FirstPlanet(), 4);
    EXPECT_EQ(m.SecondPlanet(), 5);
    EXPECT_EQ(Text(c.cmdStart()), "Mars and Jupiter");
    EXPECT_EQ(kovo::testing::Probe(m).SavedRunCaption(), "Mars and Jupiter");
    EXPECT_EQ(Text(c.cmdShowAll(0)), "Mars and the other planets.");
    EXPECT_EQ(Text(c.cmdShowAll(1)), "Jupiter and the other planets.");
    EXPECT_EQ(Text(c.cboOrbs(0)), "10°");
    EXPECT_EQ(Text(c.cboOrbs(1)), "5°");
    EXPECT_EQ(Text(c.cboOrbs(2)), "2°");
    EXPECT_EQ(Text(c.cboOrbs(3)), "6°");
    EXPECT_EQ(m.OrbDegrees(3), 6);
    for (int a = 0; a < 7; ++a) EXPECT_TRUE(c.chkAspectType(a)->isChecked()) << a;
    EXPECT_TRUE(c.optGeocentric()->isChecked());
    EXPECT_TRUE(c.optGeocentric()->font().bold());
    EXPECT_FALSE(c.cmdSimulateInvestment()->isEnabled());
    EXPECT_FALSE(c.chkIncludeTransitDetails()->isEnabled());
    EXPECT_TRUE(c.chkKeepDates()->isChecked());
    EXPECT_TRUE(kovo::testing::Probe(m).IsPlutoAvailable());

    // The default range is the calendar year the window started in, which is either year
    // when the start straddles New Year's midnight.
    const int year = c.txbYear(0)->text().toInt();
    EXPECT_TRUE(year == yearBeforeStart || year == yearAfterStart) << year;
    const std::string y = std::to_string(year);
    EXPECT_EQ(c.txbMonth(1)->text().toStdString(), "12");
    EXPECT_EQ(c.txbDay(1)->text().toStdString(), "31");
    EXPECT_EQ(Text(c.lblDate(0)), "January 1, " + y + " CE");
    EXPECT_EQ(Text(c.lblDate(1)), "December 31, " + y + " CE");
    EXPECT_EQ(Text(c.lblConstructTransitTables()),
              "Construct transit tables for the period " + y + "-01-01 to " + y + "-12-31 for:");
    calendar::DateRecord first{year, 1, 1, calendar::kGregorian, 0, 0};
    EXPECT_EQ(m.DateModel().DayNumbers[0], calendar::DayNumberFromDate(first));

    EXPECT_EQ(m.TimeZonePosition(), calendar::StartUpTimeZonePosition(calendar::LocalTimeZoneMinutes()));
    EXPECT_EQ(kovo::testing::Probe(m).PopUp().LastMessage().toStdString(), "Loading Pluto data ...");
    EXPECT_TRUE(c.cmdClearOutput()->isHidden());
    EXPECT_EQ(m.height(), ui::TwipsToPixels(frmMain::CompactHeight, &m));
}

// The buttons added beside the specified ones (Export…, Chart, Backtest…) must find room
// without covering any control, with and without output.
TEST_F(MainWindowTest, NoTwoShownControlsOverlap) {
    auto w = Start();
    auto check = [&w](const char* when) {
        std::vector<QWidget*> shown;
        for (QAbstractButton* b : w->main.findChildren<QAbstractButton*>())
            if (b->isVisibleTo(&w->main) && b->window() == &w->main) shown.push_back(b);
        for (QComboBox* c : w->main.findChildren<QComboBox*>())
            if (c->isVisibleTo(&w->main)) shown.push_back(c);
        ASSERT_GT(shown.size(), 20u) << when;
        auto area = [&w](QWidget* widget) { return QRect(widget->mapTo(&w->main, QPoint(0, 0)), widget->size()); };
        for (std::size_t i = 0; i < shown.size(); ++i)
            for (std::size_t j = i + 1; j < shown.size(); ++j)
                EXPECT_FALSE(area(shown[i]).intersects(area(shown[j])))
                    << when << ": " << shown[i]->objectName().toStdString() << " and "
                    << shown[j]->objectName().toStdString();
    };
    check("at start");
    w->controls.cmdStart()->click();
    w->main.Timer1Tick();
    ASSERT_FALSE(kovo::testing::Probe(w->main).OutputText().empty());
    check("with output");
}

TEST_F(MainWindowTest, ListsHoldTheirEntries) {
    auto w = Start();
    const MainControls& c = w->controls;
    ASSERT_EQ(c.cboPlanet(0)->count(), 8);
    EXPECT_EQ(c.cboPlanet(0)->itemText(0).toStdString(), "Sun");
    EXPECT_EQ(c.cboPlanet(0)->itemText(7).toStdString(), "Neptune");
    ASSERT_EQ(c.cboPlanet(1)->count(), 8);
    EXPECT_EQ(c.cboPlanet(1)->itemText(0).toStdString(), "Mercury");
    EXPECT_EQ(c.cboPlanet(1)->itemText(7).toStdString(), "Pluto");
    EXPECT_EQ(c.cboOrbs(0)->count(), 15);
    EXPECT_EQ(c.cboOrbs(0)->itemText(0).toStdString(), "1°");
    EXPECT_EQ(c.cboOrbs(3)->count(), 13);
    EXPECT_EQ(c.cboOrbs(3)->itemText(0).toStdString(), "3°");
    ASSERT_EQ(c.cboSearchAspect()->count(), 7);
    EXPECT_EQ(c.cboSearchAspect()->itemText(0).toStdString(), "conjunction");
    EXPECT_EQ(c.cboSearchAspect()->itemText(6).toStdString(), "quincunx");
    EXPECT_EQ(Text(c.cboSearchWhen()), "on or after start date");
    EXPECT_EQ(c.cboTimezone(0)->count(), 49) << "48 fixed entries and \"Named zone…\"";
    EXPECT_EQ(c.cboTimezone(0)->itemText(24).toStdString(), "GMT");
}

TEST_F(MainWindowTest, HeliocentricSwitchRenamesFirstEntryAndCaptions) {
    auto w = Start();
    const MainControls& c = w->controls;
    c.cboPlanet(0)->setCurrentIndex(0);
    EXPECT_EQ(Text(c.cmdStart()), "Sun and Jupiter");
    c.optHeliocentric()->click();
    EXPECT_EQ(c.cboPlanet(0)->itemText(0).toStdString(), "Earth");
    EXPECT_EQ(Text(c.cmdStart()), "Earth and Jupiter");
    EXPECT_EQ(Text(c.cmdShowAll(0)), "Earth and the other planets.");
    EXPECT_TRUE(c.optHeliocentric()->font().bold());
    EXPECT_FALSE(c.optGeocentric()->font().bold());
    EXPECT_TRUE(c.cmdSimulateInvestment()->isEnabled());
    EXPECT_TRUE(c.chkIncludeTransitDetails()->isEnabled());
    c.optGeocentric()->click();
    EXPECT_EQ(Text(c.cmdStart()), "Sun and Jupiter");
    EXPECT_FALSE(c.cmdSimulateInvestment()->isEnabled());
}

TEST_F(MainWindowTest, OrbChoiceOutOfOrderIsReportedAndKept) {
    auto w = Start();
    frmMain& m = w->main;
    const MainControls& c = w->controls;
    c.cboOrbs(0)->setCurrentIndex(4);  // 5°, 5°, 2°
    emit c.cboOrbs(0)->activated(4);
    ASSERT_EQ(w->dialogs.Messages().size(), 1u);
    EXPECT_EQ(w->dialogs.Messages()[0].text, "Orbs must be strictly decreasing.");
    EXPECT_EQ(w->dialogs.Messages()[0].title, "Orb values");
    EXPECT_EQ(w->dialogs.Messages()[0].icon, util::MessageIcon::Information);
    EXPECT_EQ(m.OrbPosition(0), 4);
    c.cboOrbs(0)->setCurrentIndex(9);
    emit c.cboOrbs(0)->activated(9);
    c.cboOrbs(3)->setCurrentIndex(0);  // the search orb is never compared
    emit c.cboOrbs(3)->activated(0);
    EXPECT_EQ(w->dialogs.Messages().size(), 1u);
}

TEST_F(MainWindowTest, BusyStateLeavesOnlyTheRunButtonQuitAndOutput) {
    auto w = Start();
    frmMain& m = w->main;
    const MainControls& c = w->controls;
    EXPECT_FALSE(m.TransitRunInProgress());
    EXPECT_FALSE(m.SimulationInProgress());
    m.EnterBusyState(false);
    EXPECT_TRUE(m.TransitRunInProgress());
    EXPECT_FALSE(m.SimulationInProgress());
    EXPECT_EQ(Text(c.cmdStart()), "Pause");
    EXPECT_TRUE(c.cmdStart()->isEnabled());
    EXPECT_TRUE(c.cmdQuit()->isEnabled());
    EXPECT_TRUE(c.txbOutput()->isEnabled());
    for (QPushButton* b : m.findChildren<QPushButton*>()) {
        if (b != c.cmdStart() && b != c.cmdQuit() && b->window() == &m) {
            EXPECT_FALSE(b->isEnabled()) << Text(b);
        }
    }
    for (QComboBox* list : m.findChildren<QComboBox*>()) EXPECT_FALSE(list->isEnabled());
    for (QCheckBox* box : m.findChildren<QCheckBox*>()) EXPECT_FALSE(box->isEnabled()) << Text(box);
    for (QLineEdit* f : m.findChildren<QLineEdit*>()) {
        if (f->parentWidget() == c.Frame2()) {
            EXPECT_FALSE(f->isEnabled());
        }
    }
    EXPECT_FALSE(c.optHeliocentric()->isEnabled());
    EXPECT_TRUE(c.Frame1()->isEnabled());

    c.cmdStart()->click();
    EXPECT_TRUE(m.Cancel().Requested());

    m.LeaveBusyState();
    EXPECT_FALSE(m.TransitRunInProgress());
    EXPECT_EQ(Text(c.cmdStart()), "Mars and Jupiter");
    EXPECT_TRUE(c.cboPlanet(0)->isEnabled());
    EXPECT_TRUE(c.txbYear(0)->isEnabled());
    EXPECT_FALSE(c.cmdSimulateInvestment()->isEnabled()) << "geocentric keeps the simulation off";

    c.optHeliocentric()->click();
    m.EnterBusyState(true);
    EXPECT_TRUE(m.SimulationInProgress());
    EXPECT_FALSE(m.TransitRunInProgress());
    EXPECT_EQ(Text(c.cmdSimulateInvestment()), "Pause");
    EXPECT_TRUE(c.cmdSimulateInvestment()->isEnabled());
    EXPECT_FALSE(c.cmdStart()->isEnabled());
    m.LeaveBusyState();
    EXPECT_FALSE(m.SimulationInProgress());
    EXPECT_TRUE(c.cmdSimulateInvestment()->isEnabled());
}

TEST_F(MainWindowTest, FontNameReachesButtonsAndTextFieldsOnlyWhenAsked) {
    auto w = Start();
    frmMain& m = w->main;
    const MainControls& c = w->controls;
    const QString other = QStringLiteral("Liberation Serif");
    m.SetFontNameAll(other, false, false);
    for (QPushButton* b : m.findChildren<QPushButton*>()) {
        if (b->window() == &m) {
            EXPECT_EQ(b->font().family(), QStringLiteral("Arial")) << Text(b);
        }
    }
    EXPECT_EQ(c.txbYear(0)->font().family(), QStringLiteral("Arial"));
    EXPECT_EQ(c.txbOutput()->font().family(), QStringLiteral("Courier New"));
    EXPECT_EQ(c.Frame1()->font().family(), other);
    EXPECT_EQ(c.cboPlanet(0)->font().family(), other);
    EXPECT_EQ(c.chkKeepDates()->font().family(), other);
    EXPECT_EQ(c.lblDate(0)->font().family(), other);
    EXPECT_EQ(c.optGeocentric()->font().family(), other);

    m.SetFontNameAll(other, true, true);
    EXPECT_EQ(c.cmdStart()->font().family(), other);
    EXPECT_EQ(c.cmdAll()->font().family(), other);
    EXPECT_EQ(c.txbYear(0)->font().family(), other);
    EXPECT_EQ(c.cmdStart()->font().pointSize(), 10) << "only the name changes";
}

// Whether a run holds the window is the window's own state: a button that happens to
// read "Pause" neither stops anything nor hides the file button.
TEST_F(MainWindowTest, CaptionPauseAloneIsNoRun) {
    auto w = Start();
    frmMain& m = w->main;
    const MainControls& c = w->controls;
    m.AppendOutput("Mars\r\n");
    c.txbDay(1)->setText(QStringLiteral("3"));
    c.txbMonth(1)->setText(QStringLiteral("1"));
    m.MonthDayLostFocus(1);
    c.cmdStart()->setText(QStringLiteral("Pause"));
    m.Timer1Tick();
    EXPECT_FALSE(c.cmdFile(0)->isHidden());
    c.cmdStart()->click();
    EXPECT_FALSE(m.Cancel().Requested());
    ASSERT_EQ(w->dialogs.Messages().size(), 1u) << "the click went to the run's own checks";
    EXPECT_EQ(w->dialogs.Messages()[0].text, "The start date must be at least 3 days prior to the end date.");

    // A simulation leaves the two-planet button alone, so the file button stays.
    m.EnterBusyState(true);
    m.Timer1Tick();
    EXPECT_FALSE(c.cmdFile(0)->isHidden());
    m.LeaveBusyState();
}

// The names are the window's interface to tests and to anything that drives it: each
// must find exactly one control.
TEST_F(MainWindowTest, EveryControlCarriesItsNameOnce) {
    auto w = Start();
    static const char* const names[] = {
        "Frame1", "Frame2", "Frame3", "fraAspectTypes", "fraCentricity", "cboPlanet0", "cboPlanet1",
        "lblPlanet0", "lblPlanet1", "cboOrbs0", "cboOrbs1", "cboOrbs2", "cboOrbs3", "lblOrbs0", "lblOrbs1",
        "lblOrbs2", "Label1", "Label2", "Label3", "chkAspectType0", "chkAspectType1", "chkAspectType2",
        "chkAspectType3", "chkAspectType4", "chkAspectType5", "chkAspectType6", "cmdAll", "optGeocentric",
        "optHeliocentric", "txbYear0", "txbYear1", "txbMonth0", "txbMonth1", "txbDay0", "txbDay1", "lblDate0",
        "lblDate1", "lblStartEnd0", "lblStartEnd1", "lblYear", "lblMonthDay", "lblConstructTransitTables",
        "cboTimezone0", "lblTimezone", "chkDisplayNATZabbr", "cmdStart", "cmdShowAll0", "cmdShowAll1",
        "chkIncludeTransitDetails", "cmdSimulateInvestment", "cboSearchAspect", "cboSearchWhen", "chkKeepDates",
        "cmdSearch", "txbOutput", "chkAppendToOutput", "cmdFile0", "chkOpenOutputFile", "cmdClearOutput",
        "cmdSaveState", "cmdRestoreState", "txbStopDate", "cmdHelp", "cmdQuit", "lblNotice", "Timer1"};
    for (const char* name : names)
        EXPECT_EQ(w->main.findChildren<QObject*>(QString::fromLatin1(name)).size(), 1) << name;
}

TEST_F(MainWindowTest, TimerShowsOutputControlsOnlyWithOutputAndNeverDuringPause) {
    auto w = Start();
    frmMain& m = w->main;
    const MainControls& c = w->controls;
    m.Timer1Tick();
    EXPECT_TRUE(c.cmdFile(0)->isHidden());
    EXPECT_TRUE(c.chkOpenOutputFile()->isHidden());
    EXPECT_TRUE(c.chkAppendToOutput()->isHidden());
    EXPECT_TRUE(c.cmdClearOutput()->isHidden());

    m.AppendOutput("Mars\r\n");
    m.Timer1Tick();
    EXPECT_FALSE(c.cmdFile(0)->isHidden());
    EXPECT_FALSE(c.chkOpenOutputFile()->isHidden());
    EXPECT_FALSE(c.chkAppendToOutput()->isHidden());
    EXPECT_FALSE(c.cmdClearOutput()->isHidden());

    m.EnterBusyState(false);
    m.Timer1Tick();
    EXPECT_TRUE(c.cmdFile(0)->isHidden());
    EXPECT_TRUE(c.chkOpenOutputFile()->isHidden());
    EXPECT_FALSE(c.chkAppendToOutput()->isHidden());
    m.LeaveBusyState();

    c.cmdClearOutput()->click();
    EXPECT_EQ(m.OutputLength(), 0u);
    EXPECT_TRUE(c.cmdFile(0)->isHidden());
    EXPECT_TRUE(c.cmdClearOutput()->isHidden());
    EXPECT_TRUE(c.chkAppendToOutput()->isHidden());
}

TEST_F(MainWindowTest, OutputKeepsCrLfAndCountsCharacters) {
    auto w = Start();
    frmMain& m = w->main;
    const MainControls& c = w->controls;
    m.AppendOutput("10°\r\n");
    m.AppendOutput("b");
    EXPECT_EQ(kovo::testing::Probe(m).OutputText(), "10°\r\nb");
    EXPECT_EQ(m.OutputLength(), 6u);
    EXPECT_EQ(c.txbOutput()->toPlainText().toStdString(), "10°\nb");
    EXPECT_TRUE(c.txbOutput()->isReadOnly());
    m.ClearOutput();
    EXPECT_EQ(m.OutputLength(), 0u);
    EXPECT_TRUE(c.txbOutput()->toPlainText().isEmpty());
}

TEST_F(MainWindowTest, LeavingADateFieldCleansItAndRefreshesTheLabel) {
    auto w = Start();
    const MainControls& c = w->controls;
    c.txbYear(0)->setText(QStringLiteral("02011"));
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(c.txbYear(0), &out);
    EXPECT_EQ(c.txbYear(0)->text().toStdString(), "2011");
    EXPECT_EQ(Text(c.lblDate(0)), "January 1, 2011 CE");
    EXPECT_NE(Text(c.lblConstructTransitTables()).find("2011-01-01 to "), std::string::npos);

    c.txbDay(0)->setText(QStringLiteral("3x1"));
    QApplication::sendEvent(c.txbDay(0), &out);
    EXPECT_EQ(c.txbDay(0)->text().toStdString(), "31");

    // A message box taking the focus is not leaving the field.
    c.txbYear(1)->setText(QStringLiteral("-5"));
    QFocusEvent away(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(c.txbYear(1), &away);
    EXPECT_TRUE(w->dialogs.Messages().empty());
    QApplication::sendEvent(c.txbYear(1), &out);
    ASSERT_EQ(w->dialogs.Messages().size(), 1u);
    EXPECT_EQ(w->dialogs.Messages()[0].text, "Year number must be positive.");
    EXPECT_EQ(c.txbYear(1)->text().toStdString(), "-5");
}

TEST_F(MainWindowTest, ResizeKeepsWidthAndHeightWithinLimits) {
    auto w = Start();
    frmMain& m = w->main;
    const MainControls& c = w->controls;
    const int compact = ui::TwipsToPixels(frmMain::CompactHeight, &m);
    m.resize(m.width() + 120, compact - 100);
    Settle();
    EXPECT_EQ(m.width(), kovo::testing::Probe(m).FixedWidth());
    EXPECT_EQ(m.height(), compact);
    const int screenHeight = m.screen()->geometry().height();
    m.resize(m.width(), screenHeight * 2);
    Settle();
    EXPECT_LE(m.height(), screenHeight * 95 / 100);
    // The foot follows the output area.
    EXPECT_GT(c.cmdQuit()->y(), c.txbOutput()->y() + c.txbOutput()->height());
    EXPECT_EQ(c.cmdSaveState()->y(), c.cmdQuit()->y());
    EXPECT_EQ(c.cmdQuit()->geometry().right(), c.txbOutput()->geometry().right());
}

TEST_F(MainWindowTest, DonePopUpAppearsAtTheFoot) {
    auto w = Start();
    frmMain& m = w->main;
    const MainControls& c = w->controls;
    const int before = kovo::testing::Probe(m).PopUp().ShownCount();
    m.ShowDonePopUp();
    EXPECT_EQ(kovo::testing::Probe(m).PopUp().ShownCount(), before + 1);
    EXPECT_EQ(kovo::testing::Probe(m).PopUp().LastMessage().toStdString(), "Done");
    EXPECT_FALSE(kovo::testing::Probe(m).PopUp().isVisible());
    // 800 twips right of the notice label's left edge.
    const int labelLeft = c.lblNotice()->mapTo(&m, QPoint(0, 0)).x();
    EXPECT_NEAR(kovo::testing::Probe(m).PopUp().x(), m.frameGeometry().x() + labelLeft + ui::TwipsToPixels(800, &m, ui::Axis::X), 2);
}

// Started where there is no index file, the window says where it looked and how to make
// the file, below the message's first line as it always was.
TEST_F(MainWindowTest, AMissingIndexFileIsNamedWithItsPathAndTheWayToMakeIt) {
    const QString before = QDir::currentPath();
    QTemporaryDir empty;
    ASSERT_TRUE(QDir::setCurrent(empty.path()));
    ScriptedDialogService dialogs;
    {
        frmMain m(dialogs);
        kovo::testing::Probe(m).PopUp().SetNonBlocking(true);
        m.StartUp();
    }
    QDir::setCurrent(before);
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    const util::Message& message = dialogs.Messages()[0];
    EXPECT_EQ(message.title, "KOVO");
    const std::string where = QDir(empty.path()).canonicalPath().toStdString() + "/DJIA_data.txt";
    EXPECT_EQ(message.text, "Error reading DJIA data file\r\nLooked for: " + where +
                                "\r\nTo make it from a CSV of daily closes: kovo-djia closes.csv -o " + where);
}

}  // namespace
}  // namespace kovo::testing
