#include "astro/motion_bounds.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <limits>

#include "astro/catalogue.h"
#include "astro/pluto.h"

namespace kovo::astro {

namespace {

// Degrees per day, indexed by planet 1..10. The real maxima are about: geocentric Sun
// 1.02, Mercury 2.2, Venus 1.26, Mars 0.79, Jupiter 0.25, Saturn 0.13, Uranus 0.07,
// Neptune and Pluto 0.04; heliocentric Earth 1.02, Mercury 6.4, Venus 1.62, Mars 0.67,
// Jupiter 0.10, Saturn 0.04, Uranus 0.013, Neptune and Pluto 0.007. Pluto's tables,
// rounded to the arcminute (geocentric) or arcsecond and drawn straight between days,
// add up to that much per day. The Moon (index 10, geocentric only) moves 11.8-15.4 a day.
constexpr std::array<double, 11> kGeocentricMotion{0, 1.1, 2.5, 1.4, 0.9, 0.3, 0.2, 0.1, 0.1, 0.1, 16.5};
constexpr std::array<double, 11> kHeliocentricMotion{0, 1.1, 7.0, 1.8, 0.8, 0.15, 0.06, 0.03, 0.03, 0.03, 0};

// Degrees per day squared: half as much again as the largest second differences of
// 6-hourly longitudes (mean equinox of date; heliocentric J2000) over 1600-2199, which
// are about: geocentric Sun 0.0007, Mercury 0.199, Venus 0.043, Mars 0.022, Jupiter to
// Neptune 0.040-0.043; heliocentric Earth 0.0007, Mercury 0.162, Venus 0.0008, Mars
// 0.001, Jupiter outwards below 0.00001. The Moon's largest is about 0.52. Pluto (index
// 9) has none: see MaxDailyAcceleration.
constexpr std::array<double, 11> kGeocentricAcceleration{0, 0.001, 0.3, 0.065, 0.035, 0.065, 0.065, 0.065, 0.065, 0, 0.8};
constexpr std::array<double, 11> kHeliocentricAcceleration{0,      0.001,  0.25,   0.0015, 0.0015, 0.0001,
                                                           0.0001, 0.0001, 0.0001, 0,      0};

std::atomic<double> scale{1.0};

double Radians(double degrees) { return degrees / 360.0 * FullCircle; }

}  // namespace

double MotionBoundsLastInstant(int planet, bool heliocentric) {
    // 0h UT of the last day of the Pluto tables.
    return (planet == kPluto && !heliocentric ? kPlutoGeoLastDay : kPlutoHelioLastDay) - 0.5;
}

double MaxDailyMotion(int planet, bool heliocentric) {
    if (planet < 1 || planet > kMoon) return 0;
    const auto& table = heliocentric ? kHeliocentricMotion : kGeocentricMotion;
    return Radians(table[static_cast<std::size_t>(planet)]) * scale.load(std::memory_order_relaxed);
}

double MaxDailyAcceleration(int planet, bool heliocentric) {
    if (planet < 1 || planet == kPluto || planet > kMoon || (heliocentric && planet == kMoon))
        return std::numeric_limits<double>::infinity();
    const auto& table = heliocentric ? kHeliocentricAcceleration : kGeocentricAcceleration;
    return Radians(table[static_cast<std::size_t>(planet)]) * scale.load(std::memory_order_relaxed);
}

void ScaleMotionBoundsForTesting(double factor) { scale.store(factor, std::memory_order_relaxed); }

}  // namespace kovo::astro
