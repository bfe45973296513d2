#include "export/export_table.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "astro/catalogue.h"
#include "calendar/calendar_services.h"
#include "transits/local_time.h"
#include "transits/transit_minima.h"
#include "util/rounding.h"
#include "util/text.h"

namespace kovo::exporting {

namespace {

using transits::OrbSpan;
using transits::TransitMinimum;
using transits::TransitPass;
using transits::TransitPeriod;
using transits::TransitRunParams;

std::string MinuteText(std::int64_t minutes) {
    const auto day = static_cast<std::int32_t>(minutes >= 0 ? minutes / 1440 : (minutes - 1439) / 1440);
    const auto ofDay = static_cast<int>(minutes - static_cast<std::int64_t>(day) * 1440);
    char clock[24];
    std::snprintf(clock, sizeof clock, "%02d:%02d", ofDay / 60, ofDay % 60);
    return calendar::FormatDayNumberIso8601(day) + "T" + clock;
}

Cell DateCell(const std::optional<transits::OrbDate>& date) {
    const auto day = transits::OrbDay(date);
    return day ? Cell::Of(calendar::FormatDayNumberIso8601(*day)) : Cell{};
}

// The minima a period's rows report: every exact one, or else the closest approach.
std::vector<const TransitMinimum*> RowMinima(const TransitPeriod& period) {
    std::vector<const TransitMinimum*> minima;
    for (const TransitPass& pass : period.passes)
        if (pass.minimum && pass.minimum->exact) minima.push_back(&*pass.minimum);
    if (!minima.empty()) return minima;
    for (const TransitPass& pass : period.passes)
        if (pass.minimum && (minima.empty() || pass.minimum->deviation < minima.front()->deviation))
            minima.assign(1, &*pass.minimum);
    if (minima.empty()) minima.push_back(nullptr);
    return minima;
}

std::vector<Cell> PeriodRow(const TransitPeriod& period, const TransitMinimum* m, const TransitRunParams& params) {
    const OrbSpan middle = LevelSpan(period, transits::kMiddleOrb);
    const OrbSpan inner = LevelSpan(period, transits::kInnerOrb);
    std::vector<Cell> row{Cell::Of(params.firstName),
                          Cell::Of(params.secondName),
                          Cell::Of(params.heliocentric ? "heliocentric" : "geocentric"),
                          Cell::Of(AspectWord(period.aspect)),
                          DateCell(period.outer.entry),
                          DateCell(middle.entry),
                          DateCell(inner.entry),
                          DateCell(inner.exit),
                          DateCell(middle.exit),
                          DateCell(period.outer.exit)};
    const bool exact = m != nullptr && m->exact;
    const ExactTimes times = exact ? ExactTimesOf(*m, params) : ExactTimes{};
    row.push_back(exact ? Cell::Of(times.utc) : Cell{});
    row.push_back(exact ? Cell::Of(times.local) : Cell{});
    row.push_back(m != nullptr ? Cell::Number(util::FixedTwoDecimals(m->deviation / astro::FullCircle * 1296000.0))
                               : Cell{});
    row.push_back(exact && ShowsRetrogradeMarks(params) ? Cell::Flag(m->retrograde) : Cell{});
    row.push_back(Cell::Flag(period.cutAtStart));
    row.push_back(Cell::Flag(period.cutAtEnd));
    row.push_back(Cell::Number(std::to_string(period.ExactPasses())));
    row.push_back(m != nullptr ? Cell::Of(calendar::FormatDayNumberIso8601(exact ? times.localDay : m->day)) : Cell{});
    row.push_back(Cell::Of(params.ZoneName()));
    return row;
}

std::string Amount(double dollars) { return util::FixedTwoDecimals(dollars); }

std::string EventKind(simulation::SimulationEventKind kind) {
    switch (kind) {
        case simulation::SimulationEventKind::Investment: return "investment";
        case simulation::SimulationEventKind::Redemption: return "redemption";
        case simulation::SimulationEventKind::Cancellation: break;
    }
    return "cancellation";
}

}  // namespace

ExactTimes ExactTimesOf(const TransitMinimum& minimum, const TransitRunParams& params) {
    const transits::LocalTime zone = transits::LocalTimeAt(params, minimum.instantUt);
    const transits::ExactClock clock = transits::ExactClockAt(minimum.instantUt + zone.offsetDays);
    const std::int64_t local = static_cast<std::int64_t>(clock.day) * 1440 + clock.hour * 60 + clock.minute;
    ExactTimes times;
    times.localDay = clock.day;
    // A zone with seconds in its offset reads the local minute off another instant than
    // the UT minute: the record's UT minute keeps UT the same in every zone.
    const std::int64_t utc = minimum.utMinute ? std::llround((*minimum.utMinute + 0.5) * 1440) : local - zone.offsetMinutes;
    times.utc = MinuteText(utc) + "Z";
    times.local = MinuteText(local) + IsoOffset(zone.offsetMinutes);
    times.localLabel = times.local.substr(times.local.find('T') + 1, 5) + " " + zone.label;
    return times;
}

std::string IsoOffset(int offsetMinutes) {
    const int magnitude = std::abs(offsetMinutes);
    char text[16];
    std::snprintf(text, sizeof text, "%c%02d:%02d", offsetMinutes < 0 ? '-' : '+', magnitude / 60, magnitude % 60);
    return text;
}

OrbSpan LevelSpan(const TransitPeriod& period, transits::OrbLevel level) {
    if (level == transits::kOuterOrb) return period.outer;
    const OrbSpan TransitPass::*span = level == transits::kMiddleOrb ? &TransitPass::middle : &TransitPass::inner;
    const TransitPass* first = nullptr;
    const TransitPass* last = nullptr;
    for (const TransitPass& pass : period.passes) {
        if (!(pass.*span).Reached()) continue;
        if (first == nullptr) first = &pass;
        last = &pass;
    }
    if (first == nullptr) return {};
    return {.entry = (first->*span).entry, .exit = (last->*span).exit};
}

bool ShowsRetrogradeMarks(const TransitRunParams& params) { return !params.heliocentric && !params.AllTransitsMode(); }

std::string AspectWord(int aspect) {
    if (aspect < 1 || aspect > astro::kAspectCount) return {};
    return util::ToLower(astro::AspectName[static_cast<std::size_t>(aspect)]);
}

ExportTable TransitTable(const std::vector<const transits::TransitResult*>& results) {
    ExportTable table;
    table.columns = {"first",        "second",        "centricity",     "aspect",
                     "outer_start",  "middle_start",  "inner_start",    "inner_end",
                     "middle_end",   "outer_end",     "exact_utc",      "exact_local",
                     "min_deviation_arcsec",          "first_retrograde_at_exact",
                     "cut_at_start", "cut_at_end",    "exact_passes",   "minimum_date",
                     "time_zone"};
    for (const transits::TransitResult* result : results)
        for (const TransitPeriod& period : result->periods)
            for (const TransitMinimum* m : RowMinima(period)) table.rows.push_back(PeriodRow(period, m, result->inputs));
    return table;
}

ExportTable SimulationEventTable(const simulation::SimulationRun& run) {
    ExportTable table;
    table.columns = {"date", "aspect", "orb", "kind", "number", "amount_usd", "running_total_usd"};
    for (const simulation::SimulationEvent& e : run.events) {
        const bool redemption = e.kind == simulation::SimulationEventKind::Redemption;
        const bool cancelled = e.kind == simulation::SimulationEventKind::Cancellation;
        table.rows.push_back({Cell::Of(calendar::FormatDayNumberIso8601(e.day)), Cell::Of(AspectWord(e.aspect)),
                              Cell::Number(std::to_string(e.orbDegrees)), Cell::Of(EventKind(e.kind)),
                              Cell::Number(std::to_string(e.number)), cancelled ? Cell{} : Cell::Number(Amount(e.amount)),
                              redemption ? Cell::Number(Amount(e.runningTotal)) : Cell{}});
    }
    return table;
}

ExportTable SimulationSummaryTable(const simulation::SimulationRun& run) {
    ExportTable table;
    table.columns = {"first", "second", "aspect", "orb", "investments", "total_usd"};
    const std::string first = astro::PlanetName(astro::PlanetIndex(run.inputs.first), true, false);
    const std::string second = astro::PlanetName(astro::PlanetIndex(run.inputs.second), true, false);
    for (const simulation::SimulationSlot& slot : run.SimulationSlots) {
        table.rows.push_back({Cell::Of(first), Cell::Of(second), Cell::Of(AspectWord(slot.Aspect)),
                              Cell::Number(std::to_string(slot.OrbDegrees)),
                              Cell::Number(std::to_string(slot.InvestmentCount)),
                              slot.InvestmentCount > 0 ? Cell::Number(Amount(slot.RunningTotal)) : Cell{}});
    }
    const simulation::SimulationTotals& totals = run.totals;
    for (std::size_t a = 1; a <= 7; ++a) {
        if (totals.AspectInvestments[a] <= 0) continue;
        table.rows.push_back({Cell::Of(first), Cell::Of(second), Cell::Of(AspectWord(static_cast<int>(a))), Cell{},
                              Cell::Number(std::to_string(totals.AspectInvestments[a])),
                              Cell::Number(Amount(totals.AspectGain[a]))});
    }
    table.rows.push_back({Cell::Of(first), Cell::Of(second), Cell{}, Cell{},
                          Cell::Number(std::to_string(totals.TotalInvestments)), Cell{}});
    return table;
}

}  // namespace kovo::exporting
