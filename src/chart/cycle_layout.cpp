#include "chart/cycle_layout.h"

#include <QFontMetricsF>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "cycles/ingresses.h"

namespace kovo::chart {

namespace {

constexpr double kLanePadding = 0.12;  // above and below, as part of the lane, as for the aspect lanes
constexpr double kSignStrip = 0.34;    // the top part of the lane that holds the ingresses
constexpr double kMinBandWidth = 1.0;  // pixels

struct LaneRows {
    double signTop = 0;
    double bandTop = 0;
    double bandBottom = 0;
};

LaneRows RowsOf(const QRectF& lane) {
    const double pad = lane.height() * kLanePadding;
    const double signTop = lane.top() + pad * 0.5;
    const double bandTop = signTop + (lane.height() - pad) * kSignStrip;
    return {.signTop = signTop, .bandTop = bandTop, .bandBottom = lane.bottom() - pad};
}

void PlaceBands(TimelineLayout& layout, const CycleLane& lane, int index, const LaneRows& rows) {
    const QRectF& plot = layout.plot;
    for (const CycleSpan& span : lane.spans) {
        double x0 = layout.axis.XOf(span.startUt);
        double x1 = layout.axis.XOf(span.endUt);
        if (x1 - x0 < kMinBandWidth) {
            const double middle = (x0 + x1) / 2;
            x0 = middle - kMinBandWidth / 2;
            x1 = middle + kMinBandWidth / 2;
        }
        if (x1 < plot.left() || x0 > plot.right()) continue;
        CycleBandShape band;
        band.lane = index;
        band.span = &span;
        band.cutLeft = span.cutAtStart && x0 >= plot.left() - 0.5;
        band.cutRight = span.cutAtEnd && x1 <= plot.right() + 0.5;
        band.rect = QRectF(QPointF(std::max(x0, plot.left()), rows.bandTop),
                           QPointF(std::min(x1, plot.right()), rows.bandBottom));
        layout.cycleBands.push_back(band);
    }
}

// Stations cross the band; ingresses stand in the strip above it with their sign's short
// name beside them, left out where it would run into the one before or out of the plot.
void PlaceTicks(TimelineLayout& layout, const CycleLane& lane, int index, const LaneRows& rows) {
    const QFontMetricsF metrics(layout.cycleFont);
    const double gap = metrics.horizontalAdvance(QStringLiteral(" "));
    double lastRight = layout.plot.left() - gap;
    const double reach = (rows.bandBottom - rows.bandTop) * 0.12;
    for (const CycleTick& tick : lane.ticks) {
        const double x = layout.axis.XOf(tick.instantUt);
        if (x < layout.plot.left() || x > layout.plot.right()) continue;
        CycleTickShape shape{.line = {}, .labelRect = {}, .lane = index, .tick = &tick};
        if (CrossesBand(tick.mark)) {
            shape.line = QLineF(x, rows.bandTop - reach, x, rows.bandBottom + reach);
        } else {
            shape.line = QLineF(x, rows.signTop, x, rows.bandTop);
            const char* text = CycleTickLabel(tick);
            const double width = metrics.horizontalAdvance(QString::fromLatin1(text));
            const QRectF label(x + 2, rows.signTop, width, rows.bandTop - rows.signTop);
            if (*text != '\0' && label.left() >= lastRight + gap && label.right() <= layout.plot.right()) {
                shape.labelRect = label;
                lastRight = label.right();
            }
        }
        layout.cycleTicks.push_back(shape);
    }
}

std::string DegreesInSign(double longitude) {
    const double wrapped = std::fmod(std::fmod(longitude, 360.0) + 360.0, 360.0);
    const long minutes = std::lround(wrapped * 60.0) % (360 * 60);
    char text[48];
    std::snprintf(text, sizeof text, "%ld\u00b0%02ld' ", minutes / 60 % 30, minutes % 60);
    return text + std::string(cycles::kSignNames[minutes / 60 / 30]);
}

}  // namespace

const char* CyclePhaseName(CyclePhase phase) {
    switch (phase) {
        case CyclePhase::PreShadow: return "pre-shadow";
        case CyclePhase::Retrograde: return "retrograde";
        case CyclePhase::PostShadow: return "post-shadow";
        case CyclePhase::Waxing: return "waxing";
    }
    return "";
}

void PlaceCycleLanes(TimelineLayout& layout, const TimelineModel& model, double top, double laneHeight,
                     double labelLeft, double line) {
    if (model.cycleLanes.empty()) return;
    const LaneRows sample = RowsOf(QRectF(0, 0, 1, laneHeight));
    layout.cycleFont = layout.font;
    const double strip = sample.bandTop - sample.signTop;
    if (QFontMetricsF(layout.cycleFont).height() > strip)
        layout.cycleFont.setPixelSize(std::max(1, static_cast<int>(strip)));
    const double left = layout.plot.left();
    const double right = layout.plot.right();
    for (std::size_t i = 0; i < model.cycleLanes.size(); ++i) {
        const double y = top + laneHeight * static_cast<double>(i);
        layout.cycleLanes.push_back({.rect = QRectF(left, y, right - left, laneHeight),
                                     .labelRect = QRectF(labelLeft, y, left - labelLeft - line * 0.5, laneHeight),
                                     .lane = &model.cycleLanes[i]});
        const LaneRows rows = RowsOf(layout.cycleLanes.back().rect);
        PlaceBands(layout, model.cycleLanes[i], static_cast<int>(i), rows);
        PlaceTicks(layout, model.cycleLanes[i], static_cast<int>(i), rows);
    }
}

std::string CyclePhasesAt(const TimelineModel& model, double ut) {
    std::string text;
    for (const CycleLane& lane : model.cycleLanes)
        for (const CycleSpan& span : lane.spans)
            if (span.startUt <= ut && ut < span.endUt) text += " \u00b7 " + lane.body + ": " + CyclePhaseName(span.phase);
    return text;
}

const CycleTickShape* CycleTickNear(const TimelineLayout& layout, const QPointF& pos, double tolerance) {
    return NearestTick(layout.cycleTicks, layout.cycleLanes, pos, tolerance);
}

std::string CycleTickToolTip(const CycleLane& lane, const CycleTick& tick) {
    const std::string moon = "\n" + tick.when + "\nMoon at " + DegreesInSign(tick.longitude);
    switch (tick.mark) {
        case CycleMark::NewMoon: return "New moon" + moon;
        case CycleMark::FirstQuarter: return "First quarter" + moon;
        case CycleMark::FullMoon: return "Full moon" + moon;
        case CycleMark::LastQuarter: return "Last quarter" + moon;
        case CycleMark::SolarEclipse:
        case CycleMark::LunarEclipse:
            return std::string(tick.mark == CycleMark::SolarEclipse ? "Solar" : "Lunar") + " eclipse (" + tick.type +
                   ")\ngreatest " + tick.when + "\nat " + DegreesInSign(tick.longitude);
        case CycleMark::StationRetrograde:
        case CycleMark::StationDirect:
            return lane.body + " stations " + (tick.mark == CycleMark::StationRetrograde ? "retrograde" : "direct") +
                   "\n" + tick.when + "\nat " + DegreesInSign(tick.longitude);
        case CycleMark::Ingress: break;
    }
    return lane.body + " enters " + cycles::kSignNames[std::clamp(tick.sign, 0, 11)] +
           (tick.retrograde ? " (retrograde)" : "") + "\n" + tick.when;
}

}  // namespace kovo::chart
