#include "requests/cycles_form.h"

#include <optional>

#include "calendar/iso_date.h"
#include "export/delimited_text.h"
#include "export/icalendar.h"

namespace kovo::requests {

namespace {

CyclesRefusal Refused(CyclesRefusal::Reason reason, std::string text) { return {reason, std::move(text)}; }

std::optional<CyclesRefusal> Check(const CyclesForm& form) {
    using Reason = CyclesRefusal::Reason;
    const bool stations = form.kind == CycleKind::Stations;
    if (stations && form.heliocentric)
        return Refused(Reason::HeliocentricStations,
                       "Heliocentric positions never station: seen from the Sun every planet moves forward all the time.");
    if (IsLunar(form.kind) && form.heliocentric)
        return Refused(Reason::HeliocentricMoon,
                       "The Moon's phases and the eclipses are seen from the Earth: heliocentrically there is no Moon.");
    if (form.body == astro::Body::Moon && !IsLunar(form.kind) && form.heliocentric)
        return Refused(Reason::HeliocentricMoon, "The Moon is seen from the Earth: heliocentrically there is no Moon.");
    if (stations && form.body == astro::Body::Moon)
        return Refused(Reason::SunStations, "The Moon never stations: seen from the Earth it always moves forward.");
    if (stations && form.body == astro::Body::Sun)
        return Refused(Reason::SunStations, "The Sun never stations: seen from the Earth it always moves forward.");
    if (form.fromDay > form.toDay) return Refused(Reason::RangeReversed, "The start date comes after the end date.");
    const auto first = calendar::DayNumberOf({kCyclesFirstYear, 1, 1});
    const auto last = calendar::DayNumberOf({kCyclesLastYear, 12, 31});
    if (form.fromDay < *first || form.toDay > *last)
        return Refused(Reason::OutsideEphemeris,
                       "The ephemeris covers 1600-01-01 to 2199-12-31; the range must lie inside it.");
    return std::nullopt;
}

}  // namespace

std::variant<CyclesFound, CyclesRefusal> RunCyclesForm(const CyclesForm& form) {
    if (auto refusal = Check(form)) return *refusal;
    CyclesFound found;
    found.kind = form.kind;
    found.inputs = {.body = form.body,
                    .heliocentric = form.heliocentric,
                    .zodiac = form.zodiac,
                    .zone = form.zone,
                    .fromDay = form.fromDay,
                    .toDay = form.toDay};
    // The range's civil days in the zone: from its first local midnight to its last.
    const double fromUt = form.fromDay - 0.5 - form.zone.At(form.fromDay - 0.5).days;
    const double toUt = form.toDay + 0.5 - form.zone.At(form.toDay + 0.5).days;
    const cycles::Track track{.body = form.body, .heliocentric = form.heliocentric, .zodiac = form.zodiac};
    bool missing = false;
    switch (form.kind) {
        case CycleKind::Stations: found.cycles = cycles::FindRetrogradeCycles(track, fromUt, toUt, &missing); break;
        case CycleKind::Ingresses: found.ingresses = cycles::FindIngresses(track, fromUt, toUt, &missing); break;
        case CycleKind::Phases: found.phases = cycles::FindLunarPhases(fromUt, toUt, &missing); break;
        case CycleKind::Eclipses: found.eclipses = cycles::FindEclipses(fromUt, toUt, &missing); break;
    }
    if (missing)
        return Refused(CyclesRefusal::Reason::EphemerisGap,
                       "The ephemeris gave no position of " +
                           (IsLunar(form.kind) ? std::string("the Moon or the Sun") : exporting::BodyName(found.inputs)) +
                           " for some days of the range (are its data files installed?).");
    return found;
}

exporting::ExportTable CyclesFoundTable(const CyclesFound& found) {
    switch (found.kind) {
        case CycleKind::Stations: return exporting::CyclesTable(found.cycles, found.inputs);
        case CycleKind::Ingresses: return exporting::IngressTable(found.ingresses, found.inputs);
        case CycleKind::Phases: return exporting::PhaseTable(found.phases, found.LunarInputs());
        case CycleKind::Eclipses: return exporting::EclipseTable(found.eclipses, found.LunarInputs());
    }
    return {};
}

std::string CyclesFound::CountText() const {
    const auto count = [](std::size_t n, const char* one, const char* many) {
        return std::to_string(n) + " " + (n == 1 ? one : many);
    };
    const std::string of = " of " + exporting::BodyName(inputs);
    switch (kind) {
        case CycleKind::Stations: return count(cycles.size(), "retrograde cycle", "retrograde cycles") + of;
        case CycleKind::Ingresses: return count(ingresses.size(), "ingress", "ingresses") + of;
        case CycleKind::Phases: return count(phases.size(), "lunar phase", "lunar phases");
        case CycleKind::Eclipses: return count(eclipses.size(), "eclipse", "eclipses");
    }
    return {};
}

namespace {

std::string LunarDocument(const CyclesFound& found, CyclesFormat format, const std::string& stampUtc) {
    const bool phases = found.kind == CycleKind::Phases;
    const exporting::LunarRunInputs in = found.LunarInputs();
    switch (format) {
        case CyclesFormat::Csv: return exporting::CsvText(CyclesFoundTable(found));
        case CyclesFormat::Json: return exporting::LunarJson(CycleKindName(found.kind), CyclesFoundTable(found), in);
        case CyclesFormat::ICalendar:
            return exporting::EventCalendar(phases ? exporting::PhaseEvents(found.phases, in)
                                                   : exporting::EclipseEvents(found.eclipses, in),
                                            {.stampUtc = stampUtc});
        case CyclesFormat::Text: break;
    }
    return phases ? exporting::PhaseText(found.phases, in) : exporting::EclipseText(found.eclipses, in);
}

}  // namespace

std::string CyclesFoundDocument(const CyclesFound& found, CyclesFormat format, const std::string& stampUtc) {
    if (IsLunar(found.kind)) return LunarDocument(found, format, stampUtc);
    const bool stations = found.kind == CycleKind::Stations;
    switch (format) {
        case CyclesFormat::Csv: return exporting::CsvText(CyclesFoundTable(found));
        case CyclesFormat::Json: return exporting::CycleJson(CycleKindName(found.kind), CyclesFoundTable(found), found.inputs);
        case CyclesFormat::ICalendar:
            return exporting::EventCalendar(stations ? exporting::CycleEvents(found.cycles, found.inputs)
                                                     : exporting::IngressEvents(found.ingresses, found.inputs),
                                            {.stampUtc = stampUtc});
        case CyclesFormat::Text: break;
    }
    return stations ? exporting::CyclesText(found.cycles, found.inputs) : exporting::IngressText(found.ingresses, found.inputs);
}

const char* CycleKindName(CycleKind kind) {
    switch (kind) {
        case CycleKind::Stations: return "stations";
        case CycleKind::Ingresses: return "ingresses";
        case CycleKind::Phases: return "phases";
        case CycleKind::Eclipses: return "eclipses";
    }
    return "";
}

}  // namespace kovo::requests
