#include "ui/research_plot.h"

#include <QChart>
#include <QChartView>
#include <QLegendMarker>
#include <QScatterSeries>
#include <QToolTip>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "backtest/backtest_table.h"
#include "ui/qt_text.h"

namespace kovo::ui {

namespace {

using sweep::Figure;

const QColor kRuleColour(90, 130, 190, 170);
const QColor kSurvivorColour(215, 60, 30);

// A rule's place on the plot: excess % across, -log10 p up.
std::optional<QPointF> PointOf(const sweep::SweepRow& row) {
    const std::optional<double>& excess = row[Figure::ExcessPct];
    const std::optional<double>& p = row[Figure::P];
    if (!excess || !p || !(*p > 0) || !std::isfinite(*excess)) return std::nullopt;
    return QPointF(*excess, -std::log10(*p));
}

QString Figure4(const std::optional<double>& value) {
    return value ? QString::number(*value, 'f', 4) : QStringLiteral("-");
}

}  // namespace

ResearchPlot::ResearchPlot(QWidget* parent)
    : QObject(parent), view_(new QChartView(new QChart(), parent)), axisX_(new QValueAxis(this)),
      axisY_(new QValueAxis(this)) {
    view_->setObjectName(QStringLiteral("chartRules"));
    view_->setRenderHint(QPainter::Antialiasing);
    view_->setMinimumHeight(200);
    QChart* chart = view_->chart();
    // The axis titles say what the plot shows; a chart title would take the points' room.
    chart->legend()->setAlignment(Qt::AlignTop);
    chart->setMargins(QMargins(4, 0, 4, 0));
    axisX_->setTitleText(QStringLiteral("Excess % (mean trade return above random holds of the same lengths)"));
    axisY_->setTitleText(QStringLiteral("-log10 p (2 = p of 0.01)"));
    axisX_->setLabelFormat(QStringLiteral("%g"));
    axisY_->setLabelFormat(QStringLiteral("%g"));
    chart->addAxis(axisX_, Qt::AlignBottom);
    chart->addAxis(axisY_, Qt::AlignLeft);
    Clear();
}

QString ResearchPlot::RuleLabel(const sweep::SweepRow& row) {
    QString label = ToQ(sweep::UnitName(row.unit));
    if (row.unit.kind == sweep::UnitKind::Pair && row.unit.pair.heliocentric) label += QStringLiteral(" helio");
    label += QLatin1Char(' ') + ToQ(row.rule);
    if (row.aspect != 0) label += QLatin1Char(' ') + QString::number(row.orbDegrees) + QStringLiteral("°");
    return label + QLatin1Char(' ') + QString::fromLatin1(backtest::SideName(row.side));
}

QScatterSeries* ResearchPlot::AddSeries(const QString& name, bool inLegend) {
    auto* series = new QScatterSeries();
    series->setName(name);
    view_->chart()->addSeries(series);
    series->attachAxis(axisX_);
    series->attachAxis(axisY_);
    if (!inLegend)
        for (QLegendMarker* marker : view_->chart()->legend()->markers(series)) marker->setVisible(false);
    connect(series, &QScatterSeries::clicked, this, [this, series](const QPointF& p) { Clicked(series, p); });
    connect(series, &QScatterSeries::hovered, this,
            [this, series](const QPointF& p, bool entered) { Hovered(series, p, entered); });
    return series;
}

void ResearchPlot::Clear() {
    view_->chart()->removeAllSeries();
    rulesOf_.clear();
    plotted_.clear();
    result_ = nullptr;
    highlighted_ = -1;
    ring_ = nullptr;
    axisX_->setRange(-1, 1);
    axisY_->setRange(0, 1);
}

void ResearchPlot::Show(const sweep::SweepResult& result, const std::vector<int>& shown) {
    Clear();
    result_ = &result;
    QScatterSeries* rules = AddSeries(QStringLiteral("Rules"), true);
    rules->setMarkerShape(QScatterSeries::MarkerShapeCircle);
    rules->setMarkerSize(8);
    rules->setColor(kRuleColour);
    rules->setBorderColor(kRuleColour.darker(130));
    // Not "q < 0.10": the legend reads its names as rich text.
    QScatterSeries* survivors = AddSeries(QStringLiteral("Survivors: q below 0.10"), true);
    survivors->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
    survivors->setMarkerSize(12);
    survivors->setColor(kSurvivorColour);
    survivors->setBorderColor(kSurvivorColour.darker(150));
    std::vector<int> ruleRules;
    std::vector<int> survivorRules;
    int labels = 0;
    for (const int rule : shown) {
        const sweep::SweepRow& row = result.rows[static_cast<std::size_t>(rule)];
        const std::optional<QPointF> point = PointOf(row);
        if (!point) continue;
        plotted_.push_back(rule);
        QScatterSeries* into = row.Survives() ? survivors : rules;
        into->append(*point);
        (row.Survives() ? survivorRules : ruleRules).push_back(rule);
        if (!row.Survives() || labels++ >= kMaxLabels) continue;
        // A name per point needs a series per point: a series' labels share one format.
        QScatterSeries* named = AddSeries(RuleLabel(row), false);
        named->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
        named->setMarkerSize(12);
        named->setColor(kSurvivorColour);
        named->setBorderColor(kSurvivorColour.darker(150));
        named->setPointLabelsFormat(RuleLabel(row));
        named->setPointLabelsVisible(true);
        named->setPointLabelsClipping(false);
        named->append(*point);
        rulesOf_.push_back({named, {rule}});
    }
    rulesOf_.push_back({rules, std::move(ruleRules)});
    rulesOf_.push_back({survivors, std::move(survivorRules)});
    ring_ = AddSeries(QStringLiteral("Chosen"), false);
    ring_->setMarkerShape(QScatterSeries::MarkerShapeCircle);
    ring_->setMarkerSize(20);
    ring_->setColor(Qt::transparent);
    ring_->setBorderColor(Qt::black);
    FitAxes();
}

// The drawn points with a margin; p-values are never above 1, so up starts at 0.
void ResearchPlot::FitAxes() {
    if (plotted_.empty()) return;
    double left = 0;
    double right = 0;
    double top = 1;
    for (const int rule : plotted_) {
        const QPointF p = *PointOf(result_->rows[static_cast<std::size_t>(rule)]);
        left = std::min(left, p.x());
        right = std::max(right, p.x());
        top = std::max(top, p.y());
    }
    const double margin = std::max((right - left) * 0.05, 0.01);
    axisX_->setRange(left - margin, right + margin);
    axisY_->setRange(0, top * 1.08);
    axisX_->applyNiceNumbers();
    axisY_->applyNiceNumbers();
}

void ResearchPlot::Highlight(int rule) {
    if (ring_ == nullptr) return;
    ring_->clear();
    highlighted_ = -1;
    if (std::find(plotted_.begin(), plotted_.end(), rule) == plotted_.end()) return;
    ring_->append(*PointOf(result_->rows[static_cast<std::size_t>(rule)]));
    highlighted_ = rule;
}

std::optional<QPoint> ResearchPlot::PointPosition(int rule) const {
    if (std::find(plotted_.begin(), plotted_.end(), rule) == plotted_.end()) return std::nullopt;
    const QPointF inChart = view_->chart()->mapToPosition(*PointOf(result_->rows[static_cast<std::size_t>(rule)]));
    return view_->mapFromScene(view_->chart()->mapToScene(inChart));
}

int ResearchPlot::RuleAt(const QScatterSeries* series, const QPointF& point) const {
    if (series == ring_) return highlighted_;
    for (const auto& [drawn, rules] : rulesOf_) {
        if (drawn != series) continue;
        const QList<QPointF> points = series->points();
        for (qsizetype i = 0; i < points.size() && i < static_cast<qsizetype>(rules.size()); ++i)
            if (points[i] == point) return rules[static_cast<std::size_t>(i)];
    }
    return -1;
}

void ResearchPlot::Clicked(const QScatterSeries* series, const QPointF& point) {
    const int rule = RuleAt(series, point);
    if (rule >= 0) emit ruleClicked(rule);
}

void ResearchPlot::Hovered(const QScatterSeries* series, const QPointF& point, bool entered) {
    const int rule = entered ? RuleAt(series, point) : -1;
    if (rule < 0) {
        QToolTip::hideText();
        return;
    }
    const sweep::SweepRow& row = result_->rows[static_cast<std::size_t>(rule)];
    QToolTip::showText(QCursor::pos(), QStringLiteral("%1\nRank %2, excess %3 %, p %4, q %5")
                                           .arg(RuleLabel(row))
                                           .arg(rule + 1)
                                           .arg(QString::number(point.x(), 'f', 2), Figure4(row[Figure::P]),
                                                Figure4(row[Figure::Q])));
}

}  // namespace kovo::ui
