#pragma once
// Exact minima and retrograde marks of the transit scan.
#include <array>
#include <cstdint>
#include <optional>

#include "astro/motion_bounds.h"
#include "transits/transit_params.h"

namespace kovo::transits {

// Negative longitudes are the position service's "no position" sentinels.
inline bool HasPosition(double longitude) { return longitude >= 0; }

// Below this deviation (radians, about one minute of arc) a minimum counts as exact.
inline constexpr double kExactDeviation = 0.000291;

// Whether the report marks `body` retrograde for `day`: retrograde at local midnight
// beginning `day` (instant day - 0.5 - Z/1440). Always false in heliocentric runs and in
// the all-transits run, which give no marks.
bool RetrogradeAt(std::int32_t day, const TransitRunParams& params, int body);

struct ExactMinute {
    double instantUt = 0;  // Julian Day UT of the whole minute
    double deviation = 0;  // radians, below kExactDeviation
};

// The exact minute of a minimum that the scan saw at local instant t.
//
// The window: the whole minutes k = 0 .. 3 x step x 1440 after u0 = t - 1.5 x step - Z/1440
// (UT), minute k being the instant u0 + k/1440, computed from k and never by adding
// minutes one to another. The answer is the minute of the smallest deviation among all of
// them (the earliest of equal ones) when that deviation is below kExactDeviation, and
// nothing otherwise. The deviation need not fall and rise only once in the window (Pluto's
// tables are linear between whole days, and slow pairs wander near the exact angle for
// days), so no walk that stops at a rise is enough. Minutes that cannot beat the best one
// found so far are skipped, using bounds on how fast each body moves; that never changes
// the answer. Without positions at both ends of the window every minute is evaluated.
//
// Off the reference path (no Pluto in the pair) a root finder brackets the
// zero of the signed deviation first and rules out every other minute from bounds on the
// bodies' acceleration; only where that proof fails does the walk run.
//
// `deviations` (radians, at t - step, t and t + step) only tell where to look first.
std::optional<ExactMinute> FindExactMinimum(double t, const TransitRunParams& params, int aspect, double step,
                                            const std::array<double, 3>& deviations);

// The motion bounds belong to the ephemeris layer; the scan and its tests name them here.
using astro::MaxDailyAcceleration;
using astro::MaxDailyMotion;

// The local clock reading of an exact minimum at local Julian date `local`. The instant
// is rounded to the whole second first, so that a hair before local midnight reads as
// 00:00 of the next day; then 30 seconds and more round the minute up, never past 23:59.
struct ExactClock {
    std::int32_t day = 0;
    int hour = 0;
    int minute = 0;
};
ExactClock ExactClockAt(double local);

}  // namespace kovo::transits
