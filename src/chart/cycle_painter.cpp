#include "chart/cycle_painter.h"

#include <QFontMetricsF>

namespace kovo::chart {

namespace {

// Greys, so that they never read as one of the aspects' colours.
const QColor kShadow(0xC4, 0xC4, 0xC4);
const QColor kRetrograde(0x5A, 0x5A, 0x5A);
const QColor kStation(0x00, 0x00, 0x00);
const QColor kIngress(0x40, 0x40, 0x40);
const QColor kText(0x20, 0x20, 0x20);
const QColor kStripe(0xF4, 0xF4, 0xF4);
const QColor kWaxing(0xDC, 0xDC, 0xDC);

void PaintText(QPainter& p, const QRectF& rect, int flags, const std::string& text, const QFont& font) {
    p.setFont(font);
    p.setPen(kText);
    p.drawText(rect, flags, QString::fromStdString(text));
}

const char* PhaseWord(CyclePhase phase) {
    switch (phase) {
        case CyclePhase::PreShadow: return "pre";
        case CyclePhase::Retrograde: return "retro";
        case CyclePhase::PostShadow: return "post";
        case CyclePhase::Waxing: return "waxing";
    }
    return "";
}

const char* PhaseClass(CyclePhase phase) {
    switch (phase) {
        case CyclePhase::PreShadow: return "pre-shadow";
        case CyclePhase::Retrograde: return "retrograde-span";
        case CyclePhase::PostShadow: return "post-shadow";
        case CyclePhase::Waxing: return "waxing";
    }
    return "";
}

void PaintCutMark(ShapeWriter& w, const QRectF& r, bool left) {
    const double x = left ? r.left() : r.right();
    const double size = std::min(r.height() * 0.35, 6.0);
    const double dir = left ? -1 : 1;
    QPainterPath arrow;
    arrow.moveTo(x - dir * size, r.center().y() - size);
    arrow.lineTo(x, r.center().y());
    arrow.lineTo(x - dir * size, r.center().y() + size);
    w.Path(arrow, Qt::NoBrush, QPen(kStation, 1.2), "", "cut-mark");
}

void PaintTick(ShapeWriter& w, const TimelineLayout& layout, const CycleTickShape& shape, int& stations, int& ingresses) {
    const CycleTick& tick = *shape.tick;
    const std::string lane = std::to_string(shape.lane);
    if (CrossesBand(tick.mark)) {
        QPen pen(kStation, 2.0);
        pen.setCapStyle(Qt::FlatCap);
        const char* kind = tick.mark == CycleMark::StationRetrograde ? "station station-retrograde"
                           : tick.mark == CycleMark::StationDirect   ? "station station-direct"
                           : tick.mark == CycleMark::NewMoon         ? "phase new-moon"
                                                                     : "phase full-moon";
        w.Line(shape.line, pen, "station-" + lane + "-" + std::to_string(stations++), kind);
        return;
    }
    const bool eclipse = tick.mark == CycleMark::SolarEclipse || tick.mark == CycleMark::LunarEclipse;
    QPen pen(kIngress, eclipse ? 2.0 : 1.0);
    pen.setCapStyle(Qt::FlatCap);
    std::string kind = "ingress sign-" + std::to_string(tick.sign) + (tick.retrograde ? " reentry" : "");
    if (tick.mark == CycleMark::FirstQuarter || tick.mark == CycleMark::LastQuarter) kind = "phase quarter";
    if (eclipse) kind = std::string("eclipse ") + (tick.mark == CycleMark::SolarEclipse ? "solar " : "lunar ") + tick.type;
    w.Line(shape.line, pen, "ingress-" + lane + "-" + std::to_string(ingresses++), kind);
    if (!shape.labelRect.isEmpty())
        PaintText(w.Painter(), shape.labelRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip,
                  CycleTickLabel(tick), layout.cycleFont);
}

}  // namespace

QColor CyclePhaseColour(CyclePhase phase) {
    return phase == CyclePhase::Retrograde ? kRetrograde : phase == CyclePhase::Waxing ? kWaxing : kShadow;
}

std::string CycleBandId(int lane, const CycleSpan& span) {
    return "cycle-" + std::to_string(lane) + "-" + std::to_string(span.cycle) + "-" + PhaseWord(span.phase);
}

void PaintCycleLaneStripes(ShapeWriter& w, const TimelineLayout& layout, std::size_t firstStripe) {
    for (std::size_t i = 0; i < layout.cycleLanes.size(); ++i) {
        const CycleLaneShape& lane = layout.cycleLanes[i];
        w.Rect(lane.rect, (firstStripe + i) % 2 == 0 ? QBrush(kStripe) : QBrush(Qt::white), Qt::NoPen,
               "cycle-lane-" + std::to_string(i), "lane cycle-lane");
        QFont font = layout.font;
        const double fits = lane.rect.height() * 0.8;
        if (QFontMetricsF(font).height() > fits) font.setPixelSize(std::max(1, static_cast<int>(fits)));
        PaintText(w.Painter(), lane.labelRect, Qt::AlignRight | Qt::AlignVCenter, lane.lane->label, font);
    }
}

void PaintCycleShapes(ShapeWriter& w, const TimelineLayout& layout) {
    for (const CycleBandShape& band : layout.cycleBands) {
        const CycleSpan& span = *band.span;
        w.Rect(band.rect, CyclePhaseColour(span.phase), Qt::NoPen, CycleBandId(band.lane, span),
               std::string("cycle-band ") + PhaseClass(span.phase) + (band.cutLeft ? " cut-start" : "") +
                   (band.cutRight ? " cut-end" : ""));
        if (band.cutLeft) PaintCutMark(w, band.rect, true);
        if (band.cutRight) PaintCutMark(w, band.rect, false);
    }
    std::vector<int> stations(layout.cycleLanes.size(), 0);
    std::vector<int> ingresses(layout.cycleLanes.size(), 0);
    for (const CycleTickShape& shape : layout.cycleTicks) {
        const auto lane = static_cast<std::size_t>(shape.lane);
        PaintTick(w, layout, shape, stations[lane], ingresses[lane]);
    }
}

void PaintCycleLegend(ShapeWriter& w, const TimelineLayout& layout, double x, double y) {
    const QFontMetricsF metrics(layout.font);
    const double line = metrics.height();
    const double swatch = line * 0.7;
    auto text = [&](const std::string& t) {
        const double width = metrics.horizontalAdvance(QString::fromStdString(t));
        PaintText(w.Painter(), QRectF(x, y, width + 2, line), Qt::AlignLeft | Qt::AlignVCenter, t, layout.font);
        x += width + line;
    };
    auto box = [&](const QColor& colour) {
        w.Rect(QRectF(x, y + (line - swatch) / 2, swatch * 1.6, swatch), colour, Qt::NoPen, "", "legend");
        x += swatch * 1.6 + line * 0.3;
    };
    // A long tick (across the band) or a short one (in the strip above it), then its text.
    auto tick = [&](bool across, double width, const std::string& t) {
        w.Line(QLineF(x, y + line * 0.05, x, y + line * (across ? 0.95 : 0.5)), QPen(across ? kStation : kIngress, width),
               "", "legend");
        x += line * (across ? 0.5 : 0.3);
        text(t);
    };
    bool planets = false;
    bool moon = false;
    for (const CycleLaneShape& lane : layout.cycleLanes) (lane.lane->lunar ? moon : planets) = true;
    if (planets) {
        box(kShadow);
        text("pre- and post-shadow");
        box(kRetrograde);
        text("retrograde");
        tick(true, 2.0, "station");
        tick(false, 1.0, "sign ingress (Ari \u2026 Pis)");
    }
    if (moon) {
        box(kWaxing);
        text("waxing Moon");
        tick(true, 2.0, "new and full moon");
        tick(false, 1.0, "quarter");
        tick(false, 2.0, "eclipse (S ecl solar, L ecl lunar)");
    }
}

}  // namespace kovo::chart
