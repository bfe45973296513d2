#include "stats/circular_shift.h"

#include <utility>

#include "stats/random_stream.h"

namespace kovo::stats {

namespace {

bool InsideSeries(const std::vector<Hold>& holds, std::size_t closes) {
    for (const Hold& hold : holds)
        if (hold.exit < hold.entry || hold.exit >= closes) return false;
    return true;
}

// The sum over the holds of their log returns, all shifted by k (0 <= k < M).
double ShiftedSum(const LogReturnSums& sums, const std::vector<Hold>& holds, std::size_t k, std::size_t steps) {
    double total = 0;
    for (const Hold& hold : holds) {
        // entry <= M and k < M, so one subtraction brings the start onto the circle.
        std::size_t start = hold.entry + k;
        if (start >= steps) start -= steps;
        total += sums.Circular(start, hold.exit - hold.entry);
    }
    return total;
}

}  // namespace

std::vector<std::size_t> DrawShifts(std::size_t steps, int count, std::uint64_t seed) {
    std::vector<std::size_t> shifts;
    if (steps < 2 || count <= 0) return shifts;
    RandomStream stream(seed);
    shifts.reserve(static_cast<std::size_t>(count));
    for (int j = 0; j < count; ++j) shifts.push_back(1 + static_cast<std::size_t>(stream.Below(steps - 1)));
    return shifts;
}

std::optional<ShiftTest> CircularShiftTest(const LogReturnSums& sums, const std::vector<Hold>& holds, Side side,
                                           int shiftCount, std::uint64_t seed) {
    return CircularShiftTestWith(sums, holds, side, DrawShifts(sums.Steps(), shiftCount, seed));
}

std::optional<ShiftTest> CircularShiftTestWith(const LogReturnSums& sums, const std::vector<Hold>& holds, Side side,
                                               std::vector<std::size_t> shifts) {
    const std::size_t steps = sums.Steps();
    if (holds.empty() || steps < 2 || shifts.empty() || !InsideSeries(holds, sums.Closes())) return std::nullopt;
    const double n = static_cast<double>(holds.size());
    const double sign = SignOf(side);
    ShiftTest test;
    // Sums rather than means inside the loop; the same prefix sums for the observed
    // statistic and the shifted ones, so equal holds give equal sums.
    const double observedSum = sign * ShiftedSum(sums, holds, 0, steps);
    const double threshold = observedSum - kTieTolerance * n;
    test.observed = observedSum / n;
    test.null.reserve(shifts.size());
    for (const std::size_t shift : shifts) {
        const double shiftedSum = sign * ShiftedSum(sums, holds, shift % steps, steps);
        test.atLeastObserved += shiftedSum >= threshold ? 1 : 0;
        test.null.push_back(shiftedSum / n);
    }
    test.pValue = (1.0 + test.atLeastObserved) / (1.0 + static_cast<double>(shifts.size()));
    test.shifts = std::move(shifts);
    return test;
}

}  // namespace kovo::stats
