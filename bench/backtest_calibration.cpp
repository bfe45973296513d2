// Whether the backtest's p-values and q-values are calibrated: seeded random walks of a
// century of daily closes (every weekday of 1920-2019) are evaluated on the real in-orb
// stays and exact aspects of Mars and Jupiter (geocentric, one scan reused for every
// walk), all 7 aspects x 3 orbs.
//  - Noise: the walks carry no information, so p should be uniform (5 % of rules below
//    0.05) and few rules should survive the false discovery rate.
//  - Planted: the same walks with an extra daily log return on every step one rule
//    holds (an aspect's outer stays); that aspect's rules should be found, the others
//    should pass no more often than on noise.
// The report goes to standard output, progress to standard error.
//
//   bench_backtest_calibration [--walks N] [--permutations N] [--seed S] [--drift PCT]
//                              [--plant PCT] [--plant-aspect A] [--threads N] [--no-short]
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "backtest/backtest_run.h"
#include "backtest/calibration_walks.h"
#include "null_run_host.h"
#include "stats/random_stream.h"
#include "test_support.h"

namespace {

using namespace kovo;
using Clock = std::chrono::steady_clock;

struct Options {
    int walks = 200;
    int permutations = stats::kDefaultShifts;
    std::uint64_t seed = 1;
    double driftPct = 0;    // mean daily log return, percent
    double plantPct = 0.2;  // extra daily log return on the planted rule's steps, percent
    int plantAspect = 4;    // aspect index: the trine
    int threads = 1;
    bool shortSide = true;
};

bool ParseNumber(const char* text, double& out) {
    char* end = nullptr;
    out = std::strtod(text, &end);
    return end != text && *end == '\0';
}

// The options, or nothing after printing why they were refused.
std::optional<Options> ParseOptions(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (name == "--no-short") {
            o.shortSide = false;
            continue;
        }
        double value = 0;
        if (i + 1 >= argc || !ParseNumber(argv[i + 1], value)) {
            std::fprintf(stderr, "%s: needs a number\n", name.c_str());
            return std::nullopt;
        }
        ++i;
        const bool whole = value == static_cast<double>(static_cast<long long>(value));
        if (name == "--walks" && whole && value >= 1 && value <= 100000) o.walks = static_cast<int>(value);
        else if (name == "--permutations" && whole && value >= 1 && value <= 1000000) o.permutations = static_cast<int>(value);
        else if (name == "--seed" && whole && value >= 0) o.seed = static_cast<std::uint64_t>(value);
        else if (name == "--drift" && value > -1 && value < 1) o.driftPct = value;
        else if (name == "--plant" && value >= 0 && value < 5) o.plantPct = value;
        else if (name == "--plant-aspect" && whole && value >= 1 && value <= 7) o.plantAspect = static_cast<int>(value);
        else if (name == "--threads" && whole && value >= 1 && value <= 64) o.threads = static_cast<int>(value);
        else {
            std::fprintf(stderr, "%s %s: unknown option or value out of range\n", name.c_str(), argv[i]);
            return std::nullopt;
        }
    }
    return o;
}

// The p- and q-values of one family of one walk, in the family's order.
struct Figures {
    std::vector<std::optional<double>> p;
    std::vector<std::optional<double>> q;
};

Figures RuleFigures(const backtest::BacktestResult& r) {
    Figures f;
    for (const backtest::StrategyResult& s : r.strategies) {
        f.p.push_back(s.significance.PValue());
        f.q.push_back(s.significance.qValue);
    }
    return f;
}

Figures EventFigures(const backtest::BacktestResult& r) {
    Figures f;
    for (const backtest::EventStudyRow& row : r.eventStudy)
        for (const backtest::HorizonReturns& h : row.horizons) {
            f.p.push_back(h.significance.PValue());
            f.q.push_back(h.significance.qValue);
        }
    return f;
}

struct WalkResult {
    Figures longRules, shortRules, events, plantedRules, plantedEvents;
};

// The century the walks share: its trading days, the scan's stays and exact aspects,
// and the steps the planted rule holds.
struct Century {
    backtest::BacktestParams params;
    backtest::PriceSeries days;
    std::vector<backtest::OrbStay> stays;
    std::vector<backtest::ExactEvent> exacts;
    std::vector<backtest::StrategyTrades> rules;  // the trades of the long rules
    std::vector<bool> planted;
    double scanSeconds = 0;
};

std::optional<Century> ScanCentury(const Options& o) {
    testing::InitModelOnce();
    Century c;
    for (std::int32_t d = testing::Day(1920, 1, 1); d <= testing::Day(2019, 12, 31); ++d)
        if (d % 7 < 5) c.days.points.push_back({.day = d, .close = 100, .line = 0});
    c.params.first = astro::Body::Mars;
    c.params.second = astro::Body::Jupiter;
    c.params.heliocentric = false;
    c.params.permutations = 0;
    bench::NullRunHost host;
    const Clock::time_point start = Clock::now();
    backtest::BacktestResult scan = backtest::RunBacktest(c.params, c.days, host);
    c.scanSeconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (!scan.HasStatistics()) return std::nullopt;
    c.stays = std::move(scan.stays);
    c.exacts = std::move(scan.exacts);
    for (backtest::StrategyResult& s : scan.strategies) c.rules.push_back(std::move(s.trades));
    for (const backtest::StrategyTrades& rule : c.rules)
        if (rule.aspect == o.plantAspect && rule.level == 0) c.planted = testing::HeldSteps(rule.trades, c.days.Size());
    c.params.permutations = o.permutations;
    return c;
}

backtest::BacktestResult Evaluate(const Century& c, const backtest::PriceSeries& walk, backtest::Side side,
                                  std::uint64_t seed) {
    backtest::BacktestParams params = c.params;
    params.side = side;
    params.seed = seed;
    return backtest::EvaluateBacktest(params, walk, c.stays, c.exacts);
}

// Every walk has its own closes and its own permutation seed, both drawn from the run's
// seed and the walk's number alone, so the figures do not depend on the thread count.
WalkResult RunWalk(const Century& c, const Options& o, int walk) {
    const std::uint64_t closesSeed = stats::SplitMix64(stats::SplitMix64(o.seed) ^ static_cast<std::uint64_t>(walk + 1));
    const std::uint64_t runSeed = stats::SplitMix64(closesSeed);
    testing::WalkShape shape{.sd = 0.01, .drift = o.driftPct / 100, .plantedExtra = o.plantPct / 100};
    const backtest::PriceSeries noise = testing::RandomWalk(c.days, closesSeed, shape);
    const backtest::PriceSeries planted = testing::RandomWalk(c.days, closesSeed, shape, c.planted);
    WalkResult w;
    const backtest::BacktestResult noiseLong = Evaluate(c, noise, backtest::Side::Long, runSeed);
    w.longRules = RuleFigures(noiseLong);
    w.events = EventFigures(noiseLong);
    if (o.shortSide) w.shortRules = RuleFigures(Evaluate(c, noise, backtest::Side::Short, runSeed));
    const backtest::BacktestResult plantedLong = Evaluate(c, planted, backtest::Side::Long, runSeed);
    w.plantedRules = RuleFigures(plantedLong);
    w.plantedEvents = EventFigures(plantedLong);
    return w;
}

std::vector<WalkResult> RunWalks(const Century& c, const Options& o) {
    std::vector<WalkResult> results(static_cast<std::size_t>(o.walks));
    std::atomic<int> next{0};
    std::atomic<int> done{0};
    const auto work = [&] {
        for (int w = next++; w < o.walks; w = next++) {
            results[static_cast<std::size_t>(w)] = RunWalk(c, o, w);
            const int finished = ++done;
            if (finished % 10 == 0 || finished == o.walks) std::fprintf(stderr, "walk %d of %d\n", finished, o.walks);
        }
    };
    std::vector<std::thread> threads;
    for (int t = 1; t < o.threads; ++t) threads.emplace_back(work);
    work();
    for (std::thread& t : threads) t.join();
    return results;
}

// --- The report ---

std::string RuleName(const backtest::StrategyTrades& rule) {
    return astro::AspectAbbreviation[static_cast<std::size_t>(rule.aspect)] + " " + std::to_string(rule.orbDegrees);
}

std::string EventName(std::size_t index) {
    return astro::AspectAbbreviation[index / 3 + 1] + " +" + std::to_string(backtest::kEventHorizons[index % 3]);
}

double Share(const std::vector<double>& values, double below) {
    if (values.empty()) return 0;
    const auto n = std::count_if(values.begin(), values.end(), [&](double v) { return v < below; });
    return static_cast<double>(n) / static_cast<double>(values.size());
}

// The present values of row `row` (every row when row < 0) of the family over all walks.
std::vector<double> Collect(const std::vector<WalkResult>& walks, Figures WalkResult::*family, bool qValues, int row = -1) {
    std::vector<double> out;
    for (const WalkResult& w : walks) {
        const auto& values = qValues ? (w.*family).q : (w.*family).p;
        for (std::size_t i = 0; i < values.size(); ++i)
            if ((row < 0 || static_cast<int>(i) == row) && values[i]) out.push_back(*values[i]);
    }
    return out;
}

const char* Verdict(bool met) { return met ? "met" : "MISSED"; }

void PrintNoise(const char* title, const std::vector<WalkResult>& walks, Figures WalkResult::*family,
                const std::vector<std::string>& names) {
    const std::vector<double> p = Collect(walks, family, false);
    const std::vector<double> q = Collect(walks, family, true);
    std::printf("\n%s: %zu p-values\n", title, p.size());
    const double at05 = Share(p, 0.05);
    std::printf("  share p < 0.01: %.4f   p < 0.05: %.4f (goal 0.03-0.07: %s)   p < 0.10: %.4f\n", Share(p, 0.01), at05,
                Verdict(at05 >= 0.03 && at05 <= 0.07), Share(p, 0.10));
    std::printf("  histogram of p (10 bins of 0.1):");
    for (int b = 0; b < 10; ++b) std::printf(" %.3f", Share(p, (b + 1) / 10.0 + (b == 9 ? 1 : 0)) - Share(p, b / 10.0));
    int walksFlagging = 0;
    for (const WalkResult& w : walks)
        walksFlagging += std::any_of((w.*family).q.begin(), (w.*family).q.end(),
                                     [](const std::optional<double>& v) { return v && *v < 0.10; });
    const double flagged = Share(q, 0.10);
    std::printf("\n  share q < 0.10: %.4f (goal below 0.02: %s); walks with any q < 0.10: %d of %zu\n", flagged,
                Verdict(flagged < 0.02), walksFlagging, walks.size());
    std::printf("  share p < 0.05 by row:");
    for (std::size_t r = 0; r < names.size(); ++r)
        std::printf("%s%-7s %.3f", r % 6 == 0 ? "\n    " : "   ", names[r].c_str(),
                    Share(Collect(walks, family, false, static_cast<int>(r)), 0.05));
    std::printf("\n");
}

double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void PrintPlanted(const Century& c, const Options& o, const std::vector<WalkResult>& walks) {
    std::printf("\nPlanted: +%.2f %% a day on the steps held by %s's outer stays, long side\n", o.plantPct,
                astro::AspectName[static_cast<std::size_t>(o.plantAspect)].c_str());
    std::vector<double> otherQ, otherP, noiseQ, noiseP;
    for (std::size_t r = 0; r < c.rules.size(); ++r) {
        const int row = static_cast<int>(r);
        if (c.rules[r].aspect != o.plantAspect) {
            for (double v : Collect(walks, &WalkResult::plantedRules, true, row)) otherQ.push_back(v);
            for (double v : Collect(walks, &WalkResult::plantedRules, false, row)) otherP.push_back(v);
            for (double v : Collect(walks, &WalkResult::longRules, true, row)) noiseQ.push_back(v);
            for (double v : Collect(walks, &WalkResult::longRules, false, row)) noiseP.push_back(v);
            continue;
        }
        const std::vector<double> q = Collect(walks, &WalkResult::plantedRules, true, row);
        const double found = Share(q, 0.01);
        std::printf("  %-7s q < 0.01 in %.3f of walks (goal all: %s), q < 0.10 in %.3f; median q %.5f, largest %.5f\n",
                    RuleName(c.rules[r]).c_str(), found, Verdict(found == 1.0), Share(q, 0.10), Median(q),
                    q.empty() ? 0 : *std::max_element(q.begin(), q.end()));
    }
    std::printf("  other rules: share q < 0.10 %.4f (on noise %.4f: %s), share p < 0.05 %.4f (on noise %.4f)\n",
                Share(otherQ, 0.10), Share(noiseQ, 0.10), Verdict(Share(otherQ, 0.10) <= Share(noiseQ, 0.10)),
                Share(otherP, 0.05), Share(noiseP, 0.05));
    std::printf("  event study, %s's horizons: share q < 0.10", astro::AspectName[static_cast<std::size_t>(o.plantAspect)].c_str());
    for (int h = 0; h < 3; ++h)
        std::printf("  +%d: %.3f", backtest::kEventHorizons[static_cast<std::size_t>(h)],
                    Share(Collect(walks, &WalkResult::plantedEvents, true, (o.plantAspect - 1) * 3 + h), 0.10));
    std::printf("\n");
}

void PrintSetting(const Century& c, const Options& o) {
    std::printf("Backtest calibration: %s (geocentric), %s to %s, %zu closes, %zu stays, %zu exact aspects\n",
                backtest::PairName(c.params).c_str(), calendar::FormatDayNumberIso(c.days.points.front().day).c_str(),
                calendar::FormatDayNumberIso(c.days.points.back().day).c_str(), c.days.Size(), c.stays.size(),
                c.exacts.size());
    std::printf("Walks %d, permutations %d, seed %llu, daily log return sd 1.00 %%, drift %.4f %%, threads %d\n",
                o.walks, o.permutations, static_cast<unsigned long long>(o.seed), o.driftPct, o.threads);
    std::printf("Rules (trades, mean hold in trading days):");
    for (std::size_t r = 0; r < c.rules.size(); ++r) {
        double held = 0;
        for (const backtest::Trade& t : c.rules[r].trades) held += static_cast<double>(t.exitIndex - t.entryIndex);
        const double n = static_cast<double>(c.rules[r].trades.size());
        std::printf("%s%-7s %3zu %5.1f", r % 6 == 0 ? "\n    " : "   ", RuleName(c.rules[r]).c_str(),
                    c.rules[r].trades.size(), n > 0 ? held / n : 0.0);
    }
    std::printf("\nScan: %.2f s\n", c.scanSeconds);
}

}  // namespace

int main(int argc, char** argv) {
    const Clock::time_point start = Clock::now();
    const std::optional<Options> options = ParseOptions(argc, argv);
    if (!options) return 2;
    const std::optional<Century> century = ScanCentury(*options);
    if (!century) {
        std::fprintf(stderr, "the scan of the century did not run\n");
        return 1;
    }
    PrintSetting(*century, *options);
    std::fflush(stdout);
    const std::vector<WalkResult> walks = RunWalks(*century, *options);
    std::vector<std::string> ruleNames, eventNames;
    for (const backtest::StrategyTrades& rule : century->rules) ruleNames.push_back(RuleName(rule));
    for (std::size_t i = 0; i < 21; ++i) eventNames.push_back(EventName(i));
    PrintNoise("Noise, long side, rules", walks, &WalkResult::longRules, ruleNames);
    if (options->shortSide) PrintNoise("Noise, short side, rules", walks, &WalkResult::shortRules, ruleNames);
    PrintNoise("Noise, event study horizons (two-sided)", walks, &WalkResult::events, eventNames);
    PrintPlanted(*century, *options, walks);
    std::printf("\nWall time: %.1f s\n", std::chrono::duration<double>(Clock::now() - start).count());
    return 0;
}
