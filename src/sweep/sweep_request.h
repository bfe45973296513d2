#pragma once
// What a research sweep tests: every pair of a list against one price series, each
// pair's aspects at three orbs on one or both sides, and optionally the named rules of
// the pairs' bodies (retrograde cycles, ingresses) and of the Moon's phases. Every rule
// is one backtest rule (backtest_run.h) with the same figures and the same seeds, so a
// row of the sweep equals that rule's row in a single backtest, apart from its q-value,
// which is taken over the whole sweep.
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "astro/body.h"
#include "astro/pluto_availability.h"
#include "backtest/rule_significance.h"
#include "backtest/trade_rules.h"
#include "calendar/report_zone.h"
#include "stats/circular_shift.h"

namespace kovo::sweep {

struct SweepPair {
    astro::Body first = astro::Body::Sun;  // heliocentrically the Earth
    astro::Body second = astro::Body::Jupiter;
    bool heliocentric = false;

    friend bool operator==(const SweepPair&, const SweepPair&) = default;
};

// Which kinds of rules the sweep tests.
struct SweepEvents {
    bool aspects = true;    // the pairs' aspects at the three orbs
    bool stations = false;  // Retrograde, Pre-shadow, Post-shadow, Station R/D +Nd of each body that stations
    bool ingresses = false; // Ingress +Nd of each body
    bool phases = false;    // the Moon's phases, once

    bool Any() const { return aspects || stations || ingresses || phases; }
    friend bool operator==(const SweepEvents&, const SweepEvents&) = default;
};

struct SweepRequest {
    std::vector<SweepPair> pairs;
    std::array<bool, 7> aspects{true, true, true, true, true, true, true};
    std::array<int, 3> orbDegrees{10, 5, 2};
    std::vector<backtest::Side> sides{backtest::Side::Long};  // long, short or both, in that order
    std::optional<std::int32_t> fromDay;
    std::optional<std::int32_t> toDay;
    std::optional<std::int32_t> holdoutDay;
    int permutations = stats::kDefaultShifts;
    std::uint64_t seed = backtest::kDefaultSeed;
    double costBasisPoints = 0;
    SweepEvents events;
    int daysAfter = 5;   // of the cycle rules
    int daysAround = 3;  // of the lunar rules
    calendar::ReportZone zone;  // GMT: the civil dates of the stays
    astro::PlutoAvailability pluto;
    int jobs = 1;  // worker threads; the result does not depend on it
};

}  // namespace kovo::sweep
