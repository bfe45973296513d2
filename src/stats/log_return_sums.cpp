#include "stats/log_return_sums.h"

#include <cmath>

namespace kovo::stats {

LogReturnSums::LogReturnSums(const std::vector<double>& closes) : closes_(closes.size()) {
    if (closes.empty()) {
        sums_.assign(1, 0.0);
        return;
    }
    const std::size_t steps = Steps();
    sums_.resize(2 * steps + 1);
    for (std::size_t i = 0; i <= steps; ++i) sums_[i] = std::log(closes[i] / closes[0]);
    // The second lap of the circle: day M + i is day i after one whole turn.
    for (std::size_t i = 1; i <= steps; ++i) sums_[steps + i] = sums_[steps] + sums_[i];
}

}  // namespace kovo::stats
