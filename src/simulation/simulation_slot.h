#pragma once
// The accounts of one investment simulation: one slot per checked aspect and orb level,
// and the totals of the whole run. Amounts are dollars; values are index points.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kovo::simulation {

inline constexpr double InvestmentAmount = 100.0;  // dollars per investment
inline constexpr double SimulationStep = 1.0 / 8;  // days (three hours)
inline constexpr double PeriodMargin = 1.0 / 4;    // days before the start and after the end

struct SimulationSlot {
    int FirstPlanet = 1;   // planet index 1..9 (1 is the Earth: the simulation is heliocentric)
    int SecondPlanet = 2;  // planet index 2..9
    int Aspect = 1;        // aspect index 1..7
    int OrbDegrees = 1;    // this slot's orb level in whole degrees
    bool IsOpen = false;   // an investment is held, or the last one was cancelled
    // Index value paid for the held investment, rounded to cents; empty before the
    // first opening and after a cancellation.
    std::optional<double> OpenValue;
    int InvestmentCount = 0;    // opened minus cancelled; numbers the investments 1, 2, ...
    double RunningTotal = 0.0;  // dollars, rounded to cents after every redemption
};

// Indexed 1..7 by aspect index; element 0 is unused.
struct SimulationTotals {
    int TotalInvestments = 0;  // redemptions in the whole run
    std::array<int, 8> AspectInvestments{};
    std::array<double, 8> AspectGain{};  // not rounded
};

enum class SimulationEventKind {
    Investment,   // a slot bought: its aspect entered the orb, or applied at the first step
    Redemption,   // a slot sold: its aspect left the orb, or separated at the last step
    Cancellation  // the last step dropped an investment whose aspect still applied
};

// One change of a slot's account, in the order the walk met it; the detail lines of the
// report are these records as text.
struct SimulationEvent {
    SimulationEventKind kind = SimulationEventKind::Investment;
    std::int32_t day = 0;  // day number of the step's calendar day (a weekend day is kept)
    int aspect = 1;        // the slot's aspect index 1..7
    int orbDegrees = 1;    // the slot's orb level in whole degrees
    int number = 1;        // the slot's investment number, 1, 2, ...
    // Index points: paid for an investment (rounded to cents), received for a
    // redemption, given up for a cancellation. A weekend day's value is the next
    // trading day's.
    double indexValue = 0.0;
    // Dollars: InvestmentAmount for an investment, the gain for a redemption (negative
    // for a loss), 0 for a cancellation.
    double amount = 0.0;
    // Dollars, redemptions only: the slot's total including this gain, before the
    // total is rounded to cents for the next redemption.
    double runningTotal = 0.0;
};

// Three slots (orb levels 0, 1, 2) per checked aspect, aspects ascending, all closed.
// aspectChecked[k] is the check of aspect index k + 1; orbDegrees by orb level.
std::vector<SimulationSlot> BuildSimulationSlots(int firstPlanet, int secondPlanet,
                                                 const std::array<bool, 7>& aspectChecked,
                                                 const std::array<int, 3>& orbDegrees);

// The text whose numeric value orders the summary: the running total with two decimals,
// then the digits of the planets, aspect, orb, open flag and count (or, for an
// investment still held, the whole part of its opening value) as further decimals.
std::string SlotSortKeyText(const SimulationSlot& slot);
double SlotSortKey(const SimulationSlot& slot);

// Descending by SlotSortKey; slots with equal keys keep their table order.
void SortSimulationSlots(std::vector<SimulationSlot>& slots);

}  // namespace kovo::simulation
