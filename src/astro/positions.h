#pragma once
// The one place that asks for a body's ecliptic longitude. Instants are Julian Days
// in UT; longitudes are radians in [0, FullCircle), or negative when no position
// exists (-99 before and -100 after the Pluto data; the ephemeris layer's own errors).
#include <array>
#include <cstddef>

namespace kovo::astro {

double PlanetLongitude(int planet, double instant, bool heliocentric);
double HeliocentricLongitude(int planet, double instant);
double GeocentricLongitude(int planet, double instant);

// The longitude of date that a fixed point of the tropical zodiac is compared with:
// geocentric apparent (PlanetLongitude's own), or heliocentric of the equinox of date
// rather than J2000. Radians, or negative when there is no position.
double LongitudeOfDate(int planet, double instant, bool heliocentric);

// The ephemeris layer's code of planet 1..8 (1 is the Sun or the Earth, 2 Mercury, 3 Venus).
int EphemerisBodyCode(int planet);

// The calendar year that contains the instant.
int CalendarYearOf(double instant);

// x brought into [0, FullCircle) by repeated addition or subtraction. A value that is
// not finite, or so large that this would take more than a few thousand turns, gives -1.
double NormalizeAngle(double x);

// Whether the planet moves backwards in geocentric longitude over the next 30 minutes;
// never for the Sun and never across 0°.
bool IsRetrograde(int planet, double instant);
bool IsRetrogradeAt(int planet, double x, double instant);

// Heliocentric longitudes of planets 1..9 at three consecutive steps, for the orb tests
// of geometry.h. Each walk owns its table, so two runs never share positions.
struct PositionTable {
    // [planet][day + 1], radians or a negative "no position"; day -1 is the step before
    // the current instant, 0 the instant itself, +1 the step after. Row 0 is unused.
    std::array<std::array<double, 3>, 10> longitudes{};

    double Longitude(int planet, int day) const {
        return longitudes[static_cast<std::size_t>(planet)][static_cast<std::size_t>(day + 1)];
    }
};

// restart: fill all three columns at instant - step, instant, instant + step;
// otherwise shift one column and ask only for instant + step.
void FillPositionTable(PositionTable& table, double instant, double step, bool restart);

}  // namespace kovo::astro
