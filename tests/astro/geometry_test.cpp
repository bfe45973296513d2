#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "astro/catalogue.h"
#include "astro/geometry.h"
#include "astro/positions.h"
#include "test_support.h"

using namespace kovo::astro;
using kovo::testing::Radians;

namespace {

// Separation and direction as an independent oracle: the shorter arc, and which body
// the other reaches by going forward along it.
double OracleSeparation(double a, double b) {
    double d = std::fmod(std::fabs(a - b), FullCircle);
    return d > FullCircle / 2 ? FullCircle - d : d;
}

class OrbTests : public ::testing::Test {
protected:
    // Planet 2 stays at 0°; planet 5 stands at the given degrees on each day.
    void Place(double yesterday, double today, double tomorrow) {
        table.longitudes[2] = {0.0, 0.0, 0.0};
        table.longitudes[5] = {Radians(yesterday), Radians(today), Radians(tomorrow)};
    }
    PositionTable table;
};

}  // namespace

TEST(AngularSeparation, ExamplesAndDirection) {
    std::int16_t direction = 0;
    EXPECT_NEAR(AngularSeparation(0.1, FullCircle - 0.1, direction), 0.2, 1e-12);
    EXPECT_EQ(direction, 1);  // 0.1 is ahead of 359.x°

    direction = 0;
    EXPECT_DOUBLE_EQ(AngularSeparation(1.0, 2.0, direction), 1.0);
    EXPECT_EQ(direction, -1);
    direction = 0;
    EXPECT_DOUBLE_EQ(AngularSeparation(2.0, 1.0, direction), 1.0);
    EXPECT_EQ(direction, 1);

    direction = 0;
    EXPECT_DOUBLE_EQ(AngularSeparation(0.0, HalfCircle, direction), HalfCircle);
    EXPECT_EQ(direction, -1);
    direction = 0;
    EXPECT_DOUBLE_EQ(AngularSeparation(1.5, 1.5, direction), 0.0);
    EXPECT_EQ(direction, -1);
}

TEST(AngularSeparation, UnmatchedDirectionIsLeftAlone) {
    // A longitude that is not a number can match neither test.
    std::int16_t direction = 7;
    AngularSeparation(std::numeric_limits<double>::quiet_NaN(), 2.0, direction);
    EXPECT_EQ(direction, 7);
    AngularSeparation(1.0, std::numeric_limits<double>::quiet_NaN(), direction);
    EXPECT_EQ(direction, 7);
}

TEST(AngularSeparation, WalkAroundTheCircleMatchesOracle) {
    for (int i = 0; i < 360; ++i) {
        for (int j = 0; j < 360; j += 7) {
            const double a = Radians(i + 0.25);
            const double b = Radians(j + 0.5);
            std::int16_t direction = 0;
            const double sep = AngularSeparation(a, b, direction);
            ASSERT_NEAR(sep, OracleSeparation(a, b), 1e-9) << i << " " << j;
            ASSERT_GE(sep, 0.0);
            ASSERT_LE(sep, HalfCircle + 1e-12);
            // Going forward from the body behind by sep reaches the one ahead.
            const double behind = direction == -1 ? a : b;
            const double ahead = direction == -1 ? b : a;
            ASSERT_NE(direction, 0);
            ASSERT_NEAR(OracleSeparation(NormalizeAngle(behind + sep), ahead), 0.0, 1e-9) << i << " " << j;
        }
    }
}

TEST_F(OrbTests, InOrbOnDayIsStrictApplyingIsNot) {
    // Exactly 100° from planet 2 today, 10° from a trine (120°) with a 10° orb: use exact
    // radians so the deviation equals the orb bit for bit.
    const double orb = 0.5;
    table.longitudes[2] = {0.0, 0.0, 0.0};
    table.longitudes[5] = {0.0, AspectAngle[4] - orb, AspectAngle[4] - orb + 0.1};
    EXPECT_FALSE(InOrbOnDay(table, 2, 5, 4, orb, 0));
    EXPECT_TRUE(InOrbOnDay(table, 2, 5, 4, orb + 1e-9, 0));
    EXPECT_TRUE(InOrbApplying(table, 2, 5, 4, orb));
    EXPECT_FALSE(InOrbSeparating(table, 2, 5, 4, orb));
    table.longitudes[5][2] = AspectAngle[4] - orb - 0.1;
    EXPECT_FALSE(InOrbApplying(table, 2, 5, 4, orb));
    EXPECT_TRUE(InOrbSeparating(table, 2, 5, 4, orb));
    table.longitudes[5][2] = table.longitudes[5][1];  // unchanged deviation: neither
    EXPECT_FALSE(InOrbApplying(table, 2, 5, 4, orb));
    EXPECT_FALSE(InOrbSeparating(table, 2, 5, 4, orb));
}

TEST_F(OrbTests, BeginsAndEnds) {
    const double orb = Radians(5);
    Place(112, 117, 121);  // trine: outside yesterday, inside today and tomorrow
    EXPECT_TRUE(AspectBeginsToday(table, 2, 5, 4, orb));
    EXPECT_FALSE(AspectEndedToday(table, 2, 5, 4, orb));
    EXPECT_TRUE(InOrbApplying(table, 2, 5, 4, orb));
    Place(123, 126, 130);  // inside yesterday, outside today
    EXPECT_FALSE(AspectBeginsToday(table, 2, 5, 4, orb));
    EXPECT_TRUE(AspectEndedToday(table, 2, 5, 4, orb));
    EXPECT_FALSE(InOrbSeparating(table, 2, 5, 4, orb));  // not within the orb today
    Place(118, 121, 124);  // inside both days
    EXPECT_FALSE(AspectBeginsToday(table, 2, 5, 4, orb));
    EXPECT_FALSE(AspectEndedToday(table, 2, 5, 4, orb));
    EXPECT_TRUE(InOrbSeparating(table, 2, 5, 4, orb));
    // The separation is the shorter way round: 358° from 0° is a 2° conjunction.
    Place(350, 358, 1);
    EXPECT_TRUE(AspectBeginsToday(table, 2, 5, 1, orb));
    EXPECT_TRUE(InOrbApplying(table, 2, 5, 1, orb));
}

TEST_F(OrbTests, MissingPositionsMakeEveryTestFalse) {
    const double orb = Radians(5);
    for (double sentinel : {-99.0, -100.0}) {
        Place(118, 120, 121);
        table.longitudes[5][1] = sentinel;  // today missing
        EXPECT_FALSE(InOrbOnDay(table, 2, 5, 4, orb, 0));
        EXPECT_FALSE(AspectBeginsToday(table, 2, 5, 4, orb));
        EXPECT_FALSE(AspectEndedToday(table, 2, 5, 4, orb));  // in orb yesterday, no position today
        EXPECT_FALSE(InOrbApplying(table, 2, 5, 4, orb));
        EXPECT_FALSE(InOrbSeparating(table, 2, 5, 4, orb));

        Place(126, 121, 120);
        EXPECT_TRUE(AspectBeginsToday(table, 2, 5, 4, orb));
        table.longitudes[2][0] = sentinel;  // yesterday missing: no beginning either
        EXPECT_FALSE(AspectBeginsToday(table, 2, 5, 4, orb));
        EXPECT_TRUE(InOrbApplying(table, 2, 5, 4, orb));  // today and tomorrow still have positions
        table.longitudes[2][2] = sentinel;  // tomorrow missing
        EXPECT_FALSE(InOrbApplying(table, 2, 5, 4, orb));
        EXPECT_FALSE(InOrbSeparating(table, 2, 5, 4, orb));
    }
}

TEST(FormatDegreesMinutes, Texts) {
    EXPECT_EQ(FormatDegreesMinutes(FullCircle / 2), "180°0'");
    EXPECT_EQ(FormatDegreesMinutes(Radians(5 + 7.0 / 60)), "5°7'");
    EXPECT_EQ(FormatDegreesMinutes(Radians(28 + 39.2 / 60)), "28°39'");
    EXPECT_EQ(FormatDegreesMinutes(Radians(0.2 / 60)), "0°0'");
    EXPECT_EQ(FormatDegreesMinutes(Radians(29 + 59.7 / 60)), "30°0'");
    EXPECT_EQ(FormatDegreesMinutes(Radians(359 + 59.7 / 60)), "359°59'");
    EXPECT_EQ(FormatDegreesMinutes(Radians(12 + 30.4 / 60)), "12°30'");
    EXPECT_EQ(FormatDegreesMinutes(Radians(12 + 30.6 / 60)), "12°31'");
    EXPECT_EQ(FormatDegreesMinutes(0.0), "0°0'");
}

TEST(FormatDegreesMinutes, NeverReaches360) {
    EXPECT_EQ(FormatDegreesMinutes(FullCircle), "359°59'");
    EXPECT_EQ(FormatDegreesMinutes(Radians(359.999995)), "359°59'");
    EXPECT_EQ(FormatDegreesMinutes(Radians(359.99998)), "359°59'");
    EXPECT_EQ(FormatDegreesMinutes(std::nextafter(FullCircle, 0.0)), "359°59'");
}

TEST(FormatDegreesMinutes, OutOfRangeGivesEmptyText) {
    EXPECT_EQ(FormatDegreesMinutes(-1e-12), "");
    EXPECT_EQ(FormatDegreesMinutes(-99.0), "");
    EXPECT_EQ(FormatDegreesMinutes(std::nextafter(FullCircle, 10.0)), "");
    EXPECT_EQ(FormatDegreesMinutes(std::numeric_limits<double>::quiet_NaN()), "");
    EXPECT_EQ(FormatDegreesMinutes(std::numeric_limits<double>::infinity()), "");
}
