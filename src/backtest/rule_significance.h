#pragma once
// Whether a rule's trades beat chance: the baseline of random holds of the same lengths,
// the excess over it, the circular-shift p-value, a bootstrap interval of the mean trade
// return and, once the whole family of rules is known, the Benjamini-Hochberg q-value.
// The definitions are those of the stats layer (baseline.h, circular_shift.h,
// bootstrap.h, false_discovery.h); this file applies them to a strategy's trades.
//
// Costs: the baseline's holds pay the same costs as the rule's trades, so the excess
// measures timing alone; its hit rate compares closes before costs. The permutation
// statistic (the mean trade log return) moves by the same constant for the rule and for
// every shift, so costs never change a p-value.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "backtest/price_series.h"
#include "backtest/trade_rules.h"
#include "stats/baseline.h"
#include "stats/bootstrap.h"
#include "stats/circular_shift.h"
#include "stats/log_return_sums.h"

namespace kovo::backtest {

inline constexpr std::uint64_t kDefaultSeed = 1;
inline constexpr double kDiscoveryThreshold = 0.10;  // q below this: the rule survives

struct RuleSignificance {
    std::optional<double> baselineMean;     // fraction, net of costs
    std::optional<double> baselineHitRate;  // share 0..1, before costs
    std::optional<double> excessPct;        // 100 * (mean trade return - baseline mean)
    std::optional<stats::ShiftTest> shift;  // p-value and the null distribution
    std::optional<stats::BootstrapInterval> interval;
    std::optional<double> qValue;           // filled in over the family

    std::optional<double> PValue() const { return shift ? std::optional<double>(shift->pValue) : std::nullopt; }
    bool Survives() const { return qValue && *qValue < kDiscoveryThreshold; }
};

// What every rule of one series shares: the prefix sums, the baseline's cache, and the
// run's settings. Built once per range.
class SignificanceContext {
public:
    SignificanceContext(const PriceSeries& prices, int permutations, std::uint64_t seed, double cost);

    const stats::LogReturnSums& Sums() const { return sums_; }
    stats::BaselineTable& Baselines() { return baselines_; }
    int Permutations() const { return permutations_; }
    std::uint64_t Seed() const { return seed_; }
    double Cost() const { return cost_; }

private:
    SignificanceContext(std::vector<double> closes, int permutations, std::uint64_t seed, double cost);

    stats::LogReturnSums sums_;
    stats::BaselineTable baselines_;
    int permutations_;
    std::uint64_t seed_;
    double cost_;
};

// The closes of a series, in order.
std::vector<double> ClosesOf(const PriceSeries& prices);

// The significance of one rule's trades (q-value still absent); `identity` names the rule
// (see RuleIdentity) and seeds its streams, so its figures do not depend on the others.
RuleSignificance SignificanceOf(const std::vector<Trade>& trades, Side side, const std::string& identity,
                                SignificanceContext& context);

// Benjamini-Hochberg over a family: fills every qValue from the p-values; returns the
// number of rules with a p-value and of those with q below kDiscoveryThreshold.
struct FamilyCount {
    int tested = 0;
    int passing = 0;
};
FamilyCount FillQValues(const std::vector<RuleSignificance*>& family);

}  // namespace kovo::backtest
