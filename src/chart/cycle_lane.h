#pragma once
// A body's retrograde cycles and sign ingresses as the timeline chart draws them: one
// lane per body, the shadow spans lighter and the retrograde span darker, a tick at
// each station, and a short tick with the sign's short name at each ingress. The Moon's
// lane holds its phases instead: the waxing half of each lunation shaded, a tick at
// each new and full moon, short ticks at the quarters, and the eclipses labelled.
// Instants are Julian Days UT.
#include <string>
#include <vector>

namespace kovo::chart {

enum class CyclePhase { PreShadow, Retrograde, PostShadow, Waxing };

// One phase of one cycle, clipped to the chart's range.
struct CycleSpan {
    double startUt = 0;
    double endUt = 0;
    CyclePhase phase = CyclePhase::Retrograde;
    int cycle = 0;            // index of the cycle within its lane
    bool cutAtStart = false;  // the phase began before the range: drawn open at that edge
    bool cutAtEnd = false;
};

enum class CycleMark {
    StationRetrograde,
    StationDirect,
    Ingress,
    NewMoon,
    FirstQuarter,
    FullMoon,
    LastQuarter,
    SolarEclipse,
    LunarEclipse
};

struct CycleTick {
    double instantUt = 0;
    CycleMark mark = CycleMark::Ingress;
    double longitude = 0;     // degrees in the lane's zodiac
    int sign = 0;             // ingress: 0 Aries .. 11 Pisces, the sign entered
    bool retrograde = false;  // ingress: entered moving backwards
    std::string when;         // "2024-04-01 22:14 GMT", the minute in the chart's zone
    std::string type;         // eclipse: "total", "annular", "hybrid", "partial", "penumbral"
};

struct CycleLane {
    int planet = 0;         // planet index 2..9 (1: the Earth, heliocentric); 0 for the Moon
    bool lunar = false;     // the Moon's phases and the eclipses
    std::string body;       // "Mercury"
    std::string label;      // "Mercury retrograde, signs" or "Mercury signs"
    bool stations = false;  // geocentric: has retrograde cycles; heliocentric: ingresses only
    bool incomplete = false;  // the ephemeris gave no position somewhere in the range
    int cycleCount = 0;
    std::vector<CycleSpan> spans;  // time order within each cycle: pre-shadow, retrograde, post-shadow
    std::vector<CycleTick> ticks;  // stations and ingresses, in time order
};

// "Ari" .. "Pis": the sign's short name, as an ingress tick is labelled.
const char* SignShortName(int sign);

// The text beside a tick in the lane's upper strip: the sign of an ingress, "S ecl" or
// "L ecl" for an eclipse; "" for marks that have none.
const char* CycleTickLabel(const CycleTick& tick);
// Whether the mark crosses the band (stations, new and full moons) rather than standing
// in the strip above it.
bool CrossesBand(CycleMark mark);

}  // namespace kovo::chart
