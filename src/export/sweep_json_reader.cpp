#include <charconv>
#include <cmath>

#include "calendar/calendar_services.h"
#include "calendar/iso_date.h"
#include "export/sweep_export.h"
#include "sweep/sweep_pairs.h"
#include "util/json_reader.h"

namespace kovo::exporting {

namespace {

using util::JsonValue;

// Reads the members of a sweep's JSON; the first problem is kept and stops it.
class SweepReader {
public:
    std::variant<sweep::SweepResult, std::string> Read(const JsonValue& root) {
        sweep::SweepResult r;
        const JsonValue* version = root.Find("kovoSweep");
        if (version == nullptr || version->kind != JsonValue::Kind::Number)
            return std::string("not the JSON of a sweep (kovo-report sweep --format json writes one)");
        if (version->number != 1) return std::string("a sweep of a later version of the program");
        if (!Text(root, "source", r.source) || !Text(root, "column", r.column) || !Day(root, "from", r.firstDay) ||
            !Day(root, "to", r.lastDay) || !Count(root, "closes", r.closes) || !Settings(root, r.request) ||
            !Units(root, r) || !Skipped(root, r) || !Rows(root, r))
            return error_;
        r.outcome = util::RunOutcome::Completed;
        r.count = sweep::RankRows(r.rows);
        return r;
    }

private:
    bool Fail(std::string what) {
        if (error_.empty()) error_ = std::move(what);
        return false;
    }
    const JsonValue* Member(const JsonValue& object, const char* key, JsonValue::Kind kind) {
        const JsonValue* value = object.Find(key);
        if (value == nullptr || value->kind != kind) {
            Fail(std::string("\"") + key + "\" is missing or not of its kind");
            return nullptr;
        }
        return value;
    }
    bool Text(const JsonValue& object, const char* key, std::string& out) {
        const JsonValue* value = Member(object, key, JsonValue::Kind::String);
        if (value != nullptr) out = value->string;
        return value != nullptr;
    }
    template <typename Int>
    bool Whole(const JsonValue& object, const char* key, Int& out, double lo, double hi) {
        const JsonValue* value = Member(object, key, JsonValue::Kind::Number);
        if (value == nullptr) return false;
        if (value->number != std::floor(value->number) || value->number < lo || value->number > hi)
            return Fail(std::string("\"") + key + "\" is out of its range");
        out = static_cast<Int>(value->number);
        return true;
    }
    bool Count(const JsonValue& object, const char* key, std::size_t& out) { return Whole(object, key, out, 0, 1e9); }
    bool Day(const JsonValue& object, const char* key, std::int32_t& out) {
        std::string text;
        if (!Text(object, key, text)) return false;
        const auto date = calendar::ParseIsoDate(text);
        const auto day = date ? calendar::DayNumberOf(*date) : std::nullopt;
        if (!day) return Fail(std::string("\"") + key + "\" is no date");
        out = *day;
        return true;
    }
    bool Side(const JsonValue& value, backtest::Side& out) {
        if (value.kind != JsonValue::Kind::String || (value.string != "long" && value.string != "short"))
            return Fail("a side is \"long\" or \"short\"");
        out = value.string == "long" ? backtest::Side::Long : backtest::Side::Short;
        return true;
    }

    bool Settings(const JsonValue& root, sweep::SweepRequest& q) {
        const JsonValue* s = Member(root, "settings", JsonValue::Kind::Object);
        if (s == nullptr) return false;
        const JsonValue* pairs = Member(*s, "pairs", JsonValue::Kind::Array);
        const JsonValue* aspects = Member(*s, "aspects", JsonValue::Kind::Array);
        const JsonValue* orbs = Member(*s, "orbs", JsonValue::Kind::Array);
        const JsonValue* sides = Member(*s, "sides", JsonValue::Kind::Array);
        const JsonValue* events = Member(*s, "events", JsonValue::Kind::Array);
        if (pairs == nullptr || aspects == nullptr || orbs == nullptr || sides == nullptr || events == nullptr) return false;
        for (const JsonValue& item : pairs->array) {
            if (item.kind != JsonValue::Kind::String) return Fail("a pair is a text such as \"Mars-Jupiter\"");
            auto parsed = sweep::ParsePairs(item.string);
            if (auto* why = std::get_if<std::string>(&parsed)) return Fail(*why);
            for (const sweep::SweepPair& pair : std::get<std::vector<sweep::SweepPair>>(parsed)) q.pairs.push_back(pair);
        }
        q.aspects.fill(false);
        for (const JsonValue& item : aspects->array) {
            if (item.kind != JsonValue::Kind::Number || item.number < 1 || item.number > 7 || item.number != std::floor(item.number))
                return Fail("an aspect is a number 1 to 7");
            q.aspects[static_cast<std::size_t>(item.number) - 1] = true;
        }
        if (orbs->array.size() != 3) return Fail("\"orbs\" holds three orbs");
        for (std::size_t i = 0; i < 3; ++i) {
            const JsonValue& orb = orbs->array[i];
            if (orb.kind != JsonValue::Kind::Number || orb.number < 1 || orb.number > 15 || orb.number != std::floor(orb.number))
                return Fail("an orb is a whole number of degrees, 1 to 15");
            q.orbDegrees[i] = static_cast<int>(orb.number);
        }
        q.sides.clear();
        for (const JsonValue& item : sides->array) {
            backtest::Side side{};
            if (!Side(item, side)) return false;
            q.sides.push_back(side);
        }
        q.events = {.aspects = false, .stations = false, .ingresses = false, .phases = false};
        for (const JsonValue& item : events->array) {
            const std::string name = item.kind == JsonValue::Kind::String ? item.string : "";
            if (name == "aspects") q.events.aspects = true;
            else if (name == "stations") q.events.stations = true;
            else if (name == "ingresses") q.events.ingresses = true;
            else if (name == "phases") q.events.phases = true;
            else return Fail("the events are aspects, stations, ingresses and phases");
        }
        std::string seed;
        if (!Whole(*s, "daysAfter", q.daysAfter, 0, 1000) || !Whole(*s, "daysAround", q.daysAround, 0, 1000) ||
            !Whole(*s, "permutations", q.permutations, 0, 1e7) || !Text(*s, "seed", seed))
            return false;
        // from_chars rather than stoull: a damaged seed beyond 64 bits must not throw.
        const auto parsed = std::from_chars(seed.data(), seed.data() + seed.size(), q.seed);
        if (seed.empty() || seed.find_first_not_of("0123456789") != std::string::npos || parsed.ec != std::errc() ||
            parsed.ptr != seed.data() + seed.size())
            return Fail("\"seed\" is a whole number from 0 to 18446744073709551615");
        const JsonValue* cost = Member(*s, "costBasisPoints", JsonValue::Kind::Number);
        if (cost == nullptr) return false;
        q.costBasisPoints = cost->number;
        const JsonValue* holdout = s->Find("holdout");
        if (holdout != nullptr && holdout->kind != JsonValue::Kind::Null) {
            std::int32_t day = 0;
            if (!Day(*s, "holdout", day)) return false;
            q.holdoutDay = day;
        }
        return true;
    }

    bool Unit(const JsonValue& value, sweep::SweepUnit& unit) {
        if (value.kind != JsonValue::Kind::Object) return Fail("a unit is an object");
        std::string kind;
        std::string centricity;
        if (!Text(value, "kind", kind) || !Text(value, "centricity", centricity)) return false;
        unit.pair.heliocentric = centricity == "helio";
        if (kind == "phases") {
            unit.kind = sweep::UnitKind::Lunar;
            return true;
        }
        std::string first;
        if (!Text(value, "first", first)) return false;
        const auto a = sweep::BodyNamed(first);
        if (!a) return Fail("\"" + first + "\" is no body");
        unit.pair.first = *a;
        unit.pair.second = *a;
        if (kind == "cycles") {
            unit.kind = sweep::UnitKind::Cycles;
            return true;
        }
        if (kind != "pair") return Fail("a unit is a pair, cycles or phases");
        std::string second;
        if (!Text(value, "second", second)) return false;
        const auto b = sweep::BodyNamed(second);
        if (!b) return Fail("\"" + second + "\" is no body");
        unit.pair.second = *b;
        return true;
    }

    bool Units(const JsonValue& root, sweep::SweepResult& r) {
        const JsonValue* units = Member(root, "units", JsonValue::Kind::Array);
        if (units == nullptr) return false;
        for (const JsonValue& item : units->array) {
            sweep::SweepUnit unit;
            if (!Unit(item, unit)) return false;
            r.units.push_back(unit);
        }
        return true;
    }

    bool Skipped(const JsonValue& root, sweep::SweepResult& r) {
        const JsonValue* skipped = Member(root, "skipped", JsonValue::Kind::Array);
        if (skipped == nullptr) return false;
        for (const JsonValue& item : skipped->array) {
            if (item.kind != JsonValue::Kind::String) return Fail("\"skipped\" holds texts");
            r.skipped.push_back(item.string);
        }
        return true;
    }

    bool Row(const JsonValue& value, sweep::SweepRow& row) {
        const JsonValue* unit = Member(value, "unit", JsonValue::Kind::Object);
        const JsonValue* side = Member(value, "side", JsonValue::Kind::String);
        if (unit == nullptr || side == nullptr || !Unit(*unit, row.unit) || !Side(*side, row.side) ||
            !Text(value, "rule", row.rule) || !Whole(value, "ruleIndex", row.ruleIndex, 0, 1000) ||
            !Whole(value, "aspect", row.aspect, 0, 7) || !Whole(value, "orb", row.orbDegrees, 0, 15))
            return false;
        for (std::size_t f = 0; f < sweep::kFigureCount; ++f) {
            const char* key = sweep::FigureKey(static_cast<sweep::Figure>(f));
            const JsonValue* figure = value.Find(key);
            if (figure == nullptr || figure->kind == JsonValue::Kind::Null) continue;
            if (figure->kind != JsonValue::Kind::Number) return Fail(std::string("\"") + key + "\" is not a number");
            row.figures[f] = figure->number;
        }
        return true;
    }

    bool Rows(const JsonValue& root, sweep::SweepResult& r) {
        const JsonValue* rows = Member(root, "rows", JsonValue::Kind::Array);
        if (rows == nullptr) return false;
        for (std::size_t i = 0; i < rows->array.size(); ++i) {
            sweep::SweepRow row;
            if (!Row(rows->array[i], row)) {
                error_ = "row " + std::to_string(i + 1) + ": " + error_;
                return false;
            }
            r.rows.push_back(std::move(row));
        }
        return true;
    }

    std::string error_;
};

}  // namespace

std::variant<sweep::SweepResult, std::string> ReadSweepJson(const std::string& text) {
    auto document = util::ReadJson(text);
    if (auto* why = std::get_if<std::string>(&document)) return *why;
    const JsonValue& root = std::get<JsonValue>(document);
    if (root.kind != JsonValue::Kind::Object)
        return std::string("not the JSON of a sweep (kovo-report sweep --format json writes one)");
    return SweepReader().Read(root);
}

}  // namespace kovo::exporting
