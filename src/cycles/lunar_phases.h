#pragma once
// The Moon's four principal phases: the instants at which the geocentric apparent
// elongation of the Moon from the Sun (Moon's longitude less the Sun's, tropical, of
// date) reaches 0°, 90°, 180° and 270°. The elongation always grows (the Moon is the
// faster by 10° to 15° a day), so each phase is a single crossing.
#include <array>
#include <vector>

namespace kovo::cycles {

enum class PhaseKind { New, FirstQuarter, Full, LastQuarter };

// "new moon", "first quarter", "full moon", "last quarter".
const char* PhaseName(PhaseKind kind);

struct LunarPhase {
    PhaseKind kind = PhaseKind::New;
    double instantUt = 0;      // the nearest whole minute, Julian Day UT
    double moonLongitude = 0;  // degrees, tropical, at that instant
};

// Every phase whose instant falls in [fromUt, toUt), in time order. `missing` is set when
// the ephemeris gave no position for some day of the range (those days are skipped).
std::vector<LunarPhase> FindLunarPhases(double fromUt, double toUt, bool* missing = nullptr);

// The elongation in degrees [0, 360) at an instant; negative without a position.
double Elongation(double instantUt);

}  // namespace kovo::cycles
