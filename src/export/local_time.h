#pragma once
// The one place where an instant becomes local time for the exports: the run's zone, a
// fixed offset or a named zone whose offset changes with the date.
#include <string>

#include "transits/transit_params.h"

namespace kovo::exporting {

struct LocalTime {
    int offsetMinutes = 0;  // minutes east of Greenwich in force at the instant
    double offsetDays = 0;  // the same, exactly (a zone's old local mean time has seconds)
    std::string label;      // as the report's exact times name it: "GMT", "EST/CDT", "EDT"
};

// The run's local time at `instantUt` (Julian Day UT).
LocalTime LocalTimeAt(const transits::TransitRunParams& params, double instantUt);

// "+00:00", "-05:00", "+05:30": an ISO 8601 offset.
std::string IsoOffset(int offsetMinutes);

}  // namespace kovo::exporting
