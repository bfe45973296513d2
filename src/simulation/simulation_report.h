#pragma once
// Every text the investment simulation writes into the output area: the title block,
// the detail lines of its events, "Stopped" and the closing summary. Each is made from
// records (the title's data, SimulationEvent, the slots and totals); the Write functions
// append them in the pieces the window shows as the walk goes. Lines end with CR LF;
// amounts are dollars.
#include <cstdint>
#include <string>
#include <vector>

#include "simulation/simulation_slot.h"
#include "util/run_host.h"

namespace kovo::simulation {

// The user's number settings, read by the front end (tests use English, United States).
struct NumberFormat {
    std::string decimalPoint = ".";
    std::string groupSeparator = ",";
};

// What the title names: the pair as the planet lists show them and the period. It
// follows the centricity the window's option shows, although the walk is always
// heliocentric, so a geocentric title ends with the transit heading's retrograde note.
struct SimulationTitle {
    std::string firstName;
    std::string secondName;
    std::int32_t startDay = 0;  // day numbers
    std::int32_t endDay = 0;
    bool heliocentric = true;
};

// Two decimals, correctly rounded, groups of three digits in the whole part, a leading
// 0 below 1, and "-" in front of any value below zero (so -0.004 gives "-0.00", while
// -0.0 gives "0.00").
std::string FormatAmount(double x, const NumberFormat& format);

// The orb's digits right-aligned in three characters, then "°": "  5°", " 10°".
std::string FormatOrbField(int orbDegrees);

// "Simulated investments for selected aspects for Earth and Jupiter from March 15, 2011,
// to September 30, 2011", without a line break.
std::string SimulationTitleText(const SimulationTitle& title);

// The rule (as many "-" as the title has characters) and the title, each with its line
// break.
std::string SimulationTitleBlock(const SimulationTitle& title);

// The title block; a line break first when the output area already holds text.
void WriteSimulationTitle(util::ReportSink& report, const SimulationTitle& title);

// The event's detail line, with its line break; the date is the event's day as
// year-month-day.
std::string SimulationEventLine(const SimulationEvent& event, const NumberFormat& format);

// Appends the event's line and moves the caret to the end.
void WriteSimulationEvent(util::ReportSink& report, const SimulationEvent& event, const NumberFormat& format);

// "\r\n" + "Stopped", without a line break after it.
inline constexpr const char* kStoppedText = "\r\nStopped";
void WriteStopped(util::ReportSink& report);

// The summary; slots already sorted. Ends with a line break.
std::string SimulationSummaryText(const std::vector<SimulationSlot>& slots, const SimulationTotals& totals,
                                  const NumberFormat& format);
void WriteSimulationSummary(util::ReportSink& report, const std::vector<SimulationSlot>& slots,
                            const SimulationTotals& totals, const NumberFormat& format);

}  // namespace kovo::simulation
