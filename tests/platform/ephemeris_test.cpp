#include <gtest/gtest.h>

#include <cmath>

#include "platform/ephemeris.h"
#include "test_support.h"

using namespace kovo;
using kovo::testing::Degrees;

namespace {

// Difference of two longitudes in arcseconds, the short way round.
double ArcsecondsApart(double degreesA, double degreesB) {
    double d = std::fmod(std::fabs(degreesA - degreesB), 360.0);
    if (d > 180.0) d = 360.0 - d;
    return d * 3600.0;
}

double Geo(int code, double jd) { return platform::gc_app_long_rv_planet(code, jd, 0, nullptr); }
double Helio(int code, double jd) {
    double rv = 1;
    return platform::hc_j2000_long_rv_planet(code, jd, 0, &rv);
}

class EphemerisTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { kovo::testing::InitModelOnce(); }
};

}  // namespace

// Published 2024 equinox and solstice instants (UT, to the minute).
TEST_F(EphemerisTest, SunAtTheEquinoxesAndSolsticesOf2024) {
    struct Case { double jd; double expected; };
    const Case cases[] = {
        {2460389.5 + (3 + 6 / 60.0) / 24.0, 0.0},      // 2024-03-20 03:06
        {2460481.5 + (20 + 51 / 60.0) / 24.0, 90.0},   // 2024-06-20 20:51
        {2460575.5 + (12 + 44 / 60.0) / 24.0, 180.0},  // 2024-09-22 12:44
        {2460665.5 + (9 + 21 / 60.0) / 24.0, 270.0},   // 2024-12-21 09:21
    };
    for (const auto& c : cases) {
        const double lon = Geo(3, c.jd);
        ASSERT_GE(lon, 0.0);
        // The instants are rounded to the minute; the Sun moves about 2.5" a minute.
        EXPECT_LT(ArcsecondsApart(Degrees(lon), c.expected), 2.0 + 1.5) << c.jd;
    }
}

// Longitudes from the VSOP87 theory, computed independently of the Swiss Ephemeris.
TEST_F(EphemerisTest, AgreesWithVsop87ReferenceWithinOneArcsecond) {
    const double jd = 2451590.747980;
    struct Case { int code; double helio; double geo; };
    const Case cases[] = {
        {3, 146.8714507521, 326.8637458132}, {1, 80.3868505566, 344.8809876444},
        {2, 255.9197645269, 297.5958545346}, {4, 27.4295792353, 3.2016671793},
        {5, 40.4590796430, 30.2210587198},   {6, 47.3775898958, 41.4106512849},
        {7, 316.9161937276, 317.3754555135}, {8, 304.2015884576, 304.8961957235},
    };
    for (const auto& c : cases) {
        EXPECT_LT(ArcsecondsApart(Degrees(Helio(c.code, jd)), c.helio), 1.0) << "helio body " << c.code;
        EXPECT_LT(ArcsecondsApart(Degrees(Geo(c.code, jd)), c.geo), 1.0) << "geo body " << c.code;
    }
}

TEST_F(EphemerisTest, BadBodiesAndInstantsGiveNegativeLongitudes) {
    EXPECT_LT(Geo(0, 2451545.0), 0.0);
    EXPECT_LT(Geo(9, 2451545.0), 0.0);
    EXPECT_LT(Helio(42, 2451545.0), 0.0);
    EXPECT_LT(Geo(4, std::nan("")), 0.0);
    EXPECT_LT(Helio(4, INFINITY), 0.0);
    // Far outside every data file: the library would fall back to its analytical
    // theory, which the layer refuses.
    EXPECT_LT(Geo(4, 2451545.0 + 365.25 * 8000), 0.0);
}

TEST_F(EphemerisTest, RadiusVectorIsClearedAndLongitudesStayInRange) {
    double rv = 7.0;
    for (double jd = 2305447.5; jd < 2524594; jd += 3653.7) {
        for (int code = 1; code <= 8; ++code) {
            const double g = platform::gc_app_long_rv_planet(code, jd, 0, &rv);
            EXPECT_EQ(rv, 0.0);
            EXPECT_GE(g, 0.0);
            EXPECT_LT(g, 6.283185307179586);
        }
    }
}

// Separations need one ET per instant and no nutation. Heliocentric the longitudes from ET
// are the UT entry point's own, bit for bit; geocentric every body's longitude differs
// from the apparent one by the same angle (nutation), so separations stay as they were.
TEST_F(EphemerisTest, SeparationLongitudesShareOneDeltaTAndLeaveOutOnlyNutation) {
    const double twoPi = 6.283185307179586476925287;
    double largestSeparationChange = 0;
    for (double jd = 2305448.0; jd < 2524593.0; jd += 997.37) {
        const double helioEt = platform::EphemerisTime(jd, true);
        const double geoEt = platform::EphemerisTime(jd, false);
        ASSERT_LT(std::fabs(helioEt - jd), 0.02);  // delta-T: minutes at most in these centuries
        EXPECT_EQ(geoEt, helioEt);                 // the frame's flags do not change it
        for (int code = 1; code <= 8; ++code)
            EXPECT_EQ(platform::SeparationLongitudeEt(code, helioEt, true), Helio(code, jd)) << code << " at " << jd;
        // The Sun's nutation in longitude, below 20".
        double shift = Geo(3, jd) - platform::SeparationLongitudeEt(3, geoEt, false);
        shift -= twoPi * std::round(shift / twoPi);
        EXPECT_LT(std::fabs(shift), 20.0 / 3600 / 360 * twoPi);
        for (int code = 1; code <= 8; ++code) {
            double d = Geo(code, jd) - platform::SeparationLongitudeEt(code, geoEt, false);
            d -= twoPi * std::round(d / twoPi);
            largestSeparationChange = std::max(largestSeparationChange, std::fabs(d - shift));
        }
    }
    EXPECT_LT(largestSeparationChange, 1e-12);
    EXPECT_LT(platform::SeparationLongitudeEt(9, 2451545.0, false), 0);  // Pluto is not the library's
    EXPECT_LT(platform::SeparationLongitudeEt(4, std::nan(""), false), 0);
    EXPECT_TRUE(std::isnan(platform::EphemerisTime(std::nan(""), false)));
}
