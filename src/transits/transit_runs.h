#pragma once
// The three transit runs: two bodies between two days, the search for the first transit
// of one aspect, and one body with every other. Each takes its request as it stands
// (checked before it was made), calls the scan and returns the records; what a window
// shows afterwards (the day the scan really started from, the search's range) is read
// from the result.
#include <array>
#include <cstdint>
#include <string>

#include "transits/transit_params.h"
#include "transits/transit_request.h"
#include "transits/transit_result.h"
#include "transits/transit_scan.h"
#include "util/run_host.h"

namespace kovo::transits {

// The two-body run. When the pair is inside an inner orb at the first day's local
// midnight, the scan starts from the last earlier day outside it: result.inputs.startDay.
TransitResult RunTwoPlanet(const TransitRequest& request, util::RunHost& host);

// At most one period, the first transit found; result.inputs.endDay is 31 December 2099.
TransitResult RunSearch(const SearchRequest& request, util::RunHost& host);

// Every pass in turn, one result per pass that was scanned or refused; a refusal's message
// is said when its turn comes. The outcome is Stopped when the user stopped it or the
// report filled up (the run ends after that pass), Refused when any pass was refused,
// else Completed when some pass recorded a transit and NotFound when none did.
AllTransitsResult RunAllTransits(const AllTransitsRequest& request, util::RunHost& host);

// "Mars and Jupiter": the pair as headings name it.
std::string PairName(astro::Body first, astro::Body second, bool heliocentric);

// The day the scan starts from when the pair is already within an inner orb of any of
// the seven aspects at local midnight of startDay: the last earlier day outside that
// inner orb, or the first day with position data.
std::int32_t BackOffStartDay(int firstPlanet, int secondPlanet, std::int32_t startDay, double innerOrbRadians,
                             bool heliocentric, int zoneMinutes);
// The same with the zone of a run: a named zone's offset at each day's local midnight.
std::int32_t BackOffStartDay(const TransitRunParams& params, std::int32_t startDay, double innerOrbRadians);

// The search's three orbs from its one outer orb: outer, floor(2/3 of it), floor(1/3 of that).
std::array<int, 3> DerivedSearchOrbs(int searchOrb);

// The refusal of aspects a geocentric pair can never form, or "" when it can.
std::string GeocentricAspectRefusal(int firstPlanet, int secondPlanet, int aspect);

}  // namespace kovo::transits
