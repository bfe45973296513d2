// RunSweep on the real ephemeris over seeded walks: the result does not depend on the
// number of threads, every row is the row of the single backtest of its rule, and what
// cannot run is refused or named.
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <thread>

#include "backtest/backtest_table.h"
#include "export/backtest_export.h"
#include "export/sweep_export.h"
#include "fake_run_host.h"
#include "sweep/sweep_run.h"
#include "sweep_support.h"

namespace kovo::sweep {
namespace {

using backtest::BacktestParams;
using backtest::Side;
using exporting::Cell;
using exporting::ExportTable;
using testing::Day;

std::size_t Column(const ExportTable& table, const std::string& name) {
    for (std::size_t c = 0; c < table.columns.size(); ++c)
        if (table.columns[c] == name) return c;
    ADD_FAILURE() << "no column " << name;
    return 0;
}

const Cell& At(const ExportTable& table, const std::vector<Cell>& row, const std::string& name) {
    return row[Column(table, name)];
}

void ExpectSameOutputs(const SweepResult& a, const SweepResult& b) {
    EXPECT_TRUE(testing::SameText(exporting::SweepText(a), exporting::SweepText(b)));
    EXPECT_TRUE(testing::SameText(exporting::SweepCsv(a), exporting::SweepCsv(b)));
    EXPECT_TRUE(testing::SameText(exporting::SweepJson(a), exporting::SweepJson(b)));
    EXPECT_TRUE(testing::SameText(exporting::SweepPeriodsCsv(a), exporting::SweepPeriodsCsv(b)));
}

TEST(SweepJobs, OneAndFourJobsGiveTheSameBytesOverTwentyYears) {
    testing::InitModelOnce();
    const backtest::PriceSeries series = testing::WeekdayWalk(2000, 2019, 11);
    SweepRequest request = testing::SweepOf("geo", 100);
    request.sides = {Side::Long, Side::Short};
    request.events = {.aspects = true, .stations = true, .ingresses = false, .phases = true};
    request.holdoutDay = Day(2015, 1, 1);
    const SweepControl control{.stop = nullptr, .unitDone = nullptr, .keepPeriods = true};
    request.jobs = 1;
    const SweepResult one = RunSweep(request, series, control);
    request.jobs = 4;
    const SweepResult four = RunSweep(request, series, control);
    ASSERT_EQ(one.outcome, util::RunOutcome::Completed) << one.refusal;
    // 36 pairs and 8 bodies' cycles (the Sun never stations) and the Moon.
    EXPECT_EQ(one.units.size(), 36u + 8u + 1u);
    EXPECT_TRUE(one.skipped.empty());
    EXPECT_GT(one.rows.size(), 36u * 21u * 2u);
    EXPECT_GT(one.periods.size(), 36u * 20u);
    ExpectSameOutputs(one, four);
}

// A short sweep of a few units on several threads: the serial result, the progress in
// order from 1 to the number of units, and a stop from a worker that ends it.
TEST(Concurrency, SweepOnThreeThreadsGivesTheSerialResult) {
    testing::InitModelOnce();
    const backtest::PriceSeries series = testing::WeekdayWalk(2021, 2022, 5);
    SweepRequest request = testing::SweepOf("Mars-Jupiter,Sun-Venus,Earth-Saturn/helio,Sun-Moon", 50);
    request.events = {.aspects = true, .stations = true, .ingresses = true, .phases = true};
    std::vector<std::size_t> done;
    std::size_t total = 0;
    const SweepControl control{.stop = nullptr,
                               .unitDone =
                                   [&](std::size_t d, std::size_t t) {
                                       done.push_back(d);
                                       total = t;
                                   },
                               .keepPeriods = true};
    request.jobs = 1;
    const SweepResult serial = RunSweep(request, series, control);
    ASSERT_EQ(serial.outcome, util::RunOutcome::Completed) << serial.refusal;
    done.clear();
    request.jobs = 3;
    const SweepResult threaded = RunSweep(request, series, control);
    ExpectSameOutputs(serial, threaded);
    ASSERT_EQ(total, serial.units.size());
    std::vector<std::size_t> expected(total);
    for (std::size_t i = 0; i < total; ++i) expected[i] = i + 1;
    EXPECT_EQ(done, expected);
}

TEST(Concurrency, AStopSetByAWorkerEndsTheSweepWithNothing) {
    testing::InitModelOnce();
    const backtest::PriceSeries series = testing::WeekdayWalk(2001, 2010, 6);
    SweepRequest request = testing::SweepOf("Mars-Jupiter,Sun-Venus,Earth-Saturn/helio,Sun-Moon,Venus-Mars,Sun-Mars", 50);
    request.jobs = 3;
    std::atomic<bool> stop{false};
    std::atomic<std::size_t> doneCalls{0};
    const SweepControl control{.stop = &stop,
                               .unitDone =
                                   [&](std::size_t, std::size_t) {
                                       ++doneCalls;
                                       stop.store(true);
                                   },
                               .keepPeriods = true};
    const SweepResult stopped = RunSweep(request, series, control);
    EXPECT_EQ(stopped.outcome, util::RunOutcome::Stopped);
    EXPECT_TRUE(stopped.rows.empty());
    EXPECT_TRUE(stopped.periods.empty());
    // The units in flight stop at their next step; none is started after the stop.
    EXPECT_LE(doneCalls.load(), 3u);
    const SweepResult before = RunSweep(request, series, control);  // stop already set
    EXPECT_EQ(before.outcome, util::RunOutcome::Stopped);
}

// The single backtest of a sweep's unit, built here from the unit's description.
struct Unit {
    const char* pair;
    const char* centricity;
    BacktestParams params;
};

BacktestParams PairParams(astro::Body first, astro::Body second, bool helio) {
    BacktestParams params;
    params.first = first;
    params.second = second;
    params.heliocentric = helio;
    return params;
}

BacktestParams NamedParams(std::optional<astro::Body> cycleBody) {
    BacktestParams params;
    params.heliocentric = false;
    params.cycleBody = cycleBody;
    params.lunar = !cycleBody;
    return params;
}

// The sweep's columns and the backtest's columns of the same figures; q, and so the
// pass, differ by design (a sweep's q is over all its rules).
const std::map<std::string, std::string> kSameFigures{
    {"trades", "trades"}, {"profitable_pct", "profitable_pct"}, {"mean_pct", "mean_pct"},
    {"median_pct", "median_pct"}, {"total_pct", "total_pct"}, {"annual_pct", "annualised_pct"},
    {"max_drawdown_pct", "max_drawdown_pct"}, {"days_held", "average_days_held"}, {"in_market_pct", "in_market_pct"},
    {"open_at_end", "open_at_end"}, {"opened_at_start", "opened_at_start"}, {"same_day_stays", "same_day_stays"},
    {"baseline_pct", "baseline_mean_pct"}, {"baseline_hit_pct", "baseline_hit_pct"}, {"excess_pct", "excess_pct"},
    {"p", "p_value"}, {"ci_low_pct", "ci_low_pct"}, {"ci_high_pct", "ci_high_pct"},
    {"per_day_in_market_pct", "per_day_pct"}, {"volatility_pct", "volatility_pct"}, {"sharpe", "sharpe"},
    {"sortino", "sortino"}, {"profit_factor", "profit_factor"}, {"average_win_pct", "avg_win_pct"},
    {"average_loss_pct", "avg_loss_pct"}, {"best_trade_pct", "best_pct"}, {"worst_trade_pct", "worst_pct"},
    {"before_trades", "trades_before"}, {"before_excess_pct", "excess_pct_before"}, {"before_p", "p_value_before"},
    {"after_trades", "trades_after"}, {"after_excess_pct", "excess_pct_after"}, {"after_p", "p_value_after"}};

TEST(SweepRows, EachRowIsTheRowOfTheSingleBacktestOfItsRule) {
    testing::InitModelOnce();
    const backtest::PriceSeries series = testing::WeekdayWalk(2014, 2018, 21);
    SweepRequest request = testing::SweepOf("Mars-Jupiter,Sun-Saturn,Earth-Mars/helio,Jupiter-Saturn/helio", 200);
    request.sides = {Side::Long, Side::Short};
    request.events = {.aspects = true, .stations = true, .ingresses = false, .phases = true};
    request.holdoutDay = Day(2017, 1, 2);
    request.costBasisPoints = 5;
    request.fromDay = Day(2014, 3, 1);
    request.jobs = 2;
    const SweepResult sweep = RunSweep(request, series, {});
    ASSERT_EQ(sweep.outcome, util::RunOutcome::Completed) << sweep.refusal;
    const ExportTable table = exporting::SweepTable(sweep);

    const std::vector<Unit> units{{"Mars-Jupiter", "geo", PairParams(astro::Body::Mars, astro::Body::Jupiter, false)},
                                  {"Sun-Saturn", "geo", PairParams(astro::Body::Sun, astro::Body::Saturn, false)},
                                  {"Earth-Mars", "helio", PairParams(astro::Body::Sun, astro::Body::Mars, true)},
                                  {"Jupiter-Saturn", "helio", PairParams(astro::Body::Jupiter, astro::Body::Saturn, true)},
                                  {"Mars cycles", "geo", NamedParams(astro::Body::Mars)},
                                  {"Jupiter cycles", "geo", NamedParams(astro::Body::Jupiter)},
                                  {"Saturn cycles", "geo", NamedParams(astro::Body::Saturn)},
                                  {"Moon phases", "geo", NamedParams(std::nullopt)}};
    std::size_t matched = 0;
    for (const Unit& unit : units)
        for (const Side side : {Side::Long, Side::Short}) {
            BacktestParams params = unit.params;
            params.side = side;
            params.permutations = request.permutations;
            params.holdoutDay = request.holdoutDay;
            params.costBasisPoints = request.costBasisPoints;
            params.fromDay = request.fromDay;
            testing::FakeRunHost host;
            const backtest::BacktestResult single = backtest::RunBacktest(params, series, host);
            ASSERT_TRUE(single.HasStatistics()) << unit.pair << ": " << single.refusal;
            const ExportTable expected = exporting::BacktestStatisticsTable(single);
            ASSERT_EQ(expected.rows.size(), single.strategies.size() + 1);
            for (std::size_t s = 0; s < single.strategies.size(); ++s) {
                const std::vector<Cell>& want = expected.rows[s];
                const std::string rule = At(expected, want, "aspect").text;
                if (rule.rfind("Ingress", 0) == 0) continue;  // --events without ingresses
                const bool aspect = !params.NamedRules();
                const auto found = std::find_if(table.rows.begin(), table.rows.end(), [&](const std::vector<Cell>& row) {
                    return At(table, row, "pair").text == unit.pair && At(table, row, "centricity").text == unit.centricity &&
                           At(table, row, "side").text == backtest::SideName(side) && At(table, row, "rule").text == rule &&
                           (!aspect || At(table, row, "orb").text == At(expected, want, "orb_degrees").text);
                });
                ASSERT_NE(found, table.rows.end()) << unit.pair << " " << backtest::SideName(side) << " " << rule;
                ++matched;
                const std::string where = std::string(unit.pair) + " " + backtest::SideName(side) + " " + rule + " " +
                                          At(expected, want, "orb_degrees").text;
                for (const auto& [mine, theirs] : kSameFigures) {
                    EXPECT_EQ(At(table, *found, mine).text, At(expected, want, theirs).text) << where << ": " << mine;
                    EXPECT_EQ(At(table, *found, mine).kind, At(expected, want, theirs).kind) << where << ": " << mine;
                }
                const std::string held = At(expected, want, "held_out").text;
                EXPECT_EQ(At(table, *found, "held").text, held.empty() ? "" : held == "yes" ? "true" : "false") << where;
            }
        }
    // Nothing in the sweep but these rules.
    EXPECT_EQ(matched, table.rows.size());
    EXPECT_GT(matched, 4u * 21u * 2u);
}

TEST(SweepRun, RefusesWhatNoUnitCouldRunAndNamesTheUnitsItSkips) {
    testing::InitModelOnce();
    const backtest::PriceSeries series = testing::WeekdayWalk(2020, 2020, 8);
    const auto refusal = [&](const SweepRequest& request) {
        const SweepResult r = RunSweep(request, series, {});
        EXPECT_EQ(r.outcome, util::RunOutcome::Refused);
        EXPECT_TRUE(r.rows.empty());
        return r.refusal;
    };
    SweepRequest request = testing::SweepOf("Mars-Jupiter", 20);
    request.pairs.clear();
    EXPECT_EQ(refusal(request), "A sweep needs at least one pair.");
    request = testing::SweepOf("Mars-Jupiter", 20);
    request.events.aspects = false;
    EXPECT_EQ(refusal(request), "A sweep needs at least one kind of rule to test.");
    request.events.stations = true;
    request.pairs = testing::PairsOf("Sun-Moon");
    EXPECT_EQ(refusal(request), "The pairs hold no body whose cycles could be tested.");
    request = testing::SweepOf("Mars-Jupiter", 20);
    request.holdoutDay = Day(2020, 1, 2);  // one close before it
    EXPECT_NE(refusal(request).find("leaves 1 close before it"), std::string::npos);
    request.holdoutDay.reset();
    request.fromDay = Day(2021, 1, 1);
    EXPECT_NE(refusal(request).find("is after the end date 2020-12-31"), std::string::npos);

    // Without Pluto's data its pairs are skipped, and named; with nothing else, refused.
    request = testing::SweepOf("Mars-Pluto,Mars-Jupiter", 20);
    request.pluto = {.available = false, .reason = "pluto.slx: cannot be read"};
    const SweepResult partial = RunSweep(request, series, {});
    ASSERT_EQ(partial.outcome, util::RunOutcome::Completed) << partial.refusal;
    ASSERT_EQ(partial.skipped.size(), 1u);
    EXPECT_EQ(partial.skipped[0].rfind("Mars-Pluto geo: Pluto data is not available.", 0), 0u) << partial.skipped[0];
    EXPECT_EQ(partial.rows.size(), 21u);
    // The reason's own line break is the text's: LF alone.
    EXPECT_NE(exporting::SweepText(partial).find("\nNot tested: Mars-Pluto geo: Pluto data is not available.\npluto.slx: "),
              std::string::npos)
        << exporting::SweepHeading(partial);
    EXPECT_EQ(exporting::SweepText(partial).find('\r'), std::string::npos);
    request.pairs = testing::PairsOf("Mars-Pluto,Pluto-Sun/helio");
    EXPECT_EQ(refusal(request).rfind("No unit of the sweep could be tested:\nMars-Pluto geo: ", 0), 0u);
}

}  // namespace
}  // namespace kovo::sweep
