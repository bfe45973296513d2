#pragma once
// The research window's scatter plot, drawn with Qt Charts: every rule shown by the
// table's filters as a point at its excess return over the baseline (x, percent of the
// mean trade) and -log10 of its p-value (y: 1 is p = 0.1, 2 is p = 0.01). Rules that
// pass q < 0.10 form a series of their own, drawn larger and in another shape, and the
// best of them (by rank) carry their names. Rules without an excess or a p are not
// drawn. A click on a point names its rule (ruleClicked); the chosen rule is ringed.
#include <QObject>
#include <QPoint>
#include <QString>
#include <optional>
#include <vector>

#include "sweep/sweep_run.h"

class QChartView;
class QScatterSeries;
class QValueAxis;
class QWidget;

namespace kovo::ui {

class ResearchPlot : public QObject {
    Q_OBJECT

public:
    // At most this many survivors are named on the plot, so that the names stay legible.
    static constexpr int kMaxLabels = 15;

    explicit ResearchPlot(QWidget* parent);

    QChartView* View() const { return view_; }
    // Draws the rules `shown` (indexes into result.rows, in rank order). `result` must
    // outlive the plot's use of it, until the next Show or Clear.
    void Show(const sweep::SweepResult& result, const std::vector<int>& shown);
    void Clear();
    // Rings a rule's point; a rule not drawn (or -1) rings nothing.
    void Highlight(int rule);
    int Highlighted() const { return highlighted_; }
    // The centre of a rule's point in the view's viewport, when it is drawn.
    std::optional<QPoint> PointPosition(int rule) const;
    // The rules drawn, in rank order.
    const std::vector<int>& Plotted() const { return plotted_; }

    // "Mars-Jupiter Trine 10° long", "Earth-Jupiter helio Square 5° short",
    // "Mercury cycles Retrograde long".
    static QString RuleLabel(const sweep::SweepRow& row);

signals:
    void ruleClicked(int rule);

private:
    QScatterSeries* AddSeries(const QString& name, bool inLegend);
    void Clicked(const QScatterSeries* series, const QPointF& point);
    void Hovered(const QScatterSeries* series, const QPointF& point, bool entered);
    int RuleAt(const QScatterSeries* series, const QPointF& point) const;
    void FitAxes();

    QChartView* view_;
    QValueAxis* axisX_;
    QValueAxis* axisY_;
    QScatterSeries* ring_ = nullptr;
    const sweep::SweepResult* result_ = nullptr;
    std::vector<int> plotted_;
    // For each series drawn, the rule of each of its points, in the series' order.
    std::vector<std::pair<const QScatterSeries*, std::vector<int>>> rulesOf_;
    int highlighted_ = -1;
};

}  // namespace kovo::ui
