// Whether the sweep's ranking is honest, on seeded random walks of every weekday of
// 1920-2019 (about 26,000 closes):
//  - Planted: an extra daily log return on every step Mars and Jupiter (geocentric) hold
//    their trine within the outer orb. The planted pair and aspect should rank first, with
//    q < 0.01, among every geocentric pair's rules.
//  - Noise: walks that carry no information. Benjamini-Hochberg at 0.10 should let at most
//    a few rules through; the share with q < 0.10 is reported per walk and in all.
// The p-value of a rule is never below 1 / (1 + permutations), so a q-value below 0.01
// among m rules needs permutations well above m / 0.01 / (rules planted): hence the
// planted sweep's larger default.
//
//   bench_sweep_validation [--plant PCT] [--plant-permutations N] [--walks N]
//                          [--noise-permutations N] [--jobs N]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "backtest/backtest_run.h"
#include "backtest/calibration_walks.h"
#include "export/sweep_export.h"
#include "null_run_host.h"
#include "sweep/sweep_pairs.h"
#include "sweep/sweep_run.h"
#include "test_support.h"

namespace {

using namespace kovo;

constexpr int kPlantedAspect = 4;  // the trine

struct Options {
    double plantPct = 0.5;  // extra daily log return on the planted steps, percent (as the backtest's calibration)
    int plantPermutations = 100000;
    int walks = 5;
    int noisePermutations = 2000;
    int jobs = 2;
};

backtest::PriceSeries Weekdays() {
    backtest::PriceSeries days;
    for (std::int32_t d = testing::Day(1920, 1, 1); d <= testing::Day(2019, 12, 31); ++d)
        if (d % 7 < 5) days.points.push_back({.day = d, .close = 100, .line = 0});
    return days;
}

// The steps Mars and Jupiter (geocentric) hold their trine within the outer orb.
std::vector<bool> PlantedSteps(const backtest::PriceSeries& days) {
    backtest::BacktestParams params;
    params.first = astro::Body::Mars;
    params.second = astro::Body::Jupiter;
    params.heliocentric = false;
    params.permutations = 0;
    params.eventStudy = false;
    bench::NullRunHost host;
    const backtest::BacktestResult r = backtest::RunBacktest(params, days, host);
    for (const backtest::StrategyResult& s : r.strategies)
        if (s.trades.aspect == kPlantedAspect && s.trades.level == 0) return testing::HeldSteps(s.trades.trades, days.Size());
    return {};
}

sweep::SweepResult Sweep(const backtest::PriceSeries& prices, const std::string& pairs, bool bothSides, int permutations,
                         int jobs) {
    sweep::SweepRequest request;
    request.pairs = std::get<std::vector<sweep::SweepPair>>(sweep::ParsePairs(pairs));
    if (bothSides) request.sides = {backtest::Side::Long, backtest::Side::Short};
    request.permutations = permutations;
    request.jobs = jobs;
    return sweep::RunSweep(request, prices, {});
}

bool Parse(int argc, char** argv, Options& o) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const char* value = argv[i + 1];
        if (name == "--plant") o.plantPct = std::atof(value);
        else if (name == "--plant-permutations") o.plantPermutations = std::atoi(value);
        else if (name == "--walks") o.walks = std::atoi(value);
        else if (name == "--noise-permutations") o.noisePermutations = std::atoi(value);
        else if (name == "--jobs") o.jobs = std::atoi(value);
        else return false;
    }
    return argc % 2 == 1;
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!Parse(argc, argv, o)) {
        std::fprintf(stderr, "usage: bench_sweep_validation [--plant PCT] [--plant-permutations N] [--walks N] "
                             "[--noise-permutations N] [--jobs N]\n");
        return 2;
    }
    testing::InitModelOnce();
    const backtest::PriceSeries days = Weekdays();
    const testing::WalkShape shape{.sd = 0.01, .drift = 0, .plantedExtra = o.plantPct / 100.0};

    backtest::PriceSeries planted = testing::RandomWalk(days, 7, shape, PlantedSteps(days));
    planted.source = "a walk with Mars-Jupiter's trine planted";
    const sweep::SweepResult found = Sweep(planted, "geo", false, o.plantPermutations, o.jobs);
    const std::string text = exporting::SweepText(found);
    std::size_t end = 0;
    for (int line = 0; line < 20 && end != std::string::npos; ++line) end = text.find('\n', end + 1);
    std::printf("Planted: +%.3f %% a day on the steps in Mars-Jupiter's trine (outer orb), %d permutations\n\n%s\n\n",
                o.plantPct, o.plantPermutations, text.substr(0, end).c_str());
    const sweep::SweepRow& top = found.rows.front();
    const bool topIsPlanted = top.unit.pair.first == astro::Body::Mars && top.unit.pair.second == astro::Body::Jupiter &&
                              top.aspect == kPlantedAspect;
    std::printf("top row planted: %s, its q %.6f\n\n", topIsPlanted ? "yes" : "NO", top[sweep::Figure::Q].value_or(1));

    int tested = 0;
    int passing = 0;
    std::printf("Noise: %d walks, all 72 pairs, both directions, %d permutations\n", o.walks, o.noisePermutations);
    for (int walk = 0; walk < o.walks; ++walk) {
        backtest::PriceSeries noise = testing::RandomWalk(days, 100 + static_cast<std::uint64_t>(walk), shape);
        noise.source = "noise";
        const sweep::SweepResult r = Sweep(noise, "all", true, o.noisePermutations, o.jobs);
        tested += r.count.tested;
        passing += r.count.passing;
        std::printf("walk %d: %d of %d rules with q < 0.10 (%.2f %%), smallest q %.4f\n", walk + 1, r.count.passing,
                    r.count.tested, 100.0 * r.count.passing / std::max(1, r.count.tested),
                    r.rows.empty() ? 1.0 : r.rows.front()[sweep::Figure::Q].value_or(1));
    }
    std::printf("all walks: %d of %d rules with q < 0.10 (%.3f %%)\n", passing, tested, 100.0 * passing / std::max(1, tested));
    return topIsPlanted ? 0 : 1;
}
