// The statistics of a whole backtest table: 21 rules (7 aspects x 3 orbs) over a century
// of daily closes (26,000), each with 10,000 circular shifts, 10,000 bootstrap
// resamples and its baseline. The holds are either synthetic (a given number per rule)
// or the real trades of a century's backtest of one pair.
#include <benchmark/benchmark.h>

#include <cmath>
#include <string>

#include "backtest/backtest_run.h"
#include "calendar/calendar_services.h"
#include "null_run_host.h"
#include "stats/baseline.h"
#include "stats/bootstrap.h"
#include "stats/circular_shift.h"
#include "stats/false_discovery.h"
#include "stats/random_stream.h"
#include "test_support.h"

namespace {

using namespace kovo;

constexpr std::size_t kCenturyCloses = 26000;
constexpr int kRules = 21;

std::vector<double> RandomWalk(std::size_t n) {
    stats::RandomStream stream(1);
    std::vector<double> closes{100};
    while (closes.size() < n) closes.push_back(closes.back() * (0.9895 + 0.021 * static_cast<double>(stream.Below(1001)) / 1000));
    return closes;
}

// `perRule` holds of 1..60 days spread evenly over the series, for each of 21 rules.
std::vector<std::vector<stats::Hold>> SyntheticRules(std::size_t closes, std::size_t perRule) {
    stats::RandomStream stream(2);
    std::vector<std::vector<stats::Hold>> rules(kRules);
    const std::size_t spacing = (closes - 1) / perRule;
    for (auto& holds : rules)
        for (std::size_t i = 0; i < perRule; ++i) {
            const std::size_t entry = i * spacing + stream.Below(spacing / 2);
            holds.push_back({.entry = entry, .exit = std::min(closes - 1, entry + 1 + stream.Below(60))});
        }
    return rules;
}

// The per-rule work of the table: the circular-shift test, the bootstrap, the baseline.
void RunTable(benchmark::State& state, const std::vector<double>& closes, const std::vector<std::vector<stats::Hold>>& rules,
              bool bootstrap) {
    const stats::LogReturnSums sums(closes);
    std::size_t holds = 0;
    for (const auto& rule : rules) holds += rule.size();
    for (auto _ : state) {
        stats::BaselineTable table(closes);
        std::vector<std::optional<double>> pValues;
        for (std::size_t r = 0; r < rules.size(); ++r) {
            const std::uint64_t rule = stats::IdentityHash("rule " + std::to_string(r));
            const auto test = stats::CircularShiftTest(sums, rules[r], stats::Side::Long, stats::kDefaultShifts,
                                                       stats::StreamSeed(7, rule, stats::StreamPurpose::CircularShift));
            pValues.push_back(test ? std::optional<double>(test->pValue) : std::nullopt);
            benchmark::DoNotOptimize(stats::BaselineOf(rules[r], stats::Side::Long, table));
            if (!bootstrap) continue;
            std::vector<double> returns;
            for (const stats::Hold& hold : rules[r]) returns.push_back(closes[hold.exit] / closes[hold.entry] - 1);
            benchmark::DoNotOptimize(stats::BootstrapMeanInterval(
                returns, stats::kDefaultResamples, stats::StreamSeed(7, rule, stats::StreamPurpose::Bootstrap)));
        }
        benchmark::DoNotOptimize(stats::BenjaminiHochberg(pValues).passing);
    }
    state.counters["closes"] = static_cast<double>(closes.size());
    state.counters["holds"] = static_cast<double>(holds);
}

void ShiftTestsOnly(benchmark::State& state) {
    const std::vector<double> closes = RandomWalk(kCenturyCloses);
    RunTable(state, closes, SyntheticRules(closes.size(), static_cast<std::size_t>(state.range(0))), false);
}

void WholeTable(benchmark::State& state) {
    const std::vector<double> closes = RandomWalk(kCenturyCloses);
    RunTable(state, closes, SyntheticRules(closes.size(), static_cast<std::size_t>(state.range(0))), true);
}

// The trades of a century's backtest of one pair (on the random walk's closes, every
// weekday of 1920-2019), so that the counts and lengths of the holds are real ones.
void RealTrades(benchmark::State& state, int first, int second, bool helio) {
    testing::InitModelOnce();
    const std::vector<double> walk = RandomWalk(kCenturyCloses);
    backtest::PriceSeries series;
    std::size_t i = 0;
    for (std::int32_t d = testing::Day(1920, 1, 1); d <= testing::Day(2019, 12, 31) && i < walk.size(); ++d)
        if (d % 7 < 5) series.points.push_back({.day = d, .close = walk[i++], .line = 0});
    backtest::BacktestParams params;
    params.first = astro::BodyOfIndex(first);
    params.second = astro::BodyOfIndex(second);
    params.heliocentric = helio;
    params.permutations = 0;  // the table below times the statistics on their own
    bench::NullRunHost host;
    const backtest::BacktestResult result = backtest::RunBacktest(params, series, host);
    std::vector<std::vector<stats::Hold>> rules;
    for (const backtest::StrategyResult& strategy : result.strategies) {
        rules.emplace_back();
        for (const backtest::Trade& trade : strategy.trades.trades) rules.back().push_back({.entry = trade.entryIndex, .exit = trade.exitIndex});
    }
    std::vector<double> closes;
    for (const backtest::PricePoint& point : result.prices.points) closes.push_back(point.close);
    RunTable(state, closes, rules, true);
}

BENCHMARK(ShiftTestsOnly)->Arg(100)->Arg(400)->Arg(1500)->Unit(benchmark::kMillisecond);
BENCHMARK(WholeTable)->Arg(100)->Arg(400)->Arg(1500)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RealTrades, earth_jupiter_helio, 1, 5, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RealTrades, mars_jupiter_geo, 4, 5, false)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
