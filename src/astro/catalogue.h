#pragma once
// Numbering and names of bodies and aspects, and the angle constants: all fixed at
// compile time or before main, so nothing needs setting up before use. Angles are
// radians throughout.
#include <array>
#include <string>

namespace kovo::astro {

// These decimal values, not a more precise pi, keep results identical everywhere.
inline constexpr double FullCircle = 6.28318530717959;
inline constexpr double HalfCircle = 3.14159265358979;

inline constexpr int kPlanetCount = 9;  // planet index 1..9; 1 is the Sun (geo) or Earth (helio)
inline constexpr int kPluto = 9;
// The Moon's planet index: beyond the catalogue's planets, so that it is always the second
// body of a pair; geocentric only. PlanetName does not know it: TransitBodyName does.
inline constexpr int kMoon = 10;
inline constexpr int kAspectCount = 7;  // aspect index 1..7

// Indexed 0..7; index 0 is unused.
inline constexpr std::array<double, 8> AspectAngle{0.0,
                                                   0.0,
                                                   FullCircle / 2,
                                                   FullCircle / 4,
                                                   120.0 / 360.0 * FullCircle,
                                                   60.0 / 360.0 * FullCircle,
                                                   30.0 / 360.0 * FullCircle,
                                                   150.0 / 360.0 * FullCircle};
inline const std::array<std::string, 8> AspectName{"",        "Conjunction", "Opposition",  "Square",
                                                   "Trine",   "Sextile",     "Semisextile", "Quincunx"};
inline const std::array<std::string, 8> AspectAbbreviation{"", "Con", "Opp", "Sqr", "Tri", "Sxt", "Ssx", "Qui"};

// Name or two-letter abbreviation of planet index 1..9; "" for other indexes.
std::string PlanetName(int planet, bool heliocentric, bool abbreviated);
// PlanetName, and "Moon" for kMoon: the names of a transit run's bodies.
std::string TransitBodyName(int planet, bool heliocentric);

// The program's data folder, ending in a separator: Pluto files and help file lie
// there, and the ephemeris layer looks there first for its data files. It is the
// executable's folder in the build tree and <prefix>/share/kovo when installed.
const std::string& DataFolder();

}  // namespace kovo::astro
