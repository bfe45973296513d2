// The runs started from the window's buttons, and the same inputs through kovo-report.
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <fstream>
#include <sstream>

#include "report/report_commands.h"
#include "test_support.h"
#include "ui/pop_up.h"
#include "main_window_probe.h"
#include "ui_test_support.h"

using namespace kovo;

namespace {

class MainWindowRunsTest : public kovo::testing::UiTest {
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
    void OnlyAspects(std::initializer_list<int> aspects) {
        for (int a = 0; a < 7; ++a) w->controls.chkAspectType(a)->setChecked(false);
        for (int a : aspects) w->controls.chkAspectType(a - 1)->setChecked(true);
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> t;
        for (const auto& m : w->dialogs.Messages()) t.push_back(m.text);
        return t;
    }
    static std::string Report(std::vector<std::string> args) {
        std::ostringstream out, err;
        report::RunReport(args, out, err, false);
        return out.str();
    }

    std::unique_ptr<kovo::testing::StartedWindow> w;
};

}  // namespace

TEST_F(MainWindowRunsTest, TwoPlanetRunMatchesTheCommandLineReport) {
    Dates("2026", "1", "1", "2026", "12", "31");
    w->controls.cmdStart()->click();
    EXPECT_EQ(kovo::testing::Probe(w->main).OutputText(), Report({"transits", "--first", "Mars", "--second", "Jupiter", "--from", "2026-01-01",
                                            "--to", "2026-12-31", "--tz", "GMT"}));
    EXPECT_EQ(w->controls.cmdStart()->text(), QStringLiteral("Mars and Jupiter"));
    EXPECT_TRUE(w->controls.cmdStart()->isEnabled());
    EXPECT_TRUE(Texts().empty());
}

TEST_F(MainWindowRunsTest, ThreeDayRuleAndPairMessagesComeFromTheRunButton) {
    OnlyAspects({1});
    Dates("2026", "1", "1", "2026", "1", "3");
    w->controls.cmdStart()->click();
    Dates("2026", "1", "1", "2026", "1", "4");
    w->controls.cmdStart()->click();
    w->controls.cboPlanet(1)->setCurrentIndex(2);  // Mars and Mars
    w->controls.cmdStart()->click();
    w->controls.cboPlanet(0)->setCurrentIndex(5);  // Saturn and Mars
    w->controls.cmdStart()->click();
    EXPECT_EQ(Texts(), (std::vector<std::string>{"The start date must be at least 3 days prior to the end date.",
                                                 "There are no transits of this kind in the period specified.",
                                                 "Transit of a planet to itself is not possible.",
                                                 "Second planet must be beyond first planet"}));
    EXPECT_EQ(w->dialogs.Messages()[0].title, "Mars and Jupiter");
    EXPECT_EQ(w->dialogs.Messages()[3].title, "Saturn and Mars");
}

TEST_F(MainWindowRunsTest, EnterInADateFieldStartsTheRunOnlyWhileTheButtonIsEnabled) {
    Dates("2026", "1", "1", "2026", "1", "3");
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(w->controls.txbDay(1), &press);
    QApplication::sendEvent(w->controls.txbDay(1), &release);
    ASSERT_EQ(Texts().size(), 1u);
    w->controls.cmdStart()->setEnabled(false);
    QApplication::sendEvent(w->controls.txbDay(1), &press);
    QApplication::sendEvent(w->controls.txbDay(1), &release);
    EXPECT_EQ(Texts().size(), 1u);
}

TEST_F(MainWindowRunsTest, SearchRefusalsAndTheDateFieldsItMoves) {
    Dates("2026", "1", "1", "2026", "6", "30");
    w->controls.cboPlanet(0)->setCurrentIndex(0);
    w->controls.cboPlanet(1)->setCurrentIndex(0);  // Sun and Mercury
    w->controls.cboSearchAspect()->setCurrentIndex(2);  // square
    w->controls.cmdSearch()->click();
    ASSERT_EQ(Texts(), std::vector<std::string>{"The only possible geocentric aspects between the Sun and Mercury\r\n"
                                                "are conjunction and semisextile."});
    EXPECT_EQ(w->dialogs.Messages()[0].title, "Search");

    w->controls.cboSearchAspect()->setCurrentIndex(5);  // semisextile
    w->controls.cboSearchWhen()->setCurrentIndex(1);   // on or after the end date
    w->controls.chkKeepDates()->setChecked(false);
    w->controls.cmdSearch()->click();
    EXPECT_EQ(w->controls.txbYear(0)->text() + w->controls.txbMonth(0)->text() + w->controls.txbDay(0)->text(),
              QStringLiteral("2026630"));
    EXPECT_EQ(w->controls.txbYear(1)->text() + w->controls.txbMonth(1)->text() + w->controls.txbDay(1)->text(),
              QStringLiteral("20991231"));
    EXPECT_EQ(w->controls.lblDate(1)->text(), QStringLiteral("December 31, 2099 CE"));
    EXPECT_EQ(kovo::testing::Probe(w->main).OutputText(), Report({"search", "--first", "Sun", "--second", "Mercury", "--aspect", "ssx",
                                            "--from", "2026-01-01", "--to", "2026-06-30", "--when", "end", "--tz", "GMT"}));

    Dates("2026", "1", "1", "2026", "6", "30");
    w->controls.chkKeepDates()->setChecked(true);
    w->controls.cmdSearch()->click();
    EXPECT_EQ(w->controls.txbYear(1)->text(), QStringLiteral("2026"));
}

TEST_F(MainWindowRunsTest, AllTransitsOfTheSunCoverEightPairsAndMatchTheCommandLine) {
    Dates("2026", "1", "1", "2026", "2", "28");
    w->controls.cboPlanet(0)->setCurrentIndex(0);
    w->controls.cmdShowAll(0)->click();
    for (const char* other : {"Mercury", "Venus", "Mars", "Jupiter", "Saturn", "Uranus", "Neptune", "Pluto"})
        EXPECT_NE(kovo::testing::Probe(w->main).OutputText().find(std::string("for Sun and ") + other + " from"), std::string::npos) << other;
    EXPECT_EQ(kovo::testing::Probe(w->main).OutputText(), Report({"all", "--first", "Sun", "--second", "Jupiter", "--from", "2026-01-01",
                                            "--to", "2026-02-28", "--tz", "GMT"}));
    EXPECT_EQ(w->controls.cboPlanet(1)->currentIndex(), 3);
    EXPECT_FALSE(w->controls.chkAppendToOutput()->isChecked());
}

TEST_F(MainWindowRunsTest, AllTransitsOfTheSecondPlanetIncludeThePlutoPass) {
    Dates("2026", "1", "1", "2026", "2", "28");
    w->controls.cboPlanet(1)->setCurrentIndex(2);  // Mars
    w->controls.cmdShowAll(1)->click();
    EXPECT_NE(kovo::testing::Probe(w->main).OutputText().find("transits for Pluto and Mars from"), std::string::npos);
    EXPECT_EQ(kovo::testing::Probe(w->main).OutputText(), Report({"all", "--keep", "second", "--first", "Mars", "--second", "Mars", "--from",
                                            "2026-01-01", "--to", "2026-02-28", "--tz", "GMT"}));
    EXPECT_EQ(w->controls.cboPlanet(0)->currentIndex(), 3);
}

TEST_F(MainWindowRunsTest, PauseDuringOnePairStopsTheWholeAllTransitsRun) {
    Dates("2020", "1", "1", "2026", "12", "31");
    w->controls.cboPlanet(0)->setCurrentIndex(2);  // Venus
    w->dialogs.QueueAnswer(util::Answer::Yes);
    QTimer::singleShot(0, w->controls.cmdStart(), [this] { w->controls.cmdStart()->click(); });
    w->controls.cmdShowAll(0)->click();
    ASSERT_EQ(Texts(), std::vector<std::string>{"Stop?"});
    EXPECT_EQ(kovo::testing::Probe(w->main).OutputText().substr(kovo::testing::Probe(w->main).OutputText().size() - 9), "\r\nStopped");
    EXPECT_EQ(w->controls.cboPlanet(0)->currentIndex(), 2);
    EXPECT_EQ(w->controls.cmdStart()->text(), QStringLiteral("Venus and Jupiter"));
    EXPECT_FALSE(kovo::testing::Probe(w->main).PopUp().isVisible());
}

TEST_F(MainWindowRunsTest, SimulationFromTheWindowMatchesTheHandCheckedReport) {
    const std::string data = kovo::testing::SharedIndexFile();
    KOVO_REQUIRE_INDEX_FILE(data);
    ASSERT_FALSE(w->main.IndexPrices().Load(data).has_value());
    w->controls.optHeliocentric()->click();
    w->controls.cboPlanet(0)->setCurrentIndex(0);  // Earth
    OnlyAspects({1, 2});
    Dates("2011", "3", "15", "2011", "9", "30");
    w->controls.chkIncludeTransitDetails()->setChecked(true);
    ASSERT_TRUE(w->controls.cmdSimulateInvestment()->isEnabled());
    w->controls.cmdSimulateInvestment()->click();
    std::ifstream in(std::string(KOVO_TEST_SOURCE_DIR) + "/simulation/golden/earth_jupiter_2011_conjunction_opposition.txt",
                     std::ios::binary);
    std::stringstream golden;
    golden << in.rdbuf();
    EXPECT_EQ(kovo::testing::Probe(w->main).OutputText(), golden.str());
    EXPECT_EQ(w->controls.cmdSimulateInvestment()->text(), QStringLiteral("Simulate investment"));
    EXPECT_EQ(kovo::testing::Probe(w->main).OutputText(), Report({"simulate", "--first", "Earth", "--second", "Jupiter", "--from",
                                            "2011-03-15", "--to", "2011-09-30", "--aspects", "con,opp", "--details",
                                            "--index-file", data}));
}

TEST_F(MainWindowRunsTest, WithoutPlutoDataEveryRunWithPlutoSaysWhy) {
    const std::string folder = TempPath("no_pluto") + "/";
    w->main.LoadPlutoData(folder);
    ASSERT_FALSE(kovo::testing::Probe(w->main).IsPlutoAvailable());
    const std::string reason = folder + "pluto.slx: No such file or directory";
    ASSERT_EQ(Texts(), std::vector<std::string>{"Error when reading geocentric Pluto data.\r\n" + reason});
    w->dialogs.ClearRecords();

    Dates("2026", "1", "1", "2026", "12", "31");
    w->controls.cboPlanet(1)->setCurrentIndex(7);  // Pluto
    w->controls.cmdStart()->click();
    EXPECT_EQ(Texts(), std::vector<std::string>{"Pluto data is not available.\r\n" + reason});
    EXPECT_TRUE(kovo::testing::Probe(w->main).OutputText().empty());
    w->dialogs.ClearRecords();

    w->controls.optHeliocentric()->click();
    w->controls.cboPlanet(0)->setCurrentIndex(0);  // Earth
    w->controls.cboPlanet(1)->setCurrentIndex(7);
    Dates("2011", "3", "15", "2011", "9", "30");
    w->controls.cmdSimulateInvestment()->click();
    EXPECT_EQ(Texts(), std::vector<std::string>{"Pluto data is not available.\r\n" + reason});
    EXPECT_TRUE(kovo::testing::Probe(w->main).OutputText().empty());
    EXPECT_EQ(w->controls.cmdSimulateInvestment()->text(), QStringLiteral("Simulate investment"));

    w->main.LoadPlutoData();  // the real files again, for the tests that follow
    EXPECT_TRUE(kovo::testing::Probe(w->main).IsPlutoAvailable());
}

TEST_F(MainWindowRunsTest, ClickOnPauseDuringASimulationOnlyAsksItToStop) {
    w->controls.optHeliocentric()->click();
    Dates("2011", "3", "15", "2011", "9", "30");
    w->main.EnterBusyState(true);
    w->controls.cmdSimulateInvestment()->click();
    EXPECT_TRUE(w->main.Cancel().Requested());
    EXPECT_TRUE(Texts().empty());
    EXPECT_TRUE(kovo::testing::Probe(w->main).OutputText().empty());
    EXPECT_EQ(w->controls.cmdSimulateInvestment()->text(), QStringLiteral("Pause"));
    w->main.LeaveBusyState();
}

TEST_F(MainWindowRunsTest, TheWindowKeepsTheLastRunsRecords) {
    EXPECT_TRUE(std::holds_alternative<std::monostate>(kovo::testing::Probe(w->main).LastRunRecords()));
    Dates("2026", "1", "1", "2026", "12", "31");
    w->controls.cmdStart()->click();
    const auto* result = std::get_if<transits::TransitResult>(&kovo::testing::Probe(w->main).LastRunRecords());
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(result->outcome, util::RunOutcome::Completed);
    // One period per aspect name in the first column of the report.
    std::size_t named = 0;
    for (const char* aspect : {"Conjunction |", "Opposition  |", "Square      |", "Trine       |", "Sextile     |",
                               "Semisextile |", "Quincunx    |"})
        for (std::size_t at = 0; (at = kovo::testing::Probe(w->main).OutputText().find(aspect, at)) != std::string::npos; ++at) ++named;
    EXPECT_EQ(result->periods.size(), named);

    Dates("2026", "1", "1", "2026", "1", "2");  // refused: under three days
    w->controls.cmdStart()->click();
    result = std::get_if<transits::TransitResult>(&kovo::testing::Probe(w->main).LastRunRecords());
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(result->outcome, util::RunOutcome::Refused);
}

TEST_F(MainWindowRunsTest, EnterReleasedWithoutItsPressInTheFieldStartsNothing) {
    Dates("2026", "1", "1", "2026", "1", "3");
    // The press went to a message box, which closed on it; only the release reaches the field.
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(w->controls.txbDay(1), &release);
    EXPECT_TRUE(Texts().empty());
}

TEST_F(MainWindowRunsTest, DateFieldsLosingTheFocusToTheBusyStateAreNotLeft) {
    w->controls.txbYear(0)->setText(QStringLiteral("-5"));
    QFocusEvent focusOut(QEvent::FocusOut, Qt::OtherFocusReason);
    w->main.EnterBusyState(false);
    QApplication::sendEvent(w->controls.txbYear(0), &focusOut);
    EXPECT_TRUE(Texts().empty());
    w->main.LeaveBusyState();
    QApplication::sendEvent(w->controls.txbYear(0), &focusOut);
    EXPECT_EQ(Texts(), std::vector<std::string>{"Year number must be positive."});
}
