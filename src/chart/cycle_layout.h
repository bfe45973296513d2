#pragma once
// Where the cycle lanes' shapes go; LayOutTimeline calls this after the aspect lanes.
#include <string>

#include "chart/timeline_layout.h"

namespace kovo::chart {

// Places the model's cycle lanes from `top` down, `laneHeight` each, their labels from
// `labelLeft`, with their bands, station and ingress ticks and sign names.
void PlaceCycleLanes(TimelineLayout& layout, const TimelineModel& model, double top, double laneHeight,
                     double labelLeft, double line);

// " · Mercury: retrograde" for each cycle lane whose cycle `ut` lies in; "" for none.
std::string CyclePhasesAt(const TimelineModel& model, double ut);

// "pre-shadow", "retrograde", "post-shadow".
const char* CyclePhaseName(CyclePhase phase);

}  // namespace kovo::chart
