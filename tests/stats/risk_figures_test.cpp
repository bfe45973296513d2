// Risk figures on small samples worked out by hand.
#include <gtest/gtest.h>

#include <cmath>

#include "stats/risk_figures.h"

namespace kovo::stats {
namespace {

TEST(RiskFiguresTest, TradeFiguresByHand) {
    const TradeFigures f = TradeFiguresOf({0.1, -0.05, 0.2, 0.0, -0.1});
    EXPECT_DOUBLE_EQ(*f.profitFactor, 2.0);  // 0.3 / 0.15
    EXPECT_DOUBLE_EQ(*f.averageWin, 0.15);
    EXPECT_DOUBLE_EQ(*f.averageLoss, -0.075);
    EXPECT_EQ(*f.bestTrade, 0.2);
    EXPECT_EQ(*f.worstTrade, -0.1);
}

TEST(RiskFiguresTest, TradeFiguresWithoutWinnersLosersOrTrades) {
    const TradeFigures winners = TradeFiguresOf({0.1, 0.0});
    EXPECT_FALSE(winners.profitFactor);
    EXPECT_FALSE(winners.averageLoss);
    EXPECT_EQ(*winners.worstTrade, 0.0);
    const TradeFigures losers = TradeFiguresOf({-0.1});
    EXPECT_EQ(*losers.profitFactor, 0.0);
    EXPECT_FALSE(losers.averageWin);
    const TradeFigures none = TradeFiguresOf({});
    EXPECT_FALSE(none.bestTrade);
    EXPECT_FALSE(none.worstTrade);
    EXPECT_FALSE(none.profitFactor);
}

TEST(RiskFiguresTest, ReturnPerDayInMarketIsGeometric) {
    EXPECT_NEAR(*ReturnPerDayInMarket({0.21}, 2), 0.1, 1e-15);
    EXPECT_NEAR(*ReturnPerDayInMarket({0.1, -0.5, 0.6}, 5), std::pow(1.1 * 0.5 * 1.6, 0.2) - 1, 1e-15);
    EXPECT_EQ(*ReturnPerDayInMarket({0.1, -1.0}, 3), -1.0);  // a short that lost everything
    EXPECT_FALSE(ReturnPerDayInMarket({}, 3));
    EXPECT_FALSE(ReturnPerDayInMarket({0.1}, 0));
}

TEST(RiskFiguresTest, DailyFiguresByHand) {
    // Mean 0.005; deviations 0.005, -0.015, 0.015, -0.005: sample variance 500e-6 / 3.
    const std::vector<double> d{0.01, -0.01, 0.02, 0.0};
    const DailyFigures f = DailyFiguresOf(d);
    const double sd = std::sqrt(500e-6 / 3);
    EXPECT_NEAR(*f.annualisedVolatility, sd * std::sqrt(252.0), 1e-15);
    EXPECT_NEAR(*f.sharpe, 0.005 / sd * std::sqrt(252.0), 1e-12);
    // One day below 0: DD = sqrt(0.0001 / 4) = 0.005.
    EXPECT_NEAR(*f.sortino, std::sqrt(252.0), 1e-12);
}

TEST(RiskFiguresTest, RiskFreeRateIsCompoundedPerTradingDay) {
    const std::vector<double> d{0.01, -0.01, 0.02, 0.0};
    const double f = std::pow(1.05, 1.0 / 252) - 1;
    const DailyFigures with = DailyFiguresOf(d, 5.0);
    const double sd = std::sqrt(500e-6 / 3);
    EXPECT_NEAR(*with.sharpe, (0.005 - f) / sd * std::sqrt(252.0), 1e-12);
    // The volatility does not depend on the rate.
    EXPECT_EQ(*with.annualisedVolatility, *DailyFiguresOf(d).annualisedVolatility);
    double down = 0;
    for (const double x : d) down += std::min(x - f, 0.0) * std::min(x - f, 0.0);
    EXPECT_NEAR(*with.sortino, (0.005 - f) / std::sqrt(down / 4) * std::sqrt(252.0), 1e-12);
}

TEST(RiskFiguresTest, FlatOrShortSeriesHaveNoRatios) {
    const DailyFigures flat = DailyFiguresOf(std::vector<double>(10, 0.0));
    EXPECT_EQ(*flat.annualisedVolatility, 0.0);
    EXPECT_FALSE(flat.sharpe);
    EXPECT_FALSE(flat.sortino);
    // Out of the market all along, against a positive rate: a steady shortfall.
    const DailyFigures idle = DailyFiguresOf(std::vector<double>(10, 0.0), 3.0);
    EXPECT_FALSE(idle.sharpe);
    EXPECT_NEAR(*idle.sortino, -std::sqrt(252.0), 1e-9);
    EXPECT_FALSE(DailyFiguresOf({0.01}).annualisedVolatility);
}

TEST(RiskFiguresTest, DailyReturnsOfAnEquityCurve) {
    const std::vector<double> d = DailyReturnsOf({1.0, 1.1, 0.99, 0.0, 0.5});
    ASSERT_EQ(d.size(), 4u);
    EXPECT_NEAR(d[0], 0.1, 1e-15);
    EXPECT_NEAR(d[1], -0.1, 1e-15);
    EXPECT_EQ(d[2], -1.0);
    EXPECT_EQ(d[3], 0.0);  // nothing left to win or lose
    EXPECT_TRUE(DailyReturnsOf({1.0}).empty());
}

}  // namespace
}  // namespace kovo::stats
