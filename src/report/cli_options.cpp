#include "report/cli_options.h"

#include <charconv>
#include <cstdlib>
#include <map>
#include <sstream>
#include <variant>

#include "astro/catalogue.h"
#include "calendar/time_zones.h"
#include "platform/named_time_zone.h"
#include "points/degree_text.h"
#include "util/text.h"

namespace kovo::report {

namespace {

const std::map<std::string, Command> kCommands = {{"transits", Command::Transits}, {"search", Command::Search},
                                                  {"all", Command::All},           {"simulate", Command::Simulate},
                                                  {"positions", Command::Positions}, {"chart", Command::Chart}};

const char* const kAspectAbbreviations[] = {"con", "opp", "sqr", "tri", "sxt", "ssx", "qui"};
const char* const kAspectNames[] = {"conjunction", "opposition", "square", "trine", "sextile", "semisextile", "quincunx"};

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator)) parts.push_back(part);
    return parts;
}

bool WholeNumber(const std::string& text, int lo, int hi, int& out) {
    if (text.empty() || text.size() > 6) return false;
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || v < lo || v > hi) return false;
    out = static_cast<int>(v);
    return true;
}


bool ParseAspects(const std::string& text, std::array<bool, 7>& aspects) {
    aspects.fill(util::ToLower(text) == "all");
    if (aspects[0]) return true;
    if (util::ToLower(text) == "none") return true;
    for (const auto& part : Split(text, ',')) {
        const int a = AspectFromText(part);
        if (a == 0) return false;
        aspects[static_cast<std::size_t>(a - 1)] = true;
    }
    return true;
}

bool ParseOrbs(const std::string& text, std::array<int, 3>& orbs) {
    const auto parts = Split(text, ',');
    if (parts.size() != 3) return false;
    for (std::size_t i = 0; i < 3; ++i)
        if (!WholeNumber(parts[i], 1, 15, orbs[i])) return false;
    return true;
}

bool ParseStep(const std::string& text, double& days) {
    if (text.size() < 2) return false;
    int n = 0;
    if (!WholeNumber(text.substr(0, text.size() - 1), 1, 100000, n)) return false;
    switch (text.back()) {
        case 'd': days = n; return true;
        case 'h': days = n / 24.0; return true;
        case 'm': days = n / 1440.0; return true;
        default: return false;
    }
}

bool IsValueOption(const std::string& name) {
    static const char* const names[] = {"--first", "--second", "--body",   "--from", "--to",   "--aspects",
                                        "--orbs",  "--tz",     "--aspect", "--orb",  "--when", "--keep",
                                        "--index-file", "--step", "--limit", "--format", "-o",
                                        "--output", "--size"};
    for (const char* n : names)
        if (name == n) return true;
    return false;
}

std::string ApplyChartOption(CliOptions& o, const std::string& name, const std::string& value) {
    if (name == "--output") {
        const std::string lower = util::ToLower(value);
        const auto ends = [&lower](const char* suffix) {
            const std::string s(suffix);
            return lower.size() > s.size() && lower.compare(lower.size() - s.size(), s.size(), s) == 0;
        };
        if (!ends(".svg") && !ends(".png")) return "-o takes a file name ending in .svg or .png";
        o.chartPath = value;
        return {};
    }
    const auto x = value.find('x');
    if (x == std::string::npos || !WholeNumber(value.substr(0, x), 200, 10000, o.chartWidth) ||
        !WholeNumber(value.substr(x + 1), 200, 10000, o.chartHeight))
        return "--size takes WIDTHxHEIGHT in pixels, each 200 to 10000, e.g. 1600x900";
    return {};
}

// The chart command's first word names the run it draws; transits when none does.
std::size_t ParseChartRun(const std::vector<std::string>& args, CliOptions& o) {
    if (args.size() > 1) {
        const auto run = kCommands.find(args[1]);
        if (run != kCommands.end() &&
            (run->second == Command::Transits || run->second == Command::Search || run->second == Command::All)) {
            o.chartOf = run->second;
            return 2;
        }
    }
    return 1;
}

// Applies one option with its value; "" when it was understood.
std::string ApplyOption(CliOptions& o, const std::string& name, const std::string& value) {
    int n = 0;
    if (name == "--first" || name == "--second" || name == "--body") {
        const int index = PlanetIndexFromName(value);
        if (index == 0) return "unknown body '" + value + "'";
        (name == "--second" ? o.second : o.first) = index;
    } else if (name == "--second-degree") {
        const auto degree = points::ParseDegreeText(value);
        if (const auto* problem = std::get_if<std::string>(&degree)) return "--second-degree: " + *problem;
        o.secondDegree = std::get<double>(degree);
    } else if (name == "--second-name") {
        if (util::TrimBlanks(value).empty()) return "--second-name takes the point's name";
        o.secondName = util::TrimBlanks(value);
    } else if (name == "--from") {
        o.from = value;
    } else if (name == "--to") {
        o.to = value;
    } else if (name == "--aspects") {
        if (!ParseAspects(value, o.aspects)) return "--aspects takes con,opp,sqr,tri,sxt,ssx,qui or all";
    } else if (name == "--orbs") {
        if (!ParseOrbs(value, o.orbs)) return "--orbs takes three whole degrees from 1 to 15, e.g. 10,5,2";
    } else if (name == "--tz") {
        const auto position = calendar::TimeZonePositionFromText(value);
        o.namedZone.clear();
        if (!position) {
            // The list's own texts come first, so "GMT" stays the list's fixed entry.
            const std::string name(util::TrimBlanks(value));
            const platform::NamedTimeZoneLoad load = platform::NamedTimeZone::Load(name);
            if (load.failure == platform::NamedTimeZoneLoad::Failure::UnknownName)
                return "unknown time zone '" + value + "': give a list entry such as GMT-5:00 or a zone of the "
                       "tz database such as America/New_York";
            if (!load.zone) return load.problem;
            o.namedZone = name;
            o.timezonePosition = calendar::kGmtPosition;
            o.abbreviations = false;
            return {};
        }
        o.timezonePosition = *position;
        o.abbreviations = calendar::TimeZoneText(*position, true) != calendar::TimeZoneText(*position, false) &&
                          util::ToLower(util::TrimBlanks(value)) == util::ToLower(calendar::TimeZoneText(*position, true));
    } else if (name == "--aspect") {
        o.searchAspect = AspectFromText(value);
        if (o.searchAspect == 0) return "unknown aspect '" + value + "'";
    } else if (name == "--orb") {
        if (!WholeNumber(value, 3, 15, o.searchOrb)) return "--orb takes whole degrees from 3 to 15";
    } else if (name == "--when") {
        if (value != "start" && value != "end") return "--when takes start or end";
        o.searchFromEnd = value == "end";
    } else if (name == "--keep") {
        if (value != "first" && value != "second") return "--keep takes first or second";
        o.keepSecond = value == "second";
    } else if (name == "--index-file") {
        o.indexFile = value;
    } else if (name == "--step") {
        if (!ParseStep(value, o.stepDays)) return "--step takes a count and d, h or m, e.g. 1d or 6h";
    } else if (name == "--format") {
        static const std::map<std::string, OutputFormat> formats = {{"text", OutputFormat::Text},
                                                                    {"csv", OutputFormat::Csv},
                                                                    {"json", OutputFormat::Json},
                                                                    {"ics", OutputFormat::ICalendar}};
        const auto format = formats.find(util::ToLower(value));
        if (format == formats.end()) return "--format takes text, csv, json or ics";
        o.format = format->second;
    } else if (name == "-o") {
        if (value.empty()) return "-o takes a file name";
        o.outputPath = value;
    } else if (name == "--limit") {
        if (!WholeNumber(value, 0, 999999, n)) return "--limit takes a number of characters";
        o.limit = static_cast<std::size_t>(n);
    } else if (o.command == Command::Chart && (name == "--output" || name == "--size")) {
        return ApplyChartOption(o, name, value);
    } else {
        return "unknown option '" + name + "'";
    }
    return {};
}

// The output options that only some commands or formats take.
std::string CheckOutputOptions(const CliOptions& o) {
    const bool exportable = o.command != Command::Positions;
    if (!exportable && (o.format != OutputFormat::Text || !o.outputPath.empty()))
        return "positions prints its table only: --format and -o are for transits, search, all and simulate";
    if (o.icsPeriods && o.format != OutputFormat::ICalendar) return "--ics-periods goes with --format ics";
    if (o.icsPeriods && o.command == Command::Simulate) return "--ics-periods is for transit runs";
    if (o.summary && o.command != Command::Simulate) return "--summary is for simulate";
    if (o.summary && o.format != OutputFormat::Csv) return "--summary goes with --format csv";
    const bool transits = o.command == Command::Transits || (o.command == Command::Chart && o.chartOf == Command::Transits);
    const bool moon = o.first == astro::kMoon || o.second == astro::kMoon;
    const Command run = o.command == Command::Chart ? o.chartOf : o.command;
    if (moon && run != Command::Transits && run != Command::Search)
        return "the Moon takes part in transits and search only (as --second)";
    if (moon && o.secondDegree) return "--second-degree needs a first body from the Sun to Pluto";
    if (o.secondDegree && !transits) return "--second-degree is for transits (and chart transits)";
    if (!o.secondName.empty() && !o.secondDegree) return "--second-name names the point of --second-degree";
    return {};
}

}  // namespace

int AspectFromText(const std::string& text) {
    const std::string lower = util::ToLower(text);
    for (int a = 0; a < 7; ++a)
        if (lower == kAspectAbbreviations[a] || lower == kAspectNames[a]) return a + 1;
    return 0;
}

int PlanetIndexFromName(const std::string& name) {
    static const char* const names[] = {"sun", "mercury", "venus", "mars", "jupiter", "saturn", "uranus", "neptune", "pluto"};
    const std::string lower = util::ToLower(name);
    if (lower == "earth") return 1;
    if (lower == "moon") return astro::kMoon;
    for (int i = 0; i < 9; ++i)
        if (lower == names[i]) return i + 1;
    return 0;
}

ParseResult ParseCommandLine(const std::vector<std::string>& args) {
    ParseResult r;
    if (args.empty()) return r;
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        r.options.helpTopic = args.size() > 1 ? args[1] : "";
        return r;
    }
    if (args[0] == "--version") {
        r.options.command = Command::Version;
        if (args.size() > 1) r.error = "--version takes no arguments";
        return r;
    }
    const auto command = kCommands.find(args[0]);
    if (command == kCommands.end()) {
        r.error = "unknown command '" + args[0] + "'";
        return r;
    }
    r.options.command = command->second;
    const std::size_t firstOption = r.options.command == Command::Chart ? ParseChartRun(args, r.options) : 1;
    for (std::size_t i = firstOption; i < args.size() && r.error.empty(); ++i) {
        const std::string a = args[i] == "-o" && r.options.command == Command::Chart ? std::string("--output") : args[i];
        if (a == "--help" || a == "-h") {
            r.options.command = Command::Help;
            r.options.helpTopic = args[0];
            return r;
        }
        if (a == "--helio") r.options.heliocentric = true;
        else if (a == "--details") r.options.details = true;
        else if (a == "--lf") r.options.lineFeeds = true;
        else if (a == "--ics-periods") r.options.icsPeriods = true;
        else if (a == "--summary") r.options.summary = true;
        else if (a == "--cycles" && r.options.command == Command::Chart) r.options.chartCycles = true;
        else if (a == "--moon" && r.options.command == Command::Chart) r.options.chartMoon = true;
        else if (a.rfind("--", 0) != 0 && a != "-o") r.error = "unexpected argument '" + a + "'";
        else if (i + 1 < args.size()) r.error = ApplyOption(r.options, a, args[++i]);
        else r.error = IsValueOption(a) ? "option '" + a + "' needs a value" : "unknown option '" + a + "'";
    }
    if (r.error.empty()) r.error = CheckOutputOptions(r.options);
    if (r.error.empty() && r.options.command == Command::Chart && r.options.chartPath.empty())
        r.error = "chart needs -o FILE.svg or -o FILE.png";
    return r;
}

std::optional<std::uint64_t> ParseSeed(const std::string& text) {
    std::uint64_t seed = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), seed);
    if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size()) return std::nullopt;
    return seed;
}

}  // namespace kovo::report
