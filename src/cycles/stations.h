#pragma once
// Stations: the instants at which a body's geocentric longitude stops and turns.
//
// A station retrograde is a local maximum of the longitude, a station direct a local
// minimum; the speed changes sign there. The search samples the ephemeris' speed once a
// day (a retrograde spell lasts at least three weeks, so no two stations share a day),
// brackets each change of sign and narrows it by bisection over whole minutes to the
// last minute before the speed turns; of that minute and the next, the one with the
// extreme longitude is the station's minute.
//
// Precision: near a station the longitude barely moves (Mercury stays within 1" of its
// station longitude for about an hour, the outer planets for many hours), so the minute
// says where the ephemeris' extreme lies, not a minute that can be observed. It agrees
// with a walk of every minute to within 2 minutes.
#include <optional>
#include <vector>

#include "cycles/zodiac_track.h"

namespace kovo::cycles {

enum class StationKind { Retrograde, Direct };

struct Station {
    StationKind kind = StationKind::Retrograde;
    double instantUt = 0;  // the whole minute, Julian Day UT
    double longitude = 0;  // degrees in the track's zodiac
};

// The stations of a geocentric track from `fromUt` to `toUt`, in time order; empty for
// the Sun and for heliocentric tracks (which never station). `missing` is set when the
// ephemeris gave no position somewhere in the range.
std::vector<Station> FindStations(const Track& track, double fromUt, double toUt, bool* missing = nullptr);

}  // namespace kovo::cycles
