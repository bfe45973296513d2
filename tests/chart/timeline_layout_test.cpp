// The chart's geometry: the time axis, clipping at the plot's edges, and what the cursor
// and the tooltips report.
#include <gtest/gtest.h>

#include "chart/chart_export.h"
#include "chart/timeline_layout.h"
#include "test_support.h"

namespace kovo::chart {
namespace {

using testing::Day;

TimelineModel OnePeriod() {
    transits::TransitResult r;
    r.outcome = util::RunOutcome::Completed;
    r.inputs.startDay = Day(2026, 1, 1);
    r.inputs.endDay = Day(2026, 12, 31);
    r.inputs.aspects[3] = r.inputs.aspects[4] = true;
    r.inputs.firstName = "Mars";
    r.inputs.secondName = "Jupiter";
    transits::TransitPeriod p;
    p.aspect = 4;
    p.outer = {.entry = transits::OrbDate{Day(2026, 3, 1)}, .exit = transits::OrbDate{Day(2026, 4, 30)}};
    p.passes.resize(1);
    p.passes[0].middle = {.entry = transits::OrbDate{Day(2026, 3, 20)}, .exit = transits::OrbDate{Day(2026, 4, 10)}};
    p.passes[0].inner = {.entry = transits::OrbDate{Day(2026, 3, 28)}, .exit = transits::OrbDate{Day(2026, 4, 2)}};
    p.passes[0].minimum = transits::TransitMinimum{
        .instantUt = Day(2026, 3, 30) + 0.25, .day = Day(2026, 3, 30), .deviation = 0.0001, .exact = true};
    r.periods = {p};
    return BuildTimeline(r);
}

TEST(TimelineLayout, TheAxisMapsTheViewOntoThePlot) {
    const TimelineModel model = OnePeriod();
    const TimelineLayout whole = LayOutTimeline(model, QSizeF(1200, 600), {}, ChartFont());
    EXPECT_DOUBLE_EQ(whole.axis.XOf(model.rangeStartUt), whole.plot.left());
    EXPECT_DOUBLE_EQ(whole.axis.XOf(model.rangeEndUt), whole.plot.right());
    EXPECT_NEAR(whole.axis.UtOf(whole.axis.XOf(Day(2026, 7, 4))), Day(2026, 7, 4), 1e-9);
    ASSERT_EQ(whole.lanes.size(), 2u);
    EXPECT_DOUBLE_EQ(whole.lanes[1].rect.bottom(), whole.plot.bottom());
    ASSERT_EQ(whole.bands.size(), 3u);
    // Nested: each band inside the wider one.
    EXPECT_TRUE(whole.bands[0].rect.contains(whole.bands[1].rect));
    EXPECT_TRUE(whole.bands[1].rect.contains(whole.bands[2].rect));
    EXPECT_TRUE(whole.lanes[1].rect.contains(whole.bands[0].rect));
}

TEST(TimelineLayout, ZoomedInBandsAreClippedWithoutAClosingEdge) {
    const TimelineModel model = OnePeriod();
    const ViewRange view{.startUt = Day(2026, 3, 25) - 0.5, .endUt = Day(2026, 4, 5) - 0.5};
    const TimelineLayout zoomed = LayOutTimeline(model, QSizeF(1200, 600), view, ChartFont());
    ASSERT_EQ(zoomed.bands.size(), 3u);
    const BandShape& outer = zoomed.bands[0];
    EXPECT_DOUBLE_EQ(outer.rect.left(), zoomed.plot.left());
    EXPECT_DOUBLE_EQ(outer.rect.right(), zoomed.plot.right());
    EXPECT_FALSE(outer.lineLeft || outer.lineRight || outer.cutLeft || outer.cutRight);
    EXPECT_TRUE(zoomed.bands[2].lineLeft && zoomed.bands[2].lineRight);
    EXPECT_EQ(zoomed.axisTicks.front().label, "2026-03-25");
}

TEST(TimelineLayout, TheCursorNamesTheCrossedPeriodsAndTheirInnermostOrb) {
    const TimelineModel model = OnePeriod();
    EXPECT_EQ(CursorStatus(model, Day(2026, 3, 29)), "2026-03-29 12:00 GMT \u00b7 Trine: inner orb (2\u00b0)");
    EXPECT_EQ(CursorStatus(model, Day(2026, 4, 20) - 0.5), "2026-04-20 00:00 GMT \u00b7 Trine: outer orb (10\u00b0)");
    EXPECT_EQ(CursorStatus(model, Day(2026, 6, 1)), "2026-06-01 12:00 GMT \u00b7 no period");
    // The exit date is still inside; the next day is not.
    EXPECT_EQ(PeriodsAt(model, Day(2026, 4, 30) + 0.49).size(), 1u);
    EXPECT_TRUE(PeriodsAt(model, Day(2026, 4, 30) + 0.51).empty());
}

TEST(TimelineLayout, ATooltipNamesTheExactMinuteAndItsDeviation) {
    const TimelineModel model = OnePeriod();
    const TimelineLayout layout = LayOutTimeline(model, QSizeF(1200, 600), {}, ChartFont());
    ASSERT_EQ(layout.ticks.size(), 1u);
    const QPointF on = layout.ticks[0].line.center();
    const TickShape* tick = TickNear(layout, on + QPointF(3, 0), 4);
    ASSERT_NE(tick, nullptr);
    EXPECT_EQ(TickToolTip(model, *tick), "Exact Trine of Mars and Jupiter\n2026-03-30 18:00 GMT\nminimum deviation 0\u00b000'21\"");
    EXPECT_EQ(TickNear(layout, on + QPointF(6, 0), 4), nullptr);
    EXPECT_EQ(TickNear(layout, QPointF(on.x(), layout.lanes[0].rect.center().y()), 4), nullptr);  // another lane
}

}  // namespace
}  // namespace kovo::chart
