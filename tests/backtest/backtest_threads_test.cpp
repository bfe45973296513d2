// Backtests on worker threads, as the backtest window runs them: two at once, each on
// its own thread, give exactly the records of the same backtests run one after the other.
#include <gtest/gtest.h>

#include <thread>

#include "backtest/backtest_run.h"
#include "backtest/backtest_table.h"
#include "synthetic_prices.h"
#include "fake_run_host.h"
#include "test_support.h"

namespace kovo::backtest {
namespace {

// Two years of weekday closes that rise and fall, so every rule trades.
PriceSeries TwoYears() {
    PriceSeries series;
    for (int i = 0; i < 520; ++i)
        series.points.push_back({.day = testing::TradingDay(i), .close = 1000.0 + (i * 37 % 101), .line = static_cast<std::size_t>(i) + 2});
    return series;
}

BacktestParams Pair(astro::Body first, astro::Body second, bool helio) {
    BacktestParams params;
    params.first = first;
    params.second = second;
    params.heliocentric = helio;
    return params;
}

TEST(Concurrency, BacktestsOnTwoThreadsGiveTheSerialRecords) {
    testing::InitModelOnce();
    const PriceSeries series = TwoYears();
    const BacktestParams mercuryVenus = Pair(astro::Body::Mercury, astro::Body::Venus, false);
    const BacktestParams earthJupiter = Pair(astro::Body::Sun, astro::Body::Jupiter, true);
    testing::FakeRunHost serialHost;
    const BacktestResult serialA = RunBacktest(mercuryVenus, series, serialHost);
    const BacktestResult serialB = RunBacktest(earthJupiter, series, serialHost);
    ASSERT_TRUE(serialA.HasStatistics());
    ASSERT_TRUE(serialB.HasStatistics());
    ASSERT_FALSE(serialA.exacts.empty());

    BacktestResult threadA;
    BacktestResult threadB;
    testing::FakeRunHost hostA;
    testing::FakeRunHost hostB;
    std::thread a([&] { threadA = RunBacktest(mercuryVenus, series, hostA); });
    std::thread b([&] { threadB = RunBacktest(earthJupiter, series, hostB); });
    a.join();
    b.join();
    EXPECT_EQ(threadA.stays, serialA.stays);
    EXPECT_EQ(threadA.exacts, serialA.exacts);
    EXPECT_EQ(BacktestText(threadA), BacktestText(serialA));
    EXPECT_EQ(threadB.stays, serialB.stays);
    EXPECT_EQ(threadB.exacts, serialB.exacts);
    EXPECT_EQ(BacktestText(threadB), BacktestText(serialB));
}

// Cancel from another thread: the run stops at its next step without statistics.
TEST(Concurrency, ACancelFromAnotherThreadStopsTheRun) {
    testing::InitModelOnce();
    PriceSeries century;
    century.points = {{.day = testing::Day(1900, 1, 2), .close = 5, .line = 2},
                      {.day = testing::Day(1999, 12, 29), .close = 6, .line = 3}};
    testing::FakeRunHost host;
    host.answers.push_back(util::Answer::Yes);
    BacktestResult result;
    std::thread run([&] { result = RunBacktest(Pair(astro::Body::Mercury, astro::Body::Venus, false), century, host); });
    host.cancel.Request();
    run.join();
    EXPECT_EQ(result.outcome, util::RunOutcome::Stopped);
    EXPECT_FALSE(result.HasStatistics());
}

}  // namespace
}  // namespace kovo::backtest
