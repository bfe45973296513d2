#include "stats/false_discovery.h"

#include <algorithm>
#include <cstddef>

namespace kovo::stats {

FalseDiscovery BenjaminiHochberg(const std::vector<std::optional<double>>& pValues, double threshold) {
    FalseDiscovery result;
    result.qValues.assign(pValues.size(), std::nullopt);
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < pValues.size(); ++i)
        if (pValues[i]) order.push_back(i);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return *pValues[a] < *pValues[b]; });
    const std::size_t m = order.size();
    result.tested = static_cast<int>(m);
    // From the largest p down, carrying the least q so far: the step-up.
    double least = 1.0;
    for (std::size_t rank = m; rank >= 1; --rank) {
        const std::size_t index = order[rank - 1];
        const double raw = *pValues[index] / (static_cast<double>(rank) / static_cast<double>(m));
        least = std::min(least, raw);
        result.qValues[index] = least;
    }
    result.passing = static_cast<int>(std::count_if(result.qValues.begin(), result.qValues.end(),
                                                    [&](const std::optional<double>& q) { return q && *q < threshold; }));
    return result;
}

}  // namespace kovo::stats
