// Raw Swiss Ephemeris calls against PlanetLongitude for the same instants: Mercury and
// Neptune, geocentric and heliocentric, 6-hour steps over 100 years; and Pluto from its files.
// Mars over the 300 days around the data files' 1800 seam, where every call starts the
// library afresh, against the same days a century later.
#include <benchmark/benchmark.h>

#include <swephexp.h>

#include "astro/positions.h"
#include "test_support.h"

namespace {

constexpr double kStart = 2451544.5;  // 2000-01-01
constexpr int kSteps = 100 * 365 * 4 + 100;

void RawCalls(benchmark::State& state, int sweBody, bool helio) {
    kovo::testing::InitModelOnce();
    const int flags = helio ? (SEFLG_SWIEPH | SEFLG_HELCTR | SEFLG_TRUEPOS | SEFLG_J2000 | SEFLG_NONUT) : SEFLG_SWIEPH;
    for (auto _ : state) {
        double sum = 0;
        char error[AS_MAXCH];
        for (int i = 0; i < kSteps; ++i) {
            double xx[6];
            swe_calc_ut(kStart + i * 0.25, sweBody, flags, xx, error);
            sum += xx[0];
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kSteps);
}

void Layer(benchmark::State& state, int planet, bool helio) {
    kovo::testing::InitModelOnce();
    for (auto _ : state) {
        double sum = 0;
        for (int i = 0; i < kSteps; ++i) sum += kovo::astro::PlanetLongitude(planet, kStart + i * 0.25, helio);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kSteps);
}

void MarsAround(benchmark::State& state, double middle) {
    constexpr int kSeamSteps = 300 * 4;
    kovo::testing::InitModelOnce();
    for (auto _ : state) {
        double sum = 0;
        for (int i = 0; i < kSeamSteps; ++i) sum += kovo::astro::PlanetLongitude(4, middle - 150 + i * 0.25, false);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kSeamSteps);
}

void PlutoFromFiles(benchmark::State& state) {
    kovo::testing::InitModelOnce();
    for (auto _ : state) {
        double sum = 0;
        for (int i = 0; i < kSteps; ++i) sum += kovo::astro::PlutoGeocentric(kStart + i * 0.25);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kSteps);
}

}  // namespace

BENCHMARK_CAPTURE(RawCalls, mercury_geo, SE_MERCURY, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Layer, mercury_geo, 2, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RawCalls, mercury_helio, SE_MERCURY, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Layer, mercury_helio, 2, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RawCalls, neptune_geo, SE_NEPTUNE, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Layer, neptune_geo, 8, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RawCalls, neptune_helio, SE_NEPTUNE, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Layer, neptune_helio, 8, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(MarsAround, seam_1800, 2378496.5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(MarsAround, year_1900, 2415020.5)->Unit(benchmark::kMillisecond);
BENCHMARK(PlutoFromFiles)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
