#pragma once
// Trading rules on a body's retrograde cycles and sign ingresses (geocentric, tropical),
// for the same statistics as the aspect rules:
//  - Retrograde: hold from the station retrograde's day to the station direct's day;
//  - Pre-shadow: from the pre-shadow start to the station retrograde;
//  - Post-shadow: from the station direct to the post-shadow end;
//  - Station R +Nd, Station D +Nd, Ingress +Nd: from the first close on or after the
//    event's day, for N trading days (fewer when the closes end first).
// Entries and exits fall on the first trading day on or after their civil day, as with
// orb stays, and a spell the range cut is opened at the first close or closed at the last.
// The event study's events are the stations retrograde and direct and the ingresses.
#include <cstdint>
#include <string>
#include <vector>

#include "astro/body.h"
#include "backtest/event_study.h"
#include "backtest/orb_stays.h"
#include "backtest/price_series.h"
#include "backtest/trade_rules.h"
#include "calendar/report_zone.h"

namespace kovo::backtest {

enum class CycleSpell { Retrograde = 1, PreShadow = 2, PostShadow = 3 };    // OrbStay::aspect of a spell
enum class CycleEvent { StationRetrograde = 1, StationDirect = 2, Ingress = 3 };  // ExactEvent::aspect

// A body's spells and events as civil days in `zone`: the spells as orb stays (aspect a
// CycleSpell, level 0; a part before or after [fromUt, toUt] absent), the events as exact
// events (aspect a CycleEvent). `missing` is set when the ephemeris gave no position.
struct CycleMarks {
    std::vector<OrbStay> spells;
    std::vector<ExactEvent> events;
};
CycleMarks CycleMarksOf(astro::Body body, double fromUt, double toUt, const calendar::ReportZone& zone, bool& missing);

// The six rules in the order above (the Sun, which never stations: Ingress only), each
// labelled in StrategyTrades::rule; trades pay `cost` on entry and exit.
std::vector<StrategyTrades> BuildCycleTrades(const CycleMarks& marks, const PriceSeries& prices, Side side,
                                             int daysAfter, bool stations, double cost);

// "Station R", "Station D" or "Ingress": the event study's row labels.
std::string CycleEventName(int event);

}  // namespace kovo::backtest
