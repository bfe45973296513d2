#include "export/cycle_export.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "astro/catalogue.h"
#include "astro/zodiac_degree.h"
#include "calendar/calendar_services.h"
#include "export/json_document.h"
#include "util/json_text.h"
#include "util/text.h"
#include "util/utf8.h"

namespace kovo::exporting {

namespace {

struct Clock {
    std::int32_t day = 0;
    int minutes = 0;  // of the day
};

// The civil day and minute of a UT instant read with an offset in days.
Clock ClockOf(double instantUt, double offsetDays) {
    const double local = instantUt + offsetDays + 0.5;
    auto day = static_cast<std::int32_t>(std::floor(local));
    auto minutes = static_cast<int>(std::llround((local - day) * 1440.0));
    if (minutes >= 1440) {
        ++day;
        minutes -= 1440;
    }
    return {day, minutes};
}

std::string HourMinute(int minutes) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d", minutes / 60, minutes % 60);
    return text;
}

std::string UtcText(double instantUt) {
    const Clock c = ClockOf(instantUt, 0);
    return calendar::FormatDayNumberIso8601(c.day) + "T" + HourMinute(c.minutes) + "Z";
}

std::string LocalText(double instantUt, const calendar::ReportZone& zone) {
    const calendar::ReportZone::Reading reading = zone.At(instantUt);
    const Clock c = ClockOf(instantUt, reading.days);
    return calendar::FormatDayNumberIso8601(c.day) + " " + HourMinute(c.minutes) + " " + reading.text;
}

std::string UtcStamp(double instantUt) {
    std::string digits;
    for (const char c : UtcText(instantUt))
        if (c != '-' && c != ':') digits += c;
    return digits.substr(0, digits.size() - 1) + "00Z";
}

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
    row.push_back(Cell::Of(UtcText(moment->instantUt)));
    row.push_back(Cell::Of(LocalText(moment->instantUt, zone)));
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

// The columns of `table` from `first` on, aligned on the widest cell; empty cells "-".
std::string AlignedText(const ExportTable& table, std::size_t first) {
    std::vector<std::size_t> widths(table.columns.size(), 0);
    for (std::size_t c = first; c < table.columns.size(); ++c) {
        widths[c] = util::CharCount(table.columns[c]);
        for (const auto& row : table.rows)
            widths[c] = std::max(widths[c], std::max<std::size_t>(1, util::CharCount(row[c].text)));
    }
    const auto line = [&](const std::vector<std::string>& cells) {
        std::string text;
        for (std::size_t c = first; c < cells.size(); ++c) {
            const std::string& cell = cells[c].empty() ? std::string("-") : cells[c];
            text += cell;
            if (c + 1 < cells.size()) text += std::string(widths[c] - util::CharCount(cell) + 2, ' ');
        }
        return text + "\n";
    };
    std::string text = line(table.columns);
    for (const auto& row : table.rows) {
        std::vector<std::string> cells;
        for (const Cell& cell : row) cells.push_back(cell.text);
        text += line(cells);
    }
    return text;
}

}  // namespace

std::string BodyName(const CycleRunInputs& in) {
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
        row.push_back(Cell::Of(UtcText(i.instantUt)));
        row.push_back(Cell::Of(LocalText(i.instantUt, in.zone)));
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
            return m ? Cell::Of(LocalText(m->instantUt, in.zone)) : Cell{};
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
    return text + AlignedText(table, 0) +
           "\n\"-\": outside the range. Stations are the minutes at which the longitude turns; it moves\n"
           "less than 1\" in the hour around a station of Mercury, so a minute or two either way is\n"
           "within the ephemeris' own precision.\n";
}

std::string IngressText(const std::vector<cycles::Ingress>& list, const CycleRunInputs& in) {
    ExportTable table;
    table.columns = {"Entered", "Sign", "Direction"};
    for (const cycles::Ingress& i : list)
        table.rows.push_back({Cell::Of(LocalText(i.instantUt, in.zone)), Cell::Of(cycles::kSignNames[i.sign]),
                              Cell::Of(i.retrograde ? "retrograde" : "direct")});
    std::string text = Heading("Sign ingresses", in);
    if (list.empty()) return text + "No ingress in the range.\n";
    return text + AlignedText(table, 0);
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
        events.push_back({.uid = util::ToLower(body) + "-" + uid + "-" + UtcStamp(m->instantUt),
                          .startUtc = UtcStamp(m->instantUt),
                          .summary = body + " " + what,
                          .description = std::string(what) + " at " + SignText(m->longitude) + " (" +
                                         ZodiacName(in.zodiac) + "), " + LocalText(m->instantUt, in.zone)});
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
        events.push_back({.uid = util::ToLower(body) + "-ingress-" + UtcStamp(i.instantUt),
                          .startUtc = UtcStamp(i.instantUt),
                          .summary = body + " enters " + cycles::kSignNames[i.sign] +
                                     (i.retrograde ? " (retrograde)" : ""),
                          .description = std::string(in.heliocentric ? "Heliocentric, " : "Geocentric, ") +
                                         ZodiacName(in.zodiac) + ", " + LocalText(i.instantUt, in.zone)});
    return events;
}

}  // namespace kovo::exporting
