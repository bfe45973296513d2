// Means and the linear-interpolation quantile (numpy.percentile's default).
#include <gtest/gtest.h>

#include "stats/sample_figures.h"

namespace kovo::stats {
namespace {

TEST(SampleFiguresTest, MeanOfNothingIsAbsent) {
    EXPECT_FALSE(MeanOf({}));
    EXPECT_EQ(*MeanOf({1, 2, 6}), 3.0);
}

TEST(SampleFiguresTest, QuantileInterpolatesBetweenOrderStatistics) {
    const std::vector<double> x{1, 2, 3, 4};
    EXPECT_EQ(SortedQuantile(x, 0.0), 1.0);
    EXPECT_EQ(SortedQuantile(x, 1.0), 4.0);
    EXPECT_EQ(SortedQuantile(x, 0.5), 2.5);
    EXPECT_DOUBLE_EQ(SortedQuantile(x, 0.25), 1.75);  // h = 0.75
    EXPECT_DOUBLE_EQ(SortedQuantile(x, 0.975), 3.925);  // h = 2.925
    EXPECT_EQ(SortedQuantile({7}, 0.025), 7.0);
    EXPECT_EQ(SortedQuantile({7}, 0.975), 7.0);
}

}  // namespace
}  // namespace kovo::stats
