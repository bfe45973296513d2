// Prints the statistics of fixed inputs as JSON, inputs included, for check_stats.py to
// recompute with independent implementations (statsmodels, numpy, scipy, plain loops).
//
// usage: stats_crosscheck CASE    CASE: bh, hac, shift, bootstrap, baseline, risk
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "stats/baseline.h"
#include "stats/bootstrap.h"
#include "stats/circular_shift.h"
#include "stats/false_discovery.h"
#include "stats/newey_west.h"
#include "stats/random_stream.h"
#include "stats/risk_figures.h"

namespace {

using namespace kovo::stats;

// ---- JSON pieces: every double with 17 significant digits, so it reads back exactly.

std::string Number(double x) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", x);
    return text;
}

std::string Number(std::optional<double> x) { return x ? Number(*x) : "null"; }
std::string Number(std::size_t x) { return std::to_string(x); }
std::string Number(int x) { return std::to_string(x); }

template <typename T>
std::string Array(const std::vector<T>& values) {
    std::string text = "[";
    for (std::size_t i = 0; i < values.size(); ++i) text += (i ? "," : "") + Number(values[i]);
    return text + "]";
}

std::string HoldArray(const std::vector<Hold>& holds) {
    std::string text = "[";
    for (std::size_t i = 0; i < holds.size(); ++i)
        text += (i ? ",[" : "[") + Number(holds[i].entry) + "," + Number(holds[i].exit) + "]";
    return text + "]";
}

// ---- fixed inputs

// A uniform double in [0, 1) from the top 53 bits of a raw output.
double Uniform(RandomStream& stream) { return static_cast<double>(stream.Raw() >> 11) * 0x1.0p-53; }

// A standard normal draw (Box-Muller).
double Normal(RandomStream& stream) {
    const double u = 1.0 - Uniform(stream);
    return std::sqrt(-2.0 * std::log(u)) * std::cos(6.283185307179586 * Uniform(stream));
}

std::vector<double> RandomWalk(std::size_t n, double drift, double volatility, std::uint64_t seed) {
    RandomStream stream(seed);
    std::vector<double> closes{100};
    while (closes.size() < n) closes.push_back(closes.back() * std::exp(drift + volatility * Normal(stream)));
    return closes;
}

// Holds of 1..maxLength steps with gaps of 1..maxGap, the last one ending on the last day.
std::vector<Hold> RandomHolds(std::size_t closes, std::size_t maxLength, std::size_t maxGap, std::uint64_t seed) {
    RandomStream stream(seed);
    std::vector<Hold> holds;
    std::size_t day = 1 + stream.Below(maxGap);
    while (true) {
        const std::size_t length = 1 + stream.Below(maxLength);
        if (day + length >= closes - 1) break;
        holds.push_back({.entry = day, .exit = day + length});
        day += length + 1 + stream.Below(maxGap);
    }
    holds.push_back({.entry = closes - 1 - std::min<std::size_t>(maxLength, closes - 1), .exit = closes - 1});
    while (holds.size() > 1 && holds[holds.size() - 2].exit > holds.back().entry) holds.erase(holds.end() - 2);
    return holds;
}

// ---- the cases

void BenjaminiHochbergCase() {
    RandomStream stream(2718);
    std::vector<std::vector<std::optional<double>>> families(5);
    for (int i = 0; i < 21; ++i)  // p-values as a permutation test gives them, a few absent
        families[0].push_back(i % 8 == 3 ? std::nullopt
                                         : std::optional<double>((1.0 + static_cast<double>(stream.Below(i < 4 ? 30 : 10001))) / 10001.0));
    for (int i = 0; i < 42; ++i) families[1].push_back(i % 5 == 4 ? families[1][static_cast<std::size_t>(i - 2)] : Uniform(stream));
    families[2].assign(7, 0.2);
    families[3] = {0.03};
    families[4] = {0.8, 0.9, 0.95, 0.99, 1.0, std::nullopt};
    std::string text = "{\"families\":[";
    for (std::size_t f = 0; f < families.size(); ++f) {
        const FalseDiscovery fd = BenjaminiHochberg(families[f], 0.10);
        text += (f ? "," : "") + std::string("{\"p\":") + Array(families[f]) + ",\"q\":" + Array(fd.qValues) +
                ",\"tested\":" + Number(fd.tested) + ",\"passing\":" + Number(fd.passing) + ",\"threshold\":0.1}";
    }
    std::printf("%s]}\n", text.c_str());
}

// h-day returns after every day of a random walk (overlapping when h > 1), thinned.
std::vector<double> OverlappingReturns(std::size_t n, std::size_t h, std::uint64_t seed) {
    const std::vector<double> closes = RandomWalk(n + h, 0.0003, 0.01, seed);
    std::vector<double> returns;
    for (std::size_t b = 0; b < n; ++b) returns.push_back(closes[b + h] / closes[b] - 1.0);
    return returns;
}

void NeweyWestCase() {
    struct Series {
        std::vector<double> y;
        std::size_t lag;
    };
    const std::vector<Series> all{{OverlappingReturns(50, 1, 11), 0},    {OverlappingReturns(200, 5, 12), 4},
                                  {OverlappingReturns(500, 20, 13), 19}, {OverlappingReturns(8, 20, 14), 19},
                                  {OverlappingReturns(2, 1, 15), 1},     {OverlappingReturns(1000, 5, 16), 4}};
    std::string text = "{\"series\":[";
    for (std::size_t i = 0; i < all.size(); ++i) {
        const auto nw = NeweyWestOfMean(all[i].y, all[i].lag);
        text += (i ? "," : "") + std::string("{\"y\":") + Array(all[i].y) + ",\"lag\":" + Number(all[i].lag) +
                ",\"t\":" + Number(nw ? std::optional<double>(nw->t) : std::nullopt) +
                ",\"se\":" + Number(nw ? std::optional<double>(nw->standardError) : std::nullopt) + "}";
    }
    // The event study's form: events' h-day returns against the series' mean h-day return.
    const std::vector<double> closes = RandomWalk(3000, 0.0002, 0.011, 17);
    BaselineTable table(closes);
    text += "],\"events\":[";
    const std::vector<int> horizons{1, 5, 20};
    for (std::size_t k = 0; k < horizons.size(); ++k) {
        const int h = horizons[k];
        std::vector<double> returns;
        for (std::size_t b = 7; b + static_cast<std::size_t>(h) < closes.size(); b += 3 + (b % 11))
            returns.push_back(closes[b + static_cast<std::size_t>(h)] / closes[b] - 1.0);
        const double seriesMean = table.ForLength(static_cast<std::size_t>(h))->meanReturn;
        text += (k ? "," : "") + std::string("{\"returns\":") + Array(returns) + ",\"series_mean\":" + Number(seriesMean) +
                ",\"horizon\":" + Number(h) + ",\"t\":" + Number(EventExcessT(returns, seriesMean, h)->t) + "}";
    }
    std::printf("%s]}\n", text.c_str());
}

std::string ShiftCaseText(const std::vector<double>& closes, const std::vector<Hold>& holds, Side side, int shifts,
                          std::uint64_t seed) {
    const auto test = CircularShiftTest(LogReturnSums(closes), holds, side, shifts, seed);
    if (!test) return "null";
    return "{\"closes\":" + Array(closes) + ",\"holds\":" + HoldArray(holds) + ",\"side\":\"" +
           (side == Side::Long ? "long" : "short") + "\",\"tie_tolerance\":" + Number(kTieTolerance) +
           ",\"shifts\":" + Array(test->shifts) + ",\"observed\":" + Number(test->observed) + ",\"null\":" +
           Array(test->null) + ",\"at_least\":" + Number(test->atLeastObserved) + ",\"p\":" + Number(test->pValue) + "}";
}

void CircularShiftCase() {
    const std::vector<double> walk = RandomWalk(1500, 0.0002, 0.012, 31);
    const std::vector<Hold> holds = RandomHolds(walk.size(), 40, 60, 32);
    // A planted rise of 0.2 % a day inside the holds of a second series.
    std::vector<double> planted = RandomWalk(1500, 0.0, 0.01, 33);
    for (const Hold& hold : holds)
        for (std::size_t i = hold.entry + 1; i < planted.size(); ++i)
            planted[i] *= std::pow(1.002, static_cast<double>(std::min(i, hold.exit) - hold.entry));
    const std::uint64_t seed = StreamSeed(2024, IdentityHash("long con 8"), StreamPurpose::CircularShift);
    std::printf("{\"cases\":[%s,%s,%s,%s]}\n", ShiftCaseText(walk, holds, Side::Long, 3000, seed).c_str(),
                ShiftCaseText(walk, holds, Side::Short, 3000, seed + 1).c_str(),
                ShiftCaseText(planted, holds, Side::Long, 3000, seed + 2).c_str(),
                ShiftCaseText({100, 103, 99}, {{.entry = 0, .exit = 1}}, Side::Long, 20, seed).c_str());
}

void BootstrapCase() {
    RandomStream source(41);
    std::vector<double> small;
    for (int i = 0; i < 15; ++i) small.push_back(0.004 + 0.03 * Normal(source));
    std::vector<double> large;
    for (int i = 0; i < 60; ++i) large.push_back(0.01 + 0.05 * Normal(source) * (1 + Uniform(source)));
    const std::uint64_t seed = 4242;
    const int resamples = 1000;
    // The indexes, replayed in the documented order from the same seed.
    RandomStream replay(seed);
    std::string indexes = "[";
    for (int j = 0; j < resamples; ++j) {
        indexes += j ? ",[" : "[";
        for (std::size_t i = 0; i < small.size(); ++i) indexes += (i ? "," : "") + Number(static_cast<std::size_t>(replay.Below(small.size())));
        indexes += "]";
    }
    indexes += "]";
    const auto ci = BootstrapMeanInterval(small, resamples, seed);
    const auto wide = BootstrapMeanInterval(large, kDefaultResamples, seed);
    std::printf("{\"small\":{\"returns\":%s,\"indexes\":%s,\"means\":%s,\"mean_pct\":%s,\"low_pct\":%s,\"high_pct\":%s},"
                "\"large\":{\"returns\":%s,\"resamples\":%d,\"mean_pct\":%s,\"low_pct\":%s,\"high_pct\":%s}}\n",
                Array(small).c_str(), indexes.c_str(), Array(ResampleMeans(small, resamples, seed)).c_str(),
                Number(ci->meanPct).c_str(), Number(ci->lowPct).c_str(), Number(ci->highPct).c_str(), Array(large).c_str(),
                kDefaultResamples, Number(wide->meanPct).c_str(), Number(wide->lowPct).c_str(), Number(wide->highPct).c_str());
}

void BaselineCase() {
    const std::vector<double> closes = RandomWalk(700, 0.0001, 0.015, 51);
    const std::vector<Hold> holds = RandomHolds(closes.size(), 30, 25, 52);
    BaselineTable table(closes);
    const Baseline longSide = BaselineOf(holds, Side::Long, table);
    const Baseline shortSide = BaselineOf(holds, Side::Short, table);
    std::printf("{\"closes\":%s,\"holds\":%s,\"long\":{\"mean\":%s,\"hit\":%s},\"short\":{\"mean\":%s,\"hit\":%s}}\n",
                Array(closes).c_str(), HoldArray(holds).c_str(), Number(longSide.meanReturn).c_str(),
                Number(longSide.hitRate).c_str(), Number(shortSide.meanReturn).c_str(), Number(shortSide.hitRate).c_str());
}

void RiskCase() {
    RandomStream stream(61);
    std::vector<double> trades;
    for (int i = 0; i < 40; ++i) trades.push_back(0.003 + 0.04 * Normal(stream));
    const std::vector<double> closes = RandomWalk(800, 0.0003, 0.01, 62);
    std::vector<double> equity{1.0};
    for (std::size_t k = 1; k < closes.size(); ++k)  // in the market two days of three
        equity.push_back(equity.back() * (k % 3 ? closes[k] / closes[k - 1] : 1.0));
    const std::vector<double> daily = DailyReturnsOf(equity);
    const TradeFigures t = TradeFiguresOf(trades);
    std::string text = "{\"trades\":" + Array(trades) + ",\"days_in_market\":500,\"equity\":" + Array(equity) +
                       ",\"profit_factor\":" + Number(t.profitFactor) + ",\"average_win\":" + Number(t.averageWin) +
                       ",\"average_loss\":" + Number(t.averageLoss) + ",\"best\":" + Number(t.bestTrade) +
                       ",\"worst\":" + Number(t.worstTrade) + ",\"per_day\":" + Number(ReturnPerDayInMarket(trades, 500)) +
                       ",\"rates\":[";
    const std::vector<double> rates{0.0, 4.5};
    for (std::size_t i = 0; i < rates.size(); ++i) {
        const DailyFigures d = DailyFiguresOf(daily, rates[i]);
        text += (i ? "," : "") + std::string("{\"risk_free_pct\":") + Number(rates[i]) + ",\"volatility\":" +
                Number(d.annualisedVolatility) + ",\"sharpe\":" + Number(d.sharpe) + ",\"sortino\":" + Number(d.sortino) + "}";
    }
    std::printf("%s]}\n", text.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    const std::string_view which = argc == 2 ? argv[1] : "";
    if (which == "bh") BenjaminiHochbergCase();
    else if (which == "hac") NeweyWestCase();
    else if (which == "shift") CircularShiftCase();
    else if (which == "bootstrap") BootstrapCase();
    else if (which == "baseline") BaselineCase();
    else if (which == "risk") RiskCase();
    else {
        std::fprintf(stderr, "usage: stats_crosscheck bh|hac|shift|bootstrap|baseline|risk\n");
        return 2;
    }
    return 0;
}
