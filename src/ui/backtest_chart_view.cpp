#include "ui/backtest_chart_view.h"

#include <QMouseEvent>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace kovo::ui {

QString ChartTitleHtml(const QString& heading, const QString& context) {
    return QStringLiteral("<b>") + heading.toHtmlEscaped() + QStringLiteral("</b>") +
           (context.isEmpty() ? QString()
                              : QStringLiteral("<br><small>") + context.toHtmlEscaped() + QStringLiteral("</small>"));
}

ZoomChartView::ZoomChartView(QWidget* parent) : QChartView(new QChart(), parent) {
    setRenderHint(QPainter::Antialiasing);
    setMouseTracking(true);
}

// One notch narrows the time span by a fifth; the date under the pointer stays put.
void ZoomChartView::wheelEvent(QWheelEvent* event) {
    const QRectF plot = chart()->plotArea();
    const double steps = event->angleDelta().y() / 120.0;
    if (steps == 0 || plot.width() <= 0) return;
    const double factor = std::pow(0.8, steps);
    const double at = std::clamp(event->position().x(), plot.left(), plot.right());
    const double left = at - (at - plot.left()) * factor;
    chart()->zoomIn(QRectF(left, plot.top(), plot.width() * factor, plot.height()));
    event->accept();
}

void ZoomChartView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        dragFrom_ = event->position();
        setCursor(Qt::ClosedHandCursor);
    }
    QChartView::mousePressEvent(event);
}

void ZoomChartView::mouseMoveEvent(QMouseEvent* event) {
    if (dragFrom_) {
        const QPointF moved = event->position() - *dragFrom_;
        chart()->scroll(-moved.x(), moved.y());
        dragFrom_ = event->position();
    } else if (tipText && !chart()->series().isEmpty() && chart()->plotArea().contains(event->position())) {
        const double x = chart()->mapToValue(event->position(), chart()->series().front()).x();
        const QString text = tipText(x);
        if (text.isEmpty()) QToolTip::hideText();
        else
            QToolTip::showText(event->globalPosition().toPoint(),
                               text + QStringLiteral("\nWheel: zoom, drag: pan, double-click: whole range"), this);
    }
    QChartView::mouseMoveEvent(event);
}

void ZoomChartView::mouseReleaseEvent(QMouseEvent* event) {
    dragFrom_.reset();
    unsetCursor();
    QChartView::mouseReleaseEvent(event);
}

void ZoomChartView::mouseDoubleClickEvent(QMouseEvent* event) {
    chart()->zoomReset();
    QChartView::mouseDoubleClickEvent(event);
}

}  // namespace kovo::ui
