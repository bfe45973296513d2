#pragma once
// The JSON export (RFC 8259, UTF-8): the run's inputs, then its periods or events with
// the same fields as the CSV. docs/json-format.md describes the schema.
#include <string>
#include <utility>
#include <vector>

#include "export/export_table.h"
#include "simulation/simulation.h"
#include "transits/transit_result.h"
#include "util/run_outcome.h"

namespace kovo::exporting {

// "transits", "search" or "all-transits" follows the first result's run kind.
std::string TransitJson(const std::vector<const transits::TransitResult*>& results, util::RunOutcome outcome);

std::string SimulationJson(const simulation::SimulationRun& run);

// A cell as a JSON value: null when empty, numbers and booleans bare, text quoted.
std::string JsonValue(const Cell& cell);

// {"name":value,...} and [value,...] on one line without blanks, as the backtest's
// JSON is written. Values are JSON already.
std::string CompactObject(const std::vector<std::pair<std::string, std::string>>& members);
std::string CompactArray(const std::vector<std::string>& values);

}  // namespace kovo::exporting
