#pragma once
// The drawing area of the chart window: paints the timeline for its size and view,
// zooms with the wheel and the +/- keys, pans by dragging, and follows the mouse with a
// vertical cursor whose date and crossed periods it reports for the status line.
#include <QPoint>
#include <QString>
#include <QWidget>
#include <optional>

#include "chart/timeline_layout.h"
#include "chart/timeline_model.h"

namespace kovo::ui {

class ChartView : public QWidget {
    Q_OBJECT

public:
    explicit ChartView(QWidget* parent = nullptr);

    void SetModel(chart::TimelineModel model);
    const chart::TimelineModel& Model() const { return model_; }

    // The shown stretch of time, Julian Days UT; never wider than the range.
    const chart::ViewRange& View() const { return view_; }
    void SetView(double startUt, double endUt);
    void Fit();
    // Factor > 1 zooms in, keeping the instant under x where it is.
    void ZoomAt(double factor, double x);
    void ZoomIn() { ZoomAt(kZoomStep, PlotCentre()); }
    void ZoomOut() { ZoomAt(1 / kZoomStep, PlotCentre()); }

    // The layout of the last paint (or of the current size and view, before any).
    chart::TimelineLayout CurrentLayout() const;
    std::optional<double> CursorX() const { return cursorX_; }

    static constexpr double kZoomStep = 1.25;
    static constexpr double kNarrowestDays = 0.25;  // six hours across

signals:
    void StatusChanged(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    double PlotCentre() const;
    void MoveCursor(double x);
    void SetStatus(const QString& text);

    chart::TimelineModel model_;
    chart::ViewRange view_;
    std::optional<double> cursorX_;
    std::optional<QPoint> dragFrom_;
    QString status_;
};

}  // namespace kovo::ui
