#include <gtest/gtest.h>

#include "fake_run_host.h"
#include "test_support.h"
#include "transits/transit_minima.h"
#include "transits/transit_report.h"
#include "util/utf8.h"

using namespace kovo;
using namespace kovo::transits;

namespace {

TransitRunParams Params(const std::string& first, const std::string& second, bool helio = false) {
    kovo::testing::InitModelOnce();
    TransitRunParams p;
    p.firstName = first;
    p.secondName = second;
    p.heliocentric = helio;
    p.startDay = 2455636;  // 2011-03-15
    p.endDay = 2455835;    // 2011-09-30
    SetOrbs(p, 10, 5, 2);
    return p;
}

// The character (not byte) at which `word` starts in `line`.
std::size_t CharPos(const std::string& line, const std::string& word) {
    return util::CharCount(line.substr(0, line.find(word)));
}

}  // namespace

TEST(TransitHeading, TwoPlanetSearchAndAllTransitsForms) {
    auto p = Params("Mercury", "Jupiter");
    EXPECT_EQ(BuildHeading(p),
              "Geocentric transits for Mercury and Jupiter from March 15, 2011, to September 30, 2011 "
              "('r' = Mercury retrograde)");
    p.kind = RunKind::AllTransits;
    EXPECT_EQ(BuildHeading(p).substr(BuildHeading(p).size() - 16), " ('r' not shown)");
    p.heliocentric = true;
    EXPECT_EQ(BuildHeading(p),
              "Heliocentric transits for Mercury and Jupiter from March 15, 2011, to September 30, 2011");
    auto sun = Params("Sun", "Mars");
    EXPECT_EQ(BuildHeading(sun), "Geocentric transits for Sun and Mars from March 15, 2011, to September 30, 2011");
    auto search = Params("Mercury", "Venus");
    search.kind = RunKind::Search;
    search.searchOrbText = "6°";
    search.searchAspectText = "conjunction";
    EXPECT_EQ(BuildHeading(search),
              "First geocentric 6° conjunction of Mercury and Venus on or after March 15, 2011 ('r' = Mercury retrograde)");
}

TEST(TransitReportLayout, HeaderLineColumnsForOrbs10_5_2) {
    auto p = Params("Mars", "Jupiter");
    TransitTable table;
    table.Reset(10);
    BuildHeaderRows(table, "H", p);
    const std::string line = FormatTransitRow(table.Row(1));
    EXPECT_EQ(CharPos(line, "Aspect"), 0u);
    EXPECT_EQ(CharPos(line, "Start 10°"), 14u);
    EXPECT_EQ(CharPos(line, "Start 5°"), 26u);
    EXPECT_EQ(CharPos(line, "Start 2°"), 38u);
    EXPECT_EQ(CharPos(line, "Minimum at"), 52u);
    EXPECT_EQ(CharPos(line, "End 2°"), 66u);
    EXPECT_EQ(CharPos(line, "End 5°"), 78u);
    EXPECT_EQ(CharPos(line, "End 10°"), 90u);
    const std::size_t bars[] = {12, 50, 64, 102};
    for (std::size_t b : bars) EXPECT_EQ(util::LeftChars(line, b + 2).substr(util::LeftChars(line, b).size()), "| ");
    EXPECT_EQ(line.substr(line.size() - 9), "Minimum\r\n");
    EXPECT_EQ(util::CharCount(line), 104u + 7 + 2);
    EXPECT_EQ(table.CellAt(0, 0), std::string(119, '-') + "\r\nH");
    EXPECT_EQ(table.CellAt(2, 0), std::string(119, '-') + "\r\n");
}

TEST(TransitReportLayout, CellsAreCutToTwelveCharactersExceptTheLast) {
    TransitRow row{"Semisextile-long", "2011-03-15r", "?", "", "2011-03-15*r", "", "", "", "14:23 GMT-11:30 and more"};
    const std::string line = FormatTransitRow(row);
    EXPECT_EQ(line,
              "Semisextile-| 2011-03-15r                         | 2011-03-15*r|                                     "
              "| 14:23 GMT-11:30 and more\r\n");
    EXPECT_TRUE(row[2].empty());  // "?" is cleared in the table too
    TransitRow empty{};
    EXPECT_EQ(FormatTransitRow(empty).substr(0, 14), std::string(12, ' ') + "| ");
}

TEST(TransitReportAppend, HeaderOnceThenRowsAndTheSizeLimit) {
    auto p = Params("Mars", "Jupiter");
    TransitTable table;
    table.Reset(10);
    BuildHeaderRows(table, "Heading", p);
    table.Row(3) = {"Trine", "2011-01-01"};
    table.Row(4) = {"", "2011-02-01"};
    kovo::testing::FakeRunHost host;
    util::RunFlags flags;
    AppendTransitRow(table, 3, p, flags, host);
    AppendTransitRow(table, 4, p, flags, host);
    EXPECT_TRUE(flags.headerPrinted);
    EXPECT_EQ(host.output.find("Heading"), host.output.rfind("Heading"));
    EXPECT_EQ(host.output.find("Aspect      |"), host.output.rfind("Aspect      |"));

    // Exactly 64000 characters still take a row; 64001 refuse it.
    host.output = std::string(63998, 'x') + "°°";
    ASSERT_EQ(host.OutputLength(), 64000u);
    AppendTransitRow(table, 3, p, flags, host);
    EXPECT_FALSE(flags.stopRequest);
    host.output = std::string(64001, 'x');
    AppendTransitRow(table, 3, p, flags, host);
    EXPECT_TRUE(flags.stopRequest);
    EXPECT_TRUE(flags.allTransitsStopped);
    EXPECT_EQ(host.output, std::string(64001, 'x') + "Textbox is full -- ");
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "Output textbox is full.");
    EXPECT_EQ(host.messages[0].icon, util::MessageIcon::Exclamation);

    // A headless run without a limit never refuses.
    p.outputLimit.reset();
    flags = {};
    flags.headerPrinted = true;
    AppendTransitRow(table, 4, p, flags, host);
    EXPECT_FALSE(flags.stopRequest);
}

TEST(ExactMinimum, SplitsAfterTheRetrogradeMarkOrTheStar) {
    TransitTable table;
    table.Reset(5);
    WriteExactMinimum(table, 3, "2011-03-15*r14:23 GMT");
    EXPECT_EQ(table.CellAt(3, 4), "2011-03-15*r");
    EXPECT_EQ(table.CellAt(3, 8), "14:23 GMT");
    WriteExactMinimum(table, 4, "2011-03-15*09:05 EST/CDT");
    EXPECT_EQ(table.CellAt(4, 4), "2011-03-15*");
    EXPECT_EQ(table.CellAt(4, 8), "09:05 EST/CDT");
}

// An instant a few milliseconds before local midnight belongs to the next day at 00:00.
TEST(ExactMinimum, TimeNearLocalMidnightRoundsToTheWholeSecondFirst) {
    auto p = Params("Mars", "Jupiter", true);  // heliocentric: no retrograde mark
    p.timezonePosition = 14;                   // GMT-5:00
    p.timezoneText = "GMT-5:00";
    const double localMidnight = 2455636 - 0.5;  // 2011-03-15 00:00 local
    EXPECT_EQ(FormatExactMinimum(localMidnight - 0.004 / 86400, p), "2011-03-15*00:00 GMT-5:00");
    EXPECT_EQ(FormatExactMinimum(localMidnight - 29.0 / 86400, p), "2011-03-14*23:59 GMT-5:00");
    EXPECT_EQ(FormatExactMinimum(localMidnight + 89.6 / 86400, p), "2011-03-15*00:02 GMT-5:00");
    EXPECT_EQ(FormatExactMinimum(localMidnight + (12 * 3600 + 29.4) / 86400, p), "2011-03-15*12:00 GMT-5:00");
    EXPECT_EQ(FormatExactMinimum(localMidnight + (12 * 3600 + 30.0) / 86400, p), "2011-03-15*12:01 GMT-5:00");
    // 23:59:45 rounds up only as far as 23:59.
    EXPECT_EQ(FormatExactMinimum(localMidnight + (86400 - 15.0) / 86400, p), "2011-03-15*23:59 GMT-5:00");
}
