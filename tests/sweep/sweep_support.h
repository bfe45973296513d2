#pragma once
// What the sweep tests share: seeded random walks over every weekday of whole years (so
// that the pairs' real stays from the ephemeris trade on them), a request for a pair
// list as kovo-report sweep --pairs reads it, and a short report of differing outputs.
#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "backtest/calibration_walks.h"
#include "sweep/sweep_pairs.h"
#include "sweep/sweep_request.h"
#include "test_support.h"

namespace kovo::testing {

// Every weekday from 1 January of `firstYear` to 31 December of `lastYear`, closes of a
// seeded walk starting at 100.
inline backtest::PriceSeries WeekdayWalk(int firstYear, int lastYear, std::uint64_t seed,
                                         const WalkShape& shape = {.sd = 0.01, .drift = 0.0002, .plantedExtra = 0},
                                         const std::vector<bool>& planted = {}) {
    backtest::PriceSeries days;
    for (std::int32_t d = Day(firstYear, 1, 1); d <= Day(lastYear, 12, 31); ++d)
        if (d % 7 < 5) days.points.push_back({.day = d, .close = 100, .line = 0});  // day numbers modulo 7: 0 is Monday
    backtest::PriceSeries walk = RandomWalk(days, seed, shape, planted);
    walk.source = "walk " + std::to_string(seed);
    walk.column = "Close";
    return walk;
}

inline std::vector<sweep::SweepPair> PairsOf(const std::string& list) {
    auto pairs = sweep::ParsePairs(list);
    if (auto* why = std::get_if<std::string>(&pairs)) ADD_FAILURE() << list << ": " << *why;
    return std::holds_alternative<std::string>(pairs) ? std::vector<sweep::SweepPair>{}
                                                      : std::get<std::vector<sweep::SweepPair>>(pairs);
}

inline sweep::SweepRequest SweepOf(const std::string& pairs, int permutations) {
    sweep::SweepRequest request;
    request.pairs = PairsOf(pairs);
    request.permutations = permutations;
    return request;
}

// Whether two outputs are the same bytes; if not, where they first differ (a sweep's
// outputs run to megabytes, too long for a failure message in full).
inline ::testing::AssertionResult SameText(const std::string& a, const std::string& b) {
    if (a == b) return ::testing::AssertionSuccess();
    std::size_t at = 0;
    while (at < a.size() && at < b.size() && a[at] == b[at]) ++at;
    const std::size_t from = at < 100 ? 0 : at - 100;
    return ::testing::AssertionFailure() << "lengths " << a.size() << " and " << b.size() << ", first difference at "
                                         << at << ":\n" << a.substr(from, 200) << "\n" << b.substr(from, 200);
}

}  // namespace kovo::testing
