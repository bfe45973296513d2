#pragma once
// The charts of the backtest window, drawn with Qt Charts: the closes with one
// strategy's in-orb periods shaded and the exact aspects marked; that strategy's equity
// curve against buy-and-hold with their drawdowns below; and the strategy's permutation
// null distribution with its observed value. Dates run along a date axis (noon UT of the
// day numbers; exact aspects at their UT instants). Prices and equity may be drawn on a
// logarithmic scale, so that a century of closes stays readable.
#include <QObject>
#include <QString>

#include "backtest/backtest_run.h"

class QChartView;
class QWidget;

namespace kovo::ui {

class ZoomChartView;

class BacktestCharts : public QObject {
    Q_OBJECT

public:
    explicit BacktestCharts(QWidget* parent);

    QChartView* PriceView() const;
    QChartView* EquityView() const;
    QChartView* DrawdownView() const;
    QChartView* NullView() const { return nullView_; }
    // The equity chart over the drawdown chart, as one tab and one image.
    QWidget* EquityPanel() const { return equityPanel_; }

    // Draws the result with strategy `index` of result.strategies (-1: buy-and-hold
    // alone). `context` names the run (pair, file, range, side, orbs, cost) under each
    // title. logScale: prices and equity on a log axis where every value is positive.
    void Show(const backtest::BacktestResult& result, int index, const QString& context, bool logScale);
    void Clear();
    // Faded charts belong to other inputs than the fields now hold (disabled widgets grey
    // their text, but a chart draws its own colours).
    void SetFaded(bool faded);

    // Whether the closes or buy-and-hold's equity span more than a factor of 10, so that
    // a log scale reads better.
    static bool SpansDecades(const backtest::BacktestResult& result);

    // Milliseconds since 1970 of a day number's noon UT, or of a UT Julian Day.
    static double DayMsecs(std::int32_t day);
    static double InstantMsecs(double julianDayUt);

private:
    void ShowPrices(const backtest::BacktestResult& r, const backtest::StrategyResult* s, const QString& title,
                    bool logScale);
    void ShowEquity(const backtest::BacktestResult& r, const backtest::StrategyResult* s, const QString& context,
                    bool logScale);
    void ShowNull(const backtest::StrategyResult& s, const QString& context);

    ZoomChartView* priceView_;
    ZoomChartView* equityView_;
    ZoomChartView* drawdownView_;
    QChartView* nullView_;
    QWidget* equityPanel_;
};

}  // namespace kovo::ui
