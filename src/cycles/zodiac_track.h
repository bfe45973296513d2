#pragma once
// One body's longitude and speed in a zodiac, and the minute searches that stations and
// ingresses share. Instants are Julian Days in UT; whole minutes are counted from an
// origin so that a minute's instant is origin + k / 1440, never a sum of small steps.
#include <cstdint>
#include <functional>
#include <optional>

#include "astro/body.h"
#include "platform/ephemeris.h"

namespace kovo::cycles {

inline constexpr double kMinute = 1.0 / 1440.0;

// The years the ephemeris files cover: cycles are looked for only within them.
inline constexpr int kFirstYear = 1600;
inline constexpr int kLastYear = 2199;

struct Track {
    astro::Body body = astro::Body::Mercury;
    bool heliocentric = false;
    platform::Zodiac zodiac = platform::Zodiac::Tropical;
};

// The body's position (degrees, degrees a day); a negative longitude when there is none.
platform::ZodiacPosition PositionAt(const Track& track, double instantUt);

// b - a brought into (-180, 180]: how far the body went from a to b.
double Travel(double a, double b);

// The first whole minute k in [0, minutes] after `origin` for which `reached` holds,
// given that it fails at 0 and holds at `minutes` and turns from false to true once:
// bisection over whole minutes.
std::int64_t FirstMinute(double origin, std::int64_t minutes, const std::function<bool(double)>& reached);

}  // namespace kovo::cycles
