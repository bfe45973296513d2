#pragma once
// The Moon's phases and the eclipses as tables: the same columns in the text report,
// CSV and JSON, and an iCalendar event per phase or eclipse. Instants are whole UT
// minutes, given in UTC and on the run's zone's clock; longitudes in sign notation.
#include <cstdint>
#include <string>
#include <vector>

#include "calendar/report_zone.h"
#include "cycles/eclipses.h"
#include "cycles/lunar_phases.h"
#include "export/export_table.h"
#include "export/icalendar.h"

namespace kovo::exporting {

struct LunarRunInputs {
    calendar::ReportZone zone;
    std::int32_t fromDay = 0;  // the range, civil days in the zone (inclusive)
    std::int32_t toDay = 0;
};

ExportTable PhaseTable(const std::vector<cycles::LunarPhase>& phases, const LunarRunInputs& inputs);
ExportTable EclipseTable(const std::vector<cycles::Eclipse>& eclipses, const LunarRunInputs& inputs);

std::string PhaseText(const std::vector<cycles::LunarPhase>& phases, const LunarRunInputs& inputs);
std::string EclipseText(const std::vector<cycles::Eclipse>& eclipses, const LunarRunInputs& inputs);

// {"run":"phases"|"eclipses","zone":..,"from":..,"to":..,"rows":[..]}
std::string LunarJson(const char* run, const ExportTable& table, const LunarRunInputs& inputs);

std::vector<TimedEvent> PhaseEvents(const std::vector<cycles::LunarPhase>& phases, const LunarRunInputs& inputs);
std::vector<TimedEvent> EclipseEvents(const std::vector<cycles::Eclipse>& eclipses, const LunarRunInputs& inputs);

}  // namespace kovo::exporting
