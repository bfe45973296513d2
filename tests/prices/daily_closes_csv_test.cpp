// Reading tables of daily closes: column detection, date forms, separators and line
// ends, missing values, order, and caps on hostile input.
#include <gtest/gtest.h>

#include <sstream>
#include <streambuf>

#include "prices/daily_closes_csv.h"
#include "simulation/index_file.h"
#include "test_support.h"

namespace kovo::prices {
namespace {

using simulation::FirstInvestmentDay;

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


// The text between the first and the last double quote of a message.
std::string Quoted(const std::string& message) {
    const std::size_t first = message.find('"');
    const std::size_t last = message.rfind('"');
    if (first == std::string::npos || last == first) return {};
    return message.substr(first + 1, last - first - 1);
}

class DailyClosesCsvTest : public ::testing::Test {
protected:
    void SetUp() override { testing::InitModelOnce(); }
};

TEST_F(DailyClosesCsvTest, PicksTheCloseColumnOfCommonLayouts) {
    const CsvReadResult ohlc = ParseDailyClosesCsv(
        "Date,Open,High,Low,Close,Adj Close,Volume\r\n"
        "2007-01-03,12459.54,12580.35,12404.82,12474.52,12474.52,327200000\r\n"
        "2007-01-04,12473.16,12510.41,12403.86,12480.69,12480.69,259060000\r\n");
    ASSERT_EQ(ohlc.errorText, "");
    ASSERT_EQ(ohlc.closes.size(), 2u);
    EXPECT_EQ(ohlc.closes[0].dayNumber, FirstInvestmentDay);
    EXPECT_EQ(CloseOf(ohlc, "2007-01-04"), 12480.69);

    const CsvReadResult fred = ParseDailyClosesCsv("DATE,DJIA\n2007-01-03,12474.52\n2007-01-04,.\n");
    ASSERT_EQ(fred.errorText, "");
    EXPECT_EQ(CloseOf(fred, "2007-01-03"), 12474.52);
    EXPECT_FALSE(CloseOf(fred, "2007-01-04").has_value());

    const CsvReadResult adjOnly = ParseDailyClosesCsv("Volume,Adj Close,date\n1,\"12,474.52\",01/03/2007\n");
    ASSERT_EQ(adjOnly.errorText, "");
    EXPECT_EQ(CloseOf(adjOnly, "2007-01-03"), 12474.52);
}

TEST_F(DailyClosesCsvTest, NamesTheCloseColumnAndNeverTakesAnotherFigureForIt) {
    EXPECT_EQ(ParseDailyClosesCsv("Date,Open,High,Low,Close,Adj Close,Volume\n2007-01-03,1,2,3,4,5,6\n").closeColumn,
              "Close");
    EXPECT_EQ(ParseDailyClosesCsv("Volume,Adj Close,date\n1,2,01/03/2007\n").closeColumn, "Adj Close");
    EXPECT_EQ(ParseDailyClosesCsv("DATE,SP500\n2007-01-03,1416.6\n").closeColumn, "SP500");
    // Alone beside the dates, a column whose name says it holds something else is no close.
    for (const char* other : {"Volume", "Open", "high", "LOW", "Adj Open", "Change %", "Vol."}) {
        const CsvReadResult read = ParseDailyClosesCsv(std::string("Date,") + other + "\n2007-01-03,5\n2007-01-04,6\n");
        EXPECT_TRUE(read.closes.empty()) << other;
        EXPECT_EQ(read.errorText, std::string("no usable columns: the header line needs a \"Date\" column and a \"Close\", "
                                              "\"Adj Close\" or \"DJIA\" column; \"") + other + "\" holds no closes");
    }
}

TEST_F(DailyClosesCsvTest, QuotedFieldsUsDatesAndDescendingOrder) {
    const CsvReadResult result = ParseDailyClosesCsv(
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

TEST_F(DailyClosesCsvTest, RefusesBadTables) {
    EXPECT_NE(ParseDailyClosesCsv("Day,Value\n2007-01-03,1\n").errorText.find("no usable columns"), std::string::npos);
    EXPECT_NE(ParseDailyClosesCsv("Date,Open,High\n2007-01-03,1,2\n").errorText.find("no usable columns"),
              std::string::npos);
    EXPECT_NE(ParseDailyClosesCsv("").errorText, "");
    const std::string order = ParseDailyClosesCsv("Date,Close\n2007-01-03,1\n2007-01-05,2\n2007-01-04,3\n").errorText;
    EXPECT_NE(order.find("line 4"), std::string::npos) << order;
    EXPECT_NE(order.find("out of order"), std::string::npos) << order;
    EXPECT_NE(ParseDailyClosesCsv("Date,Close\n2007-01-03,1\n2007-01-03,2\n").errorText.find("out of order"),
              std::string::npos);
    EXPECT_NE(ParseDailyClosesCsv("Date,Close\n2007-02-30,1\n").errorText.find("line 2"), std::string::npos);
    EXPECT_NE(ParseDailyClosesCsv("Date,Close\n2007-01-03,12x\n").errorText.find("not a closing value"),
              std::string::npos);
    EXPECT_NE(ParseDailyClosesCsv("Date,Close\n2007-01-03,-5\n").errorText, "");
    EXPECT_NE(ParseDailyClosesCsv("Date,Close\n2007-01-03,inf\n").errorText, "");
    EXPECT_NE(ParseDailyClosesCsv("Date,Open,Close\n2007-01-03,1\n").errorText.find("too few fields"), std::string::npos);
}

TEST_F(DailyClosesCsvTest, RefusesClosesOutsideASaneRangeWithTheLineNumber) {
    for (const char* close : {"1e308", "1000000000000.01", "1e-320", "0.0000009"}) {
        const std::string text = std::string("Date,Close\n2007-01-03,5\n2007-01-04,") + close + "\n";
        EXPECT_EQ(ParseDailyClosesCsv(text).errorText,
                  std::string("line 3: the close \"") + close + "\" is outside 0.000001 to 1000000000000")
            << close;
    }
    // The limits themselves, and zero (a day without trading in some tables), are closes.
    const CsvReadResult edges =
        ParseDailyClosesCsv("Date,Close\n2007-01-03,0.000001\n2007-01-04,1000000000000\n2007-01-05,0\n");
    ASSERT_EQ(edges.errorText, "");
    EXPECT_EQ(CloseOf(edges, "2007-01-04"), 1e12);
    EXPECT_EQ(CloseOf(edges, "2007-01-05"), 0.0);
}

TEST_F(DailyClosesCsvTest, ReadsOtherLineEndsAndSeparators) {
    const CsvReadResult crOnly = ParseDailyClosesCsv("Date,Close\r2007-01-03,12474.52\r2007-01-04,12480.69\r");
    ASSERT_EQ(crOnly.errorText, "");
    ASSERT_EQ(crOnly.closes.size(), 2u);
    EXPECT_EQ(CloseOf(crOnly, "2007-01-04"), 12480.69);
    const std::string crError = ParseDailyClosesCsv("Date,Close\r2007-01-03,1\r\n\r2007-01-0x,2\r").errorText;
    EXPECT_NE(crError.find("line 4"), std::string::npos) << crError;  // CR LF ends one line, not two

    const CsvReadResult semicolon = ParseDailyClosesCsv(
        "\xEF\xBB\xBF"
        "Date;Open;Close\n2007-01-03;1;12474,52\n2007-01-04;1;\"12.480,69\"\n"
        "2007-01-05;1;12398.01\n2007-01-08;1;1,234,567\n");
    ASSERT_EQ(semicolon.errorText, "");
    EXPECT_EQ(CloseOf(semicolon, "2007-01-03"), 12474.52);
    EXPECT_EQ(CloseOf(semicolon, "2007-01-04"), 12480.69);
    EXPECT_EQ(CloseOf(semicolon, "2007-01-05"), 12398.01);
    EXPECT_EQ(CloseOf(semicolon, "2007-01-08"), 1234567.0);

    const CsvReadResult tab = ParseDailyClosesCsv("Date\tClose\r\n01/03/2007\t12,474.52\r\n01/04/2007\t.\r\n");
    ASSERT_EQ(tab.errorText, "");
    EXPECT_EQ(CloseOf(tab, "2007-01-03"), 12474.52);
    EXPECT_FALSE(CloseOf(tab, "2007-01-04").has_value());

    // Thousands or decimals? Refused rather than guessed.
    EXPECT_NE(ParseDailyClosesCsv("Date;Close\n2007-01-03;12,474\n").errorText.find("not a closing value"),
              std::string::npos);
    // A comma header keeps commas as thousands marks inside quotes.
    EXPECT_EQ(CloseOf(ParseDailyClosesCsv("Date,Close\n2007-01-03,\"12,474\"\n"), "2007-01-03"), 12474.0);
    // A comma in a quoted header name does not make the comma the separator.
    EXPECT_EQ(CloseOf(ParseDailyClosesCsv("Date;\"Close, USD\"\n2007-01-03;12474,5\n"), "2007-01-03"), 12474.5);
}

TEST_F(DailyClosesCsvTest, RefusesUtf16WithAdviceToSaveAsUtf8) {
    const std::string ascii = "Date,Close\n2007-01-03,12474.52\n";
    std::string littleEndian = "\xFF\xFE", bigEndian = "\xFE\xFF", noMark;
    for (const char c : ascii) {
        littleEndian += {c, '\0'};
        bigEndian += {'\0', c};
        noMark += {c, '\0'};
    }
    for (const std::string& text : {littleEndian, bigEndian, noMark}) {
        const std::string error = ParseDailyClosesCsv(text).errorText;
        EXPECT_NE(error.find("UTF-16"), std::string::npos) << error;
        EXPECT_NE(error.find("UTF-8"), std::string::npos) << error;
    }
}

TEST_F(DailyClosesCsvTest, MessagesQuoteOnlyTheStartOfALongField) {
    std::string accents;
    for (int i = 0; i < 1500; ++i) accents += "\xC3\xA9";  // 3000 bytes of two-byte characters
    const std::string closeError = ParseDailyClosesCsv("Date,Close\n2007-01-03," + accents + "\n").errorText;
    ASSERT_NE(closeError.find("line 2"), std::string::npos) << closeError;
    std::string expected;
    for (int i = 0; i < 60; ++i) expected += "\xC3\xA9";
    EXPECT_EQ(Quoted(closeError), expected + "...");
    EXPECT_LT(closeError.size(), 200u);

    const std::string dateError = ParseDailyClosesCsv("Date,Close\n\x1B[2J" + std::string(3000, '9') + ",1\n").errorText;
    EXPECT_EQ(Quoted(dateError), "?[2J" + std::string(56, '9') + "...");
    EXPECT_EQ(Quoted(ParseDailyClosesCsv("Date,Close\n2007-01-03,12x\n").errorText), "12x");  // short fields whole
}

TEST_F(DailyClosesCsvTest, RefusesHugeLinesFieldsAndTablesByLineNumber) {
    const std::string longest = "2007-01-03,1" + std::string(kCsvMaxLineBytes - 12, ' ');
    EXPECT_EQ(ParseDailyClosesCsv("Date,Close\n" + longest + "\n").errorText, "");
    const std::string tooLong = ParseDailyClosesCsv("Date,Close\n\n" + longest + " \n").errorText;
    EXPECT_NE(tooLong.find("line 3"), std::string::npos) << tooLong;
    EXPECT_NE(tooLong.find("longer than"), std::string::npos) << tooLong;

    std::string wideHeader = "Date,Close";
    for (std::size_t i = 2; i < kCsvMaxFields; ++i) wideHeader += ",x";
    EXPECT_EQ(ParseDailyClosesCsv(wideHeader + "\n2007-01-03,1\n").errorText, "");
    const std::string tooWide = ParseDailyClosesCsv("\n" + wideHeader + ",y\n").errorText;
    EXPECT_NE(tooWide.find("line 2"), std::string::npos) << tooWide;
    EXPECT_NE(tooWide.find("fields"), std::string::npos) << tooWide;

    const std::string table = "Date,Close\n2007-01-03,1\n";
    EXPECT_EQ(ParseDailyClosesCsv(table + std::string(kCsvMaxLines - 2, '\n')).errorText, "");
    const std::string tooMany = ParseDailyClosesCsv(table + std::string(kCsvMaxLines - 1, '\n')).errorText;
    EXPECT_NE(tooMany.find("line " + std::to_string(kCsvMaxLines + 1)), std::string::npos) << tooMany;
}

TEST_F(DailyClosesCsvTest, LineEndsAcrossReadBlocksCountOnce) {
    // Rows of 14 bytes behind headers of 14 different lengths: whatever size the reader's
    // blocks have (up to the table's 280 KB), some block ends between a CR and its LF.
    constexpr int kRows = 20000;
    std::string body;
    for (int i = 0; i < kRows; ++i) body += calendar::FormatDayNumberIso(testing::Day(1950, 1, 1) + i) + ",1\r\n";
    for (std::size_t pad = 0; pad < 14; ++pad) {
        const std::string table = "Date,Close" + std::string(pad, ' ') + "\r\n" + body;
        const CsvReadResult result = ParseDailyClosesCsv(table);
        EXPECT_EQ(result.errorText, "");
        EXPECT_EQ(result.closes.size(), static_cast<std::size_t>(kRows));
        const std::string error = ParseDailyClosesCsv(table + "bad,1\r\n").errorText;
        EXPECT_EQ(error.rfind("line " + std::to_string(kRows + 2) + ":", 0), 0u) << "pad " << pad << ": " << error;
    }
}

TEST_F(DailyClosesCsvTest, EndlessInputIsRefusedAfterReadingLittle) {
    for (const char fill : {',', '\n', '\r'}) {
        EndlessBuffer buffer(fill);
        std::istream in(&buffer);
        const CsvReadResult result = ReadDailyClosesCsv(in);
        EXPECT_NE(result.errorText, "") << int{fill};
        EXPECT_LT(buffer.Taken(), std::size_t{1} << 20) << int{fill};
    }
}


}  // namespace
}  // namespace kovo::prices
