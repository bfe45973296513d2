#include "export/cycle_export.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "astro/catalogue.h"
#include "astro/zodiac_degree.h"
#include "calendar/calendar_services.h"
#include "export/json_document.h"
#include "export/minute_text.h"
#include "util/json_text.h"
#include "util/text.h"
#include "util/utf8.h"

namespace kovo::exporting {

namespace {

std::vector<Cell> RunCells(const CycleRunInputs& in) {
    return {Cell::Of(BodyName(in)), Cell::Of(in.heliocentric ? "heliocentric" : "geocentric"),
            Cell::Of(ZodiacName(in.zodiac))};
}

void AddMoment(std::vector<Cell>& row, const std::optional<cycles::CycleMoment>& moment,
               const calendar::ReportZone& zone) {
    if (!moment) {
        row.insert(row.end(), 3, Cell{});
        return;
    }
    row.push_back(Cell::Of(MinuteUtcText(moment->instantUt)));
    row.push_back(Cell::Of(MinuteLocalText(moment->instantUt, zone)));
    row.push_back(Cell::Of(SignText(moment->longitude)));
}

Cell Days(std::optional<double> days) {
    if (!days) return {};
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", *days);
    return Cell::Number(text);
}

std::string Heading(const char* what, const CycleRunInputs& in) {
    return std::string(what) + " of " + BodyName(in) + ", " + (in.heliocentric ? "heliocentric" : "geocentric") + ", " +
           ZodiacName(in.zodiac) + ", " + calendar::FormatDayNumberIso8601(in.fromDay) + " to " +
           calendar::FormatDayNumberIso8601(in.toDay) + ", times in " + in.zone.Name() + "\n\n";
}

}  // namespace

std::string BodyName(const CycleRunInputs& in) {
    if (in.body == astro::Body::Moon) return "Moon";  // not one of the catalogue's planets
    return astro::PlanetName(astro::PlanetIndex(in.body), in.heliocentric, false);
}

std::string SignText(double longitude) { return astro::ZodiacDegreeText(longitude); }

std::string ZodiacName(platform::Zodiac zodiac) {
    switch (zodiac) {
        case platform::Zodiac::Lahiri: return "sidereal (Lahiri)";
        case platform::Zodiac::FaganBradley: return "sidereal (Fagan-Bradley)";
        case platform::Zodiac::Raman: return "sidereal (Raman)";
        case platform::Zodiac::Tropical: break;
    }
    return "tropical";
}

ExportTable CyclesTable(const std::vector<cycles::RetrogradeCycle>& list, const CycleRunInputs& in) {
    ExportTable table;
    table.columns = {"body", "centricity", "zodiac"};
    for (const char* part : {"pre_shadow_start", "station_retrograde", "station_direct", "post_shadow_end"})
        for (const char* what : {"_utc", "_local", "_longitude"}) table.columns.push_back(std::string(part) + what);
    for (const char* name : {"retrograde_days", "shadow_days", "cut_at_start", "cut_at_end"})
        table.columns.emplace_back(name);
    for (const cycles::RetrogradeCycle& c : list) {
        std::vector<Cell> row = RunCells(in);
        AddMoment(row, c.preShadowStart, in.zone);
        AddMoment(row, c.stationRetrograde, in.zone);
        AddMoment(row, c.stationDirect, in.zone);
        AddMoment(row, c.postShadowEnd, in.zone);
        row.push_back(Days(c.RetrogradeDays()));
        row.push_back(Days(c.ShadowDays()));
        row.push_back(Cell::Flag(c.cutAtStart));
        row.push_back(Cell::Flag(c.cutAtEnd));
        table.rows.push_back(std::move(row));
    }
    return table;
}

ExportTable IngressTable(const std::vector<cycles::Ingress>& list, const CycleRunInputs& in) {
    ExportTable table;
    table.columns = {"body", "centricity", "zodiac", "utc", "local", "sign", "direction"};
    for (const cycles::Ingress& i : list) {
        std::vector<Cell> row = RunCells(in);
        row.push_back(Cell::Of(MinuteUtcText(i.instantUt)));
        row.push_back(Cell::Of(MinuteLocalText(i.instantUt, in.zone)));
        row.push_back(Cell::Of(cycles::kSignNames[i.sign]));
        row.push_back(Cell::Of(i.retrograde ? "retrograde" : "direct"));
        table.rows.push_back(std::move(row));
    }
    return table;
}

std::string CyclesText(const std::vector<cycles::RetrogradeCycle>& list, const CycleRunInputs& in) {
    ExportTable table;
    table.columns = {"Pre-shadow start", "Station retrograde", "Longitude", "Station direct", "Longitude",
                     "Post-shadow end", "Retro days", "Shadow days"};
    for (const cycles::RetrogradeCycle& c : list) {
        const auto when = [&](const std::optional<cycles::CycleMoment>& m) {
            return m ? Cell::Of(MinuteLocalText(m->instantUt, in.zone)) : Cell{};
        };
        const auto where = [&](const std::optional<cycles::CycleMoment>& m) {
            return m ? Cell::Of(SignText(m->longitude)) : Cell{};
        };
        table.rows.push_back({when(c.preShadowStart), when(c.stationRetrograde), where(c.stationRetrograde),
                              when(c.stationDirect), where(c.stationDirect), when(c.postShadowEnd),
                              Days(c.RetrogradeDays()), Days(c.ShadowDays())});
    }
    std::string text = Heading("Retrograde cycles", in);
    if (list.empty()) return text + "No station in the range.\n";
    return text + AlignedColumns(table, 0) +
           "\n\"-\": outside the range. Stations are the minutes at which the longitude turns; it moves\n"
           "less than 1\" in the hour around a station of Mercury, so a minute or two either way is\n"
           "within the ephemeris' own precision.\n";
}

std::string IngressText(const std::vector<cycles::Ingress>& list, const CycleRunInputs& in) {
    ExportTable table;
    table.columns = {"Entered", "Sign", "Direction"};
    for (const cycles::Ingress& i : list)
        table.rows.push_back({Cell::Of(MinuteLocalText(i.instantUt, in.zone)), Cell::Of(cycles::kSignNames[i.sign]),
                              Cell::Of(i.retrograde ? "retrograde" : "direct")});
    std::string text = Heading("Sign ingresses", in);
    if (list.empty()) return text + "No ingress in the range.\n";
    return text + AlignedColumns(table, 0);
}

std::string CycleJson(const char* run, const ExportTable& table, const CycleRunInputs& in) {
    std::vector<std::string> rows;
    for (const auto& row : table.rows) {
        std::vector<std::pair<std::string, std::string>> members;
        for (std::size_t c = 3; c < table.columns.size(); ++c) members.emplace_back(table.columns[c], JsonValue(row[c]));
        rows.push_back(CompactObject(members));
    }
    return CompactObject({{"run", util::JsonString(run)},
                          {"body", util::JsonString(BodyName(in))},
                          {"centricity", util::JsonString(in.heliocentric ? "heliocentric" : "geocentric")},
                          {"zodiac", util::JsonString(ZodiacName(in.zodiac))},
                          {"zone", util::JsonString(in.zone.Name())},
                          {"from", util::JsonString(calendar::FormatDayNumberIso8601(in.fromDay))},
                          {"to", util::JsonString(calendar::FormatDayNumberIso8601(in.toDay))},
                          {"rows", CompactArray(rows)}}) +
           "\n";
}

std::vector<TimedEvent> CycleEvents(const std::vector<cycles::RetrogradeCycle>& list, const CycleRunInputs& in) {
    std::vector<TimedEvent> events;
    const std::string body = BodyName(in);
    const auto add = [&](const std::optional<cycles::CycleMoment>& m, const char* what, const char* uid) {
        if (!m) return;
        events.push_back({.uid = util::ToLower(body) + "-" + uid + "-" + MinuteStamp(m->instantUt),
                          .startUtc = MinuteStamp(m->instantUt),
                          .summary = body + " " + what,
                          .description = std::string(what) + " at " + SignText(m->longitude) + " (" +
                                         ZodiacName(in.zodiac) + "), " + MinuteLocalText(m->instantUt, in.zone)});
    };
    for (const cycles::RetrogradeCycle& c : list) {
        add(c.preShadowStart, "enters its pre-shadow", "preshadow");
        add(c.stationRetrograde, "stations retrograde", "sr");
        add(c.stationDirect, "stations direct", "sd");
        add(c.postShadowEnd, "leaves its post-shadow", "postshadow");
    }
    return events;
}

std::vector<TimedEvent> IngressEvents(const std::vector<cycles::Ingress>& list, const CycleRunInputs& in) {
    std::vector<TimedEvent> events;
    const std::string body = BodyName(in);
    for (const cycles::Ingress& i : list)
        events.push_back({.uid = util::ToLower(body) + "-ingress-" + MinuteStamp(i.instantUt),
                          .startUtc = MinuteStamp(i.instantUt),
                          .summary = body + " enters " + cycles::kSignNames[i.sign] +
                                     (i.retrograde ? " (retrograde)" : ""),
                          .description = std::string(in.heliocentric ? "Heliocentric, " : "Geocentric, ") +
                                         ZodiacName(in.zodiac) + ", " + MinuteLocalText(i.instantUt, in.zone)});
    return events;
}

}  // namespace kovo::exporting
