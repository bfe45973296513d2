#pragma once
// A body's transits to a fixed point of the zodiac, in the chosen aspects, as the cycles
// window asks for them: the two-planet run's checks with their messages, then its run.
// Safe on a worker thread: nothing is shown, a refusal is kept in the result.
#include <array>
#include <optional>
#include <string>

#include "astro/body.h"
#include "astro/pluto_availability.h"
#include "calendar/iso_date.h"
#include "calendar/time_zones.h"
#include "platform/named_time_zone.h"
#include "transits/transit_request.h"
#include "transits/transit_result.h"
#include "util/run_host.h"

namespace kovo::requests {

struct PointTransitsForm {
    astro::Body body = astro::Body::Sun;  // the Sun stands for the Earth heliocentrically
    bool heliocentric = false;
    transits::FixedPoint point;
    std::array<bool, 7> aspects{true, true, true, true, true, true, true};  // conjunction … opposition
    std::array<int, 3> orbDegrees{10, 5, 2};  // outer, middle, inner
    int timezonePosition = calendar::kGmtPosition;       // a fixed entry of the zone list
    std::optional<platform::NamedTimeZone> namedZone;  // replaces the entry when set
    calendar::IsoDate from;
    calendar::IsoDate to;
    astro::PlutoAvailability pluto;
};

struct PointTransitsFound {
    // Every period (no output limit). A refused run has outcome Refused and the message's
    // text in `refusal`; a stop through the token ends it as Stopped with what it found.
    transits::TransitResult result;
    std::string report;  // the run's report text, as the main window would show it
};

PointTransitsFound RunPointTransitsForm(const PointTransitsForm& form, util::CancelToken& cancel);

}  // namespace kovo::requests
