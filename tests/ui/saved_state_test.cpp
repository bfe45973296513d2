// Saving and restoring the window's inputs, and the quit question.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include "ui/registry.h"
#include "main_window_probe.h"
#include "ui_test_support.h"

namespace kovo::testing {
namespace {

using ui::frmMain;

std::string Stored(const QString& file, const char* key) {
    return QSettings(file, QSettings::IniFormat).value(QString::fromLatin1(key)).toString().toStdString();
}

class SavedStateTest : public UiTest {};

// Every saved input set away from its default.
void ChangeEverything(frmMain& m, const MainControls& c) {
    c.txbYear(0)->setText(QStringLiteral("2011"));
    c.txbMonth(0)->setText(QStringLiteral("3"));
    c.txbDay(0)->setText(QStringLiteral("15"));
    c.txbYear(1)->setText(QString());
    c.txbMonth(1)->setText(QStringLiteral("6"));
    c.txbDay(1)->setText(QStringLiteral("30"));
    c.optHeliocentric()->click();
    c.cboPlanet(0)->setCurrentIndex(0);
    c.cboPlanet(1)->setCurrentIndex(4);  // Saturn
    c.cboOrbs(0)->setCurrentIndex(7);
    c.cboOrbs(1)->setCurrentIndex(5);
    c.cboOrbs(2)->setCurrentIndex(3);
    c.cboOrbs(3)->setCurrentIndex(10);
    c.chkDisplayNATZabbr()->setChecked(true);
    m.SetTimeZonePosition(14);
    c.cboSearchAspect()->setCurrentIndex(5);
    c.cboSearchWhen()->setCurrentIndex(1);
    c.chkAspectType(1)->setChecked(false);
    c.chkAspectType(6)->setChecked(false);
    c.chkIncludeTransitDetails()->setChecked(false);
}

TEST_F(SavedStateTest, EveryControlComesBackAfterARestart) {
    {
        auto w = Start();
        ChangeEverything(w->main, w->controls);
        w->main.SaveState();
    }
    EXPECT_EQ(Stored(StateFile(), "Year/0"), "2011");
    EXPECT_EQ(Stored(StateFile(), "Geocentric"), "N");
    EXPECT_EQ(Stored(StateFile(), "StateSaved"), "Y");
    EXPECT_EQ(Stored(StateFile(), "ShowAspect/1"), "0");
    EXPECT_EQ(Stored(StateFile(), "InnerOuter1"), "4");

    auto w = Start();
    frmMain& m = w->main;
    const MainControls& c = w->controls;
    EXPECT_TRUE(w->dialogs.Messages().empty());
    EXPECT_EQ(c.txbYear(0)->text().toStdString(), "2011");
    EXPECT_EQ(c.txbMonth(0)->text().toStdString(), "3");
    EXPECT_EQ(c.txbDay(0)->text().toStdString(), "15");
    EXPECT_TRUE(c.txbYear(1)->text().isEmpty());
    EXPECT_EQ(c.txbDay(1)->text().toStdString(), "30");
    EXPECT_EQ(c.lblDate(0)->text().toStdString(), "March 15, 2011 CE");
    EXPECT_TRUE(c.lblDate(1)->text().isEmpty());
    EXPECT_TRUE(c.optHeliocentric()->isChecked());
    EXPECT_EQ(c.cboPlanet(0)->itemText(0).toStdString(), "Earth");
    EXPECT_EQ(c.cmdStart()->text().toStdString(), "Earth and Saturn");
    EXPECT_TRUE(c.cmdSimulateInvestment()->isEnabled());
    EXPECT_EQ(m.OrbPosition(0), 7);
    EXPECT_EQ(m.OrbPosition(1), 5);
    EXPECT_EQ(m.OrbPosition(2), 3);
    EXPECT_EQ(m.OrbPosition(3), 10);
    EXPECT_TRUE(c.chkDisplayNATZabbr()->isChecked());
    EXPECT_EQ(m.TimeZonePosition(), 14);
    EXPECT_EQ(m.TimeZoneText(), "EST/CDT");
    EXPECT_EQ(m.SearchAspect(), 6);
    EXPECT_EQ(m.SearchWhen(), 1);
    for (int i = 0; i < 7; ++i) EXPECT_EQ(m.AspectChecked(i), i != 1 && i != 6) << i;
    EXPECT_FALSE(m.IncludeTransitDetails());
    EXPECT_TRUE(kovo::testing::Probe(m).RecentlySaved());
}

TEST_F(SavedStateTest, InnerOuterWinsOverPlanetListPosition) {
    ui::WriteRegistryText("\\KOVO", "StateSaved", "Y");
    ui::WriteRegistryText("\\KOVO\\PlanetLI", "0", "2");
    ui::WriteRegistryText("\\KOVO", "InnerOuter0", "6");
    ui::WriteRegistryText("\\KOVO", "InnerOuter1", "1");
    auto w = Start();
    EXPECT_EQ(w->controls.cmdStart()->text().toStdString(), "Uranus and Venus");
}

TEST_F(SavedStateTest, DamagedValuesAreIgnored) {
    ui::WriteRegistryText("\\KOVO", "StateSaved", "Y");
    ui::WriteRegistryText("\\KOVO\\PlanetLI", "0", "42");
    ui::WriteRegistryText("\\KOVO\\PlanetLI", "1", "3");
    ui::WriteRegistryText("\\KOVO", "InnerOuter0", "-1");
    ui::WriteRegistryText("\\KOVO", "InnerOuter1", "Jupiter");
    ui::WriteRegistryText("\\KOVO\\OrbsLI", "0", "abc");
    ui::WriteRegistryText("\\KOVO\\OrbsLI", "1", "15");
    ui::WriteRegistryText("\\KOVO", "Geocentric", "maybe");
    ui::WriteRegistryText("\\KOVO", "TZ0", "48");
    ui::WriteRegistryText("\\KOVO\\ShowAspect", "2", "7");
    auto w = Start();
    frmMain& m = w->main;
    const MainControls& c = w->controls;
    EXPECT_EQ(m.FirstPlanet(), 4);
    EXPECT_EQ(m.SecondPlanet(), 5);
    EXPECT_EQ(m.OrbPosition(0), 9);
    EXPECT_EQ(m.OrbPosition(3), 4) << "a missing value takes its default";
    EXPECT_EQ(m.OrbPosition(1), 4);
    EXPECT_TRUE(c.optGeocentric()->isChecked());
    EXPECT_GE(m.TimeZonePosition(), 1) << "falls back to the local zone";
    EXPECT_TRUE(m.AspectChecked(2));
    EXPECT_FALSE(m.AspectChecked(3)) << "a missing aspect value reads as unchecked";
}

TEST_F(SavedStateTest, RestoreButtonAlsoRefreshesLabelsAndDayNumbers) {
    auto w = Start();
    frmMain& m = w->main;
    const MainControls& c = w->controls;
    c.txbYear(0)->setText(QStringLiteral("2011"));
    m.SaveState();
    c.txbYear(0)->setText(QStringLiteral("2020"));
    m.MonthDayLostFocus(0);
    const std::int32_t day2020 = m.DateModel().DayNumbers[0];
    c.cmdRestoreState()->click();
    EXPECT_EQ(c.txbYear(0)->text().toStdString(), "2011");
    EXPECT_EQ(c.lblDate(0)->text().toStdString(), "January 1, 2011 CE");
    EXPECT_EQ(day2020 - m.DateModel().DayNumbers[0], 3287);
    EXPECT_NE(c.lblConstructTransitTables()->text().toStdString().find("2011-01-01"), std::string::npos);
}

TEST_F(SavedStateTest, QuitRightAfterASaveEndsWithoutAsking) {
    auto w = Start();
    w->controls.cmdSaveState()->click();
    w->controls.cmdQuit()->click();
    EXPECT_TRUE(w->dialogs.Messages().empty());
    EXPECT_TRUE(kovo::testing::Probe(w->main).ProgramEnded());
    EXPECT_FALSE(w->main.isVisible());
}

TEST_F(SavedStateTest, QuestionComesBackAfterElevenTicks) {
    auto w = Start();
    w->main.SaveState();
    for (int i = 0; i < 10; ++i) w->main.Timer1Tick();
    EXPECT_TRUE(kovo::testing::Probe(w->main).RecentlySaved());
    w->main.Timer1Tick();
    EXPECT_FALSE(kovo::testing::Probe(w->main).RecentlySaved());
    w->dialogs.QueueAnswer(util::Answer::No);
    EXPECT_TRUE(w->main.QuitAction());
    ASSERT_EQ(w->dialogs.Messages().size(), 1u);
    const util::Message& q = w->dialogs.Messages()[0];
    EXPECT_EQ(q.text, "Save program state for next run?");
    EXPECT_EQ(q.title, "Quit");
    EXPECT_EQ(q.buttons, util::MessageButtons::YesNoCancel);
    EXPECT_EQ(q.defaultButton, util::Answer::No);
}

TEST_F(SavedStateTest, CancelKeepsTheWindowOpenWithNothingSaved) {
    auto w = Start();
    w->dialogs.QueueAnswer(util::Answer::Cancel);
    EXPECT_FALSE(w->main.close());
    EXPECT_TRUE(w->main.isVisible());
    EXPECT_FALSE(kovo::testing::Probe(w->main).ProgramEnded());
    std::string saved;
    EXPECT_FALSE(ui::ReadRegistryText("\\KOVO", "StateSaved", saved, ""));

    w->dialogs.QueueAnswer(util::Answer::Yes);
    EXPECT_TRUE(w->main.close());
    EXPECT_TRUE(kovo::testing::Probe(w->main).ProgramEnded());
    EXPECT_TRUE(ui::ReadRegistryText("\\KOVO", "StateSaved", saved, ""));
    EXPECT_EQ(w->dialogs.Messages().size(), 2u);
}

// A store that cannot be written, also for root: a folder where its file should be.
class UnwritableStateTest : public SavedStateTest {
protected:
    void SetUp() override {
        SavedStateTest::SetUp();
        ASSERT_TRUE(QDir().mkpath(StateFile()));
    }
};

TEST_F(UnwritableStateTest, SaveStateNamesTheFileAndTheReasonAndIsNotCountedAsSaved) {
    auto w = Start();
    frmMain& m = w->main;
    const MainControls& c = w->controls;
    c.cmdSaveState()->click();
    ASSERT_EQ(w->dialogs.Messages().size(), 1u);
    const util::Message& failure = w->dialogs.Messages()[0];
    EXPECT_EQ(failure.icon, util::MessageIcon::Exclamation);
    EXPECT_EQ(failure.title, "Save state");
    EXPECT_NE(failure.text.find(QDir::toNativeSeparators(StateFile()).toStdString()), std::string::npos)
        << failure.text;
    EXPECT_NE(failure.text.find("folder"), std::string::npos) << failure.text;
    EXPECT_FALSE(kovo::testing::Probe(m).RecentlySaved());
    EXPECT_TRUE(QFileInfo(StateFile()).isDir());

    // Within the five seconds of a save the quit still asks.
    w->dialogs.QueueAnswer(util::Answer::No);
    c.cmdQuit()->click();
    ASSERT_EQ(w->dialogs.Messages().size(), 2u);
    EXPECT_EQ(w->dialogs.Messages()[1].text, "Save program state for next run?");
    EXPECT_TRUE(kovo::testing::Probe(m).ProgramEnded());
}

TEST_F(UnwritableStateTest, YesAtQuitWhoseSaveFailsKeepsTheWindowAndAsksAgain) {
    auto w = Start();
    frmMain& m = w->main;
    w->dialogs.QueueAnswer(util::Answer::Yes);
    EXPECT_FALSE(m.close());
    EXPECT_TRUE(m.isVisible());
    EXPECT_FALSE(kovo::testing::Probe(m).ProgramEnded());
    ASSERT_EQ(w->dialogs.Messages().size(), 2u);
    EXPECT_EQ(w->dialogs.Messages()[1].icon, util::MessageIcon::Exclamation);

    // Once the store can be written again, the same answer saves and ends.
    ASSERT_TRUE(QDir(StateFile()).removeRecursively());
    w->dialogs.QueueAnswer(util::Answer::Yes);
    EXPECT_TRUE(m.close());
    EXPECT_TRUE(kovo::testing::Probe(m).ProgramEnded());
    EXPECT_EQ(w->dialogs.Messages().size(), 3u);
    EXPECT_EQ(Stored(StateFile(), "StateSaved"), "Y");
}

TEST_F(SavedStateTest, FailedSaveEndsTheGraceOfARestore) {
    ui::WriteRegistryText("\\KOVO", "StateSaved", "Y");
    auto w = Start();
    ASSERT_TRUE(kovo::testing::Probe(w->main).RecentlySaved());
    // The store's folder turns into a plain file.
    const QString folder = QFileInfo(StateFile()).absolutePath() + QStringLiteral("/moved");
    QFile plain(folder);
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    ui::UseRegistryFileForTests(folder + QStringLiteral("/state.ini"));
    EXPECT_FALSE(w->main.SaveState());
    EXPECT_FALSE(kovo::testing::Probe(w->main).RecentlySaved());
    ASSERT_EQ(w->dialogs.Messages().size(), 1u);
    EXPECT_NE(w->dialogs.Messages()[0].text.find("is not a folder"), std::string::npos)
        << w->dialogs.Messages()[0].text;
}

}  // namespace
}  // namespace kovo::testing
