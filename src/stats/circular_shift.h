#pragma once
// The permutation test of a rule by circular shifts of its calendar.
//
// The null hypothesis: the rule's dates carry no information about the price. Under it,
// moving the whole calendar of holds along the series should not change what it earns.
// The test keeps the price series and the holds' lengths and spacing as they are and
// shifts every hold by the same k trading days around the circle of the series' M = N - 1
// daily returns (see log_return_sums.h; a hold pushed past the last day continues from
// the first). A hold [b, e] shifted by k becomes the circular hold of e - b steps from
// day (b + k) mod M.
//
// Statistic: T = s * (1/n) * sum_i ln(P[e_i] / P[b_i]) over the rule's n holds, s = +1
// long, -1 short, so that large T favours the rule's side and the test is one-sided in
// its direction. T_k is the same for the holds shifted by k.
//
// The shifts k_1..k_R are drawn uniformly from 1..M-1 (k = 0 and k = M move nothing and
// are excluded), independently and with repetition, from the stream
// RandomStream(seed): k_j = 1 + Below(M - 1), in order. Then
//   p = (1 + #{j : T_{k_j} >= T}) / (1 + R)
// so p lies in [1 / (1 + R), 1] and is never 0. A shifted statistic within 1e-12 of T
// (kTieTolerance, in log-return units) counts as at least T: ties that rounding would
// break either way count against the rule.
//
// Absent (no test): no holds, fewer than 3 closes (M < 2: no shift moves anything),
// R = 0, or a hold outside the series (exit >= N or exit < entry).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "stats/log_return_sums.h"
#include "stats/side.h"

namespace kovo::stats {

inline constexpr int kDefaultShifts = 10000;
inline constexpr double kTieTolerance = 1e-12;

struct ShiftTest {
    double observed = 0;                 // T, mean signed log return per hold
    double pValue = 1;                   // in [1 / (1 + R), 1]
    int atLeastObserved = 0;             // #{j : T_{k_j} >= T}
    std::vector<std::size_t> shifts;     // k_1..k_R in draw order
    std::vector<double> null;            // T_{k_1}..T_{k_R}, same order: the null distribution
};

// The R shifts drawn for a series of M steps (M >= 2), as defined above.
std::vector<std::size_t> DrawShifts(std::size_t steps, int count, std::uint64_t seed);

// The test with shifts drawn from `seed` (see random_stream.h for a rule's seed).
std::optional<ShiftTest> CircularShiftTest(const LogReturnSums& sums, const std::vector<Hold>& holds, Side side,
                                           int shiftCount, std::uint64_t seed);

// The test with the given shifts (each in 1..M-1; others are reduced modulo M, and a
// shift that is a multiple of M moves nothing and counts like any other).
std::optional<ShiftTest> CircularShiftTestWith(const LogReturnSums& sums, const std::vector<Hold>& holds, Side side,
                                               std::vector<std::size_t> shifts);

}  // namespace kovo::stats
