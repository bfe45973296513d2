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
// The checks of what the user typed (the date range, Pluto's data) are made before a
// request exists (src/requests); a stop click reaches the walk through the host's token.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "astro/body.h"
#include "simulation/index_file.h"
#include "simulation/simulation_report.h"
#include "simulation/simulation_slot.h"
#include "util/run_host.h"
#include "util/run_outcome.h"

namespace kovo::simulation {

struct SimulationRequest {
    astro::Body first = astro::Body::Sun;  // the Earth: the walk is heliocentric
    astro::Body second = astro::Body::Mercury;
    // aspectChecked[k]: aspect index k + 1 (conjunction, opposition, square, trine,
    // sextile, semisextile, quincunx).
    std::array<bool, 7> aspectChecked{};
    std::array<int, 3> orbDegrees{10, 5, 2};  // outer, middle, inner; whole degrees
    std::int32_t startDay = 0;                // day numbers
    std::int32_t endDay = 0;
    bool includeDetails = false;  // every investment and redemption in the report
    // The title's words: the two names as the run's caller names the bodies, and the
    // centricity it shows (the walk is heliocentric whatever it says).
    std::string firstName;
    std::string secondName;
    bool titleHeliocentric = true;
    NumberFormat numberFormat;
};

enum class SimulationOutcome {
    Refused,        // the request was refused before the walk; nothing changed
    Finished,       // summary written
    Stopped,        // "Stop?" answered Yes: "Stopped" written, no summary
    Failed          // a day without index value: message shown, lines kept
};

// Whether the run walked (and wrote its title and lines).
inline bool Walked(SimulationOutcome outcome) {
    return outcome == SimulationOutcome::Finished || outcome == SimulationOutcome::Stopped ||
           outcome == SimulationOutcome::Failed;
}

// The run's outcome as every front end reads it (a stop request is no run of its own).
inline util::RunOutcome ToRunOutcome(SimulationOutcome outcome) {
    switch (outcome) {
        case SimulationOutcome::Refused: return util::RunOutcome::Refused;
        case SimulationOutcome::Stopped: return util::RunOutcome::Stopped;
        case SimulationOutcome::Failed: return util::RunOutcome::Failed;
        case SimulationOutcome::Finished: break;
    }
    return util::RunOutcome::Completed;
}

struct SimulationRun {
    SimulationRequest inputs;
    SimulationOutcome outcome = SimulationOutcome::Refused;
    std::vector<SimulationEvent> events;  // every event of the walk in order, details shown or not
    // The summary: the slots sorted as listed when Finished, else in table order, and the
    // run totals.
    std::vector<SimulationSlot> SimulationSlots;
    SimulationTotals totals;
};

// The walk, its report lines (title, details, summary or "Stopped") and its records. A
// day without an index value ends it with a message (Failed).
SimulationRun RunSimulation(const SimulationRequest& request, const IndexPrices& prices, util::RunHost& host);

// The title of a run with these inputs.
SimulationTitle TitleOf(const SimulationRequest& request);

// A run's report rendered from its records alone: the text an empty output area
// receives during the click (nothing for a refusal or a stop request).
std::string SimulationReportText(const SimulationRun& run);

}  // namespace kovo::simulation
