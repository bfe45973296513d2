// The CSV converter: column detection, date forms, separators and line ends, missing
// values, order, caps on hostile input, the written file and the command's exit
// statuses.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <streambuf>

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

// An endless input: one character over and over, counting what was taken. It ends
// after 4 MB only so that a reader without caps fails instead of running forever.
class EndlessBuffer : public std::streambuf {
public:
    explicit EndlessBuffer(char fill) : block_(1 << 16, fill) {}
    std::size_t Taken() const { return taken_; }

protected:
    int_type underflow() override {
        if (taken_ >= (std::size_t{4} << 20)) return traits_type::eof();
        taken_ += block_.size();
        setg(block_.data(), block_.data(), block_.data() + block_.size());
        return traits_type::to_int_type(block_[0]);
    }

private:
    std::string block_;
    std::size_t taken_ = 0;
};

// An output that accepts nothing, like a full disk or a closed standard output.
class FailingBuffer : public std::streambuf {
protected:
    int_type overflow(int_type) override { return traits_type::eof(); }
    std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
};

// The text between the first and the last double quote of a message.
std::string Quoted(const std::string& message) {
    const std::size_t first = message.find('"');
    const std::size_t last = message.rfind('"');
    if (first == std::string::npos || last == first) return {};
    return message.substr(first + 1, last - first - 1);
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

TEST_F(IndexCsvTest, ReadsOtherLineEndsAndSeparators) {
    const CsvReadResult crOnly = ParseIndexCsv("Date,Close\r2007-01-03,12474.52\r2007-01-04,12480.69\r");
    ASSERT_EQ(crOnly.errorText, "");
    ASSERT_EQ(crOnly.closes.size(), 2u);
    EXPECT_EQ(CloseOf(crOnly, "2007-01-04"), 12480.69);
    const std::string crError = ParseIndexCsv("Date,Close\r2007-01-03,1\r\n\r2007-01-0x,2\r").errorText;
    EXPECT_NE(crError.find("line 4"), std::string::npos) << crError;  // CR LF ends one line, not two

    const CsvReadResult semicolon = ParseIndexCsv(
        "\xEF\xBB\xBF"
        "Date;Open;Close\n2007-01-03;1;12474,52\n2007-01-04;1;\"12.480,69\"\n"
        "2007-01-05;1;12398.01\n2007-01-08;1;1,234,567\n");
    ASSERT_EQ(semicolon.errorText, "");
    EXPECT_EQ(CloseOf(semicolon, "2007-01-03"), 12474.52);
    EXPECT_EQ(CloseOf(semicolon, "2007-01-04"), 12480.69);
    EXPECT_EQ(CloseOf(semicolon, "2007-01-05"), 12398.01);
    EXPECT_EQ(CloseOf(semicolon, "2007-01-08"), 1234567.0);

    const CsvReadResult tab = ParseIndexCsv("Date\tClose\r\n01/03/2007\t12,474.52\r\n01/04/2007\t.\r\n");
    ASSERT_EQ(tab.errorText, "");
    EXPECT_EQ(CloseOf(tab, "2007-01-03"), 12474.52);
    EXPECT_FALSE(CloseOf(tab, "2007-01-04").has_value());

    // Thousands or decimals? Refused rather than guessed.
    EXPECT_NE(ParseIndexCsv("Date;Close\n2007-01-03;12,474\n").errorText.find("not a closing value"),
              std::string::npos);
    // A comma header keeps commas as thousands marks inside quotes.
    EXPECT_EQ(CloseOf(ParseIndexCsv("Date,Close\n2007-01-03,\"12,474\"\n"), "2007-01-03"), 12474.0);
    // A comma in a quoted header name does not make the comma the separator.
    EXPECT_EQ(CloseOf(ParseIndexCsv("Date;\"Close, USD\"\n2007-01-03;12474,5\n"), "2007-01-03"), 12474.5);
}

TEST_F(IndexCsvTest, RefusesUtf16WithAdviceToSaveAsUtf8) {
    const std::string ascii = "Date,Close\n2007-01-03,12474.52\n";
    std::string littleEndian = "\xFF\xFE", bigEndian = "\xFE\xFF", noMark;
    for (const char c : ascii) {
        littleEndian += {c, '\0'};
        bigEndian += {'\0', c};
        noMark += {c, '\0'};
    }
    for (const std::string& text : {littleEndian, bigEndian, noMark}) {
        const std::string error = ParseIndexCsv(text).errorText;
        EXPECT_NE(error.find("UTF-16"), std::string::npos) << error;
        EXPECT_NE(error.find("UTF-8"), std::string::npos) << error;
    }
}

TEST_F(IndexCsvTest, MessagesQuoteOnlyTheStartOfALongField) {
    std::string accents;
    for (int i = 0; i < 1500; ++i) accents += "\xC3\xA9";  // 3000 bytes of two-byte characters
    const std::string closeError = ParseIndexCsv("Date,Close\n2007-01-03," + accents + "\n").errorText;
    ASSERT_NE(closeError.find("line 2"), std::string::npos) << closeError;
    std::string expected;
    for (int i = 0; i < 60; ++i) expected += "\xC3\xA9";
    EXPECT_EQ(Quoted(closeError), expected + "...");
    EXPECT_LT(closeError.size(), 200u);

    const std::string dateError = ParseIndexCsv("Date,Close\n\x1B[2J" + std::string(3000, '9') + ",1\n").errorText;
    EXPECT_EQ(Quoted(dateError), "?[2J" + std::string(56, '9') + "...");
    EXPECT_EQ(Quoted(ParseIndexCsv("Date,Close\n2007-01-03,12x\n").errorText), "12x");  // short fields whole
}

TEST_F(IndexCsvTest, RefusesHugeLinesFieldsAndTablesByLineNumber) {
    const std::string longest = "2007-01-03,1" + std::string(kCsvMaxLineBytes - 12, ' ');
    EXPECT_EQ(ParseIndexCsv("Date,Close\n" + longest + "\n").errorText, "");
    const std::string tooLong = ParseIndexCsv("Date,Close\n\n" + longest + " \n").errorText;
    EXPECT_NE(tooLong.find("line 3"), std::string::npos) << tooLong;
    EXPECT_NE(tooLong.find("longer than"), std::string::npos) << tooLong;

    std::string wideHeader = "Date,Close";
    for (std::size_t i = 2; i < kCsvMaxFields; ++i) wideHeader += ",x";
    EXPECT_EQ(ParseIndexCsv(wideHeader + "\n2007-01-03,1\n").errorText, "");
    const std::string tooWide = ParseIndexCsv("\n" + wideHeader + ",y\n").errorText;
    EXPECT_NE(tooWide.find("line 2"), std::string::npos) << tooWide;
    EXPECT_NE(tooWide.find("fields"), std::string::npos) << tooWide;

    const std::string table = "Date,Close\n2007-01-03,1\n";
    EXPECT_EQ(ParseIndexCsv(table + std::string(kCsvMaxLines - 2, '\n')).errorText, "");
    const std::string tooMany = ParseIndexCsv(table + std::string(kCsvMaxLines - 1, '\n')).errorText;
    EXPECT_NE(tooMany.find("line " + std::to_string(kCsvMaxLines + 1)), std::string::npos) << tooMany;
}

TEST_F(IndexCsvTest, LineEndsAcrossReadBlocksCountOnce) {
    // Rows of 14 bytes behind headers of 14 different lengths: whatever size the reader's
    // blocks have (up to the table's 280 KB), some block ends between a CR and its LF.
    constexpr int kRows = 20000;
    std::string body;
    for (int i = 0; i < kRows; ++i) body += calendar::FormatDayNumberIso(testing::Day(1950, 1, 1) + i) + ",1\r\n";
    for (std::size_t pad = 0; pad < 14; ++pad) {
        const std::string table = "Date,Close" + std::string(pad, ' ') + "\r\n" + body;
        const CsvReadResult result = ParseIndexCsv(table);
        EXPECT_EQ(result.errorText, "");
        EXPECT_EQ(result.closes.size(), static_cast<std::size_t>(kRows));
        const std::string error = ParseIndexCsv(table + "bad,1\r\n").errorText;
        EXPECT_EQ(error.rfind("line " + std::to_string(kRows + 2) + ":", 0), 0u) << "pad " << pad << ": " << error;
    }
}

TEST_F(IndexCsvTest, EndlessInputIsRefusedAfterReadingLittle) {
    for (const char fill : {',', '\n', '\r'}) {
        EndlessBuffer buffer(fill);
        std::istream in(&buffer);
        const CsvReadResult result = ReadIndexCsv(in);
        EXPECT_NE(result.errorText, "") << int{fill};
        EXPECT_LT(buffer.Taken(), std::size_t{1} << 20) << int{fill};
    }
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

TEST_F(IndexCsvTest, CommandWritesSafely) {
    const std::string input = Write("in.csv", "Date,Close\n2007-01-03,12474.52\n");
    const std::string locked = Write("locked.txt", "keep me");
    fs::permissions(locked, fs::perms(0444));
    EXPECT_EQ(Command({"-o", locked, input}), 1);
    EXPECT_EQ(err.str().rfind("kovo-djia: cannot write " + locked, 0), 0u) << err.str();
    EXPECT_EQ(out.str(), "");

    const std::string target = Write("target.txt", "old");
    fs::permissions(target, fs::perms(0600));
    fs::create_symlink("target.txt", folder / "link.txt");
    ASSERT_EQ(Command({"-o", (folder / "link.txt").string(), input}), 0) << err.str();
    EXPECT_TRUE(fs::is_symlink(folder / "link.txt"));
    EXPECT_EQ(fs::status(target).permissions(), fs::perms(0600));
    IndexPrices prices;
    EXPECT_FALSE(prices.Load(target).has_value());
    EXPECT_EQ(prices.IndexValueOnOrAfter(FirstInvestmentDay), 12474.52);

    std::ifstream file(locked);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>()), "keep me");
}

TEST_F(IndexCsvTest, CommandFailsWhenItsOutputIsLost) {
    const std::string input = Write("in.csv", "Date,Close\n2007-01-03,12474.52\n");
    FailingBuffer full;
    std::ostream lost(&full);
    std::ostringstream errors;
    EXPECT_EQ(RunIndexConverter({"--help"}, lost, errors), 1);
    EXPECT_EQ(errors.str().rfind("kovo-djia: cannot write output: ", 0), 0u) << errors.str();

    std::ostream lostAgain(&full);
    errors.str("");
    EXPECT_EQ(RunIndexConverter({"-o", (folder / "out.txt").string(), input}, lostAgain, errors), 1);
    EXPECT_EQ(errors.str().rfind("kovo-djia: cannot write output: ", 0), 0u) << errors.str();
}

TEST_F(IndexCsvTest, RealIndexFileSurvivesARoundTripThroughCsv) {
    const std::string real = testing::SharedIndexFile();
    KOVO_REQUIRE_INDEX_FILE(real);
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

    // The same table as a spreadsheet with a decimal comma saves it: semicolons, CR only.
    std::string european = "Date;Close\r";
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        std::string line = row->substr(1, 10) + ";" + row->substr(14, row->size() - 15);
        std::replace(line.begin(), line.end(), '.', ',');
        european += (line.back() == ',' ? line.substr(0, 11) : line) + "\r";  // holidays empty
    }

    for (const std::string& text : {csv, european}) {
        const CsvReadResult table = ParseIndexCsv(text);
        ASSERT_EQ(table.errorText, "");
        const IndexFileLines rebuilt = BuildIndexFileLines(table.closes);
        std::string written;
        for (const std::string& line : rebuilt.lines) written += line + "\r\n";
        EXPECT_TRUE(written == original);
    }
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
