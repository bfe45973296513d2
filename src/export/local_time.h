#pragma once
// The one place where an instant becomes local time for the exports. Today a run's zone
// is a fixed offset; a zone with daylight saving replaces only this function.
#include <string>

#include "transits/transit_params.h"

namespace kovo::exporting {

struct LocalTime {
    int offsetMinutes = 0;  // minutes east of Greenwich in force at the instant
    std::string label;      // the zone as the report names it: "GMT", "EST/CDT", "GMT-5:00"
};

// The run's local time at `instantUt` (Julian Day UT).
LocalTime LocalTimeAt(const transits::TransitRunParams& params, double instantUt);

// "+00:00", "-05:00", "+05:30": an ISO 8601 offset.
std::string IsoOffset(int offsetMinutes);

}  // namespace kovo::exporting
