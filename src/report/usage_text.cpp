#include "report/backtest_command.h"
#include "report/cli_options.h"
#include "report/cycles_command.h"
#include "report/sweep_command.h"

namespace kovo::report {

namespace {

const char* const kOverview =
    "usage: kovo-report COMMAND [OPTIONS]\n"
    "\n"
    "Prints the report the window's output area would hold for the same inputs.\n"
    "\n"
    "commands:\n"
    "  transits   every transit of two bodies in the chosen aspects between two dates\n"
    "  search     the first transit of one aspect on or after the start or end date\n"
    "  all        the transits of one body with every other body\n"
    "  simulate   invest in the Dow Jones Industrial Average during heliocentric aspects\n"
    "  positions  a table of one body's longitudes, for checking by hand\n"
    "  backtest   trade a CSV of daily closes while a pair is in orb, with statistics\n"
    "  sweep      backtest every pair's aspects against the closes, ranked by q over all rules\n"
    "  sweep-merge  merge the JSON results of sweeps split by their pairs\n"
    "  stations   a body's retrograde cycles: shadows and stations with their exact minutes\n"
    "  ingresses  each time a body enters a sign, tropical or sidereal\n"
    "  phases     the Moon's new, first quarter, full and last quarter with their exact minutes\n"
    "  eclipses   solar and lunar eclipses: type, greatest eclipse and longitude\n"
    "  chart      the periods of transits, search or all drawn as a timeline (SVG or PNG)\n"
    "\n"
    "Run 'kovo-report COMMAND --help' for the options of a command, 'kovo-report --version'\n"
    "for the version.\n"
    "Messages go to standard error; a refused run exits with status 1, bad options with 2.\n";

const char* const kCommon =
    "  --first NAME        first body: Sun (or Earth), Mercury ... Neptune (default Mars)\n"
    "  --second NAME       second body: Mercury ... Pluto, or Moon (geocentric; default Jupiter)\n"
    "  --from YYYY-MM-DD   start date (default 1 January of this year)\n"
    "  --to YYYY-MM-DD     end date (default 31 December of this year)\n"
    "  --tz ZONE           GMT, GMT-5:00, EST/CDT ... or minutes east, e.g. -300: one offset\n"
    "                      all year; or a zone of the tz database, e.g. America/New_York,\n"
    "                      with its daylight saving (default: the computer's offset, as the\n"
    "                      window starts)\n"
    "  --lf                plain line feeds instead of CR LF\n"
    "  --format FORMAT     text (default), csv, json or ics: the report or its results\n"
    "  -o PATH             write to PATH (complete or not at all) instead of standard output\n";

const char* const kAspects =
    "  --aspects LIST      con,opp,sqr,tri,sxt,ssx,qui or all (default all)\n"
    "  --orbs O,M,I        outer, middle and inner orb in whole degrees (default 10,5,2)\n";

const char* const kIcsPeriods =
    "  --ics-periods       with --format ics: an all-day event per outer-orb period too\n";

}  // namespace

std::string UsageText(const std::string& topic) {
    if (topic == "backtest") return BacktestUsageText();
    if (IsCyclesCommand(topic)) return CyclesUsageText(topic);
    if (IsSweepCommand(topic)) return SweepUsageText(topic);
    if (topic == "transits" || topic == "all") {
        std::string text = topic == "all" ? "usage: kovo-report all [OPTIONS]\n\n"
                                            "The two-planet report of one body with every other body.\n\n"
                                          : "usage: kovo-report transits [OPTIONS]\n\n";
        text += std::string("options:\n") + kCommon + kAspects + "  --helio             heliocentric positions\n" +
                "  --limit N           refuse rows past N characters of the text, as the window does\n";
        if (topic == "all") text += "  --keep first|second the body kept: the first (default) or the second\n";
        else
            text += "  --second-degree D   a fixed point instead of --second: 45.5 or 15°30' Taurus (tropical,\n"
                    "                      of date); --first may then be Sun (or Earth) ... Pluto\n"
                    "  --second-name TEXT  the point's name in the report (default its degree)\n";
        return text + kIcsPeriods;
    }
    if (topic == "search")
        return std::string("usage: kovo-report search [OPTIONS]\n\noptions:\n") + kCommon +
               "  --aspect NAME       conjunction ... quincunx, or con ... qui (default conjunction)\n"
               "  --orb N             search orb, 3 to 15 degrees (default 6)\n"
               "  --when start|end    search on or after the start date (default) or the end date\n"
               "  --helio             heliocentric positions\n" + kIcsPeriods;
    if (topic == "simulate")
        return std::string("usage: kovo-report simulate [OPTIONS]\n\n"
                           "Always heliocentric; dates within 2007-01-03 and 2014-12-31.\n\noptions:\n") +
               kCommon + kAspects +
               "  --details           list every investment, redemption and cancellation\n"
               "  --index-file PATH   daily index closes (default DJIA_data.txt in the working folder)\n"
               "  --summary           with --format csv: the summary table instead of the events\n";
    if (topic == "chart")
        return std::string("usage: kovo-report chart [transits|search|all] [OPTIONS] -o FILE.svg|FILE.png\n\n"
                           "Draws the periods the run finds as a timeline, one lane per aspect (per pair and\n"
                           "aspect for all), instead of printing the report. Takes the options of the run it\n"
                           "names (transits when none is named), and:\n"
                           "  -o, --output FILE   the picture: SVG or PNG after the name's ending\n"
                           "  --size WxH          its size in pixels (default 1600x900)\n"
                           "  --cycles            also a lane per body (Mercury to Pluto) with its retrograde\n"
                           "                      cycles, stations and sign ingresses (heliocentric: ingresses)\n"
                           "  --moon              also a lane with the Moon's phases and the eclipses\n") +
               "Run 'kovo-report transits --help' (or search, all) for the run's options.\n";
    if (topic == "positions")
        return "usage: kovo-report positions --body NAME --from YYYY-MM-DD --to YYYY-MM-DD [OPTIONS]\n\n"
               "options:\n"
               "  --step N{d|h|m}     interval between rows (default 1d)\n"
               "  --helio             heliocentric (J2000) instead of geocentric apparent longitudes\n"
               "  --tz ZONE           the local zone of the dates and times (default GMT)\n";
    return kOverview;
}

}  // namespace kovo::report
