#include "transits/transit_table.h"

#include <algorithm>
#include <cstdio>

#include "astro/catalogue.h"
#include "astro/geometry.h"
#include "calendar/calendar_services.h"
#include "transits/local_time.h"
#include "transits/transit_minima.h"

namespace kovo::transits {

namespace {

std::string Degrees(int degrees) { return std::to_string(degrees) + "°"; }

std::string& Cell(TransitRow& row, TransitColumn column) { return row[static_cast<std::size_t>(column)]; }

void PutDate(TransitRow& row, TransitColumn column, const std::optional<OrbDate>& date) {
    if (const auto day = OrbDay(date)) Cell(row, column) = DateCell(*day, date->retrograde);
}

void PutMinimum(TransitRow& row, const TransitMinimum& m, const TransitRunParams& params) {
    if (!m.exact) {
        Cell(row, kMinimumAtColumn) = DateCell(m.day, m.retrograde);
        Cell(row, kMinimumColumn) = astro::FormatDegreesMinutes(m.deviation);
        return;
    }
    // The offset, and a named zone's abbreviation, in force at the exact instant.
    const LocalTime zone = LocalTimeAt(params, m.instantUt);
    const ExactClock clock = ExactClockAt(m.instantUt + zone.offsetDays);
    char time[8];
    std::snprintf(time, sizeof time, "%02d:%02d", clock.hour, clock.minute);
    Cell(row, kMinimumAtColumn) = calendar::FormatDayNumberIso(m.day) + "*" + (m.retrograde ? "r" : "");
    Cell(row, kMinimumColumn) = std::string(time) + " " + zone.label;
}

TransitRow PassRow(const TransitPass& pass, const TransitRunParams& params) {
    TransitRow row;
    PutDate(row, kMiddleStartColumn, pass.middle.entry);
    PutDate(row, kInnerStartColumn, pass.inner.entry);
    PutDate(row, kInnerEndColumn, pass.inner.exit);
    PutDate(row, kMiddleEndColumn, pass.middle.exit);
    if (pass.minimum) PutMinimum(row, *pass.minimum, params);
    return row;
}

}  // namespace

std::string DateCell(std::int32_t day, bool retrograde) {
    return calendar::FormatDayNumberIso(day) + (retrograde ? "r" : "");
}

TransitRow HeaderRow(const TransitRunParams& params) {
    const auto& orbs = params.orbDegrees;
    return {"Aspect",
            "Start " + Degrees(orbs[kOuterOrb]),
            "Start " + Degrees(orbs[kMiddleOrb]),
            "Start " + Degrees(orbs[kInnerOrb]),
            "Minimum at",
            "End " + Degrees(orbs[kInnerOrb]),
            "End " + Degrees(orbs[kMiddleOrb]),
            "End " + Degrees(orbs[kOuterOrb]),
            "Minimum"};
}

std::vector<TransitRow> PeriodRows(const TransitPeriod& period, const TransitRunParams& params,
                                   int previousNamedAspect) {
    std::vector<TransitRow> rows;
    for (const TransitPass& pass : period.passes) rows.push_back(PassRow(pass, params));
    if (rows.empty()) rows.emplace_back();
    TransitRow& first = rows.front();
    // Consecutive periods of one aspect show its name once.
    if (period.HasOrbDates() && period.aspect != previousNamedAspect)
        Cell(first, kAspectColumn) = astro::AspectName[static_cast<std::size_t>(period.aspect)];
    PutDate(first, kOuterStartColumn, period.outer.entry);
    PutDate(first, kOuterEndColumn, period.outer.exit);
    return rows;
}

}  // namespace kovo::transits
