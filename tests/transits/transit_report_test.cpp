#include <gtest/gtest.h>

#include "fake_run_host.h"
#include "test_support.h"
#include "transits/transit_report.h"
#include "util/utf8.h"

using namespace kovo;
using namespace kovo::transits;
using kovo::testing::Day;

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

OrbDate On(int y, int m, int d, bool retrograde = false) { return {.day = Day(y, m, d), .retrograde = retrograde}; }

TransitMinimum Tracked(int y, int m, int d, double degrees) {
    return {.instantUt = Day(y, m, d) - 0.25,
            .day = Day(y, m, d),
            .deviation = degrees / 360 * astro::FullCircle,
            .exact = false,
            .retrograde = false};
}

// An exact minimum at local hh:mm of the given date in zone `zoneMinutes`.
TransitMinimum Exact(int y, int m, int d, int hh, int mm, int zoneMinutes, bool retrograde) {
    const double local = Day(y, m, d) - 0.5 + (hh * 60 + mm) / 1440.0;
    return {.instantUt = local - zoneMinutes / 1440.0,
            .day = Day(y, m, d),
            .deviation = 0.0001,
            .exact = true,
            .retrograde = retrograde};
}

// A period of one pass that enters and leaves all three orbs.
TransitPeriod Simple(int aspect, int month) {
    TransitPeriod p;
    p.aspect = aspect;
    p.outer = {On(2011, month, 1), On(2011, month, 20)};
    p.passes.push_back({.middle = {On(2011, month, 4), On(2011, month, 16)},
                        .inner = {On(2011, month, 7), On(2011, month, 12)},
                        .minimum = Tracked(2011, month, 9, 0.2)});
    return p;
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
    TransitRow header = HeaderRow(p);
    const std::string line = FormatTransitRow(header);
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
}

TEST(TransitReportLayout, CellsAreCutToTwelveCharactersExceptTheLast) {
    TransitRow row{"Semisextile-long", "2011-03-15r", "?", "", "2011-03-15*r", "", "", "", "14:23 GMT-11:30 and more"};
    const std::string line = FormatTransitRow(row);
    EXPECT_EQ(line,
              "Semisextile-| 2011-03-15r                         | 2011-03-15*r|                                     "
              "| 14:23 GMT-11:30 and more\r\n");
    EXPECT_TRUE(row[2].empty());  // "?" is cleared in the row too
    TransitRow empty{};
    EXPECT_EQ(FormatTransitRow(empty).substr(0, 14), std::string(12, ' ') + "| ");
}

TEST(TransitPeriodCells, ExactMinimumTakesTheStarAndMarkAndTheLocalTime) {
    auto p = Params("Mars", "Jupiter");
    p.zone = kovo::testing::ListZone(14, "EST/CDT");  // GMT-5:00
    TransitPeriod period = Simple(4, 3);
    period.passes[0].minimum = Exact(2011, 3, 15, 14, 23, -300, true);
    period.passes.push_back({.middle = {}, .inner = {}, .minimum = Exact(2011, 3, 15, 9, 5, -300, false)});
    const auto rows = PeriodRows(period, p, 0);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][kMinimumAtColumn], "2011-03-15*r");
    EXPECT_EQ(rows[0][kMinimumColumn], "14:23 EST/CDT");
    EXPECT_EQ(rows[1][kMinimumAtColumn], "2011-03-15*");
    EXPECT_EQ(rows[1][kMinimumColumn], "09:05 EST/CDT");
    EXPECT_EQ(rows[0][kAspectColumn], "Trine");
    EXPECT_EQ(rows[1][kAspectColumn], "");
    EXPECT_EQ(rows[1][kOuterStartColumn], "");  // outer dates on the first line only
    EXPECT_EQ(rows[0][kOuterEndColumn], "2011-03-20");
}

TEST(TransitPeriodCells, TrackedMinimumDatesAndDegrees) {
    const auto p = Params("Mars", "Jupiter");
    TransitPeriod period = Simple(1, 4);
    period.outer.entry->retrograde = true;
    period.passes[0].inner.exit.reset();
    const TransitRow row = PeriodRows(period, p, 0).at(0);
    const TransitRow expected{"Conjunction", "2011-04-01r", "2011-04-04", "2011-04-07", "2011-04-09",
                              "",            "2011-04-16",  "2011-04-20", "0°12'"};
    EXPECT_EQ(row, expected);
}

TEST(TransitPeriodCells, AspectNamedOnceAndOnlyWhereAnOrbChanged) {
    const auto p = Params("Mars", "Jupiter");
    EXPECT_EQ(PeriodRows(Simple(3, 5), p, 3)[0][kAspectColumn], "");  // same aspect as the last named
    EXPECT_EQ(PeriodRows(Simple(3, 5), p, 2)[0][kAspectColumn], "Square");
    // Inside the inner orb from start to end: only exact minima, and no name.
    TransitPeriod inside;
    inside.aspect = 3;
    inside.passes.push_back({.middle = {}, .inner = {}, .minimum = Exact(2011, 5, 2, 3, 0, 0, false)});
    const auto rows = PeriodRows(inside, p, 0);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][kAspectColumn], "");
    EXPECT_EQ(rows[0][kMinimumColumn], "03:00 GMT");
}

TEST(TransitReportAppend, HeaderOnceThenLinesAndTheSizeLimit) {
    auto p = Params("Mars", "Jupiter");
    kovo::testing::FakeRunHost host;
    bool stopPending = false;
    TransitReportWriter writer(p, "Heading", stopPending, host);
    writer.AppendPeriod(Simple(4, 1));
    writer.AppendPeriod(Simple(4, 2));  // the same aspect again: not named
    EXPECT_EQ(host.output.rfind(std::string(119, '-') + "\r\nHeading\r\nAspect      |", 0), 0u);
    EXPECT_EQ(host.output.find("Aspect      |"), host.output.rfind("Aspect      |"));
    EXPECT_EQ(host.output.find("Trine"), host.output.rfind("Trine"));
    EXPECT_TRUE(host.output.ends_with("| 0°12'\r\n"));

    // Exactly 64000 characters still take a line; 64001 refuse it.
    host.output = std::string(63998, 'x') + "°°";
    ASSERT_EQ(host.Report().Length(), 64000u);
    writer.AppendPeriod(Simple(4, 3));
    EXPECT_FALSE(stopPending);
    EXPECT_FALSE(writer.OutputFull());
    host.output = std::string(64001, 'x');
    writer.AppendPeriod(Simple(4, 4));
    EXPECT_TRUE(stopPending);
    EXPECT_TRUE(writer.OutputFull());
    EXPECT_EQ(host.output, std::string(64001, 'x') + "Textbox is full -- ");
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "Output textbox is full.");
    EXPECT_EQ(host.messages[0].icon, util::MessageIcon::Exclamation);

    // A headless run without a limit never refuses.
    p.outputLimit.reset();
    stopPending = false;
    TransitReportWriter headless(p, "Heading", stopPending, host);
    headless.AppendPeriod(Simple(4, 5));
    EXPECT_FALSE(stopPending);
}

// Lines after a refused one stay behind; each time they are offered again the notice
// repeats, until none is left. A stop request holds them back without a notice.
TEST(TransitReportAppend, LinesLeftBehindByARefusalAreRefusedInTurn) {
    auto p = Params("Mars", "Jupiter");
    p.outputLimit = 10;
    kovo::testing::FakeRunHost host;
    host.output = std::string(11, 'x');
    bool stopPending = false;
    TransitReportWriter writer(p, "Heading", stopPending, host);
    TransitPeriod loop = Simple(1, 6);
    loop.passes.resize(3, loop.passes[0]);
    writer.AppendPeriod(loop);
    EXPECT_TRUE(writer.HasLeftovers());
    writer.AppendLeftovers();  // the stop request from the refusal is still set
    EXPECT_EQ(host.messages.size(), 1u);
    stopPending = false;
    writer.AppendLeftovers();
    EXPECT_TRUE(writer.HasLeftovers());
    stopPending = false;
    writer.AppendLeftovers();
    EXPECT_FALSE(writer.HasLeftovers());
    EXPECT_EQ(host.output, std::string(11, 'x') + "Textbox is full -- Textbox is full -- Textbox is full -- ");
    EXPECT_EQ(host.messages.size(), 3u);
    EXPECT_EQ(host.output.find("Heading"), std::string::npos);  // no line was taken
}
