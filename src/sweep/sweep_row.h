#pragma once
// One row of a sweep: a rule (a pair's aspect at one orb, or a named rule) on one side,
// with every figure of the backtest's statistics and significance tables, the hold-out's
// figures, and the q-value over the whole sweep.
//
// Figures are kept as the tables show them: percents as percents (100 x the fraction),
// p and q as they are, counts as whole numbers; absent where a figure does not apply.
// They are plain numbers, so that a sweep written as JSON and read back (the merge of
// several sweeps) gives the same tables bit for bit.
#include <array>
#include <cstddef>
#include <optional>
#include <string>

#include "backtest/backtest_run.h"
#include "sweep/sweep_request.h"

namespace kovo::sweep {

enum class Figure : std::size_t {
    Trades,
    ProfitablePct,
    MeanPct,
    MedianPct,
    TotalPct,
    AnnualPct,
    MaxDrawdownPct,
    DaysHeld,
    InMarketPct,
    OpenAtEnd,
    OpenedAtStart,
    SameDayStays,
    BaselinePct,
    BaselineHitPct,
    ExcessPct,
    P,
    Q,
    CiLowPct,
    CiHighPct,
    PerDayInMarketPct,
    VolatilityPct,
    Sharpe,
    Sortino,
    ProfitFactor,
    AverageWinPct,
    AverageLossPct,
    BestTradePct,
    WorstTradePct,
    // With a hold-out: the rule evaluated on the closes before it, then from it on; each
    // side's q over that side's rules of the whole sweep.
    BeforeTrades,
    BeforeExcessPct,
    BeforeP,
    BeforeQ,
    AfterTrades,
    AfterExcessPct,
    AfterP,
    AfterQ,
    Count
};

inline constexpr std::size_t kFigureCount = static_cast<std::size_t>(Figure::Count);

// The name of a figure in CSV headers and JSON ("trades", "excess_pct", "p", ...).
const char* FigureKey(Figure figure);
// The decimals the tables show: 0 for counts, 4 for p and q, 1 for days, 3 for the
// return per day in the market, else 2.
int FigureDecimals(Figure figure);

// What a row's rule belongs to: a pair's aspects, a body's cycles, the Moon's phases.
enum class UnitKind { Pair = 0, Cycles = 1, Lunar = 2 };

struct SweepUnit {
    UnitKind kind = UnitKind::Pair;
    SweepPair pair;  // Cycles: pair.first is the body; Lunar: unused

    friend bool operator==(const SweepUnit&, const SweepUnit&) = default;
};

struct SweepRow {
    SweepUnit unit;
    backtest::Side side = backtest::Side::Long;
    int ruleIndex = 0;   // the rule's place among its unit's rules, in the backtest's order
    int aspect = 0;      // 1..7 for an aspect rule, 0 for a named rule
    int orbDegrees = 0;  // an aspect rule's orb
    std::string rule;    // "Trine" or a named rule's label ("Retrograde")
    std::array<std::optional<double>, kFigureCount> figures{};

    std::optional<double>& operator[](Figure f) { return figures[static_cast<std::size_t>(f)]; }
    const std::optional<double>& operator[](Figure f) const { return figures[static_cast<std::size_t>(f)]; }
    bool Survives() const;
    // Whether the excess kept its sign out of sample (absent without a hold-out, or when
    // either side has no excess or an excess of 0).
    std::optional<bool> Held() const;
};

// "Mars-Jupiter", "Earth-Jupiter", "Mercury cycles", "Moon phases".
std::string UnitName(const SweepUnit& unit);
// "geo" or "helio"; named rules are geocentric.
const char* UnitCentricity(const SweepUnit& unit);
// The backtest of a unit: the request's settings with its pair or named rules on `side`.
backtest::BacktestParams UnitParams(const SweepRequest& request, const SweepUnit& unit, backtest::Side side);

// The row of one strategy of a backtest; `before` and `after` are the same strategy in
// the hold-out's periods, when there is one.
SweepRow RowOf(const SweepUnit& unit, backtest::Side side, int ruleIndex, const backtest::StrategyResult& strategy,
               const backtest::StrategyResult* before, const backtest::StrategyResult* after);

// Whether `a` comes before `b` in the canonical order: unit (pairs by centricity, then
// bodies; then cycles by body; then the Moon), rule, side. The order of a sweep's rows
// before ranking, and the tie-break of the ranking.
bool CanonicalBefore(const SweepRow& a, const SweepRow& b);

struct SweepCount {
    int tested = 0;   // rules with a p-value
    int passing = 0;  // q below backtest::kDiscoveryThreshold
};

// Fills the q-values (and those of the hold-out's sides) by Benjamini-Hochberg over all
// rows, then sorts by q, then p (absent last), then the canonical order.
SweepCount RankRows(std::vector<SweepRow>& rows);

}  // namespace kovo::sweep
