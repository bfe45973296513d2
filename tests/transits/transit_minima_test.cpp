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

double Deviation(const TransitRunParams& p, int aspect, double instant) {
    std::int16_t direction = 0;
    return std::fabs(astro::AngularSeparation(astro::PlanetLongitude(p.firstPlanet, instant, p.heliocentric),
                                              astro::PlanetLongitude(p.secondPlanet, instant, p.heliocentric),
                                              direction) -
                     astro::AspectAngle[static_cast<std::size_t>(aspect)]);
}

// The walk as first written: one minute at a time from 1.5 steps before t.
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
    return best >= kExactDeviation ? std::string() : FormatExactMinimum(uBest + zone, p);
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
                EXPECT_EQ(FindExactMinimum(t, p, aspect, step, {d0, d1, d2}), PlainWalk(t, p, aspect, step))
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
