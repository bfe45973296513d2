#include "simulation/simulation_slot.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "util/rounding.h"

namespace kovo::simulation {

std::vector<SimulationSlot> BuildSimulationSlots(int firstPlanet, int secondPlanet,
                                                 const std::array<bool, 7>& aspectChecked,
                                                 const std::array<int, 3>& orbDegrees) {
    std::vector<SimulationSlot> slots;
    for (int k = 0; k < 7; ++k) {
        if (!aspectChecked[static_cast<std::size_t>(k)]) continue;
        for (int orb : orbDegrees) {
            SimulationSlot slot;
            slot.FirstPlanet = firstPlanet;
            slot.SecondPlanet = secondPlanet;
            slot.Aspect = k + 1;
            slot.OrbDegrees = orb;
            slots.push_back(slot);
        }
    }
    return slots;
}

std::string SlotSortKeyText(const SimulationSlot& slot) {
    // A total of -0.00 is not negative and must not sort below the zero totals.
    std::string total = slot.RunningTotal < 0 ? "-" : "";
    total += util::FixedTwoDecimals(std::fabs(slot.RunningTotal));
    const bool stillHeld = slot.IsOpen && slot.OpenValue.has_value();
    const long long last = stillHeld ? static_cast<long long>(std::floor(*slot.OpenValue))
                                     : static_cast<long long>(slot.InvestmentCount);
    return total + std::to_string(slot.FirstPlanet) +
           std::to_string(slot.SecondPlanet) + std::to_string(slot.Aspect) +
           std::to_string(slot.OrbDegrees) + (slot.IsOpen ? "1" : "0") + std::to_string(last);
}

double SlotSortKey(const SimulationSlot& slot) {
    const std::string text = SlotSortKeyText(slot);
    double key = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), key);
    return key;
}

void SortSimulationSlots(std::vector<SimulationSlot>& slots) {
    std::vector<std::pair<double, SimulationSlot>> keyed;
    keyed.reserve(slots.size());
    for (const SimulationSlot& slot : slots) keyed.emplace_back(SlotSortKey(slot), slot);
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    for (std::size_t i = 0; i < slots.size(); ++i) slots[i] = keyed[i].second;
}

}  // namespace kovo::simulation
