// The generated Pluto files against the ephemeris layer they were made from.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "astro/pluto.h"
#include "platform/ephemeris.h"
#include "support/temp_folder.h"
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

namespace {

// The largest change between the records of consecutive days, the short way round.
double LargestDailyStep(astro::PlutoList list, std::size_t records) {
    double largest = 0;
    for (std::size_t k = 1; k < records; ++k) {
        const double a = astro::PlutoRecordDegrees(list, static_cast<long long>(k) - 1);
        const double b = astro::PlutoRecordDegrees(list, static_cast<long long>(k));
        const double apart = std::fabs(b - a);
        largest = std::max(largest, std::min(apart, 360 - apart));
    }
    return largest;
}

}  // namespace

TEST(PlutoFiles, DailyStepsStayWellInsideTheLoadCheck) {
    ASSERT_TRUE(kovo::testing::InitModelOnce());
    ASSERT_TRUE(astro::LoadPlutoFiles().ok);
    const double geo = LargestDailyStep(astro::PlutoList::Geocentric, astro::kPlutoGeoRecords);
    const double helio = LargestDailyStep(astro::PlutoList::Heliocentric, astro::kPlutoHelioRecords);
    std::printf("largest daily step: geocentric %.2f', heliocentric %.1f\"\n", geo * 60, helio * 3600);
    EXPECT_GT(geo, 0.0);
    EXPECT_LE(geo * 3, astro::kPlutoGeoMaxDailyStep);
    EXPECT_LE(helio * 3, astro::kPlutoHelioMaxDailyStep);
}

// A copy of the real files with one line added: without the check, Pluto on 2030-01-01
// read 249.13° instead of 309.17°.
TEST(PlutoFiles, ALineAddedToACopyIsFoundAtLoad) {
    ASSERT_TRUE(kovo::testing::InitModelOnce());
    const double jan2030 = 2462502.5;
    EXPECT_NEAR(Degrees(astro::PlutoGeocentric(jan2030)), 309.0 + 10.0 / 60, 1e-9);

    const kovo::testing::TempFolder scratch("kovo-pluto-real-copy");
    const auto& folder = scratch.Path();
    std::filesystem::copy_file(astro::DataFolder() + astro::kPlutoHelioFile, folder / astro::kPlutoHelioFile,
                               std::filesystem::copy_options::overwrite_existing);
    std::vector<std::string> lines;
    util::ReadTrimmedLines(astro::DataFolder() + astro::kPlutoGeoFile, lines, util::LineEnds::Any);
    lines.insert(lines.begin() + 155593, lines[155592]);
    {
        std::ofstream out(folder / astro::kPlutoGeoFile, std::ios::binary);
        for (const auto& line : lines) out << line << "\r\n";
    }
    astro::PlutoTables copy;
    const auto result = copy.Load(folder.string() + "/");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.reason,
              (folder / astro::kPlutoGeoFile).string() + ": line 155594: record out of step with its neighbours");
    EXPECT_EQ(copy.Geocentric(jan2030), astro::kAfterData);
    std::filesystem::remove_all(folder);
    // The program's own tables were never touched by the damaged copy.
    EXPECT_NEAR(Degrees(astro::PlutoGeocentric(jan2030)), 309.0 + 10.0 / 60, 1e-9);
}
