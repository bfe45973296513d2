#pragma once
// Retrograde cycles with their shadows.
//
// A cycle is: the pre-shadow start (the body, still moving direct, first reaches the
// longitude of the coming station direct), the station retrograde, the station direct,
// and the post-shadow end (moving direct again, it passes the longitude of the station
// retrograde). The shadow crossings are found like ingresses: a daily walk, then
// bisection to the first whole minute at or past the longitude.
//
// A range cuts a cycle like it cuts an aspect's period: the parts outside it are absent
// and the cycle says it was cut at its start or end. The search looks up to 120 days
// beyond the range for the stations and shadows of the cycles that overlap it.
#include <optional>
#include <vector>

#include "cycles/stations.h"
#include "cycles/zodiac_track.h"

namespace kovo::cycles {

struct CycleMoment {
    double instantUt = 0;  // whole minute, Julian Day UT
    double longitude = 0;  // degrees
};

struct RetrogradeCycle {
    std::optional<CycleMoment> preShadowStart;
    std::optional<CycleMoment> stationRetrograde;
    std::optional<CycleMoment> stationDirect;
    std::optional<CycleMoment> postShadowEnd;
    bool cutAtStart = false;  // something before the range's start was left out
    bool cutAtEnd = false;    // something after the range's end was left out

    // Days from station retrograde to station direct, and from the pre-shadow start to
    // the post-shadow end, when both ends are present.
    std::optional<double> RetrogradeDays() const;
    std::optional<double> ShadowDays() const;
};

// The cycles that overlap [fromUt, toUt], in time order; none for the Sun and for
// heliocentric tracks. `missing` as for FindStations.
std::vector<RetrogradeCycle> FindRetrogradeCycles(const Track& track, double fromUt, double toUt,
                                                  bool* missing = nullptr);

}  // namespace kovo::cycles
