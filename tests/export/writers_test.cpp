// The three writers' own rules: CSV quoting and line ends, tab-separated pastes, JSON
// string escapes, and iCalendar folding and escaping.
#include <gtest/gtest.h>

#include "export/delimited_text.h"
#include "export/export_document.h"
#include "export/icalendar.h"
#include "export/json_document.h"
#include "util/json_text.h"
#include "test_support.h"

using namespace kovo;
using namespace kovo::exporting;

namespace {

ExportTable Awkward() {
    ExportTable t;
    t.columns = {"name", "value"};
    t.rows = {{Cell::Of("plain"), Cell::Number("1.50")},
              {Cell::Of("comma, \"quoted\""), Cell{}},
              {Cell::Of("two\r\nlines\ttab"), Cell::Flag(true)}};
    return t;
}

// Undoes RFC 5545 folding.
std::string Unfold(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 3, "\r\n ") == 0) {
            i += 2;
            continue;
        }
        out += text[i];
    }
    return out;
}

}  // namespace

TEST(DelimitedText, CsvQuotesOnlyWhatNeedsItAndEndsLinesWithCrLf) {
    EXPECT_EQ(CsvText(Awkward()),
              "name,value\r\nplain,1.50\r\n\"comma, \"\"quoted\"\"\",\r\n\"two\r\nlines\ttab\",true\r\n");
    EXPECT_EQ(TabSeparatedText(Awkward()), "name\tvalue\nplain\t1.50\ncomma, \"quoted\"\t\ntwo  lines tab\ttrue\n");
}

TEST(JsonString, EscapesQuotesBackslashesAndControlCharacters) {
    EXPECT_EQ(util::JsonString("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(util::JsonString("tab\there\n\x01"), "\"tab\\u0009here\\u000a\\u0001\"");
    EXPECT_EQ(util::JsonString("10° orb"), "\"10° orb\"") << "UTF-8 passes through";
}

// A file or zone name from the system may hold bytes that are not UTF-8 (say a Latin-1
// "é"); what is written must still be UTF-8, so such bytes become U+FFFD.
TEST(JsonString, AndCsvWriteOnlyValidUtf8) {
    EXPECT_EQ(util::JsonString("caf\xE9.csv"), "\"caf\xEF\xBF\xBD.csv\"");
    EXPECT_EQ(util::JsonString("\xC0\xAF|\xED\xA0\x80|\xF4\x90\x80\x80|\xE2\x82"),
              "\"\xEF\xBF\xBD\xEF\xBF\xBD|\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD|"
              "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD|\xEF\xBF\xBD\xEF\xBF\xBD\"")
        << "overlong, surrogate, above U+10FFFF, cut short";
    ExportTable t;
    t.columns = {"source"};
    t.rows = {{Cell::Of("caf\xE9, 10\xC2\xB0")}};
    EXPECT_EQ(CsvText(t), "source\r\n\"caf\xEF\xBF\xBD, 10\xC2\xB0\"\r\n");
}

TEST(ICalendar, FoldsAt75OctetsWithoutSplittingACharacter) {
    std::string line = "DESCRIPTION:";
    for (int i = 0; i < 40; ++i) line += "10°, ";
    const std::string folded = FoldedLine(line);
    EXPECT_EQ(Unfold(folded), line + "\r\n");
    std::size_t start = 0;
    int lines = 0;
    while (start < folded.size()) {
        const std::size_t end = folded.find("\r\n", start);
        ASSERT_NE(end, std::string::npos);
        EXPECT_LE(end - start, 75u);
        // A continuation never begins inside a character: the byte after its space is no
        // UTF-8 continuation byte.
        if (lines > 0) {
            EXPECT_NE(static_cast<unsigned char>(folded[start + 1]) & 0xC0, 0x80);
        }
        start = end + 2;
        ++lines;
    }
    EXPECT_GE(lines, 3);
    EXPECT_EQ(FoldedLine(std::string(75, 'x')), std::string(75, 'x') + "\r\n");
    EXPECT_EQ(FoldedLine(std::string(76, 'x')), std::string(75, 'x') + "\r\n x\r\n");
}

TEST(ICalendar, EscapesTextValues) {
    EXPECT_EQ(EscapeText("a,b;c\\d\ne\r\nf"), "a\\,b\\;c\\\\d\\ne\\nf");
    EXPECT_EQ(EscapeText("last line\n"), "last line");
}

// A first-millennium run: every export writes its dates as ISO 8601, four-digit years.
TEST(ExportDates, YearsBelowOneThousandKeepFourDigitsInEveryFormat) {
    transits::TransitResult result;
    result.outcome = util::RunOutcome::Completed;
    result.inputs.firstName = "Mars";
    result.inputs.secondName = "Jupiter";
    result.inputs.zone = kovo::testing::ListZone(24, "GMT");  // GMT
    result.inputs.startDay = kovo::testing::Day(800, 1, 1);
    result.inputs.endDay = kovo::testing::Day(800, 12, 31);
    transits::TransitPeriod period;
    period.aspect = 2;
    period.outer = {.entry = transits::OrbDate{kovo::testing::Day(799, 12, 20), false},
                    .exit = transits::OrbDate{kovo::testing::Day(800, 1, 21), false}};
    transits::TransitPass pass;
    pass.minimum = transits::TransitMinimum{
        .instantUt = kovo::testing::Day(800, 1, 10) - 0.5 + (14 * 60 + 25) / 1440.0, .deviation = 0.0001, .exact = true};
    period.passes = {pass};
    result.periods = {period};
    const RunRecords records = result;
    const std::string ics = Unfold(*ExportDocument(records, ExportFormat::ICalendar, {.icsPeriods = true, .stampUtc = "20261209T010000Z"}));
    EXPECT_NE(ics.find("DTSTART:08000110T142500Z\r\n"), std::string::npos) << ics;
    EXPECT_NE(ics.find("DTSTART;VALUE=DATE:07991220\r\nDTEND;VALUE=DATE:08000122\r\n"), std::string::npos) << ics;
    EXPECT_NE(ics.find("Exact 0800-01-10 14:25"), std::string::npos) << ics;
    const std::string csv = *ExportDocument(records, ExportFormat::Csv);
    EXPECT_NE(csv.find("0799-12-20"), std::string::npos) << csv;
    EXPECT_NE(csv.find("0800-01-10T14:25Z"), std::string::npos) << csv;
    const std::string json = *ExportDocument(records, ExportFormat::Json);
    EXPECT_NE(json.find("\"0800-01-21\""), std::string::npos) << json;
}

TEST(ICalendar, EventsFromRecordsHaveStableUidsAndUtcStarts) {
    transits::TransitResult result;
    result.inputs.firstName = "Mars";
    result.inputs.secondName = "Jupiter";
    result.inputs.zone = kovo::testing::ListZone(14, "EST/CDT");  // -5:00
    result.inputs.startDay = kovo::testing::Day(2026, 1, 1);
    result.inputs.endDay = kovo::testing::Day(2026, 12, 31);
    transits::TransitPeriod period;
    period.aspect = 2;
    period.outer = {.entry = transits::OrbDate{kovo::testing::Day(2025, 12, 20), false},
                    .exit = transits::OrbDate{kovo::testing::Day(2026, 1, 21), false}};
    transits::TransitPass pass;
    pass.minimum = transits::TransitMinimum{
        .instantUt = kovo::testing::Day(2026, 1, 10) - 0.5 + (14 * 60 + 25) / 1440.0, .deviation = 0.0001, .exact = true};
    period.passes = {pass};
    result.periods = {period};
    const std::string ics = Unfold(TransitCalendar({&result}, {.periods = true, .stampUtc = "20261209T010000Z"}));
    EXPECT_NE(ics.find("UID:mars-jupiter-geo-opposition-20260110T142500Z@kovo\r\n"), std::string::npos) << ics;
    EXPECT_NE(ics.find("DTSTART:20260110T142500Z\r\n"), std::string::npos);
    EXPECT_NE(ics.find("SUMMARY:Mars opposition Jupiter (exact\\, geocentric)\r\n"), std::string::npos);
    EXPECT_NE(ics.find("Exact 2026-01-10 09:25 EST/CDT"), std::string::npos);
    EXPECT_NE(ics.find("DTSTART;VALUE=DATE:20251220\r\nDTEND;VALUE=DATE:20260122\r\n"), std::string::npos);
    EXPECT_EQ(ics.rfind("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:", 0), 0u);
    EXPECT_EQ(ics.substr(ics.size() - 15), "END:VCALENDAR\r\n");
}
