#pragma once
// The transit runs' inputs as the window holds them (list positions, the date fields) and
// their checks, in the window's order and with its messages. Each check that refuses
// gives a refusal value; the caller shows it. The checks leave the date model as the
// window's own checks did (labels, day numbers) and may set the zone to GMT.
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <variant>

#include "astro/pluto_availability.h"
#include "calendar/date_entry.h"
#include "platform/named_time_zone.h"
#include "transits/transit_request.h"
#include "transits/transit_result.h"
#include "util/refusal.h"
#include "util/run_host.h"

namespace kovo::requests {

struct TransitForm {
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
    std::optional<std::size_t> outputLimit = 64000;
    transits::ScanPath scanPath = transits::ScanPath::Fast;  // Reference only for benchmarks and comparisons
    // The two-planet run's second body replaced by a fixed point (secondListPos unused).
    std::optional<transits::FixedPoint> fixedSecond;
};

// "Mars and Jupiter": the caption of the two-planet run button for the selections
// ("Mars and NYSE Sun" to a fixed point).
std::string PairCaption(const TransitForm& form);

std::variant<transits::TransitRequest, util::Refusal> TwoPlanetRequest(TransitForm& form,
                                                                        calendar::DateEntryModel& dates);
std::variant<transits::SearchRequest, util::Refusal> SearchRequestOf(TransitForm& form,
                                                                      calendar::DateEntryModel& dates);
// index 0 keeps the first body, 1 the second. Refused as a whole only when the kept body
// is Pluto without data; each pass carries its own refusal otherwise.
std::variant<transits::AllTransitsRequest, util::Refusal> AllTransitsRequestOf(TransitForm& form,
                                                                                calendar::DateEntryModel& dates,
                                                                                int index);

// The record of a run that did not start.
transits::TransitResult RefusedRun(const util::Refusal& refusal);

// The checks, then the run, for a caller without a window of its own (the command line,
// tests): a refusal is said through the host and recorded as a refused run.
transits::TransitResult RunTwoPlanetForm(TransitForm& form, calendar::DateEntryModel& dates, util::RunHost& host);
transits::TransitResult RunSearchForm(TransitForm& form, calendar::DateEntryModel& dates, util::RunHost& host);
transits::AllTransitsResult RunAllTransitsForm(TransitForm& form, calendar::DateEntryModel& dates, int index,
                                               util::RunHost& host);

}  // namespace kovo::requests
