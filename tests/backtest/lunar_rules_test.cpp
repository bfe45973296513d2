// Backtests on the Moon's phases: the days each rule holds, the event study's rows and
// the refusal of a heliocentric run.
#include <gtest/gtest.h>

#include "backtest/backtest_run.h"
#include "backtest/significance_table.h"
#include "fake_run_host.h"
#include "test_support.h"
#include "weekday_prices.h"

namespace kovo::backtest {
namespace {

using testing::Day;

BacktestResult MoonRun(bool helio = false) {
    testing::InitModelOnce();
    BacktestParams params;
    params.lunar = true;
    params.heliocentric = helio;
    params.permutations = 200;
    params.daysAround = 2;
    testing::FakeRunHost host;
    return RunBacktest(params, Weekdays2024(), host);
}

TEST(LunarRules, TheWaxingAndWaningHalvesAndTheDaysAroundEachPhase) {
    const BacktestResult r = MoonRun();
    ASSERT_EQ(r.outcome, util::RunOutcome::Completed) << r.refusal;
    ASSERT_EQ(r.strategies.size(), 6u);
    // New moons of 2024 (GMT): 01-11 … 12-01 and 12-30; full moons 01-25 … 12-15. The last
    // waxing half ends in 2025, so its trade is still open at the last close.
    const auto& waxing = FindRule(r, "new to full")->trades.trades;
    ASSERT_EQ(waxing.size(), 13u);
    EXPECT_EQ(waxing[0].entryDay, Day(2024, 1, 11));
    EXPECT_EQ(waxing[0].exitDay, Day(2024, 1, 25));
    EXPECT_EQ(waxing[3].entryDay, Day(2024, 4, 8));
    EXPECT_EQ(waxing[3].exitDay, Day(2024, 4, 23));
    EXPECT_TRUE(waxing.back().openAtEnd);
    // The waning half that began with the full moon of 2023-12-27 opens at the first close.
    const auto& waning = FindRule(r, "full to new")->trades.trades;
    ASSERT_EQ(waning.size(), 13u);
    EXPECT_TRUE(waning[0].openedAtStart);
    EXPECT_EQ(waning[0].exitDay, Day(2024, 1, 11));
    EXPECT_EQ(waning.back().exitDay, Day(2024, 12, 30));
    // New moon of Monday 2024-04-08: two closes either side, Thursday the 4th to Wednesday the 10th.
    const auto& around = FindRule(r, "New \u00b12d")->trades.trades;
    ASSERT_EQ(around.size(), 13u);
    EXPECT_EQ(around[3].entryDay, Day(2024, 4, 4));
    EXPECT_EQ(around[3].exitDay, Day(2024, 4, 10));

    ASSERT_EQ(r.eventStudy.size(), 6u);
    const char* labels[] = {"New moon", "First quarter", "Full moon", "Last quarter", "Solar eclipse", "Lunar eclipse"};
    for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(r.eventStudy[i].label, labels[i]) << i;
    EXPECT_EQ(r.eventStudy[0].events, 13);
    EXPECT_EQ(r.eventStudy[4].events, 2);  // 04-08 total, 10-02 annular
    EXPECT_EQ(r.eventStudy[5].events, 2);  // 03-25 penumbral, 09-18 partial
}

TEST(LunarRules, AHeliocentricLunarRunIsRefusedWithTheReason) {
    const BacktestResult r = MoonRun(true);
    EXPECT_EQ(r.outcome, util::RunOutcome::Refused);
    EXPECT_NE(r.refusal.find("heliocentrically there is no Moon"), std::string::npos) << r.refusal;
}

// The Moon as a pair's second body: geocentric, each conjunction a short stay.
TEST(LunarRules, APairWithTheMoonTradesItsAspectsGeocentricallyOnly) {
    testing::InitModelOnce();
    BacktestParams params;
    params.first = astro::Body::Sun;
    params.second = astro::Body::Moon;
    params.heliocentric = false;
    params.aspects = {true, false, false, false, false, false, false};
    params.permutations = 0;
    testing::FakeRunHost host;
    const BacktestResult r = RunBacktest(params, Weekdays2024(), host);
    ASSERT_EQ(r.outcome, util::RunOutcome::Completed) << r.refusal;
    EXPECT_EQ(r.eventStudy.at(0).events, 13);  // the new moons of 2024
    params.heliocentric = true;
    const BacktestResult helio = RunBacktest(params, Weekdays2024(), host);
    EXPECT_EQ(helio.outcome, util::RunOutcome::Refused);
    EXPECT_NE(helio.refusal.find("heliocentrically there is no Moon"), std::string::npos) << helio.refusal;
}

}  // namespace
}  // namespace kovo::backtest
