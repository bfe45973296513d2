// The research sweep at scale: a seeded random walk of daily closes (every weekday from
// 1920 on, 100 years by default: about 26,000 closes) against every pair, all seven
// aspects at three orbs, both directions, 10,000 circular shifts and bootstrap resamples
// per rule. Each --jobs value is timed in turn on the same request, and the outputs are
// compared byte for byte; the peak memory is the process's. For the peak of one jobs
// value alone, run it alone (--jobs 2).
//
//   bench_sweep [--years N] [--pairs PAIRS] [--jobs 1,2] [--permutations N]
//               [--direction long|short|both] [--write-csv PATH]
//
// --write-csv writes the walk as a Date,Close table (for timing kovo-report sweep as a
// whole process) and exits.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "backtest/calibration_walks.h"
#include "calendar/calendar_services.h"
#include "export/sweep_export.h"
#include "sweep/sweep_pairs.h"
#include "sweep/sweep_run.h"
#include "test_support.h"

namespace {

using namespace kovo;

struct Options {
    int years = 100;
    std::string pairs = "all";
    std::vector<int> jobs{1, 2};
    int permutations = stats::kDefaultShifts;
    std::vector<backtest::Side> sides{backtest::Side::Long, backtest::Side::Short};
    std::string csvPath;
};

backtest::PriceSeries Walk(int years) {
    backtest::PriceSeries days;
    for (std::int32_t d = testing::Day(1920, 1, 1); d <= testing::Day(1919 + years, 12, 31); ++d)
        if (d % 7 < 5) days.points.push_back({.day = d, .close = 100, .line = 0});
    backtest::PriceSeries walk = testing::RandomWalk(days, 1, {.sd = 0.011, .drift = 0.0002, .plantedExtra = 0});
    walk.source = "a random walk of " + std::to_string(years) + " years";
    return walk;
}

bool Parse(int argc, char** argv, Options& o) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const std::string value = argv[i + 1];
        if (name == "--years") {
            o.years = std::atoi(value.c_str());
        } else if (name == "--pairs") {
            o.pairs = value;
        } else if (name == "--permutations") {
            o.permutations = std::atoi(value.c_str());
        } else if (name == "--write-csv") {
            o.csvPath = value;
        } else if (name == "--direction") {
            if (value == "long") o.sides = {backtest::Side::Long};
            else if (value == "short") o.sides = {backtest::Side::Short};
            else if (value != "both") return false;
        } else if (name == "--jobs") {
            o.jobs.clear();
            for (std::size_t start = 0; start < value.size();) {
                const std::size_t comma = std::min(value.find(',', start), value.size());
                o.jobs.push_back(std::atoi(value.substr(start, comma - start).c_str()));
                start = comma + 1;
            }
        } else {
            return false;
        }
    }
    return (argc % 2) == 1 && o.years >= 1 && o.years <= 250 && !o.jobs.empty();
}

double PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!Parse(argc, argv, o)) {
        std::fprintf(stderr, "usage: bench_sweep [--years N] [--pairs PAIRS] [--jobs 1,2] [--permutations N] "
                             "[--direction long|short|both] [--write-csv PATH]\n");
        return 2;
    }
    testing::InitModelOnce();
    const backtest::PriceSeries walk = Walk(o.years);
    if (!o.csvPath.empty()) {
        std::ofstream csv(o.csvPath, std::ios::binary);
        csv << "Date,Close\n";
        char close[32];
        for (const backtest::PricePoint& p : walk.points) {
            std::snprintf(close, sizeof close, "%.6f", p.close);
            csv << calendar::FormatDayNumberIso8601(p.day) << "," << close << "\n";
        }
        return csv.good() ? 0 : 1;
    }
    auto pairs = sweep::ParsePairs(o.pairs);
    if (auto* why = std::get_if<std::string>(&pairs)) {
        std::fprintf(stderr, "--pairs: %s\n", why->c_str());
        return 2;
    }
    sweep::SweepRequest request;
    request.pairs = std::get<std::vector<sweep::SweepPair>>(pairs);
    request.sides = o.sides;
    request.permutations = o.permutations;
    std::printf("%zu closes, %zu pairs, %zu directions, %d permutations\n", walk.Size(), request.pairs.size(),
                request.sides.size(), request.permutations);
    std::string first;
    for (const int jobs : o.jobs) {
        request.jobs = jobs;
        const auto started = std::chrono::steady_clock::now();
        const sweep::SweepResult result = sweep::RunSweep(request, walk, {});
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        if (result.outcome != util::RunOutcome::Completed) {
            std::fprintf(stderr, "the sweep was refused: %s\n", result.refusal.c_str());
            return 1;
        }
        const std::string json = exporting::SweepJson(result);
        if (first.empty()) first = json;
        std::printf("jobs %d: %.2f s wall, %zu rows, %d tested, %d with q < 0.10, output %s\n", jobs, seconds,
                    result.rows.size(), result.count.tested, result.count.passing,
                    json == first ? "identical" : "DIFFERENT");
    }
    std::printf("peak memory of the process: %.0f MB\n", PeakMegabytes());
    return 0;
}
