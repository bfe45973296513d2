// Newey-West t-statistics worked out by hand for y = 1, 2, 3, 4 (mean 2.5, residuals
// -1.5, -0.5, 0.5, 1.5, sum of squares 5).
#include <gtest/gtest.h>

#include <cmath>

#include "stats/newey_west.h"

namespace kovo::stats {
namespace {

const std::vector<double> kY{1, 2, 3, 4};

TEST(NeweyWestTest, LagZeroIsTheWhiteStandardError) {
    const auto nw = NeweyWestOfMean(kY, 0);
    ASSERT_TRUE(nw);
    EXPECT_DOUBLE_EQ(nw->mean, 2.5);
    EXPECT_DOUBLE_EQ(nw->standardError, std::sqrt(5.0) / 4);
    EXPECT_DOUBLE_EQ(nw->t, 2 * std::sqrt(5.0));
}

TEST(NeweyWestTest, BartlettWeightsTheAutocovariances) {
    // Lag 1: weight 1/2, sum of u[t] u[t-1] = 0.75 - 0.25 + 0.75 = 1.25; S = 6.25.
    EXPECT_DOUBLE_EQ(NeweyWestOfMean(kY, 1)->t, 4.0);
    // Lag 10 on four values: weights 10/11, 9/11, 8/11 for the lags 1..3 that exist
    // (sums 1.25, -1.5, -2.25); S = 5 + 2 (12.5 - 13.5 - 18) / 11 = 17/11.
    EXPECT_NEAR(NeweyWestOfMean(kY, 10)->t, 10 / std::sqrt(17.0 / 11), 1e-12);
}

TEST(NeweyWestTest, NoTWithoutSpread) {
    EXPECT_FALSE(NeweyWestOfMean({}, 0));
    EXPECT_FALSE(NeweyWestOfMean({0.3}, 0));
    // Equal values whose computed mean is an ulp off them still have no spread.
    EXPECT_FALSE(NeweyWestOfMean({0.1, 0.1, 0.1}, 2));
}

TEST(NeweyWestTest, EventExcessIsAgainstTheSeriesMeanWithLagHorizonLessOne) {
    const std::vector<double> returns{0.011, 0.032, -0.004, 0.021, 0.009, 0.017};
    std::vector<double> excess;
    for (const double r : returns) excess.push_back(r - 0.005);
    const auto event = EventExcessT(returns, 0.005, 5);
    ASSERT_TRUE(event);
    EXPECT_DOUBLE_EQ(event->t, NeweyWestOfMean(excess, 4)->t);
    EXPECT_NE(event->t, NeweyWestOfMean(excess, 0)->t);
    EXPECT_FALSE(EventExcessT(returns, 0.005, 0));
    EXPECT_FALSE(EventExcessT({}, 0.005, 1));
}

}  // namespace
}  // namespace kovo::stats
