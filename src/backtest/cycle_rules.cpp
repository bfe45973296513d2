#include "backtest/cycle_rules.h"

#include <cmath>
#include <optional>

#include "cycles/ingresses.h"
#include "cycles/retrograde_cycles.h"

namespace kovo::backtest {

namespace {

// The civil day of an instant in the zone (day numbers count from local noon).
std::int32_t CivilDay(double instantUt, const calendar::ReportZone& zone) {
    return static_cast<std::int32_t>(std::floor(instantUt + zone.At(instantUt).days + 0.5));
}

std::optional<std::int32_t> DayOf(const std::optional<cycles::CycleMoment>& moment, const calendar::ReportZone& zone) {
    if (!moment) return std::nullopt;
    return CivilDay(moment->instantUt, zone);
}

void AddSpell(CycleSpell spell, std::optional<std::int32_t> entry, std::optional<std::int32_t> exit, CycleMarks& marks) {
    // A spell with neither end lies wholly outside the range's cycle.
    if (!entry && !exit) return;
    marks.spells.push_back({.aspect = static_cast<int>(spell), .level = 0, .entryDay = entry, .exitDay = exit});
}

// The spell's stays for one rule, in time order: the rule's trades.
StrategyTrades SpellTrades(const CycleMarks& marks, CycleSpell spell, const char* label, const PriceSeries& prices,
                           Side side, double cost) {
    StrategyTrades strategy{.aspect = 0, .level = 0, .orbDegrees = 0, .trades = {}, .sameDayStays = 0, .rule = label};
    for (const OrbStay& stay : marks.spells)
        if (stay.aspect == static_cast<int>(spell)) AddStayTrade(stay, prices, side, cost, strategy);
    return strategy;
}

// N trading days from each event's first close on or after its day.
StrategyTrades AfterTrades(const CycleMarks& marks, CycleEvent event, int days, const PriceSeries& prices, Side side,
                           double cost) {
    StrategyTrades strategy{.aspect = 0,
                            .level = 0,
                            .orbDegrees = 0,
                            .trades = {},
                            .sameDayStays = 0,
                            .rule = CycleEventName(static_cast<int>(event)) + " +" + std::to_string(days) + "d"};
    for (const ExactEvent& e : marks.events) {
        if (e.aspect != static_cast<int>(event)) continue;
        const auto entry = prices.FirstOnOrAfter(e.day);
        if (!entry) continue;
        const std::size_t exit = *entry + static_cast<std::size_t>(days);
        const OrbStay stay{.aspect = 0,
                           .level = 0,
                           .entryDay = prices.points[*entry].day,
                           .exitDay = exit < prices.Size() ? std::optional(prices.points[exit].day) : std::nullopt};
        AddStayTrade(stay, prices, side, cost, strategy);
    }
    return strategy;
}

}  // namespace

CycleMarks CycleMarksOf(astro::Body body, double fromUt, double toUt, const calendar::ReportZone& zone, bool& missing) {
    const cycles::Track track{.body = body, .heliocentric = false, .zodiac = platform::Zodiac::Tropical};
    CycleMarks marks;
    bool cyclesMissing = false;
    bool ingressesMissing = false;
    for (const cycles::RetrogradeCycle& c : cycles::FindRetrogradeCycles(track, fromUt, toUt, &cyclesMissing)) {
        const auto pre = DayOf(c.preShadowStart, zone);
        const auto retrograde = DayOf(c.stationRetrograde, zone);
        const auto direct = DayOf(c.stationDirect, zone);
        const auto post = DayOf(c.postShadowEnd, zone);
        AddSpell(CycleSpell::PreShadow, pre, retrograde, marks);
        AddSpell(CycleSpell::Retrograde, retrograde, direct, marks);
        AddSpell(CycleSpell::PostShadow, direct, post, marks);
        if (c.stationRetrograde)
            marks.events.push_back({.aspect = static_cast<int>(CycleEvent::StationRetrograde),
                                    .instantUt = c.stationRetrograde->instantUt, .day = *retrograde});
        if (c.stationDirect)
            marks.events.push_back({.aspect = static_cast<int>(CycleEvent::StationDirect),
                                    .instantUt = c.stationDirect->instantUt, .day = *direct});
    }
    for (const cycles::Ingress& i : cycles::FindIngresses(track, fromUt, toUt, &ingressesMissing))
        marks.events.push_back({.aspect = static_cast<int>(CycleEvent::Ingress), .instantUt = i.instantUt,
                                .day = CivilDay(i.instantUt, zone)});
    missing = cyclesMissing || ingressesMissing;
    return marks;
}

std::vector<StrategyTrades> BuildCycleTrades(const CycleMarks& marks, const PriceSeries& prices, Side side,
                                             int daysAfter, bool stations, double cost) {
    std::vector<StrategyTrades> rules;
    if (prices.Empty()) return rules;
    if (stations) {
        rules.push_back(SpellTrades(marks, CycleSpell::Retrograde, "Retrograde", prices, side, cost));
        rules.push_back(SpellTrades(marks, CycleSpell::PreShadow, "Pre-shadow", prices, side, cost));
        rules.push_back(SpellTrades(marks, CycleSpell::PostShadow, "Post-shadow", prices, side, cost));
        rules.push_back(AfterTrades(marks, CycleEvent::StationRetrograde, daysAfter, prices, side, cost));
        rules.push_back(AfterTrades(marks, CycleEvent::StationDirect, daysAfter, prices, side, cost));
    }
    rules.push_back(AfterTrades(marks, CycleEvent::Ingress, daysAfter, prices, side, cost));
    return rules;
}

std::string CycleEventName(int event) {
    switch (static_cast<CycleEvent>(event)) {
        case CycleEvent::StationRetrograde: return "Station R";
        case CycleEvent::StationDirect: return "Station D";
        case CycleEvent::Ingress: break;
    }
    return "Ingress";
}

}  // namespace kovo::backtest
