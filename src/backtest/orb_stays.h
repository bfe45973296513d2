#pragma once
// The in-orb stays a backtest trades on, taken from a transit run's records: for every
// aspect and orb level, each stretch of days the pair spent inside that orb, and every
// exact aspect. Dates are civil day numbers in the run's time zone.
#include <cstdint>
#include <optional>
#include <vector>

#include "transits/transit_result.h"

namespace kovo::backtest {

struct OrbStay {
    int aspect = 1;  // aspect index 1..7
    int level = 0;   // transits::OrbLevel: 0 outer, 1 middle, 2 inner
    // The day the orb was entered; absent when the pair was already inside when the scan
    // began (the run was cut at its start).
    std::optional<std::int32_t> entryDay;
    // The day the orb was left; absent when the pair was still inside at the scan's end.
    std::optional<std::int32_t> exitDay;

    friend bool operator==(const OrbStay&, const OrbStay&) = default;
};

// One exact aspect: the minute the closest approach became exact.
struct ExactEvent {
    int aspect = 1;
    double instantUt = 0;  // Julian Day, UT
    std::int32_t day = 0;  // its civil date in the run's time zone

    friend bool operator==(const ExactEvent&, const ExactEvent&) = default;
};

// The stays of every period, by period and, within one, outer first, then the middle
// and inner stays in the order of their passes.
//
// A recorded entry or exit is taken as it stands. The records leave a middle or inner
// date out in two cases, told apart here:
//  - the scan was cut at its start or end: the date stays absent, and the trade rules
//    open at the range's first close or close at its last;
//  - it fell in the same scan step as the change of a wider orb, of which only the
//    widest is recorded: the date is that wider orb's, taken from the wider stay that
//    holds this one (the middle stay on the latest line at or before this line, else the
//    outer stay).
// A stay whose entry and exit both fell in such steps leaves no trace in the records and
// is not traded; with orbs at least a degree apart no pair moves that fast in one step.
std::vector<OrbStay> OrbStaysOf(const transits::TransitResult& result);

// The exact aspects of every pass, in run order; minima that did not come within the
// exact deviation are left out.
std::vector<ExactEvent> ExactEventsOf(const transits::TransitResult& result);

}  // namespace kovo::backtest
