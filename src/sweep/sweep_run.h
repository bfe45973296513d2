#pragma once
// The research sweep: every unit of a request (a pair's aspects, a body's cycles, the
// Moon's phases) backtested against one price series, on `jobs` threads.
//
// Each unit is one task: one scan of its pair over the closes' span (each thread keeps
// its own ephemeris state), whose stays and exact aspects every aspect, orb and side then
// share; its rules are evaluated with the seeds of their identities, exactly as a single
// backtest does. The rows are ranked only when every unit is done, by q over the whole
// sweep, so the result is the same bits for any number of jobs.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "backtest/price_series.h"
#include "sweep/sweep_row.h"
#include "util/run_outcome.h"

namespace kovo::sweep {

// One in-orb stay of a pair (the long table of --periods-out): entry and exit are civil
// dates in the sweep's zone, absent where the stay was cut by the closes' span.
struct SweepPeriod {
    SweepPair pair;
    int aspect = 1;      // 1..7
    int level = 0;       // 0 outer, 1 middle, 2 inner
    int orbDegrees = 0;
    std::optional<std::int32_t> entryDay;
    std::optional<std::int32_t> exitDay;
    std::vector<double> exactUt;  // the exact aspects of the stay (Julian Day, UT), in time order
};

struct SweepResult {
    util::RunOutcome outcome = util::RunOutcome::Refused;  // Completed, Refused or Stopped
    std::string refusal;
    SweepRequest request;
    std::int32_t firstDay = 0;  // the closes traded: first and last trading day
    std::int32_t lastDay = 0;
    std::size_t closes = 0;
    std::string source;  // of the prices, for the heading
    std::string column;
    std::vector<SweepUnit> units;        // in the request's order
    std::vector<std::string> skipped;    // "Sun-Pluto: why", units the backtest refused
    std::vector<SweepRow> rows;          // ranked (RankRows)
    SweepCount count;
    std::vector<SweepPeriod> periods;    // with keepPeriods: every pair's stays, pair by pair
};

// What the caller sees of a running sweep and how it stops one.
struct SweepControl {
    const std::atomic<bool>* stop = nullptr;  // set from any thread: the workers stop promptly
    // After each unit, from the worker that finished it (one call at a time): units done
    // and units in all.
    std::function<void(std::size_t done, std::size_t total)> unitDone;
    bool keepPeriods = false;
};

// The units of a request: the pairs (when aspects are tested), then the cycles of every
// body of the pairs (stations: Mercury ... Pluto; ingresses: the Sun too), then the Moon.
std::vector<SweepUnit> UnitsOf(const SweepRequest& request);

// Refuses what no unit could run (an empty pair list, no kind of rule, a bad range or
// hold-out: the backtest's messages); a unit the backtest refuses is skipped and named.
// Stopped: nothing but the outcome.
SweepResult RunSweep(const SweepRequest& request, const backtest::PriceSeries& series, const SweepControl& control);

}  // namespace kovo::sweep
