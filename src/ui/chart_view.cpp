#include "ui/chart_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "chart/chart_export.h"
#include "chart/timeline_painter.h"

namespace kovo::ui {

namespace {

constexpr double kTickTolerancePx = 4;

}  // namespace

ChartView::ChartView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("chartView"));
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(480, 300);
    setCursor(Qt::CrossCursor);
}

void ChartView::SetModel(chart::TimelineModel model) {
    model_ = std::move(model);
    cursorX_.reset();
    Fit();
    SetStatus({});
}

void ChartView::SetView(double startUt, double endUt) {
    const double range = model_.rangeEndUt - model_.rangeStartUt;
    double width = std::clamp(endUt - startUt, std::min(kNarrowestDays, range), range);
    double start = std::clamp(startUt, model_.rangeStartUt, model_.rangeEndUt - width);
    view_ = {.startUt = start, .endUt = start + width};
    if (cursorX_) MoveCursor(*cursorX_);
    update();
}

void ChartView::Fit() { SetView(model_.rangeStartUt, model_.rangeEndUt); }

void ChartView::ZoomAt(double factor, double x) {
    const chart::TimeAxis axis = CurrentLayout().axis;
    const double anchor = axis.UtOf(x);
    const double width = (view_.endUt - view_.startUt) / factor;
    const double share = (anchor - view_.startUt) / (view_.endUt - view_.startUt);
    SetView(anchor - share * width, anchor - share * width + width);
}

chart::TimelineLayout ChartView::CurrentLayout() const {
    return chart::LayOutTimeline(model_, QSizeF(size()), view_, chart::ChartFont());
}

double ChartView::PlotCentre() const { return CurrentLayout().plot.center().x(); }

void ChartView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const chart::TimelineLayout layout = CurrentLayout();
    chart::PaintTimeline(painter, model_, layout);
    if (cursorX_ && *cursorX_ >= layout.plot.left() && *cursorX_ <= layout.plot.right()) {
        painter.setPen(QPen(QColor(0xC0, 0x00, 0x00), 1));
        painter.drawLine(QLineF(*cursorX_, layout.plot.top(), *cursorX_, layout.plot.bottom()));
    }
}

void ChartView::wheelEvent(QWheelEvent* event) {
    const double notches = event->angleDelta().y() / 120.0;
    if (notches != 0) ZoomAt(std::pow(kZoomStep, notches), event->position().x());
    event->accept();
}

void ChartView::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            ZoomIn();
            break;
        case Qt::Key_Minus:
        case Qt::Key_Underscore:
            ZoomOut();
            break;
        case Qt::Key_Left:
        case Qt::Key_Right: {
            const double shift = (view_.endUt - view_.startUt) * (event->key() == Qt::Key_Left ? -0.1 : 0.1);
            SetView(view_.startUt + shift, view_.endUt + shift);
            break;
        }
        default:
            QWidget::keyPressEvent(event);
    }
}

void ChartView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        dragFrom_ = event->position().toPoint();
        setCursor(Qt::ClosedHandCursor);
    }
}

void ChartView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (dragFrom_) {
        const double shift = (at.x() - dragFrom_->x()) / CurrentLayout().axis.PixelsPerDay();
        dragFrom_ = at;
        SetView(view_.startUt - shift, view_.endUt - shift);
    }
    MoveCursor(at.x());
}

void ChartView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        dragFrom_.reset();
        setCursor(Qt::CrossCursor);
    }
}

void ChartView::leaveEvent(QEvent*) {
    cursorX_.reset();
    SetStatus({});
    update();
}

bool ChartView::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip) return QWidget::event(event);
    auto* help = static_cast<QHelpEvent*>(event);
    const chart::TimelineLayout layout = CurrentLayout();
    const chart::TickShape* tick = chart::TickNear(layout, help->pos(), kTickTolerancePx);
    const chart::CycleTickShape* cycleTick = chart::CycleTickNear(layout, help->pos(), kTickTolerancePx);
    std::string text;
    if (tick != nullptr) text = chart::TickToolTip(model_, *tick);
    else if (cycleTick != nullptr)
        text = chart::CycleTickToolTip(*layout.cycleLanes[static_cast<std::size_t>(cycleTick->lane)].lane, *cycleTick->tick);
    if (!text.empty()) QToolTip::showText(help->globalPos(), QString::fromStdString(text), this);
    else QToolTip::hideText();
    return true;
}

void ChartView::MoveCursor(double x) {
    const chart::TimelineLayout layout = CurrentLayout();
    if (x < layout.plot.left() || x > layout.plot.right()) {
        cursorX_.reset();
        SetStatus({});
    } else {
        cursorX_ = x;
        SetStatus(QString::fromStdString(chart::CursorStatus(model_, layout.axis.UtOf(x))));
    }
    update();
}

void ChartView::SetStatus(const QString& text) {
    if (text == status_) return;
    status_ = text;
    emit StatusChanged(status_);
}

}  // namespace kovo::ui
