#pragma once
// The permutation null distribution of one rule as a histogram: the mean log return per
// trade (in percent) of every circular shift of the rule's calendar, in 40 bins, with the
// rule's own value as a vertical line and its p-value in the title.
#include <QString>

#include "backtest/backtest_run.h"

class QChart;

namespace kovo::ui {

inline constexpr int kNullBins = 40;

// The counts of `values` in `bins` equal bins from low to high (the last bin holds high).
std::vector<int> BinCounts(const std::vector<double>& values, double low, double high, int bins);

// Draws into an empty chart; a strategy without a test gets a title saying so.
void DrawNullDistribution(QChart* chart, const backtest::StrategyResult& strategy, const QString& context);

}  // namespace kovo::ui
