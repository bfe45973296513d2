// kovo-report end to end, on the real ephemeris.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "report/report_commands.h"
#include "report_result.h"
#include "support/scoped_env.h"
#include "support/temp_folder.h"
#include "test_support.h"

using kovo::report::RunReport;

namespace {

using Result = kovo::testing::ReportResult;
using kovo::testing::Report;

std::string Golden(const std::string& name) {
    std::ifstream in(std::string(KOVO_TEST_SOURCE_DIR) + "/transits/golden/" + name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

TEST(ReportCommands, TransitsPrintTheGoldenReportByteForByte) {
    const auto r = Report({"transits", "--first", "Mars", "--second", "Jupiter", "--from", "2026-01-01", "--to",
                           "2026-12-31", "--tz", "GMT"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, Golden("mars_jupiter_2026_geo_gmt.txt"));
    const auto lf = Report({"transits", "--from", "2026-01-01", "--to", "2026-12-31", "--tz", "GMT", "--lf"});
    EXPECT_EQ(lf.out.find('\r'), std::string::npos);
    EXPECT_EQ(lf.out.size() + std::count(lf.out.begin(), lf.out.end(), '\n'), r.out.size());
}

TEST(ReportCommands, ValidationFailuresGiveTheWindowsTextsAndStatusOne) {
    auto r = Report({"transits", "--from", "2026-01-01", "--to", "2026-01-03", "--tz", "GMT"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "The start date must be at least 3 days prior to the end date.\n");
    EXPECT_EQ(r.out, "");
    r = Report({"transits", "--first", "Jupiter", "--second", "Jupiter", "--tz", "GMT"});
    EXPECT_EQ(r.err, "Transit of a planet to itself is not possible.\n");
    r = Report({"transits", "--orbs", "5,5,2", "--tz", "GMT"});
    EXPECT_EQ(r.err, "Orbs must be strictly decreasing.\n");
    r = Report({"transits", "--from", "2026-02-30", "--tz", "GMT"});
    EXPECT_EQ(r.err, "The start date is invalid.\n");
    r = Report({"search", "--first", "Sun", "--second", "Mercury", "--aspect", "square", "--tz", "GMT"});
    EXPECT_EQ(r.err,
              "The only possible geocentric aspects between the Sun and Mercury\nare conjunction and semisextile.\n");
    r = Report({"transits", "--second", "Pluto", "--from", "2100-01-01", "--to", "2100-02-01", "--tz", "GMT"});
    EXPECT_EQ(r.err, "Start date is too late for Pluto.\n");
}

TEST(ReportCommands, BadOptionsGiveTheUsageAndStatusTwo) {
    auto r = Report({"transits", "--orbs", "1,2"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("usage: kovo-report transits"), std::string::npos);
    r = Report({"transits", "--from", "1 May 2026"});
    EXPECT_EQ(r.status, 2);
    r = Report({"transits", "--first", "Pluto"});
    EXPECT_EQ(r.status, 2);
    r = Report({"nonsense"});
    EXPECT_EQ(r.status, 2);
    r = Report({"simulate", "--first", "Earth", "--second", "Sun"});
    EXPECT_EQ(r.status, 2);
}

TEST(ReportCommands, AZoneTheDatabaseCannotGiveIsRefusedWithItsReason) {
    namespace fs = std::filesystem;
    const kovo::testing::TempFolder scratch("kovo-report-damaged-tzdb");
    const fs::path folder = scratch / "tzdb";
    fs::create_directories(folder / "America");
    std::ofstream(folder / "America/New_York", std::ios::binary) << std::string(3000, '\x7f');
    Result damaged, missing, none;
    {
        const kovo::testing::ScopedEnv tzdir("TZDIR", folder.string());
        damaged = Report({"transits", "--from", "2026-01-01", "--to", "2026-03-01", "--tz", "America/New_York"});
        fs::remove_all(folder / "America");
        missing = Report({"positions", "--tz", "UTC"});  // an empty folder
        fs::remove_all(folder);
        none = Report({"positions", "--tz", "UTC"});
    }
    EXPECT_EQ(damaged.status, 2);
    EXPECT_NE(damaged.err.find("kovo-report: the time-zone database entry America/New_York cannot be read: it is not "
                               "a zone file (TZif)"),
              std::string::npos)
        << damaged.err;
    for (const Result& r : {missing, none}) {
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find("the time-zone database is missing"), std::string::npos) << r.err;
    }
    // The computer's own setting is no zone of the list, so it is refused like any unknown name.
    const Result local = Report({"positions", "--tz", "localtime"});
    EXPECT_EQ(local.status, 2);
    EXPECT_NE(local.err.find("unknown time zone 'localtime'"), std::string::npos) << local.err;
}

TEST(ReportCommands, NotFoundIsAMessageButNoFailure) {
    const auto r = Report({"transits", "--first", "Mars", "--second", "Saturn", "--aspects", "con", "--from",
                           "2026-01-01", "--to", "2026-02-01", "--tz", "GMT"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "There are no transits of this kind in the period specified.\n");
}

TEST(ReportCommands, LimitStopsTheRunLikeTheWindowWithoutAsking) {
    const auto r = Report({"all", "--first", "Sun", "--from", "2000-01-01", "--to", "2010-12-31", "--tz", "GMT",
                           "--limit", "2000"});
    EXPECT_NE(r.out.find("Textbox is full -- \r\nStopped"), std::string::npos);
    EXPECT_EQ(r.err, "Output textbox is full.\n");
    EXPECT_LT(r.out.size(), 4000u);
}

TEST(ReportCommands, PositionsTable) {
    const auto r = Report({"positions", "--body", "Mercury", "--from", "2024-04-09", "--to", "2024-04-10", "--tz",
                           "GMT", "--lf"});
    EXPECT_EQ(r.status, 0);
    std::istringstream lines(r.out);
    std::string header, first;
    std::getline(lines, header);
    std::getline(lines, first);
    EXPECT_NE(header.find("geocentric apparent, Mercury, GMT"), std::string::npos);
    EXPECT_EQ(first.substr(0, 16), "2024-04-09 00:00");
    EXPECT_EQ(first.back(), 'r');  // Mercury retrograde in April 2024
    int rows = 1;
    while (std::getline(lines, header)) ++rows;
    EXPECT_EQ(rows, 2);
}

// Pluto's files cover fewer years than the ephemeris: a table reaching past them is
// refused with those years, never printed with the files' "no data" values.
TEST(ReportCommands, PositionsOfPlutoOutsideItsYearsAreRefusedWithThoseYears) {
    struct Case {
        std::vector<std::string> args;
        std::string refusal;  // "" when the whole table has data
    };
    const std::string late = "End date is too late for Pluto: its geocentric positions cover the years 1600 to 2099 (UT).\n";
    const Case cases[] = {
        {{"--from", "2099-12-30", "--to", "2100-01-02"}, late},
        {{"--from", "1599-12-31", "--to", "1600-01-01", "--helio"},
         "Start date is too early for Pluto: its heliocentric positions cover the years 1600 to 2199 (UT).\n"},
        {{"--from", "2099-12-31", "--to", "2099-12-31", "--step", "6h"}, ""},
        // The zone decides: 23:00 in New York is already the next day in UT; midnight
        // of 1 January 2100 ten hours east of Greenwich is still 2099 there.
        {{"--from", "2099-12-31", "--to", "2099-12-31", "--step", "1h", "--tz", "America/New_York"}, late},
        {{"--from", "2099-12-31", "--to", "2100-01-01", "--tz", "GMT+10:00"}, ""},
        {{"--from", "2150-01-01", "--to", "2199-12-31", "--step", "3650d", "--helio"}, ""},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args{"positions", "--body", "Pluto"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const auto r = Report(args);
        EXPECT_EQ(r.err, c.refusal) << c.args[1];
        EXPECT_EQ(r.status, c.refusal.empty() ? 0 : 1) << c.args[1];
        if (!c.refusal.empty()) {
            EXPECT_EQ(r.out, "");
        }
        EXPECT_EQ(r.out.find("-100.0"), std::string::npos) << r.out;
        EXPECT_EQ(r.out.find("-99.0"), std::string::npos) << r.out;
    }
}

// A named zone's clock skips 02:00-02:59 on 8 March 2026 and shows 01:00-01:59 twice on
// 1 November: no rows for the first, two for the second, in time order.
TEST(ReportCommands, PositionsInANamedZoneFollowTheClock) {
    auto rows = [](const std::string& day) {
        const auto r = Report({"positions", "--body", "Mars", "--from", day, "--to", day, "--step", "30m", "--tz",
                               "America/New_York", "--lf"});
        EXPECT_EQ(r.status, 0) << r.err;
        std::istringstream lines(r.out);
        std::vector<std::string> clock;
        std::string line;
        std::getline(lines, line);
        EXPECT_NE(line.find("Mars, America/New_York"), std::string::npos) << line;
        while (std::getline(lines, line)) clock.push_back(line.substr(11, 9));
        return clock;
    };
    const auto spring = rows("2026-03-08");
    ASSERT_EQ(spring.size(), 46u);
    EXPECT_EQ(spring[3], "01:30 EST");
    EXPECT_EQ(spring[4], "03:00 EDT");
    const auto autumn = rows("2026-11-01");
    ASSERT_EQ(autumn.size(), 50u);
    const std::vector<std::string> repeated{"01:00 EDT", "01:30 EDT", "01:00 EST", "01:30 EST", "02:00 EST"};
    EXPECT_EQ(std::vector<std::string>(autumn.begin() + 2, autumn.begin() + 7), repeated);
}

TEST(ReportCommands, SimulationMatchesTheHandCheckedGoldenReport) {
    const std::string data = kovo::testing::SharedIndexFile();
    KOVO_REQUIRE_INDEX_FILE(data);
    const auto r = Report({"simulate", "--first", "Earth", "--second", "Jupiter", "--from", "2011-03-15", "--to",
                           "2011-09-30", "--aspects", "con,opp", "--orbs", "10,5,2", "--details", "--index-file", data});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    std::ifstream in(std::string(KOVO_TEST_SOURCE_DIR) + "/simulation/golden/earth_jupiter_2011_conjunction_opposition.txt",
                     std::ios::binary);
    std::stringstream golden;
    golden << in.rdbuf();
    EXPECT_EQ(r.out, golden.str());
}

TEST(ReportCommands, AShortIndexFileWarnsButTheSimulationStillRuns) {
    const std::string data = kovo::testing::SharedIndexFile();
    KOVO_REQUIRE_INDEX_FILE(data);
    std::ifstream in(data, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    std::string text = all.str();
    text.erase(text.rfind("2014-12-31"));  // 2087 lines: wrong count, the dates still covered
    const kovo::testing::TempFolder scratch("kovo-short-djia");
    const std::string shortFile = scratch.File("DJIA_data.txt");
    std::ofstream(shortFile, std::ios::binary) << text;
    const auto r = Report({"simulate", "--first", "Earth", "--from", "2011-03-15", "--to", "2011-09-30",
                           "--index-file", shortFile});
    EXPECT_EQ(r.err, "Error reading DJIA data file\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("Total number of investments = "), std::string::npos);
}

TEST(ReportCommands, SimulationWithoutIndexHistoryStopsAtTheFirstDay) {
    const auto r = Report({"simulate", "--from", "2011-03-15", "--to", "2011-09-30", "--index-file",
                           "/nonexistent/DJIA_data.txt"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Error reading DJIA data file\nFor 2011-03-15 cannot get value from DJIA data.\n");
    EXPECT_EQ(r.out.find("Total number"), std::string::npos);
}
