#pragma once
// What the three transit runs are asked to do, in the terms of the sky and the calendar:
// bodies, days, aspects, orbs in degrees and a zone. The checks of what a user typed are
// made before a request exists (src/requests); a run takes its request as it is.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "astro/body.h"
#include "calendar/report_zone.h"
#include "transits/transit_params.h"
#include "util/refusal.h"

namespace kovo::transits {

// A fixed longitude as the second body: a point of a chart ("NYSE Sun").
struct FixedPoint {
    double degrees = 0;  // tropical longitude of date, [0, 360)
    std::string name;    // how reports name it
};

// Two bodies' transits in the chosen aspects between two days.
struct TransitRequest {
    astro::Body first = astro::Body::Mars;
    astro::Body second = astro::Body::Jupiter;  // beyond the first; unused with fixedSecond
    std::optional<FixedPoint> fixedSecond;      // the first body's transits to a fixed point
    bool heliocentric = false;
    std::int32_t firstDay = 0;  // day numbers, inclusive; the run may start earlier to
    std::int32_t lastDay = 0;   // catch the entry of an inner orb the first day is inside
    std::array<bool, 8> aspects{};  // by aspect index 1..7; [0] unused
    std::array<int, 3> orbDegrees{10, 5, 2};  // outer, middle, inner; 0..15, decreasing
    calendar::ReportZone zone;
    // Characters of report text beyond which no row is added; none: no limit.
    std::optional<std::size_t> outputLimit = 64000;
    ScanPath scanPath = ScanPath::Fast;
};

// The first transit of one aspect on or after a day (until the end of 2099).
struct SearchRequest {
    astro::Body first = astro::Body::Mars;
    astro::Body second = astro::Body::Jupiter;
    bool heliocentric = false;
    std::int32_t fromDay = 0;
    int aspect = 1;      // aspect index 1..7
    int orbDegrees = 3;  // the outer orb; the middle and inner follow from it
    calendar::ReportZone zone;
    std::optional<std::size_t> outputLimit = 64000;
    ScanPath scanPath = ScanPath::Fast;
};

// One body with each of the others, in the order the report lists them. A pass holds
// either the request of its pair, or the refusal of it (said when its turn comes, and the
// others still run), or neither: the body met itself, and there is nothing to find.
struct AllTransitsPass {
    std::optional<TransitRequest> request{};
    std::optional<util::Refusal> refusal{};
};

struct AllTransitsRequest {
    astro::Body kept = astro::Body::Mars;
    // Whether the kept body was chosen as the first: headings and records name it in its
    // own place ("Saturn and Mercury"), though each request orders its bodies.
    bool keptFirst = true;
    std::vector<AllTransitsPass> passes;
};

}  // namespace kovo::transits
