// Whole backtests through the transit run: refusals, the rendered tables, and on the
// real index history the comparison with the investment simulation's redemptions.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

#include "backtest/backtest_run.h"
#include "backtest/backtest_table.h"
#include "export/backtest_export.h"
#include "fake_run_host.h"
#include "simulation/simulation.h"
#include "synthetic_prices.h"
#include "test_support.h"

namespace kovo::backtest {
namespace {

using exporting::BacktestCsv;
using exporting::BacktestJson;
using testing::Day;

BacktestResult RunOn(const BacktestParams& params, const PriceSeries& series, testing::FakeRunHost& host) {
    testing::InitModelOnce();
    return RunBacktest(params, series, host);
}

TEST(BacktestRunTest, RefusesRangesWithoutTwoClosesAndWhatTheTransitRunRefuses) {
    testing::FakeRunHost host;
    BacktestParams params;
    params.fromDay = testing::FirstMonday() + 5;  // a weekend
    params.toDay = testing::FirstMonday() + 6;
    BacktestResult r = RunOn(params, testing::ThreeWeeks(), host);
    EXPECT_EQ(r.outcome, util::RunOutcome::Refused);
    EXPECT_EQ(r.refusal, "The price series holds 0 closes from 2011-03-12 to 2011-03-13; a backtest needs at least 2.");
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].title, kBacktestTitle);

    params.toDay = testing::FirstMonday() + 2;
    EXPECT_EQ(RunOn(params, testing::ThreeWeeks(), host).refusal,
              "The start date 2011-03-12 is after the end date 2011-03-09.");

    // Two closes too close together to scan: told in terms of the closes, whatever the
    // range around them.
    for (const std::int32_t to : {testing::FirstMonday() + 1, testing::FirstMonday() + 6}) {
        params.fromDay = testing::FirstMonday() - 30;
        params.toDay = to;
        PriceSeries twoDays = testing::ThreeWeeks();
        twoDays.points.resize(3);
        r = RunOn(params, to > testing::FirstMonday() + 1 ? twoDays : testing::ThreeWeeks(), host);
        EXPECT_EQ(r.outcome, util::RunOutcome::Refused);
        EXPECT_EQ(r.refusal, to > testing::FirstMonday() + 1
                                 ? "The closes from 2011-03-07 to 2011-03-09 span less than 3 days; a backtest needs a "
                                   "longer series."
                                 : "The closes from 2011-03-07 to 2011-03-08 span less than 3 days; a backtest needs a "
                                   "longer series.");
        EXPECT_FALSE(r.HasStatistics());
    }
    params.fromDay = testing::FirstMonday();

    params.toDay.reset();
    params.orbDegrees = {5, 5, 2};
    EXPECT_EQ(RunOn(params, testing::ThreeWeeks(), host).refusal, "Orbs must be strictly decreasing.");
}

TEST(BacktestRunTest, PlutoLimitsApplyOnlyToPairsWithPluto) {
    testing::FakeRunHost host;
    PriceSeries old;
    old.points = {{.day = Day(1550, 1, 3), .close = 1, .line = 0}, {.day = Day(1550, 2, 3), .close = 2, .line = 0}};
    BacktestParams params;
    params.first = astro::Body::Jupiter;
    params.second = astro::Body::Saturn;
    params.heliocentric = false;
    params.aspects = {true, false, false, false, false, false, false};
    EXPECT_TRUE(RunOn(params, old, host).HasStatistics());
    params.second = astro::Body::Pluto;
    const BacktestResult pluto = RunOn(params, old, host);
    EXPECT_EQ(pluto.outcome, util::RunOutcome::Refused);
    EXPECT_FALSE(host.messages.empty());

    params.pluto = {.available = false, .reason = "pluto.slx: missing"};
    old.points = {{.day = Day(2000, 1, 3), .close = 1, .line = 0}, {.day = Day(2000, 2, 3), .close = 2, .line = 0}};
    EXPECT_EQ(RunOn(params, old, host).refusal, "Pluto data is not available.\r\npluto.slx: missing");
}

TEST(BacktestRunTest, OnlyTheSpanOfTheClosesIsScannedWhateverTheRange) {
    BacktestParams params;
    params.aspects = {true, true, false, false, false, false, false};
    testing::FakeRunHost closesOnly;
    const BacktestResult own = RunOn(params, testing::ThreeWeeks(), closesOnly);
    ASSERT_TRUE(own.HasStatistics());
    // Centuries on either side: the scan still takes one step per day of the closes (the
    // run reports its progress once a step), and every figure is the same.
    params.fromDay = Day(1, 1, 1);
    params.toDay = Day(2799, 12, 31);
    testing::FakeRunHost wide;
    const BacktestResult r = RunOn(params, testing::ThreeWeeks(), wide);
    ASSERT_TRUE(r.HasStatistics());
    EXPECT_EQ(wide.progressCalls, closesOnly.progressCalls);
    EXPECT_LT(wide.progressCalls, 100);
    EXPECT_EQ(BacktestText(r), BacktestText(own));
    EXPECT_EQ(r.stays, own.stays);
    EXPECT_EQ(r.exacts, own.exacts);
}

TEST(BacktestRunTest, AStopRequestEndsTheRunWithoutStatistics) {
    testing::FakeRunHost host;
    host.answers.push_back(util::Answer::Yes);
    host.onProgress = [&host](int steps) {
        if (steps == 5) host.cancel.Request();
    };
    testing::InitModelOnce();
    const BacktestResult r = RunBacktest(BacktestParams{}, testing::ThreeWeeks(), host);
    EXPECT_EQ(r.outcome, util::RunOutcome::Stopped);
    EXPECT_FALSE(r.HasStatistics());
}

TEST(BacktestTableTest, TextCsvAndJsonCarryTheSameFigures) {
    BacktestParams params;
    params.aspects = {true, false, false, false, false, false, false};
    const std::int32_t m = testing::FirstMonday();
    PriceSeries prices = testing::ThreeWeeks();
    prices.source = "three \"weeks\".csv";
    prices.column = "Adj Close";
    const BacktestResult r =
        EvaluateBacktest(params, prices, {{.aspect = 1, .level = 0, .entryDay = m + 1, .exitDay = m + 3}},
                         {{.aspect = 1, .instantUt = 0, .day = m + 7}});

    const std::string text = BacktestText(r);
    EXPECT_EQ(text.rfind("Backtest of Earth and Jupiter, heliocentric, long, 2011-03-07 to 2011-03-25, 15 closes of "
                         "three \"weeks\".csv, column Adj Close\n",
                         0),
              0u)
        << text;
    // 102 -> 105: one trade of 2.94 %, held 2 days, 2 of 14 steps in the market.
    EXPECT_NE(text.find("Conjunction  10°       1   100.00     2.94     2.94      2.94"), std::string::npos) << text;
    EXPECT_NE(text.find("Conjunction  5°        0        -        -        -         -        -     0.00       -     0.00"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("Buy and hold           1   100.00    19.00    19.00     19.00"), std::string::npos) << text;

    // Every row of the tidy table carries the run's details; percents as the text shows them.
    const std::string csv = BacktestCsv(r);
    const std::string run = "Earth and Jupiter,heliocentric,2011-03-07,2011-03-25,long,10/5/2,0.00,\"three \"\"weeks\"\".csv\",";
    EXPECT_EQ(csv.rfind("pair,centricity,from,to,side,orbs,cost_bp,source,aspect,orb_degrees,trades,profitable_pct,", 0), 0u)
        << csv;
    EXPECT_NE(csv.find("\n" + run + "Conjunction,10,1,100.00,2.94,2.94,2.94,"), std::string::npos) << csv;
    EXPECT_NE(csv.find("\n" + run + "Conjunction,5,0,,,,,,0.00,,0.00,0,0,0,,,,,,,,false,"), std::string::npos) << csv;
    EXPECT_NE(csv.find("\n" + run + "Buy and hold,,1,100.00,19.00,19.00,19.00,"), std::string::npos) << csv;
    EXPECT_EQ(csv.find("e-"), std::string::npos) << csv;
    const std::string events = exporting::EventStudyCsv(r);
    EXPECT_NE(events.find(",aspect,events,count_1d,mean_pct_1d,median_pct_1d,excess_pct_1d,t_newey_west_1d,p_value_1d,"),
              std::string::npos)
        << events;
    EXPECT_NE(events.find("\n" + run + "Conjunction,1,1,-1.82,-1.82,"), std::string::npos) << events;

    const std::string json = BacktestJson(r);
    EXPECT_NE(json.find("\"source\":\"three \\\"weeks\\\".csv\",\"column\":\"Adj Close\""), std::string::npos) << json;
    EXPECT_NE(json.find(",\"orbsDegrees\":[10,5,2],\"permutations\":10000,\"seed\":1,"), std::string::npos) << json;
    EXPECT_NE(json.find("{\"aspect\":\"Conjunction\",\"orbDegrees\":5,\"trades\":0,\"profitableShare\":null"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("{\"tradingDays\":20,\"count\":0,\"mean\":null,\"median\":null,"), std::string::npos) << json;
    EXPECT_EQ(PlainNumber(-0.0), "0");
    EXPECT_EQ(PlainNumber(0.125), "0.125");
}

TEST(BacktestTableTest, HeadingAndJsonWriteFourDigitYears) {
    BacktestParams params;
    PriceSeries early;
    early.points = {{.day = Day(800, 3, 1), .close = 1, .line = 0}, {.day = Day(800, 3, 9), .close = 2, .line = 0}};
    const BacktestResult r = EvaluateBacktest(params, early, {}, {});
    EXPECT_NE(BacktestText(r).find(", 0800-03-01 to 0800-03-09, 2 closes"), std::string::npos) << BacktestText(r);
    EXPECT_NE(BacktestJson(r).find("\"from\":\"0800-03-01\",\"to\":\"0800-03-09\""), std::string::npos) << BacktestJson(r);
}

TEST(BacktestTableTest, DaysHeldAreRoundedAndNoFigureIsEverInfOrNan) {
    BacktestParams params;
    params.aspects = {true, false, false, false, false, false, false};
    const std::int32_t m = testing::FirstMonday();
    BacktestResult r = EvaluateBacktest(params, testing::ThreeWeeks(),
                                        {{.aspect = 1, .level = 0, .entryDay = m + 1, .exitDay = m + 3}}, {});
    StrategyResult& outer = r.strategies[0];
    outer.stats.averageDaysHeld = 156.0 / 7;  // 22.2857...
    EXPECT_NE(BacktestText(r).find("  22.3 "), std::string::npos) << BacktestText(r);
    outer.stats.averageDaysHeld = 0.25;  // a tie of the binary value goes to even
    EXPECT_NE(BacktestText(r).find("   0.2 "), std::string::npos) << BacktestText(r);

    const double inf = std::numeric_limits<double>::infinity();
    outer.stats.totalReturn = inf;
    outer.stats.annualisedReturn = std::nan("");
    outer.stats.maxDrawdown = -inf;
    outer.stats.meanReturn = inf;
    outer.stats.averageDaysHeld = inf;
    for (const std::string& table : {BacktestText(r), BacktestCsv(r), BacktestJson(r)}) {
        EXPECT_EQ(table.find("inf"), std::string::npos) << table;
        EXPECT_EQ(table.find("nan"), std::string::npos) << table;
    }
    EXPECT_NE(BacktestCsv(r).find(",Conjunction,10,1,100.00,,2.94,,,,,14.29,"), std::string::npos) << BacktestCsv(r);
}

// ---- the real index history against the simulation --------------------------------

struct SimulatedTrade {
    int aspect = 0;
    int orbDegrees = 0;
    std::int32_t entryDay = 0;  // the days of the walk's steps, weekends kept
    std::int32_t exitDay = 0;
    double gainFraction = 0;    // the redemption's gain per dollar invested
};

// Each redemption with the investment it redeems; cancelled investments drop out.
std::vector<SimulatedTrade> SimulatedTrades(const simulation::SimulationRun& run) {
    std::map<std::pair<int, int>, std::int32_t> open;
    std::vector<SimulatedTrade> trades;
    for (const simulation::SimulationEvent& e : run.events) {
        const auto slot = std::make_pair(e.aspect, e.orbDegrees);
        if (e.kind == simulation::SimulationEventKind::Investment) {
            open[slot] = e.day;
        } else if (e.kind == simulation::SimulationEventKind::Redemption) {
            trades.push_back({.aspect = e.aspect, .orbDegrees = e.orbDegrees, .entryDay = open[slot], .exitDay = e.day,
                              .gainFraction = e.amount / simulation::InvestmentAmount});
            open.erase(slot);
        } else {
            open.erase(slot);
        }
    }
    return trades;
}

PriceSeries SeriesOfIndexFile(const simulation::IndexPrices& index) {
    PriceSeries series;
    for (const std::string& line : index.IndexLines()) {
        const double value = simulation::IndexPrices::LineValue(line);
        if (value < 0.005) continue;  // a market holiday, as the simulation reads it
        platform::DateRecord record{.year = std::stoi(line.substr(0, 4)),
                                    .month = std::stoi(line.substr(5, 2)),
                                    .day = std::stoi(line.substr(8, 2)),
                                    .calendar = 'G'};
        series.points.push_back({.day = calendar::DayNumberFromDate(record), .close = value, .line = 0});
    }
    return series;
}

TEST(BacktestOnRealIndexTest, TradeReturnsEqualTheSimulationsRedemptions) {
    testing::InitModelOnce();
    const std::string path = testing::SharedIndexFile();
    KOVO_REQUIRE_INDEX_FILE(path);
    simulation::IndexPrices index;
    ASSERT_FALSE(index.Load(path).has_value());
    const std::array<bool, 7> all{true, true, true, true, true, true, true};
    const std::int32_t from = simulation::FirstInvestmentDay;
    const std::int32_t to = simulation::LastInvestmentDay;

    testing::FakeRunHost simHost;
    simulation::SimulationRequest simParams;
    simParams.first = astro::Body::Sun;
    simParams.second = astro::Body::Jupiter;
    simParams.aspectChecked = all;
    simParams.startDay = from;
    simParams.endDay = to;
    const simulation::SimulationRun sim = simulation::RunSimulation(simParams, index, simHost);
    ASSERT_EQ(sim.outcome, simulation::SimulationOutcome::Finished);

    testing::FakeRunHost host;
    const PriceSeries series = SeriesOfIndexFile(index);
    BacktestParams params;
    params.fromDay = from;
    params.toDay = to;
    const BacktestResult bt = RunBacktest(params, series, host);
    ASSERT_TRUE(bt.HasStatistics()) << bt.refusal;

    // The two rules differ by design:
    //  - the simulation walks in 3-hour steps and dates an orb change by its first step
    //    past it; the transit scan of this pair steps 6 hours and the backtest takes the
    //    report's dates, so a change can be dated a day later than the walk dates it;
    //  - the simulation redeems an investment bought and sold at one day's value with a
    //    gain of 0, the backtest counts that as no trade;
    //  - at the range's ends the simulation buys only an aspect still applying and
    //    cancels one still applying at the last step, while the backtest opens every stay
    //    in progress at the first close and closes every open one at the last (flagged).
    // So: on the simulation's own dates the backtest's pricing gives the redemption's
    // return exactly; each redemption has a stay of the same aspect and orb dated the
    // same day or one day later; and where both trade the same closes the backtest's
    // trade return is the redemption's.
    int sameCloses = 0;
    int dayLater = 0;
    for (const SimulatedTrade& s : SimulatedTrades(sim)) {
        const auto entry = series.FirstOnOrAfter(s.entryDay);
        const auto exit = series.FirstOnOrAfter(s.exitDay);
        ASSERT_TRUE(entry && exit);
        if (*entry == *exit) {
            EXPECT_EQ(s.gainFraction, 0.0);
            continue;
        }
        EXPECT_NEAR(SideReturn(Side::Long, series.points[*entry].close, series.points[*exit].close), s.gainFraction,
                    1e-12);
        const auto level = static_cast<int>(std::find(params.orbDegrees.begin(), params.orbDegrees.end(), s.orbDegrees) -
                                            params.orbDegrees.begin());
        const OrbStay* stay = nullptr;
        for (const OrbStay& o : bt.stays)
            if (o.aspect == s.aspect && o.level == level && o.entryDay && o.exitDay && *o.entryDay - s.entryDay >= 0 &&
                *o.entryDay - s.entryDay <= 1 && *o.exitDay - s.exitDay >= 0 && *o.exitDay - s.exitDay <= 1)
                stay = &o;
        ASSERT_NE(stay, nullptr) << "no stay for the simulation's " << s.aspect << "/" << s.orbDegrees << " from "
                                 << calendar::FormatDayNumberIso(s.entryDay);
        if (*stay->entryDay != s.entryDay || *stay->exitDay != s.exitDay) ++dayLater;
        const StrategyResult& strategy = bt.strategies[static_cast<std::size_t>((s.aspect - 1) * 3 + level)];
        for (const Trade& t : strategy.trades.trades) {
            if (t.entryIndex != *entry || t.exitIndex != *exit) continue;
            EXPECT_NEAR(t.tradeReturn, s.gainFraction, 1e-12);
            ++sameCloses;
        }
    }
    EXPECT_GT(sameCloses, 40);
    EXPECT_GT(dayLater, 0);
}

}  // namespace
}  // namespace kovo::backtest
