#pragma once
// The investment simulation behind the "Simulate investment" button: for every checked
// aspect and orb level a slot invests $100 in the index when the pair (heliocentric
// always) enters the orb and redeems it when the pair leaves, priced per calendar day
// from the index prices. Dates are day numbers; the walk runs in instants (Julian Days
// UT) from 06:00 UT of the start day to 18:00 UT of the end day in steps of 1/8 day.
//
// A run returns records: its inputs, every event, the sorted slots and the totals. The
// output area receives the same records as text while the walk goes.
//
// What stays with the window: it reads its controls into SimulationParams (the two names
// as its planet lists show them, its centricity option, whether its simulation is under
// way), calls ClickSimulateInvestment and, when that returns an outcome for which
// RestoresRunCaption() is true, gives the button back kSimulateCaption. Its
// EnterBusyState(true) captions the button "Pause"; a click on it during the walk calls
// ClickSimulateInvestment again with runInProgress set, which only sets flags.stopRequest.
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
    // The title's words: the two names as the planet lists show them, and the centricity
    // the window's option shows (the walk is heliocentric whatever it says).
    std::string firstName;
    std::string secondName;
    bool titleHeliocentric = true;
    // A simulation is under way, so this click only asks it to stop.
    bool runInProgress = false;
    std::string buttonCaption = kSimulateCaption;  // display only: the title of the refusals
    NumberFormat numberFormat;
    astro::PlutoAvailability pluto{};  // a pair with Pluto is refused, with its reason, when not available
};

enum class SimulationOutcome {
    Refused,        // a date check refused the click (message shown); nothing changed
    StopRequested,  // the click came while a run was in progress: flags.stopRequest is now set
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
    SimulationParams inputs;  // as the click received them
    SimulationOutcome outcome = SimulationOutcome::Refused;
    std::vector<SimulationEvent> events;  // every event of the walk in order, details shown or not
    // The summary: the slots sorted as listed when Finished, else in table order, and the
    // run totals.
    std::vector<SimulationSlot> SimulationSlots;
    SimulationTotals totals;
};

// The whole click: the date checks, the stop request of a click during a run, the walk,
// the summary and the end of the run. Planets outside their ranges are refused silently
// (the window's lists never offer them); a pair with Pluto is refused with a message
// when its data is not available.
SimulationRun ClickSimulateInvestment(const SimulationParams& params, const IndexPrices& prices,
                                      util::RunFlags& flags, util::RunHost& host);

// The title of a run with these inputs.
SimulationTitle TitleOf(const SimulationParams& params);

// A run's report rendered from its records alone: the text an empty output area
// receives during the click (nothing for a refusal or a stop request).
std::string SimulationReportText(const SimulationRun& run);

}  // namespace kovo::simulation
