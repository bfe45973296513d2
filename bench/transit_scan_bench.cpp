// 100-year scans with a host that does nothing, beside the bare longitude requests of
// the same steps (two per step), so the engine's own cost shows as the difference.
#include <benchmark/benchmark.h>

#include "astro/positions.h"
#include "null_run_host.h"
#include "test_support.h"
#include "transits/transit_scan.h"

namespace {


constexpr std::int32_t kStart = 2451545;           // 2000-01-01
constexpr std::int32_t kEnd = kStart + 36524;      // 100 years on

kovo::transits::TransitRunParams Params(int first, int second, bool helio) {
    kovo::transits::TransitRunParams p;
    p.firstPlanet = first;
    p.secondPlanet = second;
    p.heliocentric = helio;
    p.startDay = kStart;
    p.endDay = kEnd;
    for (std::size_t a = 1; a <= 7; ++a) p.aspects[a] = true;
    kovo::transits::SetOrbs(p, 10, 5, 2);
    p.outputLimit.reset();
    return p;
}

void Scan(benchmark::State& state, int first, int second, bool helio) {
    kovo::testing::InitModelOnce();
    for (auto _ : state) {
        auto p = Params(first, second, helio);
        kovo::bench::NullRunHost host;
        kovo::util::RunFlags flags;
        kovo::transits::RunTransitScan(p, flags, host);
        benchmark::DoNotOptimize(host.OutputLength());
    }
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

BENCHMARK_CAPTURE(Scan, mars_jupiter_geo, 4, 5, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BareRequests, mars_jupiter_geo, 4, 5, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Scan, mercury_venus_geo, 2, 3, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BareRequests, mercury_venus_geo, 2, 3, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Scan, jupiter_saturn_helio, 5, 6, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BareRequests, jupiter_saturn_helio, 5, 6, true)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
