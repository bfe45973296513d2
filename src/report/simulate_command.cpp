#include "report/simulate_command.h"

#include "astro/catalogue.h"
#include "requests/simulation_form.h"
#include "simulation/simulation.h"

namespace kovo::report {

simulation::SimulationRun RunSimulateCommand(const CliOptions& o, const calendar::DateEntryModel& dates,
                                             HeadlessHost& host, const astro::PlutoAvailability& pluto) {
    simulation::IndexPrices prices;
    if (const auto problem = prices.Load(o.indexFile)) host.Notice(*problem);

    requests::SimulationForm params;
    params.firstPlanet = o.first;
    params.secondPlanet = o.second;
    params.aspectChecked = o.aspects;
    params.orbDegrees = o.orbs;
    params.startDay = dates.DayNumbers[0];
    params.endDay = dates.DayNumbers[1];
    params.includeDetails = o.details;
    params.firstName = astro::PlanetName(o.first, true, false);
    params.secondName = astro::PlanetName(o.second, true, false);
    params.pluto = pluto;
    simulation::SimulationRun run = requests::RunSimulationForm(params, prices, host);
    host.EndProgress();
    return run;
}

}  // namespace kovo::report
