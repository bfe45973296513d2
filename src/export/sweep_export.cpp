#include "export/sweep_export.h"

#include <charconv>
#include <cmath>

#include "astro/catalogue.h"
#include "backtest/backtest_table.h"
#include "backtest/text_columns.h"
#include "calendar/calendar_services.h"
#include "export/delimited_text.h"
#include "export/json_document.h"
#include "export/minute_text.h"
#include "sweep/sweep_pairs.h"
#include "util/json_text.h"

namespace kovo::exporting {

namespace {

using backtest::Fixed;
using backtest::Left;
using backtest::Right;
using sweep::Figure;
using sweep::SweepResult;
using sweep::SweepRow;

std::string Date(std::int32_t day) { return calendar::FormatDayNumberIso8601(day); }

bool HasHoldout(const SweepResult& r) { return r.request.holdoutDay.has_value(); }

std::string Plural(std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// "long", "short" or "long and short".
std::string SidesText(const std::vector<backtest::Side>& sides) {
    std::string text;
    for (std::size_t i = 0; i < sides.size(); ++i) text += (i == 0 ? "" : " and ") + std::string(backtest::SideName(sides[i]));
    return text;
}

std::string AspectsText(const std::array<bool, 7>& aspects) {
    std::string text;
    int count = 0;
    for (std::size_t a = 0; a < aspects.size(); ++a)
        if (aspects[a]) {
            text += (count++ == 0 ? "" : ", ") + std::string(astro::AspectName[a + 1]);
        }
    return count == 7 ? "all 7 aspects" : text;
}

std::string UnitsText(const SweepResult& r) {
    std::size_t geo = 0;
    std::size_t helio = 0;
    std::size_t bodies = 0;
    bool moon = false;
    for (const sweep::SweepUnit& unit : r.units) {
        if (unit.kind == sweep::UnitKind::Pair) (unit.pair.heliocentric ? helio : geo) += 1;
        bodies += unit.kind == sweep::UnitKind::Cycles ? 1 : 0;
        moon = moon || unit.kind == sweep::UnitKind::Lunar;
    }
    std::vector<std::string> parts;
    if (geo + helio > 0) {
        std::string pairs = Plural(geo + helio, "pair", "pairs") + " (";
        if (geo > 0) pairs += std::to_string(geo) + " geocentric";
        if (geo > 0 && helio > 0) pairs += ", ";
        if (helio > 0) pairs += std::to_string(helio) + " heliocentric";
        const auto& orbs = r.request.orbDegrees;
        parts.push_back(pairs + "), " + AspectsText(r.request.aspects) + " at orbs " + std::to_string(orbs[0]) + "/" +
                        std::to_string(orbs[1]) + "/" + std::to_string(orbs[2]));
    }
    if (bodies > 0) {
        const sweep::SweepEvents& e = r.request.events;
        parts.push_back(std::string(e.stations && e.ingresses ? "retrograde cycles and ingresses"
                                    : e.stations              ? "retrograde cycles"
                                                              : "ingresses") +
                        " of " + Plural(bodies, "body", "bodies") + " (+" + std::to_string(r.request.daysAfter) + "d)");
    }
    if (moon) parts.push_back("the Moon's phases (\u00b1" + std::to_string(r.request.daysAround) + "d)");
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i) text += (i == 0 ? "" : "; ") + parts[i];
    return text;
}

// The figures the text table shows, with their headers and widths.
struct TextColumn {
    Figure figure;
    const char* header;
    std::size_t width;
};
constexpr TextColumn kTextColumns[] = {
    {Figure::Trades, "Trades", 7},        {Figure::ProfitablePct, "Profit%", 9}, {Figure::MeanPct, "Mean%", 8},
    {Figure::MedianPct, "Median%", 9},    {Figure::TotalPct, "Total%", 10},      {Figure::AnnualPct, "Annual%", 9},
    {Figure::MaxDrawdownPct, "MaxDD%", 8}, {Figure::DaysHeld, "Days", 7},         {Figure::InMarketPct, "InMkt%", 8},
    {Figure::BaselinePct, "Base%", 8},    {Figure::ExcessPct, "Excess%", 9},     {Figure::P, "p", 8},
    {Figure::Q, "q", 8},                  {Figure::CiLowPct, "CI low", 9},       {Figure::CiHighPct, "CI high", 9}};
constexpr TextColumn kHoldoutColumns[] = {{Figure::BeforeExcessPct, "In exc%", 9},
                                          {Figure::BeforeP, "In p", 8},
                                          {Figure::AfterExcessPct, "Out exc%", 10},
                                          {Figure::AfterP, "Out p", 8}};

std::string FigureText(const SweepRow& row, Figure figure) { return Fixed(row[figure], sweep::FigureDecimals(figure)); }

std::string OrbText(const SweepRow& row) { return row.aspect == 0 ? "" : std::to_string(row.orbDegrees) + "\u00b0"; }

std::string HeldText(const SweepRow& row) {
    const auto held = row.Held();
    return held ? (*held ? "yes" : "no") : "-";
}

// A number as the shortest text that reads back to the same double.
std::string ShortestNumber(double value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string JsonNumber(const std::optional<double>& value) {
    return value && std::isfinite(*value) ? ShortestNumber(*value) : "null";
}

const char* KindName(sweep::UnitKind kind) {
    switch (kind) {
        case sweep::UnitKind::Pair:
            return "pair";
        case sweep::UnitKind::Cycles:
            return "cycles";
        case sweep::UnitKind::Lunar:
            break;
    }
    return "phases";
}

std::string JsonUnit(const sweep::SweepUnit& unit) {
    const auto body = [&](astro::Body b) {
        return util::JsonString(astro::TransitBodyName(astro::PlanetIndex(b), unit.pair.heliocentric));
    };
    std::vector<std::pair<std::string, std::string>> members{{"kind", util::JsonString(KindName(unit.kind))}};
    if (unit.kind != sweep::UnitKind::Lunar) members.emplace_back("first", body(unit.pair.first));
    if (unit.kind == sweep::UnitKind::Pair) members.emplace_back("second", body(unit.pair.second));
    members.emplace_back("centricity", util::JsonString(sweep::UnitCentricity(unit)));
    return CompactObject(members);
}

std::string JsonRow(const SweepRow& row) {
    std::vector<std::pair<std::string, std::string>> members{
        {"unit", JsonUnit(row.unit)},
        {"pair", util::JsonString(sweep::UnitName(row.unit))},
        {"side", util::JsonString(backtest::SideName(row.side))},
        {"rule", util::JsonString(row.rule)},
        {"ruleIndex", std::to_string(row.ruleIndex)},
        {"aspect", std::to_string(row.aspect)},
        {"orb", std::to_string(row.orbDegrees)}};
    for (std::size_t f = 0; f < sweep::kFigureCount; ++f)
        members.emplace_back(sweep::FigureKey(static_cast<Figure>(f)), JsonNumber(row.figures[f]));
    members.emplace_back("passes", row.Survives() ? "true" : "false");
    return CompactObject(members);
}

std::string JsonSettings(const SweepResult& r) {
    const sweep::SweepRequest& q = r.request;
    std::vector<std::string> pairs;
    for (const sweep::SweepPair& pair : q.pairs) pairs.push_back(util::JsonString(sweep::PairListItem(pair)));
    std::vector<std::string> aspects;
    for (std::size_t a = 0; a < q.aspects.size(); ++a)
        if (q.aspects[a]) aspects.push_back(std::to_string(a + 1));
    std::vector<std::string> sides;
    for (const backtest::Side side : q.sides) sides.push_back(util::JsonString(backtest::SideName(side)));
    std::vector<std::string> events;
    const std::pair<bool, const char*> kinds[] = {{q.events.aspects, "aspects"},
                                                  {q.events.stations, "stations"},
                                                  {q.events.ingresses, "ingresses"},
                                                  {q.events.phases, "phases"}};
    for (const auto& [on, name] : kinds)
        if (on) events.push_back(util::JsonString(name));
    return CompactObject({{"pairs", CompactArray(pairs)},
                          {"aspects", CompactArray(aspects)},
                          {"orbs", CompactArray({std::to_string(q.orbDegrees[0]), std::to_string(q.orbDegrees[1]),
                                                 std::to_string(q.orbDegrees[2])})},
                          {"sides", CompactArray(sides)},
                          {"events", CompactArray(events)},
                          {"daysAfter", std::to_string(q.daysAfter)},
                          {"daysAround", std::to_string(q.daysAround)},
                          {"holdout", q.holdoutDay ? util::JsonString(Date(*q.holdoutDay)) : "null"},
                          {"permutations", std::to_string(q.permutations)},
                          // A string: a 64-bit seed does not fit a JSON number's double.
                          {"seed", util::JsonString(std::to_string(q.seed))},
                          {"costBasisPoints", ShortestNumber(q.costBasisPoints)}});
}

}  // namespace

std::string SweepHeading(const SweepResult& r) {
    std::string text = "Research sweep of " + UnitsText(r) + ", " + SidesText(r.request.sides) + "\n";
    text += Date(r.firstDay) + " to " + Date(r.lastDay) + ", " + std::to_string(r.closes) + " closes" +
            (r.source.empty() ? "" : " of " + r.source) + (r.column.empty() ? "" : ", column " + r.column) + "\n";
    const std::size_t untested = r.rows.size() - static_cast<std::size_t>(r.count.tested);
    text += Plural(static_cast<std::size_t>(r.count.tested), "rule", "rules") + " tested" +
            (untested > 0 ? " (" + std::to_string(untested) + " more without trades or p)" : "") + ", " +
            std::to_string(r.count.passing) + " with q < " + Fixed(backtest::kDiscoveryThreshold, 2) +
            " (Benjamini-Hochberg over every rule of the sweep); " + std::to_string(r.request.permutations) +
            " circular shifts and bootstrap resamples per rule, seed " + std::to_string(r.request.seed);
    if (r.request.costBasisPoints > 0) text += ", costs " + Fixed(r.request.costBasisPoints, 2) + " bp a side";
    text += "\n";
    if (HasHoldout(r)) text += "Hold-out from " + Date(*r.request.holdoutDay) + ": each side evaluated alone.\n";
    for (const std::string& line : r.skipped) text += "Not tested: " + line + "\n";
    return text;
}

namespace {

// Each figure's width: its usual one, or wider where a cell would touch its neighbour (a
// total return of a century can reach seven digits).
std::vector<std::pair<TextColumn, std::size_t>> FigureColumns(const SweepResult& r) {
    std::vector<std::pair<TextColumn, std::size_t>> columns;
    for (const TextColumn& c : kTextColumns) columns.emplace_back(c, c.width);
    if (HasHoldout(r))
        for (const TextColumn& c : kHoldoutColumns) columns.emplace_back(c, c.width);
    for (auto& [column, width] : columns)
        for (const SweepRow& row : r.rows) width = std::max(width, FigureText(row, column.figure).size() + 2);
    return columns;
}

}  // namespace

std::string SweepText(const SweepResult& r) {
    std::size_t pairWidth = 4;
    std::size_t ruleWidth = 4;
    for (const SweepRow& row : r.rows) {
        pairWidth = std::max(pairWidth, sweep::UnitName(row.unit).size());
        ruleWidth = std::max(ruleWidth, row.rule.size());
    }
    const auto columns = FigureColumns(r);
    std::string text = SweepHeading(r) + "\n";
    std::string header = Right("Rank", 5) + "  " + Left("Pair", pairWidth + 2) + Left("Ctr", 7) + Left("Side", 7) +
                         Left("Rule", ruleWidth + 2) + Left("Orb", 4);
    for (const auto& [column, width] : columns) header += Right(column.header, width);
    text += header + (HasHoldout(r) ? "  Held" : "") + "  Pass\n";
    for (std::size_t i = 0; i < r.rows.size(); ++i) {
        const SweepRow& row = r.rows[i];
        std::string line = Right(std::to_string(i + 1), 5) + "  " + Left(sweep::UnitName(row.unit), pairWidth + 2) +
                           Left(sweep::UnitCentricity(row.unit), 7) + Left(backtest::SideName(row.side), 7) +
                           Left(row.rule, ruleWidth + 2) + Left(OrbText(row), 4);
        for (const auto& [column, width] : columns) line += Right(FigureText(row, column.figure), width);
        if (HasHoldout(r)) line += Right(HeldText(row), 6);
        text += line + (row.Survives() ? "  yes" : "") + "\n";
    }
    text += "\nRanked by q, then p. Each row is one rule of a backtest with its figures: Profit% the share of\n"
            "trades that gained, Total% all trades compounded, Annual% that over the whole range, MaxDD% the\n"
            "deepest fall of the equity, Days the calendar days held on average, InMkt% the share of the range\n"
            "in a trade. Base% is the mean return of random holds of the same lengths, Excess% the rule's mean\n"
            "trade return above it; p is the one-sided circular-shift p-value, CI the bootstrap 95 % interval\n"
            "of the mean trade return, q the Benjamini-Hochberg q-value over all rules of the sweep. Pass:\n"
            "q below " + Fixed(backtest::kDiscoveryThreshold, 2) +
            ". With many rules tested, a small p alone is expected by chance; q accounts for them.\n";
    if (HasHoldout(r))
        text += "In and Out: the rule on the closes before the hold-out and from it on; Held: whether the excess\n"
                "kept its sign out of sample.\n";
    return text;
}

ExportTable SweepTable(const SweepResult& r) {
    ExportTable table;
    table.columns = {"rank", "pair", "centricity", "side", "rule", "aspect", "orb"};
    const std::size_t figures = HasHoldout(r) ? sweep::kFigureCount : static_cast<std::size_t>(Figure::BeforeTrades);
    for (std::size_t f = 0; f < figures; ++f) table.columns.push_back(sweep::FigureKey(static_cast<Figure>(f)));
    table.columns.push_back("passes");
    if (HasHoldout(r)) table.columns.push_back("held");
    for (std::size_t i = 0; i < r.rows.size(); ++i) {
        const SweepRow& row = r.rows[i];
        std::vector<Cell> cells{Cell::Number(std::to_string(i + 1)),
                                Cell::Of(sweep::UnitName(row.unit)),
                                Cell::Of(sweep::UnitCentricity(row.unit)),
                                Cell::Of(backtest::SideName(row.side)),
                                Cell::Of(row.rule),
                                row.aspect == 0 ? Cell{} : Cell::Of(astro::AspectName[static_cast<std::size_t>(row.aspect)]),
                                row.aspect == 0 ? Cell{} : Cell::Number(std::to_string(row.orbDegrees))};
        for (std::size_t f = 0; f < figures; ++f) {
            const std::string text = FigureText(row, static_cast<Figure>(f));
            cells.push_back(text == "-" ? Cell{} : Cell::Number(text));
        }
        cells.push_back(Cell::Flag(row.Survives()));
        if (HasHoldout(r)) {
            const auto held = row.Held();
            cells.push_back(held ? Cell::Flag(*held) : Cell{});
        }
        table.rows.push_back(std::move(cells));
    }
    return table;
}

std::string SweepCsv(const SweepResult& r) { return CsvText(SweepTable(r), LineEnd::Lf); }

std::string SweepJson(const SweepResult& r) {
    std::vector<std::string> units;
    for (const sweep::SweepUnit& unit : r.units) units.push_back(JsonUnit(unit));
    std::vector<std::string> skipped;
    for (const std::string& line : r.skipped) skipped.push_back(util::JsonString(line));
    std::vector<std::string> rows;
    for (const SweepRow& row : r.rows) rows.push_back(JsonRow(row));
    return CompactObject({{"kovoSweep", "1"},
                          {"source", util::JsonString(r.source)},
                          {"column", util::JsonString(r.column)},
                          {"from", util::JsonString(Date(r.firstDay))},
                          {"to", util::JsonString(Date(r.lastDay))},
                          {"closes", std::to_string(r.closes)},
                          {"settings", JsonSettings(r)},
                          {"units", CompactArray(units)},
                          {"skipped", CompactArray(skipped)},
                          {"rulesTested", std::to_string(r.count.tested)},
                          {"rulesPassing", std::to_string(r.count.passing)},
                          {"rows", CompactArray(rows)}}) +
           "\n";
}

ExportTable SweepPeriodsTable(const SweepResult& r) {
    static constexpr const char* kLevels[] = {"outer", "middle", "inner"};
    ExportTable table;
    table.columns = {"pair", "centricity", "aspect", "orb_level", "orb", "entry_date", "exit_date", "exact_utc"};
    for (const sweep::SweepPeriod& p : r.periods) {
        std::string exacts;
        for (const double ut : p.exactUt) exacts += (exacts.empty() ? "" : ";") + MinuteUtcText(ut);
        table.rows.push_back({Cell::Of(sweep::PairLabel(p.pair)),
                              Cell::Of(p.pair.heliocentric ? "helio" : "geo"),
                              Cell::Of(astro::AspectName[static_cast<std::size_t>(p.aspect)]),
                              Cell::Of(kLevels[p.level]),
                              Cell::Number(std::to_string(p.orbDegrees)),
                              p.entryDay ? Cell::Of(Date(*p.entryDay)) : Cell{},
                              p.exitDay ? Cell::Of(Date(*p.exitDay)) : Cell{},
                              exacts.empty() ? Cell{} : Cell::Of(exacts)});
    }
    return table;
}

std::string SweepPeriodsCsv(const SweepResult& r) { return CsvText(SweepPeriodsTable(r), LineEnd::Lf); }

std::string SweepPeriodsJsonLines(const SweepResult& r) {
    const ExportTable table = SweepPeriodsTable(r);
    std::string text;
    for (std::size_t i = 0; i < table.rows.size(); ++i) {
        std::vector<std::pair<std::string, std::string>> members;
        for (std::size_t c = 0; c + 1 < table.columns.size(); ++c)
            members.emplace_back(table.columns[c], JsonValue(table.rows[i][c]));
        std::vector<std::string> exacts;
        for (const double ut : r.periods[i].exactUt) exacts.push_back(util::JsonString(MinuteUtcText(ut)));
        members.emplace_back("exact_utc", CompactArray(exacts));
        text += CompactObject(members) + "\n";
    }
    return text;
}

}  // namespace kovo::exporting
