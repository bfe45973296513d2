#include "ui/backtest_charts.h"

#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QScatterSeries>
#include <QValueAxis>
#include <algorithm>

#include "backtest/backtest_statistics.h"
#include "backtest/backtest_table.h"
#include "ui/qt_text.h"

namespace kovo::ui {

namespace {

constexpr double kUnixEpochJulianDay = 2440587.5;  // 1970-01-01 00:00 UT
constexpr double kMsecsPerDay = 86400000.0;

QChartView* MakeView(QWidget* parent, const char* name) {
    auto* view = new QChartView(new QChart(), parent);
    view->setObjectName(QString::fromLatin1(name));
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumHeight(260);
    return view;
}

void ResetChart(QChart* chart, const QString& title) {
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
    chart->setTitle(title);
}

// A date axis and a value axis, attached to every series of the chart.
void AddAxes(QChart* chart, double minX, double maxX, double minY, double maxY, const QString& yTitle) {
    auto* x = new QDateTimeAxis();
    x->setFormat(QStringLiteral("yyyy-MM-dd"));
    x->setTickCount(7);
    x->setRange(QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(minX), Qt::UTC),
                QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(maxX), Qt::UTC));
    auto* y = new QValueAxis();
    y->setRange(minY, maxY);
    y->setTitleText(yTitle);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    for (QAbstractSeries* series : chart->series()) {
        series->attachAxis(x);
        series->attachAxis(y);
    }
}

std::pair<double, double> Padded(double low, double high) {
    const double pad = std::max((high - low) * 0.05, high * 1e-6 + 1e-9);
    return {low - pad, high + pad};
}

// One area over the stays of the strategy: high inside the orb, low outside.
QAreaSeries* ShadedStays(const backtest::BacktestResult& r, const backtest::StrategyTrades& s, double low, double high) {
    auto* upper = new QLineSeries();
    auto* lower = new QLineSeries();
    const double first = BacktestCharts::DayMsecs(r.firstDay);
    const double last = BacktestCharts::DayMsecs(r.lastDay);
    QList<QPointF> points{{first, low}};
    for (const backtest::OrbStay& stay : r.stays) {
        if (stay.aspect != s.aspect || stay.level != s.level) continue;
        const double in = std::max(first, stay.entryDay ? BacktestCharts::DayMsecs(*stay.entryDay) : first);
        const double out = std::min(last, stay.exitDay ? BacktestCharts::DayMsecs(*stay.exitDay) : last);
        if (out <= in) continue;
        points << QPointF(in, low) << QPointF(in, high) << QPointF(out, high) << QPointF(out, low);
    }
    points << QPointF(last, low);
    upper->replace(points);
    lower->replace(QList<QPointF>{{first, low}, {last, low}});
    auto* area = new QAreaSeries(upper, lower);
    area->setName(QStringLiteral("In orb"));
    area->setColor(QColor(255, 200, 60, 90));
    area->setBorderColor(QColor(255, 200, 60, 0));
    return area;
}

QScatterSeries* ExactMarks(const backtest::BacktestResult& r, int aspect) {
    auto* marks = new QScatterSeries();
    marks->setName(QStringLiteral("Exact"));
    marks->setMarkerSize(9);
    marks->setColor(QColor(200, 30, 30));
    for (const backtest::ExactEvent& e : r.exacts) {
        if (e.aspect != aspect || e.day < r.firstDay || e.day > r.lastDay) continue;
        const auto at = r.prices.LastBefore(e.day + 1);
        if (at) marks->append(BacktestCharts::InstantMsecs(e.instantUt), r.prices.points[*at].close);
    }
    return marks;
}

}  // namespace

BacktestCharts::BacktestCharts(QWidget* parent)
    : QObject(parent), priceView_(MakeView(parent, "chtPrices")), equityView_(MakeView(parent, "chtEquity")) {}

// Noon UT: the axis labels dates in local time, which keeps noon on its day in any zone.
double BacktestCharts::DayMsecs(std::int32_t day) { return (day - kUnixEpochJulianDay) * kMsecsPerDay; }

double BacktestCharts::InstantMsecs(double julianDayUt) { return (julianDayUt - kUnixEpochJulianDay) * kMsecsPerDay; }

void BacktestCharts::Clear() {
    ResetChart(priceView_->chart(), QString());
    ResetChart(equityView_->chart(), QString());
}

void BacktestCharts::Show(const backtest::BacktestResult& r, int index) {
    const bool withStrategy = index >= 0 && index < static_cast<int>(r.strategies.size());
    const backtest::StrategyResult* strategy = withStrategy ? &r.strategies[static_cast<std::size_t>(index)] : nullptr;
    const QString label = strategy ? ToQ(backtest::StrategyLabel(strategy->trades)) : QString();

    QChart* prices = priceView_->chart();
    ResetChart(prices, QStringLiteral("Closes") + (strategy ? QStringLiteral(", in orb: ") + label : QString()));
    auto* closes = new QLineSeries();
    closes->setName(QStringLiteral("Close"));
    QList<QPointF> points;
    double low = r.prices.points.front().close;
    double high = low;
    for (const backtest::PricePoint& p : r.prices.points) {
        points << QPointF(DayMsecs(p.day), p.close);
        low = std::min(low, p.close);
        high = std::max(high, p.close);
    }
    closes->replace(points);
    const auto [yLow, yHigh] = Padded(low, high);
    if (strategy) prices->addSeries(ShadedStays(r, strategy->trades, yLow, yHigh));
    prices->addSeries(closes);
    if (strategy) prices->addSeries(ExactMarks(r, strategy->trades.aspect));
    AddAxes(prices, DayMsecs(r.firstDay), DayMsecs(r.lastDay), yLow, yHigh, QStringLiteral("Close"));

    QChart* equity = equityView_->chart();
    ResetChart(equity, QStringLiteral("Equity") + (strategy ? QStringLiteral(": ") + label : QString()) +
                           QStringLiteral(" against buy-and-hold"));
    auto* hold = new QLineSeries();
    hold->setName(QStringLiteral("Buy and hold"));
    auto* curve = new QLineSeries();
    curve->setName(strategy ? label : QStringLiteral("Strategy"));
    const std::vector<double> holdEquity = backtest::EquityCurve(r.buyAndHold.trades.trades, r.prices, backtest::Side::Long);
    const std::vector<double> strategyEquity =
        strategy ? backtest::EquityCurve(strategy->trades.trades, r.prices, r.inputs.side) : std::vector<double>{};
    QList<QPointF> holdPoints;
    QList<QPointF> curvePoints;
    double eLow = 1.0;
    double eHigh = 1.0;
    for (std::size_t k = 0; k < r.prices.Size(); ++k) {
        const double x = DayMsecs(r.prices.points[k].day);
        holdPoints << QPointF(x, holdEquity[k]);
        eLow = std::min(eLow, holdEquity[k]);
        eHigh = std::max(eHigh, holdEquity[k]);
        if (!strategyEquity.empty()) {
            curvePoints << QPointF(x, strategyEquity[k]);
            eLow = std::min(eLow, strategyEquity[k]);
            eHigh = std::max(eHigh, strategyEquity[k]);
        }
    }
    hold->replace(holdPoints);
    curve->replace(curvePoints);
    equity->addSeries(hold);
    if (strategy) equity->addSeries(curve);
    const auto [qLow, qHigh] = Padded(eLow, eHigh);
    AddAxes(equity, DayMsecs(r.firstDay), DayMsecs(r.lastDay), qLow, qHigh, QStringLiteral("Equity (start = 1)"));
}

}  // namespace kovo::ui
