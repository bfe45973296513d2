#pragma once
// The one place that asks for a body's ecliptic longitude. Instants are Julian Days
// in UT; longitudes are radians in [0, FullCircle), or negative when no position
// exists (-99 before and -100 after the Pluto data; the ephemeris layer's own errors).
#include <array>

namespace kovo::astro {

double PlanetLongitude(int planet, double instant, bool heliocentric);
double HeliocentricLongitude(int planet, double instant);
double GeocentricLongitude(int planet, double instant);

// The calendar year that contains the instant.
int CalendarYearOf(double instant);

// x brought into [0, FullCircle) by repeated addition or subtraction. A value that is
// not finite, or so large that this would take more than a few thousand turns, gives -1.
double NormalizeAngle(double x);

// Whether the planet moves backwards in geocentric longitude over the next 30 minutes;
// never for the Sun and never across 0°.
bool IsRetrograde(int planet, double instant);
bool IsRetrogradeAt(int planet, double x, double instant);

// Heliocentric longitudes of planets 1..9 at three consecutive steps: [planet][offset + 1].
using PositionTableType = std::array<std::array<double, 3>, 10>;
extern PositionTableType PositionTable;

// restart: fill all three columns at instant - step, instant, instant + step;
// otherwise shift one column and ask only for instant + step.
void FillPositionTable(double instant, double step, bool restart);

}  // namespace kovo::astro
