#include "report/sweep_options.h"

#include <charconv>
#include <thread>

#include "calendar/calendar_services.h"
#include "calendar/iso_date.h"
#include "report/cli_options.h"
#include "sweep/sweep_pairs.h"
#include "util/input_file.h"
#include "util/text.h"

namespace kovo::report {

namespace {

std::string Day(const std::string& option, const std::string& text, std::optional<std::int32_t>& day) {
    const auto date = calendar::ParseIsoDate(text);
    if (!date) return option + ": dates are written YYYY-MM-DD";
    day = calendar::DayNumberOf(*date);
    return day ? "" : option + " " + text + ": the calendar has no such day";
}

// A whole number in lo..hi, or nothing.
std::optional<long long> Whole(const std::string& text, long long lo, long long hi) {
    long long value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size() || value < lo || value > hi)
        return std::nullopt;
    return value;
}

std::string Events(const std::string& text, sweep::SweepEvents& events) {
    events = {.aspects = false, .stations = false, .ingresses = false, .phases = false};
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        const std::string item = util::ToLower(text.substr(start, comma - start));
        start = comma + 1;
        if (item == "aspects") events.aspects = true;
        else if (item == "stations") events.stations = true;
        else if (item == "ingresses") events.ingresses = true;
        else if (item == "phases") events.phases = true;
        else return "--events takes a list of aspects, stations, ingresses and phases";
    }
    return {};
}

std::string Value(const std::string& a, const std::string& value, SweepOptions& o, std::vector<std::string>& shared) {
    sweep::SweepRequest& q = o.request;
    if (a == "--prices") {
        o.pricesPath = value;
    } else if (a == "-o" || a == "--periods-out") {
        if (value.empty()) return a + " takes a file name";
        (a == "-o" ? o.outputPath : o.periodsPath) = value;
    } else if (a == "--format") {
        if (value == "text") o.format = SweepFormat::Text;
        else if (value == "csv") o.format = SweepFormat::Csv;
        else if (value == "json") o.format = SweepFormat::Json;
        else return "--format takes text, csv or json";
    } else if (a == "--from" || a == "--to" || a == "--holdout") {
        return Day(a, value, a == "--from" ? q.fromDay : a == "--to" ? q.toDay : q.holdoutDay);
    } else if (a == "--pairs") {
        auto pairs = sweep::ParsePairs(value);
        if (auto* why = std::get_if<std::string>(&pairs)) return "--pairs: " + *why;
        q.pairs = std::get<std::vector<sweep::SweepPair>>(pairs);
    } else if (a == "--aspects" || a == "--orbs") {
        shared.push_back(a);
        shared.push_back(value);
    } else if (a == "--direction") {
        if (value == "long") q.sides = {backtest::Side::Long};
        else if (value == "short") q.sides = {backtest::Side::Short};
        else if (value == "both") q.sides = {backtest::Side::Long, backtest::Side::Short};
        else return "--direction takes long, short or both";
    } else if (a == "--permutations") {
        const auto n = Whole(value, 0, 1000000);
        if (!n) return "--permutations takes a whole number from 0 to 1000000";
        q.permutations = static_cast<int>(*n);
    } else if (a == "--seed") {
        const auto seed = ParseSeed(value);
        if (!seed) return kSeedProblem;
        q.seed = *seed;
    } else if (a == "--jobs") {
        const auto n = Whole(value, 1, 256);
        if (!n) return "--jobs takes a number of threads from 1 to 256";
        q.jobs = static_cast<int>(*n);
    } else if (a == "--cost-bp") {
        const auto n = Whole(value, 0, 1000);
        if (!n) return "--cost-bp takes whole basis points from 0 to 1000";
        q.costBasisPoints = static_cast<double>(*n);
    } else if (a == "--events") {
        return Events(value, q.events);
    } else if (a == "--days-after" || a == "--days-around") {
        const bool after = a == "--days-after";
        const auto n = Whole(value, 1, after ? 250 : 60);
        if (!n) return a + (after ? " takes a whole number of trading days from 1 to 250" : " takes a whole number of trading days from 1 to 60");
        (after ? q.daysAfter : q.daysAround) = static_cast<int>(*n);
    }
    return {};
}

bool TakesValue(const std::string& a) {
    for (const char* name : {"--prices", "-o", "--periods-out", "--format", "--from", "--to", "--holdout", "--pairs",
                             "--aspects", "--orbs", "--direction", "--permutations", "--seed", "--jobs", "--cost-bp",
                             "--events", "--days-after", "--days-around"})
        if (a == name) return true;
    return false;
}

// Whether two paths name one file (or the same name before either exists).
bool SameFile(const std::string& a, const std::string& b) {
    const util::FileIdentity x = util::IdentityOf(a);
    return a == b || (x.Known() && x == util::IdentityOf(b));
}

}  // namespace

bool PeriodsAsJsonLines(const std::string& path) {
    const std::string lower = util::ToLower(path);
    for (const char* ext : {".jsonl", ".ndjson", ".json"})
        if (lower.size() > std::string(ext).size() && lower.ends_with(ext)) return true;
    return false;
}

std::string ParseSweepOptions(const std::vector<std::string>& args, SweepOptions& o) {
    o.request.pairs = sweep::AllPairs(false);
    for (const sweep::SweepPair& pair : sweep::AllPairs(true)) o.request.pairs.push_back(pair);
    o.request.jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    std::vector<std::string> shared{"transits"};
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            o.help = true;
            return {};
        }
        if (!TakesValue(a)) return a.rfind("-", 0) == 0 ? "unknown option '" + a + "'" : "unexpected argument '" + a + "'";
        if (i + 1 >= args.size()) return "option '" + a + "' needs a value";
        if (std::string problem = Value(a, args[++i], o, shared); !problem.empty()) return problem;
    }
    const ParseResult parsed = ParseCommandLine(shared);
    if (!parsed.error.empty()) return parsed.error;
    o.request.aspects = parsed.options.aspects;
    o.request.orbDegrees = parsed.options.orbs;
    if (o.pricesPath.empty()) return "--prices FILE.csv is needed";
    if (!o.request.events.Any()) return "--events takes at least one kind of event";
    if (o.request.fromDay && o.request.toDay && *o.request.fromDay > *o.request.toDay)
        return "--from is after --to";
    for (const std::string* path : {&o.outputPath, &o.periodsPath})
        if (!path->empty() && SameFile(*path, o.pricesPath))
            return std::string(path == &o.outputPath ? "-o" : "--periods-out") + " names the --prices file, which would be lost";
    if (!o.outputPath.empty() && !o.periodsPath.empty() && SameFile(o.outputPath, o.periodsPath))
        return "--periods-out and -o name the same file";
    if (!o.periodsPath.empty() && !o.request.events.aspects)
        return "--periods-out writes the pairs' in-orb periods: --events must include aspects";
    return {};
}

}  // namespace kovo::report
