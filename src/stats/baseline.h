#pragma once
// The baseline of a rule: what the same number of holds of the same lengths would have
// earned at random start days of the same series, and the rule's excess over it.
//
// P[0..N-1] are the closes. An L-step hold (L = exit - entry trading days) can start on
// any of the N - L days b = 0..N-1-L and end inside the series (no wrap). Its average
// over all those starts, for the long side:
//   m(L)    = 1/(N-L) * sum_b (P[b+L] / P[b] - 1)              mean simple return
//   up(L)   = 1/(N-L) * #{b : P[b+L] > P[b]}                   share of rises
//   down(L) = 1/(N-L) * #{b : P[b+L] < P[b]}                   share of falls
// A rule with n holds of lengths L[1..n] then has
//   long:  baseline mean = 1/n * sum_i m(L[i]),   baseline hit rate = 1/n * sum_i up(L[i])
//   short: baseline mean = -1/n * sum_i m(L[i]),  baseline hit rate = 1/n * sum_i down(L[i])
// (a short hold's return 1 - P[b+L]/P[b] is minus the long one; it is a hit when the
// price falls; an unchanged close is a hit on neither side, as for the rule's trades).
//
// Why an exact average rather than random draws: drawing n random starts per length
// many times and averaging converges to exactly these figures; computing them over
// every start day gives that limit without the draws' noise and without a seed.
//
//   excess (percent) = 100 * (mean trade return - baseline mean)
//
// Empty inputs: a rule without holds has no baseline (absent mean and hit rate); a
// length with no start day (L >= N) has no average.
#include <cstddef>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include "stats/log_return_sums.h"
#include "stats/side.h"

namespace kovo::stats {

// The long-side average of an L-step hold over all its start days (see above).
struct LengthAverage {
    std::size_t starts = 0;   // N - L
    double meanReturn = 0;    // m(L), a fraction
    double riseShare = 0;     // up(L), 0..1
    double fallShare = 0;     // down(L), 0..1
};

// The averages of every hold length asked for, each computed once (O(N) per length).
// Not for use from several threads at once: it fills its cache as it is asked.
class BaselineTable {
public:
    // closes: P[0..N-1], every close > 0.
    explicit BaselineTable(std::vector<double> closes) : closes_(std::move(closes)) {}

    // The average of `length`-step holds; nothing when length >= N.
    std::optional<LengthAverage> ForLength(std::size_t length);

private:
    std::vector<double> closes_;
    std::unordered_map<std::size_t, LengthAverage> cache_;
};

struct Baseline {
    int holds = 0;                        // n, the holds that have a baseline
    std::optional<double> meanReturn;     // a fraction; absent without holds
    std::optional<double> hitRate;        // share 0..1; absent without holds
};

// The baseline of a rule's holds on `side`. Holds too long for the series (no start
// day) are left out of n.
Baseline BaselineOf(const std::vector<Hold>& holds, Side side, BaselineTable& table);

// 100 * (meanTradeReturn - baselineMean), both fractions; absent when either is.
std::optional<double> ExcessPct(std::optional<double> meanTradeReturn, std::optional<double> baselineMean);

}  // namespace kovo::stats
