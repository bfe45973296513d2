#pragma once
// Seeded random walks of daily closes for checking that the backtest's p-values and
// q-values mean what they say: on pure noise a rule should pass no more often than its
// level, and an effect planted on the days one rule holds should be found.
//
// The draws come from stats::RandomStream (a fixed engine and our own reductions), so
// a walk is the same on every platform for the same seed.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <numbers>
#include <vector>

#include "backtest/price_series.h"
#include "backtest/trade_rules.h"
#include "stats/random_stream.h"

namespace kovo::testing {

// A uniform draw in (0, 1]: 53 random bits, never 0, so that its logarithm is finite.
inline double UnitDraw(stats::RandomStream& stream) {
    return (static_cast<double>(stream.Raw() >> 11) + 1.0) * 0x1.0p-53;
}

// A standard normal draw (Box-Muller, the cosine half).
inline double NormalDraw(stats::RandomStream& stream) {
    const double radius = std::sqrt(-2.0 * std::log(UnitDraw(stream)));
    return radius * std::cos(2.0 * std::numbers::pi * UnitDraw(stream));
}

// marks[i] is true when a trade holds the step from close i to close i + 1.
inline std::vector<bool> HeldSteps(const std::vector<backtest::Trade>& trades, std::size_t closes) {
    std::vector<bool> marks(closes > 0 ? closes - 1 : 0, false);
    for (const backtest::Trade& trade : trades)
        for (std::size_t i = trade.entryIndex; i < trade.exitIndex && i < marks.size(); ++i) marks[i] = true;
    return marks;
}

struct WalkShape {
    double sd = 0.01;         // of the daily log return
    double drift = 0;         // mean daily log return
    double plantedExtra = 0;  // added to the log return of every marked step
};

// Closes on the trading days of `days` (their closes are ignored), starting at 100; the
// log return of step i is drift + sd * z_i, plus plantedExtra where planted[i] is set
// (`planted` may be shorter or empty). The same seed draws the same z_i whatever is
// planted, so a planted walk differs from its noise walk only on the marked steps.
inline backtest::PriceSeries RandomWalk(const backtest::PriceSeries& days, std::uint64_t seed, const WalkShape& shape,
                                        const std::vector<bool>& planted = {}) {
    backtest::PriceSeries walk = days;
    stats::RandomStream stream(seed);
    double logClose = std::log(100.0);
    for (std::size_t i = 0; i < walk.points.size(); ++i) {
        walk.points[i].close = std::exp(logClose);
        logClose += shape.drift + shape.sd * NormalDraw(stream);
        if (i < planted.size() && planted[i]) logClose += shape.plantedExtra;
    }
    return walk;
}

}  // namespace kovo::testing
