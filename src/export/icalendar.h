#pragma once
// The iCalendar export (RFC 5545): one VEVENT per exact time, DTSTART in UTC and no
// duration; optionally one all-day event per outer-orb period. Lines are folded at 75
// octets (never inside a UTF-8 character) and end in CRLF; text values are escaped.
#include <string>
#include <string_view>
#include <vector>

#include "simulation/simulation.h"
#include "transits/transit_result.h"

namespace kovo::exporting {

struct CalendarOptions {
    bool periods = false;   // add one all-day event per outer-orb period
    std::string stampUtc;   // DTSTAMP, "20261209T013000Z": when the file was made
};

std::string TransitCalendar(const std::vector<const transits::TransitResult*>& results, const CalendarOptions& options);

// One all-day event per investment, redemption or cancellation.
std::string SimulationCalendar(const simulation::SimulationRun& run, const CalendarOptions& options);

// One timed event: DTSTART at a UTC minute ("20240401T221400Z"), no duration.
struct TimedEvent {
    std::string uid;  // unique within the file, "@kovo" is appended
    std::string startUtc;
    std::string summary;
    std::string description;
};
std::string EventCalendar(const std::vector<TimedEvent>& events, const CalendarOptions& options);

// "SUMMARY:a\, b" folded into lines of at most 75 octets, each ending in CRLF.
std::string FoldedLine(std::string_view line);

// TEXT value escaping: backslash, semicolon, comma and line breaks.
std::string EscapeText(std::string_view text);

// The current time as a DTSTAMP value.
std::string CurrentStampUtc();

}  // namespace kovo::exporting
