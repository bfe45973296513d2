#include "chart/timeline_layout.h"

#include <QFontMetricsF>
#include <algorithm>

#include "astro/catalogue.h"
#include "chart/cycle_layout.h"
#include "chart/local_time.h"

namespace kovo::chart {

namespace {

// Heights of the nested bands as parts of the outer band's.
constexpr std::array<double, 3> kBandHeight{1.0, 0.62, 0.28};
constexpr double kLanePadding = 0.12;  // above and below the outer band, as part of the lane
constexpr double kMinBandWidth = 1.0;  // pixels, so that a short inner stay still shows

QString Q(const std::string& text) { return QString::fromStdString(text); }

double LabelColumnWidth(const TimelineModel& model, const QFontMetricsF& metrics, double width) {
    double widest = 0;
    for (const Lane& lane : model.lanes) widest = std::max(widest, metrics.horizontalAdvance(Q(lane.label)));
    for (const CycleLane& lane : model.cycleLanes) widest = std::max(widest, metrics.horizontalAdvance(Q(lane.label)));
    const double column = widest + metrics.height();
    return std::clamp(column, metrics.height() * 2, width * 0.35);
}

ViewRange WholeRangeIfEmpty(const TimelineModel& model, const ViewRange& view) {
    if (view.endUt > view.startUt) return view;
    return {.startUt = model.rangeStartUt, .endUt = model.rangeEndUt};
}

void PlaceBands(TimelineLayout& layout, const TimelineModel& model) {
    const QRectF& plot = layout.plot;
    for (int level = 0; level < transits::kOrbLevels; ++level) {
        for (std::size_t i = 0; i < layout.lanes.size(); ++i) {
            const QRectF lane = layout.lanes[i].rect;
            const double outerHeight = lane.height() * (1 - 2 * kLanePadding);
            const double height = outerHeight * kBandHeight[static_cast<std::size_t>(level)];
            const double top = lane.center().y() - height / 2;
            for (const ChartPeriod& period : model.lanes[i].periods) {
                for (const TimeSpan& span : period.levels[static_cast<std::size_t>(level)]) {
                    double x0 = layout.axis.XOf(span.startUt);
                    double x1 = layout.axis.XOf(span.endUt);
                    if (x1 - x0 < kMinBandWidth) {
                        const double middle = (x0 + x1) / 2;
                        x0 = middle - kMinBandWidth / 2;
                        x1 = middle + kMinBandWidth / 2;
                    }
                    if (x1 < plot.left() || x0 > plot.right()) continue;
                    BandShape band;
                    band.level = level;
                    band.lane = static_cast<int>(i);
                    band.period = &period;
                    band.lineLeft = !span.cutAtStart && x0 >= plot.left();
                    band.lineRight = !span.cutAtEnd && x1 <= plot.right();
                    band.cutLeft = span.cutAtStart && x0 >= plot.left() - 0.5;
                    band.cutRight = span.cutAtEnd && x1 <= plot.right() + 0.5;
                    x0 = std::max(x0, plot.left());
                    x1 = std::min(x1, plot.right());
                    band.rect = QRectF(QPointF(x0, top), QPointF(x1, top + height));
                    layout.bands.push_back(band);
                }
            }
        }
    }
}

void PlaceTicks(TimelineLayout& layout, const TimelineModel& model) {
    for (std::size_t i = 0; i < layout.lanes.size(); ++i) {
        const QRectF lane = layout.lanes[i].rect;
        const double pad = lane.height() * kLanePadding * 0.5;
        for (const ChartPeriod& period : model.lanes[i].periods) {
            for (const ExactTick& tick : period.exact) {
                const double x = layout.axis.XOf(tick.instantUt);
                if (x < layout.plot.left() || x > layout.plot.right()) continue;
                layout.ticks.push_back({.line = QLineF(x, lane.top() + pad, x, lane.bottom() - pad),
                                        .lane = static_cast<int>(i),
                                        .period = &period,
                                        .tick = &tick});
            }
        }
    }
}

const char* LevelName(int level) {
    static const char* const names[] = {"outer", "middle", "inner"};
    return names[level];
}

// Each date label sits centred under its gridline. Near the picture's edges it moves in
// only as far as it must, so its gridline stays within it; a label that would then run
// into the one before is left out, its gridline kept.
void PlaceAxisLabels(TimelineLayout& layout, const QFontMetricsF& metrics) {
    const double gap = metrics.horizontalAdvance(QStringLiteral("  "));
    const double top = layout.axisLabels.top() + 4;
    const double height = layout.axisLabels.height() - 4;
    const double leftEdge = layout.bounds.left() + 2;
    const double rightEdge = layout.bounds.right() - 2;
    double lastRight = leftEdge - gap;
    for (const AxisTick& tick : layout.axisTicks) {
        const double x = layout.axis.XOf(tick.ut);
        const double width = metrics.horizontalAdvance(QString::fromStdString(tick.label));
        QRectF label(x - width / 2, top, width, height);
        if (label.right() > rightEdge) label.moveRight(rightEdge);
        if (label.left() < leftEdge) label.moveLeft(leftEdge);
        const bool fits = label.left() >= lastRight + gap && label.left() <= x && x <= label.right();
        layout.axisLabelRects.push_back(fits ? label : QRectF());
        if (fits) lastRight = label.right();
    }
}

}  // namespace

TimelineLayout LayOutTimeline(const TimelineModel& model, const QSizeF& size, const ViewRange& requested,
                              const QFont& font) {
    TimelineLayout layout;
    layout.font = font;
    layout.titleFont = font;
    if (font.pixelSize() > 0) layout.titleFont.setPixelSize(font.pixelSize() * 5 / 4);
    else layout.titleFont.setPointSizeF(font.pointSizeF() * 1.25);
    layout.titleFont.setBold(true);
    const QFontMetricsF metrics(font);
    const QFontMetricsF titleMetrics(layout.titleFont);
    const double line = metrics.height();
    const double margin = line * 0.8;
    layout.bounds = QRectF(QPointF(0, 0), size);

    double y = margin;
    layout.titleRect = QRectF(margin, y, size.width() - 2 * margin, titleMetrics.height());
    y += titleMetrics.height();
    layout.subtitleRect = QRectF(margin, y, size.width() - 2 * margin, line);
    y += line * 1.5;
    // The cycle lanes add a legend line of their own (a chart of cycles alone has only it).
    const double legendHeight =
        model.cycleLanes.empty() ? line * 2.6 : (model.lanes.empty() ? line * 1.5 : line * 3.8);
    const double axisHeight = line * 1.5;
    const double plotBottom = std::max(y + line, size.height() - margin - legendHeight - axisHeight);
    const double left = margin + LabelColumnWidth(model, metrics, size.width());
    const double right = std::max(left + 10, size.width() - margin);
    layout.plot = QRectF(QPointF(left, y), QPointF(right, plotBottom));
    layout.axisLabels = QRectF(left, plotBottom, right - left, axisHeight);
    layout.legend = QRectF(margin, plotBottom + axisHeight, size.width() - 2 * margin, legendHeight);

    const ViewRange view = WholeRangeIfEmpty(model, requested);
    layout.axis = {.startUt = view.startUt, .endUt = view.endUt, .left = left, .right = right};

    const std::size_t laneCount = model.lanes.size() + model.cycleLanes.size();
    const double laneHeight = layout.plot.height() / static_cast<double>(std::max<std::size_t>(1, laneCount));
    for (std::size_t i = 0; i < model.lanes.size(); ++i) {
        const double top = layout.plot.top() + laneHeight * static_cast<double>(i);
        layout.lanes.push_back({.rect = QRectF(left, top, right - left, laneHeight),
                                .labelRect = QRectF(margin, top, left - margin - line * 0.5, laneHeight),
                                .lane = &model.lanes[i]});
    }
    PlaceBands(layout, model);
    PlaceTicks(layout, model);
    PlaceCycleLanes(layout, model, layout.plot.top() + laneHeight * static_cast<double>(model.lanes.size()),
                    laneHeight, margin, line);

    const double labelWidth = metrics.horizontalAdvance(QStringLiteral("2026-12-31")) + line * 1.5;
    layout.axisTicks = DateTicks(model.Params(0), view.startUt, view.endUt, labelWidth / layout.axis.PixelsPerDay());
    PlaceAxisLabels(layout, metrics);
    return layout;
}

std::vector<Crossing> PeriodsAt(const TimelineModel& model, double ut) {
    std::vector<Crossing> crossings;
    for (const Lane& lane : model.lanes) {
        for (const ChartPeriod& period : lane.periods) {
            int innermost = -1;
            for (int level = 0; level < transits::kOrbLevels; ++level)
                for (const TimeSpan& span : period.levels[static_cast<std::size_t>(level)])
                    if (span.startUt <= ut && ut < span.endUt) innermost = level;
            if (innermost >= 0) crossings.push_back({.lane = &lane, .period = &period, .level = innermost});
        }
    }
    return crossings;
}

std::string CursorStatus(const TimelineModel& model, double ut) {
    std::string status = FormatLocalTime(model.Params(0), ut);
    const auto crossings = PeriodsAt(model, ut);
    const std::string phases = CyclePhasesAt(model, ut);
    const bool cyclesAlone = model.lanes.empty() && !model.cycleLanes.empty();
    if (crossings.empty()) return status + (cyclesAlone ? "" : " \u00b7 no period") + phases;
    for (const Crossing& c : crossings)
        status += " \u00b7 " + c.lane->label + ": " + LevelName(c.level) + " orb (" +
                  std::to_string(model.orbDegrees[static_cast<std::size_t>(c.level)]) + "\u00b0)";
    return status + phases;
}

const TickShape* TickNear(const TimelineLayout& layout, const QPointF& pos, double tolerance) {
    return NearestTick(layout.ticks, layout.lanes, pos, tolerance);
}

std::string TickToolTip(const TimelineModel& model, const TickShape& tick) {
    const transits::TransitRunParams& params = model.Params(tick.period->pair);
    return "Exact " + astro::AspectName[static_cast<std::size_t>(tick.period->aspect)] + " of " + params.firstName +
           " and " + params.secondName + "\n" + tick.tick->when + "\nminimum deviation " +
           FormatDeviation(tick.tick->deviation);
}

}  // namespace kovo::chart
