// The checks of the transit runs' inputs and the runs they lead to, with the real
// ephemeris and a scripted host.
#include <gtest/gtest.h>

#include <cmath>

#include "astro/geometry.h"
#include "astro/positions.h"
#include "fake_run_host.h"
#include "test_support.h"
#include "requests/transit_form.h"
#include "transits/transit_runs.h"

using namespace kovo;
using namespace kovo::transits;
using namespace kovo::requests;

namespace {

class TransitRunsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { kovo::testing::InitModelOnce(); }

    void SetDates(const std::string& y0, const std::string& m0, const std::string& d0, const std::string& y1,
                  const std::string& m1, const std::string& d1) {
        dates.txbYear = {y0, y1};
        dates.txbMonth = {m0, m1};
        dates.txbDay = {d0, d1};
        calendar::RefreshDateLabel(dates, 0);
        calendar::RefreshDateLabel(dates, 1);
    }
    TransitResult StartTwoPlanetRun() { return RunTwoPlanetForm(inputs, dates, host); }
    TransitResult StartAspectSearch() { return RunSearchForm(inputs, dates, host); }
    AllTransitsResult StartAllTransitsRun(int index) { return RunAllTransitsForm(inputs, dates, index, host); }

    TransitForm inputs;
    calendar::DateEntryModel dates;
    kovo::testing::FakeRunHost host;
};

double Deviation(int first, int second, int aspect, double instant) {
    std::int16_t direction = 0;
    return std::fabs(astro::AngularSeparation(astro::PlanetLongitude(first, instant, false),
                                              astro::PlanetLongitude(second, instant, false), direction) -
                     astro::AspectAngle[static_cast<std::size_t>(aspect)]);
}

}  // namespace

TEST_F(TransitRunsTest, ThreeDayMinimumPeriod) {
    inputs.aspectChecked = {true, false, false, false, false, false, false};
    SetDates("2026", "1", "1", "2026", "1", "4");
    EXPECT_NE(StartTwoPlanetRun().outcome, util::RunOutcome::Refused);
    host.messages.clear();
    SetDates("2026", "1", "1", "2026", "1", "3");
    const auto refused = TwoPlanetRequest(inputs, dates);
    ASSERT_TRUE(std::holds_alternative<util::Refusal>(refused));
    EXPECT_EQ(std::get<util::Refusal>(refused).field, util::InputField::EndDate);
    StartTwoPlanetRun();
    ASSERT_EQ(host.Texts(), std::vector<std::string>{"The start date must be at least 3 days prior to the end date."});
    EXPECT_EQ(host.messages[0].title, "Mars and Jupiter");
    EXPECT_TRUE(host.output.empty());
}

TEST_F(TransitRunsTest, PairTimeZoneAndOrbRefusals) {
    SetDates("2026", "1", "1", "2026", "12", "31");
    inputs.firstListPos = 4;  // Jupiter
    inputs.secondListPos = 3;  // Jupiter
    StartTwoPlanetRun();
    inputs.firstListPos = 5;  // Saturn, second Jupiter
    StartTwoPlanetRun();
    EXPECT_EQ(host.Texts(), (std::vector<std::string>{"Transit of a planet to itself is not possible.",
                                                      "Second planet must be beyond first planet"}));
    EXPECT_EQ(host.messages[0].icon, util::MessageIcon::Exclamation);
    EXPECT_EQ(host.messages[1].icon, util::MessageIcon::Information);
    EXPECT_EQ(host.messages[1].title, "Saturn and Jupiter");

    host.messages.clear();
    inputs.firstListPos = 3;
    inputs.timezonePosition = 0;
    StartTwoPlanetRun();
    EXPECT_EQ(inputs.timezonePosition, 24);
    inputs.orbPositions = {9, 9, 4, 3};
    StartTwoPlanetRun();
    EXPECT_EQ(host.Texts(), (std::vector<std::string>{
                                "Please specify the timezone for the results, or use the default GMT timezone.",
                                "Orbs must be strictly decreasing."}));
    EXPECT_EQ(host.progressCalls, 0);
}

TEST_F(TransitRunsTest, PlutoWithoutDataIsRefusedWithItsReason) {
    SetDates("2026", "1", "1", "2026", "12", "31");
    inputs.secondListPos = 7;  // Pluto
    inputs.pluto = {.available = false, .reason = "/data/pluto.slx: No such file or directory"};
    const std::string reason = "Pluto data is not available.\r\n/data/pluto.slx: No such file or directory";
    const auto refused = StartTwoPlanetRun();
    EXPECT_EQ(refused.outcome, util::RunOutcome::Refused);
    EXPECT_EQ(refused.refusal, reason);
    EXPECT_EQ(host.Texts(), std::vector<std::string>{reason});
    EXPECT_EQ(host.messages[0].title, "Mars and Pluto");
    EXPECT_EQ(host.progressCalls, 0);

    host.messages.clear();
    inputs.firstListPos = 0;
    EXPECT_EQ(StartAspectSearch().outcome, util::RunOutcome::Refused);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].title, "Search");

    // Kept Pluto refuses the whole all-transits run once; a kept Sun loses only its Pluto pair.
    host.messages.clear();
    const auto keptPluto = StartAllTransitsRun(1);
    EXPECT_EQ(keptPluto.outcome, util::RunOutcome::Refused);
    EXPECT_EQ(keptPluto.refusal, reason);
    EXPECT_TRUE(keptPluto.pairs.empty());
    EXPECT_EQ(host.messages.size(), 1u);
    EXPECT_TRUE(host.output.empty());
    host.messages.clear();
    SetDates("2026", "1", "1", "2026", "1", "20");
    const auto keptSun = StartAllTransitsRun(0);
    EXPECT_EQ(keptSun.outcome, util::RunOutcome::Refused);
    ASSERT_EQ(keptSun.pairs.size(), 8u);
    EXPECT_EQ(keptSun.pairs[7].refusal, reason);
    EXPECT_NE(keptSun.pairs[6].outcome, util::RunOutcome::Refused);  // only the Pluto pair is refused
    EXPECT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.output.find("transits for Sun and Neptune from"), std::string::npos);
    EXPECT_EQ(host.output.find("Sun and Pluto"), std::string::npos);
}

TEST_F(TransitRunsTest, OutcomesTellFoundFromNotFound) {
    SetDates("2026", "1", "1", "2026", "12", "31");
    EXPECT_EQ(StartTwoPlanetRun().outcome, util::RunOutcome::Completed);
    SetDates("2026", "3", "1", "2026", "3", "10");
    inputs.aspectChecked = {true, false, false, false, false, false, false};
    EXPECT_EQ(StartTwoPlanetRun().outcome, util::RunOutcome::NotFound);
    SetDates("2026", "3", "1", "2026", "3", "2");  // under the 3-day minimum
    const auto refused = StartTwoPlanetRun();
    EXPECT_EQ(refused.outcome, util::RunOutcome::Refused);
    EXPECT_EQ(refused.refusal, "The start date must be at least 3 days prior to the end date.");
    EXPECT_TRUE(refused.periods.empty());
}

TEST_F(TransitRunsTest, BackOffMovesTheStartOutOfTheInnerOrbButNotTheFields) {
    // Mars and Jupiter were in opposition on 2026-01-10: within 2° on January 8.
    SetDates("2026", "1", "9", "2026", "2", "28");
    inputs.aspectChecked = {true, false, false, false, false, false, false};  // no opposition: back-off looks at all
    const std::int32_t moved = StartTwoPlanetRun().inputs.startDay;
    EXPECT_LT(moved, 2461050);
    EXPECT_GE(Deviation(4, 5, 2, moved - 0.5), 2 * astro::FullCircle / 360);
    EXPECT_LT(Deviation(4, 5, 2, moved + 1 - 0.5), 2 * astro::FullCircle / 360);
    EXPECT_EQ(dates.txbDay[0], "9");
    EXPECT_EQ(host.Texts(), std::vector<std::string>{"There are no transits of this kind in the period specified."});
    SetDates("2026", "1", "9", "2026", "2", "28");
    inputs.aspectChecked = {false, true, false, false, false, false, false};
    EXPECT_EQ(StartTwoPlanetRun().inputs.startDay, moved);
    EXPECT_NE(host.output.find("from " + calendar::FormatDayNumberLong(moved) + ", to"), std::string::npos);
}

TEST_F(TransitRunsTest, BackOffShowsTheInnerEntryOnTheMovedStartDay) {
    // Mars and Jupiter in semisextile, GMT: 2.04° off at 00:00 on 1991-04-06, 1.91° at
    // 06:00, so the start moves from April 7 to April 6 and the 2° entry falls on the 6th.
    inputs.aspectChecked = {false, false, false, false, false, true, false};
    SetDates("1991", "4", "7", "1991", "6", "30");
    const TransitResult moved = StartTwoPlanetRun();
    const std::int32_t april6 = 2448353;  // 1991-04-06
    EXPECT_EQ(moved.inputs.startDay, april6);
    ASSERT_EQ(moved.periods.size(), 1u);
    ASSERT_TRUE(moved.periods[0].passes[0].inner.entry.has_value());
    EXPECT_EQ(moved.periods[0].passes[0].inner.entry->day, april6);
    // A run from an earlier start sees the same entry on the same day.
    SetDates("1991", "4", "1", "1991", "6", "30");
    const TransitResult earlier = StartTwoPlanetRun();
    ASSERT_EQ(earlier.periods.size(), 1u);
    EXPECT_EQ(earlier.periods[0].passes[0].inner, moved.periods[0].passes[0].inner);
    EXPECT_EQ(earlier.periods[0].passes[0].minimum->instantUt, moved.periods[0].passes[0].minimum->instantUt);
}

TEST_F(TransitRunsTest, BackOffStopsAtTheFirstDayWithData) {
    // Pluto's data begin on 1 January 1600; pick an inner orb wide enough to hold.
    const std::int32_t first = astro::kPlutoFirstDay;
    EXPECT_EQ(BackOffStartDay(8, 9, first + 3, astro::FullCircle, false, 0), first);
    EXPECT_EQ(BackOffStartDay(4, 5, 2461000, 0.0, false, 0), 2461000);  // never inside a 0° orb
}

TEST_F(TransitRunsTest, DerivedSearchOrbsAndGeocentricRefusals) {
    EXPECT_EQ(DerivedSearchOrbs(6), (std::array<int, 3>{6, 4, 1}));
    EXPECT_EQ(DerivedSearchOrbs(9), (std::array<int, 3>{9, 6, 2}));
    EXPECT_EQ(DerivedSearchOrbs(15), (std::array<int, 3>{15, 10, 3}));
    EXPECT_EQ(DerivedSearchOrbs(3), (std::array<int, 3>{3, 2, 0}));
    EXPECT_EQ(GeocentricAspectRefusal(1, 2, 3),
              "The only possible geocentric aspects between the Sun and Mercury\r\nare conjunction and semisextile.");
    EXPECT_EQ(GeocentricAspectRefusal(1, 2, 6), "");
    EXPECT_EQ(GeocentricAspectRefusal(1, 3, 5), "");
    EXPECT_NE(GeocentricAspectRefusal(2, 3, 2), "");
    EXPECT_EQ(GeocentricAspectRefusal(4, 5, 2), "");
}

TEST_F(TransitRunsTest, SearchRefusesImpossibleGeocentricAspects) {
    SetDates("2026", "1", "1", "2026", "12", "31");
    inputs.firstListPos = 0;
    inputs.secondListPos = 0;   // Sun and Mercury
    inputs.searchAspectPos = 2;  // square
    StartAspectSearch();
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].title, "Search");
    EXPECT_EQ(host.progressCalls, 0);
    inputs.searchAspectPos = 5;  // semisextile
    EXPECT_TRUE(StartAspectSearch().Recorded());
}

// The range a window shows after a search comes back in the result; the run itself
// leaves the date fields alone.
TEST_F(TransitRunsTest, SearchReturnsTheRangeItScanned) {
    SetDates("2026", "1", "1", "2026", "6", "30");
    inputs.searchWhenPos = 1;  // on or after the end date
    inputs.searchAspectPos = 0;
    const auto result = StartAspectSearch();
    ASSERT_TRUE(result.Recorded());
    EXPECT_TRUE(result.searchFound);
    EXPECT_EQ(calendar::FormatDayNumberIso8601(result.inputs.startDay), "2026-06-30");
    EXPECT_EQ(calendar::FormatDayNumberIso8601(result.inputs.endDay), "2099-12-31");
    EXPECT_EQ(dates.txbYear[1] + "-" + dates.txbMonth[1] + "-" + dates.txbDay[1], "2026-6-30");
    EXPECT_NE(host.output.find("First geocentric 6° conjunction of Mars and Jupiter on or after June 30, 2026"),
              std::string::npos);
}

TEST_F(TransitRunsTest, AllTransitsOfTheSunCoverEightPairs) {
    SetDates("2026", "1", "1", "2026", "1", "20");
    inputs.firstListPos = 0;
    inputs.aspectChecked = {true, true, true, true, true, true, true};
    const auto all = StartAllTransitsRun(0);
    EXPECT_EQ(all.outcome, util::RunOutcome::Completed);
    for (const char* other : {"Mercury", "Venus", "Mars", "Jupiter", "Saturn", "Uranus", "Neptune", "Pluto"})
        EXPECT_NE(host.output.find(std::string("transits for Sun and ") + other + " from"), std::string::npos) << other;
    // One result per pair, in list order, each with its own periods.
    ASSERT_EQ(all.pairs.size(), 8u);
    for (std::size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(all.pairs[i].inputs.firstPlanet, 1);
        EXPECT_EQ(all.pairs[i].inputs.secondPlanet, static_cast<int>(i) + 2);
        EXPECT_EQ(all.pairs[i].inputs.kind, RunKind::AllTransits);
        for (const auto& period : all.pairs[i].periods) EXPECT_FALSE(period.passes.empty());
    }
    EXPECT_TRUE(all.pairs[0].Recorded());  // the Sun and Mercury in conjunction in January 2026
    EXPECT_EQ(inputs.firstListPos, 0);
    EXPECT_EQ(inputs.secondListPos, 3);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(host.output.find("retrograde"), std::string::npos);
}

TEST_F(TransitRunsTest, AllTransitsOfTheSecondPlanetEndWithThePlutoPass) {
    SetDates("2026", "1", "1", "2026", "1", "20");
    inputs.secondListPos = 2;  // Mars, in conjunction with Pluto late in January 2026
    const auto all = StartAllTransitsRun(1);
    EXPECT_NE(host.output.find("transits for Pluto and Mars from"), std::string::npos);
    EXPECT_EQ(host.output.find("Mars and Mars"), std::string::npos);
    ASSERT_EQ(all.pairs.size(), 8u);  // Mars with itself has no result
    EXPECT_EQ(all.pairs.back().inputs.firstPlanet, 4);  // the reversed pair is swapped
    EXPECT_EQ(all.pairs.back().inputs.secondPlanet, 9);
    EXPECT_EQ(all.pairs.back().inputs.firstName, "Pluto");  // named in the order they were chosen
    EXPECT_EQ(inputs.firstListPos, 3);

    // With Pluto kept, the final pass pairs Pluto with itself and is skipped.
    host.output.clear();
    inputs.secondListPos = 7;
    StartAllTransitsRun(1);
    EXPECT_EQ(host.output.find("Pluto and Pluto"), std::string::npos);
    EXPECT_NE(host.output.find("Mars and Pluto"), std::string::npos);
}

TEST_F(TransitRunsTest, StopDuringOnePairEndsTheWholeRun) {
    SetDates("2026", "1", "1", "2026", "3", "31");
    inputs.firstListPos = 2;  // Venus
    host.output = "kept";
    host.onProgress = [this](int n) {
        if (n == 500) host.cancel.Request();
    };
    host.answers = {util::Answer::Yes};
    const auto all = StartAllTransitsRun(0);
    EXPECT_EQ(all.outcome, util::RunOutcome::Stopped);
    ASSERT_FALSE(all.pairs.empty());
    EXPECT_EQ(all.pairs.back().outcome, util::RunOutcome::Stopped);
    EXPECT_EQ(host.output.rfind("kept", 0), 0u);
    EXPECT_EQ(host.output.substr(host.output.size() - 7), "Stopped");
    EXPECT_EQ(inputs.firstListPos, 2);
    EXPECT_LT(host.progressCalls, 600);
    EXPECT_FALSE(host.cancel.Requested());
}

// Answering No to "Stop?" after the output area filled up lets that pair finish but ends
// the run there, without "Done"; the records still hold every period of the pair.
TEST_F(TransitRunsTest, FullOutputEndsTheAllTransitsRunAfterItsPair) {
    SetDates("2026", "1", "1", "2026", "12", "31");
    inputs.outputLimit = 0;  // the first line is taken, every later one refused
    const auto all = StartAllTransitsRun(0);
    EXPECT_EQ(all.outcome, util::RunOutcome::Stopped);
    ASSERT_FALSE(all.pairs.empty());
    EXPECT_LT(all.pairs.size(), 7u);
    for (std::size_t i = 0; i + 1 < all.pairs.size(); ++i) EXPECT_FALSE(all.pairs[i].outputFull);
    const TransitResult& full = all.pairs.back();
    EXPECT_TRUE(full.outputFull);
    EXPECT_EQ(full.outcome, util::RunOutcome::Completed);  // the user let it go on
    EXPECT_GT(full.periods.size(), 1u);
    EXPECT_EQ(host.Texts()[0], "Output textbox is full.");
    EXPECT_EQ(host.Texts()[1], "Stop?");
}

// A search that begins one step before leaving the inner orb still reports a real minimum.
TEST_F(TransitRunsTest, SearchStartingAtAnInnerOrbExitReportsTheStartAsMinimum) {
    SetDates("2000", "5", "12", "2000", "12", "31");
    inputs.firstListPos = 0;  // Sun
    inputs.orbPositions[3] = 12;  // 15°
    ASSERT_TRUE(StartAspectSearch().Recorded());
    const auto line = host.output.substr(host.output.rfind("Conjunction |"));
    EXPECT_EQ(line.substr(52, 12), "2000-05-12  ") << line;
    EXPECT_NE(line.find("| 2000-05-12  2000-05-22  2000-05-29  | "), std::string::npos) << line;
    EXPECT_NE(line.substr(104).find("°"), std::string::npos) << line;
}

TEST_F(TransitRunsTest, AllTransitsWithoutOutputFoldTheWindowUp) {
    SetDates("2026", "1", "1", "2026", "1", "5");
    inputs.aspectChecked = {false, false, false, false, false, false, false};
    EXPECT_EQ(StartAllTransitsRun(0).outcome, util::RunOutcome::NotFound);
    EXPECT_TRUE(host.output.empty());
}
