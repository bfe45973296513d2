#include "report/report_commands.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <new>
#include <variant>
#include <vector>

#include "astro/catalogue.h"
#include "astro/pluto.h"
#include "astro/positions.h"
#include "astro/zodiac_degree.h"
#include "calendar/calendar_services.h"
#include "calendar/iso_date.h"
#include "calendar/time_zones.h"
#include "platform/named_time_zone.h"
#include "platform/standard_output.h"
#include "report/backtest_command.h"
#include "report/sweep_command.h"
#include "report/cli_options.h"
#include "report/cycles_command.h"
#include "report/headless_host.h"
#include "report/positions_coverage.h"
#include "report/run_output.h"
#include "report/simulate_command.h"
#include "requests/transit_form.h"
#include "transits/transit_runs.h"
#include "util/utf8.h"

namespace kovo::report {

namespace {

constexpr int kUsageError = 2;

int CurrentYear() {
    const std::time_t now = std::time(nullptr);
    return std::localtime(&now)->tm_year + 1900;
}

// Fills one date's three fields from YYYY-MM-DD, or the default when none was given.
bool SetDateFields(calendar::DateEntryModel& dates, int index, const std::string& text, const char* month,
                   const char* day) {
    const auto i = static_cast<std::size_t>(index);
    if (text.empty()) {
        dates.txbYear[i] = std::to_string(CurrentYear());
        dates.txbMonth[i] = month;
        dates.txbDay[i] = day;
        return true;
    }
    // The date entry checks the numbers against the calendar, with the window's messages.
    const auto date = calendar::ParseIsoDate(text, calendar::IsoDateForm::Relaxed);
    if (!date) return false;
    dates.txbYear[i] = std::to_string(date->year);
    dates.txbMonth[i] = std::to_string(date->month);
    dates.txbDay[i] = std::to_string(date->day);
    return true;
}

std::string LineEnds(std::string text, bool lineFeeds) {
    if (!lineFeeds) return text;
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
    return out;
}

int Usage(std::ostream& errors, const std::string& problem, const std::string& topic) {
    errors << "kovo-report: " << problem << "\n\n" << UsageText(topic);
    return kUsageError;
}

requests::TransitForm TransitFormFrom(const CliOptions& o, const astro::PlutoAvailability& pluto) {
    requests::TransitForm in;
    in.firstListPos = o.first - 1;
    in.secondListPos = o.second - 2;
    in.orbPositions = {o.orbs[0] - 1, o.orbs[1] - 1, o.orbs[2] - 1, o.searchOrb - 3};
    in.aspectChecked = o.aspects;
    in.heliocentric = o.heliocentric;
    in.timezonePosition = o.timezonePosition.value_or(calendar::StartUpTimeZonePosition(calendar::LocalTimeZoneMinutes()));
    in.timezoneText = calendar::TimeZoneText(in.timezonePosition, o.abbreviations);
    if (!o.namedZone.empty()) {
        in.namedZone = platform::NamedTimeZone::Find(o.namedZone);
        in.timezoneText = o.namedZone;
    }
    in.pluto = pluto;
    if (o.secondDegree)
        in.fixedSecond = transits::FixedPoint{
            .degrees = *o.secondDegree,
            .name = o.secondName.empty() ? astro::ZodiacDegreeText(*o.secondDegree) : o.secondName};
    in.searchAspectPos = o.searchAspect - 1;
    in.searchWhenPos = o.searchFromEnd ? 1 : 0;
    // The limit imitates the window's full output area; an export always holds every record.
    in.outputLimit = o.format == OutputFormat::Text ? o.limit : std::nullopt;
    return in;
}

// The zone offsets (days east) in which a positions row's local reading occurs: a named
// zone's clock may skip a reading (none) or show it twice (two).
std::vector<double> RowZones(const CliOptions& o, const std::optional<platform::NamedTimeZone>& named, double local) {
    if (!named) return {calendar::TimeZoneOffsetMinutes(o.timezonePosition.value_or(calendar::kGmtPosition)) / 1440.0};
    std::vector<double> zones;
    for (const int seconds : named->OffsetsAtLocal(local)) zones.push_back(seconds / 86400.0);
    return zones;
}

// The refusal of a table whose first or last row lies outside the body's data; "" when
// every row has a position.
std::string PositionsRangeRefusal(const CliOptions& o, const calendar::DateEntryModel& dates) {
    const auto named = o.namedZone.empty() ? std::nullopt : platform::NamedTimeZone::Find(o.namedZone);
    const double first = dates.DayNumbers[0] - 0.5;
    const double last = dates.DayNumbers[1] + 0.5;
    // The last row's local reading, as the table's own loop reaches it.
    auto rows = static_cast<long long>(std::floor((last - 1e-9 - first) / o.stepDays));
    const auto local = [&](long long k) { return first + static_cast<double>(k) * o.stepDays; };
    while (local(rows + 1) <= last - 1e-9) ++rows;
    while (rows > 0 && local(rows) > last - 1e-9) --rows;
    // The instants of the first and last readings; one a named zone skips is taken unshifted.
    auto instants = [&](double reading) {
        std::vector<double> zones = RowZones(o, named, reading);
        if (zones.empty()) zones.push_back(0);
        const auto [least, most] = std::minmax_element(zones.begin(), zones.end());
        return std::pair{reading - *most, reading - *least};
    };
    return PositionsCoverageRefusal(o.first, o.heliocentric, instants(first).first, instants(local(rows)).second);
}

int Positions(const CliOptions& o, const calendar::DateEntryModel& dates, std::ostream& out) {
    const int position = o.timezonePosition.value_or(calendar::kGmtPosition);
    const auto named = o.namedZone.empty() ? std::nullopt : platform::NamedTimeZone::Find(o.namedZone);
    const std::string eol = o.lineFeeds ? "\n" : "\r\n";
    out << "Date       Time   " << (named ? "      " : "") << "Longitude(deg)  "
        << (o.heliocentric ? "heliocentric J2000" : "geocentric apparent") << ", "
        << astro::PlanetName(o.first, o.heliocentric, false) << ", "
        << (named ? named->Name() : calendar::TimeZoneText(position, o.abbreviations)) << eol;
    const double first = dates.DayNumbers[0] - 0.5;
    const double last = dates.DayNumbers[1] + 0.5;
    // A named zone's rows are put in time order before they are printed: in a repeated
    // hour the clock's readings come back.
    std::vector<std::pair<double, std::string>> namedRows;
    for (long long k = 0;; ++k) {
        const double local = first + static_cast<double>(k) * o.stepDays;
        if (local > last - 1e-9) break;
        // A reading shown twice by a named zone gives a row for each, told apart by the
        // abbreviation.
        for (const double zone : RowZones(o, named, local)) {
            const double lon = astro::PlanetLongitude(o.first, local - zone, o.heliocentric);
            const long long minutes = std::llround((local + 0.5 - std::floor(local + 0.5)) * 1440) % 1440;
            char clock[32];
            std::snprintf(clock, sizeof clock, "%02lld:%02lld", minutes / 60, minutes % 60);
            std::string time = clock;
            if (named) time = util::PadChars(time + " " + named->AtInstant(local - zone).abbreviation, 11);
            char line[128];
            std::snprintf(line, sizeof line, "%s %s %15.6f  %s",
                          calendar::FormatDayNumberIso(static_cast<std::int32_t>(std::floor(local + 0.5))).c_str(),
                          time.c_str(), lon < 0 ? lon : lon / astro::FullCircle * 360.0,
                          !o.heliocentric && astro::IsRetrogradeAt(o.first, lon, local - zone) ? "r" : "");
            std::string text = line;
            while (!text.empty() && text.back() == ' ') text.pop_back();
            if (named) namedRows.emplace_back(local - zone, std::move(text));
            else out << text << eol;
        }
        if (!out) break;  // reported by the caller, with the reason the write left
    }
    std::stable_sort(namedRows.begin(), namedRows.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& row : namedRows) {
        out << row.second << eol;
        if (!out) break;
    }
    return 0;
}

util::RunOutcome RunTransitCommand(const CliOptions& o, calendar::DateEntryModel& dates, HeadlessHost& host,
                                   const astro::PlutoAvailability& pluto, exporting::RunRecords& records) {
    requests::TransitForm form = TransitFormFrom(o, pluto);
    util::RunOutcome outcome = util::RunOutcome::Refused;
    if (o.command == Command::All) {
        outcome = records
                      .emplace<transits::AllTransitsResult>(
                          requests::RunAllTransitsForm(form, dates, o.keepSecond ? 1 : 0, host))
                      .outcome;
    } else {
        const bool search = o.command == Command::Search;
        outcome = records
                      .emplace<transits::TransitResult>(search ? requests::RunSearchForm(form, dates, host)
                                                               : requests::RunTwoPlanetForm(form, dates, host))
                      .outcome;
    }
    host.EndProgress();
    return outcome;
}

// The chart command: the run it names, then its records drawn into the file instead of
// the report printed. A refused run writes no file.
int ChartStatus(const CliOptions& o, calendar::DateEntryModel& dates, HeadlessHost& host,
                const astro::PlutoAvailability& pluto, const ChartFileWriter& chartWriter, std::ostream& errors) {
    if (!chartWriter) {
        errors << "kovo-report: this build cannot draw charts\n";
        return 1;
    }
    CliOptions run = o;
    run.command = o.chartOf;
    exporting::RunRecords records;
    if (!util::Succeeded(RunTransitCommand(run, dates, host, pluto, records))) return 1;
    const std::string failure = chartWriter(
        records, {.path = o.chartPath, .width = o.chartWidth, .height = o.chartHeight, .cycles = o.chartCycles, .moon = o.chartMoon});
    if (failure.empty()) return 0;
    errors << "kovo-report: cannot write the chart: " << failure << "\n";
    return 1;
}

// The exit status of one command, before the output is checked.
int CommandStatus(const std::vector<std::string>& args, std::ostream& out, std::ostream& errors,
                  bool errorsIsTerminal, const ChartFileWriter& chartWriter) {
    if (!args.empty() && args[0] == "backtest") return RunBacktestCommand(args, out, errors, errorsIsTerminal);
    if (!args.empty() && IsCyclesCommand(args[0])) return RunCyclesCommand(args, out, errors);
    if (!args.empty() && IsSweepCommand(args[0])) return RunSweepCommand(args, out, errors, errorsIsTerminal);
    const ParseResult parsed = ParseCommandLine(args);
    if (!parsed.error.empty()) return Usage(errors, parsed.error, args.empty() ? "" : args[0]);
    const CliOptions& o = parsed.options;
    if (o.command == Command::Version) {
        out << "kovo-report " << KOVO_VERSION << "\n";
        return 0;
    }
    if (o.command == Command::Help) {
        out << UsageText(o.helpTopic);
        return 0;
    }
    const bool usesLists = o.command != Command::Positions && o.command != Command::Simulate;
    if (o.secondDegree && o.first > astro::kPluto)
        return Usage(errors, "--first takes Sun ... Pluto", args[0]);
    if (usesLists && !o.secondDegree && (o.first > 8 || o.second < 2))
        return Usage(errors, "--first takes Sun ... Neptune and --second Mercury ... Pluto", args[0]);
    if (o.command == Command::Simulate && o.second < 2)
        return Usage(errors, "--second takes Mercury ... Pluto", args[0]);

    HeadlessHost host(errors, errorsIsTerminal);
    const auto loaded = astro::LoadPlutoFiles();
    if (!loaded.message.empty()) host.Notice({.text = loaded.message, .title = "Read Pluto Data"});
    const astro::PlutoAvailability pluto{.available = loaded.ok, .reason = loaded.reason};

    calendar::DateEntryModel dates;
    if (!SetDateFields(dates, 0, o.from, "1", "1") || !SetDateFields(dates, 1, o.to, "12", "31"))
        return Usage(errors, "dates are written YYYY-MM-DD", args[0]);
    calendar::RefreshDateLabel(dates, 0);
    calendar::RefreshDateLabel(dates, 1);

    if (o.command == Command::Positions) {
        if (!calendar::ValidateDate(dates, 0, "positions", host) || !calendar::ValidateDate(dates, 1, "positions", host))
            return 1;
        if (o.first == astro::kPluto && !pluto.available) {
            host.ShowMessage({.text = astro::PlutoUnavailableText(pluto), .title = "positions"});
            return 1;
        }
        if (const std::string refusal = PositionsRangeRefusal(o, dates); !refusal.empty()) {
            host.ShowMessage({.text = refusal, .title = "positions"});
            return 1;
        }
        return Positions(o, dates, out);
    }
    if (o.command == Command::Chart) return ChartStatus(o, dates, host, pluto, chartWriter, errors);
    // The run's records, for the exports beside the report text.
    exporting::RunRecords records;
    const util::RunOutcome outcome =
        o.command == Command::Simulate
            ? simulation::ToRunOutcome(records.emplace<simulation::SimulationRun>(RunSimulateCommand(o, dates, host, pluto)).outcome)
            : RunTransitCommand(o, dates, host, pluto, records);
    if (DeliverRunOutput(o, outcome, LineEnds(host.Output(), o.lineFeeds), records, out, errors) != 0) return 1;
    return util::Succeeded(outcome) ? 0 : 1;
}

}  // namespace

int RunReport(const std::vector<std::string>& args, std::ostream& out, std::ostream& errors, bool errorsIsTerminal) {
    return RunReport(args, out, errors, errorsIsTerminal, {});
}

int RunReport(const std::vector<std::string>& args, std::ostream& out, std::ostream& errors, bool errorsIsTerminal,
              const ChartFileWriter& chartWriter) {
    int status = 1;
    try {
        status = CommandStatus(args, out, errors, errorsIsTerminal, chartWriter);
    } catch (const std::bad_alloc&) {
        // The -o file is replaced only by a complete one, so nothing half written stays.
        // The message is made of literals: there may be no memory for more.
        out.flush();
        errors << "kovo-report: out of memory while running ";
        errors << (args.empty() ? "the report" : args[0].c_str());
        errors << "; nothing was written to the output file\n";
        return 1;
    }
    if (const std::string reason = platform::FlushAndCheck(out); !reason.empty()) {
        errors << "kovo-report: cannot write output: " << reason << "\n";
        return 1;
    }
    return status;
}

}  // namespace kovo::report
