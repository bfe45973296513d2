#include "chart/timeline_painter.h"

#include <QFontMetricsF>
#include <QPainterPath>
#include <array>

#include "astro/catalogue.h"
#include "calendar/calendar_services.h"
#include "chart/cycle_painter.h"
#include "chart/shape_writer.h"

namespace kovo::chart {

namespace {

// Okabe-Ito: told apart also with the common colour-vision deficiencies.
const std::array<QColor, 8> kBaseColour{QColor(0x00, 0x00, 0x00), QColor(0xD5, 0x5E, 0x00), QColor(0x00, 0x72, 0xB2),
                                        QColor(0xE6, 0x9F, 0x00), QColor(0x00, 0x9E, 0x73), QColor(0x56, 0xB4, 0xE9),
                                        QColor(0xCC, 0x79, 0xA7), QColor(0xF0, 0xE4, 0x42)};
constexpr std::array<double, 3> kWhiteShare{0.72, 0.42, 0.0};
const char* const kLevelNames[] = {"outer", "middle", "inner"};

const QColor kText(0x20, 0x20, 0x20);
const QColor kGrid(0xD8, 0xD8, 0xD8);
const QColor kStripe(0xF4, 0xF4, 0xF4);

QString Q(const std::string& text) { return QString::fromStdString(text); }

QPen Outline(int aspect, bool dashed) {
    QPen pen(AspectColour(aspect, transits::kInnerOrb).darker(140), 1.2);
    if (dashed) pen.setStyle(Qt::DashLine);
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

std::string Classes(const ChartPeriod& period, const char* kind) {
    return std::string(kind) + " aspect-" + std::to_string(period.aspect) + (period.retrograde ? " retrograde" : "");
}

void PaintText(QPainter& p, const QRectF& rect, int flags, const std::string& text, const QFont& font) {
    p.setFont(font);
    p.setPen(kText);
    p.drawText(rect, flags, Q(text));
}

void PaintLanes(ShapeWriter& w, const TimelineLayout& layout) {
    for (std::size_t i = 0; i < layout.lanes.size(); ++i) {
        const LaneShape& lane = layout.lanes[i];
        w.Rect(lane.rect, i % 2 == 0 ? QBrush(kStripe) : QBrush(Qt::white), Qt::NoPen, "lane-" + std::to_string(i),
               "lane");
        QFont font = layout.font;
        const double fits = lane.rect.height() * 0.8;
        if (QFontMetricsF(font).height() > fits) font.setPixelSize(std::max(1, static_cast<int>(fits)));
        PaintText(w.Painter(), lane.labelRect, Qt::AlignRight | Qt::AlignVCenter, lane.lane->label, font);
    }
}

void PaintAxis(ShapeWriter& w, const TimelineLayout& layout) {
    for (std::size_t i = 0; i < layout.axisTicks.size(); ++i) {
        const AxisTick& tick = layout.axisTicks[i];
        const double x = layout.axis.XOf(tick.ut);
        w.Line(QLineF(x, layout.plot.top(), x, layout.plot.bottom() + 4), QPen(kGrid, 1), AxisTickId(tick.day),
               "axis-tick");
        const QRectF& label = layout.axisLabelRects[i];
        // Qt::TextDontClip: the box is exactly as wide as the text.
        if (!label.isEmpty())
            PaintText(w.Painter(), label, Qt::AlignHCenter | Qt::AlignTop | Qt::TextDontClip, tick.label, layout.font);
    }
}

void PaintBands(ShapeWriter& w, const TimelineLayout& layout) {
    std::size_t spanOfPeriod = 0;
    const ChartPeriod* last = nullptr;
    int lastLevel = -1;
    for (const BandShape& band : layout.bands) {
        spanOfPeriod = band.period == last && band.level == lastLevel ? spanOfPeriod + 1 : 0;
        last = band.period;
        lastLevel = band.level;
        const QColor fill = AspectColour(band.period->aspect, band.level);
        w.Rect(band.rect, fill, Qt::NoPen, BandId(*band.period, band.level, spanOfPeriod),
               Classes(*band.period, "band") + " " + kLevelNames[band.level]);
    }
}

// The outer band's outline, left out at an edge where the period goes on beyond the
// plot or the range, with an arrowhead at the range's cut.
void PaintOutlines(ShapeWriter& w, const TimelineLayout& layout) {
    for (const BandShape& band : layout.bands) {
        if (band.level != transits::kOuterOrb) continue;
        const QRectF& r = band.rect;
        QPainterPath path;
        path.moveTo(band.lineLeft ? r.bottomLeft() : r.topLeft());
        if (band.lineLeft) path.lineTo(r.topLeft());
        path.lineTo(r.topRight());
        if (band.lineRight) path.lineTo(r.bottomRight());
        else path.moveTo(r.bottomRight());
        path.lineTo(r.bottomLeft());
        const std::string id = BandId(*band.period, band.level, 0);
        w.Path(path, Qt::NoBrush, Outline(band.period->aspect, band.period->retrograde), id.substr(0, id.rfind('-')) + "-outline",
               Classes(*band.period, "outline") + (band.cutLeft ? " cut-start" : "") + (band.cutRight ? " cut-end" : ""));
        for (const bool left : {true, false}) {
            if (!(left ? band.cutLeft : band.cutRight)) continue;
            const double x = left ? r.left() : r.right();
            const double size = std::min(r.height() * 0.35, 6.0);
            const double dir = left ? -1 : 1;
            QPainterPath arrow;
            arrow.moveTo(x - dir * size, r.center().y() - size);
            arrow.lineTo(x, r.center().y());
            arrow.lineTo(x - dir * size, r.center().y() + size);
            w.Path(arrow, Qt::NoBrush, Outline(band.period->aspect, false), "", "cut-mark");
        }
    }
}

void PaintTicks(ShapeWriter& w, const TimelineLayout& layout) {
    for (const TickShape& tick : layout.ticks) {
        const auto index = static_cast<std::size_t>(tick.tick - tick.period->exact.data());
        QPen pen(kText, 1.5);
        pen.setCapStyle(Qt::FlatCap);
        w.Line(tick.line, pen, ExactId(*tick.period, index), Classes(*tick.period, "exact"));
    }
}

std::vector<int> AspectsShown(const TimelineModel& model) {
    std::vector<int> aspects;
    for (const Lane& lane : model.lanes)
        if (std::find(aspects.begin(), aspects.end(), lane.aspect) == aspects.end()) aspects.push_back(lane.aspect);
    std::sort(aspects.begin(), aspects.end());
    return aspects;
}

void PaintAspectLegend(ShapeWriter& w, const TimelineModel& model, const TimelineLayout& layout) {
    QPainter& p = w.Painter();
    const QFontMetricsF metrics(layout.font);
    const double line = metrics.height();
    const double swatch = line * 0.7;
    double x = layout.legend.left();
    double y = layout.legend.top() + line * 0.3;
    auto text = [&](const std::string& t) {
        PaintText(p, QRectF(x, y, metrics.horizontalAdvance(Q(t)) + 2, line), Qt::AlignLeft | Qt::AlignVCenter, t,
                  layout.font);
        x += metrics.horizontalAdvance(Q(t)) + line;
    };
    for (const int aspect : AspectsShown(model)) {
        for (int level = 0; level < transits::kOrbLevels; ++level) {
            w.Rect(QRectF(x, y + (line - swatch) / 2, swatch, swatch), AspectColour(aspect, level), Qt::NoPen, "",
                   "legend");
            x += swatch;
        }
        x += line * 0.3;
        text(astro::AspectName[static_cast<std::size_t>(aspect)]);
    }
    x = layout.legend.left();
    y += line * 1.2;
    const auto& orbs = model.orbDegrees;
    text("Bands, light to dark: outer " + std::to_string(orbs[0]) + "\u00b0, middle " + std::to_string(orbs[1]) +
         "\u00b0, inner " + std::to_string(orbs[2]) + "\u00b0 orb");
    w.Line(QLineF(x, y + line * 0.1, x, y + line * 0.9), QPen(kText, 1.5), "", "legend");
    x += line * 0.5;
    text("exact minimum");
    if (!model.retrogradeBody.empty()) {
        w.Rect(QRectF(x, y + line * 0.2, line * 1.4, line * 0.6), Qt::NoBrush, Outline(0, true), "", "legend");
        x += line * 1.8;
        text(model.retrogradeBody + " retrograde");
    }
    QPainterPath chevron;
    chevron.moveTo(x + line * 0.3, y + line * 0.2);
    chevron.lineTo(x, y + line * 0.5);
    chevron.lineTo(x + line * 0.3, y + line * 0.8);
    w.Path(chevron, Qt::NoBrush, QPen(kText, 1.2), "", "legend");
    x += line * 0.7;
    text("open end: the range cuts the period");
}

void PaintLegend(ShapeWriter& w, const TimelineModel& model, const TimelineLayout& layout) {
    const double line = QFontMetricsF(layout.font).height();
    double y = layout.legend.top() + line * 0.3;
    if (!model.lanes.empty() || model.cycleLanes.empty()) {
        PaintAspectLegend(w, model, layout);
        y += line * 2.4;
    }
    if (!model.cycleLanes.empty()) PaintCycleLegend(w, layout, layout.legend.left(), y);
}

// Where "Not found" goes: over the aspect lanes, so that it leaves the cycle lanes readable.
QRectF EmptyTextRect(const TimelineLayout& layout) {
    if (layout.cycleLanes.empty() || layout.lanes.empty()) return layout.plot;
    return QRectF(layout.lanes.front().rect.topLeft(), layout.lanes.back().rect.bottomRight());
}

}  // namespace

QColor AspectColour(int aspect, int level) {
    const QColor base = kBaseColour[static_cast<std::size_t>(std::clamp(aspect, 0, 7))];
    const double white = kWhiteShare[static_cast<std::size_t>(std::clamp(level, 0, 2))];
    auto mix = [white](int c) { return static_cast<int>(c + (255 - c) * white + 0.5); };
    return QColor(mix(base.red()), mix(base.green()), mix(base.blue()));
}

std::string BandId(const ChartPeriod& period, int level, std::size_t span) {
    std::string id = "period-" + std::to_string(period.pair) + "-" + std::to_string(period.period) + "-" +
                     kLevelNames[level];
    if (level != transits::kOuterOrb) id += "-" + std::to_string(span);
    return id;
}

std::string ExactId(const ChartPeriod& period, std::size_t tick) {
    return "exact-" + std::to_string(period.pair) + "-" + std::to_string(period.period) + "-" + std::to_string(tick);
}

std::string AxisTickId(std::int32_t day) { return "tick-" + calendar::FormatDayNumberIso(day); }

void PaintTimeline(QPainter& painter, const TimelineModel& model, const TimelineLayout& layout,
                   std::vector<ShapeLabel>* labels) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    ShapeWriter w(painter, labels);
    w.Rect(layout.bounds, Qt::white, Qt::NoPen, "background", "background");
    PaintText(painter, layout.titleRect, Qt::AlignLeft | Qt::AlignVCenter, model.title, layout.titleFont);
    PaintText(painter, layout.subtitleRect, Qt::AlignLeft | Qt::AlignVCenter, model.subtitle, layout.font);
    PaintLanes(w, layout);
    PaintCycleLaneStripes(w, layout, layout.lanes.size());
    PaintAxis(w, layout);
    PaintBands(w, layout);
    PaintOutlines(w, layout);
    PaintTicks(w, layout);
    PaintCycleShapes(w, layout);
    w.Rect(layout.plot, Qt::NoBrush, QPen(QColor(0x80, 0x80, 0x80), 1), "plot", "plot");
    if (!model.emptyText.empty()) {
        QFont big = layout.titleFont;
        PaintText(painter, EmptyTextRect(layout), Qt::AlignCenter | Qt::TextWordWrap, model.emptyText, big);
    }
    PaintLegend(w, model, layout);
    painter.restore();
}

}  // namespace kovo::chart
