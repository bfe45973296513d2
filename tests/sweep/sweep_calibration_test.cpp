// What a sweep's q-values promise, on the real stays of real pairs over twenty years of
// seeded random walks: on noise hardly any rule passes, and an effect planted on the days
// one pair's aspect holds comes out on top of the whole sweep.
#include <gtest/gtest.h>

#include "fake_run_host.h"
#include "sweep/sweep_run.h"
#include "sweep_support.h"

namespace kovo::sweep {
namespace {

constexpr int kPlantedAspect = 4;  // trine

backtest::BacktestParams Geo(astro::Body first, astro::Body second) {
    backtest::BacktestParams params;
    params.first = first;
    params.second = second;
    params.heliocentric = false;
    return params;
}

// The steps held by the pair's outer orb of the aspect over the walk's days.
std::vector<bool> StepsHeld(const backtest::BacktestParams& params, const backtest::PriceSeries& days) {
    testing::FakeRunHost host;
    const backtest::PairScan scan = backtest::ScanForBacktest(params, days, host);
    EXPECT_TRUE(scan.Traded()) << scan.refusal;
    for (const backtest::StrategyTrades& rule :
         backtest::BuildTrades(scan.stays, days, backtest::Side::Long, params.aspects, params.orbDegrees))
        if (rule.aspect == kPlantedAspect && rule.level == 0) return testing::HeldSteps(rule.trades, days.Size());
    ADD_FAILURE() << "no trine";
    return {};
}

TEST(SweepCalibration, NoiseRarelyPassesAndAPlantedEffectComesOutOnTop) {
    testing::InitModelOnce();
    const testing::WalkShape shape{.sd = 0.01, .drift = 0, .plantedExtra = 0};
    SweepRequest request = testing::SweepOf("geo", 999);
    request.jobs = 2;
    const SweepResult noise = RunSweep(request, testing::WeekdayWalk(2000, 2019, 101, shape), {});
    ASSERT_EQ(noise.outcome, util::RunOutcome::Completed) << noise.refusal;
    const auto rules = static_cast<std::size_t>(noise.count.tested);
    const auto passing = static_cast<std::size_t>(noise.count.passing);
    std::size_t belowFive = 0;
    for (const SweepRow& row : noise.rows) belowFive += row[Figure::P] && *row[Figure::P] < 0.05 ? 1 : 0;
    EXPECT_GT(rules, 500u);
    EXPECT_LE(passing * 50, rules) << passing << " of " << rules << " rules pass on noise";
    // The p-values themselves: about 5 % below 0.05 (circular shifts of few trades are
    // coarse, and rules of one pair and aspect move together, hence the wide band).
    EXPECT_GE(belowFive * 100, rules) << belowFive << " of " << rules;
    EXPECT_LE(belowFive * 100, rules * 9) << belowFive << " of " << rules;

    // 0.3 % a day more while the Sun and Mars are within 10 degrees of their trine, among
    // four pairs: with 9999 shifts the least p-value is 1e-4, so the least q of a sweep
    // of m rules is m * 1e-4 (one rule found), below 0.01 for fewer than 100 rules.
    const backtest::PriceSeries days = testing::WeekdayWalk(2000, 2019, 1);
    const std::vector<bool> planted = StepsHeld(Geo(astro::Body::Sun, astro::Body::Mars), days);
    const testing::WalkShape plantedShape{.sd = 0.01, .drift = 0, .plantedExtra = 0.003};
    request = testing::SweepOf("Sun-Mars,Venus-Jupiter,Mercury-Saturn,Jupiter-Saturn", 9999);
    request.jobs = 2;
    const SweepResult found = RunSweep(request, testing::WeekdayWalk(2000, 2019, 103, plantedShape, planted), {});
    ASSERT_EQ(found.outcome, util::RunOutcome::Completed) << found.refusal;
    ASSERT_LT(found.count.tested, 100);
    const SweepRow& top = found.rows.front();
    EXPECT_EQ(UnitName(top.unit), "Sun-Mars");
    EXPECT_EQ(top.aspect, kPlantedAspect);
    EXPECT_EQ(top.orbDegrees, 10);
    EXPECT_LT(top[Figure::Q].value_or(1), 0.01);
    EXPECT_GT(top[Figure::ExcessPct].value_or(0), 0);
}

}  // namespace
}  // namespace kovo::sweep
