// Prints, as JSON, a small fixed backtest (a seeded walk of 400 closes, hand-placed
// stays and exact aspects, both sides) and the significance figures EvaluateBacktest
// gave it, for check_backtest_significance.py to recompute from the definitions.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "backtest/backtest_run.h"
#include "backtest/calibration_walks.h"
#include "test_support.h"

namespace {

using namespace kovo;
using namespace kovo::backtest;

std::string Number(std::optional<double> value) {
    if (!value) return "null";
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", *value);
    return text;
}

template <typename T, typename F>
std::string List(const std::vector<T>& items, F format) {
    std::string out = "[";
    for (std::size_t i = 0; i < items.size(); ++i) out += (i ? "," : "") + format(items[i]);
    return out + "]";
}

std::string Shifts(const std::optional<stats::ShiftTest>& test) {
    if (!test) return "null";
    return List(test->shifts, [](std::size_t k) { return std::to_string(k); });
}

std::string Rule(const StrategyResult& s) {
    const RuleSignificance& sig = s.significance;
    return "{\"aspect\":" + std::to_string(s.trades.aspect) + ",\"level\":" + std::to_string(s.trades.level) +
           ",\"holds\":" +
           List(s.trades.trades, [](const Trade& t) { return "[" + std::to_string(t.entryIndex) + "," + std::to_string(t.exitIndex) + "]"; }) +
           ",\"returns\":" + List(s.trades.trades, [](const Trade& t) { return Number(t.tradeReturn); }) +
           ",\"baseline\":" + Number(sig.baselineMean) + ",\"excess\":" + Number(sig.excessPct) +
           ",\"observed\":" + Number(sig.shift ? std::optional<double>(sig.shift->observed) : std::nullopt) +
           ",\"p\":" + Number(sig.PValue()) + ",\"shifts\":" + Shifts(sig.shift) + "}";
}

std::string Horizon(int aspect, int horizon, const HorizonReturns& h) {
    const RuleSignificance& sig = h.significance;
    return "{\"aspect\":" + std::to_string(aspect) + ",\"horizon\":" + std::to_string(horizon) +
           ",\"count\":" + std::to_string(h.count) + ",\"mean\":" + Number(h.mean) +
           ",\"baseline\":" + Number(sig.baselineMean) + ",\"excess\":" + Number(sig.excessPct) +
           ",\"t\":" + Number(h.neweyWest ? std::optional<double>(h.neweyWest->t) : std::nullopt) +
           ",\"p\":" + Number(sig.PValue()) + ",\"shifts\":" + Shifts(sig.shift) + "}";
}

std::string Case(const BacktestResult& r) {
    std::string events;
    for (const EventStudyRow& row : r.eventStudy)
        for (std::size_t h = 0; h < kEventHorizons.size(); ++h)
            events += (events.empty() ? "" : ",") + Horizon(row.aspect, kEventHorizons[h], row.horizons[h]);
    return "{\"side\":\"" + std::string(r.inputs.side == Side::Long ? "long" : "short") +
           "\",\"rules\":" + List(r.strategies, Rule) + ",\"events\":[" + events + "]}";
}

}  // namespace

int main() {
    PriceSeries days;
    const std::int32_t first = testing::Day(2011, 1, 3);  // a Monday
    for (std::int32_t d = first; days.Size() < 400; ++d)
        if (d % 7 < 5) days.points.push_back({.day = d, .close = 100, .line = 0});
    const PriceSeries prices = testing::RandomWalk(days, 3, {.sd = 0.012, .drift = 0.0004, .plantedExtra = 0});
    const auto day = [&](int offset) { return first + offset; };
    // A stay cut at the start, ones sharing a weekend, a nested middle and inner orb, one
    // still open at the end; exact aspects close together (overlapping windows), one
    // before the first close and one too late for the longer horizons.
    const std::vector<OrbStay> stays{
        {.aspect = 1, .level = 0, .entryDay = std::nullopt, .exitDay = day(12)},
        {.aspect = 1, .level = 0, .entryDay = day(40), .exitDay = day(75)},
        {.aspect = 1, .level = 1, .entryDay = day(48), .exitDay = day(66)},
        {.aspect = 1, .level = 2, .entryDay = day(55), .exitDay = day(60)},
        {.aspect = 1, .level = 0, .entryDay = day(200), .exitDay = day(236)},
        {.aspect = 1, .level = 0, .entryDay = day(237), .exitDay = day(260)},
        {.aspect = 4, .level = 0, .entryDay = day(90), .exitDay = day(130)},
        {.aspect = 4, .level = 1, .entryDay = day(100), .exitDay = day(121)},
        {.aspect = 4, .level = 0, .entryDay = day(300), .exitDay = day(351)},
        {.aspect = 4, .level = 0, .entryDay = day(500), .exitDay = std::nullopt},
    };
    std::vector<ExactEvent> exacts;
    for (const int offset : {-5, 3, 57, 61, 64, 250, 320, 333, 545, 557})
        exacts.push_back({.aspect = 1, .instantUt = 0, .day = day(offset)});
    for (const int offset : {110, 113, 330, 552}) exacts.push_back({.aspect = 4, .instantUt = 0, .day = day(offset)});

    std::string cases;
    for (const Side side : {Side::Long, Side::Short}) {
        BacktestParams params;
        params.side = side;
        params.permutations = 199;
        params.seed = 11;
        params.aspects = {true, false, false, true, false, false, false};
        cases += (cases.empty() ? "" : ",") + Case(EvaluateBacktest(params, prices, stays, exacts));
    }
    std::printf("{\"days\":%s,\"closes\":%s,\"exacts\":%s,\"cases\":[%s]}\n",
                List(prices.points, [](const PricePoint& p) { return std::to_string(p.day); }).c_str(),
                List(prices.points, [](const PricePoint& p) { return Number(p.close); }).c_str(),
                List(exacts, [](const ExactEvent& e) { return "[" + std::to_string(e.aspect) + "," + std::to_string(e.day) + "]"; }).c_str(),
                cases.c_str());
    return 0;
}
