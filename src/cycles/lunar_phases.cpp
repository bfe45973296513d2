#include "cycles/lunar_phases.h"

#include <cmath>

#include "cycles/zodiac_track.h"
#include "platform/ephemeris.h"

namespace kovo::cycles {

namespace {

constexpr std::int32_t kSunCode = 3;  // the library layer's geocentric Sun

struct Reading {
    double elongation = -1;  // degrees
    double rate = 0;         // degrees a day
    double moon = -1;
};

Reading ReadingAt(double t) {
    const platform::ZodiacPosition moon = platform::ZodiacLongitude(platform::kMoonCode, t, false, platform::Zodiac::Tropical);
    const platform::ZodiacPosition sun = platform::ZodiacLongitude(kSunCode, t, false, platform::Zodiac::Tropical);
    if (moon.longitude < 0 || sun.longitude < 0) return {};
    double e = std::fmod(moon.longitude - sun.longitude, 360.0);
    if (e < 0) e += 360.0;
    return {.elongation = e, .rate = moon.speed - sun.speed, .moon = moon.longitude};
}

// The instant in [a, b] at which the elongation reaches `target`, given that it does so
// once there: Newton's steps on the ephemeris' own rate, kept inside the bracket, which
// bisection narrows whenever a step would leave it. To 1e-7 day (under 0.01 s).
double Crossing(double a, double b, double target) {
    const auto ahead = [target](const Reading& r) { return Travel(target, r.elongation); };
    double t = 0.5 * (a + b);
    for (int i = 0; i < 60 && b - a > 1e-7; ++i) {
        const Reading r = ReadingAt(t);
        if (r.elongation < 0) return std::nan("");
        const double d = ahead(r);
        if (std::fabs(d) < 1e-8) break;  // 1e-8° is under a millisecond of the Moon's motion
        if (d > 0) b = t;
        else a = t;
        const double next = r.rate > 0 ? t - d / r.rate : 0.5 * (a + b);
        t = next >= a && next <= b ? next : 0.5 * (a + b);
    }
    return t;
}

}  // namespace

const char* PhaseName(PhaseKind kind) {
    switch (kind) {
        case PhaseKind::New: return "new moon";
        case PhaseKind::FirstQuarter: return "first quarter";
        case PhaseKind::Full: return "full moon";
        case PhaseKind::LastQuarter: return "last quarter";
    }
    return "";
}

double Elongation(double instantUt) { return ReadingAt(instantUt).elongation; }

std::vector<LunarPhase> FindLunarPhases(double fromUt, double toUt, bool* missing) {
    std::vector<LunarPhase> phases;
    if (missing) *missing = false;
    if (!(toUt > fromUt) || !std::isfinite(fromUt) || !std::isfinite(toUt)) return phases;
    // Half-day steps: the elongation gains 5°–8° in one, far from the 90° between phases.
    // A phase rounded to a minute may fall a little before its bracket; a day's margin
    // on both sides catches it, and the range filter below keeps only its own.
    const double start = fromUt - 1;
    const double end = toUt + 1;
    Reading last = ReadingAt(start);
    double lastT = start;
    for (std::int64_t k = 1;; ++k) {
        const double t = std::min(end, start + 0.5 * static_cast<double>(k));
        const Reading r = ReadingAt(t);
        if (r.elongation < 0) {
            if (missing && t >= fromUt && t <= toUt) *missing = true;
        } else if (last.elongation >= 0) {
            const int before = static_cast<int>(last.elongation / 90.0);
            const int after = static_cast<int>(r.elongation / 90.0);
            if (before != after) {
                const double target = 90.0 * after;
                const double exact = Crossing(lastT, t, target);
                if (std::isfinite(exact)) {
                    const double minute = std::round(exact * 1440.0) / 1440.0;
                    if (minute >= fromUt && minute < toUt) {
                        const Reading at = ReadingAt(minute);
                        phases.push_back({.kind = static_cast<PhaseKind>(after), .instantUt = minute, .moonLongitude = at.moon});
                    }
                } else if (missing) {
                    *missing = true;
                }
            }
        }
        last = r;
        lastT = t;
        if (t >= end) break;
    }
    return phases;
}

}  // namespace kovo::cycles
