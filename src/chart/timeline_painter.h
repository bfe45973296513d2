#pragma once
// Draws a laid-out timeline with any QPainter: window, image, SVG generator or printer.
#include <QColor>
#include <QPainter>
#include <string>
#include <vector>

#include "chart/timeline_layout.h"
#include "chart/timeline_model.h"

namespace kovo::chart {

// The name of one drawn shape (rectangle, line or path; texts have none), in drawing
// order, for the SVG file: `id` is unique or empty, `cls` a space-separated class list.
struct ShapeLabel {
    std::string id;
    std::string cls;
};

// Each shape is one QPainter call, so that a vector device writes one element per
// label. With `labels`, the labels of the shapes are appended in drawing order.
void PaintTimeline(QPainter& painter, const TimelineModel& model, const TimelineLayout& layout,
                   std::vector<ShapeLabel>* labels = nullptr);

// The colour of an aspect's orb level: the Okabe-Ito colour of the aspect for the inner
// orb, lighter shades of it for the middle and outer ones.
QColor AspectColour(int aspect, int level);

// Element ids of the shapes tests and scripts look for.
std::string BandId(const ChartPeriod& period, int level, std::size_t span);
std::string ExactId(const ChartPeriod& period, std::size_t tick);
std::string AxisTickId(std::int32_t day);  // "tick-2026-03-01"

}  // namespace kovo::chart
