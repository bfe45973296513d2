#include "backtest/lunar_rules.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "cycles/eclipses.h"
#include "cycles/lunar_phases.h"

namespace kovo::backtest {

namespace {

std::int32_t CivilDay(double instantUt, const calendar::ReportZone& zone) {
    return static_cast<std::int32_t>(std::floor(instantUt + zone.At(instantUt).days + 0.5));
}

StrategyTrades Labelled(std::string label) {
    return {.aspect = 0, .level = 0, .orbDegrees = 0, .trades = {}, .sameDayStays = 0, .rule = std::move(label)};
}

StrategyTrades SpellTrades(const CycleMarks& marks, LunarSpell spell, const char* label, const PriceSeries& prices,
                           Side side, double cost) {
    StrategyTrades strategy = Labelled(label);
    for (const OrbStay& stay : marks.spells)
        if (stay.aspect == static_cast<int>(spell)) AddStayTrade(stay, prices, side, cost, strategy);
    return strategy;
}

// From N closes before each phase's first close on or after its day to N closes after.
StrategyTrades AroundTrades(const CycleMarks& marks, LunarEvent event, int days, const PriceSeries& prices, Side side,
                            double cost) {
    // Short names, so that "Last qtr ±10d" still fits the tables' rule column.
    static const char* const kShort[] = {"", "New", "1st qtr", "Full", "Last qtr"};
    StrategyTrades strategy = Labelled(std::string(kShort[static_cast<int>(event)]) + " \u00b1" + std::to_string(days) + "d");
    const auto n = static_cast<std::size_t>(days);
    for (const ExactEvent& e : marks.events) {
        if (e.aspect != static_cast<int>(event)) continue;
        const auto at = prices.FirstOnOrAfter(e.day);
        if (!at) continue;
        const std::size_t entry = *at >= n ? *at - n : 0;
        const std::size_t exit = *at + n;
        const OrbStay stay{.aspect = 0,
                           .level = 0,
                           .entryDay = prices.points[entry].day,
                           .exitDay = exit < prices.Size() ? std::optional(prices.points[exit].day) : std::nullopt};
        AddStayTrade(stay, prices, side, cost, strategy);
    }
    return strategy;
}

}  // namespace

CycleMarks LunarMarksOf(double fromUt, double toUt, const calendar::ReportZone& zone, bool& missing) {
    CycleMarks marks;
    bool phasesMissing = false;
    bool eclipsesMissing = false;
    // A lunation is under 30 days: a month's margin finds the phase that opens or closes
    // a half the range cuts.
    const std::vector<cycles::LunarPhase> phases = cycles::FindLunarPhases(fromUt - 31, toUt + 31, &phasesMissing);
    const auto inRange = [&](double t) { return t >= fromUt && t <= toUt; };
    for (std::size_t i = 0; i < phases.size(); ++i) {
        const cycles::LunarPhase& p = phases[i];
        const bool opens = p.kind == cycles::PhaseKind::New || p.kind == cycles::PhaseKind::Full;
        if (opens) {
            const cycles::PhaseKind closing = p.kind == cycles::PhaseKind::New ? cycles::PhaseKind::Full : cycles::PhaseKind::New;
            const auto next = std::find_if(phases.begin() + static_cast<std::ptrdiff_t>(i) + 1, phases.end(),
                                           [closing](const cycles::LunarPhase& q) { return q.kind == closing; });
            if (next != phases.end() && next->instantUt >= fromUt && p.instantUt <= toUt) {
                const LunarSpell spell = p.kind == cycles::PhaseKind::New ? LunarSpell::Waxing : LunarSpell::Waning;
                marks.spells.push_back(
                    {.aspect = static_cast<int>(spell),
                     .level = 0,
                     .entryDay = inRange(p.instantUt) ? std::optional(CivilDay(p.instantUt, zone)) : std::nullopt,
                     .exitDay = inRange(next->instantUt) ? std::optional(CivilDay(next->instantUt, zone)) : std::nullopt});
            }
        }
        if (inRange(p.instantUt))
            marks.events.push_back({.aspect = static_cast<int>(p.kind) + 1, .instantUt = p.instantUt,
                                    .day = CivilDay(p.instantUt, zone)});
    }
    for (const cycles::Eclipse& e : cycles::FindEclipses(fromUt, toUt, &eclipsesMissing)) {
        const LunarEvent event = e.solar ? LunarEvent::SolarEclipse : LunarEvent::LunarEclipse;
        marks.events.push_back({.aspect = static_cast<int>(event), .instantUt = e.greatestUt,
                                .day = CivilDay(e.greatestUt, zone)});
    }
    std::stable_sort(marks.events.begin(), marks.events.end(),
                     [](const ExactEvent& a, const ExactEvent& b) { return a.instantUt < b.instantUt; });
    missing = phasesMissing || eclipsesMissing;
    return marks;
}

std::vector<StrategyTrades> BuildLunarTrades(const CycleMarks& marks, const PriceSeries& prices, Side side,
                                             int daysAround, double cost) {
    std::vector<StrategyTrades> rules;
    if (prices.Empty()) return rules;
    rules.push_back(SpellTrades(marks, LunarSpell::Waxing, "New to full", prices, side, cost));
    rules.push_back(SpellTrades(marks, LunarSpell::Waning, "Full to new", prices, side, cost));
    for (const LunarEvent event : {LunarEvent::NewMoon, LunarEvent::FirstQuarter, LunarEvent::FullMoon, LunarEvent::LastQuarter})
        rules.push_back(AroundTrades(marks, event, daysAround, prices, side, cost));
    return rules;
}

std::string LunarEventName(int event) {
    switch (static_cast<LunarEvent>(event)) {
        case LunarEvent::NewMoon: return "New moon";
        case LunarEvent::FirstQuarter: return "First quarter";
        case LunarEvent::FullMoon: return "Full moon";
        case LunarEvent::LastQuarter: return "Last quarter";
        case LunarEvent::SolarEclipse: return "Solar eclipse";
        case LunarEvent::LunarEclipse: break;
    }
    return "Lunar eclipse";
}

}  // namespace kovo::backtest
