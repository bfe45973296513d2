// kovo-report stations and ingresses: options, refusals and the formats of one range.
#include <gtest/gtest.h>

#include <sstream>

#include "report/report_commands.h"
#include "report_result.h"
#include "test_support.h"

namespace {

using Result = kovo::testing::ReportResult;
using kovo::testing::Report;

TEST(CyclesCommand, BadOptionsAndImpossibleRequestsAreRefusedWithTheReason) {
    EXPECT_EQ(Report({"stations", "--body", "Vulcan"}).status, 2);
    EXPECT_EQ(Report({"ingresses", "--zodiac", "sidereal", "--ayanamsa", "krishnamurti"}).status, 2);
    EXPECT_EQ(Report({"stations", "--zodiac", "sidereal"}).status, 2);
    EXPECT_EQ(Report({"ingresses", "--ayanamsa", "lahiri"}).status, 2);
    const Result helio = Report({"stations", "--body", "Mars", "--helio", "--from", "2024-01-01", "--to", "2024-12-31"});
    EXPECT_EQ(helio.status, 1);
    EXPECT_NE(helio.err.find("Heliocentric positions never station"), std::string::npos) << helio.err;
    EXPECT_EQ(Report({"stations", "--body", "Sun", "--from", "2024-01-01", "--to", "2024-12-31"}).status, 1);
    EXPECT_EQ(Report({"ingresses", "--from", "1599-12-31", "--to", "1600-12-31"}).status, 1);
    EXPECT_EQ(Report({"ingresses", "--from", "2024-02-01", "--to", "2024-01-01"}).status, 1);
}

TEST(CyclesCommand, EveryFormatCarriesTheSameStationsAndIngresses) {
    const std::vector<std::string> range{"--body", "Mercury", "--from", "2024-03-01", "--to", "2024-05-31"};
    auto with = [&range](const char* command, const char* format, std::vector<std::string> extra = {}) {
        std::vector<std::string> args{command};
        args.insert(args.end(), range.begin(), range.end());
        args.insert(args.end(), extra.begin(), extra.end());
        args.insert(args.end(), {"--format", format});
        return Report(args);
    };
    const Result text = with("stations", "text", {"--tz", "America/New_York"});
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_NE(text.out.find("2024-04-01 18:14 EDT  27°13' Aries"), std::string::npos) << text.out;
    const Result csv = with("stations", "csv");
    EXPECT_NE(csv.out.find("Mercury,geocentric,tropical,2024-03-19T03:40Z,2024-03-19 03:40 GMT,"), std::string::npos)
        << csv.out;
    EXPECT_NE(csv.out.find(",2024-04-01T22:14Z,2024-04-01 22:14 GMT,27°13' Aries,"), std::string::npos) << csv.out;
    const Result json = with("stations", "json");
    EXPECT_EQ(json.out.rfind("{\"run\":\"stations\",\"body\":\"Mercury\"", 0), 0u) << json.out;
    const Result ics = with("stations", "ics");
    EXPECT_NE(ics.out.find("DTSTART:20240401T221400Z\r\n"), std::string::npos) << ics.out;
    EXPECT_NE(ics.out.find("SUMMARY:Mercury stations retrograde\r\n"), std::string::npos) << ics.out;

    const Result ingresses = with("ingresses", "csv", {"--helio"});
    ASSERT_EQ(ingresses.status, 0) << ingresses.err;
    EXPECT_NE(ingresses.out.find("Mercury,heliocentric,tropical,"), std::string::npos) << ingresses.out;
    EXPECT_EQ(ingresses.out.find("retrograde"), std::string::npos);  // never, seen from the Sun
}

}  // namespace

namespace {

TEST(FixedDegreeCommand, TransitsToANamedPointAndTheRefusalsOfItsOptions) {
    const Result text = Report({"transits", "--first", "Mars", "--second-degree", "15°30' Taurus", "--second-name",
                                "NYSE Sun", "--from", "2024-01-01", "--to", "2024-12-31", "--tz", "GMT", "--lf"});
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_NE(text.out.find("Geocentric transits for Mars and NYSE Sun"), std::string::npos) << text.out;
    // Mars crossed 15°30' Taurus in mid-2024: a conjunction in the table.
    EXPECT_NE(text.out.find("Conjunction"), std::string::npos) << text.out;
    const Result csv = Report({"transits", "--first", "Mars", "--second-degree", "45.5", "--from", "2024-01-01", "--to",
                               "2024-12-31", "--tz", "GMT", "--format", "csv"});
    ASSERT_EQ(csv.status, 0) << csv.err;
    EXPECT_NE(csv.out.find("Mars,15°30' Taurus,"), std::string::npos) << csv.out;  // named by its degree

    EXPECT_EQ(Report({"transits", "--second-degree", "30 Taurus"}).status, 2);
    EXPECT_EQ(Report({"transits", "--second-name", "NYSE Sun"}).status, 2);
    EXPECT_EQ(Report({"search", "--second-degree", "45.5"}).status, 2);
    EXPECT_EQ(Report({"all", "--second-degree", "45.5"}).status, 2);
}

TEST(CycleBacktestCommand, OptionsAreCheckedBeforeAnyFileIsRead) {
    EXPECT_EQ(Report({"backtest", "--prices", "none.csv", "--cycles", "Vulcan"}).status, 2);
    EXPECT_EQ(Report({"backtest", "--prices", "none.csv", "--cycles", "Mars", "--helio"}).status, 2);
    EXPECT_EQ(Report({"backtest", "--prices", "none.csv", "--cycles", "Mars", "--days-after", "0"}).status, 2);
    EXPECT_EQ(Report({"backtest", "--prices", "none.csv", "--trades", "retrograde"}).status, 2);
    EXPECT_EQ(Report({"backtest", "--prices", "none.csv", "--moon", "--cycles", "Mars"}).status, 2);
    EXPECT_EQ(Report({"backtest", "--prices", "none.csv", "--moon", "--helio"}).status, 2);
    EXPECT_EQ(Report({"backtest", "--prices", "none.csv", "--moon", "--days-around", "61"}).status, 2);
}

}  // namespace

namespace {

TEST(LunarCommands, PhasesAndEclipsesInEveryFormatAndTheirRefusals) {
    const Result csv = Report({"phases", "--from", "2024-04-01", "--to", "2024-04-30", "--format", "csv"});
    ASSERT_EQ(csv.status, 0) << csv.err;
    EXPECT_EQ(csv.out,
              "phase,utc,local,moon_longitude\r\n"
              "last quarter,2024-04-02T03:15Z,2024-04-02 03:15 GMT,12°52' Capricorn\r\n"
              "new moon,2024-04-08T18:21Z,2024-04-08 18:21 GMT,19°24' Aries\r\n"
              "first quarter,2024-04-15T19:13Z,2024-04-15 19:13 GMT,26°18' Cancer\r\n"
              "full moon,2024-04-23T23:49Z,2024-04-23 23:49 GMT,4°18' Scorpio\r\n");
    const Result text = Report({"eclipses", "--from", "2024-01-01", "--to", "2024-12-31", "--tz", "America/New_York"});
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_NE(text.out.find("2024-04-08 14:17 EDT  solar    total      19°24' Aries"), std::string::npos) << text.out;
    const Result json = Report({"eclipses", "--from", "2022-11-01", "--to", "2022-11-30", "--format", "json"});
    EXPECT_NE(json.out.find("{\"eclipse\":\"lunar\",\"type\":\"total\",\"greatest_utc\":\"2022-11-08T10:59Z\""),
              std::string::npos)
        << json.out;
    const Result ics = Report({"phases", "--from", "2024-04-08", "--to", "2024-04-08", "--format", "ics"});
    EXPECT_NE(ics.out.find("DTSTART:20240408T182100Z\r\nSUMMARY:New moon\r\n"), std::string::npos) << ics.out;

    const Result helio = Report({"phases", "--helio"});
    EXPECT_EQ(helio.status, 1);
    EXPECT_NE(helio.err.find("heliocentrically there is no Moon"), std::string::npos) << helio.err;
    EXPECT_EQ(Report({"eclipses", "--body", "Mars"}).status, 2);
    EXPECT_EQ(Report({"phases", "--zodiac", "sidereal"}).status, 2);
    EXPECT_EQ(Report({"eclipses", "--from", "2199-06-01", "--to", "2200-01-31"}).status, 1);
}

}  // namespace

namespace {

// The Moon is a second body of transits and search, geocentric only.
TEST(MoonCommands, TheMoonAsTheSecondBodyOfTransitsAndItsRefusals) {
    const Result csv = Report({"transits", "--first", "Jupiter", "--second", "Moon", "--from", "2024-04-01", "--to",
                               "2024-04-30", "--tz", "GMT", "--aspects", "conjunction", "--format", "csv"});
    ASSERT_EQ(csv.status, 0) << csv.err;
    EXPECT_NE(csv.out.find("Jupiter,Moon,geocentric,conjunction,"), std::string::npos) << csv.out;
    EXPECT_NE(csv.out.find("2024-04-10T19:19"), std::string::npos) << csv.out;
    const Result helio = Report({"transits", "--first", "Mars", "--second", "Moon", "--helio"});
    EXPECT_EQ(helio.status, 1);
    EXPECT_NE(helio.err.find("heliocentrically there is no Moon"), std::string::npos) << helio.err;
    EXPECT_EQ(Report({"all", "--first", "Moon"}).status, 2);
    EXPECT_EQ(Report({"positions", "--body", "Moon"}).status, 2);
    EXPECT_EQ(Report({"transits", "--first", "Moon", "--second", "Mars"}).status, 2);  // the Moon comes second
}

}  // namespace
