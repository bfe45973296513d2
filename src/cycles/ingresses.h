#pragma once
// Sign ingresses: each time a body enters one of the twelve 30° signs of its zodiac.
//
// Between two stations a body moves one way only, so a sign boundary is crossed at most
// once there; the search samples the longitude once a day (no planet moves 30° in a day),
// cuts the walk at the stations, and narrows each crossing by bisection over whole minutes
// to the first minute at which the body is inside the new sign. A retrograde re-entry
// into the sign the body had left is an ingress of its own, marked retrograde.
#include <vector>

#include "astro/zodiac_degree.h"
#include "cycles/zodiac_track.h"

namespace kovo::cycles {

inline constexpr const auto& kSignNames = astro::kSignNames;

struct Ingress {
    double instantUt = 0;     // the first whole minute inside the sign, Julian Day UT
    int sign = 0;             // 0 Aries .. 11 Pisces: the sign entered
    bool retrograde = false;  // entered moving backwards
};

// The ingresses from `fromUt` to `toUt`, in time order. `missing` is set when the
// ephemeris gave no position somewhere in the range (those days are skipped).
std::vector<Ingress> FindIngresses(const Track& track, double fromUt, double toUt, bool* missing = nullptr);

}  // namespace kovo::cycles
