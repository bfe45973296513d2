// Transits of the Moon: every exact aspect with each body against an independent walk of
// the two longitudes, the Sun–Moon aspects against the lunar phases, and the step.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "astro/catalogue.h"
#include "astro/positions.h"
#include "cycles/lunar_phases.h"
#include "fake_run_host.h"
#include "platform/ephemeris.h"
#include "test_support.h"
#include "transits/transit_minima.h"
#include "transits/transit_runs.h"
#include "transits/transit_scan.h"

using namespace kovo;
using namespace kovo::transits;
using kovo::testing::Day;

namespace {

constexpr double kMinute = 1.0 / 1440.0;

TransitResult WithMoon(astro::Body first, std::int32_t from, std::int32_t to) {
    kovo::testing::InitModelOnce();
    TransitRequest request;
    request.first = first;
    request.second = astro::Body::Moon;
    request.firstDay = from;
    request.lastDay = to;
    request.orbDegrees = {10, 5, 2};
    for (std::size_t a = 1; a <= 7; ++a) request.aspects[a] = true;
    request.outputLimit = std::nullopt;
    kovo::testing::FakeRunHost host;
    TransitResult result = RunTwoPlanet(request, host);
    EXPECT_EQ(result.outcome, util::RunOutcome::Completed) << host.output;
    return result;
}

std::vector<double> ExactInstants(const TransitResult& result, int aspect = 0) {
    std::vector<double> instants;
    for (const TransitPeriod& period : result.periods)
        for (const TransitPass& pass : period.passes)
            if ((aspect == 0 || period.aspect == aspect) && pass.minimum && pass.minimum->exact)
                instants.push_back(pass.minimum->instantUt);
    std::sort(instants.begin(), instants.end());
    return instants;
}

// The Moon's lead over the body, degrees [0, 360), from the library's apparent longitudes.
double Lead(int planet, double t) {
    const int code = planet == astro::kPluto ? 9 : astro::EphemerisBodyCode(planet);
    const double body = platform::ZodiacLongitude(code, t, false, platform::Zodiac::Tropical).longitude;
    const double moon = platform::ZodiacLongitude(platform::kMoonCode, t, false, platform::Zodiac::Tropical).longitude;
    return std::fmod(moon - body + 720.0, 360.0);
}

// Every multiple of 30° is an aspect's angle (on one side or the other), and the lead only
// grows: each change of its 30° sector is one exact aspect, found to the second.
std::vector<double> WalkedAspects(int planet, double from, double to) {
    std::vector<double> found;
    const auto sector = [](double lead) { return static_cast<int>(lead / 30.0); };
    double before = Lead(planet, from);
    for (double t = from + 10 * kMinute; t <= to; t += 10 * kMinute) {
        const double now = Lead(planet, t);
        if (sector(now) != sector(before)) {
            const double target = 30.0 * sector(now);
            double a = t - 10 * kMinute;
            double b = t;
            while (b - a > 1.0 / 86400) {
                const double m = 0.5 * (a + b);
                const double d = std::fmod(Lead(planet, m) - target + 540.0, 360.0) - 180.0;
                (d >= 0 ? b : a) = m;
            }
            found.push_back(0.5 * (a + b));
        }
        before = now;
    }
    return found;
}

}  // namespace

// Half a year for each body, in 2020 to 2028; with KOVO_MOON_WALK_FULL set, all of 2020 to
// 2030 for each (about a minute). Pluto's positions come from the program's own tables,
// rounded to the arcminute, which the Moon crosses in two minutes.
TEST(MoonTransits, NoExactAspectIsMissedAgainstATenMinuteWalk) {
    const bool full = std::getenv("KOVO_MOON_WALK_FULL") != nullptr;
    for (int planet = 1; planet <= astro::kPluto; ++planet) {
        const int year = 2019 + planet;
        const std::int32_t first = full ? Day(2020, 1, 1) : Day(year, 1, 1);
        const std::int32_t last = full ? Day(2030, 12, 31) : Day(year, 6, 30);
        const TransitResult result = WithMoon(astro::BodyOfIndex(planet), first, last);
        // Inside the range by a day, so that no cut period at either end counts.
        const double from = first + 0.5;
        const double to = last - 0.5;
        std::vector<double> scanned;
        for (const double t : ExactInstants(result))
            if (t >= from && t < to) scanned.push_back(t);
        const std::vector<double> walked = WalkedAspects(planet, from, to);
        ASSERT_EQ(scanned.size(), walked.size()) << planet;
        EXPECT_GT(walked.size(), 70u) << planet;  // a dozen each time the Moon laps the body
        const double tolerance = (planet == astro::kPluto ? 3.0 : 1.0) * kMinute;
        double worst = 0;
        for (std::size_t i = 0; i < walked.size(); ++i) {
            EXPECT_NEAR(scanned[i], walked[i], tolerance) << planet << " " << i;
            worst = std::max(worst, std::fabs(scanned[i] - walked[i]));
        }
        if (full)
            std::printf("planet %d: %zu exact aspects, scan and walk agree; largest difference %.1f s\n", planet,
                        walked.size(), worst * 86400);
    }
}

// The conjunctions are the new moons, the oppositions the full moons and the squares the
// quarters: two computations, one by the transit scan, one by the phase search.
TEST(MoonTransits, TheSunMoonAspectsAreTheLunarPhases) {
    const TransitResult result = WithMoon(astro::Body::Sun, Day(2024, 1, 1), Day(2024, 12, 31));
    const auto phases = cycles::FindLunarPhases(Day(2024, 1, 1) - 0.5, Day(2024, 12, 31) + 0.5);
    const auto of = [&](cycles::PhaseKind a, cycles::PhaseKind b) {
        std::vector<double> instants;
        for (const auto& p : phases)
            if (p.kind == a || p.kind == b) instants.push_back(p.instantUt);
        return instants;
    };
    const std::pair<int, std::vector<double>> expected[] = {
        {1, of(cycles::PhaseKind::New, cycles::PhaseKind::New)},
        {2, of(cycles::PhaseKind::Full, cycles::PhaseKind::Full)},
        {3, of(cycles::PhaseKind::FirstQuarter, cycles::PhaseKind::LastQuarter)}};
    for (const auto& [aspect, instants] : expected) {
        const std::vector<double> scanned = ExactInstants(result, aspect);
        ASSERT_EQ(scanned.size(), instants.size()) << aspect;
        for (std::size_t i = 0; i < scanned.size(); ++i) EXPECT_NEAR(scanned[i], instants[i], kMinute) << aspect << " " << i;
    }
}

TEST(MoonTransits, TheStepKeepsTheFastestPairWithinTheInnerOrb) {
    EXPECT_EQ(MoonScanStep(1, 2), 1.0 / 16);
    EXPECT_EQ(MoonScanStep(2, 2), 1.0 / 16);  // Mercury and the Moon: 19° a day at the most
    EXPECT_EQ(MoonScanStep(2, 1), 1.0 / 32);
    for (int planet = 1; planet <= astro::kPluto; ++planet)
        for (int inner = 1; inner <= 13; ++inner)
            EXPECT_LE(MoonScanStep(planet, inner) * (MaxDailyMotion(planet, false) + MaxDailyMotion(astro::kMoon, false)),
                      inner * astro::FullCircle / 360.0);
}
