#pragma once
// Where everything of the timeline chart goes for one size and view: title, lanes,
// bands, exact ticks, date axis and legend, in pixels. The painter draws this; the
// window hit-tests it for the cursor and the tooltips.
#include <QFont>
#include <QLineF>
#include <QRectF>
#include <QSizeF>
#include <cmath>
#include <vector>

#include "chart/axis_ticks.h"
#include "chart/timeline_model.h"

namespace kovo::chart {

// The shown stretch of time (Julian Days UT) and the plot's left and right edges.
struct TimeAxis {
    double startUt = 0;
    double endUt = 1;
    double left = 0;
    double right = 1;

    double XOf(double ut) const { return left + (ut - startUt) / (endUt - startUt) * (right - left); }
    double UtOf(double x) const { return startUt + (x - left) / (right - left) * (endUt - startUt); }
    double PixelsPerDay() const { return (right - left) / (endUt - startUt); }
};

struct BandShape {
    QRectF rect;
    int level = 0;
    bool lineLeft = true;   // false where the span goes on beyond the plot or the range
    bool lineRight = true;
    bool cutLeft = false;   // the range cut it: drawn open, with a marker
    bool cutRight = false;
    int lane = 0;
    const ChartPeriod* period = nullptr;
};

struct TickShape {
    QLineF line;
    int lane = 0;
    const ChartPeriod* period = nullptr;
    const ExactTick* tick = nullptr;
};

struct LaneShape {
    QRectF rect;       // across the plot
    QRectF labelRect;  // left of the plot
    const Lane* lane = nullptr;
};

// ---- the cycle lanes, under the aspect lanes ----------------------------------------

struct CycleLaneShape {
    QRectF rect;       // across the plot
    QRectF labelRect;  // left of the plot
    const CycleLane* lane = nullptr;
};

struct CycleBandShape {
    QRectF rect;
    bool cutLeft = false;  // the range cut the phase here: drawn open, with a marker
    bool cutRight = false;
    int lane = 0;  // index into TimelineLayout::cycleLanes
    const CycleSpan* span = nullptr;
};

struct CycleTickShape {
    QLineF line;
    QRectF labelRect;  // an ingress's sign name; empty: no label (none, or no room for it)
    int lane = 0;
    const CycleTick* tick = nullptr;
};

struct TimelineLayout {
    QRectF bounds;
    QRectF titleRect;
    QRectF subtitleRect;
    QRectF plot;
    QRectF axisLabels;  // the strip under the plot
    QRectF legend;
    TimeAxis axis;
    std::vector<LaneShape> lanes;
    std::vector<BandShape> bands;  // outer bands first, then middle, then inner
    std::vector<TickShape> ticks;
    std::vector<AxisTick> axisTicks;
    std::vector<QRectF> axisLabelRects;  // one per axis tick; an empty rectangle: no label
    std::vector<CycleLaneShape> cycleLanes;
    std::vector<CycleBandShape> cycleBands;
    std::vector<CycleTickShape> cycleTicks;
    QFont font;
    QFont titleFont;
    QFont cycleFont;  // the ingresses' sign names
};

// The view: what part of the range shows. Empty (start >= end) means the whole range.
struct ViewRange {
    double startUt = 0;
    double endUt = 0;
};

TimelineLayout LayOutTimeline(const TimelineModel& model, const QSizeF& size, const ViewRange& view,
                              const QFont& font);

// ---- the cursor -------------------------------------------------------------------

struct Crossing {
    const Lane* lane = nullptr;
    const ChartPeriod* period = nullptr;
    int level = 0;  // the innermost orb the instant lies in
};

// The periods an instant lies in, lane by lane.
std::vector<Crossing> PeriodsAt(const TimelineModel& model, double ut);

// The status line for the cursor at `ut`: its local date and time and the periods it
// crosses with their orb levels, "2026-05-14 12:00 GMT · Square: inner orb (2°)".
std::string CursorStatus(const TimelineModel& model, double ut);

// The exact tick nearest to `pos` within `tolerance` pixels across, in the lane under it.
// The tick of `ticks` in the lane under `pos` whose line lies nearest it, within
// `tolerance` pixels; a later tick wins a tie. Ticks and lanes of either kind.
template <typename Tick, typename Lane>
const Tick* NearestTick(const std::vector<Tick>& ticks, const std::vector<Lane>& lanes, const QPointF& pos,
                        double tolerance) {
    const Tick* best = nullptr;
    double bestDistance = tolerance;
    for (const Tick& tick : ticks) {
        const QRectF& lane = lanes[static_cast<std::size_t>(tick.lane)].rect;
        if (pos.y() < lane.top() || pos.y() >= lane.bottom()) continue;
        const double distance = std::abs(tick.line.x1() - pos.x());
        if (distance <= bestDistance) {
            best = &tick;
            bestDistance = distance;
        }
    }
    return best;
}

const TickShape* TickNear(const TimelineLayout& layout, const QPointF& pos, double tolerance);

// The station or ingress tick nearest to `pos` within `tolerance` pixels across, in the
// cycle lane under it.
const CycleTickShape* CycleTickNear(const TimelineLayout& layout, const QPointF& pos, double tolerance);

// "Mercury stations retrograde\n2024-04-01 22:14 GMT\nat 27°13' Aries", or
// "Mercury enters Taurus\n2024-05-15 15:05 GMT".
std::string CycleTickToolTip(const CycleLane& lane, const CycleTick& tick);

// "Exact Square, Mars–Jupiter\n2026-03-05 14:32 GMT\nminimum deviation 0°00'17\"".
std::string TickToolTip(const TimelineModel& model, const TickShape& tick);

}  // namespace kovo::chart
