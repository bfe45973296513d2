#pragma once
// Every text the investment simulation writes into the output area: the title block,
// the opening, redemption and cancellation lines, "Stopped" and the closing summary.
// Lines end with CR LF; amounts are dollars.
#include <string>
#include <string_view>
#include <vector>

#include "simulation/simulation_slot.h"
#include "util/run_host.h"

namespace kovo::simulation {

// The user's number settings, read by the front end (tests use English, United States).
struct NumberFormat {
    std::string decimalPoint = ".";
    std::string groupSeparator = ",";
};

// Two decimals, correctly rounded, groups of three digits in the whole part, a leading
// 0 below 1, and "-" in front of any value below zero (so -0.004 gives "-0.00", while
// -0.0 gives "0.00").
std::string FormatAmount(double x, const NumberFormat& format);

// The orb's digits right-aligned in three characters, then "°": "  5°", " 10°".
std::string FormatOrbField(int orbDegrees);

// The rule and the title built from the transit heading; a line break first when the
// output area already holds text.
void WriteSimulationTitle(util::RunHost& host, std::string_view heading);

// Event lines; each moves the caret to the end. dayText is the step's calendar day as
// year-month-day. gain is negative for a loss; total is the slot's running total.
void WriteOpeningLine(util::RunHost& host, const SimulationSlot& slot, int number,
                      std::string_view dayText);
void WriteRedemptionLine(util::RunHost& host, const SimulationSlot& slot, int number,
                         std::string_view dayText, double gain, double total,
                         const NumberFormat& format);
void WriteCancellationLine(util::RunHost& host, const SimulationSlot& slot, int number);

// "\r\n" + "Stopped", without a line break after it.
void WriteStopped(util::RunHost& host);

// The summary; slots already sorted. Ends with a line break.
void WriteSimulationSummary(util::RunHost& host, const std::vector<SimulationSlot>& slots,
                            const SimulationTotals& totals, const NumberFormat& format);

}  // namespace kovo::simulation
