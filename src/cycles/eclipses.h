#pragma once
// Solar and lunar eclipses over a range, from the ephemeris library's global searches:
// the kind, the instant of greatest eclipse and where in the zodiac it falls.
#include <vector>

#include "platform/ephemeris.h"

namespace kovo::cycles {

struct Eclipse {
    bool solar = true;
    platform::EclipseType type = platform::EclipseType::Total;
    double greatestUt = 0;  // the nearest whole minute, Julian Day UT
    // Tropical degrees: the Sun's longitude for a solar eclipse (the Moon's is the same
    // within a degree), the Moon's for a lunar one (opposite the Sun).
    double longitude = 0;
};

// "solar" or "lunar".
const char* EclipseKindName(const Eclipse& eclipse);
// "total", "annular", "hybrid", "partial" or "penumbral".
const char* EclipseTypeName(platform::EclipseType type);

// Every eclipse whose greatest instant falls in [fromUt, toUt), solar and lunar merged in
// time order. `missing` is set when the library failed inside the range (the search then
// stops there, so a list with `missing` set may lack later eclipses).
std::vector<Eclipse> FindEclipses(double fromUt, double toUt, bool* missing = nullptr);

}  // namespace kovo::cycles
