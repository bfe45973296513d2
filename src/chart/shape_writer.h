#pragma once
// Draws the chart's shapes one QPainter call each and keeps their SVG labels in step:
// a vector device writes one element per call, and the labels are matched to the
// elements in drawing order.
#include <QBrush>
#include <QLineF>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QRectF>
#include <string>
#include <vector>

#include "chart/timeline_painter.h"

namespace kovo::chart {

class ShapeWriter {
public:
    ShapeWriter(QPainter& painter, std::vector<ShapeLabel>* labels) : p_(painter), labels_(labels) {}

    void Rect(const QRectF& rect, const QBrush& brush, const QPen& pen, std::string id, std::string cls) {
        p_.setPen(pen);
        p_.setBrush(brush);
        p_.drawRect(rect);
        Label(std::move(id), std::move(cls));
    }
    void Line(const QLineF& line, const QPen& pen, std::string id, std::string cls) {
        p_.setPen(pen);
        p_.drawLine(line);
        Label(std::move(id), std::move(cls));
    }
    void Path(const QPainterPath& path, const QBrush& brush, const QPen& pen, std::string id, std::string cls) {
        p_.setPen(pen);
        p_.setBrush(brush);
        p_.drawPath(path);
        Label(std::move(id), std::move(cls));
    }
    QPainter& Painter() { return p_; }

private:
    void Label(std::string id, std::string cls) {
        if (labels_ != nullptr) labels_->push_back({std::move(id), std::move(cls)});
    }
    QPainter& p_;
    std::vector<ShapeLabel>* labels_;
};

}  // namespace kovo::chart
