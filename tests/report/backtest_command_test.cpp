// kovo-report backtest end to end: options, refused price files, and a run on the real
// ephemeris over closes made so that the one trade's return is known.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "calendar/calendar_services.h"
#include "report/report_commands.h"
#include "support/temp_folder.h"
#include "test_support.h"

namespace {

struct Result {
    int status;
    std::string out;
    std::string err;
};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

Result Report(std::vector<std::string> args) {
    std::ostringstream out, err;
    const int status = kovo::report::RunReport(args, out, err, false);
    return {status, out.str(), err.str()};
}

class BacktestCommand : public ::testing::Test {
protected:
    void SetUp() override {
        kovo::testing::InitModelOnce();
    }

    std::string Write(const std::string& name, const std::string& text) {
        const std::string path = (folder_ / name).string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    // Every weekday of March to May 2011, newest first, the close being 1000 plus the
    // day's distance from 1 March.
    std::string Spring2011() {
        const std::int32_t first = kovo::testing::Day(2011, 3, 1);
        std::string rows;
        for (std::int32_t d = kovo::testing::Day(2011, 5, 31); d >= first; --d)
            if (d % 7 < 5)  // day numbers modulo 7: 0 is Monday
                rows += kovo::calendar::FormatDayNumberIso(d) + "," + std::to_string(1000 + d - first) + "\n";
        return Write("spring.csv", "Date,Close\n" + rows);
    }

    const kovo::testing::TempFolder scratch_{"kovo-backtest-command"};
    const std::filesystem::path folder_ = scratch_.Path();
};

TEST_F(BacktestCommand, BadOptionsGiveTheUsageAndStatusTwo) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"backtest"}, {"backtest", "--prices", "x.csv", "--format", "xml"},
          {"backtest", "--prices", "x.csv", "--from", "2011-13-01"}, {"backtest", "--prices", "x.csv", "--limit", "5"},
          {"backtest", "--prices", "x.csv", "--first", "Pluto"}, {"backtest", "--prices"}}) {
        const Result r = Report(args);
        EXPECT_EQ(r.status, 2) << args.back();
        EXPECT_NE(r.err.find("usage: kovo-report backtest --prices FILE.csv"), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
    // A date the calendar lacks is told as such, not as a wrong format.
    const Result february = Report({"backtest", "--prices", "x.csv", "--from", "2010-02-30"});
    EXPECT_EQ(february.status, 2);
    EXPECT_EQ(february.err.rfind("kovo-report: --from 2010-02-30: the calendar has no such day\n", 0), 0u) << february.err;
    EXPECT_EQ(Report({"backtest", "--prices", "x.csv", "--to", "2010-2-3"}).err.rfind("kovo-report: dates are written YYYY-MM-DD", 0),
              0u);
    const Result help = Report({"backtest", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--format FORMAT"), std::string::npos);
    EXPECT_NE(Report({"--help"}).out.find("  backtest   "), std::string::npos);
}

TEST_F(BacktestCommand, RefusedPriceFilesNameTheLineAndGiveStatusOne) {
    const std::string zero = Write("zero.csv", "Date,Close\n2011-03-01,5\n2011-03-02,0\n2011-03-03,6\n");
    Result r = Report({"backtest", "--prices", zero});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, zero + ": line 3: a close of 0.00 is not positive\n");
    const std::string mixed = Write("mixed.csv", "Date,Close\n2011-03-01,5\n2011-03-03,6\n2011-03-02,7\n");
    r = Report({"backtest", "--prices", mixed});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("line 4: dates out of order"), std::string::npos) << r.err;
    r = Report({"backtest", "--prices", Spring2011(), "--from", "2011-06-01"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "The start date 2011-06-01 is after the end date 2011-05-31.\n");
    r = Report({"backtest", "--prices", Spring2011(), "--from", "2011-03-05", "--to", "2011-03-06"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("holds 0 closes from 2011-03-05 to 2011-03-06"), std::string::npos) << r.err;
}

TEST_F(BacktestCommand, WritesTheTableToTheOutputFileOnlyWhenTheRunSucceeds) {
    const std::string prices = Spring2011();
    const std::string table = (folder_ / "table.csv").string();
    const std::vector<std::string> run{"backtest", "--prices", prices, "--aspects", "opp", "--format", "csv", "-o", table};
    Result r = Report(run);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    std::vector<std::string> toStandardOutput(run.begin(), run.end() - 2);
    EXPECT_EQ(ReadFile(table), Report(toStandardOutput).out);

    // A refused run leaves the file as it was; the price file itself is never the output.
    const std::string kept = ReadFile(table);
    std::vector<std::string> refused = run;
    refused.insert(refused.end(), {"--from", "2011-06-01"});
    EXPECT_EQ(Report(refused).status, 1);
    EXPECT_EQ(ReadFile(table), kept);
    const std::string before = ReadFile(prices);
    r = Report({"backtest", "--prices", prices, "-o", (folder_ / "." / "spring.csv").string()});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err.rfind("kovo-report: -o names the --prices file, which would be lost\n", 0), 0u) << r.err;
    EXPECT_EQ(ReadFile(prices), before);
    r = Report({"backtest", "--prices", prices, "-o", folder_.string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(folder_.string()), std::string::npos) << r.err;
}

TEST_F(BacktestCommand, PrintsTheStatisticsAsTextCsvOrJson) {
    // Heliocentric Earth and Jupiter: the 10° opposition is entered on Saturday 26 March
    // (traded on Monday the 28th, day 27) and left on Monday 18 April (day 48).
    const std::vector<std::string> args{"backtest", "--prices", Spring2011(), "--first", "Earth", "--second",
                                        "Jupiter",  "--helio",  "--aspects", "opp", "--format"};
    auto with = [&args](const char* format) {
        std::vector<std::string> a = args;
        a.push_back(format);
        return Report(a);
    };
    const Result csv = with("csv");
    ASSERT_EQ(csv.status, 0) << csv.err;
    // 1048 / 1027 - 1 = 21 / 1027 = 0.020447906523...; held 21 days, 15 of 65 steps.
    EXPECT_NE(csv.out.find(",Opposition,10,1,100.00,2.04,2.04,2.04,"), std::string::npos) << csv.out;
    EXPECT_NE(csv.out.find(",0.00,21.0,23.08,0,0,0,"), std::string::npos) << csv.out;
    EXPECT_NE(csv.out.find(",Buy and hold,,1,100.00,"), std::string::npos) << csv.out;

    const Result json = with("json");
    ASSERT_EQ(json.status, 0);
    EXPECT_EQ(json.out.rfind("{\"pair\":\"Earth and Jupiter\",\"heliocentric\":true,\"side\":\"long\",\"from\":\"2011-03-01\"", 0),
              0u)
        << json.out;

    const Result text = with("text");
    ASSERT_EQ(text.status, 0);
    EXPECT_EQ(text.out.rfind("Backtest of Earth and Jupiter, heliocentric, long, 2011-03-01 to 2011-05-31, 66 closes", 0), 0u)
        << text.out;
    EXPECT_NE(text.out.find("\nOpposition   10°       1   100.00     2.04"), std::string::npos) << text.out;
}

TEST_F(BacktestCommand, ANamedZoneDatesTheStaysAsItsOffsetDoes) {
    // Sun and Mars over 2011: with Tokyo's clock (+9, no daylight saving since 1951) the
    // orb dates are those of the fixed GMT+9:00 entry, not those of GMT.
    std::string rows;
    for (std::int32_t d = kovo::testing::Day(2011, 1, 3); d <= kovo::testing::Day(2011, 12, 30); ++d)
        if (d % 7 < 5) rows += kovo::calendar::FormatDayNumberIso(d) + "," + std::to_string(d % 97 + 1000) + "\n";
    const std::string prices = Write("2011.csv", "Date,Close\n" + rows);
    auto in = [&prices](const char* zone) {
        return Report({"backtest", "--prices", prices, "--first", "Sun", "--second", "Mars", "--format", "json", "--tz", zone});
    };
    const Result gmt = in("GMT"), fixed = in("GMT+9:00"), named = in("Asia/Tokyo");
    ASSERT_EQ(named.status, 0) << named.err;
    ASSERT_NE(fixed.out, gmt.out);  // the zone matters for this series
    EXPECT_EQ(named.out, fixed.out);
}

TEST_F(BacktestCommand, StatisticsOptionsAreCheckedAndTheTradesAndEventsAreWritten) {
    const std::string prices = Spring2011();
    const std::vector<std::string> run{"backtest", "--prices", prices, "--first", "Earth", "--second", "Jupiter",
                                       "--helio", "--aspects", "opp", "--permutations", "99"};
    auto with = [&run](std::vector<std::string> extra) {
        std::vector<std::string> a = run;
        a.insert(a.end(), extra.begin(), extra.end());
        return Report(a);
    };
    for (const auto& [bad, message] : std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"--permutations", "1e4"}, "--permutations takes a whole number from 0 to 1000000"},
             {{"--seed", "-1"}, "--seed takes a whole number"},
             {{"--holdout", "2011-02-30"}, "--holdout 2011-02-30: the calendar has no such day"},
             {{"--cost-bp", "5,5"}, "--cost-bp takes basis points from 0 to 1000"},
             {{"--risk-free", "nan"}, "--risk-free takes a yearly rate"},
             {{"--trades", "tri"}, "--trades takes an aspect and an orb of the run"},
             {{"--trades", "opp:7"}, "--trades names an orb of 7°, which is not one of the run's orbs"},
             {{"--trades", "tri:10"}, "--trades names an aspect the run does not test"},
             {{"--events-out", prices}, "--events-out names the --prices file"}}) {
        const Result r = with(bad);
        EXPECT_EQ(r.status, 2) << bad[0];
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
    }
    // A hold-out that leaves one side without two closes is refused like any bad range.
    EXPECT_EQ(with({"--holdout", "2011-03-02"}).status, 1);

    const std::string events = (folder_ / "events.csv").string();
    const Result trades = with({"--trades", "opp:10", "--format", "csv", "--cost-bp", "10", "--events-out", events});
    ASSERT_EQ(trades.status, 0) << trades.err;
    // 1048 / 1027 with 10 bp paid twice: 0.999^2 * 1048 / 1027 - 1 = 1.8408 %.
    EXPECT_NE(trades.out.find(",10.00,"), std::string::npos) << trades.out;
    EXPECT_NE(trades.out.find(",Opposition,10,2011-03-28,1027,2011-04-18,1048,1.84,21,false,false\n"),
              std::string::npos)
        << trades.out;
    EXPECT_EQ(ReadFile(events).rfind("pair,centricity,from,to,side,orbs,cost_bp,source,aspect,events,count_1d,", 0), 0u);

    const Result text = with({"--trades", "hold", "--holdout", "2011-04-01"});
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_NE(text.out.find("\nTrades of Buy and hold (long)\n"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("\nHold-out from 2011-04-01: in sample 2011-03-01 to 2011-03-31"), std::string::npos);
    EXPECT_NE(text.out.find("\nIn plain words: 3 rules were tested"), std::string::npos) << text.out;
}

}  // namespace
