#pragma once
// The three transit runs: the two-planet run, the aspect search and the all-transits
// run. They read what the window shows (TransitInputs, the date model), validate it
// with the window's own messages, fill the scan parameters and call the scan. The
// window calls them from its run buttons and mirrors back what they change: the
// time-zone position, the date fields, labels and day numbers.
#include <array>
#include <cstddef>
#include <optional>
#include <string>

#include "astro/pluto_availability.h"
#include "calendar/date_entry.h"
#include "transits/transit_params.h"
#include "transits/transit_result.h"
#include "transits/transit_scan.h"
#include "util/run_host.h"

namespace kovo::transits {

struct TransitInputs {
    int firstListPos = 3;   // cboPlanet(0): position p is planet p + 1; -1 (no selection) is Pluto
    int secondListPos = 3;  // cboPlanet(1): position p is planet p + 2
    std::array<int, 4> orbPositions{9, 4, 1, 3};  // cboOrbs(0..2): p + 1 degrees; cboOrbs(3): p + 3
    std::array<bool, 7> aspectChecked{true, true, true, true, true, true, true};
    bool heliocentric = false;
    int timezonePosition = 24;
    std::string timezoneText = "GMT";  // the selected entry as the list shows it
    std::optional<platform::NamedTimeZone> namedZone;  // replaces the list's zone when set
    astro::PlutoAvailability pluto;  // a pair with Pluto is refused, with its reason, when not available
    int searchAspectPos = 0;  // cboSearchAspect: aspect index - 1
    int searchWhenPos = 0;    // 0 on or after start date, 1 on or after end date
    bool keepDates = true;
    std::optional<std::size_t> outputLimit = 64000;
    ScanPath scanPath = ScanPath::Fast;  // Reference only for benchmarks and comparisons
};

struct RunContext {
    TransitInputs& inputs;
    calendar::DateEntryModel& dates;
    util::RunFlags& flags;
    util::RunHost& host;
};

// "Mars and Jupiter": the caption of the two-planet run button for the selections.
std::string PairCaption(const TransitInputs& inputs);

// The click on the two-planet run button once it is not a stop request. A refused run
// returns Refused with the text of the message that refused it.
TransitResult StartTwoPlanetRun(RunContext& context, bool allTransitsMode = false);

// The click on "Search": at most one period, the first transit found.
TransitResult StartAspectSearch(RunContext& context);

// The click on cmdShowAll(index): 0 keeps the first planet, 1 the second. One result
// per pair, so that each pair and aspect can be drawn on a lane of its own. The outcome
// is Stopped when the user stopped it or the output area filled up (the run ends after
// that pair), Refused when any pair was refused (the others still run), else Completed
// when some pair recorded a transit and NotFound when none did.
AllTransitsResult StartAllTransitsRun(RunContext& context, int index);

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
