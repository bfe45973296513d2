// The exact-minimum search against the plain minute-by-minute walk it shortens.
#include <gtest/gtest.h>

#include <cmath>

#include "astro/geometry.h"
#include "astro/positions.h"
#include "test_support.h"
#include "transits/transit_minima.h"

using namespace kovo;
using namespace kovo::transits;

namespace {

std::string Clock(double local) {
    const ExactClock c = ExactClockAt(local);
    return std::to_string(c.day) + " " + std::to_string(c.hour) + ":" + std::to_string(c.minute);
}

double Deviation(const TransitRunParams& p, int aspect, double instant) {
    std::int16_t direction = 0;
    return std::fabs(astro::AngularSeparation(astro::PlanetLongitude(p.firstPlanet, instant, p.heliocentric),
                                              astro::PlanetLongitude(p.secondPlanet, instant, p.heliocentric),
                                              direction) -
                     astro::AspectAngle[static_cast<std::size_t>(aspect)]);
}

// The walk as first written: one minute at a time from 1.5 steps before t; the minute's
// local clock reading, or "" when not exact.
std::string PlainWalk(double t, const TransitRunParams& p, int aspect, double step) {
    const double zone = p.TimezoneMinutes() / 1440.0;
    const double uEnd = t + 1.5 * step - zone;
    double best = 10.0, uBest = 0;
    for (long k = 0;; ++k) {
        const double u = t - 1.5 * step - zone + k / 1440.0;
        const double d = Deviation(p, aspect, u);
        if (d < best) {
            best = d;
            uBest = u;
        }
        if (d > best || u >= uEnd) break;
    }
    return best >= kExactDeviation ? std::string() : Clock(uBest + zone);
}

std::string Found(double t, const TransitRunParams& p, int aspect, double step, const std::array<double, 3>& d) {
    const auto exact = FindExactMinimum(t, p, aspect, step, d);
    return exact ? Clock(exact->instantUt + p.TimezoneMinutes() / 1440.0) : std::string();
}

void CompareOverPeriod(int first, int second, bool helio, double from, double to) {
    TransitRunParams p;
    p.firstPlanet = first;
    p.secondPlanet = second;
    p.heliocentric = helio;
    p.timezonePosition = 14;
    p.timezoneText = "GMT-5:00";
    const double step = 0.125;
    const double inner = 2.0 / 360 * astro::FullCircle;
    int compared = 0;
    for (int aspect = 1; aspect <= 7; ++aspect) {
        const double zone = p.TimezoneMinutes() / 1440.0;
        double d0 = Deviation(p, aspect, from - step - zone), d1 = Deviation(p, aspect, from - zone);
        for (double t = from; t < to; t += step) {
            const double d2 = Deviation(p, aspect, t + step - zone);
            if (d1 < inner && d2 < inner && d1 < d0 && d1 < d2) {
                EXPECT_EQ(Found(t, p, aspect, step, {d0, d1, d2}), PlainWalk(t, p, aspect, step))
                    << "aspect " << aspect << " at " << t;
                ++compared;
            }
            d0 = d1;
            d1 = d2;
        }
    }
    EXPECT_GT(compared, 10);
}

}  // namespace

TEST(ExactMinimumSearch, FindsTheMinuteThePlainWalkFinds) {
    kovo::testing::InitModelOnce();
    CompareOverPeriod(2, 3, false, 2460676.5, 2460676.5 + 3 * 365);  // Mercury and Venus, 2025-2027
    CompareOverPeriod(1, 2, true, 2460676.5, 2460676.5 + 365);       // Earth and Mercury, heliocentric
}

// An instant a few milliseconds before local midnight belongs to the next day at 00:00.
TEST(ExactClock, RoundsToTheWholeSecondFirstThenHalfMinutesUp) {
    const double midnight = kovo::testing::Day(2011, 3, 15) - 0.5;
    const std::string day = std::to_string(kovo::testing::Day(2011, 3, 15));
    const std::string before = std::to_string(kovo::testing::Day(2011, 3, 14));
    EXPECT_EQ(Clock(midnight - 0.004 / 86400), day + " 0:0");
    EXPECT_EQ(Clock(midnight - 29.0 / 86400), before + " 23:59");
    EXPECT_EQ(Clock(midnight + 89.6 / 86400), day + " 0:2");
    EXPECT_EQ(Clock(midnight + (12 * 3600 + 29.4) / 86400), day + " 12:0");
    EXPECT_EQ(Clock(midnight + (12 * 3600 + 30.0) / 86400), day + " 12:1");
    // 23:59:45 rounds up only as far as 23:59.
    EXPECT_EQ(Clock(midnight + (86400 - 15.0) / 86400), day + " 23:59");
}
