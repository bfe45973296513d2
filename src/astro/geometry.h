#pragma once
// Aspect geometry: the separation of two longitudes and which body leads, the orb tests
// that the investment simulation applies to its PositionTable, and the degree-and-minute
// text of the reports. Angles are radians; a negative longitude is a "no position"
// sentinel and makes every orb test false.
#include <cstdint>
#include <string>

#include "astro/positions.h"

namespace kovo::astro {

// Shorter-way separation of two longitudes, in [0, FullCircle / 2]. direction becomes -1
// when second stands the separation ahead of first (towards increasing longitude), +1
// when first stands ahead of second, and is left as it was when neither holds (callers
// preset it to 0). A separation of 0 or half a circle gives -1.
double AngularSeparation(double first, double second, std::int16_t& direction);

// Orb tests over a PositionTable. planet1, planet2: planet index 1..9; aspect 0..7;
// orb in radians; day -1 (yesterday), 0 (today) or +1 (tomorrow). Indexes outside
// these ranges are the caller's error.

// |separation - AspectAngle[aspect]| < orb on that day (strictly less).
bool InOrbOnDay(const PositionTable& table, int planet1, int planet2, int aspect, double orb, int day);
// Outside the orb yesterday and inside today; false when either day lacks a position.
bool AspectBeginsToday(const PositionTable& table, int planet1, int planet2, int aspect, double orb);
// Inside the orb yesterday and outside today; false when either day lacks a position.
bool AspectEndedToday(const PositionTable& table, int planet1, int planet2, int aspect, double orb);
// Within the orb today (a deviation equal to the orb counts) and closer tomorrow.
bool InOrbApplying(const PositionTable& table, int planet1, int planet2, int aspect, double orb);
// Within the orb today (a deviation equal to the orb counts) and further off tomorrow.
bool InOrbSeparating(const PositionTable& table, int planet1, int planet2, int aspect, double orb);

// An angle in radians as whole degrees, "°", rounded minutes, "'" (5°7', 180°0').
// Empty for negative, NaN or beyond FullCircle; never more than 359°59'.
std::string FormatDegreesMinutes(double angle);

}  // namespace kovo::astro
