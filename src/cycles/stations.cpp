#include "cycles/stations.h"

#include <algorithm>
#include <cmath>

namespace kovo::cycles {

namespace {

// The station inside [day, day + minutes / 1440], whose speeds at the ends have opposite
// signs.
std::optional<Station> StationIn(const Track& track, double day, std::int64_t minutes, bool retrograde) {
    // The first minute whose speed has the new sign.
    const auto turned = [&](double t) {
        const platform::ZodiacPosition p = PositionAt(track, t);
        return p.longitude >= 0 && (retrograde ? p.speed <= 0 : p.speed >= 0);
    };
    const std::int64_t k = FirstMinute(day, minutes, turned);
    const double before = day + static_cast<double>(k - 1) * kMinute;
    const double after = day + static_cast<double>(k) * kMinute;
    const platform::ZodiacPosition a = PositionAt(track, before);
    const platform::ZodiacPosition b = PositionAt(track, after);
    if (a.longitude < 0 || b.longitude < 0) return std::nullopt;
    // The longitude is highest (lowest) at the turn: keep the minute that reaches further.
    const double gain = Travel(a.longitude, b.longitude);
    const bool later = retrograde ? gain > 0 : gain < 0;
    return Station{.kind = retrograde ? StationKind::Retrograde : StationKind::Direct,
                   .instantUt = later ? after : before,
                   .longitude = later ? b.longitude : a.longitude};
}

}  // namespace

std::vector<Station> FindStations(const Track& track, double fromUt, double toUt, bool* missing) {
    std::vector<Station> stations;
    if (missing) *missing = false;
    if (track.heliocentric || track.body == astro::Body::Sun || !(toUt > fromUt)) return stations;
    const auto days = static_cast<std::int64_t>(std::ceil(toUt - fromUt));
    std::optional<double> lastSpeed;
    for (std::int64_t i = 0; i <= days; ++i) {
        const double t = std::min(fromUt + static_cast<double>(i), toUt);
        const platform::ZodiacPosition p = PositionAt(track, t);
        if (p.longitude < 0) {
            if (missing) *missing = true;
            lastSpeed.reset();
            continue;
        }
        if (lastSpeed && (*lastSpeed > 0) != (p.speed > 0)) {
            const double start = fromUt + static_cast<double>(i - 1);
            const auto minutes = std::max<std::int64_t>(1, std::llround((t - start) * 1440.0));
            if (auto station = StationIn(track, start, minutes, *lastSpeed > 0)) {
                if (station->instantUt >= fromUt && station->instantUt <= toUt) stations.push_back(*station);
            }
        }
        lastSpeed = p.speed;
    }
    return stations;
}

}  // namespace kovo::cycles
