// The trading rules, the statistics and the event study on three synthetic weeks whose
// trades are worked out by hand (see synthetic_prices.h for the closes):
//   stay 1: inside already when the scan began, left Wednesday week 1: 100 -> 101
//   stay 2: entered Saturday week 1 (traded Monday), left Wednesday week 2: 108 -> 106
//   stay 3: entered Saturday, left Sunday of week 2: both Monday week 3, no trade
//   stay 4: entered Tuesday week 3, never left: 111 -> 119 at the last close
#include <gtest/gtest.h>

#include <cmath>

#include "backtest/backtest_run.h"
#include "backtest/backtest_statistics.h"
#include "backtest/event_study.h"
#include "backtest/trade_rules.h"
#include "synthetic_prices.h"

namespace kovo::backtest {
namespace {

using testing::FirstMonday;

constexpr std::array<bool, 7> kConjunctionOnly{true, false, false, false, false, false, false};

std::vector<OrbStay> HandStays() {
    const std::int32_t m = FirstMonday();
    return {{.aspect = 1, .level = 0, .entryDay = std::nullopt, .exitDay = m + 2},
            {.aspect = 1, .level = 0, .entryDay = m + 5, .exitDay = m + 9},
            {.aspect = 1, .level = 0, .entryDay = m + 12, .exitDay = m + 13},
            {.aspect = 1, .level = 0, .entryDay = m + 15, .exitDay = std::nullopt},
            // Outside the range: left before it began, entered after it ended.
            {.aspect = 1, .level = 0, .entryDay = m - 30, .exitDay = m - 20},
            {.aspect = 1, .level = 0, .entryDay = m + 40, .exitDay = m + 45},
            // Another orb level, traded on its own.
            {.aspect = 1, .level = 2, .entryDay = m + 1, .exitDay = m + 3}};
}

StrategyTrades OuterTrades(Side side) {
    return BuildTrades(HandStays(), testing::ThreeWeeks(), side, kConjunctionOnly, {10, 5, 2}).front();
}

TEST(TradeRulesTest, OpensAndClosesOnTheFirstTradingDayOnOrAfterEachDate) {
    const std::vector<StrategyTrades> all =
        BuildTrades(HandStays(), testing::ThreeWeeks(), Side::Long, kConjunctionOnly, {10, 5, 2});
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[1].orbDegrees, 5);
    EXPECT_TRUE(all[1].trades.empty());
    ASSERT_EQ(all[2].trades.size(), 1u);
    EXPECT_EQ(all[2].trades[0].entryIndex, 1u);
    EXPECT_EQ(all[2].trades[0].exitIndex, 3u);

    const StrategyTrades& outer = all[0];
    EXPECT_EQ(outer.orbDegrees, 10);
    EXPECT_EQ(outer.sameDayStays, 1);
    ASSERT_EQ(outer.trades.size(), 3u);
    const Trade& first = outer.trades[0];
    EXPECT_EQ(first.entryIndex, 0u);
    EXPECT_EQ(first.exitIndex, 2u);
    EXPECT_TRUE(first.openedAtStart);
    EXPECT_FALSE(first.openAtEnd);
    EXPECT_DOUBLE_EQ(first.tradeReturn, 101.0 / 100 - 1);
    const Trade& second = outer.trades[1];
    EXPECT_EQ(second.entryIndex, 5u);
    EXPECT_EQ(second.entryDay, FirstMonday() + 7);
    EXPECT_EQ(second.exitIndex, 7u);
    EXPECT_DOUBLE_EQ(second.tradeReturn, 106.0 / 108 - 1);
    EXPECT_FALSE(second.openedAtStart || second.openAtEnd);
    const Trade& third = outer.trades[2];
    EXPECT_EQ(third.entryIndex, 11u);
    EXPECT_EQ(third.exitIndex, 14u);
    EXPECT_TRUE(third.openAtEnd);
    EXPECT_DOUBLE_EQ(third.tradeReturn, 119.0 / 111 - 1);
}

TEST(TradeRulesTest, ShortTradesGainWhatTheInstrumentLoses) {
    const StrategyTrades outer = OuterTrades(Side::Short);
    ASSERT_EQ(outer.trades.size(), 3u);
    EXPECT_DOUBLE_EQ(outer.trades[0].tradeReturn, 1 - 101.0 / 100);
    EXPECT_DOUBLE_EQ(outer.trades[1].tradeReturn, 1 - 106.0 / 108);
    EXPECT_DOUBLE_EQ(outer.trades[2].tradeReturn, 1 - 119.0 / 111);
}

TEST(TradeRulesTest, StaysSharingATradingDayFollowEachOther) {
    const std::int32_t m = FirstMonday();
    // Left on a Saturday and entered again on the Sunday: both days trade on Monday.
    const std::vector<OrbStay> stays{{.aspect = 1, .level = 0, .entryDay = m + 1, .exitDay = m + 5},
                                     {.aspect = 1, .level = 0, .entryDay = m + 6, .exitDay = m + 8}};
    const StrategyTrades s = BuildTrades(stays, testing::ThreeWeeks(), Side::Long, kConjunctionOnly, {10, 5, 2})[0];
    ASSERT_EQ(s.trades.size(), 2u);
    EXPECT_EQ(s.trades[0].exitIndex, 5u);
    EXPECT_EQ(s.trades[1].entryIndex, 5u);
    EXPECT_EQ(s.trades[1].exitIndex, 6u);
}

TEST(BacktestStatisticsTest, EveryFigureOfTheHandWorkedTrades) {
    const PriceSeries prices = testing::ThreeWeeks();
    const BacktestStatistics st = StatisticsOf(OuterTrades(Side::Long), prices, Side::Long);
    const double r1 = 101.0 / 100 - 1, r2 = 106.0 / 108 - 1, r3 = 119.0 / 111 - 1;
    EXPECT_EQ(st.trades, 3);
    EXPECT_EQ(st.openAtEnd, 1);
    EXPECT_EQ(st.openedAtStart, 1);
    EXPECT_EQ(st.sameDayStays, 1);
    EXPECT_DOUBLE_EQ(*st.profitableShare, 2.0 / 3);
    EXPECT_DOUBLE_EQ(*st.meanReturn, (r1 + r2 + r3) / 3);
    EXPECT_DOUBLE_EQ(*st.medianReturn, r1);
    const double total = 1.01 * (106.0 / 108) * (119.0 / 111) - 1;
    EXPECT_DOUBLE_EQ(st.totalReturn, total);
    // 18 calendar days from the first to the last close.
    EXPECT_DOUBLE_EQ(st.annualisedReturn, std::pow(1 + total, 365.25 / 18) - 1);
    // The high of 1.02 on Tuesday of week 1; the low of 1.01 * 104 / 108 on Tuesday of week 2.
    EXPECT_NEAR(st.maxDrawdown, 1 - 1.01 * 104 / 108 / 1.02, 1e-14);
    EXPECT_DOUBLE_EQ(*st.averageDaysHeld, (2 + 2 + 3) / 3.0);
    EXPECT_DOUBLE_EQ(st.timeInMarket, 7.0 / 14);
}

TEST(BacktestStatisticsTest, EquityCurveMarksPositionsToMarketAndStaysFlatBetween) {
    const PriceSeries prices = testing::ThreeWeeks();
    const std::vector<double> e = EquityCurve(OuterTrades(Side::Long).trades, prices, Side::Long);
    ASSERT_EQ(e.size(), 15u);
    EXPECT_DOUBLE_EQ(e[0], 1.0);
    EXPECT_DOUBLE_EQ(e[1], 1.02);
    EXPECT_DOUBLE_EQ(e[4], 1.01);
    EXPECT_DOUBLE_EQ(e[6], 1.01 * 104 / 108);
    EXPECT_DOUBLE_EQ(e[10], 1.01 * 106 / 108);
    EXPECT_DOUBLE_EQ(e[14], 1.01 * 106 / 108 * 119 / 111);

    const std::vector<double> s = EquityCurve(OuterTrades(Side::Short).trades, prices, Side::Short);
    EXPECT_DOUBLE_EQ(s[1], 0.98);
    EXPECT_DOUBLE_EQ(s[6], 0.99 * (1 - (104.0 / 108 - 1)));
    EXPECT_DOUBLE_EQ(s[14] - 1, StatisticsOf(OuterTrades(Side::Short), prices, Side::Short).totalReturn);
}

TEST(BacktestStatisticsTest, BuyAndHoldAndAStrategyWithoutTrades) {
    const PriceSeries prices = testing::ThreeWeeks();
    const BacktestStatistics hold = StatisticsOf(BuyAndHoldTrades(prices), prices, Side::Long);
    EXPECT_EQ(hold.trades, 1);
    EXPECT_DOUBLE_EQ(*hold.profitableShare, 1.0);
    EXPECT_DOUBLE_EQ(hold.totalReturn, 0.19);
    EXPECT_DOUBLE_EQ(hold.annualisedReturn, std::pow(1.19, 365.25 / 18) - 1);
    EXPECT_DOUBLE_EQ(hold.maxDrawdown, 1 - 104.0 / 110);
    EXPECT_DOUBLE_EQ(*hold.averageDaysHeld, 18.0);
    EXPECT_DOUBLE_EQ(hold.timeInMarket, 1.0);

    const BacktestStatistics none = StatisticsOf(StrategyTrades{}, prices, Side::Long);
    EXPECT_EQ(none.trades, 0);
    EXPECT_FALSE(none.profitableShare || none.meanReturn || none.medianReturn || none.averageDaysHeld);
    EXPECT_EQ(none.totalReturn, 0.0);
    EXPECT_EQ(none.maxDrawdown, 0.0);
    EXPECT_EQ(none.timeInMarket, 0.0);
}

TEST(BacktestStatisticsTest, MedianAndAnnualisationEdges) {
    EXPECT_DOUBLE_EQ(Median({3, 1, 2}), 2.0);
    EXPECT_DOUBLE_EQ(Median({4, 1, 3, 2}), 2.5);
    EXPECT_NEAR(Annualised(0.21, 730.5), 0.1, 1e-14);
    EXPECT_DOUBLE_EQ(Annualised(-1.5, 100), -1.0);
}

TEST(EventStudyTest, ReturnsFromTheCloseBeforeTheExactDay) {
    const PriceSeries prices = testing::ThreeWeeks();
    const std::int32_t m = FirstMonday();
    const std::vector<ExactEvent> events{
        {.aspect = 1, .instantUt = 0, .day = m + 7},   // Monday week 2: base Friday week 1 (110)
        {.aspect = 1, .instantUt = 0, .day = m + 5},   // Saturday: the same base
        {.aspect = 1, .instantUt = 0, .day = m + 16},  // Wednesday week 3: base 111, only +1 in range
        {.aspect = 1, .instantUt = 0, .day = m},       // the first day: no close before it
        {.aspect = 1, .instantUt = 0, .day = m + 30},  // after the range
        {.aspect = 2, .instantUt = 0, .day = m + 1},   // base Monday week 1 (100)
    };
    SignificanceContext context(prices, 99, 1, 0);
    const std::vector<EventStudyRow> rows =
        StudyEvents(events, prices, {true, true, true, false, false, false, false}, "pair", context);
    ASSERT_EQ(rows.size(), 3u);
    const EventStudyRow& con = rows[0];
    EXPECT_EQ(con.events, 3);
    EXPECT_EQ(con.horizons[0].count, 3);
    const double a = 108.0 / 110 - 1, b = 118.0 / 111 - 1;
    EXPECT_DOUBLE_EQ(*con.horizons[0].mean, (a + a + b) / 3);
    EXPECT_DOUBLE_EQ(*con.horizons[0].median, a);
    EXPECT_EQ(con.horizons[1].count, 2);
    EXPECT_DOUBLE_EQ(*con.horizons[1].mean, 115.0 / 110 - 1);
    EXPECT_EQ(con.horizons[2].count, 0);
    EXPECT_FALSE(con.horizons[2].mean.has_value());
    EXPECT_EQ(rows[1].events, 1);
    EXPECT_DOUBLE_EQ(*rows[1].horizons[1].median, 108.0 / 100 - 1);
    EXPECT_EQ(rows[2].aspect, 3);
    EXPECT_EQ(rows[2].events, 0);
}

TEST(EvaluateBacktestTest, PutsStrategiesBuyAndHoldAndEventsTogether) {
    BacktestParams params;
    params.aspects = kConjunctionOnly;
    const BacktestResult r = EvaluateBacktest(params, testing::ThreeWeeks(), HandStays(), {});
    EXPECT_EQ(r.outcome, util::RunOutcome::Completed);
    ASSERT_EQ(r.strategies.size(), 3u);
    EXPECT_EQ(r.strategies[0].stats.trades, 3);
    EXPECT_EQ(r.buyAndHold.stats.trades, 1);
    EXPECT_EQ(r.firstDay, FirstMonday());
    EXPECT_EQ(r.lastDay, FirstMonday() + 18);
    ASSERT_EQ(r.eventStudy.size(), 1u);
    EXPECT_EQ(r.eventStudy[0].events, 0);
}

}  // namespace
}  // namespace kovo::backtest
