#pragma once
// The investment simulation's inputs as the window and the command line hold them, and
// their checks in the window's order with its messages.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>

#include "astro/pluto_availability.h"
#include "simulation/simulation.h"
#include "util/refusal.h"
#include "util/run_host.h"

namespace kovo::requests {

// The run button's caption while no simulation runs.
inline constexpr const char* kSimulateCaption = "Simulate investment";

struct SimulationForm {
    int firstPlanet = 1;   // planet index 1..9 (1 is the Earth)
    int secondPlanet = 2;  // planet index 2..9
    std::array<bool, 7> aspectChecked{};
    std::array<int, 3> orbDegrees{10, 5, 2};
    std::int32_t startDay = 0;  // day numbers
    std::int32_t endDay = 0;
    bool includeDetails = false;
    std::string firstName;  // as the planet lists show them
    std::string secondName;
    bool titleHeliocentric = true;
    std::string caption = kSimulateCaption;  // the run button's: the title of the refusals
    simulation::NumberFormat numberFormat;
    astro::PlutoAvailability pluto{};
};

// The range and 30-day checks, which come first (even before a click stops a run).
std::optional<util::Refusal> SimulationDateRefusal(const SimulationForm& form);

// Every check. Planets outside their ranges (the window's lists never offer them) are
// refused without a message: a refusal whose text is empty.
std::variant<simulation::SimulationRequest, util::Refusal> SimulationRequestOf(const SimulationForm& form);

// The checks, then the run, for a caller without a window of its own: a refusal is said
// through the host (unless it has no text) and gives a run with outcome Refused.
simulation::SimulationRun RunSimulationForm(const SimulationForm& form, const simulation::IndexPrices& prices,
                                           util::RunHost& host);

}  // namespace kovo::requests
