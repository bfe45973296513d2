// Where the events of a transit period land on the report's lines.
#include <gtest/gtest.h>

#include "transits/transit_period_builder.h"

using namespace kovo::transits;

namespace {

OrbDate D(int day) { return {.day = day, .retrograde = false}; }

TransitMinimum Minimum(int day, bool exact) {
    return {.instantUt = day - 0.5, .day = day, .deviation = exact ? 0.0001 : 0.01, .exact = exact, .retrograde = false};
}

class PeriodBuilderTest : public ::testing::Test {
protected:
    // Counts how often an exit asked for the tracked minimum; each answer is dated `trackedDay`.
    PeriodBuilder::MinimumSource Tracked() {
        return [this] {
            ++trackedCalls;
            return Minimum(trackedDay, false);
        };
    }
    bool Exit(int level, int day) { return builder.Exit(level, kAspect, D(day), Tracked()); }

    static constexpr int kAspect = 4;
    PeriodBuilder builder;
    int trackedCalls = 0;
    int trackedDay = 0;
};

}  // namespace

// A retrograde loop held inside the middle orb: three inner passes, each exact. The middle
// exit stays on the line of the middle entry; no tracked minimum is needed.
TEST_F(PeriodBuilderTest, RetrogradeLoopGivesOneLinePerInnerPass) {
    builder.Entry(kOuterOrb, kAspect, D(1));
    builder.Entry(kMiddleOrb, kAspect, D(2));
    for (int pass = 0; pass < 3; ++pass) {
        builder.Entry(kInnerOrb, kAspect, D(10 + 10 * pass));
        builder.ExactMinimum(kAspect, Minimum(12 + 10 * pass, true));
        EXPECT_FALSE(Exit(kInnerOrb, 14 + 10 * pass));
    }
    EXPECT_FALSE(Exit(kMiddleOrb, 50));
    EXPECT_TRUE(Exit(kOuterOrb, 60));
    const TransitPeriod p = builder.Take();
    EXPECT_EQ(trackedCalls, 0);
    EXPECT_EQ(p.aspect, kAspect);
    ASSERT_EQ(p.passes.size(), 3u);
    EXPECT_EQ(p.outer, (OrbSpan{D(1), D(60)}));
    EXPECT_EQ(p.passes[0].middle, (OrbSpan{D(2), D(50)}));
    for (std::size_t i = 0; i < 3; ++i) {
        const int offset = 10 * static_cast<int>(i);
        EXPECT_EQ(p.passes[i].inner, (OrbSpan{D(10 + offset), D(14 + offset)}));
        EXPECT_EQ(p.passes[i].minimum->day, 12 + offset);
        if (i > 0) {
            EXPECT_FALSE(p.passes[i].middle.Reached());
        }
    }
    EXPECT_EQ(p.ExactPasses(), 3);
    EXPECT_FALSE(p.cutAtStart);
    EXPECT_FALSE(p.cutAtEnd);
}

// Two dips into the middle orb that miss the inner one: each exit closes its line with the
// tracked minimum, and the outer exit adds none.
TEST_F(PeriodBuilderTest, MiddleOrbPassesWithoutExactMinimaGetTheTrackedOne) {
    builder.Entry(kOuterOrb, kAspect, D(1));
    builder.Entry(kMiddleOrb, kAspect, D(5));
    trackedDay = 7;
    Exit(kMiddleOrb, 9);
    builder.Entry(kMiddleOrb, kAspect, D(20));
    trackedDay = 22;
    Exit(kMiddleOrb, 25);
    trackedDay = 30;
    EXPECT_TRUE(Exit(kOuterOrb, 40));
    const TransitPeriod p = builder.Take();
    EXPECT_EQ(trackedCalls, 2);
    ASSERT_EQ(p.passes.size(), 2u);
    EXPECT_EQ(p.passes[0].middle, (OrbSpan{D(5), D(9)}));
    EXPECT_EQ(p.passes[0].minimum->day, 7);
    EXPECT_EQ(p.passes[1].middle, (OrbSpan{D(20), D(25)}));
    EXPECT_EQ(p.passes[1].minimum->day, 22);
    EXPECT_FALSE(p.passes[1].minimum->exact);
}

// A period already inside the middle orb when the scan began: its first middle exit has no
// start date on its line and gets no minimum, but the next pass starts on a new line.
TEST_F(PeriodBuilderTest, PeriodCutAtTheStartLeavesItsFirstLineWithoutMinimum) {
    Exit(kMiddleOrb, 3);
    builder.Entry(kMiddleOrb, kAspect, D(10));
    builder.Entry(kInnerOrb, kAspect, D(12));
    trackedDay = 13;
    Exit(kInnerOrb, 14);
    Exit(kMiddleOrb, 16);
    EXPECT_TRUE(Exit(kOuterOrb, 20));
    const TransitPeriod p = builder.Take();
    EXPECT_EQ(trackedCalls, 1);
    ASSERT_EQ(p.passes.size(), 2u);
    EXPECT_EQ(p.passes[0].middle, (OrbSpan{std::nullopt, D(3)}));
    EXPECT_FALSE(p.passes[0].minimum.has_value());
    EXPECT_EQ(p.passes[1].middle, (OrbSpan{D(10), D(16)}));
    EXPECT_EQ(p.passes[1].inner, (OrbSpan{D(12), D(14)}));
    EXPECT_EQ(p.passes[1].minimum->day, 13);
    EXPECT_TRUE(p.cutAtStart);
    EXPECT_FALSE(p.cutAtEnd);
}

TEST_F(PeriodBuilderTest, OuterOrbOnlyGetsTheTrackedMinimumAtItsExit) {
    builder.Entry(kOuterOrb, kAspect, D(1));
    trackedDay = 4;
    EXPECT_TRUE(Exit(kOuterOrb, 8));
    const TransitPeriod p = builder.Take();
    ASSERT_EQ(p.passes.size(), 1u);
    EXPECT_FALSE(p.passes[0].middle.Reached());
    EXPECT_EQ(p.passes[0].minimum->day, 4);
    EXPECT_FALSE(builder.HasContent());  // taken: the next period starts afresh
}

// Inside the inner orb from the scan's start to its end: exact minima only.
TEST_F(PeriodBuilderTest, ExactMinimaAloneMakeANamelessPeriodCutAtBothEnds) {
    EXPECT_FALSE(builder.HasContent());
    builder.ExactMinimum(kAspect, Minimum(5, true));
    builder.ExactMinimum(kAspect, Minimum(9, true));
    ASSERT_TRUE(builder.HasContent());
    const TransitPeriod p = builder.Take();
    EXPECT_EQ(p.aspect, kAspect);
    EXPECT_EQ(p.passes.size(), 2u);
    EXPECT_EQ(p.ExactPasses(), 2);
    EXPECT_FALSE(p.HasOrbDates());
    EXPECT_TRUE(p.cutAtStart);
    EXPECT_TRUE(p.cutAtEnd);
}
