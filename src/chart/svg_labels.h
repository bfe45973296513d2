#pragma once
// Puts ids and classes on the shapes of an SVG document made by Qt SVG's generator,
// which writes one element per QPainter call but knows no names for them.
#include <QByteArray>
#include <vector>

#include "chart/timeline_painter.h"

namespace kovo::chart {

// Gives the n-th shape element (rect, path, polyline, polygon, line, ellipse; those in
// <defs> do not count) the n-th label's id and class. When the counts differ the
// document comes back unchanged, since a label on the wrong shape would mislead.
QByteArray LabelSvgShapes(const QByteArray& svg, const std::vector<ShapeLabel>& labels);

}  // namespace kovo::chart
