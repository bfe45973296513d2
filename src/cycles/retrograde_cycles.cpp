#include "cycles/retrograde_cycles.h"

#include <cmath>

namespace kovo::cycles {

namespace {

constexpr double kLookAround = 120.0;  // days: Pluto's shadow reaches about this far

// The first whole minute, walking from `start` by whole days towards `direction` (+1 later,
// -1 earlier) for at most kLookAround days, at which the direct-moving body has passed
// `longitude` (later) or has not yet reached it (earlier, giving the first minute at or
// past it).
std::optional<CycleMoment> ShadowCrossing(const Track& track, double start, double longitude, int direction) {
    // "past" holds at t when the body has reached `longitude` moving direct.
    const auto past = [&](double t) {
        const platform::ZodiacPosition p = PositionAt(track, t);
        return p.longitude >= 0 && Travel(longitude, p.longitude) >= 0;
    };
    double previous = start;
    for (int day = 1; day <= static_cast<int>(kLookAround); ++day) {
        const double t = start + direction * static_cast<double>(day);
        const bool reached = past(t);
        if (direction > 0 && reached) {
            const std::int64_t k = FirstMinute(previous, 1440, past);
            const double instant = previous + static_cast<double>(k) * kMinute;
            return CycleMoment{.instantUt = instant, .longitude = PositionAt(track, instant).longitude};
        }
        if (direction < 0 && !reached) {
            const std::int64_t k = FirstMinute(t, 1440, past);
            const double instant = t + static_cast<double>(k) * kMinute;
            return CycleMoment{.instantUt = instant, .longitude = PositionAt(track, instant).longitude};
        }
        previous = t;
    }
    return std::nullopt;
}

void Keep(std::optional<CycleMoment>& moment, double fromUt, double toUt, RetrogradeCycle& cycle) {
    if (!moment) return;
    if (moment->instantUt < fromUt) {
        moment.reset();
        cycle.cutAtStart = true;
    } else if (moment->instantUt > toUt) {
        moment.reset();
        cycle.cutAtEnd = true;
    }
}

}  // namespace

std::optional<double> RetrogradeCycle::RetrogradeDays() const {
    if (!stationRetrograde || !stationDirect) return std::nullopt;
    return stationDirect->instantUt - stationRetrograde->instantUt;
}

std::optional<double> RetrogradeCycle::ShadowDays() const {
    if (!preShadowStart || !postShadowEnd) return std::nullopt;
    return postShadowEnd->instantUt - preShadowStart->instantUt;
}

std::vector<RetrogradeCycle> FindRetrogradeCycles(const Track& track, double fromUt, double toUt, bool* missing) {
    std::vector<RetrogradeCycle> cycles;
    const std::vector<Station> stations =
        FindStations(track, fromUt - 2 * kLookAround, toUt + 2 * kLookAround, missing);
    for (std::size_t i = 0; i + 1 < stations.size(); ++i) {
        const Station& sr = stations[i];
        const Station& sd = stations[i + 1];
        if (sr.kind != StationKind::Retrograde || sd.kind != StationKind::Direct) continue;
        RetrogradeCycle cycle;
        cycle.stationRetrograde = CycleMoment{sr.instantUt, sr.longitude};
        cycle.stationDirect = CycleMoment{sd.instantUt, sd.longitude};
        cycle.preShadowStart = ShadowCrossing(track, sr.instantUt, sd.longitude, -1);
        cycle.postShadowEnd = ShadowCrossing(track, sd.instantUt, sr.longitude, +1);
        const double first = cycle.preShadowStart ? cycle.preShadowStart->instantUt : sr.instantUt;
        const double last = cycle.postShadowEnd ? cycle.postShadowEnd->instantUt : sd.instantUt;
        if (last < fromUt || first > toUt) continue;
        Keep(cycle.preShadowStart, fromUt, toUt, cycle);
        Keep(cycle.stationRetrograde, fromUt, toUt, cycle);
        Keep(cycle.stationDirect, fromUt, toUt, cycle);
        Keep(cycle.postShadowEnd, fromUt, toUt, cycle);
        cycles.push_back(cycle);
    }
    return cycles;
}

}  // namespace kovo::cycles
