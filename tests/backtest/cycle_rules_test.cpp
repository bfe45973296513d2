// Backtests on a body's retrograde cycles and ingresses: which days each rule holds,
// the event study's rows, and the refusals.
#include <gtest/gtest.h>

#include "backtest/backtest_run.h"
#include "backtest/backtest_table.h"
#include "backtest/significance_table.h"
#include "fake_run_host.h"
#include "test_support.h"
#include "weekday_prices.h"

namespace kovo::backtest {
namespace {

using testing::Day;

BacktestResult CycleRun(astro::Body body, bool helio = false) {
    testing::InitModelOnce();
    BacktestParams params;
    params.cycleBody = body;
    params.heliocentric = helio;
    params.permutations = 200;
    params.daysAfter = 5;
    testing::FakeRunHost host;
    return RunBacktest(params, Weekdays2024(), host);
}

const StrategyResult& Rule(const BacktestResult& r, const char* label) {
    const StrategyResult* s = FindRule(r, label);
    EXPECT_NE(s, nullptr) << label;
    return s ? *s : r.buyAndHold;
}

TEST(CycleRules, MercuryRetrogradeHoldsFromEachStationRetrogradeToTheStationDirect) {
    const BacktestResult r = CycleRun(astro::Body::Mercury);
    ASSERT_EQ(r.outcome, util::RunOutcome::Completed) << r.refusal;
    ASSERT_EQ(r.strategies.size(), 6u);
    EXPECT_EQ(r.rules.tested, 6);
    // Mercury stationed direct on 2024-01-02 (retrograde since December: the range cut that
    // spell, which opens at the first close), retrograde 2024-04-01, 08-05 and 11-26 and
    // direct 04-25, 08-28 and 12-15 (a Sunday: the trade closes on Monday the 16th).
    const auto& retrograde = Rule(r, "retrograde").trades.trades;
    ASSERT_EQ(retrograde.size(), 4u);
    EXPECT_TRUE(retrograde[0].openedAtStart);
    EXPECT_EQ(retrograde[0].exitDay, Day(2024, 1, 2));
    const std::int32_t entries[] = {Day(2024, 4, 1), Day(2024, 8, 5), Day(2024, 11, 26)};
    const std::int32_t exits[] = {Day(2024, 4, 25), Day(2024, 8, 28), Day(2024, 12, 16)};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(retrograde[i + 1].entryDay, entries[i]) << i;
        EXPECT_EQ(retrograde[i + 1].exitDay, exits[i]) << i;
    }
    // The shadows join the retrograde spell at its stations; the last post-shadow runs past
    // the year and closes at the last close.
    const auto& pre = Rule(r, "pre-shadow").trades.trades;
    const auto& post = Rule(r, "post-shadow").trades.trades;
    ASSERT_EQ(pre.size(), 3u);
    ASSERT_EQ(post.size(), 4u);
    EXPECT_EQ(pre.back().exitDay, Day(2024, 11, 26));
    EXPECT_EQ(post[1].entryDay, Day(2024, 4, 25));
    EXPECT_TRUE(post.back().openAtEnd);
    // N trading days after each station: five closes later.
    const auto& afterStation = Rule(r, "Station R +5d").trades.trades;
    ASSERT_EQ(afterStation.size(), 3u);
    EXPECT_EQ(afterStation[0].exitIndex - afterStation[0].entryIndex, 5u);
    // The event study: stations retrograde and direct, then ingresses, each counted.
    ASSERT_EQ(r.eventStudy.size(), 3u);
    EXPECT_EQ(EventRowName(r.eventStudy[0]), "Station R");
    EXPECT_EQ(r.eventStudy[0].events, 3);
    EXPECT_EQ(r.eventStudy[1].events, 4);
    EXPECT_GE(r.eventStudy[2].events, 12);  // Mercury enters a sign at least a dozen times a year
    const std::string text = BacktestText(r);
    EXPECT_NE(text.find("Backtest of Mercury cycles, geocentric"), std::string::npos) << text;
    EXPECT_NE(text.find("Retrograde"), std::string::npos);
}

TEST(CycleRules, TheSunOnlyIngressesAndHeliocentricCyclesAreRefused) {
    const BacktestResult sun = CycleRun(astro::Body::Sun);
    ASSERT_EQ(sun.outcome, util::RunOutcome::Completed) << sun.refusal;
    ASSERT_EQ(sun.strategies.size(), 1u);
    EXPECT_EQ(StrategyName(sun.strategies[0].trades), "Ingress +5d");
    EXPECT_EQ(sun.strategies[0].trades.trades.size(), 12u);  // one sign a month
    ASSERT_EQ(sun.eventStudy.size(), 1u);
    EXPECT_EQ(sun.eventStudy[0].events, 12);

    const BacktestResult helio = CycleRun(astro::Body::Mars, true);
    EXPECT_EQ(helio.outcome, util::RunOutcome::Refused);
    EXPECT_NE(helio.refusal.find("never station"), std::string::npos);
}

}  // namespace
}  // namespace kovo::backtest
