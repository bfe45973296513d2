// From records to the chart's spans: dates as whole local days, spans that lack a date
// taking it from the wider orb, cut edges, lanes, and the texts of exact minima.
#include <gtest/gtest.h>

#include "chart/timeline_model.h"
#include "chart_test_support.h"
#include "transits/transit_table.h"

namespace kovo::chart {
namespace {

using testing::Day;
using transits::OrbDate;
using transits::TransitPeriod;
using transits::TransitResult;

transits::TransitRunParams Params(int zonePosition, const std::string& zone) {
    transits::TransitRunParams p;
    p.startDay = Day(2026, 1, 1);
    p.endDay = Day(2026, 12, 31);
    p.aspects[1] = p.aspects[3] = p.aspects[5] = true;
    p.zone = kovo::testing::ListZone(zonePosition, zone);
    p.firstName = "Mars";
    p.secondName = "Jupiter";
    return p;
}

TEST(ChartPeriod, DatesAreWholeLocalDaysAndMissingDatesComeFromTheWiderSpan) {
    const auto params = Params(34, "GMT+5:00");  // five hours east
    const double zone = 300.0 / 1440;
    TransitPeriod p;
    p.aspect = 3;
    p.outer = {.entry = OrbDate{Day(2026, 3, 1)}, .exit = OrbDate{Day(2026, 4, 30)}};
    p.passes.resize(2);
    // The middle orb entered in the same step as the outer one; the inner orb of the
    // second pass left in the same step as the middle one.
    p.passes[0].middle = {.entry = std::nullopt, .exit = OrbDate{Day(2026, 3, 20)}};
    p.passes[0].inner = {.entry = OrbDate{Day(2026, 3, 5)}, .exit = OrbDate{Day(2026, 3, 9)}};
    p.passes[1].middle = {.entry = OrbDate{Day(2026, 4, 2)}, .exit = OrbDate{Day(2026, 4, 25)}};
    p.passes[1].inner = {.entry = OrbDate{Day(2026, 4, 10)}, .exit = std::nullopt};
    const ChartPeriod c = BuildChartPeriod(p, params, Day(2026, 1, 1) - 0.5 - zone, Day(2026, 12, 31) + 0.5 - zone);

    ASSERT_EQ(c.levels[0].size(), 1u);
    EXPECT_DOUBLE_EQ(c.levels[0][0].startUt, Day(2026, 3, 1) - 0.5 - zone);
    EXPECT_DOUBLE_EQ(c.levels[0][0].endUt, Day(2026, 4, 30) + 0.5 - zone);
    EXPECT_FALSE(c.levels[0][0].cutAtStart || c.levels[0][0].cutAtEnd);
    ASSERT_EQ(c.levels[1].size(), 2u);
    EXPECT_DOUBLE_EQ(c.levels[1][0].startUt, c.levels[0][0].startUt);
    EXPECT_DOUBLE_EQ(c.levels[1][0].endUt, Day(2026, 3, 20) + 0.5 - zone);
    ASSERT_EQ(c.levels[2].size(), 2u);
    EXPECT_DOUBLE_EQ(c.levels[2][0].startUt, Day(2026, 3, 5) - 0.5 - zone);
    // The second inner stay ends with the middle stay it lies in, not the first one.
    EXPECT_DOUBLE_EQ(c.levels[2][1].endUt, Day(2026, 4, 25) + 0.5 - zone);
    EXPECT_FALSE(c.levels[2][1].cutAtEnd);
    EXPECT_FALSE(c.retrograde);
}

TEST(ChartPeriod, PeriodsCutByTheRangeAreOpenAtThatEdgeOnly) {
    const auto params = Params(24, "GMT");
    TransitPeriod p;
    p.aspect = 1;
    p.outer = {.entry = std::nullopt, .exit = OrbDate{Day(2026, 1, 20), true}};
    p.passes.resize(1);
    p.passes[0].middle = {.entry = std::nullopt, .exit = OrbDate{Day(2026, 1, 10)}};
    p.cutAtStart = true;
    const double start = Day(2026, 1, 1) - 0.5;
    const ChartPeriod c = BuildChartPeriod(p, params, start, Day(2026, 12, 31) + 0.5);
    EXPECT_DOUBLE_EQ(c.levels[0][0].startUt, start);
    EXPECT_TRUE(c.levels[0][0].cutAtStart);
    EXPECT_FALSE(c.levels[0][0].cutAtEnd);
    EXPECT_TRUE(c.levels[1][0].cutAtStart);
    EXPECT_TRUE(c.levels[2].empty());  // never reached
    EXPECT_TRUE(c.retrograde);         // the exit date carries the mark
}

TEST(Timeline, EverySelectedAspectHasALaneAndANotFoundRunSaysSo) {
    TransitResult r;
    r.inputs = Params(24, "GMT");
    r.outcome = util::RunOutcome::NotFound;
    TimelineModel m = BuildTimeline(r);
    ASSERT_EQ(m.lanes.size(), 3u);
    EXPECT_EQ(m.lanes[0].label, "Conjunction");
    EXPECT_EQ(m.lanes[2].label, "Sextile");
    EXPECT_EQ(m.emptyText, "Not found");
    EXPECT_DOUBLE_EQ(m.rangeStartUt, Day(2026, 1, 1) - 0.5);
    EXPECT_DOUBLE_EQ(m.rangeEndUt, Day(2026, 12, 31) + 0.5);
    EXPECT_EQ(m.retrogradeBody, "Mars");

    r.outcome = util::RunOutcome::Refused;
    r.refusal = "Orbs must be strictly decreasing.";
    m = BuildTimeline(r);
    EXPECT_TRUE(m.lanes.empty());
    EXPECT_EQ(m.emptyText, r.refusal);
}

TEST(Timeline, TheSubtitleNamesTheZoneAndTheAbbreviationsItUses) {
    TransitResult r;
    r.inputs = Params(14, "GMT-5:00");
    r.outcome = util::RunOutcome::NotFound;
    EXPECT_EQ(BuildTimeline(r).subtitle, "Orbs 10\u00b0, 5\u00b0, 2\u00b0 \u00b7 local times in GMT-5:00");
    // A named zone: its name and what its clocks show over the chart, not what they
    // showed at the epoch of the Julian Days (local mean time).
    const auto newYork = platform::NamedTimeZone::Find("America/New_York");
    ASSERT_TRUE(newYork.has_value());
    r.inputs.zone = calendar::ReportZone::Named(*newYork);
    EXPECT_NE(BuildTimeline(r).subtitle.find("local times in America/New_York (EST/EDT)"), std::string::npos);
    r.inputs.startDay = Day(2026, 5, 1);
    r.inputs.endDay = Day(2026, 6, 1);
    EXPECT_NE(BuildTimeline(r).subtitle.find("local times in America/New_York (EDT)"), std::string::npos);
    r.inputs.zone = calendar::ReportZone::Named(*platform::NamedTimeZone::Find("Asia/Kathmandu"));
    EXPECT_NE(BuildTimeline(r).subtitle.find("local times in Asia/Kathmandu (+0545)"), std::string::npos);
}

TEST(Timeline, AllTransitsHaveALanePerPairAndAspectAndSkipRefusedPairs) {
    transits::AllTransitsResult all;
    all.outcome = util::RunOutcome::Refused;
    TransitResult scanned;
    scanned.inputs = Params(24, "GMT");
    scanned.inputs.kind = transits::RunKind::AllTransits;
    scanned.outcome = util::RunOutcome::Completed;
    TransitPeriod p;
    p.aspect = 5;
    p.outer = {.entry = OrbDate{Day(2026, 2, 1)}, .exit = OrbDate{Day(2026, 2, 10)}};
    p.passes.resize(1);
    scanned.periods = {p};
    TransitResult refused;
    all.pairs = {scanned, refused, scanned};
    all.pairs[2].inputs.secondName = "Saturn";
    const TimelineModel m = BuildTimeline(all);
    ASSERT_EQ(m.pairs.size(), 2u);
    ASSERT_EQ(m.lanes.size(), 6u);
    EXPECT_EQ(m.lanes[2].label, "Mars\u2013Jupiter Sextile");
    EXPECT_EQ(m.lanes[5].label, "Mars\u2013Saturn Sextile");
    EXPECT_EQ(m.lanes[5].periods.size(), 1u);
    EXPECT_EQ(m.lanes[5].periods[0].pair, 1);
    EXPECT_EQ(m.retrogradeBody, "");  // the all-transits report gives no marks
    EXPECT_TRUE(m.emptyText.empty());
}

TEST(Timeline, ARunsRecordsGiveATimelineOnlyForTransitsAndAChartOnlyForAScan) {
    exporting::RunRecords records;
    EXPECT_FALSE(TimelineOf(records).has_value());
    EXPECT_FALSE(HasScannedTransits(records));
    records = simulation::SimulationRun{};
    EXPECT_FALSE(TimelineOf(records).has_value());
    EXPECT_FALSE(HasScannedTransits(records));

    // A refused run still draws its refusal (kovo-report's chart), but gives no button.
    TransitResult refused;
    refused.refusal = "Orbs must be strictly decreasing.";
    records = refused;
    ASSERT_TRUE(TimelineOf(records).has_value());
    EXPECT_EQ(TimelineOf(records)->emptyText, refused.refusal);
    EXPECT_FALSE(HasScannedTransits(records));

    transits::AllTransitsResult all;
    all.pairs = {refused, refused};
    records = all;
    EXPECT_FALSE(HasScannedTransits(records));
    all.pairs[1].inputs = Params(24, "GMT");
    all.pairs[1].outcome = util::RunOutcome::NotFound;
    records = all;
    EXPECT_TRUE(HasScannedTransits(records));
    EXPECT_EQ(TimelineOf(records)->pairs.size(), 1u);
}

TEST(Timeline, ASearchChartEndsSoonAfterTheTransitItFound) {
    TransitResult r;
    r.inputs = Params(24, "GMT");
    r.inputs.kind = transits::RunKind::Search;
    r.inputs.endDay = transits::kSearchEndDay;
    r.outcome = util::RunOutcome::Completed;
    TransitPeriod p;
    p.aspect = 3;
    p.outer = {.entry = OrbDate{Day(2026, 5, 1)}, .exit = OrbDate{Day(2026, 6, 1)}};
    p.passes.resize(1);
    r.periods = {p};
    const TimelineModel m = BuildTimeline(r);
    EXPECT_GT(m.rangeEndUt, Day(2026, 6, 1) + 0.5);
    EXPECT_LT(m.rangeEndUt, Day(2026, 12, 31));
}

TEST(Timeline, ExactTimesReadAsTheReportReadsThem) {
    // Eastern time, where the report's minute and date differ from GMT's.
    const TransitResult r = testing::ScanPair(4, 5, Day(2026, 1, 1), Day(2026, 12, 31), 14, "EST");
    const TimelineModel m = BuildTimeline(r);
    int compared = 0;
    for (const Lane& lane : m.lanes) {
        for (const ChartPeriod& c : lane.periods) {
            const auto rows = transits::PeriodRows(r.periods[static_cast<std::size_t>(c.period)], r.inputs, 0);
            std::size_t k = 0;
            for (const auto& row : rows) {
                if (row[transits::kMinimumAtColumn].find('*') == std::string::npos) continue;
                ASSERT_LT(k, c.exact.size());
                const std::string date = row[transits::kMinimumAtColumn].substr(0, 10);
                EXPECT_EQ(c.exact[k++].when, date + " " + row[transits::kMinimumColumn]);
                ++compared;
            }
            EXPECT_EQ(k, c.exact.size());
        }
    }
    EXPECT_GE(compared, 5);
}

}  // namespace
}  // namespace kovo::chart
