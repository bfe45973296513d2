#pragma once
// The records of one run, whichever run made them: what the window keeps of its last run
// and what kovo-report hands to the exports and the chart.
#include <variant>

#include "simulation/simulation.h"
#include "transits/transit_result.h"

namespace kovo::exporting {

// monostate: no run yet. A refused run keeps its refusal in its own record.
using RunRecords = std::variant<std::monostate, transits::TransitResult, transits::AllTransitsResult,
                                simulation::SimulationRun>;

}  // namespace kovo::exporting
