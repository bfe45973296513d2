#pragma once
// The cycle lanes of the timeline chart, computed from the ephemeris for the chart's
// range: beside a transit run's aspect lanes, or alone for one body.
#include <string>

#include "calendar/report_zone.h"
#include "chart/cycle_lane.h"
#include "chart/timeline_model.h"
#include "cycles/zodiac_track.h"
#include "transits/transit_params.h"

namespace kovo::chart {

// One body's lane over [fromUt, toUt] (Julian Days UT): for a geocentric track other
// than the Sun its retrograde cycles, each phase clipped to the range and marked cut
// where the range cuts it, and a tick at each station inside the range; for every track
// its ingresses in the track's zodiac. Tick times read in `zone`'s rules.
CycleLane BuildCycleLane(const cycles::Track& track, double fromUt, double toUt,
                         const transits::TransitRunParams& zone);

// Adds to a transit run's chart one lane per body of the run from Mercury to Pluto (for
// an all-transits run the body it kept), over the chart's range in the tropical zodiac:
// geocentric runs get cycles and ingresses, heliocentric runs ingresses only. Adds
// nothing to a chart without pairs (a refused run).
void AddCycleLanes(TimelineModel& model);

// The Moon's lane over [fromUt, toUt]: the waxing half of each lunation (new to full
// moon) as a band, clipped and marked cut at the range's ends, a tick at each phase and
// each eclipse. Tick times read in `zone`'s rules.
CycleLane BuildLunarLane(double fromUt, double toUt, const transits::TransitRunParams& zone);

// Adds the Moon's lane to a transit run's chart, over the chart's range; nothing to a
// chart without pairs.
void AddLunarLane(TimelineModel& model);

// A chart of the Moon's lane alone, as BuildCycleTimeline for a body.
TimelineModel BuildLunarTimeline(double fromUt, double toUt, const calendar::ReportZone& zone, std::string title);

// A chart of one body's cycles alone, without aspect lanes, for [fromUt, toUt] with
// its times in `zone`. A range that is empty or not finite gives a chart with no lane
// whose emptyText says so.
TimelineModel BuildCycleTimeline(const cycles::Track& track, double fromUt, double toUt,
                                 const calendar::ReportZone& zone, std::string title);

}  // namespace kovo::chart
