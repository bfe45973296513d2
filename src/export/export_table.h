#pragma once
// The records of a run flattened into one table: named columns and typed cells. CSV,
// JSON and the clipboard's tab-separated rows are all written from these tables, so
// they hold the same fields.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "simulation/simulation.h"
#include "transits/transit_params.h"
#include "transits/transit_result.h"

namespace kovo::exporting {

struct Cell {
    enum class Kind { Empty, Text, Number, Boolean };
    Kind kind = Kind::Empty;
    std::string text;  // numbers as plain digits ("12.50"), booleans as "true" or "false"

    static Cell Of(std::string text) { return {Kind::Text, std::move(text)}; }
    static Cell Number(std::string digits) { return {Kind::Number, std::move(digits)}; }
    static Cell Flag(bool value) { return {Kind::Boolean, value ? "true" : "false"}; }
};

struct ExportTable {
    std::vector<std::string> columns;
    std::vector<std::vector<Cell>> rows;  // each as long as columns
};

// The exact minute of a minimum, read as the report reads it: the local clock of the
// report (seconds rounded, 30 and more round the minute up) and the UT minute that is
// that reading less the zone's offset, so that both agree with the report to the minute.
struct ExactTimes {
    std::int32_t localDay = 0;  // day number of the local date
    std::string utc;            // "2026-01-10T14:25Z"
    std::string local;          // "2026-01-10T09:25-05:00"
    std::string localLabel;     // "09:25 EST/CDT"
};
ExactTimes ExactTimesOf(const transits::TransitMinimum& minimum, const transits::TransitRunParams& params);

// "+00:00", "-05:00", "+05:30": an ISO 8601 offset, from minutes east of Greenwich.
std::string IsoOffset(int offsetMinutes);

// A period's stay in the middle or inner orb as its report lines read: entered on the
// line of its first stay, left on the line of its last (a stay's exit stays on the line
// of its entry). The outer orb is the period's own span.
transits::OrbSpan LevelSpan(const transits::TransitPeriod& period, transits::OrbLevel level);

// Whether the run's report gives retrograde marks (geocentric, not the all-transits run).
bool ShowsRetrogradeMarks(const transits::TransitRunParams& params);

// "conjunction" ... "quincunx"; "" outside 1..7.
std::string AspectWord(int aspect);

// One row per period, or per exact pass of a period with several; the runs in order.
ExportTable TransitTable(const std::vector<const transits::TransitResult*>& results);

// One row per event of the walk, details shown or not.
ExportTable SimulationEventTable(const simulation::SimulationRun& run);

// The summary: a row per slot in the report's order, a row per aspect with
// redemptions (orb empty: all orbs) and the run's total number of investments.
ExportTable SimulationSummaryTable(const simulation::SimulationRun& run);

}  // namespace kovo::exporting
