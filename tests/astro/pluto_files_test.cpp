// The generated Pluto files against the ephemeris layer they were made from.
#include <gtest/gtest.h>

#include <cmath>

#include "astro/pluto.h"
#include "platform/ephemeris.h"
#include "test_support.h"
#include "util/line_reader.h"

using namespace kovo;
using kovo::testing::Degrees;

namespace {

double DegreesApart(double a, double b) {
    double d = std::fmod(std::fabs(a - b), 360.0);
    return d > 180 ? 360 - d : d;
}

}  // namespace

TEST(PlutoFiles, GeneratedFilesHoldTheRequiredRecordCounts) {
    ASSERT_TRUE(kovo::testing::InitModelOnce());
    std::vector<std::string> lines;
    EXPECT_EQ(util::ReadTrimmedLines(astro::DataFolder() + astro::kPlutoGeoFile, lines, util::LineEnds::CrOrCrLf).count,
              182623u);
    lines.clear();
    EXPECT_EQ(util::ReadTrimmedLines(astro::DataFolder() + astro::kPlutoHelioFile, lines, util::LineEnds::CrOrCrLf).count,
              219147u);
}

TEST(PlutoFiles, DecodedRecordsAgreeWithTheEphemerisWithinTheRounding) {
    ASSERT_TRUE(kovo::testing::InitModelOnce());
    double worstGeo = 0, worstHelio = 0;
    for (int day = astro::kPlutoFirstDay; day <= astro::kPlutoGeoLastDay + 1; day += 613) {
        const double midnight = day - 0.5;
        const long long k = day - astro::kPlutoFirstDay;
        const double geo = astro::PlutoRecordDegrees(astro::PlutoList::Geocentric, k);
        worstGeo = std::max(worstGeo, DegreesApart(geo, Degrees(platform::PlutoGeocentricFromEphemeris(midnight))));
        EXPECT_NEAR(Degrees(astro::PlutoGeocentric(midnight)), geo, 1e-9);
    }
    for (int day = astro::kPlutoFirstDay; day <= astro::kPlutoHelioLastDay + 1; day += 737) {
        const long long k = day - astro::kPlutoFirstDay;
        const double helio = astro::PlutoRecordDegrees(astro::PlutoList::Heliocentric, k);
        worstHelio = std::max(worstHelio, DegreesApart(helio, Degrees(platform::PlutoHeliocentricFromEphemeris(day - 0.5))));
    }
    EXPECT_LE(worstGeo * 60, 0.5 + 1e-6);
    EXPECT_LE(worstHelio * 3600, 0.5 + 1e-6);
    std::printf("largest decoding difference: geocentric %.4f', heliocentric %.4f\"\n", worstGeo * 60, worstHelio * 3600);
    // The day after each file's last covered day is the last record; past it, -100.
    EXPECT_GE(astro::PlutoGeocentric(astro::kPlutoGeoLastDay - 0.5 + 0.5), 0.0);
    EXPECT_EQ(astro::PlutoGeocentric(astro::kPlutoGeoLastDay + 0.5), astro::kAfterData);
    EXPECT_GE(astro::PlutoHeliocentric(astro::kPlutoHelioLastDay), 0.0);
    EXPECT_EQ(astro::PlutoHeliocentric(astro::kPlutoHelioLastDay + 0.5), astro::kAfterData);
}
