// The bodies' motion bounds against the ephemeris, at both ends of the span they claim
// and in its middle: the exact-minute finder and the lazy scan rule out instants by them.
#include "astro/motion_bounds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "astro/catalogue.h"
#include "astro/positions.h"
#include "astro/separation_longitudes.h"
#include "test_support.h"

using namespace kovo;
using kovo::testing::Day;

namespace {

struct Years {
    int from, to;
};
constexpr Years kBlocks[] = {{1600, 1614}, {1990, 2004}, {2185, 2199}};

double Turn(double d) {
    return d > astro::HalfCircle ? d - astro::FullCircle : d < -astro::HalfCircle ? d + astro::FullCircle : d;
}

}  // namespace

TEST(MotionBounds, SpeedBoundsExceedTheFastestDailyMotion) {
    kovo::testing::InitModelOnce();
    for (const bool helio : {false, true})
        for (int planet = 1; planet <= astro::kPluto; ++planet) {
            double fastest = 0;
            for (const Years& block : kBlocks) {
                double before = astro::PlanetLongitude(planet, Day(block.from, 1, 1), helio);
                for (std::int32_t day = Day(block.from, 1, 2); day <= Day(block.to, 12, 31); ++day) {
                    const double now = astro::PlanetLongitude(planet, day, helio);
                    if (now >= 0 && before >= 0) fastest = std::max(fastest, std::fabs(Turn(now - before)));
                    before = now;
                }
            }
            EXPECT_GT(fastest, 0) << planet;
            EXPECT_GT(astro::MaxDailyMotion(planet, helio), 1.05 * fastest) << planet << (helio ? " helio" : " geo");
        }
    EXPECT_EQ(astro::MaxDailyMotion(0, false), 0.0);
    EXPECT_EQ(astro::MaxDailyMotion(astro::kMoon, true), 0.0);
}

// In the frame separations are taken in, Mercury's stations included: each bound must
// exceed the largest second difference of 6-hourly longitudes.
TEST(MotionBounds, AccelerationBoundsExceedTheLargestChangeOfMotion) {
    kovo::testing::InitModelOnce();
    const double h = 0.25;
    for (const bool helio : {false, true})
        for (int planet = 1; planet < astro::kPluto; ++planet) {
            const auto at = [&](double t) {
                return astro::SeparationLongitude(planet, astro::SeparationInstant(t, helio),
                                                  astro::SeparationFrame::MeanOfDate);
            };
            double largest = 0;
            for (const Years& block : kBlocks) {
                const double start = Day(block.to - 4, 1, 1);
                double a = at(start), b = at(start + h);
                for (double t = start + 2 * h; t <= Day(block.to, 12, 31); t += h) {
                    const double c = at(t);
                    largest = std::max(largest, std::fabs(Turn(c - b) - Turn(b - a)) / (h * h));
                    a = b;
                    b = c;
                }
            }
            EXPECT_GT(astro::MaxDailyAcceleration(planet, helio), 1.2 * largest) << planet << (helio ? " helio" : " geo");
        }
    EXPECT_TRUE(std::isinf(astro::MaxDailyAcceleration(astro::kPluto, false)));
}

// The span ends where positions end: geocentric Pluto's tables stop a century earlier.
TEST(MotionBounds, SpanEndsWhereAPlanetsPositionsEnd) {
    kovo::testing::InitModelOnce();
    for (const bool helio : {false, true}) {
        const double last = astro::MotionBoundsLastInstant(astro::kPluto, helio);
        EXPECT_GE(astro::PlanetLongitude(astro::kPluto, last, helio), 0) << helio;
        EXPECT_LT(astro::PlanetLongitude(astro::kPluto, last + 1.0, helio), 0) << helio;
        EXPECT_GE(astro::PlanetLongitude(astro::kPluto, astro::kMotionBoundsFirstInstant, helio), 0) << helio;
    }
    EXPECT_LT(astro::MotionBoundsLastInstant(astro::kPluto, false), astro::MotionBoundsLastInstant(4, false));
    astro::ScaleMotionBoundsForTesting(0.5);
    const double halved = astro::MaxDailyMotion(4, false);
    astro::ScaleMotionBoundsForTesting(1.0);
    EXPECT_DOUBLE_EQ(2 * halved, astro::MaxDailyMotion(4, false));
}
