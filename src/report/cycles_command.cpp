#include "report/cycles_command.h"

#include <ctime>
#include <optional>
#include <variant>

#include "calendar/calendar_services.h"
#include "calendar/iso_date.h"
#include "calendar/time_zones.h"
#include "export/icalendar.h"
#include "platform/named_time_zone.h"
#include "report/cli_options.h"
#include "requests/cycles_form.h"
#include "util/safe_file.h"
#include "util/text.h"

namespace kovo::report {

namespace {

constexpr int kUsageError = 2;

struct CyclesOptions {
    requests::CycleKind kind = requests::CycleKind::Stations;
    astro::Body body = astro::Body::Mercury;
    bool heliocentric = false;
    platform::Zodiac zodiac = platform::Zodiac::Tropical;
    bool sidereal = false;
    std::string ayanamsa;
    std::string from;
    std::string to;
    std::string zone = "GMT";
    OutputFormat format = OutputFormat::Text;
    std::string outputPath;
    bool help = false;
};

std::string ParseValue(const std::string& a, const std::string& value, CyclesOptions& o) {
    if (a == "--body") {
        const bool moon = util::ToLower(value) == "moon";
        const int planet = moon ? astro::PlanetIndex(astro::Body::Moon) : PlanetIndexFromName(value);
        if (planet < 1) return "--body takes Sun (or Earth), Mercury ... Pluto, or Moon for ingresses";
        o.body = astro::BodyOfIndex(planet);
    } else if (a == "--from") {
        o.from = value;
    } else if (a == "--to") {
        o.to = value;
    } else if (a == "--tz") {
        o.zone = value;
    } else if (a == "--zodiac") {
        if (value != "tropical" && value != "sidereal") return "--zodiac takes tropical or sidereal";
        o.sidereal = value == "sidereal";
    } else if (a == "--ayanamsa") {
        o.ayanamsa = value;
        if (value == "lahiri") o.zodiac = platform::Zodiac::Lahiri;
        else if (value == "fagan-bradley") o.zodiac = platform::Zodiac::FaganBradley;
        else if (value == "raman") o.zodiac = platform::Zodiac::Raman;
        else return "--ayanamsa takes lahiri, fagan-bradley or raman";
    } else if (a == "--format") {
        if (value == "text") o.format = OutputFormat::Text;
        else if (value == "csv") o.format = OutputFormat::Csv;
        else if (value == "json") o.format = OutputFormat::Json;
        else if (value == "ics") o.format = OutputFormat::ICalendar;
        else return "--format takes text, csv, json or ics";
    } else if (a == "-o") {
        if (value.empty()) return "-o takes a file name";
        o.outputPath = value;
    }
    return {};
}

requests::CycleKind KindOf(const std::string& command) {
    if (command == "ingresses") return requests::CycleKind::Ingresses;
    if (command == "phases") return requests::CycleKind::Phases;
    if (command == "eclipses") return requests::CycleKind::Eclipses;
    return requests::CycleKind::Stations;
}

std::string ParseCyclesOptions(const std::vector<std::string>& args, CyclesOptions& o) {
    o.kind = KindOf(args[0]);
    const bool lunar = requests::IsLunar(o.kind);
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            o.help = true;
            return {};
        }
        if (a == "--helio") {
            o.heliocentric = true;
            continue;
        }
        static const char* const valued[] = {"--body", "--from", "--to", "--tz", "--zodiac", "--ayanamsa", "--format", "-o"};
        bool known = false;
        for (const char* name : valued) known = known || a == name;
        // Phases and eclipses are the Moon's and the Sun's, seen from the Earth, tropical.
        if (lunar && (a == "--body" || a == "--zodiac" || a == "--ayanamsa")) known = false;
        if (!known) return a.rfind("-", 0) == 0 ? "unknown option '" + a + "'" : "unexpected argument '" + a + "'";
        if (i + 1 >= args.size()) return "option '" + a + "' needs a value";
        if (std::string problem = ParseValue(a, args[++i], o); !problem.empty()) return problem;
    }
    if (o.sidereal && o.zodiac == platform::Zodiac::Tropical) o.zodiac = platform::Zodiac::Lahiri;
    if (!o.sidereal && !o.ayanamsa.empty()) return "--ayanamsa goes with --zodiac sidereal";
    if (o.kind == requests::CycleKind::Stations && o.zodiac != platform::Zodiac::Tropical)
        return "stations do not depend on the zodiac; leave out --zodiac and --ayanamsa";
    return {};
}

std::optional<std::int32_t> Day(const std::string& text, int fallbackYear, int month, int day) {
    if (text.empty()) return calendar::DayNumberOf({fallbackYear, month, day});
    const auto date = calendar::ParseIsoDate(text, calendar::IsoDateForm::Relaxed);
    if (!date) return std::nullopt;
    return calendar::DayNumberOf(*date);
}

std::optional<calendar::ReportZone> ZoneOf(const std::string& text) {
    const ParseResult parsed = ParseCommandLine({"transits", "--tz", text});
    if (!parsed.error.empty()) return std::nullopt;
    const CliOptions& c = parsed.options;
    if (!c.namedZone.empty()) {
        if (const auto named = platform::NamedTimeZone::Find(c.namedZone)) return calendar::ReportZone::Named(*named);
        return std::nullopt;
    }
    const int position = c.timezonePosition.value_or(calendar::kGmtPosition);
    return calendar::ReportZone::Fixed(calendar::TimeZoneOffsetMinutes(position),
                                       calendar::TimeZoneText(position, c.abbreviations));
}

requests::CyclesFormat FormatOf(OutputFormat format) {
    switch (format) {
        case OutputFormat::Csv: return requests::CyclesFormat::Csv;
        case OutputFormat::Json: return requests::CyclesFormat::Json;
        case OutputFormat::ICalendar: return requests::CyclesFormat::ICalendar;
        case OutputFormat::Text: break;
    }
    return requests::CyclesFormat::Text;
}

// The refusal with what to change on the command line.
std::string CommandLineText(const requests::CyclesRefusal& refusal) {
    using Reason = requests::CyclesRefusal::Reason;
    if (refusal.reason == Reason::HeliocentricStations || refusal.reason == Reason::HeliocentricMoon)
        return refusal.text + " Leave out --helio.";
    if (refusal.reason == Reason::EphemerisGap)
        return refusal.text.substr(0, refusal.text.size() - 1) + "; nothing was written.";
    return refusal.text;
}

int Refuse(std::ostream& errors, const std::string& text) {
    errors << "kovo-report: " << text << "\n";
    return 1;
}

}  // namespace

bool IsCyclesCommand(const std::string& command) {
    return command == "stations" || command == "ingresses" || command == "phases" || command == "eclipses";
}

std::string CyclesUsageText(const std::string& command) {
    const requests::CycleKind kind = KindOf(command);
    std::string text;
    switch (kind) {
        case requests::CycleKind::Stations:
            text = "usage: kovo-report stations [OPTIONS]\n\n"
                   "A body's retrograde cycles: pre-shadow start, station retrograde, station direct and\n"
                   "post-shadow end, with the exact minute, the longitude and the durations.\n\n";
            break;
        case requests::CycleKind::Ingresses:
            text = "usage: kovo-report ingresses [OPTIONS]\n\n"
                   "Each time a body enters a sign, with the exact minute and its direction.\n\n";
            break;
        case requests::CycleKind::Phases:
            text = "usage: kovo-report phases [OPTIONS]\n\n"
                   "The Moon's new moons, first quarters, full moons and last quarters: the minutes at which\n"
                   "its apparent longitude is 0, 90, 180 or 270 degrees ahead of the Sun's (geocentric).\n\n";
            break;
        case requests::CycleKind::Eclipses:
            text = "usage: kovo-report eclipses [OPTIONS]\n\n"
                   "Solar eclipses (total, annular, hybrid, partial) and lunar eclipses (total, partial,\n"
                   "penumbral) with the minute of greatest eclipse and the longitude.\n\n";
            break;
    }
    text += "options:\n";
    if (kind == requests::CycleKind::Stations)
        text += "  --body NAME         Mercury ... Pluto (default Mercury)\n";
    if (kind == requests::CycleKind::Ingresses)
        text += "  --body NAME         Sun (or Earth), Moon, Mercury ... Pluto (default Mercury)\n";
    text += "  --from YYYY-MM-DD   start date (default 1 January of this year)\n"
            "  --to YYYY-MM-DD     end date (default 31 December of this year)\n"
            "  --tz ZONE           the zone of the local times (default GMT), as for transits\n";
    if (kind == requests::CycleKind::Ingresses)
        text += "  --helio             heliocentric positions (of date)\n"
                "  --zodiac Z          tropical (default) or sidereal\n"
                "  --ayanamsa A        with sidereal: lahiri (default), fagan-bradley or raman\n";
    return text + "  --format FORMAT     text (default), csv, json or ics\n"
                  "  -o PATH             write to PATH (complete or not at all) instead of standard output\n";
}

int RunCyclesCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& errors) {
    CyclesOptions o;
    const auto usage = [&](const std::string& problem) {
        errors << "kovo-report: " << problem << "\n\n" << CyclesUsageText(args[0]);
        return kUsageError;
    };
    if (const std::string problem = ParseCyclesOptions(args, o); !problem.empty()) return usage(problem);
    if (o.help) {
        out << CyclesUsageText(args[0]);
        return 0;
    }
    const std::time_t now = std::time(nullptr);
    const int year = std::localtime(&now)->tm_year + 1900;
    const auto from = Day(o.from, year, 1, 1);
    const auto to = Day(o.to, year, 12, 31);
    if (!from || !to) return usage("dates are written YYYY-MM-DD");
    const auto zone = ZoneOf(o.zone);
    if (!zone) return usage("--tz " + o.zone + ": no such zone");
    const requests::CyclesForm form{.kind = o.kind,
                                    .body = o.body,
                                    .heliocentric = o.heliocentric,
                                    .zodiac = o.zodiac,
                                    .zone = *zone,
                                    .fromDay = *from,
                                    .toDay = *to};
    const auto run = requests::RunCyclesForm(form);
    if (const auto* refusal = std::get_if<requests::CyclesRefusal>(&run)) return Refuse(errors, CommandLineText(*refusal));
    const requests::CyclesFormat format = FormatOf(o.format);
    const std::string text = requests::CyclesFoundDocument(
        std::get<requests::CyclesFound>(run), format,
        format == requests::CyclesFormat::ICalendar ? exporting::CurrentStampUtc() : std::string());
    if (o.outputPath.empty()) {
        out << text;
        return 0;
    }
    if (const std::string problem = util::WriteFileAtomically(o.outputPath, text); !problem.empty())
        return Refuse(errors, problem);
    return 0;
}

}  // namespace kovo::report
