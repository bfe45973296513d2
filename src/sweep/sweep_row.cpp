#include "sweep/sweep_row.h"

#include <algorithm>
#include <tuple>

#include "astro/catalogue.h"
#include "backtest/backtest_table.h"
#include "stats/false_discovery.h"
#include "sweep/sweep_pairs.h"

namespace kovo::sweep {

namespace {

constexpr const char* kKeys[kFigureCount] = {
    "trades",          "profitable_pct", "mean_pct",        "median_pct",      "total_pct",
    "annual_pct",      "max_drawdown_pct", "days_held",     "in_market_pct",   "open_at_end",
    "opened_at_start", "same_day_stays", "baseline_pct",    "baseline_hit_pct", "excess_pct",
    "p",               "q",              "ci_low_pct",      "ci_high_pct",     "per_day_in_market_pct",
    "volatility_pct",  "sharpe",         "sortino",         "profit_factor",   "average_win_pct",
    "average_loss_pct", "best_trade_pct", "worst_trade_pct", "before_trades",  "before_excess_pct",
    "before_p",        "before_q",       "after_trades",    "after_excess_pct", "after_p",
    "after_q"};

std::optional<double> Percent(std::optional<double> fraction) {
    return fraction ? std::optional<double>(*fraction * 100.0) : std::nullopt;
}

std::optional<double> Whole(int count) { return static_cast<double>(count); }

std::optional<double> Ci(const backtest::RuleSignificance& s, bool low) {
    if (!s.interval) return std::nullopt;
    return low ? s.interval->lowPct : s.interval->highPct;
}

// The key of the canonical order.
std::tuple<int, bool, int, int, int, int> OrderKey(const SweepRow& row) {
    return {static_cast<int>(row.unit.kind), row.unit.pair.heliocentric, astro::PlanetIndex(row.unit.pair.first),
            astro::PlanetIndex(row.unit.pair.second), row.ruleIndex, static_cast<int>(row.side)};
}

void FillFamily(std::vector<SweepRow>& rows, Figure p, Figure q, SweepCount* count) {
    std::vector<std::optional<double>> pValues;
    pValues.reserve(rows.size());
    for (const SweepRow& row : rows) pValues.push_back(row[p]);
    const stats::FalseDiscovery fdr = stats::BenjaminiHochberg(pValues, backtest::kDiscoveryThreshold);
    for (std::size_t i = 0; i < rows.size(); ++i) rows[i][q] = fdr.qValues[i];
    if (count != nullptr) *count = {.tested = fdr.tested, .passing = fdr.passing};
}

}  // namespace

const char* FigureKey(Figure figure) { return kKeys[static_cast<std::size_t>(figure)]; }

int FigureDecimals(Figure figure) {
    switch (figure) {
        case Figure::Trades:
        case Figure::OpenAtEnd:
        case Figure::OpenedAtStart:
        case Figure::SameDayStays:
        case Figure::BeforeTrades:
        case Figure::AfterTrades:
            return 0;
        case Figure::P:
        case Figure::Q:
        case Figure::BeforeP:
        case Figure::BeforeQ:
        case Figure::AfterP:
        case Figure::AfterQ:
            return 4;
        case Figure::DaysHeld:
            return 1;
        case Figure::PerDayInMarketPct:
            return 3;
        default:
            return 2;
    }
}

bool SweepRow::Survives() const {
    const auto& q = (*this)[Figure::Q];
    return q && *q < backtest::kDiscoveryThreshold;
}

std::optional<bool> SweepRow::Held() const {
    const auto& before = (*this)[Figure::BeforeExcessPct];
    const auto& after = (*this)[Figure::AfterExcessPct];
    if (!before || !after || *before == 0 || *after == 0) return std::nullopt;
    return (*before > 0) == (*after > 0);
}

std::string UnitName(const SweepUnit& unit) {
    switch (unit.kind) {
        case UnitKind::Pair:
            return PairLabel(unit.pair);
        case UnitKind::Cycles:
            return astro::PlanetName(astro::PlanetIndex(unit.pair.first), false, false) + " cycles";
        case UnitKind::Lunar:
            break;
    }
    return "Moon phases";
}

const char* UnitCentricity(const SweepUnit& unit) {
    return unit.kind == UnitKind::Pair && unit.pair.heliocentric ? "helio" : "geo";
}

backtest::BacktestParams UnitParams(const SweepRequest& request, const SweepUnit& unit, backtest::Side side) {
    backtest::BacktestParams params;
    params.first = unit.pair.first;
    params.second = unit.pair.second;
    params.heliocentric = unit.kind == UnitKind::Pair && unit.pair.heliocentric;
    params.aspects = request.aspects;
    params.orbDegrees = request.orbDegrees;
    params.side = side;
    params.fromDay = request.fromDay;
    params.toDay = request.toDay;
    params.zone = request.zone;
    params.pluto = request.pluto;
    params.permutations = request.permutations;
    params.seed = request.seed;
    params.holdoutDay = request.holdoutDay;
    params.costBasisPoints = request.costBasisPoints;
    if (unit.kind == UnitKind::Cycles) params.cycleBody = unit.pair.first;
    params.lunar = unit.kind == UnitKind::Lunar;
    params.daysAfter = request.daysAfter;
    params.daysAround = request.daysAround;
    params.eventStudy = false;
    return params;
}

SweepRow RowOf(const SweepUnit& unit, backtest::Side side, int ruleIndex, const backtest::StrategyResult& strategy,
               const backtest::StrategyResult* before, const backtest::StrategyResult* after) {
    SweepRow row;
    row.unit = unit;
    row.side = side;
    row.ruleIndex = ruleIndex;
    row.aspect = strategy.trades.rule.empty() ? strategy.trades.aspect : 0;
    row.orbDegrees = row.aspect == 0 ? 0 : strategy.trades.orbDegrees;
    row.rule = backtest::StrategyName(strategy.trades);
    const backtest::BacktestStatistics& st = strategy.stats;
    const backtest::RuleSignificance& g = strategy.significance;
    const backtest::StrategyRisk& k = strategy.risk;
    const bool any = st.trades > 0;
    row[Figure::Trades] = Whole(st.trades);
    row[Figure::ProfitablePct] = Percent(st.profitableShare);
    row[Figure::MeanPct] = Percent(st.meanReturn);
    row[Figure::MedianPct] = Percent(st.medianReturn);
    if (any) row[Figure::TotalPct] = Percent(st.totalReturn);
    if (any) row[Figure::AnnualPct] = Percent(st.annualisedReturn);
    row[Figure::MaxDrawdownPct] = Percent(st.maxDrawdown);
    row[Figure::DaysHeld] = st.averageDaysHeld;
    row[Figure::InMarketPct] = Percent(st.timeInMarket);
    row[Figure::OpenAtEnd] = Whole(st.openAtEnd);
    row[Figure::OpenedAtStart] = Whole(st.openedAtStart);
    row[Figure::SameDayStays] = Whole(st.sameDayStays);
    row[Figure::BaselinePct] = Percent(g.baselineMean);
    row[Figure::BaselineHitPct] = Percent(g.baselineHitRate);
    row[Figure::ExcessPct] = g.excessPct;
    row[Figure::P] = g.PValue();
    row[Figure::CiLowPct] = Ci(g, true);
    row[Figure::CiHighPct] = Ci(g, false);
    row[Figure::PerDayInMarketPct] = Percent(k.returnPerDayInMarket);
    row[Figure::VolatilityPct] = Percent(k.daily.annualisedVolatility);
    row[Figure::Sharpe] = k.daily.sharpe;
    row[Figure::Sortino] = k.daily.sortino;
    row[Figure::ProfitFactor] = k.trades.profitFactor;
    row[Figure::AverageWinPct] = Percent(k.trades.averageWin);
    row[Figure::AverageLossPct] = Percent(k.trades.averageLoss);
    row[Figure::BestTradePct] = Percent(k.trades.bestTrade);
    row[Figure::WorstTradePct] = Percent(k.trades.worstTrade);
    if (before != nullptr && after != nullptr) {
        row[Figure::BeforeTrades] = Whole(before->stats.trades);
        row[Figure::BeforeExcessPct] = before->significance.excessPct;
        row[Figure::BeforeP] = before->significance.PValue();
        row[Figure::AfterTrades] = Whole(after->stats.trades);
        row[Figure::AfterExcessPct] = after->significance.excessPct;
        row[Figure::AfterP] = after->significance.PValue();
    }
    return row;
}

bool CanonicalBefore(const SweepRow& a, const SweepRow& b) { return OrderKey(a) < OrderKey(b); }

SweepCount RankRows(std::vector<SweepRow>& rows) {
    SweepCount count;
    FillFamily(rows, Figure::P, Figure::Q, &count);
    FillFamily(rows, Figure::BeforeP, Figure::BeforeQ, nullptr);
    FillFamily(rows, Figure::AfterP, Figure::AfterQ, nullptr);
    std::stable_sort(rows.begin(), rows.end(), [](const SweepRow& a, const SweepRow& b) {
        const auto& qa = a[Figure::Q];
        const auto& qb = b[Figure::Q];
        if (qa.has_value() != qb.has_value()) return qa.has_value();
        if (qa && *qa != *qb) return *qa < *qb;
        const auto& pa = a[Figure::P];
        const auto& pb = b[Figure::P];
        if (pa.has_value() != pb.has_value()) return pa.has_value();
        if (pa && *pa != *pb) return *pa < *pb;
        return CanonicalBefore(a, b);
    });
    return count;
}

}  // namespace kovo::sweep
