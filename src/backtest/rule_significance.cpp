#include "backtest/rule_significance.h"

#include "stats/false_discovery.h"
#include "stats/random_stream.h"
#include "stats/sample_figures.h"

namespace kovo::backtest {

SignificanceContext::SignificanceContext(const PriceSeries& prices, int permutations, std::uint64_t seed, double cost)
    : SignificanceContext(ClosesOf(prices), permutations, seed, cost) {}

SignificanceContext::SignificanceContext(std::vector<double> closes, int permutations, std::uint64_t seed, double cost)
    : sums_(closes), baselines_(std::move(closes)), permutations_(permutations), seed_(seed), cost_(cost) {}

std::vector<double> ClosesOf(const PriceSeries& prices) {
    std::vector<double> closes;
    closes.reserve(prices.Size());
    for (const PricePoint& point : prices.points) closes.push_back(point.close);
    return closes;
}

RuleSignificance SignificanceOf(const std::vector<Trade>& trades, Side side, const std::string& identity,
                                SignificanceContext& context) {
    RuleSignificance result;
    if (trades.empty()) return result;
    std::vector<stats::Hold> holds;
    std::vector<double> returns;
    for (const Trade& trade : trades) {
        holds.push_back({.entry = trade.entryIndex, .exit = trade.exitIndex});
        returns.push_back(trade.tradeReturn);
    }
    const stats::Baseline baseline = stats::BaselineOf(holds, side, context.Baselines());
    if (baseline.meanReturn) result.baselineMean = NetOfCosts(*baseline.meanReturn, context.Cost());
    result.baselineHitRate = baseline.hitRate;
    result.excessPct = stats::ExcessPct(stats::MeanOf(returns), result.baselineMean);
    const std::uint64_t hash = stats::IdentityHash(identity);
    result.shift = stats::CircularShiftTest(
        context.Sums(), holds, side, context.Permutations(),
        stats::StreamSeed(context.Seed(), hash, stats::StreamPurpose::CircularShift));
    result.interval = stats::BootstrapMeanInterval(
        returns, context.Permutations(), stats::StreamSeed(context.Seed(), hash, stats::StreamPurpose::Bootstrap));
    return result;
}

FamilyCount FillQValues(const std::vector<RuleSignificance*>& family) {
    std::vector<std::optional<double>> pValues;
    for (const RuleSignificance* rule : family) pValues.push_back(rule->PValue());
    const stats::FalseDiscovery fdr = stats::BenjaminiHochberg(pValues, kDiscoveryThreshold);
    for (std::size_t i = 0; i < family.size(); ++i) family[i]->qValue = fdr.qValues[i];
    return {.tested = fdr.tested, .passing = fdr.passing};
}

}  // namespace kovo::backtest
