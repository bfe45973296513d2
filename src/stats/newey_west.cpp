#include "stats/newey_west.h"

#include <algorithm>
#include <cmath>

#include "stats/sample_figures.h"

namespace kovo::stats {

std::optional<NeweyWestMean> NeweyWestOfMean(const std::vector<double>& values, std::size_t lag) {
    const std::size_t n = values.size();
    if (n < 2) return std::nullopt;
    const auto [least, greatest] = std::minmax_element(values.begin(), values.end());
    if (*least == *greatest) return std::nullopt;
    const double mean = *MeanOf(values);
    std::vector<double> u(n);
    for (std::size_t t = 0; t < n; ++t) u[t] = values[t] - mean;
    double s = 0;
    for (const double x : u) s += x * x;
    for (std::size_t l = 1; l <= lag && l < n; ++l) {
        double cross = 0;
        for (std::size_t t = l; t < n; ++t) cross += u[t] * u[t - l];
        s += 2.0 * (1.0 - static_cast<double>(l) / static_cast<double>(lag + 1)) * cross;
    }
    // Bartlett weights keep S >= 0; it is 0 only when every residual is.
    if (!(s > 0)) return std::nullopt;
    const double standardError = std::sqrt(s) / static_cast<double>(n);
    return NeweyWestMean{.mean = mean, .standardError = standardError, .t = mean / standardError};
}

std::optional<NeweyWestMean> EventExcessT(const std::vector<double>& eventReturns, double seriesMeanReturn,
                                          int horizon) {
    if (horizon < 1) return std::nullopt;
    std::vector<double> excess;
    excess.reserve(eventReturns.size());
    for (const double r : eventReturns) excess.push_back(r - seriesMeanReturn);
    return NeweyWestOfMean(excess, static_cast<std::size_t>(horizon - 1));
}

}  // namespace kovo::stats
