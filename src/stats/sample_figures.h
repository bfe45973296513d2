#pragma once
// Plain figures of a sample that the other statistics share, so that they agree to the
// last digit (a constant sample's mean is that constant's resampled mean, bit for bit).
#include <optional>
#include <vector>

namespace kovo::stats {

// (x[0] + x[1] + ... + x[n-1]) / n, summed in index order; absent for no values.
std::optional<double> MeanOf(const std::vector<double>& values);

// The quantile of `sorted` (ascending, not empty) at probability p in [0, 1] by linear
// interpolation between order statistics (Hyndman and Fan's definition 7, the default
// of numpy.percentile, R's quantile and spreadsheets' PERCENTILE): with h = (n - 1) p
// and j = floor(h), Q(p) = x[j] + (h - j) (x[j+1] - x[j]); Q(0) is the least value and
// Q(1) the greatest.
double SortedQuantile(const std::vector<double>& sorted, double p);

}  // namespace kovo::stats
