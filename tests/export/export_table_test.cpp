// The rows the exports share, built from hand-made records: which minima become rows,
// how the orb dates of several passes read, and the exact minute in UT and local time.
#include <gtest/gtest.h>

#include "export/export_document.h"
#include "export/export_table.h"
#include "transits/local_time.h"
#include "fake_run_host.h"
#include "platform/named_time_zone.h"
#include "test_support.h"
#include "transits/transit_minima.h"
#include "transits/transit_scan.h"
#include "util/rounding.h"

using namespace kovo;
using namespace kovo::exporting;
using kovo::testing::Day;
using transits::OrbDate;
using transits::TransitMinimum;
using transits::TransitPass;
using transits::TransitPeriod;

namespace {

transits::TransitRunParams Params(int zoneMinutes, std::string label) {
    transits::TransitRunParams p;
    p.zone = kovo::testing::ListZone(24 + zoneMinutes / 30, std::move(label));
    p.firstName = "Mars";
    p.secondName = "Jupiter";
    p.startDay = Day(2026, 1, 1);
    p.endDay = Day(2026, 12, 31);
    return p;
}

// A UT instant given as a civil date and time.
double Ut(int y, int mo, int d, int h, int mi, int s = 0) { return Day(y, mo, d) - 0.5 + (h * 3600 + mi * 60 + s) / 86400.0; }

TransitMinimum Exact(double instantUt, bool retrograde = false) {
    return {.instantUt = instantUt, .day = 0, .deviation = 0.0001, .exact = true, .retrograde = retrograde};
}

std::string Field(const ExportTable& t, std::size_t row, const std::string& column) {
    for (std::size_t c = 0; c < t.columns.size(); ++c)
        if (t.columns[c] == column) return t.rows.at(row).at(c).text;
    ADD_FAILURE() << "no column " << column;
    return {};
}

}  // namespace

TEST(ExactTimes, UtAndLocalAgreeWithTheReportAcrossDateLines) {
    // 20:00 UT is 01:30 of the next day at +5:30, and 15:00 the same day at -5:00.
    auto east = ExactTimesOf(Exact(Ut(2026, 1, 9, 20, 0)), Params(330, "GMT+5:30"));
    EXPECT_EQ(east.utc, "2026-01-09T20:00Z");
    EXPECT_EQ(east.local, "2026-01-10T01:30+05:30");
    EXPECT_EQ(east.localDay, Day(2026, 1, 10));
    EXPECT_EQ(east.localLabel, "01:30 GMT+5:30");
    auto west = ExactTimesOf(Exact(Ut(2026, 1, 1, 3, 10)), Params(-300, "EST/CDT"));
    EXPECT_EQ(west.utc, "2026-01-01T03:10Z");
    EXPECT_EQ(west.local, "2025-12-31T22:10-05:00");
    // The report's rule: 30 seconds round up, but never past 23:59 of the local day; UT
    // follows the local reading so that the two never disagree.
    auto late = ExactTimesOf(Exact(Ut(2026, 3, 4, 23, 59, 40)), Params(0, "GMT"));
    const auto clock = transits::ExactClockAt(Ut(2026, 3, 4, 23, 59, 40));
    EXPECT_EQ(late.local, "2026-03-04T23:59+00:00");
    EXPECT_EQ(clock.hour * 60 + clock.minute, 23 * 60 + 59);
    EXPECT_EQ(late.utc, "2026-03-04T23:59Z");
    EXPECT_EQ(ExactTimesOf(Exact(Ut(2026, 3, 4, 10, 0, 30)), Params(0, "GMT")).utc, "2026-03-04T10:01Z");
}

namespace {

// The UT minutes of every exact minimum of Sun and Mars in 1850-1882 in one zone.
std::vector<std::string> ExactUtMinutes(const std::optional<platform::NamedTimeZone>& zone) {
    transits::TransitRunParams p = Params(0, "GMT");
    p.firstPlanet = 1;
    p.secondPlanet = 4;
    p.startDay = Day(1850, 1, 1);
    p.endDay = Day(1882, 12, 31);
    if (zone) p.zone = calendar::ReportZone::Named(*zone);
    for (std::size_t a = 1; a <= 7; ++a) p.aspects[a] = true;
    transits::SetOrbs(p, 10, 5, 2);
    p.outputLimit.reset();
    kovo::testing::FakeRunHost host;
    const transits::TransitResult result = transits::RunTransitScan(p, host);
    std::vector<std::string> minutes;
    for (const TransitPeriod& period : result.periods)
        for (const TransitPass& pass : period.passes)
            if (pass.minimum && pass.minimum->exact) minutes.push_back(ExactTimesOf(*pass.minimum, p).utc);
    return minutes;
}

}  // namespace

TEST(ExactTimes, AZoneWithSecondsInItsOffsetKeepsTheUtMinute) {
    // Before 1883 New York kept local mean time, 4:56:02 behind UT: its local minutes fall
    // two seconds past UT minutes, and a third of the exact UT minutes came out one off.
    kovo::testing::InitModelOnce();
    const auto newYork = platform::NamedTimeZone::Find("America/New_York");
    if (!newYork) GTEST_SKIP() << "no America/New_York in the tz database";
    const auto inUt = ExactUtMinutes(std::nullopt);
    ASSERT_GT(inUt.size(), 100u);
    EXPECT_EQ(ExactUtMinutes(newYork), inUt);
}

TEST(LocalTime, TodayTheRunsFixedOffsetAndItsLabel) {
    const transits::LocalTime t = transits::LocalTimeAt(Params(-300, "EST/CDT"), Ut(2026, 7, 1, 12, 0));
    EXPECT_EQ(t.offsetMinutes, -300);
    EXPECT_EQ(t.label, "EST/CDT");
    EXPECT_EQ(IsoOffset(-300), "-05:00");
    EXPECT_EQ(IsoOffset(330), "+05:30");
    EXPECT_EQ(IsoOffset(0), "+00:00");
    EXPECT_EQ(IsoOffset(-30), "-00:30");
}

TEST(TransitTable, APeriodWithSeveralExactPassesGivesARowForEach) {
    transits::TransitResult result;
    result.inputs = Params(0, "GMT");
    result.outcome = util::RunOutcome::Completed;
    TransitPeriod loop;
    loop.aspect = 2;
    loop.outer = {.entry = OrbDate{Day(2026, 1, 5), false}, .exit = OrbDate{Day(2026, 6, 1), false}};
    // Middle orb entered on the first pass and left on the third; inner stays on passes 1 and 3.
    TransitPass p1, p2, p3;
    p1.middle = {.entry = OrbDate{Day(2026, 1, 20), false}, .exit = std::nullopt};
    p1.inner = {.entry = OrbDate{Day(2026, 2, 1), false}, .exit = OrbDate{Day(2026, 2, 10), false}};
    p1.minimum = Exact(Ut(2026, 2, 5, 6, 0));
    p2.minimum = TransitMinimum{.instantUt = Ut(2026, 3, 1, 0, 0), .day = Day(2026, 3, 1), .deviation = 0.01};
    p3.middle = {.entry = std::nullopt, .exit = OrbDate{Day(2026, 5, 1), true}};
    p3.inner = {.entry = OrbDate{Day(2026, 4, 1), true}, .exit = OrbDate{Day(2026, 4, 9), true}};
    p3.minimum = Exact(Ut(2026, 4, 5, 18, 0), true);
    loop.passes = {p1, p2, p3};
    TransitPeriod cut;
    cut.aspect = 4;
    cut.cutAtEnd = true;
    cut.outer = {.entry = OrbDate{Day(2026, 12, 1), false}, .exit = std::nullopt};
    TransitPass far, near;
    far.minimum = TransitMinimum{.instantUt = Ut(2026, 12, 20, 0, 0), .day = Day(2026, 12, 20), .deviation = 0.05};
    near.minimum = TransitMinimum{.instantUt = Ut(2026, 12, 31, 0, 0), .day = Day(2026, 12, 31), .deviation = 0.02};
    cut.passes = {far, near};
    result.periods = {loop, cut};

    const ExportTable t = TransitTable({&result});
    ASSERT_EQ(t.rows.size(), 3u);
    for (std::size_t r = 0; r < 2; ++r) {
        EXPECT_EQ(Field(t, r, "aspect"), "opposition");
        EXPECT_EQ(Field(t, r, "outer_start"), "2026-01-05");
        EXPECT_EQ(Field(t, r, "middle_start"), "2026-01-20");
        EXPECT_EQ(Field(t, r, "middle_end"), "2026-05-01");
        EXPECT_EQ(Field(t, r, "inner_start"), "2026-02-01");
        EXPECT_EQ(Field(t, r, "inner_end"), "2026-04-09");
        EXPECT_EQ(Field(t, r, "exact_passes"), "2");
    }
    EXPECT_EQ(Field(t, 0, "exact_utc"), "2026-02-05T06:00Z");
    EXPECT_EQ(Field(t, 0, "first_retrograde_at_exact"), "false");
    EXPECT_EQ(Field(t, 1, "exact_utc"), "2026-04-05T18:00Z");
    EXPECT_EQ(Field(t, 1, "first_retrograde_at_exact"), "true");
    // Without an exact pass: the closest approach, its date and its deviation in arcseconds.
    EXPECT_EQ(Field(t, 2, "aspect"), "trine");
    EXPECT_EQ(Field(t, 2, "exact_utc"), "");
    EXPECT_EQ(Field(t, 2, "minimum_date"), "2026-12-31");
    EXPECT_EQ(Field(t, 2, "min_deviation_arcsec"), util::FixedTwoDecimals(0.02 / astro::FullCircle * 1296000.0));
    EXPECT_EQ(Field(t, 2, "outer_end"), "");
    EXPECT_EQ(Field(t, 2, "cut_at_end"), "true");
    EXPECT_EQ(Field(t, 2, "cut_at_start"), "false");
    EXPECT_EQ(Field(t, 2, "first_retrograde_at_exact"), "") << "no retrograde word without an exact time";

    // Runs without marks give no retrograde word at all.
    result.inputs.kind = transits::RunKind::AllTransits;
    EXPECT_EQ(Field(TransitTable({&result}), 1, "first_retrograde_at_exact"), "");
    result.inputs.kind = transits::RunKind::TwoPlanet;
    result.inputs.heliocentric = true;
    EXPECT_EQ(Field(TransitTable({&result}), 1, "first_retrograde_at_exact"), "");
    EXPECT_EQ(Field(TransitTable({&result}), 1, "centricity"), "heliocentric");
}

TEST(SimulationTables, EventsCarryTheirAmountsOnlyWhereTheyHaveOne) {
    simulation::SimulationRun run;
    run.inputs.first = astro::Body::Sun;
    run.inputs.second = astro::Body::Jupiter;
    run.outcome = simulation::SimulationOutcome::Finished;
    using simulation::SimulationEventKind;
    run.events = {{SimulationEventKind::Investment, Day(2011, 1, 5), 1, 10, 1, 11500.0, 100.0, 0.0},
                  {SimulationEventKind::Redemption, Day(2011, 2, 1), 1, 10, 1, 11400.0, -0.87, -0.87},
                  {SimulationEventKind::Cancellation, Day(2011, 12, 30), 3, 5, 2, 12000.0, 0.0, 0.0}};
    const ExportTable t = SimulationEventTable(run);
    ASSERT_EQ(t.rows.size(), 3u);
    EXPECT_EQ(Field(t, 0, "date"), "2011-01-05");
    EXPECT_EQ(Field(t, 0, "amount_usd"), "100.00");
    EXPECT_EQ(Field(t, 0, "running_total_usd"), "");
    EXPECT_EQ(Field(t, 1, "kind"), "redemption");
    EXPECT_EQ(Field(t, 1, "amount_usd"), "-0.87");
    EXPECT_EQ(Field(t, 1, "running_total_usd"), "-0.87");
    EXPECT_EQ(Field(t, 2, "kind"), "cancellation");
    EXPECT_EQ(Field(t, 2, "aspect"), "square");
    EXPECT_EQ(Field(t, 2, "amount_usd"), "");

    run.SimulationSlots = simulation::BuildSimulationSlots(1, 5, {true, false, false, false, false, false, false}, {10, 5, 2});
    run.SimulationSlots[0].InvestmentCount = 1;
    run.SimulationSlots[0].RunningTotal = -0.87;
    run.totals.TotalInvestments = 1;
    run.totals.AspectInvestments[1] = 1;
    run.totals.AspectGain[1] = -0.87;
    const ExportTable s = SimulationSummaryTable(run);
    ASSERT_EQ(s.rows.size(), 5u) << "three slots, one aspect, the run";
    EXPECT_EQ(Field(s, 0, "first"), "Earth");
    EXPECT_EQ(Field(s, 0, "total_usd"), "-0.87");
    EXPECT_EQ(Field(s, 1, "total_usd"), "") << "no investments, no total";
    EXPECT_EQ(Field(s, 3, "orb"), "");
    EXPECT_EQ(Field(s, 4, "investments"), "1");
}

TEST(ExportDocument, OnlyARunWithFindingsIsExported) {
    EXPECT_FALSE(ExportDocument(RunRecords{}, ExportFormat::Csv));
    EXPECT_FALSE(HasExportableResults(RunRecords{}));
    simulation::SimulationRun refused;
    EXPECT_FALSE(ExportDocument(RunRecords{refused}, ExportFormat::Json));
    EXPECT_FALSE(ExportDocument(RunRecords{transits::TransitResult{}}, ExportFormat::Csv)) << "refused";
    transits::TransitResult nothing;
    nothing.outcome = util::RunOutcome::NotFound;
    EXPECT_FALSE(HasExportableResults(RunRecords{nothing}));
    EXPECT_EQ(*ExportDocument(RunRecords{nothing}, ExportFormat::Csv).value().begin(), 'f') << "the header row";
    transits::AllTransitsResult all;
    all.pairs.push_back(nothing);
    all.pairs.back().periods.emplace_back();
    EXPECT_TRUE(HasExportableResults(RunRecords{all}));
    all.pairs.back().outcome = util::RunOutcome::Refused;
    EXPECT_FALSE(ExportDocument(RunRecords{all}, ExportFormat::Json)) << "no pair scanned";
}
