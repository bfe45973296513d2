#include "stats/sample_figures.h"

#include <algorithm>
#include <cmath>

namespace kovo::stats {

std::optional<double> MeanOf(const std::vector<double>& values) {
    if (values.empty()) return std::nullopt;
    double sum = 0;
    for (const double x : values) sum += x;
    return sum / static_cast<double>(values.size());
}

double SortedQuantile(const std::vector<double>& sorted, double p) {
    const std::size_t last = sorted.size() - 1;
    const double h = static_cast<double>(last) * std::clamp(p, 0.0, 1.0);
    const std::size_t j = std::min(static_cast<std::size_t>(std::floor(h)), last);
    if (j == last) return sorted[last];
    return sorted[j] + (h - static_cast<double>(j)) * (sorted[j + 1] - sorted[j]);
}

}  // namespace kovo::stats
