// The simulation's walk over real heliocentric positions with synthetic price tables.
// Event dates were checked against the separations printed at the steps around them
// (Earth-Jupiter opposition exact on 2011-04-06; Earth-Mercury events of January 2007).
#include <gtest/gtest.h>

#include <algorithm>

#include "fake_run_host.h"
#include "requests/simulation_form.h"
#include "simulation/simulation.h"
#include "simulation_test_support.h"
#include "test_support.h"

namespace kovo::simulation {
namespace {

using testing::Aspects;
using testing::FakeRunHost;
using testing::WeekdayPrices;
// What the window and the command line hand to the checks and the run.
using SimulationParams = requests::SimulationForm;

constexpr std::int32_t k2007Jan03 = 2454104;
constexpr std::int32_t k2007Jan20 = 2454121;
constexpr std::int32_t k2007Feb01 = 2454133;
constexpr std::int32_t k2007Feb02 = 2454134;
constexpr std::int32_t k2007Apr30 = 2454221;
constexpr std::int32_t k2008Dec31 = 2454832;
constexpr std::int32_t k2011Mar01 = 2455622;
constexpr std::int32_t k2011Mar30 = 2455651;
constexpr std::int32_t k2011Apr10 = 2455662;
constexpr std::int32_t k2011Apr30 = 2455682;
constexpr std::int32_t k2011May10 = 2455692;

// 10000 plus the last three digits of the day number: every day's value differs.
double DayValue(std::int32_t day) { return 10000.0 + day % 1000; }

SimulationParams EarthJupiterOpposition(std::int32_t start, std::int32_t end) {
    return SimulationParams{.firstPlanet = 1, .secondPlanet = 5, .aspectChecked = Aspects({2}),
                            .orbDegrees = {10, 5, 2}, .startDay = start, .endDay = end,
                            .includeDetails = true, .firstName = "Earth", .secondName = "Jupiter",
                            .numberFormat = NumberFormat{}};
}

SimulationParams EarthMercury(std::initializer_list<int> aspects, std::int32_t start, std::int32_t end) {
    return SimulationParams{.firstPlanet = 1, .secondPlanet = 2, .aspectChecked = Aspects(aspects),
                            .orbDegrees = {10, 5, 2}, .startDay = start, .endDay = end,
                            .includeDetails = true, .firstName = "Earth", .secondName = "Mercury",
                            .numberFormat = NumberFormat{}};
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    lines.push_back(text.substr(start));
    return lines;
}

bool HasLine(const std::string& text, const std::string& line) {
    const auto lines = Lines(text);
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class SimulationTest : public ::testing::Test {
protected:
    void SetUp() override { testing::InitModelOnce(); }

    SimulationRun Run(const SimulationParams& params, const IndexPrices& prices) {
        return requests::RunSimulationForm(params, prices, host);
    }

    FakeRunHost host;
};

TEST_F(SimulationTest, PlutoWithoutDataIsRefusedWithItsReasonNotRunAsEmpty) {
    SimulationParams params = EarthJupiterOpposition(k2007Jan03, k2007Feb02);
    params.secondPlanet = astro::kPluto;
    params.pluto = {.available = false, .reason = "/data/hpluto.2199.slx: No such file or directory"};
    host.output = "earlier text";
    const SimulationRun run = Run(params, WeekdayPrices(DayValue));
    EXPECT_EQ(run.outcome, SimulationOutcome::Refused);
    EXPECT_EQ(ToRunOutcome(run.outcome), util::RunOutcome::Refused);
    EXPECT_EQ(host.Texts(),
              std::vector<std::string>{"Pluto data is not available.\r\n/data/hpluto.2199.slx: No such file or directory"});
    EXPECT_EQ(host.messages[0].icon, util::MessageIcon::Exclamation);
    EXPECT_EQ(host.output, "earlier text");
    EXPECT_EQ(host.progressCalls, 0);
}

TEST_F(SimulationTest, DateChecksRefuseWithTheirMessagesAndChangeNothing) {
    const IndexPrices prices = WeekdayPrices(DayValue);
    const std::string range = "Investment dates must be in the range\r\n 2007-01-03 through 2014-12-31.";
    const std::string length =
        "For the investment simulation the start date must be\r\nat least 30 days prior to the end date.";
    struct Case {
        std::int32_t start, end;
        std::string text;
    };
    const Case cases[] = {{k2007Jan03 - 1, k2007Feb02, range},
                          {LastInvestmentDay - 40, LastInvestmentDay + 1, range},
                          {k2007Jan03, k2007Feb01, length},
                          {k2007Feb02, k2007Jan03, length},
                          // The range check comes first, whichever date is wrong.
                          {LastInvestmentDay, LastInvestmentDay + 1, range}};
    for (const Case& c : cases) {
        FakeRunHost refusedHost;
        refusedHost.output = "earlier text";
        SimulationParams params = EarthJupiterOpposition(c.start, c.end);
        params.caption = "Simulate investment";
        const SimulationRun run = requests::RunSimulationForm(params, prices, refusedHost);
        EXPECT_EQ(run.outcome, SimulationOutcome::Refused);
        ASSERT_EQ(refusedHost.messages.size(), 1u);
        EXPECT_EQ(refusedHost.messages[0].text, c.text);
        EXPECT_EQ(refusedHost.messages[0].title, "Simulate investment");
        EXPECT_EQ(refusedHost.messages[0].icon, util::MessageIcon::Information);
        EXPECT_EQ(refusedHost.messages[0].buttons, util::MessageButtons::Ok);
        EXPECT_EQ(refusedHost.output, "earlier text");
        EXPECT_EQ(refusedHost.progressCalls, 0);
        EXPECT_FALSE(Walked(run.outcome));
    }
}

TEST_F(SimulationTest, ThirtyDaysRunAndAnAspectApplyingAtTheFirstStepOpensAtOnce) {
    // Earth-Mercury stand 172.6° apart on 2007-01-03 and close in on the opposition.
    const SimulationRun run = Run(EarthMercury({2}, k2007Jan03, k2007Feb02), WeekdayPrices(DayValue));
    ASSERT_EQ(run.outcome, SimulationOutcome::Finished);
    EXPECT_TRUE(HasLine(host.output, "Opposition  10°, investment #1 on 2007-01-03 of $100"));
    // Opened at 10104, redeemed on 2007-01-12 at 10113: 9 × 100 / 10104 = 0.0891.
    EXPECT_TRUE(HasLine(host.output,
                        "Opposition  10°, redemption #1 on 2007-01-12, gained $0.09, total gain is $0.09"));
    EXPECT_EQ(run.totals.TotalInvestments, 3);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_TRUE(Walked(run.outcome));
}

TEST_F(SimulationTest, AnAspectSeparatingAtTheFirstStepWaitsForTheNextEntry) {
    // On 2011-04-10 Earth-Jupiter are past the exact opposition and inside the 10° and
    // 5° orbs, leaving them on 2011-04-17 and 2011-04-12.
    const SimulationRun run = Run(EarthJupiterOpposition(k2011Apr10, k2011May10), WeekdayPrices(DayValue));
    ASSERT_EQ(run.outcome, SimulationOutcome::Finished);
    EXPECT_EQ(host.output.find("investment #"), std::string::npos);
    EXPECT_EQ(run.totals.TotalInvestments, 0);
    for (const SimulationSlot& slot : run.SimulationSlots) EXPECT_EQ(slot.InvestmentCount, 0);

    FakeRunHost applyingHost;
    requests::RunSimulationForm(EarthJupiterOpposition(k2011Mar30, k2011May10), WeekdayPrices(DayValue),
                                applyingHost);
    EXPECT_TRUE(HasLine(applyingHost.output, "Opposition  10°, investment #1 on 2011-03-30 of $100"));
}

TEST_F(SimulationTest, WholeReportOfASaturdayOpeningPricedWithMondaysValue) {
    const SimulationRun run = Run(EarthJupiterOpposition(k2011Mar01, k2011Apr30), WeekdayPrices(DayValue));
    ASSERT_EQ(run.outcome, SimulationOutcome::Finished);
    // The 10° orb is entered on Saturday 2011-03-26 (priced 10649, Monday's) and left on
    // Sunday 2011-04-17 (priced 10670): 21 × 100 / 10649 = 0.1972.
    const std::string title =
        "Simulated investments for selected aspects for Earth and Jupiter from March 1, 2011, to April 30, 2011";
    const std::string expected = std::string(title.size(), '-') + "\r\n" + title + "\r\n" +
                                 "\r\n"
                                 "Opposition  10°, investment #1 on 2011-03-26 of $100\r\n"
                                 "Opposition   5°, investment #1 on 2011-04-01 of $100\r\n"
                                 "Opposition   2°, investment #1 on 2011-04-04 of $100\r\n"
                                 "Opposition   2°, redemption #1 on 2011-04-08, gained $0.04, total gain is $0.04\r\n"
                                 "Opposition   5°, redemption #1 on 2011-04-12, gained $0.10, total gain is $0.10\r\n"
                                 "Opposition  10°, redemption #1 on 2011-04-17, gained $0.20, total gain is $0.20\r\n"
                                 "\r\n"
                                 "Total number of investments = 3\r\n"
                                 "\r\n"
                                 "Ea opp Ju, 10°, ends with $0.20\r\n"
                                 "Ea opp Ju,  5°, ends with $0.10\r\n"
                                 "Ea opp Ju,  2°, ends with $0.04\r\n"
                                 "\r\n"
                                 "Gain or loss by aspect for all orbs:\r\n"
                                 "Opposition    3  $0.34\r\n";
    EXPECT_EQ(host.output, expected);  // cleared: append was not checked
    EXPECT_NEAR(run.totals.AspectGain[2], 21.0 * 100 / 10649 + 11.0 * 100 / 10653 + 4.0 * 100 / 10656, 1e-12);
    EXPECT_DOUBLE_EQ(run.SimulationSlots[0].RunningTotal, 0.20);
}

TEST_F(SimulationTest, EventsAreRecordedWithOrWithoutDetails) {
    const IndexPrices prices = WeekdayPrices(DayValue);
    SimulationParams params = EarthJupiterOpposition(k2011Mar01, k2011Apr30);
    const SimulationRun detailed = Run(params, prices);
    params.includeDetails = false;
    FakeRunHost quietHost;
    const SimulationRun quiet = requests::RunSimulationForm(params, prices, quietHost);
    ASSERT_EQ(detailed.events.size(), 6u);
    ASSERT_EQ(quiet.events.size(), detailed.events.size());
    for (std::size_t i = 0; i < quiet.events.size(); ++i) {
        EXPECT_EQ(quiet.events[i].kind, detailed.events[i].kind);
        EXPECT_EQ(quiet.events[i].day, detailed.events[i].day);
        EXPECT_EQ(quiet.events[i].amount, detailed.events[i].amount);
    }
    EXPECT_EQ(quietHost.output.find("investment #"), std::string::npos);
    // Saturday 2011-03-26 opens the 10° slot at Monday's 10649 and Sunday 2011-04-17 redeems it at 10670.
    const SimulationEvent& opened = detailed.events.front();
    EXPECT_EQ(opened.kind, SimulationEventKind::Investment);
    EXPECT_EQ(opened.day, 2455647);
    EXPECT_EQ(opened.indexValue, 10649.0);
    EXPECT_EQ(opened.amount, InvestmentAmount);
    const SimulationEvent& redeemed = detailed.events.back();
    EXPECT_EQ(redeemed.kind, SimulationEventKind::Redemption);
    EXPECT_EQ(redeemed.day, 2455669);
    EXPECT_EQ(redeemed.orbDegrees, 10);
    EXPECT_EQ(redeemed.indexValue, 10670.0);
    EXPECT_NEAR(redeemed.amount, 21.0 * 100 / 10649, 1e-12);
}

TEST_F(SimulationTest, TheReportRenderedFromTheRecordsIsWhatTheWalkWrote) {
    const IndexPrices prices = WeekdayPrices(DayValue);
    // Finished, with details and a cancellation on the last step, and without details.
    SimulationParams params = EarthJupiterOpposition(2455594, 2455655);
    params.aspectChecked = Aspects({2, 7});
    for (const bool details : {true, false}) {
        params.includeDetails = details;
        FakeRunHost finished;
        const SimulationRun run = requests::RunSimulationForm(params, prices, finished);
        ASSERT_EQ(run.outcome, SimulationOutcome::Finished);
        EXPECT_EQ(SimulationReportText(run), finished.output) << details;
    }
    const SimulationRun cancelled = Run(params, prices);
    EXPECT_EQ(cancelled.events.back().kind, SimulationEventKind::Cancellation);
    EXPECT_EQ(cancelled.events.back().day, 2455655);

    // Stopped at the 100th step and failed for a missing value keep their lines.
    FakeRunHost stopped;
    stopped.answers = {util::Answer::Yes};
    stopped.onProgress = [&stopped](int n) {
        if (n == 100) stopped.cancel.Request();
    };
    const SimulationParams mercury = EarthMercury({2, 7}, k2007Jan03, k2007Feb02);
    const SimulationRun stoppedRun = requests::RunSimulationForm(mercury, prices, stopped);
    ASSERT_EQ(stoppedRun.outcome, SimulationOutcome::Stopped);
    EXPECT_FALSE(stoppedRun.events.empty());
    EXPECT_EQ(SimulationReportText(stoppedRun), stopped.output);

    FakeRunHost failed;
    const SimulationRun failedRun =
        requests::RunSimulationForm(mercury, WeekdayPrices(DayValue, 2454102, k2007Jan20 - 1), failed);
    ASSERT_EQ(failedRun.outcome, SimulationOutcome::Failed);
    EXPECT_EQ(SimulationReportText(failedRun), failed.output);

    // A refusal writes nothing and keeps its inputs.
    SimulationParams refused = mercury;
    refused.endDay = k2007Feb01;
    const SimulationRun refusedRun = Run(refused, prices);
    EXPECT_EQ(SimulationReportText(refusedRun), "");
    EXPECT_EQ(refusedRun.inputs.endDay, k2007Feb01);
}

TEST_F(SimulationTest, AppendKeepsEarlierTextAndWithoutDetailsOnlyTheSummaryFollows) {
    host.output = "earlier";
    SimulationParams params = EarthJupiterOpposition(k2011Mar01, k2011Apr30);
    params.includeDetails = false;
    Run(params, WeekdayPrices(DayValue));
    const auto lines = Lines(host.output);
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[0], "earlier");
    EXPECT_EQ(lines[1].find_first_not_of('-'), std::string::npos);
    EXPECT_EQ(lines[3], "");
    EXPECT_EQ(lines[4], "Total number of investments = 3");
}

TEST_F(SimulationTest, LastStepCancelsApplyingInvestmentsAndRedeemsTheRest) {
    // Up to 2011-04-03 the opposition's 10° and 5° orbs are entered but the aspect still
    // applies; the quincunx's three orbs are entered and left in February and March.
    const std::int32_t start = 2455594, end = 2455655;  // 2011-02-01, 2011-04-03
    SimulationParams params = EarthJupiterOpposition(start, end);
    params.aspectChecked = Aspects({2, 7});
    const SimulationRun run = Run(params, WeekdayPrices([](std::int32_t) { return 12000.0; }));
    ASSERT_EQ(run.outcome, SimulationOutcome::Finished);
    EXPECT_TRUE(HasLine(host.output, "Opposition  10°, investment #1 cancelled."));
    EXPECT_TRUE(HasLine(host.output, "Opposition   5°, investment #1 cancelled."));
    EXPECT_TRUE(HasLine(host.output, "Ea opp Ju, 10°, no investments"));
    EXPECT_TRUE(HasLine(host.output, "Ea opp Ju,  5°, no investments"));
    EXPECT_TRUE(HasLine(host.output, "Ea opp Ju,  2°, no investments"));
    EXPECT_TRUE(HasLine(host.output, "Ea qui Ju, 10°, ends with $0.00"));
    EXPECT_TRUE(HasLine(host.output, "Quincunx      3  $0.00"));
    EXPECT_EQ(host.output.find("Opposition    "), std::string::npos);
    EXPECT_EQ(run.totals.TotalInvestments, 3);
    EXPECT_EQ(run.totals.AspectInvestments[2], 0);
}

TEST_F(SimulationTest, AnInvestmentOpenedOnTheLastStepIsNeverRedeemed) {
    // Earth-Mercury enter the square's 10° orb at 18:00 UT on 2007-02-02, the last step.
    const SimulationRun run = Run(EarthMercury({2, 3}, k2007Jan03, k2007Feb02), WeekdayPrices(DayValue));
    ASSERT_EQ(run.outcome, SimulationOutcome::Finished);
    const std::string text = host.output;
    EXPECT_TRUE(HasLine(text, "Square  10°, investment #1 on 2007-02-02 of $100"));
    EXPECT_EQ(text.find("Square  10°, redemption"), std::string::npos);
    EXPECT_EQ(text.find("cancelled"), std::string::npos);
    EXPECT_TRUE(HasLine(text, "Ea sqr Me, 10°, ends with $0.00"));
    EXPECT_TRUE(HasLine(text, "Ea sqr Me,  5°, no investments"));
    EXPECT_EQ(run.totals.TotalInvestments, 3);  // the opposition's three only
    EXPECT_EQ(run.totals.AspectInvestments[3], 0);
    // Still held: its sort key ends with the whole part of its opening value, 10134.
    const auto held = std::find_if(run.SimulationSlots.begin(), run.SimulationSlots.end(),
                                   [](const SimulationSlot& s) { return s.Aspect == 3 && s.OrbDegrees == 10; });
    ASSERT_NE(held, run.SimulationSlots.end());
    EXPECT_EQ(SlotSortKeyText(*held), "0.0012310110134");
}

TEST_F(SimulationTest, RunningTotalsAreRoundedAfterEachRedemption) {
    // Earth-Mercury quincunx: the 5° and 2° orbs are both left on 2007-01-22 and
    // 2007-04-27; those two days are 0.004 % dearer than every other day.
    const auto value = [](std::int32_t day) { return day == 2454123 || day == 2454218 ? 10000.40 : 10000.0; };
    const SimulationRun run = Run(EarthMercury({7}, k2007Jan03, k2007Apr30), WeekdayPrices(value));
    ASSERT_EQ(run.outcome, SimulationOutcome::Finished);
    EXPECT_TRUE(HasLine(host.output,
                        "Quincunx   2°, redemption #2 on 2007-04-27, gained $0.00, total gain is $0.00"));
    for (const SimulationSlot& slot : run.SimulationSlots) EXPECT_EQ(slot.RunningTotal, 0.0);
    EXPECT_NEAR(run.totals.AspectGain[7], 0.016, 1e-9);
    // All three totals are 0.00, so the digits of the orbs decide: 5°, 2°, 10°.
    const std::string summary = host.output.substr(host.output.find("Total number"));
    EXPECT_EQ(summary,
              "Total number of investments = 6\r\n\r\n"
              "Ea qui Me,  5°, ends with $0.00\r\n"
              "Ea qui Me,  2°, ends with $0.00\r\n"
              "Ea qui Me, 10°, ends with $0.00\r\n"
              "\r\nGain or loss by aspect for all orbs:\r\n"
              "Quincunx      6  $0.02\r\n");
}

TEST_F(SimulationTest, InvestmentsAreNumberedPastNine) {
    const SimulationRun run =
        Run(EarthMercury({3}, k2007Jan03, k2008Dec31), WeekdayPrices([](std::int32_t) { return 13000.0; }));
    ASSERT_EQ(run.outcome, SimulationOutcome::Finished);
    EXPECT_NE(host.output.find("Square   2°, investment #10 on "), std::string::npos);
    EXPECT_NE(host.output.find("Square   2°, redemption #10 on "), std::string::npos);
    EXPECT_NE(host.output.find("Square   2°, redemption #11 on "), std::string::npos);
    const SimulationSlot& inner = *std::find_if(run.SimulationSlots.begin(), run.SimulationSlots.end(),
                                                [](const SimulationSlot& s) { return s.OrbDegrees == 2; });
    EXPECT_GE(inner.InvestmentCount, 11);
}

TEST_F(SimulationTest, NoAspectCheckedStillPricesEveryDay) {
    const SimulationRun run = Run(EarthMercury({}, k2007Jan03, k2007Feb02), WeekdayPrices(DayValue));
    ASSERT_EQ(run.outcome, SimulationOutcome::Finished);
    EXPECT_TRUE(run.SimulationSlots.empty());
    EXPECT_EQ(Lines(host.output).size(), 6u);
    EXPECT_NE(host.output.find("\r\n\r\nTotal number of investments = 0\r\n\r\n"), std::string::npos);

    // A table ending on Friday 2007-01-19 fails on Saturday 2007-01-20 even without slots.
    FakeRunHost shortHost;
    const SimulationRun failed = requests::RunSimulationForm(
        EarthMercury({}, k2007Jan03, k2007Feb02), WeekdayPrices(DayValue, 2454102, k2007Jan20 - 1), shortHost);
    EXPECT_EQ(failed.outcome, SimulationOutcome::Failed);
    ASSERT_EQ(shortHost.messages.size(), 1u);
    EXPECT_EQ(shortHost.messages[0].text, "For 2007-01-20 cannot get value from DJIA data.");
}

TEST_F(SimulationTest, AMissingValueEndsTheRunAndKeepsItsLines) {
    const SimulationRun run =
        Run(EarthMercury({2, 7}, k2007Jan03, k2007Feb02), WeekdayPrices(DayValue, 2454102, k2007Jan20 - 1));
    EXPECT_EQ(run.outcome, SimulationOutcome::Failed);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "For 2007-01-20 cannot get value from DJIA data.");
    EXPECT_EQ(host.messages[0].title, "KOVO");
    EXPECT_EQ(host.messages[0].icon, util::MessageIcon::None);
    EXPECT_TRUE(HasLine(host.output, "Quincunx   2°, investment #1 on 2007-01-19 of $100"));
    EXPECT_EQ(host.output.find("Total number"), std::string::npos);
    EXPECT_EQ(host.output.find("Stopped"), std::string::npos);
    EXPECT_TRUE(Walked(run.outcome));

    FakeRunHost emptyHost;
    requests::RunSimulationForm(EarthMercury({2}, k2007Jan03, k2007Feb02), IndexPrices(), emptyHost);
    ASSERT_EQ(emptyHost.messages.size(), 1u);
    EXPECT_EQ(emptyHost.messages[0].text, "For 2007-01-03 cannot get value from DJIA data.");
    EXPECT_EQ(Lines(emptyHost.output).size(), 4u);  // rule, title, the empty line, nothing more
}

// The date checks come first (a click during a run is refused by them before it may
// stop the run), titled with the caption the button shows; the caption is only displayed.
TEST_F(SimulationTest, TheDateChecksComeFirstTitledWithTheCaption) {
    SimulationParams params = EarthMercury({2}, k2007Jan03, k2007Feb02);
    params.caption = "Pause";
    EXPECT_FALSE(requests::SimulationDateRefusal(params));
    EXPECT_EQ(Run(params, WeekdayPrices(DayValue)).outcome, SimulationOutcome::Finished);
    params.endDay = k2007Feb01;
    const auto refusal = requests::SimulationDateRefusal(params);
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->message.title, "Pause");
    EXPECT_EQ(refusal->field, util::InputField::EndDate);
}

TEST_F(SimulationTest, StopQuestionNoGoesOnUnchangedAndYesStops) {
    const IndexPrices prices = WeekdayPrices(DayValue);
    const SimulationParams params = EarthMercury({2, 7}, k2007Jan03, k2007Feb02);
    Run(params, prices);
    const std::string uninterrupted = host.output;

    FakeRunHost answeredNo;
    answeredNo.answers = {util::Answer::No};
    answeredNo.onProgress = [&answeredNo](int n) {
        if (n == 40) answeredNo.cancel.Request();
    };
    requests::RunSimulationForm(params, prices, answeredNo);
    EXPECT_EQ(answeredNo.output, uninterrupted);
    ASSERT_EQ(answeredNo.messages.size(), 1u);
    EXPECT_EQ(answeredNo.messages[0].text, "Stop?");
    EXPECT_EQ(answeredNo.messages[0].buttons, util::MessageButtons::YesNo);
    EXPECT_EQ(answeredNo.messages[0].title, "KOVO");
    EXPECT_FALSE(answeredNo.cancel.Requested());

    FakeRunHost answeredYes;
    answeredYes.answers = {util::Answer::Yes};
    answeredYes.onProgress = [&answeredYes](int n) {
        if (n == 100) answeredYes.cancel.Request();
    };
    const SimulationRun stopped = requests::RunSimulationForm(params, prices, answeredYes);
    EXPECT_EQ(stopped.outcome, SimulationOutcome::Stopped);
    EXPECT_FALSE(answeredYes.cancel.Requested());
    EXPECT_EQ(answeredYes.progressCalls, 100);
    ASSERT_GE(answeredYes.output.size(), 9u);
    EXPECT_EQ(answeredYes.output.substr(answeredYes.output.size() - 9), "\r\nStopped");
    EXPECT_EQ(answeredYes.output.find("Total number"), std::string::npos);
    // The 100th step is at 21:00 UT on 2007-01-15; the lines written before it stay.
    EXPECT_TRUE(HasLine(answeredYes.output, "Opposition  10°, redemption #1 on 2007-01-12, gained $0.09, "
                                            "total gain is $0.09"));
    EXPECT_TRUE(Walked(stopped.outcome));
}

}  // namespace
}  // namespace kovo::simulation
