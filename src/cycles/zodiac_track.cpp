#include "cycles/zodiac_track.h"

#include "astro/positions.h"

namespace kovo::cycles {

platform::ZodiacPosition PositionAt(const Track& track, double instantUt) {
    const int planet = astro::PlanetIndex(track.body);
    const int code = planet == 9                                 ? 9
                     : track.body == astro::Body::Moon             ? platform::kMoonCode
                                                                   : astro::EphemerisBodyCode(planet);
    return platform::ZodiacLongitude(code, instantUt, track.heliocentric, track.zodiac);
}

double Travel(double a, double b) {
    double d = b - a;
    while (d > 180.0) d -= 360.0;
    while (d <= -180.0) d += 360.0;
    return d;
}

std::int64_t FirstMinute(double origin, std::int64_t minutes, const std::function<bool(double)>& reached) {
    std::int64_t low = 0;  // fails
    std::int64_t high = minutes;  // holds
    while (high - low > 1) {
        const std::int64_t middle = low + (high - low) / 2;
        if (reached(origin + static_cast<double>(middle) * kMinute)) high = middle;
        else low = middle;
    }
    return high;
}

}  // namespace kovo::cycles
