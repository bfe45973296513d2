// 100-year scans (the Moon's with the Sun among them) with a host that does nothing, on
// the fast path, the fast path with positions at every step and the reference path side
// by side, beside the bare longitude requests of the same steps (two per step), so the
// engine's own cost shows as the difference. Each run also counts the library's
// position and delta-T computations per iteration.
#include <benchmark/benchmark.h>

#include "astro/positions.h"
#include "null_run_host.h"
#include "platform/ephemeris.h"
#include "test_support.h"
#include "requests/transit_form.h"
#include "transits/transit_runs.h"
#include "transits/transit_scan.h"

namespace {

using kovo::transits::ScanPath;

constexpr std::int32_t kStart = 2433283;       // 1950-01-01
constexpr std::int32_t kEnd = kStart + 36524;  // 2049-12-31

kovo::transits::TransitRunParams Params(int first, int second, bool helio, ScanPath path) {
    kovo::transits::TransitRunParams p;
    p.firstPlanet = first;
    p.secondPlanet = second;
    p.heliocentric = helio;
    p.startDay = kStart;
    p.endDay = kEnd;
    for (std::size_t a = 1; a <= 7; ++a) p.aspects[a] = true;
    kovo::transits::SetOrbs(p, 10, 5, 2);
    p.outputLimit.reset();
    p.scanPath = path;
    return p;
}

// Library calls per iteration, as benchmark counters.
class CallCounter {
public:
    CallCounter() : start_(kovo::platform::EphemerisCalls()) {}
    void Report(benchmark::State& state) const {
        const auto end = kovo::platform::EphemerisCalls();
        const auto perIteration = [&](std::uint64_t a, std::uint64_t b) {
            return benchmark::Counter(static_cast<double>(b - a) / static_cast<double>(state.iterations()));
        };
        state.counters["positions"] = perIteration(start_.positions, end.positions);
        state.counters["deltaT"] = perIteration(start_.deltaT, end.deltaT);
    }

private:
    kovo::platform::EphemerisCallCounts start_;
};

void Scan(benchmark::State& state, int first, int second, bool helio, ScanPath path) {
    kovo::testing::InitModelOnce();
    const CallCounter calls;
    for (auto _ : state) {
        auto p = Params(first, second, helio, path);
        kovo::bench::NullRunHost host;
        kovo::transits::RunTransitScan(p, host);
        benchmark::DoNotOptimize(host.Report().Length());
    }
    calls.Report(state);
}

// The Sun against its eight partners over 10 years (2020-2029), geocentric.
void AllTransits(benchmark::State& state, ScanPath path) {
    kovo::testing::InitModelOnce();
    const CallCounter calls;
    for (auto _ : state) {
        kovo::requests::TransitForm inputs;
        inputs.firstListPos = 0;
        inputs.outputLimit.reset();
        inputs.scanPath = path;
        kovo::calendar::DateEntryModel dates;
        dates.txbYear = {"2020", "2029"};
        dates.txbMonth = {"1", "12"};
        dates.txbDay = {"1", "31"};
        kovo::calendar::RefreshDateLabel(dates, 0);
        kovo::calendar::RefreshDateLabel(dates, 1);
        kovo::bench::NullRunHost host;
        benchmark::DoNotOptimize(kovo::requests::RunAllTransitsForm(inputs, dates, 0, host).pairs.size());
    }
    calls.Report(state);
}

void BareRequests(benchmark::State& state, int first, int second, bool helio) {
    kovo::testing::InitModelOnce();
    const double step = kovo::transits::ScanStep(first, second);
    for (auto _ : state) {
        double sum = 0;
        for (double t = kStart - 0.25 - step; t <= kEnd + 0.25 + step; t += step)
            sum += kovo::astro::PlanetLongitude(first, t, helio) + kovo::astro::PlanetLongitude(second, t, helio);
        benchmark::DoNotOptimize(sum);
    }
}

}  // namespace

// Each scan three ways: the reference path, the fast path with positions at every step
// (ScanPath::Stepwise, the scan before it learnt to skip steps), and the fast path.
#define KOVO_SCAN_BENCH(name, first, second, helio)                                                                     \
    BENCHMARK_CAPTURE(Scan, name##_reference, first, second, helio, ScanPath::Reference)->Unit(benchmark::kMillisecond); \
    BENCHMARK_CAPTURE(Scan, name##_stepwise, first, second, helio, ScanPath::Stepwise)->Unit(benchmark::kMillisecond);   \
    BENCHMARK_CAPTURE(Scan, name##_fast, first, second, helio, ScanPath::Fast)->Unit(benchmark::kMillisecond)

KOVO_SCAN_BENCH(mars_jupiter_geo, 4, 5, false);
KOVO_SCAN_BENCH(jupiter_saturn_geo, 5, 6, false);
KOVO_SCAN_BENCH(mercury_venus_geo, 2, 3, false);
KOVO_SCAN_BENCH(jupiter_saturn_helio, 5, 6, true);
// The Moon: a 90-minute step for a century, some 15,000 exact aspects (goal: under 5 s).
BENCHMARK_CAPTURE(Scan, sun_moon_geo_stepwise, 1, 10, false, ScanPath::Stepwise)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Scan, sun_moon_geo_fast, 1, 10, false, ScanPath::Fast)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(AllTransits, sun_10_years_reference, ScanPath::Reference)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(AllTransits, sun_10_years_stepwise, ScanPath::Stepwise)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(AllTransits, sun_10_years_fast, ScanPath::Fast)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BareRequests, mars_jupiter_geo, 4, 5, false)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
