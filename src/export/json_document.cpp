#include "export/json_document.h"

#include <cstdio>

#include "astro/catalogue.h"
#include "calendar/calendar_services.h"
#include "export/export_table.h"
#include "transits/local_time.h"
#include "util/json_text.h"

namespace kovo::exporting {

namespace {

std::string Member(const std::string& name, const std::string& value) { return util::JsonString(name) + ": " + value; }

// The rows as an array of objects, one object to a line.
std::string RowArray(const ExportTable& table) {
    if (table.rows.empty()) return "[]";
    std::string out = "[\n";
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        out += "    {";
        for (std::size_t c = 0; c < table.columns.size(); ++c)
            out += (c > 0 ? ", " : "") + Member(table.columns[c], JsonValue(table.rows[r][c]));
        out += r + 1 < table.rows.size() ? "},\n" : "}\n";
    }
    return out + "  ]";
}

// The members of an object, each on its own line at the given indent.
std::string Object(const std::vector<std::string>& members, const std::string& indent) {
    std::string out = "{\n";
    for (std::size_t i = 0; i < members.size(); ++i)
        out += indent + "  " + members[i] + (i + 1 < members.size() ? ",\n" : "\n");
    return out + indent + "}";
}

std::string Date(std::int32_t day) { return util::JsonString(calendar::FormatDayNumberIso8601(day)); }

std::string OutcomeWord(util::RunOutcome outcome) {
    switch (outcome) {
        case util::RunOutcome::Refused: return "refused";
        case util::RunOutcome::Completed: return "completed";
        case util::RunOutcome::NotFound: return "not-found";
        case util::RunOutcome::Stopped: return "stopped";
        case util::RunOutcome::Failed: break;
    }
    return "failed";
}

std::string Orbs(const std::array<int, 3>& orbs) {
    return "[" + std::to_string(orbs[0]) + ", " + std::to_string(orbs[1]) + ", " + std::to_string(orbs[2]) + "]";
}

template <typename Checked>
std::string AspectList(Checked checked) {
    std::string out = "[";
    for (int a = 1; a <= 7; ++a)
        if (checked(a)) out += (out.size() > 1 ? ", " : "") + util::JsonString(AspectWord(a));
    return out + "]";
}

std::string TransitInputs(const std::vector<const transits::TransitResult*>& scanned) {
    if (scanned.empty()) return "null";
    const transits::TransitRunParams& p = scanned.front()->inputs;
    const transits::LocalTime zone = transits::LocalTimeAt(p, p.startDay - 0.5);
    std::vector<std::string> pairs;
    for (const transits::TransitResult* r : scanned) {
        pairs.push_back(Object({Member("first", util::JsonString(r->inputs.firstName)),
                                Member("second", util::JsonString(r->inputs.secondName)),
                                Member("from", Date(r->inputs.startDay)), Member("to", Date(r->inputs.endDay))},
                               "      "));
    }
    std::string pairList = "[\n";
    for (std::size_t i = 0; i < pairs.size(); ++i) pairList += "      " + pairs[i] + (i + 1 < pairs.size() ? ",\n" : "\n");
    pairList += "    ]";
    std::vector<std::string> members{
        Member("centricity", util::JsonString(p.heliocentric ? "heliocentric" : "geocentric")),
        Member("time_zone", "{" + Member("label", util::JsonString(p.ZoneName())) + ", " +
                                Member("offset_minutes", std::to_string(zone.offsetMinutes)) + "}"),
        Member("orbs_degrees", Orbs(p.orbDegrees)),
        Member("aspects", AspectList([&p](int a) { return p.aspects[static_cast<std::size_t>(a)]; })),
        Member("pairs", pairList)};
    return Object(members, "  ");
}

std::string RunKindWord(const std::vector<const transits::TransitResult*>& scanned) {
    if (scanned.empty()) return "transits";
    switch (scanned.front()->inputs.kind) {
        case transits::RunKind::Search: return "search";
        case transits::RunKind::AllTransits: return "all-transits";
        case transits::RunKind::TwoPlanet: break;
    }
    return "transits";
}

}  // namespace

std::string TransitJson(const std::vector<const transits::TransitResult*>& results, util::RunOutcome outcome) {
    // A refused pair holds no inputs: only the scanned ones describe the run.
    std::vector<const transits::TransitResult*> scanned;
    for (const transits::TransitResult* r : results)
        if (r->outcome != util::RunOutcome::Refused) scanned.push_back(r);
    return Object({Member("format", util::JsonString("kovo-results")), Member("version", "1"),
                   Member("run", util::JsonString(RunKindWord(scanned))), Member("outcome", util::JsonString(OutcomeWord(outcome))),
                   Member("inputs", TransitInputs(scanned)), Member("periods", RowArray(TransitTable(scanned)))},
                  "") +
           "\n";
}

std::string SimulationJson(const simulation::SimulationRun& run) {
    const simulation::SimulationRequest& p = run.inputs;
    const std::string inputs = Object(
        {Member("first", util::JsonString(astro::PlanetName(astro::PlanetIndex(p.first), true, false))),
         Member("second", util::JsonString(astro::PlanetName(astro::PlanetIndex(p.second), true, false))),
         Member("centricity", util::JsonString("heliocentric")), Member("from", Date(p.startDay)), Member("to", Date(p.endDay)),
         Member("orbs_degrees", Orbs(p.orbDegrees)),
         Member("aspects", AspectList([&p](int a) { return p.aspectChecked[static_cast<std::size_t>(a - 1)]; })),
         Member("include_details", p.includeDetails ? "true" : "false")},
        "  ");
    return Object({Member("format", util::JsonString("kovo-results")), Member("version", "1"),
                   Member("run", util::JsonString("simulation")),
                   Member("outcome", util::JsonString(OutcomeWord(simulation::ToRunOutcome(run.outcome)))),
                   Member("inputs", inputs), Member("events", RowArray(SimulationEventTable(run))),
                   Member("summary", RowArray(SimulationSummaryTable(run)))},
                  "") +
           "\n";
}

std::string JsonValue(const Cell& cell) {
    switch (cell.kind) {
        case Cell::Kind::Empty: return "null";
        case Cell::Kind::Number:
        case Cell::Kind::Boolean: return cell.text;
        case Cell::Kind::Text: break;
    }
    return util::JsonString(cell.text);
}

std::string CompactObject(const std::vector<std::pair<std::string, std::string>>& members) {
    std::string out = "{";
    for (std::size_t i = 0; i < members.size(); ++i)
        out += (i > 0 ? "," : "") + util::JsonString(members[i].first) + ":" + members[i].second;
    return out + "}";
}

std::string CompactArray(const std::vector<std::string>& values) {
    std::string out = "[";
    for (std::size_t i = 0; i < values.size(); ++i) out += (i > 0 ? "," : "") + values[i];
    return out + "]";
}

}  // namespace kovo::exporting
