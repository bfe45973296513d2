// The fast scan against the reference scan: the same records and the same report text,
// every exact minute of a century included.
#include <gtest/gtest.h>

#include <cmath>

#include "astro/catalogue.h"
#include "astro/motion_bounds.h"
#include "fake_run_host.h"
#include "platform/ephemeris.h"
#include "platform/named_time_zone.h"
#include "scan_comparison.h"
#include "test_support.h"
#include "requests/transit_form.h"
#include "transits/transit_runs.h"
#include "transits/transit_scan.h"

using namespace kovo;
using namespace kovo::transits;
using kovo::testing::Day;
using kovo::testing::PairParams;

namespace {

struct Scanned {
    TransitResult result;
    std::string text;
};

Scanned Scan(int first, int second, bool helio, std::int32_t from, std::int32_t to, ScanPath path) {
    kovo::testing::InitModelOnce();
    // GMT-5:00: minutes near local midnight move the date
    TransitRunParams p = PairParams(first, second, helio, from, to, kovo::testing::ListZone(14, "GMT-5:00"));
    p.scanPath = path;
    kovo::testing::FakeRunHost host;
    Scanned s{RunTransitScan(p, host), {}};
    s.text = host.output;
    return s;
}

// Nutation moves both bodies alike, so the fast path's deviations agree to rounding and
// its minutes exactly.
void ExpectSameMinimum(const std::optional<TransitMinimum>& fast, const std::optional<TransitMinimum>& reference,
                       const std::string& where) {
    ASSERT_EQ(fast.has_value(), reference.has_value()) << where;
    if (!fast) return;
    EXPECT_EQ(fast->exact, reference->exact) << where;
    EXPECT_EQ(fast->instantUt, reference->instantUt) << where;
    EXPECT_EQ(fast->day, reference->day) << where;
    EXPECT_EQ(fast->retrograde, reference->retrograde) << where;
    EXPECT_NEAR(fast->deviation, reference->deviation, 1e-12) << where;
}

int CompareRecords(const TransitResult& fast, const TransitResult& reference, const std::string& pair) {
    int exact = 0;
    EXPECT_EQ(fast.outcome, reference.outcome) << pair;
    EXPECT_EQ(fast.periods.size(), reference.periods.size()) << pair;
    for (std::size_t i = 0; i < std::min(fast.periods.size(), reference.periods.size()); ++i) {
        const TransitPeriod& f = fast.periods[i];
        const TransitPeriod& r = reference.periods[i];
        const std::string where = pair + " period " + std::to_string(i);
        EXPECT_EQ(f.aspect, r.aspect) << where;
        EXPECT_EQ(f.outer, r.outer) << where;
        EXPECT_EQ(f.cutAtStart, r.cutAtStart) << where;
        EXPECT_EQ(f.cutAtEnd, r.cutAtEnd) << where;
        EXPECT_EQ(f.passes.size(), r.passes.size()) << where;
        for (std::size_t j = 0; j < std::min(f.passes.size(), r.passes.size()); ++j) {
            EXPECT_EQ(f.passes[j].middle, r.passes[j].middle) << where;
            EXPECT_EQ(f.passes[j].inner, r.passes[j].inner) << where;
            ExpectSameMinimum(f.passes[j].minimum, r.passes[j].minimum, where + " pass " + std::to_string(j));
            if (r.passes[j].minimum && r.passes[j].minimum->exact) ++exact;
        }
    }
    return exact;
}

}  // namespace

TEST(ScanPaths, CenturyOfExactMinutesMatchesTheMinuteWalk) {
    struct Pair {
        int first, second;
        bool helio;
        const char* name;
    };
    const Pair pairs[] = {{4, 5, false, "Mars-Jupiter"},
                          {2, 3, false, "Mercury-Venus"},
                          {5, 6, false, "Jupiter-Saturn"},
                          {5, 6, true, "Jupiter-Saturn heliocentric"}};
    const std::int32_t from = Day(1950, 1, 1);
    const std::int32_t to = Day(2049, 12, 31);
    for (const Pair& pair : pairs) {
        const Scanned fast = Scan(pair.first, pair.second, pair.helio, from, to, ScanPath::Fast);
        const Scanned reference = Scan(pair.first, pair.second, pair.helio, from, to, ScanPath::Reference);
        const int exact = CompareRecords(fast.result, reference.result, pair.name);
        EXPECT_EQ(fast.text, reference.text) << pair.name;
        EXPECT_GT(exact, 10) << pair.name;
    }
}

// The all-transits run shares the kept body's longitudes among its pairs; each pair's
// report stays what a run of that pair alone gives on the reference path.
TEST(ScanPaths, AllTransitsRunSharesTheKeptBodyWithoutChangingAReport) {
    kovo::testing::InitModelOnce();
    auto run = [](ScanPath path, int index) {
        requests::TransitForm inputs;
        inputs.firstListPos = 0;   // the Sun
        inputs.secondListPos = 2;  // Mars
        inputs.timezonePosition = 33;  // GMT+4:30
        inputs.timezoneText = "GMT+4:30";
        inputs.outputLimit.reset();
        inputs.scanPath = path;
        calendar::DateEntryModel dates;
        dates.txbYear = {"2024", "2027"};
        dates.txbMonth = {"2", "1"};
        dates.txbDay = {"29", "1"};
        calendar::RefreshDateLabel(dates, 0);
        calendar::RefreshDateLabel(dates, 1);
        kovo::testing::FakeRunHost host;
        const AllTransitsResult all = requests::RunAllTransitsForm(inputs, dates, index, host);
        return std::make_pair(all, host.output);
    };
    for (const int index : {0, 1}) {
        const auto [fast, fastText] = run(ScanPath::Fast, index);
        const auto [reference, referenceText] = run(ScanPath::Reference, index);
        EXPECT_EQ(fastText, referenceText) << "index " << index;
        ASSERT_EQ(fast.pairs.size(), reference.pairs.size());
        for (std::size_t i = 0; i < fast.pairs.size(); ++i)
            CompareRecords(fast.pairs[i], reference.pairs[i], "pair " + std::to_string(i));
    }
}

namespace {

calendar::ReportZone NamedZone(const char* name) {
    const auto named = platform::NamedTimeZone::Find(name);
    if (!named) ADD_FAILURE() << name << " is not in the tz database";
    return named ? calendar::ReportZone::Named(*named) : calendar::ReportZone();
}

std::string PairName(int first, int second, bool helio) {
    return astro::PlanetName(first, helio, false) + "-" + astro::PlanetName(second, helio, false) +
           (helio ? " helio" : " geo");
}

// Restores the motion bounds however a test ends.
struct ScaledBounds {
    explicit ScaledBounds(double factor) { astro::ScaleMotionBoundsForTesting(factor); }
    ~ScaledBounds() { astro::ScaleMotionBoundsForTesting(1.0); }
};

}  // namespace

// Positions only where the bounds cannot decide, and the records of positions at every
// step: each of the 72 pairs over eight years at each end of the bounds' span (the steps
// just outside it take positions) and in between, in a fixed zone, a zone with summer
// time and one whose early offsets have seconds. bench_scan_validation does 1600-2199.
TEST(LazyScan, EveryPairGivesTheRecordsOfPositionsAtEveryStep) {
    kovo::testing::InitModelOnce();
    struct Span {
        std::int32_t from, to;
        calendar::ReportZone zone;
    };
    const Span spans[] = {{Day(1600, 1, 1), Day(1607, 12, 31), NamedZone("Asia/Kolkata")},
                          {Day(1990, 1, 1), Day(1997, 12, 31), NamedZone("America/New_York")},
                          {Day(2192, 1, 1), Day(2199, 12, 31), kovo::testing::ListZone(14, "GMT-5:00")}};
    std::size_t lines = 0;
    std::size_t exact = 0;
    for (const bool helio : {false, true})
        for (int first = 1; first <= 9; ++first)
            for (int second = first + 1; second <= 9; ++second)
                for (const Span& span : spans) {
                    const TransitRunParams p = PairParams(first, second, helio, span.from, span.to, span.zone);
                    const auto c = kovo::testing::CompareScans(kovo::testing::RunScan(p, ScanPath::Fast),
                                                               kovo::testing::RunScan(p, ScanPath::Stepwise), true);
                    EXPECT_TRUE(c.differences.empty()) << PairName(first, second, helio) << " from " << span.from
                                                       << ": " << c.differences.front();
                    lines += c.lines;
                    exact += c.exact;
                }
    EXPECT_GT(lines, 5000u);
    EXPECT_GT(exact, 2000u);
}

// The Moon's short steps, with a fast and a slow partner.
TEST(LazyScan, MoonPairsGiveTheRecordsOfPositionsAtEveryStep) {
    kovo::testing::InitModelOnce();
    for (const int first : {1, 2, 6}) {
        const TransitRunParams p = PairParams(first, astro::kMoon, false, Day(2023, 1, 1), Day(2024, 12, 31),
                                              NamedZone("Europe/Berlin"));
        const auto c = kovo::testing::CompareScans(kovo::testing::RunScan(p, ScanPath::Fast),
                                                   kovo::testing::RunScan(p, ScanPath::Stepwise), true);
        EXPECT_TRUE(c.differences.empty()) << first << ": " << c.differences.front();
        EXPECT_GT(c.exact, 100u) << first;
    }
}

// The comparison can fail: with bounds too small the lazy scan skips steps whose outcome
// changes, and misses or moves orb dates.
TEST(LazyScan, BoundsTooSmallChangeTheRecords) {
    kovo::testing::InitModelOnce();
    const TransitRunParams p =
        PairParams(2, 3, false, Day(2000, 1, 1), Day(2009, 12, 31), kovo::testing::ListZone(24, "GMT"));
    const kovo::testing::ScanRun stepwise = kovo::testing::RunScan(p, ScanPath::Stepwise);
    EXPECT_TRUE(kovo::testing::CompareScans(kovo::testing::RunScan(p, ScanPath::Fast), stepwise, true).differences.empty());
    const ScaledBounds halved(0.5);
    const auto c = kovo::testing::CompareScans(kovo::testing::RunScan(p, ScanPath::Fast), stepwise, true);
    EXPECT_FALSE(c.differences.empty());
}

// The point of the lazy scan, as a count rather than a time: Mars-Jupiter over twenty
// years asks for a small share of the positions the stepwise scan asks for.
TEST(LazyScan, AsksForPositionsAtFewSteps) {
    kovo::testing::InitModelOnce();
    const TransitRunParams p =
        PairParams(4, 5, false, Day(2000, 1, 1), Day(2019, 12, 31), kovo::testing::ListZone(24, "GMT"));
    const auto calls = [&](ScanPath path) {
        const auto before = platform::EphemerisCalls().positions;
        kovo::testing::RunScan(p, path);
        return platform::EphemerisCalls().positions - before;
    };
    const auto stepwise = calls(ScanPath::Stepwise);
    const auto lazy = calls(ScanPath::Fast);
    EXPECT_LT(lazy * 3, stepwise) << lazy << " against " << stepwise;
}
