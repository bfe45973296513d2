#pragma once
// A chart view for long daily series: the wheel zooms the time axis around the pointer,
// a drag pans, a double-click shows everything again, and the pointer's tooltip says what
// the chart holds at that date (TipText, given the x value in milliseconds since 1970).
#include <QChartView>
#include <functional>

namespace kovo::ui {

// A chart title: the heading in bold over the run's description in a smaller type.
QString ChartTitleHtml(const QString& heading, const QString& context);

class ZoomChartView : public QChartView {
    Q_OBJECT

public:
    explicit ZoomChartView(QWidget* parent);

    std::function<QString(double x)> tipText;

protected:
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    std::optional<QPointF> dragFrom_;
};

}  // namespace kovo::ui
