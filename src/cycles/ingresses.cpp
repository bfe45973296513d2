#include "cycles/ingresses.h"

#include <algorithm>
#include <cmath>

#include "cycles/stations.h"

namespace kovo::cycles {

namespace {

int SignOf(double longitude) { return std::min(11, static_cast<int>(longitude / 30.0)); }

// Appends the crossing inside [a, b], over which the body moves one way, if its sign
// changed; the interval is at most a day long.
void CrossingIn(const Track& track, double a, double b, double longitudeA, double longitudeB,
                std::vector<Ingress>& out) {
    const int from = SignOf(longitudeA);
    const int to = SignOf(longitudeB);
    if (from == to) return;
    const bool backwards = Travel(longitudeA, longitudeB) < 0;
    const auto minutes = std::max<std::int64_t>(1, std::llround((b - a) * 1440.0));
    const auto inside = [&](double t) {
        const platform::ZodiacPosition p = PositionAt(track, t);
        return p.longitude >= 0 && SignOf(p.longitude) == to;
    };
    const std::int64_t k = FirstMinute(a, minutes, inside);
    out.push_back({.instantUt = a + static_cast<double>(k) * kMinute, .sign = to, .retrograde = backwards});
}

}  // namespace

std::vector<Ingress> FindIngresses(const Track& track, double fromUt, double toUt, bool* missing) {
    std::vector<Ingress> ingresses;
    if (missing) *missing = false;
    if (!(toUt > fromUt)) return ingresses;
    // The walk's instants: every day, and every station, so that each piece is one-way.
    std::vector<double> instants;
    for (double t = fromUt; t < toUt; t = fromUt + static_cast<double>(instants.size())) instants.push_back(t);
    instants.push_back(toUt);
    bool stationsMissing = false;
    for (const Station& s : FindStations(track, fromUt, toUt, &stationsMissing)) instants.push_back(s.instantUt);
    std::sort(instants.begin(), instants.end());
    instants.erase(std::unique(instants.begin(), instants.end()), instants.end());
    std::optional<std::pair<double, double>> last;  // instant and longitude
    for (const double t : instants) {
        const platform::ZodiacPosition p = PositionAt(track, t);
        if (p.longitude < 0) {
            if (missing) *missing = true;
            last.reset();
            continue;
        }
        if (last) CrossingIn(track, last->first, t, last->second, p.longitude, ingresses);
        last = std::pair{t, p.longitude};
    }
    if (missing && stationsMissing) *missing = true;
    return ingresses;
}

}  // namespace kovo::cycles
