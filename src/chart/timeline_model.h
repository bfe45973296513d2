#pragma once
// What the timeline chart draws, taken from a transit run's records: one lane per
// aspect (per pair and aspect for the all-transits run), each period as the time spans
// of its three orbs, and a tick at each exact minimum. Instants are Julian Days UT.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "chart/cycle_lane.h"
#include "export/run_records.h"
#include "transits/transit_params.h"
#include "transits/transit_result.h"

namespace kovo::chart {

// One stay inside one orb. A date stands for the whole local day, so a span runs from
// local midnight beginning its entry date to local midnight ending its exit date.
struct TimeSpan {
    double startUt = 0;
    double endUt = 0;
    bool cutAtStart = false;  // the range began inside it: drawn open at that edge
    bool cutAtEnd = false;
};

struct ExactTick {
    double instantUt = 0;
    double deviation = 0;  // radians
    std::string when;      // "2026-03-05 14:32 GMT", as the report reads the minute
};

struct ChartPeriod {
    int pair = 0;    // index into TimelineModel::pairs
    int period = 0;  // index into that pair's periods
    int aspect = 0;  // 1..7
    std::array<std::vector<TimeSpan>, transits::kOrbLevels> levels;  // outer: exactly one span
    std::vector<ExactTick> exact;
    bool retrograde = false;  // some date of the period carries the first body's retrograde mark
};

struct Lane {
    int pair = 0;
    int aspect = 0;
    std::string label;  // "Square", or "Mars–Jupiter Square" in an all-transits chart
    std::vector<ChartPeriod> periods;
};

struct TimelineModel {
    std::string title;
    std::string subtitle;  // orbs and zone
    std::vector<transits::TransitRunParams> pairs;  // the inputs of each scanned pair
    std::vector<Lane> lanes;
    double rangeStartUt = 0;  // local midnight beginning the first day
    double rangeEndUt = 0;    // local midnight ending the last day drawn
    std::array<int, transits::kOrbLevels> orbDegrees{10, 5, 2};
    std::string retrogradeBody;  // whose retrograde marks the dashed outlines show, "" for none
    std::string emptyText;       // "Not found" and the like, when there is no period to draw
    // Drawn under the aspect lanes; none unless asked for (TimelineOptions::cycles).
    std::vector<CycleLane> cycleLanes;
    // The zone of a chart without pairs (one body's cycles alone).
    transits::TransitRunParams zoneRules;

    bool HasPeriods() const;
    std::size_t PeriodCount() const;
    // The local-time rules of a pair (all pairs of one run share them); zoneRules when
    // the chart has no pair.
    const transits::TransitRunParams& Params(int pair) const;
};

// What a run's chart shows beside its aspect lanes.
struct TimelineOptions {
    bool cycles = false;  // a lane of retrograde cycles and ingresses per body of the run
    bool moon = false;    // a lane of the Moon's phases and the eclipses
};

// A refused run (nothing scanned) gives a model without lanes whose emptyText is the
// refusal. A search's range ends a little after the transit it found, not in 2099.
TimelineModel BuildTimeline(const transits::TransitResult& result);
TimelineModel BuildTimeline(const transits::AllTransitsResult& result);

// The timeline of a run's records: of a transit or all-transits run (a refused one gives
// its refusal as emptyText); nothing for a simulation or before any run.
std::optional<TimelineModel> TimelineOf(const exporting::RunRecords& records, const TimelineOptions& options = {});

// The body an all-transits run kept in every pair, as the chart's title names it; "" for
// no pair.
std::string KeptBodyName(const std::vector<transits::TransitRunParams>& pairs);

// Whether the records are of a transit run that scanned something: not of a refused
// run, a simulation, or nothing yet.
bool HasScannedTransits(const exporting::RunRecords& records);

// The orb spans of one period, as drawn: the outer span from its dates or the range's
// edges; a middle or inner span that lacks a date (it changed in the same scan step as a
// wider orb, or before the range) takes that date from the wider span around it.
ChartPeriod BuildChartPeriod(const transits::TransitPeriod& period, const transits::TransitRunParams& params,
                             double rangeStartUt, double rangeEndUt);

}  // namespace kovo::chart
