// Pluto lookups over small synthetic record tables.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "astro/pluto.h"
#include "support/temp_folder.h"
#include "test_support.h"

using namespace kovo::astro;
using kovo::testing::Degrees;

namespace {

constexpr double kFirstMidnight = kPlutoFirstDay - 0.5;

class PlutoTest : public ::testing::Test {
protected:
    void SetUp() override { kovo::testing::InitModelOnce(); }

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
    PlutoTables tables;  // each test builds its own; the program's tables stay as read
};

}  // namespace

TEST_F(PlutoTest, RecordsDecodeWhatWasEncoded) {
    for (long long k = 0; k < 400; ++k) {
        const double d = std::fmod(k * 7.31 + 0.25, 360.0);
        EXPECT_NEAR(tables.RecordDegrees(PlutoList::Geocentric, -1), kAfterData, 0);
        tables.SetRecords(PlutoList::Geocentric, std::vector<std::string>(static_cast<std::size_t>(k), "???"));
        auto geo = std::vector<std::string>(static_cast<std::size_t>(k + 1), std::string());
        geo[static_cast<std::size_t>(k)] = EncodePlutoGeocentric(d, k);
        tables.SetRecords(PlutoList::Geocentric, geo);
        EXPECT_NEAR(tables.RecordDegrees(PlutoList::Geocentric, k), d, 0.5 / 60 + 1e-9);
        auto helio = std::vector<std::string>(static_cast<std::size_t>(k + 1), std::string());
        helio[static_cast<std::size_t>(k)] = EncodePlutoHeliocentric(d, k);
        tables.SetRecords(PlutoList::Heliocentric, helio);
        EXPECT_NEAR(tables.RecordDegrees(PlutoList::Heliocentric, k), d, 0.5 / 3600 + 1e-9);
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
    tables.SetRecords(PlutoList::Geocentric, Geo({100.0, 101.0, 102.0}));
    EXPECT_NEAR(Degrees(tables.Geocentric(kFirstMidnight)), 100.0, 1e-9);
    EXPECT_EQ(tables.Geocentric(kFirstMidnight - 1.0 / 1440), kBeforeData);
    EXPECT_NEAR(Degrees(tables.Geocentric(kFirstMidnight + 0.5)), 100.5, 1e-9);
    EXPECT_NEAR(Degrees(tables.Geocentric(kFirstMidnight + 1.25)), 101.25, 1e-9);
}

TEST_F(PlutoTest, InterpolationThroughZeroDegrees) {
    tables.SetRecords(PlutoList::Heliocentric, Helio({359.5, 0.5, 359.5}));
    EXPECT_NEAR(Degrees(tables.Heliocentric(kFirstMidnight + 0.5)), 0.0, 1e-9);
    EXPECT_NEAR(Degrees(tables.Heliocentric(kFirstMidnight + 0.25)), 359.75, 1e-9);
    EXPECT_NEAR(Degrees(tables.Heliocentric(kFirstMidnight + 1.75)), 359.75, 1e-9);
    EXPECT_NEAR(Degrees(tables.Heliocentric(kFirstMidnight + 1.5)), 0.0, 1e-9);
}

TEST_F(PlutoTest, ShortMissingOrCorruptRecordsGiveAfterData) {
    tables.SetRecords(PlutoList::Geocentric, {EncodePlutoGeocentric(10, 0), "::", "   "});
    EXPECT_EQ(tables.Geocentric(kFirstMidnight + 0.5), kAfterData);   // record 1 too short
    EXPECT_EQ(tables.Geocentric(kFirstMidnight + 10.0), kAfterData);  // beyond the table
    tables.SetRecords(PlutoList::Geocentric, {EncodePlutoGeocentric(10, 0), "\x01\x7f\xff"});
    EXPECT_EQ(tables.Geocentric(kFirstMidnight), kAfterData);
    tables.SetRecords(PlutoList::Heliocentric, {});
    EXPECT_EQ(tables.Heliocentric(kFirstMidnight), kAfterData);
    EXPECT_EQ(tables.Heliocentric(std::nan("")), kAfterData);
}

// Full-size synthetic files in a folder of their own, damaged one way at a time.
class PlutoFileCheck : public PlutoTest {
protected:
    void SetUp() override {
        PlutoTest::SetUp();
        for (long long k = 0; k < static_cast<long long>(kPlutoGeoRecords); ++k)
            geo.push_back(EncodePlutoGeocentric(GeoDegrees(k), k));
        for (long long k = 0; k < static_cast<long long>(kPlutoHelioRecords); ++k)
            helio.push_back(EncodePlutoHeliocentric(HelioDegrees(k), k));
    }
    // Geocentric: a steady drift with yearly loops backwards, through 0° many times;
    // heliocentric: a slow steady motion through 0° twice. Both move about as fast as Pluto.
    static double GeoDegrees(long long k) { return std::fmod(350 + k * 0.01 + 2 * std::sin(k * 0.0172), 360); }
    static double HelioDegrees(long long k) { return std::fmod(355 + k * 0.004, 360); }
    static void WriteLines(const std::filesystem::path& path, const std::vector<std::string>& lines) {
        std::string content;
        for (const auto& line : lines) content += line + "\r\n";
        std::ofstream(path, std::ios::binary) << content;
    }
    PlutoLoadResult Load() {
        WriteLines(folder / kPlutoGeoFile, geo);
        WriteLines(folder / kPlutoHelioFile, helio);
        return tables.Load(folder.string() + "/");
    }
    std::string GeoPath() const { return (folder / kPlutoGeoFile).string(); }
    std::string HelioPath() const { return (folder / kPlutoHelioFile).string(); }
    // Expects a failed load with this reason, and both lists emptied.
    void ExpectFailure(const PlutoLoadResult& result, const std::string& heading, const std::string& reason) {
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.reason, reason);
        EXPECT_EQ(result.message, "Error when reading " + heading + " Pluto data.\r\n" + reason);
        EXPECT_EQ(tables.RecordDegrees(PlutoList::Geocentric, 0), kAfterData);
        EXPECT_EQ(tables.RecordDegrees(PlutoList::Heliocentric, 0), kAfterData);
        EXPECT_EQ(tables.Geocentric(kFirstMidnight + 100), kAfterData);
        EXPECT_EQ(tables.Heliocentric(kFirstMidnight + 100), kAfterData);
        // Another folder's damage never reaches the records every run reads.
        EXPECT_GE(ProgramPlutoTables().RecordDegrees(PlutoList::Geocentric, 1000), 0.0);
        EXPECT_TRUE(LoadPlutoFiles().ok);
    }
    const kovo::testing::TempFolder scratch{"kovo-pluto"};
    const std::filesystem::path folder = scratch.Path();
    std::vector<std::string> geo;
    std::vector<std::string> helio;
};

TEST_F(PlutoFileCheck, SoundFilesLoadAndBlankLinesDoNotShiftTheNumbering) {
    const double day1000 = ProgramPlutoTables().RecordDegrees(PlutoList::Geocentric, 1000);  // the real file
    auto result = Load();
    EXPECT_TRUE(result.ok);
    EXPECT_TRUE(result.message.empty());
    EXPECT_TRUE(result.reason.empty());
    EXPECT_NE(tables.RecordDegrees(PlutoList::Geocentric, 1000), day1000);

    // Blank lines, lines of blanks and lone LF line ends anywhere.
    geo.insert(geo.begin() + 500, {"", "   "});
    geo.insert(geo.begin(), "");
    helio.insert(helio.begin() + 7, "  ");
    helio.back() += "\n";
    result = Load();
    ASSERT_TRUE(result.ok) << result.reason;
    EXPECT_NEAR(Degrees(tables.Geocentric(kFirstMidnight + 1000.5)),
                (tables.RecordDegrees(PlutoList::Geocentric, 1000) + tables.RecordDegrees(PlutoList::Geocentric, 1001)) / 2,
                1e-9);
    EXPECT_NEAR(tables.RecordDegrees(PlutoList::Geocentric, 1000), GeoDegrees(1000), 0.5 / 60 + 1e-9);
    EXPECT_NEAR(tables.RecordDegrees(PlutoList::Heliocentric, 1000), HelioDegrees(1000), 0.5 / 3600 + 1e-9);
    EXPECT_GE(tables.Heliocentric(kPlutoHelioLastDay), 0.0);
}

TEST_F(PlutoFileCheck, RecordCountMustBeExact) {
    geo.pop_back();
    ExpectFailure(Load(), "geocentric", GeoPath() + ": 182622 records, 182623 needed");
    geo.push_back(EncodePlutoGeocentric(GeoDegrees(182622), 182622));
    geo.push_back(EncodePlutoGeocentric(GeoDegrees(182623), 182623));  // in step, one too many
    ExpectFailure(Load(), "geocentric", GeoPath() + ": 182624 records, 182623 needed");
    geo.pop_back();
    helio.clear();
    ExpectFailure(Load(), "heliocentric", HelioPath() + ": 0 records, 219147 needed");
}

TEST_F(PlutoFileCheck, InsertedOrLostLineIsOutOfStep) {
    // A copy of line 1001 after it: from there on every record is read for the wrong day.
    geo.insert(geo.begin() + 1001, geo[1000]);
    ExpectFailure(Load(), "geocentric", GeoPath() + ": line 1002: record out of step with its neighbours");
    geo.erase(geo.begin() + 1001);
    helio.erase(helio.begin() + 70000);
    ExpectFailure(Load(), "heliocentric", HelioPath() + ": line 70001: record out of step with its neighbours");
}

TEST_F(PlutoFileCheck, DamagedRecordsAreNamedByTheirLine) {
    geo.insert(geo.begin(), {"", ""});  // blank lines count in the line number
    geo[155621] = "~~~";
    ExpectFailure(Load(), "geocentric", GeoPath() + ": line 155622: record cannot be decoded");
    geo[155621] = geo[155620];
    geo[12] = "ab";
    ExpectFailure(Load(), "geocentric", GeoPath() + ": line 13: record is not 3 characters long");
    geo[12] = geo[13] + "x";
    ExpectFailure(Load(), "geocentric", GeoPath() + ": line 13: record is not 3 characters long");
    geo[12] = std::string(100000, 'x');
    ExpectFailure(Load(), "geocentric", GeoPath() + ": line 13: record is not 3 characters long");
}

TEST_F(PlutoFileCheck, AWrongDegreeIsOutOfStepInEitherFile) {
    // Valid codes one degree off: the record decodes, but Pluto cannot move so far in a day.
    const std::string sound = helio[5000];
    helio[5000][3] = static_cast<char>(helio[5000][3] == ';' ? '<' : helio[5000][3] - 1);
    ExpectFailure(Load(), "heliocentric", HelioPath() + ": line 5001: record out of step with its neighbours");
    helio[5000] = sound;
    geo[3000][1] = static_cast<char>(geo[3000][1] == ';' ? '<' : geo[3000][1] - 1);
    ExpectFailure(Load(), "geocentric", GeoPath() + ": line 3001: record out of step with its neighbours");
}

TEST_F(PlutoFileCheck, HeliocentricFailureIsReportedNotSilent) {
    ASSERT_TRUE(Load().ok);
    std::filesystem::remove(folder / kPlutoHelioFile);
    const auto result = tables.Load(folder.string() + "/");
    ExpectFailure(result, "heliocentric", HelioPath() + ": No such file or directory");
}

TEST_F(PlutoFileCheck, MissingOrIrregularGeocentricFileSkipsTheHeliocentricOne) {
    WriteLines(folder / kPlutoHelioFile, helio);
    ExpectFailure(tables.Load(folder.string() + "/"), "geocentric", GeoPath() + ": No such file or directory");
    std::filesystem::create_directory(folder / kPlutoGeoFile);
    ExpectFailure(tables.Load(folder.string() + "/"), "geocentric", GeoPath() + ": not a regular file");
}
