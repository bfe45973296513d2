#pragma once
// Whether the rows of a positions table have data: Pluto's files cover fewer years than
// the ephemeris, and a row outside them would print the "no data" sentinel as a
// longitude.
#include <string>

namespace kovo::report {

// "" when the body has positions at both instants (Julian Days UT of the table's first
// and last rows), else the refusal: "Start date is too early for Pluto: its geocentric
// positions cover the years 1600 to 2099 (UT)." or the same with "End date is too late".
// Needs the Pluto files loaded when the body is Pluto.
std::string PositionsCoverageRefusal(int planet, bool heliocentric, double firstInstant, double lastInstant);

}  // namespace kovo::report
