// The CSV converter: column detection, date forms, missing values, order, the written
// file and the command's exit statuses.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "simulation/index_csv.h"
#include "simulation/index_file.h"
#include "test_support.h"

namespace kovo::simulation {
namespace {

namespace fs = std::filesystem;

std::optional<double> CloseOf(const CsvReadResult& result, const std::string& iso) {
    for (const DailyClose& close : result.closes) {
        if (calendar::FormatDayNumberIso(close.dayNumber) == iso) return close.close;
    }
    ADD_FAILURE() << "no row for " << iso;
    return std::nullopt;
}

class IndexCsvTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing::InitModelOnce();
        folder = fs::temp_directory_path() / ("kovo_djia_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                             "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    std::string Write(const std::string& name, const std::string& text) {
        const fs::path path = folder / name;
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }
    int Command(std::vector<std::string> args) {
        out.str("");
        err.str("");
        return RunIndexConverter(args, out, err);
    }

    fs::path folder;
    std::ostringstream out, err;
};

TEST_F(IndexCsvTest, PicksTheCloseColumnOfCommonLayouts) {
    const CsvReadResult ohlc = ParseIndexCsv(
        "Date,Open,High,Low,Close,Adj Close,Volume\r\n"
        "2007-01-03,12459.54,12580.35,12404.82,12474.52,12474.52,327200000\r\n"
        "2007-01-04,12473.16,12510.41,12403.86,12480.69,12480.69,259060000\r\n");
    ASSERT_EQ(ohlc.errorText, "");
    ASSERT_EQ(ohlc.closes.size(), 2u);
    EXPECT_EQ(ohlc.closes[0].dayNumber, FirstInvestmentDay);
    EXPECT_EQ(CloseOf(ohlc, "2007-01-04"), 12480.69);

    const CsvReadResult fred = ParseIndexCsv("DATE,DJIA\n2007-01-03,12474.52\n2007-01-04,.\n");
    ASSERT_EQ(fred.errorText, "");
    EXPECT_EQ(CloseOf(fred, "2007-01-03"), 12474.52);
    EXPECT_FALSE(CloseOf(fred, "2007-01-04").has_value());

    const CsvReadResult adjOnly = ParseIndexCsv("Volume,Adj Close,date\n1,\"12,474.52\",01/03/2007\n");
    ASSERT_EQ(adjOnly.errorText, "");
    EXPECT_EQ(CloseOf(adjOnly, "2007-01-03"), 12474.52);
}

TEST_F(IndexCsvTest, QuotedFieldsUsDatesAndDescendingOrder) {
    const CsvReadResult result = ParseIndexCsv(
        "\xEF\xBB\xBF\"Date\",\"Close\"\n"
        "\"1/5/2007\",\"12,398.01\"\n"
        "\"01/04/2007\",\"\"\n"
        "\"1/3/2007\",\"$12,474.52\"\n");
    ASSERT_EQ(result.errorText, "");
    ASSERT_EQ(result.closes.size(), 3u);
    EXPECT_EQ(result.closes[0].dayNumber, FirstInvestmentDay);  // returned ascending
    EXPECT_EQ(CloseOf(result, "2007-01-05"), 12398.01);
    EXPECT_FALSE(CloseOf(result, "2007-01-04").has_value());
}

TEST_F(IndexCsvTest, RefusesBadTables) {
    EXPECT_NE(ParseIndexCsv("Day,Value\n2007-01-03,1\n").errorText.find("no usable columns"), std::string::npos);
    EXPECT_NE(ParseIndexCsv("Date,Open,High\n2007-01-03,1,2\n").errorText.find("no usable columns"),
              std::string::npos);
    EXPECT_NE(ParseIndexCsv("").errorText, "");
    const std::string order = ParseIndexCsv("Date,Close\n2007-01-03,1\n2007-01-05,2\n2007-01-04,3\n").errorText;
    EXPECT_NE(order.find("line 4"), std::string::npos) << order;
    EXPECT_NE(order.find("out of order"), std::string::npos) << order;
    EXPECT_NE(ParseIndexCsv("Date,Close\n2007-01-03,1\n2007-01-03,2\n").errorText.find("out of order"),
              std::string::npos);
    EXPECT_NE(ParseIndexCsv("Date,Close\n2007-02-30,1\n").errorText.find("line 2"), std::string::npos);
    EXPECT_NE(ParseIndexCsv("Date,Close\n2007-01-03,12x\n").errorText.find("not a closing value"),
              std::string::npos);
    EXPECT_NE(ParseIndexCsv("Date,Close\n2007-01-03,-5\n").errorText, "");
    EXPECT_NE(ParseIndexCsv("Date,Close\n2007-01-03,inf\n").errorText, "");
    EXPECT_NE(ParseIndexCsv("Date,Open,Close\n2007-01-03,1\n").errorText.find("too few fields"), std::string::npos);
}

TEST_F(IndexCsvTest, BuildsOneLinePerWeekdayWithZerosForMissingDays) {
    const CsvReadResult table = ParseIndexCsv(
        "Date,Close\n2006-12-29,12463.15\n2007-01-02,.\n2007-01-03,12474.5\n2007-01-06,999\n2014-12-31,17823.07\n");
    ASSERT_EQ(table.errorText, "");
    const IndexFileLines file = BuildIndexFileLines(table.closes);
    ASSERT_EQ(file.errorText, "");
    ASSERT_EQ(file.lines.size(), static_cast<std::size_t>(ExpectedIndexLines));
    EXPECT_EQ(file.lines[0], "2007-01-01\t0");
    EXPECT_EQ(file.lines[1], "2007-01-02\t0");
    EXPECT_EQ(file.lines[2], "2007-01-03\t12474.50");
    EXPECT_EQ(file.lines[5], "2007-01-08\t0");  // the Saturday value is left out
    EXPECT_EQ(file.lines.back(), "2014-12-31\t17823.07");

    const IndexFileLines tooLarge = BuildIndexFileLines({{.dayNumber = FirstInvestmentDay, .close = 123456.0}});
    EXPECT_NE(tooLarge.errorText.find("2007-01-03"), std::string::npos);
}

TEST_F(IndexCsvTest, CommandWritesAFileTheIndexTableAccepts) {
    const std::string input = Write("in.csv", "Date,Close\n2007-01-03,12474.52\n2007-01-08,\"12,423.49\"\n");
    const std::string output = (folder / "DJIA_data.txt").string();
    Write("DJIA_data.txt", "old contents");
    ASSERT_EQ(Command({"-o", output, input}), 0) << err.str();
    EXPECT_EQ(err.str(), "");

    IndexPrices prices;
    EXPECT_FALSE(prices.Load(output).has_value());
    EXPECT_EQ(prices.IndexLineCount(), ExpectedIndexLines);
    EXPECT_EQ(prices.IndexValueOnOrAfter(FirstInvestmentDay), 12474.52);
    EXPECT_EQ(prices.IndexValueOnOrAfter(FirstInvestmentDay + 1), 12423.49);  // Thursday -> Monday

    std::ifstream file(output, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text.substr(0, 49), "2007-01-01\t0\r\n2007-01-02\t0\r\n2007-01-03\t12474.52\r\n");
    EXPECT_FALSE(fs::exists(output + ".tmp"));
}

TEST_F(IndexCsvTest, CommandFailuresKeepTheOldFile) {
    const std::string output = Write("DJIA_data.txt", "old contents");
    const auto oldContents = [&] {
        std::ifstream file(output);
        return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    };
    EXPECT_EQ(Command({"-o", output, (folder / "missing.csv").string()}), 1);
    EXPECT_NE(err.str().find("cannot read"), std::string::npos);
    EXPECT_EQ(Command({"-o", output, folder.string()}), 1);  // a folder is no file
    EXPECT_EQ(Command({"-o", output, Write("bad.csv", "Date,Close\n2007-01-04,1\n2007-01-03,2\n2007-01-05,2\n")}), 1);
    EXPECT_NE(err.str().find("out of order"), std::string::npos);
    EXPECT_EQ(Command({"-o", output, Write("none.csv", "Date,Close\n2015-01-02,1\n")}), 1);
    EXPECT_NE(err.str().find("no closing values"), std::string::npos);
    EXPECT_EQ(Command({"-o", (folder / "no_such_folder" / "x.txt").string(),
                       Write("ok.csv", "Date,Close\n2007-01-03,1\n")}),
              1);
    EXPECT_TRUE(oldContents() == "old contents");
}

TEST_F(IndexCsvTest, RealIndexFileSurvivesARoundTripThroughCsv) {
    const std::string real = testing::SharedDataFolder() + "/DJIA_data.txt";
    if (testing::SharedDataFolder().empty() || !fs::exists(real)) GTEST_SKIP() << "no real index file";
    std::ifstream file(real, std::ios::binary);
    const std::string original((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    // Newest first, quoted, holidays as ".": the layout of a typical download.
    std::vector<std::string> rows;
    std::istringstream lines(original);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::string value = line.substr(11);
        rows.push_back("\"" + line.substr(0, 10) + "\",\"" + (value == "0" ? "." : value) + "\"");
    }
    std::string csv = "\"Date\",\"Close\"\r\n";
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) csv += *row + "\r\n";

    const CsvReadResult table = ParseIndexCsv(csv);
    ASSERT_EQ(table.errorText, "");
    const IndexFileLines rebuilt = BuildIndexFileLines(table.closes);
    std::string written;
    for (const std::string& line : rebuilt.lines) written += line + "\r\n";
    EXPECT_TRUE(written == original);
}

TEST_F(IndexCsvTest, CommandUsage) {
    EXPECT_EQ(Command({"--help"}), 0);
    EXPECT_NE(out.str().find("Usage: kovo-djia"), std::string::npos);
    EXPECT_EQ(Command({}), 2);
    EXPECT_NE(err.str().find("no input file"), std::string::npos);
    EXPECT_EQ(Command({"-o"}), 2);
    EXPECT_EQ(Command({"--fast", "a.csv"}), 2);
    EXPECT_EQ(Command({"a.csv", "b.csv"}), 2);
}

}  // namespace
}  // namespace kovo::simulation
