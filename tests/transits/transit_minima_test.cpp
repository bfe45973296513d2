// The exact-minute finder against walks that evaluate every minute, and the speed
// bounds it relies on against the ephemeris.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "astro/geometry.h"
#include "astro/positions.h"
#include "astro/separation_longitudes.h"
#include "test_support.h"
#include "transits/transit_minima.h"
#include "transits/transit_scan.h"

using namespace kovo;
using namespace kovo::transits;
using kovo::testing::Day;

namespace {

double Deviation(const TransitRunParams& p, int aspect, double instant) {
    std::int16_t direction = 0;
    return std::fabs(astro::AngularSeparation(astro::PlanetLongitude(p.firstPlanet, instant, p.heliocentric),
                                              astro::PlanetLongitude(p.secondPlanet, instant, p.heliocentric),
                                              direction) -
                     astro::AspectAngle[static_cast<std::size_t>(aspect)]);
}

TransitRunParams Pair(int first, int second, bool helio, int zonePosition = 24) {
    kovo::testing::InitModelOnce();
    TransitRunParams p;
    p.firstPlanet = first;
    p.secondPlanet = second;
    p.heliocentric = helio;
    p.zone = kovo::testing::ListZone(zonePosition);
    return p;
}

double WindowStart(double t, const TransitRunParams& p, double step) { return t - 1.5 * step - p.zone.FixedMinutes() / 1440.0; }

// Every minute of the window; the earliest of the smallest.
std::optional<ExactMinute> EveryMinute(double t, const TransitRunParams& p, int aspect, double step) {
    const double u0 = WindowStart(t, p, step);
    const long last = std::lround(3 * step * 1440);
    ExactMinute best{.instantUt = u0, .deviation = 10.0};
    for (long k = 0; k <= last; ++k) {
        const double u = u0 + static_cast<double>(k) / 1440.0;
        const double d = Deviation(p, aspect, u);
        if (d < best.deviation) best = {.instantUt = u, .deviation = d};
    }
    if (best.deviation >= kExactDeviation) return std::nullopt;
    return best;
}

// The walk as first written: from the window's start until the deviation rises.
std::optional<ExactMinute> FirstDip(double t, const TransitRunParams& p, int aspect, double step) {
    const double u0 = WindowStart(t, p, step);
    ExactMinute best{.instantUt = u0, .deviation = 10.0};
    for (long k = 0; k <= std::lround(3 * step * 1440); ++k) {
        const double u = u0 + static_cast<double>(k) / 1440.0;
        const double d = Deviation(p, aspect, u);
        if (d > best.deviation) break;
        best = {.instantUt = u, .deviation = d};
    }
    if (best.deviation >= kExactDeviation) return std::nullopt;
    return best;
}

std::optional<ExactMinute> Find(double t, const TransitRunParams& p, int aspect, double step) {
    const double z = p.zone.FixedMinutes() / 1440.0;
    return FindExactMinimum(t, p, aspect, step,
                            {Deviation(p, aspect, t - step - z), Deviation(p, aspect, t - z), Deviation(p, aspect, t + step - z)});
}

// Local scan instants (on the scan's own grid from `from`) where the deviation has a step
// minimum inside 2°, as the scan asks the finder there.
std::vector<double> StepMinima(const TransitRunParams& p, int aspect, double from, double to) {
    const double step = ScanStep(p.firstPlanet, p.secondPlanet);
    const double z = p.zone.FixedMinutes() / 1440.0;
    const double inner = 2.0 / 360 * astro::FullCircle;
    std::vector<double> found;
    double d0 = Deviation(p, aspect, from - step - z), d1 = Deviation(p, aspect, from - z);
    for (double t = from; t < to; t += step) {
        const double d2 = Deviation(p, aspect, t + step - z);
        if (d1 < inner && d1 < d0 && d1 < d2) found.push_back(t);
        d0 = d1;
        d1 = d2;
    }
    return found;
}

// The oracles take apparent longitudes, as the reference path does; the fast path leaves
// out nutation, which moves both bodies alike: its deviations agree to rounding.
void ExpectSameMinute(const std::optional<ExactMinute>& found, const std::optional<ExactMinute>& oracle,
                      const std::string& where, ScanPath path = ScanPath::Fast) {
    ASSERT_EQ(found.has_value(), oracle.has_value()) << where;
    if (!found) return;
    EXPECT_EQ(found->instantUt, oracle->instantUt) << where;
    if (path == ScanPath::Reference) EXPECT_EQ(found->deviation, oracle->deviation) << where;
    else EXPECT_NEAR(found->deviation, oracle->deviation, 1e-12) << where;
}

TransitRunParams OnPath(TransitRunParams p, ScanPath path) {
    p.scanPath = path;
    return p;
}

}  // namespace

// Fast pairs, Pluto's tables and slow pairs; windows centred on the scan's step minima
// and shifted a step either way, so that the minimum also lies near a window's edge.
TEST(ExactMinuteGuarantee, SameMinuteAsEveryMinuteOfTheWindow) {
    struct Case {
        int first, second, aspect;
        bool helio;
        std::int32_t from;
        double days;
    };
    std::vector<Case> cases = {{2, 3, 1, false, Day(2025, 1, 1), 300}, {1, 2, 1, true, Day(2025, 1, 1), 120},
                               {4, 9, 1, false, Day(2025, 12, 1), 90},  {8, 9, 5, false, Day(1986, 3, 27), 60},
                               {5, 6, 1, false, Day(2020, 11, 1), 80},  {7, 8, 1, false, Day(1993, 1, 1), 365}};
    std::mt19937 random(20240601);
    for (int i = 0; i < 6; ++i) {
        const int first = std::uniform_int_distribution<int>(1, 8)(random);
        const int second = std::uniform_int_distribution<int>(first + 1, 9)(random);
        const int aspect = std::uniform_int_distribution<int>(1, 7)(random);
        const std::int32_t from = Day(std::uniform_int_distribution<int>(1700, 2150)(random), 1, 1);
        cases.push_back({first, second, aspect, i % 2 == 1, from, 3 * 365.0});
    }
    int compared = 0, exact = 0;
    for (const Case& c : cases) {
        const auto p = Pair(c.first, c.second, c.helio, 14 + 2 * (compared % 10));
        const double step = ScanStep(c.first, c.second);
        for (double t : StepMinima(p, c.aspect, c.from, c.from + c.days)) {
            for (const double shift : {0.0, -step, step}) {
                const std::string where = std::to_string(c.first) + "-" + std::to_string(c.second) + " aspect " +
                                          std::to_string(c.aspect) + " at " + std::to_string(t + shift);
                const auto oracle = EveryMinute(t + shift, p, c.aspect, step);
                for (const ScanPath path : {ScanPath::Fast, ScanPath::Reference})
                    ExpectSameMinute(Find(t + shift, OnPath(p, path), c.aspect, step), oracle, where, path);
                ++compared;
                exact += oracle.has_value() ? 1 : 0;
            }
            if (compared > 150) break;
        }
    }
    EXPECT_GT(compared, 40);
    EXPECT_GT(exact, 15);
}

// Where the deviation falls once and rises once, as for fast pairs, the walk as first
// written (stop at the first rise) finds the same minute.
TEST(ExactMinimumSearch, FindsTheMinuteThePlainWalkFinds) {
    int compared = 0;
    auto compare = [&compared](int first, int second, bool helio, std::int32_t from, std::int32_t to) {
        const auto p = Pair(first, second, helio, 14);  // GMT-5:00
        for (int aspect = 1; aspect <= 7; ++aspect)
            for (double t : StepMinima(p, aspect, from, to)) {
                ExpectSameMinute(Find(t, p, aspect, 0.125), FirstDip(t, p, aspect, 0.125), std::to_string(t));
                ++compared;
            }
    };
    compare(2, 3, false, Day(2025, 1, 1), Day(2025, 1, 1) + 3 * 365);  // Mercury and Venus, 2025-2027
    compare(1, 2, true, Day(2025, 1, 1), Day(2025, 1, 1) + 365);       // Earth and Mercury, heliocentric
    EXPECT_GT(compared, 10);
}

// Neptune and Pluto held a sextile within a minute of arc for days in May 1986. The third
// exact pass of the run from 1986-05-10 (moved back to March 27) lies at 08:18 on May 17;
// its window begins on the 16th where the deviation still rises before it falls, and a
// walk that stops at the first rise gives 12:00 on the 16th, some 13" worse.
TEST(ExactMinuteGuarantee, NeptunePlutoSextileOf1986) {
    const auto p = Pair(8, 9, false);
    const double step = ScanStep(8, 9);
    const auto minima = StepMinima(p, 5, Day(1986, 3, 27) - 0.25, Day(1986, 5, 20) + 0.25);
    auto window = std::find_if(minima.begin(), minima.end(), [&](double t) {
        const auto found = Find(t, p, 5, step);
        return found && ExactClockAt(found->instantUt).day == Day(1986, 5, 17);
    });
    ASSERT_NE(window, minima.end());
    const auto found = Find(*window, p, 5, step);
    const ExactClock clock = ExactClockAt(found->instantUt);
    EXPECT_EQ(clock.hour * 60 + clock.minute, 8 * 60 + 18);
    ExpectSameMinute(found, EveryMinute(*window, p, 5, step), "1986-05-17");

    const auto dip = FirstDip(*window, p, 5, step);
    ASSERT_TRUE(dip.has_value());
    const ExactClock dipClock = ExactClockAt(dip->instantUt);
    EXPECT_EQ(dipClock.day, Day(1986, 5, 16));
    EXPECT_EQ(dipClock.hour * 60 + dipClock.minute, 12 * 60);
    EXPECT_NEAR((dip->deviation - found->deviation) / astro::FullCircle * 360 * 3600, 13.5, 1.0);
}

// An instant a few milliseconds before local midnight belongs to the next day at 00:00.
TEST(ExactClock, RoundsToTheWholeSecondFirstThenHalfMinutesUp) {
    const double midnight = Day(2011, 3, 15) - 0.5;
    auto reads = [](double local) {
        const ExactClock c = ExactClockAt(local);
        return std::to_string(c.day) + " " + std::to_string(c.hour) + ":" + std::to_string(c.minute);
    };
    const std::string day = std::to_string(Day(2011, 3, 15));
    const std::string before = std::to_string(Day(2011, 3, 14));
    EXPECT_EQ(reads(midnight - 0.004 / 86400), day + " 0:0");
    EXPECT_EQ(reads(midnight - 29.0 / 86400), before + " 23:59");
    EXPECT_EQ(reads(midnight + 89.6 / 86400), day + " 0:2");
    EXPECT_EQ(reads(midnight + (12 * 3600 + 29.4) / 86400), day + " 12:0");
    EXPECT_EQ(reads(midnight + (12 * 3600 + 30.0) / 86400), day + " 12:1");
    // 23:59:45 rounds up only as far as 23:59.
    EXPECT_EQ(reads(midnight + (86400 - 15.0) / 86400), day + " 23:59");
}
