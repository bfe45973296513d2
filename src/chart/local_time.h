#pragma once
// The chart's local dates and times. Every date, time and zone the chart shows or places
// comes through transits::LocalTimeAt, the conversion the report and the exports use.
#include <cstdint>
#include <string>

#include "transits/transit_params.h"

namespace kovo::chart {

// The zone as the chart's subtitle names it: the list text ("GMT-5:00"), or a named zone
// with the abbreviations it uses between two UT instants ("America/New_York (EST/EDT)").
std::string ZoneTitle(const transits::TransitRunParams& params, double fromUt, double toUt);

// Local Julian date of an instant: the instant plus the offset then in force.
double LocalJulianDate(const transits::TransitRunParams& params, double instantUt);

// The UT instant of a local Julian date (for instance local midnight, day - 0.5).
double UtOfLocal(const transits::TransitRunParams& params, double localJd);

// The civil date (day number) in force at `instantUt`.
std::int32_t LocalDayAt(const transits::TransitRunParams& params, double instantUt);

// "2026-03-05 14:32 GMT": an exact minimum's local date, time and zone, read exactly as
// the report reads it (rounded to the whole second, then to the minute).
std::string FormatExactMinute(const transits::TransitRunParams& params, double instantUt);

// "2026-03-05 14:32 GMT": a cursor's local date and time, to the minute (no rounding up).
std::string FormatLocalTime(const transits::TransitRunParams& params, double instantUt);

// A deviation in radians as degrees, minutes and seconds of arc: 0°00'17".
std::string FormatDeviation(double radians);

}  // namespace kovo::chart
