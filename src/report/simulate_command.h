#pragma once
#include "astro/pluto_availability.h"
#include "calendar/date_entry.h"
#include "report/cli_options.h"
#include "report/headless_host.h"
#include "simulation/simulation.h"

namespace kovo::report {

// The simulation with the window's inputs: always heliocentric, so its title uses the
// heliocentric names. The index file is read first, as the window reads it at start-up.
simulation::SimulationRun RunSimulateCommand(const CliOptions& options, const calendar::DateEntryModel& dates,
                                             HeadlessHost& host, const astro::PlutoAvailability& pluto);

}  // namespace kovo::report
