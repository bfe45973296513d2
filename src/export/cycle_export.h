#pragma once
// Retrograde cycles and sign ingresses as tables: one table per run, the same columns in
// the text report, CSV and JSON, and an iCalendar event per station, shadow or ingress.
//
// Instants are whole UT minutes. Each is given in UTC ("2024-04-01T22:14Z") and in the
// run's zone ("2024-04-01 18:14 EDT"); longitudes in the sign notation of the reports
// ("27°13' Aries": degrees and minutes within the sign, rounded to the minute of arc).
// A part of a cycle that the range cut off is an empty cell.
#include <cstdint>
#include <string>
#include <vector>

#include "astro/body.h"
#include "calendar/report_zone.h"
#include "cycles/ingresses.h"
#include "cycles/retrograde_cycles.h"
#include "export/export_table.h"
#include "export/icalendar.h"
#include "platform/ephemeris.h"

namespace kovo::exporting {

struct CycleRunInputs {
    astro::Body body = astro::Body::Mercury;
    bool heliocentric = false;
    platform::Zodiac zodiac = platform::Zodiac::Tropical;
    calendar::ReportZone zone;
    std::int32_t fromDay = 0;  // the range, civil days in the zone (inclusive)
    std::int32_t toDay = 0;
};

// "Mercury", or "Earth" for the Sun heliocentrically.
std::string BodyName(const CycleRunInputs& inputs);
// "27°13' Aries" for a longitude in degrees.
std::string SignText(double longitude);
// "tropical" or "sidereal (Lahiri)".
std::string ZodiacName(platform::Zodiac zodiac);

ExportTable CyclesTable(const std::vector<cycles::RetrogradeCycle>& cycles, const CycleRunInputs& inputs);
ExportTable IngressTable(const std::vector<cycles::Ingress>& ingresses, const CycleRunInputs& inputs);

// The report: a heading, the table's columns aligned, and a closing note.
std::string CyclesText(const std::vector<cycles::RetrogradeCycle>& cycles, const CycleRunInputs& inputs);
std::string IngressText(const std::vector<cycles::Ingress>& ingresses, const CycleRunInputs& inputs);

// {"run":"stations"|"ingresses","body":..,"centricity":..,"zodiac":..,"zone":..,"from":..,"to":..,"rows":[..]}
std::string CycleJson(const char* run, const ExportTable& table, const CycleRunInputs& inputs);

std::vector<TimedEvent> CycleEvents(const std::vector<cycles::RetrogradeCycle>& cycles, const CycleRunInputs& inputs);
std::vector<TimedEvent> IngressEvents(const std::vector<cycles::Ingress>& ingresses, const CycleRunInputs& inputs);

}  // namespace kovo::exporting
