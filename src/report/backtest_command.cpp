#include "report/backtest_command.h"

#include <charconv>
#include <optional>
#include <utility>

#include "astro/catalogue.h"
#include "astro/pluto.h"
#include "backtest/backtest_run.h"
#include "backtest/backtest_table.h"
#include "backtest/significance_table.h"
#include "calendar/calendar_services.h"
#include "calendar/iso_date.h"
#include "calendar/time_zones.h"
#include "export/backtest_export.h"
#include "platform/named_time_zone.h"
#include "report/cli_options.h"
#include "stats/circular_shift.h"
#include "report/headless_host.h"
#include "report/run_output.h"
#include "util/input_file.h"
#include "util/safe_file.h"

namespace kovo::report {

namespace {

constexpr int kUsageError = 2;

enum class Format { Text, Csv, Json };

struct BacktestOptions {
    std::string pricesPath;
    std::string outputPath;  // -o: written complete or not at all instead of standard output
    backtest::Side side = backtest::Side::Long;
    Format format = Format::Text;
    std::optional<std::int32_t> fromDay;
    std::optional<std::int32_t> toDay;
    CliOptions common;  // pair, centricity, aspects, orbs and zone, parsed as for a transit run
    int permutations = stats::kDefaultShifts;
    std::uint64_t seed = backtest::kDefaultSeed;
    std::optional<std::int32_t> holdoutDay;
    double costBasisPoints = 0;
    double riskFreePct = 0;
    std::string tradesText;                        // --trades as given
    std::optional<std::pair<int, int>> tradesRow;  // aspect (0: buy-and-hold) and orb
    std::string eventsPath;                        // --events-out: the event study's CSV
    std::optional<int> cycleBody;  // --cycles: planet index of the body whose cycles are traded
    int daysAfter = 5;
    bool moon = false;  // --moon: the Moon's phases
    int daysAround = 3;
    bool help = false;
};

// The options a backtest shares with the transit command, parsed by the same parser.
bool IsSharedOption(const std::string& name) {
    for (const char* shared : {"--first", "--second", "--aspects", "--orbs", "--from", "--to", "--tz"})
        if (name == shared) return true;
    return false;
}

// The day number of a YYYY-MM-DD text; "" when it is one, else the problem.
std::string IsoDay(const std::string& option, const std::string& text, std::optional<std::int32_t>& day) {
    const auto date = calendar::ParseIsoDate(text);
    if (!date) return "dates are written YYYY-MM-DD";
    day = calendar::DayNumberOf(*date);
    if (day) return {};
    return option + " " + text + ": the calendar has no such day";
}

// A decimal number in lo..hi written plainly ("12", "2.5"); nothing otherwise.
std::optional<double> PlainDecimal(const std::string& text, double lo, double hi) {
    if (text.empty() || text.size() > 12 || text.find_first_not_of("0123456789.-") != std::string::npos)
        return std::nullopt;
    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size() || value < lo || value > hi)
        return std::nullopt;
    return value;
}

// "tri:10" (an aspect's abbreviation or name and one of the run's orbs) or "hold".
std::optional<std::pair<int, int>> TradesRow(const std::string& text) {
    if (text == "hold" || text == "buy-and-hold") return std::pair{0, 0};
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos) return std::nullopt;
    const int aspect = AspectFromText(text.substr(0, colon));
    const auto orb = PlainDecimal(text.substr(colon + 1), 1, 15);
    if (aspect == 0 || !orb || *orb != static_cast<int>(*orb)) return std::nullopt;
    return std::pair{aspect, static_cast<int>(*orb)};
}

// The options of the statistics; "" when understood, else the problem.
std::string ParseStatisticsOption(const std::string& a, const std::string& value, BacktestOptions& o) {
    if (a == "--permutations") {
        const auto n = PlainDecimal(value, 0, 1000000);
        if (!n || *n != static_cast<int>(*n)) return "--permutations takes a whole number from 0 to 1000000";
        o.permutations = static_cast<int>(*n);
    } else if (a == "--seed") {
        const auto seed = ParseSeed(value);
        if (!seed) return kSeedProblem;
        o.seed = *seed;
    } else if (a == "--holdout") {
        return IsoDay("--holdout", value, o.holdoutDay);
    } else if (a == "--cost-bp") {
        const auto bp = PlainDecimal(value, 0, 1000);
        if (!bp) return "--cost-bp takes basis points from 0 to 1000, e.g. 5 or 2.5";
        o.costBasisPoints = *bp;
    } else if (a == "--risk-free") {
        const auto pct = PlainDecimal(value, -20, 100);
        if (!pct) return "--risk-free takes a yearly rate in percent from -20 to 100, e.g. 2.5";
        o.riskFreePct = *pct;
    } else if (a == "--trades") {
        if (value.empty()) return "--trades takes an aspect and an orb of the run, e.g. tri:10, or hold";
        o.tradesText = value;
    } else if (a == "--cycles") {
        const int index = PlanetIndexFromName(value);
        if (index == 0 || index > astro::kPluto) return "--cycles takes a body: Sun, Mercury ... Pluto";
        o.cycleBody = index;
    } else if (a == "--days-after") {
        const auto n = PlainDecimal(value, 1, 250);
        if (!n || *n != static_cast<int>(*n)) return "--days-after takes a whole number of trading days from 1 to 250";
        o.daysAfter = static_cast<int>(*n);
    } else if (a == "--days-around") {
        const auto n = PlainDecimal(value, 1, 60);
        if (!n || *n != static_cast<int>(*n)) return "--days-around takes a whole number of trading days from 1 to 60";
        o.daysAround = static_cast<int>(*n);
    } else if (a == "--events-out") {
        if (value.empty()) return "--events-out takes a file name";
        o.eventsPath = value;
    }
    return {};
}

bool IsStatisticsOption(const std::string& a) {
    for (const char* name : {"--permutations", "--seed", "--holdout", "--cost-bp", "--risk-free", "--trades",
                             "--events-out", "--cycles", "--days-after", "--days-around"})
        if (a == name) return true;
    return false;
}

// "" when understood, else the problem for the usage message.
std::string ParseBacktestOptions(const std::vector<std::string>& args, BacktestOptions& o) {
    std::vector<std::string> shared{"transits"};
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--help" || a == "-h") {
            o.help = true;
            return {};
        }
        if (a == "--short") {
            o.side = backtest::Side::Short;
        } else if (a == "--long") {
            o.side = backtest::Side::Long;
        } else if (a == "--moon") {
            o.moon = true;
        } else if (a == "--helio") {
            shared.push_back(a);
        } else if (IsStatisticsOption(a)) {
            if (!hasValue) return "option '" + a + "' needs a value";
            if (std::string problem = ParseStatisticsOption(a, args[++i], o); !problem.empty()) return problem;
        } else if (a == "--prices" || a == "--format" || a == "-o" || IsSharedOption(a)) {
            if (!hasValue) return "option '" + a + "' needs a value";
            const std::string& value = args[++i];
            if (a == "--prices") {
                o.pricesPath = value;
            } else if (a == "-o") {
                if (value.empty()) return "-o takes a file name";
                o.outputPath = value;
            } else if (a == "--format") {
                if (value == "text") o.format = Format::Text;
                else if (value == "csv") o.format = Format::Csv;
                else if (value == "json") o.format = Format::Json;
                else return "--format takes text, csv or json";
            } else {
                shared.push_back(a);
                shared.push_back(value);
            }
        } else if (a.rfind("--", 0) == 0) {
            return "unknown option '" + a + "'";
        } else {
            return "unexpected argument '" + a + "'";
        }
    }
    const ParseResult parsed = ParseCommandLine(shared);
    if (!parsed.error.empty()) return parsed.error;
    o.common = parsed.options;
    if (o.pricesPath.empty()) return "--prices FILE.csv is needed";
    if (o.moon && o.cycleBody) return "--moon and --cycles are two kinds of run: give one";
    if (!o.cycleBody && !o.moon && (o.common.first > 8 || o.common.second < 2))
        return "--first takes Sun ... Neptune and --second Mercury ... Pluto";
    if (o.cycleBody && o.common.heliocentric)
        return "--cycles is geocentric: heliocentric positions never station";
    if (o.moon && o.common.heliocentric)
        return "--moon is geocentric: heliocentrically there is no Moon";
    // A cycle or lunar run names its rows by their labels ("retrograde"), matched when it is done.
    if (!o.tradesText.empty() && !o.cycleBody && !o.moon) {
        o.tradesRow = TradesRow(o.tradesText);
        if (!o.tradesRow) return "--trades takes an aspect and an orb of the run, e.g. tri:10, or hold";
    }
    if (!o.common.from.empty())
        if (std::string problem = IsoDay("--from", o.common.from, o.fromDay); !problem.empty()) return problem;
    if (!o.common.to.empty())
        if (std::string problem = IsoDay("--to", o.common.to, o.toDay); !problem.empty()) return problem;
    const util::FileIdentity prices = util::IdentityOf(o.pricesPath);
    if (!o.outputPath.empty() && prices.Known() && util::IdentityOf(o.outputPath) == prices)
        return "-o names the --prices file, which would be lost";
    if (!o.eventsPath.empty() && prices.Known() && util::IdentityOf(o.eventsPath) == prices)
        return "--events-out names the --prices file, which would be lost";
    if (!o.eventsPath.empty() && !o.outputPath.empty() && util::IdentityOf(o.eventsPath) == util::IdentityOf(o.outputPath) &&
        (util::IdentityOf(o.outputPath).Known() || o.eventsPath == o.outputPath))
        return "--events-out and -o name the same file";
    if (o.tradesRow && o.tradesRow->first != 0) {
        const int orb = o.tradesRow->second;
        if (orb != o.common.orbs[0] && orb != o.common.orbs[1] && orb != o.common.orbs[2])
            return "--trades names an orb of " + std::to_string(orb) + "°, which is not one of the run's orbs";
        if (!o.common.aspects[static_cast<std::size_t>(o.tradesRow->first - 1)])
            return "--trades names an aspect the run does not test";
    }
    return {};
}

// With --trades: the trades table instead of the statistics in CSV, a member in JSON,
// a section after the report in text.
std::string Render(const backtest::BacktestResult& result, Format format, const backtest::StrategyResult* trades) {
    switch (format) {
        case Format::Csv: return trades ? exporting::TradesCsv(result, *trades) : exporting::BacktestCsv(result);
        case Format::Json: return exporting::BacktestJson(result, trades);
        case Format::Text: break;
    }
    return backtest::BacktestText(result) + (trades ? backtest::TradesText(result, *trades) : "");
}

}  // namespace

std::string BacktestUsageText() {
    return "usage: kovo-report backtest --prices FILE.csv [OPTIONS]\n\n"
           "Trades the closes of FILE.csv while the pair stays inside each aspect's orbs and prints\n"
           "the statistics of every aspect and orb, of buy-and-hold and an event study.\n"
           "FILE.csv: a Date column and a Close, Adj Close or DJIA column, or one other column not\n"
           "named Open, High, Low, Volume or Change, as kovo-djia reads.\n\n"
           "options:\n"
           "  --prices FILE.csv   the daily closes\n"
           "  --first NAME        first body: Sun (or Earth), Mercury ... Neptune (default Mars)\n"
           "  --second NAME       second body: Mercury ... Pluto (default Jupiter)\n"
           "  --helio             heliocentric positions\n"
           "  --aspects LIST      con,opp,sqr,tri,sxt,ssx,qui or all (default all)\n"
           "  --orbs O,M,I        outer, middle and inner orb in whole degrees (default 10,5,2)\n"
           "  --short             sell short while in orb instead of buying\n"
           "  --from YYYY-MM-DD   first day (default the first close of the file)\n"
           "  --to YYYY-MM-DD     last day (default the last close of the file)\n"
           "  --tz ZONE           the zone of the dates of orb entries and exits (default GMT)\n"
           "  --permutations N    circular shifts of the calendar and bootstrap resamples per rule\n"
           "                      (default 10000; 0 leaves p-values and intervals out)\n"
           "  --seed S            the seed of those draws (default 1): the same seed, the same figures\n"
           "  --holdout DATE      also evaluate the years before DATE and from DATE on, side by side\n"
           "  --cost-bp N         costs in basis points charged on every entry and exit (default 0)\n"
           "  --risk-free PCT     yearly risk-free rate for the Sharpe and Sortino ratios (default 0)\n"
           "  --trades ROW        the trades of one row: tri:10 (aspect and orb) or hold; in CSV they\n"
           "                      replace the statistics table; with --cycles or --moon a rule, e.g.\n"
           "                      retrograde or \"new to full\"\n"
           "  --cycles BODY       trade BODY's retrograde cycles and ingresses (geocentric, tropical)\n"
           "                      instead of a pair's aspects: while retrograde, in pre- or post-shadow,\n"
           "                      and for N trading days after each station and ingress\n"
           "  --days-after N      those N trading days (default 5)\n"
           "  --moon              trade the Moon's phases instead: from new to full moon, from full to\n"
           "                      new moon, and N trading days either side of each phase; the event\n"
           "                      study takes the phases and the eclipses\n"
           "  --days-around N     those N trading days (default 3)\n"
           "  --events-out PATH   write the event study's table as CSV to PATH\n"
           "  --format FORMAT     text (default), csv or json\n"
           "  -o PATH             write to PATH (complete or not at all) instead of standard output\n";
}

int RunBacktestCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& errors,
                       bool errorsIsTerminal) {
    BacktestOptions o;
    if (const std::string problem = ParseBacktestOptions(args, o); !problem.empty()) {
        errors << "kovo-report: " << problem << "\n\n" << BacktestUsageText();
        return kUsageError;
    }
    if (o.help) {
        out << BacktestUsageText();
        return 0;
    }
    HeadlessHost host(errors, errorsIsTerminal);
    const backtest::PriceSeriesLoad load = backtest::ReadPriceSeriesFile(o.pricesPath);
    if (!load.errorText.empty()) {
        host.ShowMessage({.text = load.errorText, .title = backtest::kBacktestTitle});
        return 1;
    }
    const auto loaded = astro::LoadPlutoFiles();
    const bool withPluto =
        !o.cycleBody && !o.moon && (o.common.first == astro::kPluto || o.common.second == astro::kPluto);
    if (!loaded.message.empty() && withPluto) host.Notice({.text = loaded.message, .title = "Read Pluto Data"});

    const int zonePosition = o.common.timezonePosition.value_or(calendar::kGmtPosition);
    const auto named = o.common.namedZone.empty() ? std::nullopt : platform::NamedTimeZone::Find(o.common.namedZone);
    backtest::BacktestParams params{.first = astro::BodyOfIndex(o.common.first),
                                    .second = astro::BodyOfIndex(o.common.second),
                                    .heliocentric = o.common.heliocentric,
                                    .aspects = o.common.aspects,
                                    .orbDegrees = o.common.orbs,
                                    .side = o.side,
                                    .fromDay = o.fromDay,
                                    .toDay = o.toDay,
                                    .zone = named ? calendar::ReportZone::Named(*named)
                                                  : calendar::ReportZone::Fixed(calendar::TimeZoneOffsetMinutes(zonePosition),
                                                                                calendar::TimeZoneText(zonePosition, false)),
                                    .pluto = {.available = loaded.ok, .reason = loaded.reason},
                                    .permutations = o.permutations,
                                    .seed = o.seed,
                                    .holdoutDay = o.holdoutDay,
                                    .costBasisPoints = o.costBasisPoints,
                                    .riskFreePct = o.riskFreePct,
                                    .cycleBody = o.cycleBody ? std::optional(astro::BodyOfIndex(*o.cycleBody)) : std::nullopt,
                                    .daysAfter = o.daysAfter,
                                    .lunar = o.moon,
                                    .daysAround = o.daysAround};
    const backtest::BacktestResult result = backtest::RunBacktest(params, load.series, host);
    host.EndProgress();
    if (!result.HasStatistics()) return 1;  // a refused or stopped run leaves an existing file alone
    const backtest::StrategyResult* trades =
        o.tradesRow ? backtest::FindStrategy(result, o.tradesRow->first, o.tradesRow->second) : nullptr;
    if ((o.cycleBody || o.moon) && !o.tradesText.empty()) {
        trades = backtest::FindRule(result, o.tradesText);
        if (!trades) {
            errors << "kovo-report: --trades " << o.tradesText << ": the run has no such row; its rows are "
                   << backtest::RuleNames(result) << "\n";
            return kUsageError;
        }
    }
    if (!o.eventsPath.empty() && WriteWholeFile(o.eventsPath, exporting::EventStudyCsv(result), errors) != 0) return 1;
    return DeliverText(o.outputPath, Render(result, o.format, trades), out, errors);
}

}  // namespace kovo::report
