#pragma once
// The permutation test of an event study's horizon by circular shifts of the events'
// dates, two-sided because an event study asks whether the market moved at all.
//
// b_1..b_n are the events' base days (trading day indexes, b_i + h <= N - 1) and h the
// horizon in trading days. An event earns the h-step log return x_i = S[b_i + h] - S[b_i]
// (log_return_sums.h). Over every start of the circle of M daily returns, an h-step hold
// earns on average mu_h = h * S[M] / M, so the statistic
//   D = | (1/n) sum_i x_i - mu_h |
// measures how far the events' mean lies from what any dates would give. D_k is the same
// with every base moved to (b_i + k) mod M and the holds read around the circle. The
// shifts are those of circular_shift.h (DrawShifts), and
//   p = (1 + #{j : D_{k_j} >= D - tolerance}) / (1 + R).
// Absent: no events, M < 2, no shifts, h < 1 or a base whose horizon runs past the series.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "stats/circular_shift.h"
#include "stats/log_return_sums.h"

namespace kovo::stats {

std::optional<ShiftTest> EventShiftTest(const LogReturnSums& sums, const std::vector<std::size_t>& bases,
                                        std::size_t horizon, int shiftCount, std::uint64_t seed);

}  // namespace kovo::stats
