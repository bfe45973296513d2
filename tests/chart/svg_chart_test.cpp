// The chart as SVG and PNG, checked against the run's records: bands from entry to exit
// date, exact ticks at their minutes, open edges where the range cuts a period, and
// the empty chart.
#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QImage>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "calendar/calendar_services.h"
#include "chart/chart_export.h"
#include "chart/cycle_painter.h"
#include "chart/timeline_layout.h"
#include "chart/timeline_painter.h"
#include "chart_test_support.h"
#include "support/temp_folder.h"
#include "transits/transit_minima.h"

namespace kovo::chart {
namespace {

using testing::Day;
using testing::ReadSvg;
using testing::SvgShapes;
namespace fs = std::filesystem;

// The x of a GMT day's beginning, read off the chart's own date axis: its first and last
// ticks, whose dates are in their ids.
struct AxisScale {
    double x0 = 0;
    double day0 = 0;
    double pixelsPerDay = 0;

    double XOfUt(double ut) const { return x0 + (ut - (day0 - 0.5)) * pixelsPerDay; }
    double XOfDayStart(std::int32_t day) const { return XOfUt(day - 0.5); }
};

std::int32_t DayOfTickId(const std::string& id) {
    return Day(std::stoi(id.substr(5, 4)), std::stoi(id.substr(10, 2)), std::stoi(id.substr(13, 2)));
}

AxisScale ScaleFrom(const SvgShapes& svg) {
    const auto ticks = svg.WithClass("axis-tick");
    EXPECT_GE(ticks.size(), 2u);
    const testing::SvgElement& first = *ticks.front();
    const testing::SvgElement& last = *ticks.back();
    const std::int32_t d0 = DayOfTickId(first.attributes.at("id"));
    const std::int32_t d1 = DayOfTickId(last.attributes.at("id"));
    return {.x0 = first.LineX(), .day0 = static_cast<double>(d0), .pixelsPerDay = (last.LineX() - first.LineX()) / (d1 - d0)};
}

class MarsJupiter2026 : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        result_ = new transits::TransitResult(testing::ScanPair(4, 5, Day(2026, 1, 1), Day(2026, 12, 31)));
    }
    static void TearDownTestSuite() { delete result_; }
    static transits::TransitResult* result_;
};
transits::TransitResult* MarsJupiter2026::result_ = nullptr;

TEST_F(MarsJupiter2026, OuterBandsSpanTheirEntryAndExitDatesWithinAPixel) {
    const transits::TransitResult& r = *result_;
    ASSERT_GE(r.periods.size(), 5u);
    const SvgShapes svg = ReadSvg(RenderSvg(BuildTimeline(r), QSize(1600, 900)));
    ASSERT_TRUE(svg.wellFormed);
    const AxisScale axis = ScaleFrom(svg);
    EXPECT_NEAR(axis.XOfDayStart(Day(2026, 1, 1)), svg.byId.at("plot").Number("x"), 1.0);
    for (std::size_t i = 0; i < r.periods.size(); ++i) {
        const transits::TransitPeriod& p = r.periods[i];
        const std::string id = "period-0-" + std::to_string(i) + "-outer";
        ASSERT_EQ(svg.byId.count(id), 1u) << id;
        const testing::SvgElement& band = svg.byId.at(id);
        const double left = band.Number("x");
        const double right = left + band.Number("width");
        const double entryX = axis.XOfDayStart(p.outer.entry ? p.outer.entry->day : r.inputs.startDay);
        const double exitX = axis.XOfDayStart(p.outer.exit ? p.outer.exit->day + 1 : r.inputs.endDay + 1);
        EXPECT_NEAR(left, entryX, 1.0) << id;
        EXPECT_NEAR(right, exitX, 1.0) << id;
        EXPECT_TRUE(band.HasClass("aspect-" + std::to_string(p.aspect))) << id;
    }
}

TEST_F(MarsJupiter2026, ExactTicksSitAtTheirMinutes) {
    const transits::TransitResult& r = *result_;
    const TimelineModel model = BuildTimeline(r);
    const SvgShapes whole = ReadSvg(RenderSvg(model, QSize(1600, 900)));
    const AxisScale axis = ScaleFrom(whole);
    int exact = 0;
    for (std::size_t i = 0; i < r.periods.size(); ++i) {
        int k = 0;
        for (const transits::TransitPass& pass : r.periods[i].passes) {
            if (!pass.minimum || !pass.minimum->exact) continue;
            const double minute = pass.minimum->instantUt;
            // The scan gives whole minutes; the tick must not round them again.
            const double minutes = (minute - 0.5) * 1440;
            EXPECT_NEAR(minutes, std::round(minutes), 1e-3);
            const std::string id = "exact-0-" + std::to_string(i) + "-" + std::to_string(k++);
            ASSERT_EQ(whole.byId.count(id), 1u) << id;
            EXPECT_NEAR(whole.byId.at(id).LineX(), axis.XOfUt(minute), 0.5) << id;
            // Zoomed to one day around it, a pixel is about a minute: the tick stays on its own.
            const ViewRange day{.startUt = minute - 0.5, .endUt = minute + 0.5};
            const SvgShapes zoomed = ReadSvg(RenderSvg(model, QSize(1600, 900), day));
            const testing::SvgElement& plot = zoomed.byId.at("plot");
            const double perMinute = plot.Number("width") / 1440;
            EXPECT_NEAR(zoomed.byId.at(id).LineX(), plot.Number("x") + 720 * perMinute, perMinute / 2) << id;
            ++exact;
        }
    }
    EXPECT_GE(exact, 5);
}

// Each date label stands under its own gridline and clear of its neighbours, also where
// the last gridline is close to the picture's right edge ("Oct 2023Jan 2024").
TEST_F(MarsJupiter2026, DateLabelsStayOnTheirGridlinesAndApart) {
    const TimelineModel model = BuildTimeline(*result_);
    const QFontMetricsF metrics(ChartFont());
    for (std::int32_t end = Day(2026, 11, 20); end <= Day(2026, 12, 31); ++end) {
        const ViewRange view{.startUt = Day(2026, 1, 1) - 0.5, .endUt = end + 0.5};
        const QSize size(900, 500);
        const TimelineLayout layout = LayOutTimeline(model, QSizeF(size), view, ChartFont());
        const SvgShapes svg = ReadSvg(RenderSvg(model, size, view));
        double lastRight = -1e9;
        std::size_t labelled = 0;
        for (const AxisTick& tick : layout.axisTicks) {
            const testing::SvgElement* text = nullptr;
            for (const testing::SvgElement& e : svg.all)
                if (e.tag == "text" && e.text == tick.label) text = &e;
            if (text == nullptr) continue;  // left out rather than crowded
            ++labelled;
            const double left = text->Number("x");
            const double right = left + metrics.horizontalAdvance(QString::fromStdString(tick.label));
            const double x = layout.axis.XOf(tick.ut);
            EXPECT_LE(left, x + 0.5) << tick.label << " to " << calendar::FormatDayNumberIso(end);
            EXPECT_GE(right, x - 0.5) << tick.label << " to " << calendar::FormatDayNumberIso(end);
            EXPECT_GT(left, lastRight) << tick.label << " to " << calendar::FormatDayNumberIso(end);
            EXPECT_LE(right, size.width());
            lastRight = right;
        }
        EXPECT_GE(labelled + 1, layout.axisTicks.size()) << "at most the last left out";
    }
}

TEST_F(MarsJupiter2026, ARangeCutsItsPeriodOpen) {
    // The opposition of January 2026 began in 2025.
    const transits::TransitResult& r = *result_;
    ASSERT_TRUE(r.periods.front().cutAtStart);
    const SvgShapes svg = ReadSvg(RenderSvg(BuildTimeline(r), QSize(1600, 900)));
    const testing::SvgElement& outline = svg.byId.at("period-0-0-outline");
    EXPECT_TRUE(outline.HasClass("cut-start"));
    EXPECT_FALSE(outline.HasClass("cut-end"));
    // No vertical stroke at the left edge: the path's first point is the top left, and
    // the only vertical segment is the right edge.
    const std::string d = outline.attributes.at("d");
    const double left = svg.byId.at("period-0-0-outer").Number("x");
    std::vector<std::pair<char, std::pair<double, double>>> points;
    for (std::size_t i = 0; i < d.size(); ++i) {
        if (d[i] != 'M' && d[i] != 'L') continue;
        const std::size_t comma = d.find(',', i);
        points.push_back({d[i], {std::stod(d.substr(i + 1)), std::stod(d.substr(comma + 1))}});
    }
    int verticalAtLeft = 0;
    for (std::size_t i = 1; i < points.size(); ++i)
        if (points[i].first == 'L' && std::abs(points[i].second.first - points[i - 1].second.first) < 1e-6 &&
            std::abs(points[i].second.first - left) < 0.5)
            ++verticalAtLeft;
    EXPECT_EQ(verticalAtLeft, 0) << d;
    EXPECT_FALSE(svg.WithClass("cut-mark").empty());
}

TEST_F(MarsJupiter2026, CycleLanesAppearOnlyWithTheOptionAtTheirInstants) {
    const exporting::RunRecords records = *result_;
    const SvgShapes plain = ReadSvg(RenderSvg(*TimelineOf(records), QSize(1600, 900)));
    EXPECT_EQ(plain.WithClass("lane").size(), 7u);
    for (const char* cls : {"cycle-lane", "cycle-band", "station", "ingress"}) EXPECT_TRUE(plain.WithClass(cls).empty()) << cls;
    EXPECT_FALSE(plain.HasText("pre- and post-shadow"));

    const TimelineModel model = *TimelineOf(records, {.cycles = true});
    const SvgShapes svg = ReadSvg(RenderSvg(model, QSize(1600, 900)));
    ASSERT_TRUE(svg.wellFormed);
    EXPECT_EQ(svg.WithClass("lane").size(), 9u);
    EXPECT_EQ(svg.WithClass("cycle-lane").size(), 2u);
    EXPECT_TRUE(svg.HasText("Mars retrograde, signs"));
    EXPECT_TRUE(svg.HasText("Jupiter retrograde, signs"));
    EXPECT_TRUE(svg.HasText("pre- and post-shadow"));
    const AxisScale axis = ScaleFrom(svg);
    std::size_t stations = 0;
    for (std::size_t lane = 0; lane < model.cycleLanes.size(); ++lane) {
        for (const CycleSpan& span : model.cycleLanes[lane].spans) {
            const testing::SvgElement& band = svg.byId.at(CycleBandId(static_cast<int>(lane), span));
            EXPECT_NEAR(band.Number("x"), axis.XOfUt(span.startUt), 1.0);
            EXPECT_NEAR(band.Number("x") + band.Number("width"), axis.XOfUt(span.endUt), 1.0);
            EXPECT_EQ(band.HasClass("cut-start"), span.cutAtStart);
            EXPECT_EQ(band.HasClass("cut-end"), span.cutAtEnd);
        }
        int k = 0;
        for (const CycleTick& tick : model.cycleLanes[lane].ticks) {
            if (tick.mark == CycleMark::Ingress) continue;
            const std::string id = "station-" + std::to_string(lane) + "-" + std::to_string(k++);
            ASSERT_EQ(svg.byId.count(id), 1u) << id;
            EXPECT_NEAR(svg.byId.at(id).LineX(), axis.XOfUt(tick.instantUt), 1.0) << id;
            ++stations;
        }
    }
    EXPECT_EQ(svg.WithClass("station").size(), stations);
    // Jupiter turned direct in March 2026 after a retrograde spell begun in 2025.
    const CycleLane& jupiter = model.cycleLanes[1];
    ASSERT_FALSE(jupiter.spans.empty());
    EXPECT_EQ(jupiter.spans.front().phase, CyclePhase::Retrograde);
    EXPECT_TRUE(svg.byId.at(CycleBandId(1, jupiter.spans.front())).HasClass("cut-start"));
    // Jupiter entered Leo at the end of June 2026.
    EXPECT_TRUE(svg.HasText("Leo"));
    EXPECT_FALSE(svg.WithClass("sign-4").empty());
}

TEST_F(MarsJupiter2026, PngHasTheAskedSizeAndABadNameWritesNothing) {
    const TimelineModel model = BuildTimeline(*result_);
    const testing::TempFolder scratch("kovo-chart-png");
    const fs::path& dir = scratch.Path();
    const fs::path png = dir / "chart.PNG";
    ASSERT_EQ(WriteChartFile(model, png.string(), QSize(1234, 567)), "");
    const QImage image(QString::fromStdString(png.string()));
    EXPECT_EQ(image.size(), QSize(1234, 567));
    EXPECT_EQ(image.pixelColor(1, 1), QColor(Qt::white));

    EXPECT_NE(WriteChartFile(model, (dir / "chart.txt").string(), QSize(800, 600)), "");
    EXPECT_FALSE(fs::exists(dir / "chart.txt"));
    EXPECT_NE(WriteChartFile(model, (dir / "no" / "such" / "chart.svg").string(), QSize(800, 600)), "");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST(EmptyChart, NotFoundDrawsAxesLanesAndSaysSo) {
    transits::TransitResult r;
    r.outcome = util::RunOutcome::NotFound;
    r.inputs.startDay = Day(2026, 1, 1);
    r.inputs.endDay = Day(2026, 1, 20);
    r.inputs.aspects[1] = r.inputs.aspects[4] = true;
    r.inputs.firstName = "Mars";
    r.inputs.secondName = "Jupiter";
    const SvgShapes svg = ReadSvg(RenderSvg(BuildTimeline(r), QSize(900, 500)));
    ASSERT_TRUE(svg.wellFormed);
    EXPECT_TRUE(svg.HasText("Not found"));
    EXPECT_EQ(svg.byId.count("plot"), 1u);
    EXPECT_GE(svg.WithClass("axis-tick").size(), 3u);
    EXPECT_EQ(svg.WithClass("lane").size(), 2u);
    EXPECT_TRUE(svg.HasText("Conjunction"));
    EXPECT_TRUE(svg.HasText("Trine"));
    EXPECT_TRUE(svg.WithClass("band").empty());
}

TEST(RetrogradeChart, ARetrogradePeriodHasADashedOutline) {
    transits::TransitResult r;
    r.outcome = util::RunOutcome::Completed;
    r.inputs.startDay = Day(2027, 1, 1);
    r.inputs.endDay = Day(2027, 6, 30);
    r.inputs.aspects[2] = true;
    r.inputs.firstName = "Mars";
    r.inputs.secondName = "Saturn";
    transits::TransitPeriod retro;
    retro.aspect = 2;
    retro.outer = {.entry = transits::OrbDate{Day(2027, 2, 1), true}, .exit = transits::OrbDate{Day(2027, 3, 1), true}};
    retro.passes.resize(1);
    transits::TransitPeriod direct;
    direct.aspect = 2;
    direct.outer = {.entry = transits::OrbDate{Day(2027, 4, 1), false}, .exit = transits::OrbDate{Day(2027, 5, 1), false}};
    direct.passes.resize(1);
    r.periods = {retro, direct};
    const SvgShapes svg = ReadSvg(RenderSvg(BuildTimeline(r), QSize(900, 500)));
    EXPECT_TRUE(svg.byId.at("period-0-0-outline").HasClass("retrograde"));
    EXPECT_EQ(svg.byId.at("period-0-0-outline").attributes.count("stroke-dasharray"), 1u);
    EXPECT_FALSE(svg.byId.at("period-0-1-outline").HasClass("retrograde"));
    EXPECT_EQ(svg.byId.at("period-0-1-outline").attributes.count("stroke-dasharray"), 0u);
    EXPECT_TRUE(svg.HasText("Mars retrograde"));
}

}  // namespace
}  // namespace kovo::chart
