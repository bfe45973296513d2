#include "ui/backtest_null_chart.h"

#include <QAreaSeries>
#include <QChart>
#include <QLineSeries>
#include <QPen>
#include <QValueAxis>
#include <algorithm>

#include "backtest/backtest_table.h"
#include "ui/backtest_chart_view.h"
#include "ui/qt_text.h"

namespace kovo::ui {

std::vector<int> BinCounts(const std::vector<double>& values, double low, double high, int bins) {
    std::vector<int> counts(static_cast<std::size_t>(std::max(bins, 1)), 0);
    const double width = (high - low) / static_cast<double>(counts.size());
    for (double v : values) {
        const double at = width > 0 ? (v - low) / width : 0;
        const auto bin = static_cast<std::size_t>(std::clamp(at, 0.0, static_cast<double>(counts.size() - 1)));
        ++counts[bin];
    }
    return counts;
}

void DrawNullDistribution(QChart* chart, const backtest::StrategyResult& s, const QString& context) {
    const QString label = ToQ(backtest::StrategyLabel(s.trades));
    const std::optional<stats::ShiftTest>& test = s.significance.shift;
    if (!test || test->null.empty()) {
        chart->setTitle(ChartTitleHtml(QStringLiteral("No permutation test for ") + label +
                                           (s.trades.aspect == 0 ? QString() : QStringLiteral(": no trades")),
                                       context));
        return;
    }
    std::vector<double> values(test->null.size());
    std::transform(test->null.begin(), test->null.end(), values.begin(), [](double v) { return v * 100.0; });
    const double observed = test->observed * 100.0;
    const auto [minIt, maxIt] = std::minmax_element(values.begin(), values.end());
    double low = std::min(*minIt, observed);
    double high = std::max(*maxIt, observed);
    if (high - low < 1e-9) {
        low -= 0.5;
        high += 0.5;
    }
    const std::vector<int> counts = BinCounts(values, low, high, kNullBins);
    const double width = (high - low) / kNullBins;
    auto* upper = new QLineSeries();
    QList<QPointF> steps{{low, 0}};
    for (std::size_t b = 0; b < counts.size(); ++b) {
        const double left = low + static_cast<double>(b) * width;
        steps << QPointF(left, counts[b]) << QPointF(left + width, counts[b]);
    }
    steps << QPointF(high, 0);
    upper->replace(steps);
    auto* lower = new QLineSeries();
    lower->replace(QList<QPointF>{{low, 0}, {high, 0}});
    auto* bars = new QAreaSeries(upper, lower);
    bars->setName(QStringLiteral("Shifted calendars"));
    bars->setColor(QColor(90, 130, 190, 160));
    bars->setBorderColor(QColor(50, 80, 140));
    const int tallest = *std::max_element(counts.begin(), counts.end());
    auto* mark = new QLineSeries();
    mark->setName(QStringLiteral("The rule: %1 %").arg(observed, 0, 'f', 3));
    mark->replace(QList<QPointF>{{observed, 0}, {observed, tallest * 1.08}});
    mark->setPen(QPen(QColor(200, 30, 30), 2.5));
    chart->addSeries(bars);
    chart->addSeries(mark);
    chart->setTitle(ChartTitleHtml(
        QStringLiteral("Null distribution, %1: the rule (red line) %2 %, p = %3 (%4 shifts)")
            .arg(label)
            .arg(observed, 0, 'f', 3)
            .arg(test->pValue, 0, 'f', 4)
            .arg(values.size()),
        context));
    chart->legend()->hide();  // the title names the bars and the line
    auto* x = new QValueAxis();
    x->setTickCount(9);
    x->setLabelFormat(QStringLiteral("%g"));
    const double pad = (high - low) * 0.03;
    x->setRange(low - pad, high + pad);
    x->applyNiceNumbers();
    x->setTitleText(QStringLiteral("Mean log return per trade, % (on the rule's side)"));
    auto* y = new QValueAxis();
    y->setRange(0, tallest * 1.1);
    y->applyNiceNumbers();
    y->setLabelFormat(QStringLiteral("%d"));
    y->setTitleText(QStringLiteral("Shifts"));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    for (QAbstractSeries* series : chart->series()) {
        series->attachAxis(x);
        series->attachAxis(y);
    }
}

}  // namespace kovo::ui
