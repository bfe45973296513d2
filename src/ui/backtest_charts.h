#pragma once
// The two charts of the backtest window, drawn with Qt Charts: the closes with one
// strategy's in-orb periods shaded and the exact aspects marked, and that strategy's
// equity curve against buy-and-hold. Dates run along a date axis (noon UT of the day
// numbers; exact aspects at their UT instants).
#include <QObject>

#include "backtest/backtest_run.h"

class QChartView;
class QWidget;

namespace kovo::ui {

class BacktestCharts : public QObject {
    Q_OBJECT

public:
    explicit BacktestCharts(QWidget* parent);

    QChartView* PriceView() const { return priceView_; }
    QChartView* EquityView() const { return equityView_; }

    // Draws the result with strategy `index` of result.strategies (none: just the closes).
    void Show(const backtest::BacktestResult& result, int index);
    void Clear();

    // Milliseconds since 1970 of a day number's noon UT, or of a UT Julian Day.
    static double DayMsecs(std::int32_t day);
    static double InstantMsecs(double julianDayUt);

private:
    QChartView* priceView_;
    QChartView* equityView_;
};

}  // namespace kovo::ui
