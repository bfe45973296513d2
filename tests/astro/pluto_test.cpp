// Pluto lookups over small synthetic record tables.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "astro/pluto.h"
#include "test_support.h"

using namespace kovo::astro;
using kovo::testing::Degrees;

namespace {

constexpr double kFirstMidnight = kPlutoFirstDay - 0.5;

class PlutoTest : public ::testing::Test {
protected:
    void SetUp() override { kovo::testing::InitModelOnce(); }
    void TearDown() override { LoadPlutoFiles(); }  // back to the real files

    static std::vector<std::string> Geo(std::initializer_list<double> degrees) {
        std::vector<std::string> r;
        long long k = 0;
        for (double d : degrees) r.push_back(EncodePlutoGeocentric(d, k++));
        return r;
    }
    static std::vector<std::string> Helio(std::initializer_list<double> degrees) {
        std::vector<std::string> r;
        long long k = 0;
        for (double d : degrees) r.push_back(EncodePlutoHeliocentric(d, k++));
        return r;
    }
};

}  // namespace

TEST_F(PlutoTest, RecordsDecodeWhatWasEncoded) {
    for (long long k = 0; k < 400; ++k) {
        const double d = std::fmod(k * 7.31 + 0.25, 360.0);
        EXPECT_NEAR(PlutoRecordDegrees(PlutoList::Geocentric, -1), kAfterData, 0);
        SetPlutoRecords(PlutoList::Geocentric, std::vector<std::string>(static_cast<std::size_t>(k), "???"));
        auto geo = std::vector<std::string>(static_cast<std::size_t>(k + 1), std::string());
        geo[static_cast<std::size_t>(k)] = EncodePlutoGeocentric(d, k);
        SetPlutoRecords(PlutoList::Geocentric, geo);
        EXPECT_NEAR(PlutoRecordDegrees(PlutoList::Geocentric, k), d, 0.5 / 60 + 1e-9);
        auto helio = std::vector<std::string>(static_cast<std::size_t>(k + 1), std::string());
        helio[static_cast<std::size_t>(k)] = EncodePlutoHeliocentric(d, k);
        SetPlutoRecords(PlutoList::Heliocentric, helio);
        EXPECT_NEAR(PlutoRecordDegrees(PlutoList::Heliocentric, k), d, 0.5 / 3600 + 1e-9);
    }
}

TEST_F(PlutoTest, CarriesRoundUpIntoTheNextDegreeAndWrapAt360) {
    EXPECT_EQ(EncodePlutoGeocentric(29.9999, 0), EncodePlutoGeocentric(30.0, 0));
    EXPECT_EQ(EncodePlutoGeocentric(359.9999, 0), EncodePlutoGeocentric(0.0, 0));
    EXPECT_EQ(EncodePlutoHeliocentric(359.99999, 3), EncodePlutoHeliocentric(0.0, 3));
    for (long long k = 0; k < 60; ++k)
        for (char c : EncodePlutoHeliocentric(359.9, k) + EncodePlutoGeocentric(359.9, k)) {
            EXPECT_GE(static_cast<int>(c), 58);
            EXPECT_LE(static_cast<int>(c), 125);
        }
}

TEST_F(PlutoTest, FirstRecordAtMidnightAndSentinelsAround) {
    SetPlutoRecords(PlutoList::Geocentric, Geo({100.0, 101.0, 102.0}));
    EXPECT_NEAR(Degrees(PlutoGeocentric(kFirstMidnight)), 100.0, 1e-9);
    EXPECT_EQ(PlutoGeocentric(kFirstMidnight - 1.0 / 1440), kBeforeData);
    EXPECT_NEAR(Degrees(PlutoGeocentric(kFirstMidnight + 0.5)), 100.5, 1e-9);
    EXPECT_NEAR(Degrees(PlutoGeocentric(kFirstMidnight + 1.25)), 101.25, 1e-9);
}

TEST_F(PlutoTest, InterpolationThroughZeroDegrees) {
    SetPlutoRecords(PlutoList::Heliocentric, Helio({359.5, 0.5, 359.5}));
    EXPECT_NEAR(Degrees(PlutoHeliocentric(kFirstMidnight + 0.5)), 0.0, 1e-9);
    EXPECT_NEAR(Degrees(PlutoHeliocentric(kFirstMidnight + 0.25)), 359.75, 1e-9);
    EXPECT_NEAR(Degrees(PlutoHeliocentric(kFirstMidnight + 1.75)), 359.75, 1e-9);
    EXPECT_NEAR(Degrees(PlutoHeliocentric(kFirstMidnight + 1.5)), 0.0, 1e-9);
}

TEST_F(PlutoTest, ShortMissingOrCorruptRecordsGiveAfterData) {
    SetPlutoRecords(PlutoList::Geocentric, {EncodePlutoGeocentric(10, 0), "::", "   "});
    EXPECT_EQ(PlutoGeocentric(kFirstMidnight + 0.5), kAfterData);   // record 1 too short
    EXPECT_EQ(PlutoGeocentric(kFirstMidnight + 10.0), kAfterData);  // beyond the table
    SetPlutoRecords(PlutoList::Geocentric, {EncodePlutoGeocentric(10, 0), "\x01\x7f\xff"});
    EXPECT_EQ(PlutoGeocentric(kFirstMidnight), kAfterData);
    SetPlutoRecords(PlutoList::Heliocentric, {});
    EXPECT_EQ(PlutoHeliocentric(kFirstMidnight), kAfterData);
    EXPECT_EQ(PlutoHeliocentric(std::nan("")), kAfterData);
}

TEST_F(PlutoTest, BlankLinesInAFileDoNotShiftTheNumbering) {
    const auto folder = std::filesystem::temp_directory_path() / "kovo_pluto_blank";
    std::filesystem::create_directories(folder);
    {
        std::ofstream geo(folder / kPlutoGeoFile, std::ios::binary);
        geo << "\r\n" << EncodePlutoGeocentric(50, 0) << "\r\n   \r\n\r\n" << EncodePlutoGeocentric(52, 1) << "\r\n";
        std::ofstream helio(folder / kPlutoHelioFile, std::ios::binary);
        helio << EncodePlutoHeliocentric(7, 0) << "\r\n";
    }
    const auto result = LoadPlutoFiles(folder.string() + "/");
    EXPECT_TRUE(result.ok);
    EXPECT_TRUE(result.message.empty());
    EXPECT_NEAR(Degrees(PlutoGeocentric(kFirstMidnight + 0.5)), 51.0, 1e-9);
    std::filesystem::remove_all(folder);
}

TEST_F(PlutoTest, MissingFilesFailWithTheRightMessage) {
    const auto folder = std::filesystem::temp_directory_path() / "kovo_pluto_missing";
    std::filesystem::create_directories(folder);
    auto result = LoadPlutoFiles(folder.string() + "/");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message.rfind("Error when reading geocentric Pluto data.\r\n", 0), 0u);
    EXPECT_GT(result.message.size(), std::string("Error when reading geocentric Pluto data.\r\n").size());

    std::ofstream(folder / kPlutoGeoFile, std::ios::binary) << "";  // empty geocentric file reads fine
    result = LoadPlutoFiles(folder.string() + "/");
    EXPECT_FALSE(result.ok);             // the heliocentric file is missing ...
    EXPECT_TRUE(result.message.empty());  // ... and that failure is silent
    EXPECT_EQ(PlutoGeocentric(kFirstMidnight), kAfterData);
    std::filesystem::remove_all(folder);
}
