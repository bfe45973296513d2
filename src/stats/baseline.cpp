#include "stats/baseline.h"

namespace kovo::stats {

std::optional<LengthAverage> BaselineTable::ForLength(std::size_t length) {
    if (length >= closes_.size()) return std::nullopt;
    if (const auto found = cache_.find(length); found != cache_.end()) return found->second;
    LengthAverage average;
    average.starts = closes_.size() - length;
    double sum = 0;
    std::size_t rises = 0;
    std::size_t falls = 0;
    for (std::size_t b = 0; b < average.starts; ++b) {
        const double entry = closes_[b];
        const double exit = closes_[b + length];
        sum += exit / entry - 1.0;
        rises += exit > entry ? 1 : 0;
        falls += exit < entry ? 1 : 0;
    }
    const double starts = static_cast<double>(average.starts);
    average.meanReturn = sum / starts;
    average.riseShare = static_cast<double>(rises) / starts;
    average.fallShare = static_cast<double>(falls) / starts;
    cache_.emplace(length, average);
    return average;
}

Baseline BaselineOf(const std::vector<Hold>& holds, Side side, BaselineTable& table) {
    Baseline baseline;
    double meanSum = 0;
    double hitSum = 0;
    for (const Hold& hold : holds) {
        if (hold.exit < hold.entry) continue;
        const std::optional<LengthAverage> average = table.ForLength(hold.Length());
        if (!average) continue;
        ++baseline.holds;
        meanSum += average->meanReturn;
        hitSum += side == Side::Long ? average->riseShare : average->fallShare;
    }
    if (baseline.holds == 0) return baseline;
    const double n = baseline.holds;
    baseline.meanReturn = SignOf(side) * meanSum / n;
    baseline.hitRate = hitSum / n;
    return baseline;
}

std::optional<double> ExcessPct(std::optional<double> meanTradeReturn, std::optional<double> baselineMean) {
    if (!meanTradeReturn || !baselineMean) return std::nullopt;
    return 100.0 * (*meanTradeReturn - *baselineMean);
}

}  // namespace kovo::stats
