#pragma once
// The parameters of one transit scan, filled by a run procedure before the scan.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/named_time_zone.h"

namespace kovo::transits {

enum class RunKind { TwoPlanet, Search, AllTransits };

// How the scan gets its separations. Fast: both bodies at an instant share one delta-T,
// longitudes leave out nutation where that cannot change a separation, exact minutes are
// bracketed by a root finder, and the all-transits run computes its kept body once per
// instant. Reference: each body asked for on its own and every exact minute found by the
// minute walk; the same reports, kept for benchmarks and for the tests that compare.
enum class ScanPath { Fast, Reference };

struct TransitRunParams {
    int firstPlanet = 4;   // planet index 1..8 (9 only as the first of an all-transits pass)
    int secondPlanet = 5;  // planet index 2..9
    std::int32_t startDay = 0;  // day numbers
    std::int32_t endDay = 0;
    std::array<bool, 8> aspects{};         // by aspect index 1..7; [0] unused
    std::array<int, 3> orbDegrees{10, 5, 2};  // outer, middle, inner
    std::array<double, 3> orbRadians{};
    bool handoff = false;  // outer orb of exactly 15°
    bool heliocentric = false;
    RunKind kind = RunKind::TwoPlanet;
    int timezonePosition = 24;  // list position; the offset is (position - 24) * 30 minutes east
    std::string timezoneText = "GMT";
    // A zone of the tz database instead of the list's fixed offset: its offset may change
    // with the date (daylight saving, changes of rule).
    std::optional<platform::NamedTimeZone> namedZone;
    // For the heading: the two names as the planet lists show them, and for a search
    // the search-orb and search-aspect list texts and the day the search starts from.
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
    int TimezoneMinutes() const { return (timezonePosition - 24) * 30; }

    // The offset east of Greenwich, in days, for the local Julian date `local`: the one in
    // force at the local midnight that begins its day (local day floor(local + 0.5)).
    double ZoneDaysAt(double local) const;
    // The offset, in days, and the zone's text at a UT instant: a named zone's
    // abbreviation then ("EDT"), else the list text.
    struct ZoneReading {
        double days = 0;
        std::string text;
    };
    ZoneReading ZoneAt(double instantUt) const;
    // The zone as a heading or an export names it: the tz name, or the list text.
    const std::string& ZoneName() const { return namedZone ? namedZone->Name() : timezoneText; }
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
