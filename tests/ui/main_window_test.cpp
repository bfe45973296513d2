// The main window: start-up defaults, change actions, busy state, timer and resize rules.
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
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
#include "ui_test_support.h"

namespace kovo::testing {
namespace {

using ui::frmMain;

std::string Text(const QAbstractButton* b) { return b->text().toStdString(); }
std::string Text(const QLabel* l) { return l->text().toStdString(); }
std::string Text(const QComboBox* c) { return c->currentText().toStdString(); }

class MainWindowTest : public UiTest {};

TEST_F(MainWindowTest, StartsWithDefaultsWhenNothingIsSaved) {
    auto w = Start();
    frmMain& m = w->main;
    EXPECT_TRUE(m.blnStartUpCompleted);
    EXPECT_EQ(Text(m.cboPlanet[0]), "Mars");
    EXPECT_EQ(Text(m.cboPlanet[1]), "Jupiter");
    EXPECT_EQ(m.FirstPlanet(), 4);
    EXPECT_EQ(m.SecondPlanet(), 5);
    EXPECT_EQ(Text(m.cmdStart), "Mars and Jupiter");
    EXPECT_EQ(m.SavedRunCaption, "Mars and Jupiter");
    EXPECT_EQ(Text(m.cmdShowAll[0]), "Mars and the other planets.");
    EXPECT_EQ(Text(m.cmdShowAll[1]), "Jupiter and the other planets.");
    EXPECT_EQ(Text(m.cboOrbs[0]), "10°");
    EXPECT_EQ(Text(m.cboOrbs[1]), "5°");
    EXPECT_EQ(Text(m.cboOrbs[2]), "2°");
    EXPECT_EQ(Text(m.cboOrbs[3]), "6°");
    EXPECT_EQ(m.OrbDegrees(3), 6);
    for (QCheckBox* box : m.chkAspectType) EXPECT_TRUE(box->isChecked()) << Text(box);
    EXPECT_TRUE(m.optGeocentric->isChecked());
    EXPECT_TRUE(m.optGeocentric->font().bold());
    EXPECT_FALSE(m.cmdSimulateInvestment->isEnabled());
    EXPECT_FALSE(m.chkIncludeTransitDetails->isEnabled());
    EXPECT_TRUE(m.chkKeepDates->isChecked());
    EXPECT_TRUE(m.IsPlutoAvailable());

    const int year = QDate::currentDate().year();
    const std::string y = std::to_string(year);
    EXPECT_EQ(m.txbYear[0]->text().toStdString(), y);
    EXPECT_EQ(m.txbMonth[1]->text().toStdString(), "12");
    EXPECT_EQ(m.txbDay[1]->text().toStdString(), "31");
    EXPECT_EQ(Text(m.lblDate[0]), "January 1, " + y + " CE");
    EXPECT_EQ(Text(m.lblDate[1]), "December 31, " + y + " CE");
    EXPECT_EQ(Text(m.lblConstructTransitTables),
              "Construct transit tables for the period " + y + "-01-01 to " + y + "-12-31 for:");
    calendar::DateRecord first{year, 1, 1, calendar::kGregorian, 0, 0};
    EXPECT_EQ(m.DateModel().DayNumbers[0], calendar::DayNumberFromDate(first));

    EXPECT_EQ(m.TimeZonePosition(), calendar::StartUpTimeZonePosition(calendar::LocalTimeZoneMinutes()));
    EXPECT_EQ(m.PopUp().LastMessage().toStdString(), "Loading Pluto data ...");
    EXPECT_TRUE(m.cmdClearOutput->isHidden());
    EXPECT_EQ(m.height(), ui::TwipsToPixels(frmMain::CompactHeight, &m));
}

TEST_F(MainWindowTest, ListsHoldTheirEntries) {
    auto w = Start();
    frmMain& m = w->main;
    ASSERT_EQ(m.cboPlanet[0]->count(), 8);
    EXPECT_EQ(m.cboPlanet[0]->itemText(0).toStdString(), "Sun");
    EXPECT_EQ(m.cboPlanet[0]->itemText(7).toStdString(), "Neptune");
    ASSERT_EQ(m.cboPlanet[1]->count(), 8);
    EXPECT_EQ(m.cboPlanet[1]->itemText(0).toStdString(), "Mercury");
    EXPECT_EQ(m.cboPlanet[1]->itemText(7).toStdString(), "Pluto");
    EXPECT_EQ(m.cboOrbs[0]->count(), 15);
    EXPECT_EQ(m.cboOrbs[0]->itemText(0).toStdString(), "1°");
    EXPECT_EQ(m.cboOrbs[3]->count(), 13);
    EXPECT_EQ(m.cboOrbs[3]->itemText(0).toStdString(), "3°");
    ASSERT_EQ(m.cboSearchAspect->count(), 7);
    EXPECT_EQ(m.cboSearchAspect->itemText(0).toStdString(), "conjunction");
    EXPECT_EQ(m.cboSearchAspect->itemText(6).toStdString(), "quincunx");
    EXPECT_EQ(Text(m.cboSearchWhen), "on or after start date");
    EXPECT_EQ(m.cboTimezone[0]->count(), 48);
    EXPECT_EQ(m.cboTimezone[0]->itemText(24).toStdString(), "GMT");
}

TEST_F(MainWindowTest, HeliocentricSwitchRenamesFirstEntryAndCaptions) {
    auto w = Start();
    frmMain& m = w->main;
    m.cboPlanet[0]->setCurrentIndex(0);
    EXPECT_EQ(Text(m.cmdStart), "Sun and Jupiter");
    m.optHeliocentric->click();
    EXPECT_EQ(m.cboPlanet[0]->itemText(0).toStdString(), "Earth");
    EXPECT_EQ(Text(m.cmdStart), "Earth and Jupiter");
    EXPECT_EQ(Text(m.cmdShowAll[0]), "Earth and the other planets.");
    EXPECT_TRUE(m.optHeliocentric->font().bold());
    EXPECT_FALSE(m.optGeocentric->font().bold());
    EXPECT_TRUE(m.cmdSimulateInvestment->isEnabled());
    EXPECT_TRUE(m.chkIncludeTransitDetails->isEnabled());
    m.optGeocentric->click();
    EXPECT_EQ(Text(m.cmdStart), "Sun and Jupiter");
    EXPECT_FALSE(m.cmdSimulateInvestment->isEnabled());
}

TEST_F(MainWindowTest, OrbChoiceOutOfOrderIsReportedAndKept) {
    auto w = Start();
    frmMain& m = w->main;
    m.cboOrbs[0]->setCurrentIndex(4);  // 5°, 5°, 2°
    emit m.cboOrbs[0]->activated(4);
    ASSERT_EQ(w->dialogs.Messages().size(), 1u);
    EXPECT_EQ(w->dialogs.Messages()[0].text, "Orbs must be strictly decreasing.");
    EXPECT_EQ(w->dialogs.Messages()[0].title, "Orb values");
    EXPECT_EQ(w->dialogs.Messages()[0].icon, util::MessageIcon::Information);
    EXPECT_EQ(m.OrbPosition(0), 4);
    m.cboOrbs[0]->setCurrentIndex(9);
    emit m.cboOrbs[0]->activated(9);
    m.cboOrbs[3]->setCurrentIndex(0);  // the search orb is never compared
    emit m.cboOrbs[3]->activated(0);
    EXPECT_EQ(w->dialogs.Messages().size(), 1u);
}

TEST_F(MainWindowTest, BusyStateLeavesOnlyTheRunButtonQuitAndOutput) {
    auto w = Start();
    frmMain& m = w->main;
    m.EnterBusyState(false);
    EXPECT_EQ(Text(m.cmdStart), "Pause");
    EXPECT_TRUE(m.cmdStart->isEnabled());
    EXPECT_TRUE(m.cmdQuit->isEnabled());
    EXPECT_TRUE(m.txbOutput->isEnabled());
    for (QPushButton* b : m.findChildren<QPushButton*>()) {
        if (b != m.cmdStart && b != m.cmdQuit && b->window() == &m) {
            EXPECT_FALSE(b->isEnabled()) << Text(b);
        }
    }
    for (QComboBox* c : m.findChildren<QComboBox*>()) EXPECT_FALSE(c->isEnabled());
    for (QCheckBox* c : m.findChildren<QCheckBox*>()) EXPECT_FALSE(c->isEnabled()) << Text(c);
    for (QLineEdit* f : m.findChildren<QLineEdit*>()) {
        if (f->parentWidget() == m.Frame2) {
            EXPECT_FALSE(f->isEnabled());
        }
    }
    EXPECT_FALSE(m.optHeliocentric->isEnabled());
    EXPECT_TRUE(m.Frame1->isEnabled());

    m.cmdStart->click();
    EXPECT_TRUE(m.Flags().stopRequest);

    m.LeaveBusyState();
    EXPECT_EQ(Text(m.cmdStart), "Mars and Jupiter");
    EXPECT_TRUE(m.cboPlanet[0]->isEnabled());
    EXPECT_TRUE(m.txbYear[0]->isEnabled());
    EXPECT_FALSE(m.cmdSimulateInvestment->isEnabled()) << "geocentric keeps the simulation off";

    m.optHeliocentric->click();
    m.EnterBusyState(true);
    EXPECT_EQ(Text(m.cmdSimulateInvestment), "Pause");
    EXPECT_TRUE(m.cmdSimulateInvestment->isEnabled());
    EXPECT_FALSE(m.cmdStart->isEnabled());
    m.LeaveBusyState();
    EXPECT_TRUE(m.cmdSimulateInvestment->isEnabled());
}

TEST_F(MainWindowTest, TimerShowsOutputControlsOnlyWithOutputAndNeverDuringPause) {
    auto w = Start();
    frmMain& m = w->main;
    m.Timer1Tick();
    EXPECT_TRUE(m.cmdFile[0]->isHidden());
    EXPECT_TRUE(m.chkOpenOutputFile->isHidden());
    EXPECT_TRUE(m.chkAppendToOutput->isHidden());
    EXPECT_TRUE(m.cmdClearOutput->isHidden());

    m.AppendOutput("Mars\r\n");
    m.Timer1Tick();
    EXPECT_FALSE(m.cmdFile[0]->isHidden());
    EXPECT_FALSE(m.chkOpenOutputFile->isHidden());
    EXPECT_FALSE(m.chkAppendToOutput->isHidden());
    EXPECT_FALSE(m.cmdClearOutput->isHidden());

    m.EnterBusyState(false);
    m.Timer1Tick();
    EXPECT_TRUE(m.cmdFile[0]->isHidden());
    EXPECT_TRUE(m.chkOpenOutputFile->isHidden());
    EXPECT_FALSE(m.chkAppendToOutput->isHidden());
    m.LeaveBusyState();

    m.cmdClearOutput->click();
    EXPECT_EQ(m.OutputLength(), 0u);
    EXPECT_TRUE(m.cmdFile[0]->isHidden());
    EXPECT_TRUE(m.cmdClearOutput->isHidden());
    EXPECT_TRUE(m.chkAppendToOutput->isHidden());
}

TEST_F(MainWindowTest, OutputKeepsCrLfAndCountsCharacters) {
    auto w = Start();
    frmMain& m = w->main;
    m.AppendOutput("10°\r\n");
    m.AppendOutput("b");
    EXPECT_EQ(m.OutputText(), "10°\r\nb");
    EXPECT_EQ(m.OutputLength(), 6u);
    EXPECT_EQ(m.txbOutput->toPlainText().toStdString(), "10°\nb");
    EXPECT_TRUE(m.txbOutput->isReadOnly());
    m.ClearOutput();
    EXPECT_EQ(m.OutputLength(), 0u);
    EXPECT_TRUE(m.txbOutput->toPlainText().isEmpty());
}

TEST_F(MainWindowTest, LeavingADateFieldCleansItAndRefreshesTheLabel) {
    auto w = Start();
    frmMain& m = w->main;
    m.txbYear[0]->setText(QStringLiteral("02011"));
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(m.txbYear[0], &out);
    EXPECT_EQ(m.txbYear[0]->text().toStdString(), "2011");
    EXPECT_EQ(Text(m.lblDate[0]), "January 1, 2011 CE");
    EXPECT_NE(Text(m.lblConstructTransitTables).find("2011-01-01 to "), std::string::npos);

    m.txbDay[0]->setText(QStringLiteral("3x1"));
    QApplication::sendEvent(m.txbDay[0], &out);
    EXPECT_EQ(m.txbDay[0]->text().toStdString(), "31");

    // A message box taking the focus is not leaving the field.
    m.txbYear[1]->setText(QStringLiteral("-5"));
    QFocusEvent away(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(m.txbYear[1], &away);
    EXPECT_TRUE(w->dialogs.Messages().empty());
    QApplication::sendEvent(m.txbYear[1], &out);
    ASSERT_EQ(w->dialogs.Messages().size(), 1u);
    EXPECT_EQ(w->dialogs.Messages()[0].text, "Year number must be positive.");
    EXPECT_EQ(m.txbYear[1]->text().toStdString(), "-5");
}

TEST_F(MainWindowTest, ResizeKeepsWidthAndHeightWithinLimits) {
    auto w = Start();
    frmMain& m = w->main;
    const int compact = ui::TwipsToPixels(frmMain::CompactHeight, &m);
    m.resize(m.width() + 120, compact - 100);
    Settle();
    EXPECT_EQ(m.width(), m.FixedWidth);
    EXPECT_EQ(m.height(), compact);
    const int screenHeight = m.screen()->geometry().height();
    m.resize(m.width(), screenHeight * 2);
    Settle();
    EXPECT_LE(m.height(), screenHeight * 95 / 100);
    // The foot follows the output area.
    EXPECT_GT(m.cmdQuit->y(), m.txbOutput->y() + m.txbOutput->height());
    EXPECT_EQ(m.cmdSaveState->y(), m.cmdQuit->y());
    EXPECT_EQ(m.cmdQuit->geometry().right(), m.txbOutput->geometry().right());
}

TEST_F(MainWindowTest, DonePopUpAppearsAtTheFoot) {
    auto w = Start();
    frmMain& m = w->main;
    const int before = m.PopUp().ShownCount();
    m.ShowDonePopUp();
    EXPECT_EQ(m.PopUp().ShownCount(), before + 1);
    EXPECT_EQ(m.PopUp().LastMessage().toStdString(), "Done");
    EXPECT_FALSE(m.PopUp().isVisible());
    // 800 twips right of the notice label's left edge.
    const int labelLeft = m.lblNotice->mapTo(&m, QPoint(0, 0)).x();
    EXPECT_NEAR(m.PopUp().x(), m.frameGeometry().x() + labelLeft + ui::TwipsToPixels(800, &m, ui::Axis::X), 2);
}

}  // namespace
}  // namespace kovo::testing
