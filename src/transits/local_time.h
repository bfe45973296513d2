#pragma once
// The one place where a run's UT instant becomes local time: the report's exact times,
// the exports and the chart all read the run's zone through LocalTimeAt, so that a fixed
// list offset and a named zone whose offset changes with the date are read alike.
#include <string>

#include "transits/transit_params.h"

namespace kovo::transits {

struct LocalTime {
    int offsetMinutes = 0;  // minutes east of Greenwich in force at the instant, rounded
    double offsetDays = 0;  // the same, exactly (a zone's old local mean time has seconds)
    std::string label;      // as the report's exact times name it: "GMT", "EST/CDT", "EDT"
};

// The run's local time at `instantUt` (Julian Day UT).
LocalTime LocalTimeAt(const TransitRunParams& params, double instantUt);

}  // namespace kovo::transits
