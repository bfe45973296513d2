// The bootstrap interval: its documented draw order, a case whose percentiles are
// known, and the degenerate samples.
#include <gtest/gtest.h>

#include "stats/bootstrap.h"
#include "stats/random_stream.h"
#include "stats/sample_figures.h"

namespace kovo::stats {
namespace {

const std::vector<double> kReturns{0.02, -0.01, 0.035, 0.0, -0.022, 0.011, 0.05};

TEST(BootstrapTest, ResamplesFollowTheDocumentedDraws) {
    const std::vector<double> means = ResampleMeans(kReturns, 50, 77);
    ASSERT_EQ(means.size(), 50u);
    RandomStream stream(77);
    for (const double mean : means) {
        double sum = 0;
        for (std::size_t i = 0; i < kReturns.size(); ++i) sum += kReturns[stream.Below(kReturns.size())];
        EXPECT_EQ(mean, sum / 7);
    }
}

TEST(BootstrapTest, IntervalOfTwoValuesSpansBoth) {
    // Means of two draws from {0, 1}: 0, 0.5 or 1 with chances 1/4, 1/2, 1/4, so the
    // 2.5th and 97.5th percentiles of 10,000 of them are 0 and 1.
    const auto interval = BootstrapMeanInterval({0.0, 1.0}, kDefaultResamples, 5);
    ASSERT_TRUE(interval);
    EXPECT_EQ(interval->meanPct, 50.0);
    EXPECT_EQ(interval->lowPct, 0.0);
    EXPECT_EQ(interval->highPct, 100.0);
    EXPECT_EQ(interval->resamples, kDefaultResamples);
}

TEST(BootstrapTest, IntervalHoldsTheMeanAndIsReproducible) {
    const auto a = BootstrapMeanInterval(kReturns, 2000, 9);
    const auto b = BootstrapMeanInterval(kReturns, 2000, 9);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(a->lowPct, b->lowPct);
    EXPECT_EQ(a->highPct, b->highPct);
    EXPECT_NEAR(a->meanPct, 100 * *MeanOf(kReturns), 1e-12);
    EXPECT_LT(a->lowPct, a->meanPct);
    EXPECT_GT(a->highPct, a->meanPct);
    // A narrower level gives a narrower interval inside the wider one.
    const auto narrow = BootstrapMeanInterval(kReturns, 2000, 9, 0.5);
    EXPECT_GT(narrow->lowPct, a->lowPct);
    EXPECT_LT(narrow->highPct, a->highPct);
}

TEST(BootstrapTest, DegenerateSamples) {
    EXPECT_FALSE(BootstrapMeanInterval({}, 1000, 1));
    EXPECT_FALSE(BootstrapMeanInterval(kReturns, 0, 1));
    EXPECT_TRUE(ResampleMeans({}, 10, 1).empty());
    const auto one = BootstrapMeanInterval({0.013}, 1000, 1);
    EXPECT_EQ(one->lowPct, one->meanPct);
    EXPECT_EQ(one->highPct, one->meanPct);
    // Equal returns: every resample sums them in the same order as the mean does.
    const auto constant = BootstrapMeanInterval(std::vector<double>(9, 0.1), 1000, 1);
    EXPECT_EQ(constant->lowPct, constant->meanPct);
    EXPECT_EQ(constant->highPct, constant->meanPct);
}

}  // namespace
}  // namespace kovo::stats
