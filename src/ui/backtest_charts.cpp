#include "ui/backtest_charts.h"

#include <QAreaSeries>
#include <QChart>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QScatterSeries>
#include <QSplitter>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "backtest/backtest_statistics.h"
#include "backtest/backtest_table.h"
#include "calendar/calendar_services.h"
#include "ui/backtest_chart_view.h"
#include "ui/backtest_null_chart.h"
#include "ui/qt_text.h"

namespace kovo::ui {

namespace {

constexpr double kUnixEpochJulianDay = 2440587.5;  // 1970-01-01 00:00 UT
constexpr double kMsecsPerDay = 86400000.0;

ZoomChartView* MakeView(QWidget* parent, const char* name, int minimumHeight) {
    auto* view = new ZoomChartView(parent);
    view->setObjectName(QString::fromLatin1(name));
    view->setMinimumHeight(minimumHeight);
    return view;
}

void ResetChart(QChart* chart, const QString& title) {
    chart->setMargins(QMargins(4, 2, 4, 2));
    // Beside the plot: a wide chart has room at its side, rarely above.
    chart->legend()->setAlignment(Qt::AlignRight);
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
    chart->setTitle(title);
}

// A value axis from low to high; a log axis when asked and every value is positive. A
// linear axis of positive values stops at 0, which a price never crosses.
QAbstractAxis* ValueAxis(double low, double high, bool logScale, const QString& title) {
    if (logScale && low > 0) {
        auto* axis = new QLogValueAxis();
        axis->setBase(10);
        axis->setLabelFormat(QStringLiteral("%g"));
        axis->setMinorTickCount(8);
        axis->setRange(low / 1.05, high * 1.05);
        axis->setTitleText(title + QStringLiteral(" (log)"));
        return axis;
    }
    const double pad = std::max((high - low) * 0.05, std::abs(high) * 1e-6 + 1e-9);
    auto* axis = new QValueAxis();
    axis->setLabelFormat(QStringLiteral("%g"));
    axis->setRange(low >= 0 ? std::max(0.0, low - pad) : low - pad, high + pad);
    axis->applyNiceNumbers();  // round ticks; a range that starts at 0 or above stays there
    axis->setTitleText(title);
    return axis;
}

// Across two calendar years or more the date axis runs from one round year to another
// and ticks every 1, 2, 5, 10, 20, 25, 50 or 100 years, labelled by the year. The ticks
// are evenly spaced in time while years are not (leap days), so the range starts on
// 2 January: every tick then falls on 1 or 2 January and reads as its own year.
bool SetRoundYears(QDateTimeAxis* x, double minX, double maxX) {
    const int first = QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(minX), Qt::UTC).date().year();
    const int last = QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(maxX), Qt::UTC).date().year();
    if (last - first < 2) return false;
    int step = 100;
    for (const int candidate : {1, 2, 5, 10, 20, 25, 50, 100}) {
        if ((last + 1 - first + candidate - 1) / candidate <= 10) {
            step = candidate;
            break;
        }
    }
    const auto floorTo = [step](int year) { return year >= 0 ? year / step * step : -((-year + step - 1) / step) * step; };
    const int low = floorTo(first);
    const int high = floorTo(last + 1) == last + 1 ? last + 1 : floorTo(last + 1) + step;
    x->setFormat(QStringLiteral("yyyy"));
    x->setTickCount((high - low) / step + 1);
    x->setRange(QDateTime(QDate(low, 1, 2), QTime(0, 0), Qt::UTC), QDateTime(QDate(high, 1, 2), QTime(0, 0), Qt::UTC));
    return true;
}

// A date axis at the bottom and the given axis at the left, for every series of the chart.
void AddAxes(QChart* chart, double minX, double maxX, QAbstractAxis* y) {
    auto* x = new QDateTimeAxis();
    if (!SetRoundYears(x, minX, maxX)) {
        x->setFormat(QStringLiteral("yyyy-MM-dd"));
        x->setTickCount(7);
        x->setRange(QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(minX), Qt::UTC),
                    QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(maxX), Qt::UTC));
    }
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    for (QAbstractSeries* series : chart->series()) {
        series->attachAxis(x);
        series->attachAxis(y);
    }
}

double AxisMin(const QAbstractAxis* axis) {
    if (const auto* log = qobject_cast<const QLogValueAxis*>(axis)) return log->min();
    return static_cast<const QValueAxis*>(axis)->min();
}

double AxisMax(const QAbstractAxis* axis) {
    if (const auto* log = qobject_cast<const QLogValueAxis*>(axis)) return log->max();
    return static_cast<const QValueAxis*>(axis)->max();
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

QLineSeries* Line(const QString& name, const std::vector<double>& x, const std::vector<double>& y) {
    auto* series = new QLineSeries();
    series->setName(name);
    QList<QPointF> points;
    points.reserve(static_cast<qsizetype>(x.size()));
    for (std::size_t k = 0; k < x.size(); ++k) points << QPointF(x[k], y[k]);
    series->replace(points);
    return series;
}

// Percent below the highest value so far: 0 at a new high, -25 a quarter down.
std::vector<double> DrawdownPct(const std::vector<double>& equity) {
    std::vector<double> drawdown(equity.size());
    double peak = 0;
    for (std::size_t k = 0; k < equity.size(); ++k) {
        peak = std::max(peak, equity[k]);
        drawdown[k] = peak > 0 ? (equity[k] / peak - 1) * 100.0 : 0.0;
    }
    return drawdown;
}

// The trading day at or before an x of the chart, as an index into days (ascending).
std::optional<std::size_t> DayAt(const std::vector<std::int32_t>& days, double x) {
    const auto day = static_cast<std::int32_t>(std::floor(x / kMsecsPerDay + kUnixEpochJulianDay + 0.5));
    const auto after = std::upper_bound(days.begin(), days.end(), day);
    if (after == days.begin()) return std::nullopt;
    return static_cast<std::size_t>(after - days.begin() - 1);
}

QString DateText(std::int32_t day) { return ToQ(calendar::FormatDayNumberIso8601(day)); }

}  // namespace

BacktestCharts::BacktestCharts(QWidget* parent)
    : QObject(parent),
      priceView_(MakeView(parent, "chtPrices", 120)),
      equityView_(MakeView(parent, "chtEquity", 80)),
      drawdownView_(MakeView(parent, "chtDrawdown", 60)),
      nullView_(new QChartView(new QChart(), parent)) {
    nullView_->setObjectName(QStringLiteral("chtNull"));
    nullView_->setRenderHint(QPainter::Antialiasing);
    nullView_->setMinimumHeight(120);
    auto* panel = new QSplitter(Qt::Vertical, parent);
    panel->setObjectName(QStringLiteral("splitEquity"));
    panel->addWidget(equityView_);
    panel->addWidget(drawdownView_);
    panel->setStretchFactor(0, 3);
    panel->setStretchFactor(1, 2);
    panel->setSizes({300, 200});
    equityPanel_ = panel;
}

QChartView* BacktestCharts::PriceView() const { return priceView_; }
QChartView* BacktestCharts::EquityView() const { return equityView_; }
QChartView* BacktestCharts::DrawdownView() const { return drawdownView_; }

// Noon UT: the axis labels dates in local time, which keeps noon on its day in any zone.
double BacktestCharts::DayMsecs(std::int32_t day) { return (day - kUnixEpochJulianDay) * kMsecsPerDay; }

double BacktestCharts::InstantMsecs(double julianDayUt) { return (julianDayUt - kUnixEpochJulianDay) * kMsecsPerDay; }

bool BacktestCharts::SpansDecades(const backtest::BacktestResult& r) {
    if (r.prices.points.empty()) return false;
    const auto [low, high] = std::minmax_element(r.prices.points.begin(), r.prices.points.end(),
                                                 [](const auto& a, const auto& b) { return a.close < b.close; });
    return low->close > 0 && high->close / low->close > 10;
}

void BacktestCharts::Clear() {
    for (QChartView* view : {PriceView(), EquityView(), DrawdownView(), NullView()}) ResetChart(view->chart(), QString());
}

void BacktestCharts::SetFaded(bool faded) {
    for (QChartView* view : {PriceView(), EquityView(), DrawdownView(), NullView()}) view->chart()->setOpacity(faded ? 0.35 : 1.0);
}

void BacktestCharts::Show(const backtest::BacktestResult& r, int index, const QString& context, bool logScale) {
    const bool withStrategy = index >= 0 && index < static_cast<int>(r.strategies.size());
    const backtest::StrategyResult* strategy = withStrategy ? &r.strategies[static_cast<std::size_t>(index)] : nullptr;
    ShowPrices(r, strategy, context, logScale);
    ShowEquity(r, strategy, context, logScale);
    ShowNull(strategy ? *strategy : r.buyAndHold, context);
}

void BacktestCharts::ShowPrices(const backtest::BacktestResult& r, const backtest::StrategyResult* strategy,
                                const QString& context, bool logScale) {
    QChart* chart = priceView_->chart();
    const QString label = strategy ? ToQ(backtest::StrategyLabel(strategy->trades)) : QString();
    ResetChart(chart, ChartTitleHtml(QStringLiteral("Closes") + (strategy ? QStringLiteral(", in orb: ") + label : QString()),
                            context));
    std::vector<double> x;
    std::vector<double> closes;
    std::vector<std::int32_t> days;
    for (const backtest::PricePoint& p : r.prices.points) {
        x.push_back(DayMsecs(p.day));
        closes.push_back(p.close);
        days.push_back(p.day);
    }
    const auto [low, high] = std::minmax_element(closes.begin(), closes.end());
    QAbstractAxis* y = ValueAxis(*low, *high, logScale, QStringLiteral("Close"));
    if (strategy) chart->addSeries(ShadedStays(r, strategy->trades, AxisMin(y), AxisMax(y)));
    chart->addSeries(Line(QStringLiteral("Close"), x, closes));
    if (strategy) chart->addSeries(ExactMarks(r, strategy->trades.aspect));
    AddAxes(chart, DayMsecs(r.firstDay), DayMsecs(r.lastDay), y);
    priceView_->tipText = [days, closes](double at) {
        const auto k = DayAt(days, at);
        return k ? DateText(days[*k]) + QStringLiteral("  close ") + QString::number(closes[*k], 'g', 10) : QString();
    };
}

void BacktestCharts::ShowEquity(const backtest::BacktestResult& r, const backtest::StrategyResult* strategy,
                                const QString& context, bool logScale) {
    const double cost = r.inputs.CostFraction();
    const QString label = strategy ? ToQ(backtest::StrategyLabel(strategy->trades)) : QStringLiteral("Buy and hold");
    const std::vector<double> hold = backtest::EquityCurve(r.buyAndHold.trades.trades, r.prices, backtest::Side::Long, cost);
    const std::vector<double> curve =
        strategy ? backtest::EquityCurve(strategy->trades.trades, r.prices, r.inputs.side, cost) : hold;
    std::vector<double> x;
    std::vector<std::int32_t> days;
    for (const backtest::PricePoint& p : r.prices.points) {
        x.push_back(DayMsecs(p.day));
        days.push_back(p.day);
    }
    QChart* chart = equityView_->chart();
    ResetChart(chart, ChartTitleHtml(QStringLiteral("Equity: ") + label + QStringLiteral(" against buy-and-hold (start 1; DD: drawdown)"), context));
    chart->addSeries(Line(QStringLiteral("Buy and hold"), x, hold));
    if (strategy) chart->addSeries(Line(label, x, curve));
    const auto [hLow, hHigh] = std::minmax_element(hold.begin(), hold.end());
    const auto [cLow, cHigh] = std::minmax_element(curve.begin(), curve.end());
    AddAxes(chart, x.front(), x.back(),
            ValueAxis(std::min(*hLow, *cLow), std::max(*hHigh, *cHigh), logScale, QStringLiteral("Equity")));

    const std::vector<double> holdDown = DrawdownPct(hold);
    const std::vector<double> curveDown = DrawdownPct(curve);
    QChart* down = drawdownView_->chart();
    ResetChart(down, QString());
    down->addSeries(Line(QStringLiteral("Buy and hold"), x, holdDown));
    if (strategy) down->addSeries(Line(label, x, curveDown));
    const double deepest = std::min(*std::min_element(holdDown.begin(), holdDown.end()),
                                    *std::min_element(curveDown.begin(), curveDown.end()));
    auto* y = new QValueAxis();
    // Two ticks, 0 and a round depth: the chart is low, and more labels would not fit.
    y->setRange(-std::ceil(std::max(-deepest * 1.05, 1.0) / 10.0) * 10.0, 0);
    y->setTickCount(2);
    y->setLabelFormat(QStringLiteral("%g"));
    y->setTitleText(QStringLiteral("DD %"));
    AddAxes(down, x.front(), x.back(), y);
    down->axes(Qt::Horizontal).front()->setLabelsVisible(false);  // the dates of the equity above
    // Zoom and pan of the equity move the drawdown along.
    auto* equityX = static_cast<QDateTimeAxis*>(chart->axes(Qt::Horizontal).front());
    auto* downX = static_cast<QDateTimeAxis*>(down->axes(Qt::Horizontal).front());
    connect(equityX, &QDateTimeAxis::rangeChanged, downX, &QDateTimeAxis::setRange);

    const QString name = label;
    equityView_->tipText = [days, hold, curve, name](double at) {
        const auto k = DayAt(days, at);
        if (!k) return QString();
        return DateText(days[*k]) + QStringLiteral("  ") + name + QStringLiteral(" %1, buy and hold %2")
                                                                     .arg(curve[*k], 0, 'f', 3)
                                                                     .arg(hold[*k], 0, 'f', 3);
    };
    drawdownView_->tipText = [days, holdDown, curveDown, name](double at) {
        const auto k = DayAt(days, at);
        if (!k) return QString();
        return DateText(days[*k]) + QStringLiteral("  drawdown ") + name + QStringLiteral(" %1 %, buy and hold %2 %")
                                                                              .arg(curveDown[*k], 0, 'f', 2)
                                                                              .arg(holdDown[*k], 0, 'f', 2);
    };
}

void BacktestCharts::ShowNull(const backtest::StrategyResult& s, const QString& context) {
    QChart* chart = nullView_->chart();
    ResetChart(chart, QString());
    DrawNullDistribution(chart, s, context);
}

}  // namespace kovo::ui
