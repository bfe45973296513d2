#include "export/lunar_export.h"

#include "astro/zodiac_degree.h"
#include "calendar/calendar_services.h"
#include "export/json_document.h"
#include "export/minute_text.h"
#include "util/json_text.h"

namespace kovo::exporting {

namespace {

std::string Heading(const char* what, const LunarRunInputs& in) {
    return std::string(what) + ", " + calendar::FormatDayNumberIso8601(in.fromDay) + " to " +
           calendar::FormatDayNumberIso8601(in.toDay) + ", times in " + in.zone.Name() + "\n\n";
}

// "Solar eclipse (total)".
std::string EclipseTitle(const cycles::Eclipse& e) {
    return std::string(e.solar ? "Solar" : "Lunar") + " eclipse (" + cycles::EclipseTypeName(e.type) + ")";
}

}  // namespace

ExportTable PhaseTable(const std::vector<cycles::LunarPhase>& phases, const LunarRunInputs& in) {
    ExportTable table;
    table.columns = {"phase", "utc", "local", "moon_longitude"};
    for (const cycles::LunarPhase& p : phases)
        table.rows.push_back({Cell::Of(cycles::PhaseName(p.kind)), Cell::Of(MinuteUtcText(p.instantUt)),
                              Cell::Of(MinuteLocalText(p.instantUt, in.zone)),
                              Cell::Of(astro::ZodiacDegreeText(p.moonLongitude))});
    return table;
}

ExportTable EclipseTable(const std::vector<cycles::Eclipse>& eclipses, const LunarRunInputs& in) {
    ExportTable table;
    table.columns = {"eclipse", "type", "greatest_utc", "greatest_local", "longitude"};
    for (const cycles::Eclipse& e : eclipses)
        table.rows.push_back({Cell::Of(cycles::EclipseKindName(e)), Cell::Of(cycles::EclipseTypeName(e.type)),
                              Cell::Of(MinuteUtcText(e.greatestUt)), Cell::Of(MinuteLocalText(e.greatestUt, in.zone)),
                              Cell::Of(astro::ZodiacDegreeText(e.longitude))});
    return table;
}

std::string PhaseText(const std::vector<cycles::LunarPhase>& phases, const LunarRunInputs& in) {
    ExportTable table;
    table.columns = {"Phase", "Time", "Moon"};
    for (const cycles::LunarPhase& p : phases)
        table.rows.push_back({Cell::Of(cycles::PhaseName(p.kind)), Cell::Of(MinuteLocalText(p.instantUt, in.zone)),
                              Cell::Of(astro::ZodiacDegreeText(p.moonLongitude))});
    std::string text = Heading("Lunar phases, geocentric, tropical", in);
    if (phases.empty()) return text + "No phase in the range.\n";
    return text + AlignedColumns(table, 0) +
           "\nEach phase is the minute, to the nearest, at which the Moon's apparent longitude is 0°, 90°,\n"
           "180° or 270° ahead of the Sun's. Moon: its longitude then.\n";
}

std::string EclipseText(const std::vector<cycles::Eclipse>& eclipses, const LunarRunInputs& in) {
    ExportTable table;
    table.columns = {"Greatest", "Eclipse", "Type", "Longitude"};
    for (const cycles::Eclipse& e : eclipses)
        table.rows.push_back({Cell::Of(MinuteLocalText(e.greatestUt, in.zone)), Cell::Of(cycles::EclipseKindName(e)),
                              Cell::Of(cycles::EclipseTypeName(e.type)), Cell::Of(astro::ZodiacDegreeText(e.longitude))});
    std::string text = Heading("Eclipses", in);
    if (eclipses.empty()) return text + "No eclipse in the range.\n";
    return text + AlignedColumns(table, 0) +
           "\nGreatest: the instant of greatest eclipse for the whole Earth, to the nearest minute (not the\n"
           "time seen from one place). Longitude: the Sun's for a solar eclipse, the Moon's for a lunar one.\n";
}

std::string LunarJson(const char* run, const ExportTable& table, const LunarRunInputs& in) {
    std::vector<std::string> rows;
    for (const auto& row : table.rows) {
        std::vector<std::pair<std::string, std::string>> members;
        for (std::size_t c = 0; c < table.columns.size(); ++c) members.emplace_back(table.columns[c], JsonValue(row[c]));
        rows.push_back(CompactObject(members));
    }
    return CompactObject({{"run", util::JsonString(run)},
                          {"zone", util::JsonString(in.zone.Name())},
                          {"from", util::JsonString(calendar::FormatDayNumberIso8601(in.fromDay))},
                          {"to", util::JsonString(calendar::FormatDayNumberIso8601(in.toDay))},
                          {"rows", CompactArray(rows)}}) +
           "\n";
}

std::vector<TimedEvent> PhaseEvents(const std::vector<cycles::LunarPhase>& phases, const LunarRunInputs& in) {
    static const char* const kUids[] = {"new", "first-quarter", "full", "last-quarter"};
    std::vector<TimedEvent> events;
    for (const cycles::LunarPhase& p : phases) {
        std::string summary = cycles::PhaseName(p.kind);
        summary[0] = static_cast<char>(summary[0] - 'a' + 'A');
        events.push_back({.uid = std::string("moon-") + kUids[static_cast<int>(p.kind)] + "-" + MinuteStamp(p.instantUt),
                          .startUtc = MinuteStamp(p.instantUt),
                          .summary = summary,
                          .description = "Moon at " + astro::ZodiacDegreeText(p.moonLongitude) + " (tropical), " +
                                         MinuteLocalText(p.instantUt, in.zone)});
    }
    return events;
}

std::vector<TimedEvent> EclipseEvents(const std::vector<cycles::Eclipse>& eclipses, const LunarRunInputs& in) {
    std::vector<TimedEvent> events;
    for (const cycles::Eclipse& e : eclipses)
        events.push_back({.uid = std::string(cycles::EclipseKindName(e)) + "-eclipse-" + MinuteStamp(e.greatestUt),
                          .startUtc = MinuteStamp(e.greatestUt),
                          .summary = EclipseTitle(e),
                          .description = "Greatest eclipse at " + astro::ZodiacDegreeText(e.longitude) + " (tropical), " +
                                         MinuteLocalText(e.greatestUt, in.zone)});
    return events;
}

}  // namespace kovo::exporting
