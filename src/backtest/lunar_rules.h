#pragma once
// Trading rules on the Moon's phases (geocentric), for the same statistics as the aspect
// rules:
//  - New to full: hold from the new moon's day to the full moon's day (the waxing Moon);
//  - Full to new: from the full moon's day to the next new moon's day (the waning Moon);
//  - New ±Nd, 1st qtr ±Nd, Full ±Nd, Last qtr ±Nd: around each phase, from N trading
//    days before the phase's first close on or after its day to N trading days after it
//    (cut at the first and last close).
// Entries and exits fall on the first trading day on or after their civil day, as with
// orb stays, and a spell the range cut is opened at the first close or closed at the last.
// The event study's events are the four phases and the solar and lunar eclipses.
#include <string>
#include <vector>

#include "backtest/cycle_rules.h"

namespace kovo::backtest {

enum class LunarSpell { Waxing = 1, Waning = 2 };  // OrbStay::aspect of a spell
enum class LunarEvent { NewMoon = 1, FirstQuarter, FullMoon, LastQuarter, SolarEclipse, LunarEclipse };  // ExactEvent::aspect

// The lunations' halves and the phases and eclipses as civil days in `zone`, over
// [fromUt, toUt]. `missing` is set when the ephemeris gave no position.
CycleMarks LunarMarksOf(double fromUt, double toUt, const calendar::ReportZone& zone, bool& missing);

// The six rules in the order above, each labelled in StrategyTrades::rule.
std::vector<StrategyTrades> BuildLunarTrades(const CycleMarks& marks, const PriceSeries& prices, Side side,
                                             int daysAround, double cost);

// "New moon", "First quarter", "Full moon", "Last quarter", "Solar eclipse" or "Lunar
// eclipse": the event study's row labels.
std::string LunarEventName(int event);

}  // namespace kovo::backtest
