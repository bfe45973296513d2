#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "astro/positions.h"
#include "platform/ephemeris.h"
#include "test_support.h"

using namespace kovo::astro;

namespace {
class PositionsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { kovo::testing::InitModelOnce(); }
};
}  // namespace

TEST_F(PositionsTest, BodyIndexesMapToTheRightEphemerisBodies) {
    const double jd = 2451590.747980;
    EXPECT_EQ(PlanetLongitude(1, jd, false), kovo::platform::gc_app_long_rv_planet(3, jd, 0, nullptr));
    EXPECT_EQ(PlanetLongitude(1, jd, true), kovo::platform::hc_j2000_long_rv_planet(3, jd, 0, nullptr));
    EXPECT_EQ(PlanetLongitude(2, jd, true), kovo::platform::hc_j2000_long_rv_planet(1, jd, 0, nullptr));
    EXPECT_EQ(PlanetLongitude(3, jd, false), kovo::platform::gc_app_long_rv_planet(2, jd, 0, nullptr));
    for (int p = 4; p <= 8; ++p)
        EXPECT_EQ(PlanetLongitude(p, jd, false), kovo::platform::gc_app_long_rv_planet(p, jd, 0, nullptr));
    EXPECT_EQ(PlanetLongitude(9, jd, false), PlutoGeocentric(jd));
    EXPECT_EQ(PlanetLongitude(9, jd, true), PlutoHeliocentric(jd));
    EXPECT_EQ(PlanetLongitude(9, 2305447.0, true), kBeforeData);
}

TEST_F(PositionsTest, NormalizeAngleByRepeatedTurnsAndSentinelsForGarbage) {
    EXPECT_DOUBLE_EQ(NormalizeAngle(-0.5), FullCircle - 0.5);
    EXPECT_EQ(NormalizeAngle(FullCircle), 0.0);
    EXPECT_EQ(NormalizeAngle(0.0), 0.0);
    EXPECT_DOUBLE_EQ(NormalizeAngle(3 * FullCircle + 1.0), 3 * FullCircle + 1.0 - FullCircle - FullCircle - FullCircle);
    EXPECT_LT(NormalizeAngle(std::nan("")), 0.0);
    EXPECT_LT(NormalizeAngle(std::numeric_limits<double>::infinity()), 0.0);
    EXPECT_LT(NormalizeAngle(-std::numeric_limits<double>::infinity()), 0.0);
    EXPECT_LT(NormalizeAngle(1e300), 0.0);
    EXPECT_LT(NormalizeAngle(-1e18), 0.0);
}

TEST_F(PositionsTest, CalendarYearOfAnInstant) {
    EXPECT_EQ(CalendarYearOf(2451544.5), 2000);
    EXPECT_EQ(CalendarYearOf(2451544.4999), 1999);
    EXPECT_EQ(CalendarYearOf(1721425.5), 1);
}

// Mercury was retrograde from 2024-04-01 to 2024-04-25 (UT dates).
TEST_F(PositionsTest, MercuryRetrogradeInsideAKnownPeriodOnly) {
    EXPECT_TRUE(IsRetrograde(2, 2460411.5));   // 2024-04-10
    EXPECT_TRUE(IsRetrograde(2, 2460420.5));   // 2024-04-19
    EXPECT_FALSE(IsRetrograde(2, 2460395.5));  // 2024-03-25
    EXPECT_FALSE(IsRetrograde(2, 2460435.5));  // 2024-05-04
    for (double jd = 2460300.5; jd < 2460700.5; jd += 3.3) EXPECT_FALSE(IsRetrograde(1, jd));
}

TEST_F(PositionsTest, RetrogradeTestAcrossZeroDegreesAndForMissingPositions) {
    // Find Mars passing 0° going forwards after 2000, to about a second.
    double before = 2451545.0;
    while (!(GeocentricLongitude(4, before) > 6 && GeocentricLongitude(4, before + 1) < 0.5)) {
        before += 1;
        ASSERT_LT(before, 2451545.0 + 1500);
    }
    double after = before + 1;
    while (after - before > 1e-5) {
        const double mid = (before + after) / 2;
        (GeocentricLongitude(4, mid) > 6 ? before : after) = mid;
    }
    // A quarter of an hour before the pass, the position 30 minutes on lies just past 0°.
    const double instant = before - 1.0 / 96;
    const double later = GeocentricLongitude(4, instant + 1.0 / 48);
    ASSERT_LT(later, 0.001);
    ASSERT_GT(GeocentricLongitude(4, instant), FullCircle - 0.001);
    // A pair straddling 0°: just below FullCircle to just past 0 is a jump of about -2π,
    // not a retrograde step ...
    EXPECT_FALSE(IsRetrograde(4, instant));
    EXPECT_FALSE(IsRetrogradeAt(4, FullCircle - 0.0001, instant));
    // ... while a start just ahead of the later position is one.
    EXPECT_TRUE(IsRetrogradeAt(4, later + 0.0001, instant));
    EXPECT_FALSE(IsRetrogradeAt(4, -99.0, 2451545.0));
    EXPECT_FALSE(IsRetrogradeAt(1, 1.0, 2451545.0));
    // Pluto outside its data: no verdict.
    EXPECT_FALSE(IsRetrograde(9, 2305000.0));
}

TEST_F(PositionsTest, FillPositionTableShiftMatchesRestart) {
    PositionTable shifted;
    FillPositionTable(shifted, 2455000.25, 1.0, true);
    FillPositionTable(shifted, 2455001.25, 1.0, false);
    PositionTable restarted;
    FillPositionTable(restarted, 2455001.25, 1.0, true);
    for (int p = 1; p <= 9; ++p)
        for (int day = -1; day <= 1; ++day) EXPECT_EQ(shifted.Longitude(p, day), restarted.Longitude(p, day));
    EXPECT_EQ(restarted.Longitude(4, -1), HeliocentricLongitude(4, 2455000.25));
    EXPECT_EQ(restarted.Longitude(9, 1), PlutoHeliocentric(2455002.25));
}
