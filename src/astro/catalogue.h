#pragma once
// Numbering and names of bodies and aspects, the angle constants and the model's
// start-up. Angles are radians throughout.
#include <array>
#include <string>

namespace kovo::astro {

// These decimal values, not a more precise pi, keep results identical everywhere.
inline constexpr double FullCircle = 6.28318530717959;
inline constexpr double HalfCircle = 3.14159265358979;

inline constexpr int kPlanetCount = 9;  // planet index 1..9; 1 is the Sun (geo) or Earth (helio)
inline constexpr int kPluto = 9;
inline constexpr int kAspectCount = 7;  // aspect index 1..7

// Indexed 0..7; index 0 is unused.
extern std::array<double, 8> AspectAngle;
extern std::array<std::string, 8> AspectName;
extern std::array<std::string, 8> AspectAbbreviation;

// Name or two-letter abbreviation of planet index 1..9; "" for other indexes.
std::string PlanetName(int planet, bool heliocentric, bool abbreviated);

// The program's folder, ending in a separator: Pluto files and help file lie there.
const std::string& DataFolder();

// Runs once at start-up: sets the data folder (the executable's folder unless one is
// given), tells the ephemeris layer about it and fills the aspect tables.
void InitCatalogue(const std::string& dataFolder = {});

}  // namespace kovo::astro
