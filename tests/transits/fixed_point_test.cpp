// Transits to a fixed point of the zodiac: the moving body's longitude of date against a
// constant, found by the same scan and minute search as pairs of bodies.
#include <gtest/gtest.h>

#include <cmath>

#include "astro/catalogue.h"
#include "astro/positions.h"
#include "fake_run_host.h"
#include "test_support.h"
#include "transits/transit_runs.h"

using namespace kovo;
using namespace kovo::transits;
using kovo::testing::Day;

namespace {

std::vector<double> ExactInstants(const TransitResult& result, int aspect) {
    std::vector<double> instants;
    for (const TransitPeriod& period : result.periods)
        for (const TransitPass& pass : period.passes)
            if (period.aspect == aspect && pass.minimum && pass.minimum->exact) instants.push_back(pass.minimum->instantUt);
    return instants;
}

TransitResult ToPoint(astro::Body body, bool helio, double degrees, std::int32_t from, std::int32_t to) {
    kovo::testing::InitModelOnce();
    TransitRequest request;
    request.first = body;
    request.fixedSecond = FixedPoint{.degrees = degrees, .name = "Test point"};
    request.heliocentric = helio;
    request.firstDay = from;
    request.lastDay = to;
    request.orbDegrees = {10, 5, 2};
    for (std::size_t a = 1; a <= 7; ++a) request.aspects[a] = true;
    request.outputLimit = std::nullopt;
    kovo::testing::FakeRunHost host;
    TransitResult result = RunTwoPlanet(request, host);
    EXPECT_EQ(result.outcome, util::RunOutcome::Completed) << host.output;
    EXPECT_NE(host.output.find(" and Test point"), std::string::npos);
    return result;
}

}  // namespace

// The point is the body's own longitude at a chosen minute: the conjunction must be exact
// at that minute (the only one in range but for a retrograde loop's other crossings).
TEST(FixedPointTransits, APointAtABodysPlaceGivesAConjunctionExactAtThatMinute) {
    struct Case {
        astro::Body body;
        bool helio;
        double instantUt;
    };
    const double minute = 1.0 / 1440.0;
    for (const Case& c : {Case{astro::Body::Mars, false, Day(2024, 6, 15) - 0.5 + 754 * minute},
                          Case{astro::Body::Sun, false, Day(2010, 3, 1) - 0.5 + 1201 * minute},
                          Case{astro::Body::Jupiter, true, Day(2031, 9, 9) - 0.5 + 333 * minute},
                          Case{astro::Body::Venus, true, Day(1890, 2, 2) - 0.5 + 7 * minute}}) {
        const int planet = astro::PlanetIndex(c.body);
        const double point = kovo::testing::Degrees(astro::LongitudeOfDate(planet, c.instantUt, c.helio));
        const auto day = static_cast<std::int32_t>(std::floor(c.instantUt + 0.5));
        const TransitResult result = ToPoint(c.body, c.helio, point, day - 20, day + 20);
        const auto exact = ExactInstants(result, 1);
        ASSERT_FALSE(exact.empty()) << planet;
        double nearest = 1e9;
        for (const double t : exact) nearest = std::min(nearest, std::fabs(t - c.instantUt));
        // Slow Jupiter moves 0.0025" a minute heliocentrically: the minute is still told apart.
        EXPECT_LT(nearest, 0.5 * minute) << planet << (c.helio ? " helio" : " geo");
    }
}

// Every exact minute found, for every aspect, is a minimum of the deviation among its
// neighbouring minutes, and an hourly walk of the longitude, independent of the scan,
// crosses the aspect's angles as often as the scan found exact aspects (Mercury: its
// retrograde loops give several passes of one aspect).
TEST(FixedPointTransits, ExactMinutesAgreeWithAnIndependentWalkOfTheLongitude) {
    const double point = 45.5;
    const std::int32_t from = Day(2023, 1, 1);
    const std::int32_t to = Day(2024, 12, 31);
    const TransitResult result = ToPoint(astro::Body::Mercury, false, point, from, to);
    const double minute = 1.0 / 1440.0;
    const auto longitude = [](double t) { return kovo::testing::Degrees(astro::LongitudeOfDate(2, t, false)); };
    // The signed distance from a target longitude, in (-180, 180].
    const auto from_target = [](double lon, double target) {
        return std::remainder(lon - target, 360.0);
    };
    for (int aspect = 1; aspect <= 7; ++aspect) {
        const double angle = kovo::testing::Degrees(astro::AspectAngle[static_cast<std::size_t>(aspect)]);
        const auto deviation = [&](double t) {
            double d = std::fmod(std::fabs(longitude(t) - point), 360.0);
            d = std::min(d, 360.0 - d);
            return std::fabs(d - angle);
        };
        const auto exact = ExactInstants(result, aspect);
        for (const double t : exact)
            for (int k = -10; k <= 10; ++k) {
                if (k != 0) {
                    EXPECT_LE(deviation(t), deviation(t + k * minute)) << aspect << " at " << t;
                }
            }
        std::vector<double> targets{point + angle};
        if (angle != 0 && angle != 180) targets.push_back(point - angle);
        int crossings = 0;
        for (const double target : targets) {
            double before = from_target(longitude(from - 0.5), target);
            for (double t = from - 0.5 + 1.0 / 24; t <= to + 0.5; t += 1.0 / 24) {
                const double now = from_target(longitude(t), target);
                if (std::fabs(now) < 10 && (before < 0) != (now < 0)) ++crossings;
                before = now;
            }
        }
        EXPECT_EQ(static_cast<int>(exact.size()), crossings) << "aspect " << aspect;
    }
}
