#pragma once
// A bootstrap confidence interval of a rule's mean trade return.
//
// r[0..n-1] are the rule's trade returns (fractions, on its side). Resample j
// (j = 1..B) draws n indexes with repetition from the stream RandomStream(seed), in
// order: i_1 = Below(n), ..., i_n = Below(n), and takes the mean
//   m_j = (r[i_1] + ... + r[i_n]) / n   (summed in draw order).
// With m_(1) <= ... <= m_(B) sorted, the percentile interval at level c (0.95 unless
// asked otherwise) is
//   low = Q((1 - c) / 2),  high = Q((1 + c) / 2)
// with Q the linear-interpolation quantile of sample_figures.h (for B = 10,000 and
// c = 0.95: low = m_(250) + 0.975 (m_(251) - m_(250)), high = m_(9750) + 0.025 (m_(9751) - m_(9750))).
// All three figures are reported in percent (100 times the fraction).
//
// Absent without trades or without resamples. One trade, or equal returns, give an
// interval of width 0 at the mean.
#include <cstdint>
#include <optional>
#include <vector>

namespace kovo::stats {

inline constexpr int kDefaultResamples = 10000;
inline constexpr double kDefaultConfidence = 0.95;

struct BootstrapInterval {
    double meanPct = 0;  // 100 * MeanOf(r)
    double lowPct = 0;
    double highPct = 0;
    int resamples = 0;   // B
};

// The means m_1..m_B in draw order, as defined above; empty without trades.
std::vector<double> ResampleMeans(const std::vector<double>& returns, int resamples, std::uint64_t seed);

// The percentile interval of the mean trade return.
std::optional<BootstrapInterval> BootstrapMeanInterval(const std::vector<double>& returns, int resamples,
                                                       std::uint64_t seed, double confidence = kDefaultConfidence);

}  // namespace kovo::stats
