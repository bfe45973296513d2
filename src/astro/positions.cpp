#include "astro/positions.h"

#include <cmath>

#include "astro/catalogue.h"
#include "astro/pluto.h"
#include "platform/calendar_lib.h"
#include "platform/ephemeris.h"

namespace kovo::astro {

namespace {

// Beyond this many turns the input is garbage, not an angle.
constexpr double kMaxTurns = 4096.0;

}  // namespace

int EphemerisBodyCode(int planet) {
    switch (planet) {
        case 1: return 3;
        case 2: return 1;
        case 3: return 2;
        default: return planet;
    }
}

int CalendarYearOf(double instant) {
    std::int32_t year = 0, month = 0, day = 0, other = 0;
    platform::juldat(instant, "A", &year, &month, &day, &other);
    return year;
}

double HeliocentricLongitude(int planet, double instant) {
    const int code = EphemerisBodyCode(planet);
    const auto year = static_cast<std::int16_t>(CalendarYearOf(instant));
    if (planet == kPluto) return PlutoHeliocentric(instant);
    double rv = 0;
    return platform::hc_j2000_long_rv_planet(code, instant, year, &rv);
}

double GeocentricLongitude(int planet, double instant) {
    const int code = EphemerisBodyCode(planet);
    const auto year = static_cast<std::int16_t>(CalendarYearOf(instant));
    if (planet == kPluto) return PlutoGeocentric(instant);
    double rv = 0;
    return platform::gc_app_long_rv_planet(code, instant, year, &rv);
}

double PlanetLongitude(int planet, double instant, bool heliocentric) {
    return heliocentric ? HeliocentricLongitude(planet, instant) : GeocentricLongitude(planet, instant);
}

double LongitudeOfDate(int planet, double instant, bool heliocentric) {
    if (!heliocentric) return GeocentricLongitude(planet, instant);
    const platform::ZodiacPosition p =
        platform::ZodiacLongitude(EphemerisBodyCode(planet), instant, true, platform::Zodiac::Tropical);
    return p.longitude < 0 ? -1.0 : p.longitude / 360.0 * FullCircle;
}

double NormalizeAngle(double x) {
    if (!std::isfinite(x) || std::fabs(x) > kMaxTurns * FullCircle) return -1.0;
    while (x < 0) x += FullCircle;
    while (x >= FullCircle) x -= FullCircle;
    return x;
}

bool IsRetrogradeAt(int planet, double x, double instant) {
    if (planet == 1) return false;
    if (x < 0) return false;
    const double y = GeocentricLongitude(planet, instant + 1.0 / 48.0);
    if (y < 0) return false;
    const double d = y - x;
    if (std::fabs(d) >= HalfCircle) return false;
    return d < 0;
}

bool IsRetrograde(int planet, double instant) {
    if (planet == 1) return false;
    return IsRetrogradeAt(planet, GeocentricLongitude(planet, instant), instant);
}

void FillPositionTable(PositionTable& table, double instant, double step, bool restart) {
    for (int planet = 1; planet <= kPlanetCount; ++planet) {
        auto& row = table.longitudes[static_cast<std::size_t>(planet)];
        if (restart) {
            for (int j = -1; j <= 1; ++j) row[static_cast<std::size_t>(j + 1)] = PlanetLongitude(planet, instant + j * step, true);
        } else {
            row[0] = row[1];
            row[1] = row[2];
            row[2] = PlanetLongitude(planet, instant + step, true);
        }
    }
}

}  // namespace kovo::astro
