#pragma once
// Draws the cycle lanes of a laid-out timeline: the lanes' stripes and labels, the
// cycles' spans (shadows light, retrograde dark), the stations, the ingresses with their
// signs' short names, and the legend line that explains them.
#include <QColor>
#include <cstddef>

#include "chart/cycle_lane.h"
#include "chart/shape_writer.h"
#include "chart/timeline_layout.h"

namespace kovo::chart {

// The stripes go under the date grid; `firstStripe` continues the aspect lanes' alternation.
void PaintCycleLaneStripes(ShapeWriter& w, const TimelineLayout& layout, std::size_t firstStripe);
void PaintCycleShapes(ShapeWriter& w, const TimelineLayout& layout);
// One legend line from (x, y), `line` pixels high.
void PaintCycleLegend(ShapeWriter& w, const TimelineLayout& layout, double x, double y);

QColor CyclePhaseColour(CyclePhase phase);

// Element ids: "cycle-0-2-retro", "station-0-3", "ingress-0-5".
std::string CycleBandId(int lane, const CycleSpan& span);

}  // namespace kovo::chart
