#include "stats/event_shift.h"

#include <cmath>
#include <utility>

namespace kovo::stats {

namespace {

double ShiftedSum(const LogReturnSums& sums, const std::vector<std::size_t>& bases, std::size_t horizon,
                  std::size_t k, std::size_t steps) {
    double total = 0;
    for (const std::size_t base : bases) {
        std::size_t start = base + k;
        if (start >= steps) start -= steps;
        total += sums.Circular(start, horizon);
    }
    return total;
}

}  // namespace

std::optional<ShiftTest> EventShiftTest(const LogReturnSums& sums, const std::vector<std::size_t>& bases,
                                        std::size_t horizon, int shiftCount, std::uint64_t seed) {
    const std::size_t steps = sums.Steps();
    if (bases.empty() || steps < 2 || shiftCount <= 0 || horizon < 1 || horizon > steps) return std::nullopt;
    for (const std::size_t base : bases)
        if (base + horizon >= sums.Closes()) return std::nullopt;
    const double n = static_cast<double>(bases.size());
    const double circleMean = static_cast<double>(horizon) * sums.Prefix(steps) / static_cast<double>(steps);
    ShiftTest test;
    test.shifts = DrawShifts(steps, shiftCount, seed);
    test.observed = std::abs(ShiftedSum(sums, bases, horizon, 0, steps) / n - circleMean);
    const double threshold = test.observed - kTieTolerance;
    test.null.reserve(test.shifts.size());
    for (const std::size_t shift : test.shifts) {
        const double distance = std::abs(ShiftedSum(sums, bases, horizon, shift % steps, steps) / n - circleMean);
        test.atLeastObserved += distance >= threshold ? 1 : 0;
        test.null.push_back(distance);
    }
    test.pValue = (1.0 + test.atLeastObserved) / (1.0 + static_cast<double>(test.shifts.size()));
    return test;
}

}  // namespace kovo::stats
