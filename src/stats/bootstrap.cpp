#include "stats/bootstrap.h"

#include <algorithm>

#include "stats/random_stream.h"
#include "stats/sample_figures.h"

namespace kovo::stats {

std::vector<double> ResampleMeans(const std::vector<double>& returns, int resamples, std::uint64_t seed) {
    std::vector<double> means;
    if (returns.empty() || resamples <= 0) return means;
    RandomStream stream(seed);
    const std::size_t n = returns.size();
    means.reserve(static_cast<std::size_t>(resamples));
    for (int j = 0; j < resamples; ++j) {
        double sum = 0;
        for (std::size_t i = 0; i < n; ++i) sum += returns[stream.Below(n)];
        means.push_back(sum / static_cast<double>(n));
    }
    return means;
}

std::optional<BootstrapInterval> BootstrapMeanInterval(const std::vector<double>& returns, int resamples,
                                                       std::uint64_t seed, double confidence) {
    std::vector<double> means = ResampleMeans(returns, resamples, seed);
    if (means.empty()) return std::nullopt;
    std::sort(means.begin(), means.end());
    const double tail = (1.0 - confidence) / 2.0;
    return BootstrapInterval{.meanPct = 100.0 * *MeanOf(returns),
                             .lowPct = 100.0 * SortedQuantile(means, tail),
                             .highPct = 100.0 * SortedQuantile(means, 1.0 - tail),
                             .resamples = resamples};
}

}  // namespace kovo::stats
