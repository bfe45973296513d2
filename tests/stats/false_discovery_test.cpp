// Benjamini-Hochberg by hand, and its invariants over a family with gaps and ties.
#include <gtest/gtest.h>

#include <algorithm>

#include "stats/false_discovery.h"
#include "stats/random_stream.h"

namespace kovo::stats {
namespace {

TEST(FalseDiscoveryTest, StepUpByHand) {
    // Sorted 0.03, 0.04, 0.20 with m = 3: p * m / rank = 0.09, 0.06, 0.20; the step-up
    // lowers the first to the second's 0.06.
    const FalseDiscovery fd = BenjaminiHochberg({0.04, 0.03, 0.20});
    EXPECT_EQ(fd.tested, 3);
    EXPECT_NEAR(*fd.qValues[0], 0.06, 1e-15);
    EXPECT_NEAR(*fd.qValues[1], 0.06, 1e-15);
    EXPECT_NEAR(*fd.qValues[2], 0.20, 1e-15);
    EXPECT_EQ(fd.passing, 2);
    EXPECT_EQ(BenjaminiHochberg({0.04, 0.03, 0.20}, 0.05).passing, 0);
}

TEST(FalseDiscoveryTest, AbsentPValuesAreNotTested) {
    const FalseDiscovery fd = BenjaminiHochberg({std::nullopt, 0.02, std::nullopt, 0.5});
    EXPECT_EQ(fd.tested, 2);
    EXPECT_FALSE(fd.qValues[0]);
    EXPECT_FALSE(fd.qValues[2]);
    EXPECT_NEAR(*fd.qValues[1], 0.04, 1e-15);
    EXPECT_NEAR(*fd.qValues[3], 0.5, 1e-15);
    const FalseDiscovery none = BenjaminiHochberg({std::nullopt, std::nullopt});
    EXPECT_EQ(none.tested, 0);
    EXPECT_EQ(none.passing, 0);
    EXPECT_EQ(BenjaminiHochberg({}).qValues.size(), 0u);
}

TEST(FalseDiscoveryTest, TiesShareOneQAndQIsCappedAtOne) {
    const FalseDiscovery equal = BenjaminiHochberg(std::vector<std::optional<double>>(5, 0.3));
    for (const auto& q : equal.qValues) EXPECT_DOUBLE_EQ(*q, 0.3);
    const FalseDiscovery high = BenjaminiHochberg({0.9, 0.95, 1.0});
    EXPECT_DOUBLE_EQ(*high.qValues[0], 1.0);  // 0.9 * 3 = 2.7 capped, then the step-up
    EXPECT_DOUBLE_EQ(*high.qValues[2], 1.0);
    // A threshold is passed only below it.
    EXPECT_EQ(BenjaminiHochberg({0.1}, 0.1).passing, 0);
}

TEST(FalseDiscoveryTest, QIsAtLeastPAndMonotoneInP) {
    RandomStream stream(21);
    std::vector<std::optional<double>> p;
    for (int i = 0; i < 200; ++i) {
        if (i % 17 == 0) p.push_back(std::nullopt);
        else p.push_back((1.0 + static_cast<double>(stream.Below(1000))) / 1001.0);  // ties likely
    }
    const FalseDiscovery fd = BenjaminiHochberg(p);
    std::vector<std::pair<double, double>> pairs;
    for (std::size_t i = 0; i < p.size(); ++i) {
        ASSERT_EQ(p[i].has_value(), fd.qValues[i].has_value());
        if (!p[i]) continue;
        EXPECT_GE(*fd.qValues[i], *p[i]);
        EXPECT_LE(*fd.qValues[i], 1.0);
        pairs.emplace_back(*p[i], *fd.qValues[i]);
    }
    std::sort(pairs.begin(), pairs.end());
    for (std::size_t i = 1; i < pairs.size(); ++i) {
        EXPECT_LE(pairs[i - 1].second, pairs[i].second);
        if (pairs[i - 1].first == pairs[i].first) {
            EXPECT_EQ(pairs[i - 1].second, pairs[i].second);
        }
    }
}

}  // namespace
}  // namespace kovo::stats
