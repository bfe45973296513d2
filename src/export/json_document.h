#pragma once
// The JSON export (RFC 8259, UTF-8): the run's inputs, then its periods or events with
// the same fields as the CSV. docs/json-format.md describes the schema.
#include <string>
#include <vector>

#include "simulation/simulation.h"
#include "transits/transit_result.h"
#include "util/run_outcome.h"

namespace kovo::exporting {

// "transits", "search" or "all-transits" follows the first result's run kind.
std::string TransitJson(const std::vector<const transits::TransitResult*>& results, util::RunOutcome outcome);

std::string SimulationJson(const simulation::SimulationRun& run);

}  // namespace kovo::exporting
