// A backtest over a century of synthetic daily closes (every weekday of 1920-2019, about
// 26,000 rows read from CSV text), one pair, all seven aspects and three orbs: the whole
// run with its transit scan (also with --from/--to at the widest dates, where only the
// closes' own span is scanned), and the rules, statistics and event study alone.
// Significance: the scan without it (permutations 0) beside the evaluation of the scan's
// stays with 0 and with 10,000 circular shifts and bootstrap resamples per rule.
#include <benchmark/benchmark.h>

#include <cmath>
#include <string>

#include "backtest/backtest_run.h"
#include "calendar/calendar_services.h"
#include "backtest/calibration_walks.h"
#include "null_run_host.h"
#include "test_support.h"

namespace {

using namespace kovo;

std::string CenturyCsv() {
    std::string csv = "Date,Close\n";
    const std::int32_t first = testing::Day(1920, 1, 1);
    const std::int32_t last = testing::Day(2019, 12, 31);
    for (std::int32_t d = first; d <= last; ++d)
        if (d % 7 < 5) csv += calendar::FormatDayNumberIso(d) + "," + std::to_string(100 + 50 * std::sin(d / 40.0) + (d - first) * 0.01) + "\n";
    return csv;
}

backtest::BacktestParams Params(int first, int second, bool helio, bool widestRange = false) {
    backtest::BacktestParams params;
    if (widestRange) {
        params.fromDay = testing::Day(1, 1, 1);
        params.toDay = testing::Day(2799, 12, 31);
    }
    params.first = astro::BodyOfIndex(first);
    params.second = astro::BodyOfIndex(second);
    params.heliocentric = helio;
    return params;
}

void WholeBacktest(benchmark::State& state, int first, int second, bool helio, bool widestRange) {
    testing::InitModelOnce();
    const std::string csv = CenturyCsv();
    for (auto _ : state) {
        const backtest::PriceSeriesLoad load = backtest::PriceSeriesFromTable(prices::ParseDailyClosesCsv(csv));
        bench::NullRunHost host;
        const backtest::BacktestResult r = backtest::RunBacktest(Params(first, second, helio, widestRange), load.series, host);
        if (!r.HasStatistics()) state.SkipWithError("the backtest did not run");
        benchmark::DoNotOptimize(r.strategies.size());
    }
    state.counters["closes"] = static_cast<double>(backtest::PriceSeriesFromTable(prices::ParseDailyClosesCsv(csv)).series.Size());
}

void RulesAndStatistics(benchmark::State& state) {
    testing::InitModelOnce();
    const backtest::PriceSeries series = backtest::PriceSeriesFromTable(prices::ParseDailyClosesCsv(CenturyCsv())).series;
    bench::NullRunHost host;
    const backtest::BacktestResult once = backtest::RunBacktest(Params(1, 5, true), series, host);
    for (auto _ : state) {
        const backtest::BacktestResult r = backtest::EvaluateBacktest(once.inputs, once.prices, once.stays, once.exacts);
        benchmark::DoNotOptimize(r.buyAndHold.stats.totalReturn);
    }
    state.counters["stays"] = static_cast<double>(once.stays.size());
}

backtest::PriceSeries CenturyWalk() {
    backtest::PriceSeries days;
    for (std::int32_t d = testing::Day(1920, 1, 1); d <= testing::Day(2019, 12, 31); ++d)
        if (d % 7 < 5) days.points.push_back({.day = d, .close = 100, .line = 0});
    return testing::RandomWalk(days, 1, {});
}

// The scan and the rules' plain statistics, without significance.
void ScanWithoutSignificance(benchmark::State& state, int first, int second, bool helio) {
    testing::InitModelOnce();
    const backtest::PriceSeries walk = CenturyWalk();
    backtest::BacktestParams params = Params(first, second, helio);
    params.permutations = 0;
    for (auto _ : state) {
        bench::NullRunHost host;
        benchmark::DoNotOptimize(backtest::RunBacktest(params, walk, host).stays.size());
    }
}

// All 21 rules and the event study over one scan's stays; range(0) permutations.
void EvaluateWithSignificance(benchmark::State& state, int first, int second, bool helio) {
    testing::InitModelOnce();
    const backtest::PriceSeries walk = CenturyWalk();
    backtest::BacktestParams params = Params(first, second, helio);
    params.permutations = 0;
    bench::NullRunHost host;
    const backtest::BacktestResult once = backtest::RunBacktest(params, walk, host);
    params.permutations = static_cast<int>(state.range(0));
    std::size_t trades = 0;
    for (const backtest::StrategyResult& s : once.strategies) trades += s.trades.trades.size();
    for (auto _ : state) {
        const backtest::BacktestResult r = backtest::EvaluateBacktest(params, once.prices, once.stays, once.exacts);
        benchmark::DoNotOptimize(r.rules.passing);
    }
    state.counters["closes"] = static_cast<double>(once.prices.Size());
    state.counters["trades"] = static_cast<double>(trades);
    state.counters["exacts"] = static_cast<double>(once.exacts.size());
}

BENCHMARK_CAPTURE(WholeBacktest, earth_jupiter_helio, 1, 5, true, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WholeBacktest, mars_jupiter_geo, 4, 5, false, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WholeBacktest, mars_jupiter_geo_years_1_to_2799, 4, 5, false, true)->Unit(benchmark::kMillisecond);
BENCHMARK(RulesAndStatistics)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ScanWithoutSignificance, mars_jupiter_geo, 4, 5, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(EvaluateWithSignificance, mars_jupiter_geo, 4, 5, false)->Arg(0)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(EvaluateWithSignificance, earth_jupiter_helio, 1, 5, true)->Arg(0)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
