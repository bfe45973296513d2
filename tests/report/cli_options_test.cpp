#include <gtest/gtest.h>

#include "report/cli_options.h"

using namespace kovo::report;

TEST(CliOptions, ReadsEveryOptionOfATransitRun) {
    const auto r = ParseCommandLine({"transits", "--first", "earth", "--second", "Pluto", "--helio", "--from",
                                     "2011-03-15", "--to", "2011-09-30", "--aspects", "con,TRI,quincunx", "--orbs",
                                     "12,6,1", "--tz", "EST/CDT", "--lf", "--limit", "500"});
    ASSERT_EQ(r.error, "");
    const auto& o = r.options;
    EXPECT_EQ(o.command, Command::Transits);
    EXPECT_EQ(o.first, 1);
    EXPECT_EQ(o.second, 9);
    EXPECT_TRUE(o.heliocentric);
    EXPECT_EQ(o.from, "2011-03-15");
    EXPECT_EQ(o.aspects, (std::array<bool, 7>{true, false, false, true, false, false, true}));
    EXPECT_EQ(o.orbs, (std::array<int, 3>{12, 6, 1}));
    EXPECT_EQ(o.timezonePosition, 14);
    EXPECT_TRUE(o.abbreviations);
    EXPECT_TRUE(o.lineFeeds);
    EXPECT_EQ(o.limit, 500u);
}

TEST(CliOptions, ZonesByNumericTextOrMinutesShowNoAbbreviation) {
    auto r = ParseCommandLine({"search", "--tz", "GMT-5:00", "--aspect", "sxt", "--orb", "15", "--when", "end"});
    ASSERT_EQ(r.error, "");
    EXPECT_EQ(r.options.timezonePosition, 14);
    EXPECT_FALSE(r.options.abbreviations);
    EXPECT_EQ(r.options.searchAspect, 5);
    EXPECT_EQ(r.options.searchOrb, 15);
    EXPECT_TRUE(r.options.searchFromEnd);
    r = ParseCommandLine({"positions", "--tz", "330", "--step", "6h"});
    EXPECT_EQ(r.options.timezonePosition, 35);
    EXPECT_DOUBLE_EQ(r.options.stepDays, 0.25);
}

TEST(CliOptions, BadInputIsNamed) {
    EXPECT_EQ(ParseCommandLine({"bogus"}).error, "unknown command 'bogus'");
    EXPECT_EQ(ParseCommandLine({"transits", "--bogus"}).error, "unknown option '--bogus'");
    EXPECT_EQ(ParseCommandLine({"transits", "--from"}).error, "option '--from' needs a value");
    EXPECT_EQ(ParseCommandLine({"transits", "--first", "Vulcan"}).error, "unknown body 'Vulcan'");
    EXPECT_NE(ParseCommandLine({"transits", "--orbs", "10,5"}).error, "");
    EXPECT_NE(ParseCommandLine({"transits", "--orbs", "10,5,16"}).error, "");
    EXPECT_NE(ParseCommandLine({"transits", "--aspects", "con,foo"}).error, "");
    EXPECT_NE(ParseCommandLine({"transits", "--tz", "GMT+12:00"}).error, "");
    EXPECT_NE(ParseCommandLine({"search", "--orb", "2"}).error, "");
    EXPECT_NE(ParseCommandLine({"search", "--when", "later"}).error, "");
    EXPECT_NE(ParseCommandLine({"positions", "--step", "5x"}).error, "");
    EXPECT_NE(ParseCommandLine({"transits", "stray"}).error, "");
}

TEST(CliOptions, HelpForTheCommandAndEachSubcommand) {
    EXPECT_EQ(ParseCommandLine({}).options.command, Command::Help);
    const auto r = ParseCommandLine({"simulate", "--help"});
    EXPECT_EQ(r.options.command, Command::Help);
    EXPECT_EQ(r.options.helpTopic, "simulate");
    for (const char* topic : {"transits", "search", "all", "simulate", "positions"})
        EXPECT_NE(UsageText(topic).find(std::string("kovo-report ") + topic), std::string::npos) << topic;
    EXPECT_NE(UsageText("").find("commands:"), std::string::npos);
}

TEST(CliOptions, VersionStandsAlone) {
    EXPECT_EQ(ParseCommandLine({"--version"}).options.command, Command::Version);
    EXPECT_NE(ParseCommandLine({"--version", "transits"}).error, "");
    EXPECT_NE(ParseCommandLine({"transits", "--version"}).error, "");
}
