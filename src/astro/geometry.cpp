#include "astro/geometry.h"

#include <cmath>
#include <cstddef>

#include "astro/catalogue.h"
#include "astro/positions.h"
#include "util/rounding.h"

namespace kovo::astro {

namespace {

// Longitudes are compared to the microradian: sums that differ only by floating noise
// must still count as equal.
double Round6(double x) { return util::RoundDecimalsHalfEven(x, 6); }

bool HasPositions(const PositionTable& table, int planet1, int planet2, int day) {
    return table.Longitude(planet1, day) >= 0 && table.Longitude(planet2, day) >= 0;
}

// Deviation from the aspect on that day, or a negative value when a position is missing.
double DeviationOnDay(const PositionTable& table, int planet1, int planet2, int aspect, int day) {
    const double a = table.Longitude(planet1, day);
    const double b = table.Longitude(planet2, day);
    if (a < 0 || b < 0) return -1.0;
    std::int16_t direction = 0;
    return std::fabs(AngularSeparation(a, b, direction) - AspectAngle[static_cast<std::size_t>(aspect)]);
}

// Today's and tomorrow's deviations, when today is within the orb (equality included)
// and both days have positions.
bool TodayAndTomorrow(const PositionTable& table, int planet1, int planet2, int aspect, double orb, double& dev0,
                      double& dev1) {
    dev0 = DeviationOnDay(table, planet1, planet2, aspect, 0);
    if (dev0 < 0 || dev0 > orb) return false;
    dev1 = DeviationOnDay(table, planet1, planet2, aspect, 1);
    return dev1 >= 0;
}

}  // namespace

double AngularSeparation(double first, double second, std::int16_t& direction) {
    double d1 = first - second;
    if (d1 < 0) d1 += FullCircle;
    double d2 = second - first;
    if (d2 < 0) d2 += FullCircle;
    const double sep = d1 > d2 ? d2 : d1;
    if (Round6(NormalizeAngle(sep + first)) == Round6(second)) {
        direction = -1;
        return sep;
    }
    if (Round6(NormalizeAngle(sep + second)) == Round6(first)) direction = 1;
    return sep;
}

bool InOrbOnDay(const PositionTable& table, int planet1, int planet2, int aspect, double orb, int day) {
    const double deviation = DeviationOnDay(table, planet1, planet2, aspect, day);
    return deviation >= 0 && deviation < orb;
}

// A day without a position is no evidence of an aspect beginning or ending there.
bool AspectBeginsToday(const PositionTable& table, int planet1, int planet2, int aspect, double orb) {
    return HasPositions(table, planet1, planet2, -1) && !InOrbOnDay(table, planet1, planet2, aspect, orb, -1) &&
           InOrbOnDay(table, planet1, planet2, aspect, orb, 0);
}

bool AspectEndedToday(const PositionTable& table, int planet1, int planet2, int aspect, double orb) {
    return InOrbOnDay(table, planet1, planet2, aspect, orb, -1) && HasPositions(table, planet1, planet2, 0) &&
           !InOrbOnDay(table, planet1, planet2, aspect, orb, 0);
}

bool InOrbApplying(const PositionTable& table, int planet1, int planet2, int aspect, double orb) {
    double dev0 = 0, dev1 = 0;
    return TodayAndTomorrow(table, planet1, planet2, aspect, orb, dev0, dev1) && dev1 < dev0;
}

bool InOrbSeparating(const PositionTable& table, int planet1, int planet2, int aspect, double orb) {
    double dev0 = 0, dev1 = 0;
    return TodayAndTomorrow(table, planet1, planet2, aspect, orb, dev0, dev1) && dev1 > dev0;
}

std::string FormatDegreesMinutes(double angle) {
    if (!(angle >= 0) || angle > FullCircle) return {};
    const double deg = angle / FullCircle * 360.0;
    // The small guard lets a value a hair below a whole degree count as that degree.
    auto d = static_cast<std::int16_t>(std::floor(deg + 0.00001));
    auto m = static_cast<int>(util::RoundHalfEven((deg - d) * 60.0));
    if (d >= 360) {
        // Only the last hundred-thousandth of the circle (or the full circle) gets here.
        d = 359;
        m = 59;
    } else if (m == 60) {
        if (d == 359) {
            m = 59;
        } else {
            m = 0;
            ++d;
        }
    }
    return std::to_string(d) + "\xC2\xB0" + std::to_string(m) + "'";
}

}  // namespace kovo::astro
