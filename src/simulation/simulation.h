#pragma once
// The investment simulation behind the "Simulate investment" button: for every checked
// aspect and orb level a slot invests $100 in the index when the pair (heliocentric
// always) enters the orb and redeems it when the pair leaves, priced per calendar day
// from the index prices. Dates are day numbers; the walk runs in instants (Julian Days
// UT) from 06:00 UT of the start day to 18:00 UT of the end day in steps of 1/8 day.
//
// What stays with the window: it reads its controls into SimulationParams (the heading
// built with the transit report's heading for the same two dates, the button's current
// caption), calls ClickSimulateInvestment and, when that returns an outcome for which
// RestoresRunCaption() is true, gives the button back kSimulateCaption. Its
// EnterBusyState(true) captions the button "Pause"; a click on it during the walk calls
// ClickSimulateInvestment again, which only sets flags.stopRequest.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "astro/pluto_availability.h"
#include "simulation/index_file.h"
#include "simulation/simulation_report.h"
#include "simulation/simulation_slot.h"
#include "util/run_host.h"
#include "util/run_outcome.h"

namespace kovo::simulation {

inline constexpr const char* kSimulateCaption = "Simulate investment";
inline constexpr const char* kPauseCaption = "Pause";

struct SimulationParams {
    int firstPlanet = 1;   // planet index 1..9 (1 is the Earth)
    int secondPlanet = 2;  // planet index 2..9
    // aspectChecked[k]: aspect index k + 1 (conjunction, opposition, square, trine,
    // sextile, semisextile, quincunx).
    std::array<bool, 7> aspectChecked{};
    std::array<int, 3> orbDegrees{10, 5, 2};  // outer, middle, inner; whole degrees
    std::int32_t startDay = 0;                // day numbers
    std::int32_t endDay = 0;
    bool includeDetails = false;  // "Include transit details"
    bool appendToOutput = false;  // "Append to output"
    std::string heading;          // the transit heading of the pair and the two dates
    std::string buttonCaption = kSimulateCaption;  // also the title of the refusals
    NumberFormat numberFormat;
    astro::PlutoAvailability pluto;  // a pair with Pluto is refused, with its reason, when not available
};

enum class SimulationOutcome {
    Refused,        // a date check refused the click (message shown); nothing changed
    StopRequested,  // the click came while running: flags.stopRequest is now set
    Finished,       // summary written and "Done" shown
    Stopped,        // "Stop?" answered Yes: "Stopped" written, no summary
    Failed          // a day without index value: message shown, lines kept
};

// Whether the click ran a walk, after which the button reads kSimulateCaption again.
inline bool RestoresRunCaption(SimulationOutcome outcome) {
    return outcome == SimulationOutcome::Finished || outcome == SimulationOutcome::Stopped ||
           outcome == SimulationOutcome::Failed;
}

// The run's outcome as every front end reads it (a stop request is no run of its own).
inline util::RunOutcome ToRunOutcome(SimulationOutcome outcome) {
    switch (outcome) {
        case SimulationOutcome::Refused: return util::RunOutcome::Refused;
        case SimulationOutcome::Stopped: return util::RunOutcome::Stopped;
        case SimulationOutcome::Failed: return util::RunOutcome::Failed;
        case SimulationOutcome::StopRequested:
        case SimulationOutcome::Finished: break;
    }
    return util::RunOutcome::Completed;
}

struct SimulationRun {
    SimulationOutcome outcome = SimulationOutcome::Refused;
    std::vector<SimulationSlot> SimulationSlots;  // sorted as listed when Finished, else table order
    SimulationTotals totals;
};

// The whole click: the date checks, the stop request of a second click, the walk, the
// summary and the end of the run. Planets outside their ranges are refused silently
// (the window's lists never offer them); a pair with Pluto is refused with a message
// when its data is not available. Writes the heliocentric PositionTable.
SimulationRun ClickSimulateInvestment(const SimulationParams& params, const IndexPrices& prices,
                                      util::RunFlags& flags, util::RunHost& host);

}  // namespace kovo::simulation
