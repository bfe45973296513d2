// The baseline: averages over every start day worked out by hand, and the weighting by
// the rule's hold lengths.
#include <gtest/gtest.h>

#include "stats/baseline.h"

namespace kovo::stats {
namespace {

// Steps +10 %, -10 %, +22.2 %.
BaselineTable HandTable() { return BaselineTable({100, 110, 99, 121}); }

TEST(BaselineTest, LengthAverageCoversEveryStartDay) {
    BaselineTable table = HandTable();
    const auto one = table.ForLength(1);
    ASSERT_TRUE(one);
    EXPECT_EQ(one->starts, 3u);
    EXPECT_NEAR(one->meanReturn, (0.1 - 0.1 + (121.0 / 99 - 1)) / 3, 1e-15);
    EXPECT_NEAR(one->riseShare, 2.0 / 3, 1e-15);
    EXPECT_NEAR(one->fallShare, 1.0 / 3, 1e-15);
    const auto two = table.ForLength(2);  // 100 -> 99 and 110 -> 121
    ASSERT_TRUE(two);
    EXPECT_NEAR(two->meanReturn, (-0.01 + 0.1) / 2, 1e-15);
    EXPECT_EQ(two->riseShare, 0.5);
    EXPECT_NEAR(table.ForLength(3)->meanReturn, 0.21, 1e-15);
    EXPECT_FALSE(table.ForLength(4));  // no start day leaves room for it
    EXPECT_EQ(table.ForLength(0)->meanReturn, 0.0);
}

TEST(BaselineTest, RuleBaselineWeighsEachHoldByItsLength) {
    BaselineTable table = HandTable();
    const std::vector<Hold> holds{{.entry = 0, .exit = 1}, {.entry = 1, .exit = 3}, {.entry = 2, .exit = 3}};
    const double m1 = (0.1 - 0.1 + (121.0 / 99 - 1)) / 3;
    const double m2 = 0.045;
    const Baseline longSide = BaselineOf(holds, Side::Long, table);
    EXPECT_EQ(longSide.holds, 3);
    EXPECT_NEAR(*longSide.meanReturn, (2 * m1 + m2) / 3, 1e-15);
    EXPECT_NEAR(*longSide.hitRate, (2 * (2.0 / 3) + 0.5) / 3, 1e-15);
    // Short: the returns change sign, the hits are the falls.
    const Baseline shortSide = BaselineOf(holds, Side::Short, table);
    EXPECT_NEAR(*shortSide.meanReturn, -*longSide.meanReturn, 1e-15);
    EXPECT_NEAR(*shortSide.hitRate, (2 * (1.0 / 3) + 0.5) / 3, 1e-15);
}

TEST(BaselineTest, NoHoldsNoBaseline) {
    BaselineTable table = HandTable();
    const Baseline none = BaselineOf({}, Side::Long, table);
    EXPECT_EQ(none.holds, 0);
    EXPECT_FALSE(none.meanReturn);
    EXPECT_FALSE(none.hitRate);
    // A hold longer than the series, or reversed, has no start day: left out.
    const Baseline outside = BaselineOf({{.entry = 0, .exit = 9}, {.entry = 2, .exit = 1}}, Side::Long, table);
    EXPECT_EQ(outside.holds, 0);
    EXPECT_FALSE(outside.meanReturn);
}

TEST(BaselineTest, UnchangedClosesAreHitsOnNeitherSide) {
    BaselineTable flat({5, 5, 5, 5});
    const std::vector<Hold> holds{{.entry = 0, .exit = 2}};
    EXPECT_EQ(*BaselineOf(holds, Side::Long, flat).hitRate, 0.0);
    EXPECT_EQ(*BaselineOf(holds, Side::Short, flat).hitRate, 0.0);
    EXPECT_EQ(*BaselineOf(holds, Side::Long, flat).meanReturn, 0.0);
}

TEST(BaselineTest, TwoClosesHaveOneStartDay) {
    BaselineTable two({100, 90});
    const Baseline b = BaselineOf({{.entry = 0, .exit = 1}}, Side::Short, two);
    EXPECT_NEAR(*b.meanReturn, 0.1, 1e-15);
    EXPECT_EQ(*b.hitRate, 1.0);
}

TEST(BaselineTest, ExcessIsInPercentAndNeedsBothMeans) {
    EXPECT_NEAR(*ExcessPct(0.012, 0.002), 1.0, 1e-12);
    EXPECT_NEAR(*ExcessPct(-0.01, 0.005), -1.5, 1e-12);
    EXPECT_FALSE(ExcessPct(std::nullopt, 0.01));
    EXPECT_FALSE(ExcessPct(0.01, std::nullopt));
}

}  // namespace
}  // namespace kovo::stats
