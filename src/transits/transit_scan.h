#pragma once
// The time-stepping scan behind the three transit runs.
//
// Walks local Julian dates t from start day - 0.25 (a step or two earlier after a
// start-date back-off) to end day + 0.25 in steps of 3, 6 or 12 hours, asks for both
// bodies at t - Z/1440 (UT), follows the orb states of every selected aspect and records
// each transit period. A finished period is added to the result and its lines go to the
// host's report at once. Reports progress once per step; a stop request leads to the
// "Stop?" question.
#include "transits/pair_positions.h"
#include "transits/transit_params.h"
#include "transits/transit_result.h"
#include "util/run_host.h"

namespace kovo::transits {

// The outcome is Stopped when the user answered Yes to "Stop?", else Completed when some
// period was recorded and NotFound when none was (then "Not found" is said, except in an
// all-transits pass). In search mode the end day becomes 31 December 2099; the result's
// inputs are the params as scanned. `kept`, when given, holds the longitudes of a body
// this run shares with other runs.
TransitResult RunTransitScan(TransitRunParams params, util::RunHost& host, KeptBodyPositions* kept = nullptr);

// 3 hours with Mercury, 12 hours for two bodies from Jupiter outwards, else 6 hours.
double ScanStep(int firstPlanet, int secondPlanet);
// The step of a pair with the Moon (second), in days: the largest of 90, 45, 22.5 …
// minutes in which the pair's largest relative motion stays within the inner orb.
double MoonScanStep(int firstPlanet, int innerOrbDegrees);

inline constexpr std::int32_t kSearchEndDay = 2488069;  // 31 December 2099

}  // namespace kovo::transits
