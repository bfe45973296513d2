#pragma once
// Exact minima and retrograde marks of the transit scan.
#include <array>
#include <cstdint>
#include <optional>

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

// Refines a local minimum near local instant t minute by minute within ±1.5 steps;
// `deviations` are those at t - step, t and t + step (radians), which tell where to look.
// Returns the minute, or nothing when the minimum is not exact.
std::optional<ExactMinute> FindExactMinimum(double t, const TransitRunParams& params, int aspect, double step,
                                            const std::array<double, 3>& deviations);

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
