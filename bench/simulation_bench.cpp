// The investment simulation over the whole permitted range, all seven aspects, with a
// host that does nothing: positions, orb tests and pricing for about 23,000 steps.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "calendar/calendar_services.h"
#include "simulation/simulation.h"
#include "null_run_host.h"
#include "test_support.h"

namespace {

using namespace kovo;


// The real file when it is there, else a positive value on every weekday.
simulation::IndexPrices LoadPrices() {
    simulation::IndexPrices prices;
    const std::string real = testing::SharedDataFolder() + "/DJIA_data.txt";
    if (!testing::SharedDataFolder().empty() && std::filesystem::exists(real) && !prices.Load(real)) {
        return prices;
    }
    std::vector<std::string> lines;
    for (std::int32_t day = 2454102; day <= simulation::LastInvestmentDay; ++day) {
        if (day % 7 < 5) lines.push_back(calendar::FormatDayNumberIso(day) + "\t" + std::to_string(10000 + day % 997));
    }
    prices.SetIndexLines(lines);
    return prices;
}

void WholeRange(benchmark::State& state, bool details) {
    testing::InitModelOnce();
    const simulation::IndexPrices prices = LoadPrices();
    const simulation::SimulationRequest params{
        .first = astro::Body::Sun, .second = astro::Body::Jupiter,
        .aspectChecked = {true, true, true, true, true, true, true},
        .orbDegrees = {10, 5, 2},
        .startDay = simulation::FirstInvestmentDay, .endDay = simulation::LastInvestmentDay,
        .includeDetails = details,
        .firstName = "Earth", .secondName = "Jupiter",
        .numberFormat = simulation::NumberFormat{}};
    for (auto _ : state) {
        kovo::bench::NullRunHost host;
        const auto run = simulation::RunSimulation(params, prices, host);
        benchmark::DoNotOptimize(run.totals.TotalInvestments);
        if (run.outcome != simulation::SimulationOutcome::Finished) state.SkipWithError("the run did not finish");
    }
    state.SetItemsProcessed(state.iterations() * (8 * (params.endDay - params.startDay) + 5));
}

}  // namespace

BENCHMARK_CAPTURE(WholeRange, summary_only, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WholeRange, with_details, true)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
