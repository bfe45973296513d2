// Not a timing benchmark: every pair (36 geocentric, 36 heliocentric) over 1600-2199 in
// three zones, scanned lazily (ScanPath::Fast) and with positions at every step
// (ScanPath::Stepwise), every record and the report text compared. Prints the counts
// and each difference; exits 1 when there is one. Takes some minutes: --jobs N spreads
// the pairs over N threads. --bound-scale F multiplies the bodies' motion bounds by F,
// to see the comparison fail when they are too small.
//
//   bench_scan_validation [--jobs N] [--from YEAR] [--to YEAR] [--bound-scale F]
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "astro/catalogue.h"
#include "astro/motion_bounds.h"
#include "platform/named_time_zone.h"
#include "test_support.h"
#include "transits/scan_comparison.h"

namespace {

using namespace kovo;

struct Zone {
    const char* label;
    calendar::ReportZone zone;
};

struct Unit {
    int first, second;
    bool helio;
    std::size_t zone;
};

struct Totals {
    std::size_t scans = 0, periods = 0, lines = 0, exact = 0, differences = 0;
    std::uint64_t lazySteps = 0;
};

}  // namespace

int main(int argc, char** argv) {
    int jobs = 2;
    int fromYear = 1600;
    int toYear = 2199;
    double scale = 1.0;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        const int value = std::atoi(argv[i + 1]);
        if (option == "--jobs") jobs = std::max(1, value);
        else if (option == "--from") fromYear = value;
        else if (option == "--to") toYear = value;
        else if (option == "--bound-scale") scale = std::atof(argv[i + 1]);
    }
    astro::ScaleMotionBoundsForTesting(scale);
    kovo::testing::InitModelOnce();
    std::vector<Zone> zones{{"GMT-5:00", kovo::testing::ListZone(14, "GMT-5:00")}};
    for (const char* name : {"America/New_York", "Asia/Kolkata"}) {
        const auto named = platform::NamedTimeZone::Find(name);
        if (!named) {
            std::fprintf(stderr, "%s is not in the tz database\n", name);
            return 2;
        }
        zones.push_back({name, calendar::ReportZone::Named(*named)});
    }
    std::vector<Unit> units;
    for (const bool helio : {false, true})
        for (int first = 1; first <= 9; ++first)
            for (int second = first + 1; second <= 9; ++second)
                for (std::size_t z = 0; z < zones.size(); ++z) units.push_back({first, second, helio, z});

    std::atomic<std::size_t> next{0};
    std::mutex lock;
    std::vector<Totals> totals(zones.size());
    const auto work = [&] {
        for (std::size_t u = next++; u < units.size(); u = next++) {
            const Unit& unit = units[u];
            const transits::TransitRunParams p =
                kovo::testing::PairParams(unit.first, unit.second, unit.helio, kovo::testing::Day(fromYear, 1, 1),
                                          kovo::testing::Day(toYear, 12, 31), zones[unit.zone].zone);
            const auto c = kovo::testing::CompareScans(kovo::testing::RunScan(p, transits::ScanPath::Fast),
                                                       kovo::testing::RunScan(p, transits::ScanPath::Stepwise), true);
            const std::string pair = astro::PlanetName(unit.first, unit.helio, false) + "-" +
                                     astro::PlanetName(unit.second, unit.helio, false) + (unit.helio ? " helio" : " geo");
            const std::lock_guard<std::mutex> guard(lock);
            Totals& t = totals[unit.zone];
            ++t.scans;
            t.periods += c.periods;
            t.lines += c.lines;
            t.exact += c.exact;
            t.differences += c.differences.size();
            for (const auto& d : c.differences) std::printf("DIFFERENT %s %s: %s\n", pair.c_str(), zones[unit.zone].label, d.c_str());
            std::fflush(stdout);
        }
    };
    std::vector<std::thread> threads;
    for (int j = 0; j < jobs; ++j) threads.emplace_back(work);
    for (auto& t : threads) t.join();

    Totals all;
    std::printf("%d-%d, all 7 aspects at orbs 10/5/2, lazy scan against positions at every step%s\n", fromYear, toYear,
                scale == 1.0 ? "" : (", motion bounds x " + std::to_string(scale)).c_str());
    std::printf("%-18s %6s %9s %9s %9s %12s\n", "zone", "scans", "periods", "lines", "exact", "differences");
    for (std::size_t z = 0; z < zones.size(); ++z) {
        const Totals& t = totals[z];
        std::printf("%-18s %6zu %9zu %9zu %9zu %12zu\n", zones[z].label, t.scans, t.periods, t.lines, t.exact, t.differences);
        all.scans += t.scans;
        all.periods += t.periods;
        all.lines += t.lines;
        all.exact += t.exact;
        all.differences += t.differences;
    }
    std::printf("%-18s %6zu %9zu %9zu %9zu %12zu\n", "all", all.scans, all.periods, all.lines, all.exact, all.differences);
    return all.differences == 0 ? 0 : 1;
}
