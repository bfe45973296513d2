#pragma once
// The parameters of one transit scan, filled by a run procedure before the scan.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "calendar/report_zone.h"

namespace kovo::transits {

enum class RunKind { TwoPlanet, Search, AllTransits };

// How the scan gets its separations. Fast: both bodies at an instant share one delta-T,
// longitudes leave out nutation where that cannot change a separation, exact minutes are
// bracketed by a root finder, and the all-transits run computes its kept body once per
// instant. Reference: each body asked for on its own and every exact minute found by the
// minute walk; the same reports, kept for benchmarks and for the tests that compare.
// Fast also asks for positions only at the steps whose outcome the bodies' motion
// bounds cannot settle (separation_grid.h); Stepwise is Fast asking at every step.
enum class ScanPath { Fast, Stepwise, Reference };

// The second "planet" of a run to a fixed point of the zodiac: it never moves.
inline constexpr int kFixedPoint = 0;

struct TransitRunParams {
    int firstPlanet = 4;   // planet index 1..8 (9 only as the first of an all-transits pass)
    int secondPlanet = 5;  // planet index 2..9, or kFixedPoint
    // With secondPlanet kFixedPoint: the point's longitude, radians in [0, FullCircle).
    // The first body is then taken of date (astro::LongitudeOfDate), as the point is.
    std::optional<double> fixedSecondRadians;
    std::int32_t startDay = 0;  // day numbers
    std::int32_t endDay = 0;
    std::array<bool, 8> aspects{};         // by aspect index 1..7; [0] unused
    std::array<int, 3> orbDegrees{10, 5, 2};  // outer, middle, inner
    std::array<double, 3> orbRadians{};
    bool handoff = false;  // outer orb of exactly 15°
    bool heliocentric = false;
    RunKind kind = RunKind::TwoPlanet;
    calendar::ReportZone zone;  // the zone of the report's dates and times
    // For the heading: the two names, and for a search its orb ("12°") and aspect
    // ("trine") as the heading words them.
    std::string firstName;
    std::string secondName;
    std::string searchOrbText;
    std::string searchAspectText;
    // Characters beyond which the row appender refuses rows; none for headless runs.
    std::optional<std::size_t> outputLimit = 64000;
    ScanPath scanPath = ScanPath::Fast;
    // The start was moved back out of an inner orb: the scan then also looks at the
    // step from that day's local midnight, where the entry it was moved for may lie.
    bool startMovedBack = false;

    bool SearchMode() const { return kind == RunKind::Search; }
    bool AllTransitsMode() const { return kind == RunKind::AllTransits; }
    bool ToFixedPoint() const { return fixedSecondRadians.has_value(); }

    // The zone's offset and text (see calendar::ReportZone).
    double ZoneDaysAt(double local) const { return zone.DaysAt(local); }
    using ZoneReading = calendar::ReportZone::Reading;
    ZoneReading ZoneAt(double instantUt) const { return zone.At(instantUt); }
    const std::string& ZoneName() const { return zone.Name(); }
};

// The scan follows one aspect per step, so no instant may lie inside the orbs of two
// aspects: no orb may exceed half the smallest gap between two aspect angles, 30°. At
// exactly 15° two outer orbs touch, and the hand-off passes one transit to the next.
inline constexpr int kMaxOrbDegrees = 15;

constexpr bool OrbsKeepAspectsApart(const std::array<int, 3>& orbDegrees) {
    for (const int orb : orbDegrees)
        if (orb < 0 || orb > kMaxOrbDegrees) return false;
    return true;
}

// Whole degrees to radians with the program's circle constant; sets the handoff flag.
// The orbs must keep the aspects apart (checked in debug builds).
void SetOrbs(TransitRunParams& params, int outer, int middle, int inner);

}  // namespace kovo::transits
