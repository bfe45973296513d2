#pragma once
// Exact minima and retrograde marks of the transit report.
#include <array>
#include <cstdint>
#include <string>

#include "transits/transit_params.h"
#include "transits/transit_table.h"

namespace kovo::transits {

// Below this deviation (radians, about one minute of arc) a minimum counts as exact.
inline constexpr double kExactDeviation = 0.000291;

// "r" when the body is retrograde at local midnight beginning `day` (day - 0.5 - Z/1440);
// always empty in heliocentric runs and in the all-transits run.
std::string RetrogradeMark(std::int32_t day, const TransitRunParams& params, int body);

// Refines a local minimum near local instant t minute by minute within ±1.5 steps;
// `deviations` are those at t - step, t and t + step (radians), which tell where to look.
// Returns "date*" + mark + "HH:MM " + zone text, or "" when the minimum is not exact.
std::string FindExactMinimum(double t, const TransitRunParams& params, int aspect, double step,
                             const std::array<double, 3>& deviations);

// The text of an exact minimum at local instant `local` (a Julian date in local time).
// The instant is first rounded to the whole second, so that an instant a hair before
// local midnight reads as 00:00 of the next day rather than 23:59 of the previous one.
std::string FormatExactMinimum(double local, const TransitRunParams& params);

// Splits an exact-minimum text after its first "r" (else its first "*") into columns 4 and 8.
void WriteExactMinimum(TransitTable& table, int row, const std::string& text);

}  // namespace kovo::transits
