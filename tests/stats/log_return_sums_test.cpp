// Prefix sums: holds by hand, circular holds against a step-by-step walk of the circle.
#include <gtest/gtest.h>

#include <cmath>

#include "stats/log_return_sums.h"

namespace kovo::stats {
namespace {

const std::vector<double> kCloses{100, 110, 99, 121};  // steps +10 %, -10 %, +22.2 %

TEST(LogReturnSumsTest, HoldIsTheLogOfItsPriceRatio) {
    const LogReturnSums sums(kCloses);
    EXPECT_EQ(sums.Closes(), 4u);
    EXPECT_EQ(sums.Steps(), 3u);
    EXPECT_EQ(sums.Prefix(0), 0.0);
    EXPECT_NEAR(sums.Of(0, 3), std::log(1.21), 1e-15);
    EXPECT_NEAR(sums.Of(Hold{.entry = 1, .exit = 2}), std::log(0.9), 1e-15);
    EXPECT_EQ(sums.Of(2, 2), 0.0);
}

TEST(LogReturnSumsTest, CircularHoldContinuesFromTheFirstStep) {
    const LogReturnSums sums(kCloses);
    // From day 2: the step 99 -> 121, then round to the first step 100 -> 110.
    EXPECT_NEAR(sums.Circular(2, 2), std::log(121.0 / 99 * 1.1), 1e-15);
    // Without wrap it is the plain hold.
    EXPECT_EQ(sums.Circular(1, 2), sums.Of(1, 3));
    // A whole turn from any day earns the whole series.
    for (std::size_t b = 0; b < 3; ++b) EXPECT_NEAR(sums.Circular(b, 3), std::log(1.21), 1e-15);
}

TEST(LogReturnSumsTest, EveryCircularHoldIsTheSumOfItsSteps) {
    std::vector<double> closes{50};
    for (int i = 1; i < 40; ++i) closes.push_back(closes.back() * (1 + 0.03 * std::sin(i * 1.7)));
    const LogReturnSums sums(closes);
    const std::size_t m = closes.size() - 1;
    for (std::size_t start = 0; start < m; ++start)
        for (std::size_t length = 0; length <= m; ++length) {
            double walked = 0;
            for (std::size_t j = 0; j < length; ++j) {
                const std::size_t i = (start + j) % m;
                walked += std::log(closes[i + 1] / closes[i]);
            }
            EXPECT_NEAR(sums.Circular(start, length), walked, 1e-13) << start << " " << length;
        }
}

TEST(LogReturnSumsTest, SeriesWithoutStepsHaveNoneToHold) {
    const LogReturnSums none(std::vector<double>{});
    EXPECT_EQ(none.Closes(), 0u);
    EXPECT_EQ(none.Steps(), 0u);
    const LogReturnSums one(std::vector<double>{42});
    EXPECT_EQ(one.Steps(), 0u);
    EXPECT_EQ(one.Of(0, 0), 0.0);
    const LogReturnSums two(std::vector<double>{10, 20});
    EXPECT_EQ(two.Steps(), 1u);
    EXPECT_NEAR(two.Circular(0, 1), std::log(2.0), 1e-15);
}

}  // namespace
}  // namespace kovo::stats
