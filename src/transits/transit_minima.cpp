#include "transits/transit_minima.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "astro/catalogue.h"
#include "astro/geometry.h"
#include "astro/positions.h"
#include "util/rounding.h"

namespace kovo::transits {

namespace {

constexpr double kMinutesPerDay = 1440.0;

// Degrees per day, indexed by planet 1..9. The real maxima are about: geocentric Sun
// 1.02, Mercury 2.2, Venus 1.26, Mars 0.79, Jupiter 0.25, Saturn 0.13, Uranus 0.07,
// Neptune and Pluto 0.04; heliocentric Earth 1.02, Mercury 6.4, Venus 1.62, Mars 0.67,
// Jupiter 0.10, Saturn 0.04, Uranus 0.013, Neptune and Pluto 0.007. Pluto's tables,
// rounded to the arcminute (geocentric) or arcsecond and drawn straight between days,
// add up to that much per day.
constexpr std::array<double, 10> kGeocentricMotion{0, 1.1, 2.5, 1.4, 0.9, 0.3, 0.2, 0.1, 0.1, 0.1};
constexpr std::array<double, 10> kHeliocentricMotion{0, 1.1, 7.0, 1.8, 0.8, 0.15, 0.06, 0.03, 0.03, 0.03};

// The minutes of one search window and the deviation at each.
class MinuteWindow {
public:
    MinuteWindow(double t, const TransitRunParams& params, int aspect, double step)
        : params_(params),
          angle_(astro::AspectAngle[static_cast<std::size_t>(aspect)]),
          start_(t - 1.5 * step - params.TimezoneMinutes() / kMinutesPerDay),
          last_(std::lround(3.0 * step * kMinutesPerDay)) {}

    long Last() const { return last_; }
    double Instant(long minute) const { return start_ + static_cast<double>(minute) / kMinutesPerDay; }

    double Deviation(long minute) const {
        bool positioned = false;
        return Sample(minute, positioned);
    }

    bool Positioned(long minute) const {
        bool positioned = false;
        Sample(minute, positioned);
        return positioned;
    }

private:
    double Sample(long minute, bool& positioned) const {
        const double instant = Instant(minute);
        const double a = astro::PlanetLongitude(params_.firstPlanet, instant, params_.heliocentric);
        const double b = astro::PlanetLongitude(params_.secondPlanet, instant, params_.heliocentric);
        positioned = HasPosition(a) && HasPosition(b);
        std::int16_t direction = 0;
        return std::fabs(astro::AngularSeparation(a, b, direction) - angle_);
    }

    const TransitRunParams& params_;
    double angle_;
    double start_;
    long last_;
};

struct Best {
    long minute = 0;
    double deviation = 0;
};

// Where between the three steps the deviation reaches zero if it falls and rises in
// straight lines, as it does close to an exact aspect: minutes from the window's start.
long EstimatedMinute(const std::array<double, 3>& d, double step) {
    double offset = 0;
    if (d[2] < d[0] && d[1] + d[2] > 0) offset = step * d[1] / (d[1] + d[2]);
    else if (d[0] + d[1] > 0) offset = -step * d[1] / (d[0] + d[1]);
    return std::lround((1.5 * step + offset) * kMinutesPerDay);
}

// Downhill from `from` to the nearest local minimum: a good first best for the sweep.
Best Descend(const MinuteWindow& w, long from) {
    Best best{from, w.Deviation(from)};
    for (const long direction : {1L, -1L}) {
        for (long k = best.minute + direction; k >= 0 && k <= w.Last(); k += direction) {
            const double d = w.Deviation(k);
            if (!(d < best.deviation)) break;
            best = {k, d};
        }
    }
    return best;
}

// How many minutes after one with deviation `best + excess` stay strictly above `best`
// when the deviation changes by at most `bound` per minute.
long MinutesAbove(double excess, double bound, long limit) {
    if (!(bound > 0) || !(excess > 0)) return 0;
    const double room = excess / bound;
    if (room > static_cast<double>(limit)) return limit;
    return static_cast<long>(std::ceil(room)) - 1;
}

// Every minute of the window, skipping those that cannot beat the best so far, nor count
// as exact. The separation moves no faster than the two bodies together, and the
// deviation no faster than the separation, so a minute k + j lies at most j x bound below
// minute k.
void Sweep(const MinuteWindow& w, double bound, Best& best) {
    for (long k = 0; k <= w.Last();) {
        const double d = w.Deviation(k);
        if (d < best.deviation || (d == best.deviation && k < best.minute)) best = {k, d};
        k += 1 + MinutesAbove(d - std::min(best.deviation, kExactDeviation), bound, w.Last());
    }
}

}  // namespace

bool RetrogradeAt(std::int32_t day, const TransitRunParams& params, int body) {
    if (params.heliocentric || params.AllTransitsMode()) return false;
    const double instant = day - 0.5 - params.TimezoneMinutes() / kMinutesPerDay;
    return astro::IsRetrograde(body, instant);
}

double MaxDailyMotion(int planet, bool heliocentric) {
    if (planet < 1 || planet > astro::kPluto) return 0;
    const auto& table = heliocentric ? kHeliocentricMotion : kGeocentricMotion;
    return table[static_cast<std::size_t>(planet)] / 360.0 * astro::FullCircle;
}

std::optional<ExactMinute> FindExactMinimum(double t, const TransitRunParams& params, int aspect, double step,
                                            const std::array<double, 3>& deviations) {
    const MinuteWindow w(t, params, aspect, step);
    Best best = Descend(w, std::clamp(EstimatedMinute(deviations, step), 0L, w.Last()));
    if (std::isnan(best.deviation)) best.deviation = std::numeric_limits<double>::infinity();
    // Positions at both ends mean positions throughout: every body's data cover one span.
    const bool bounded = w.Positioned(0) && w.Positioned(w.Last());
    const double perMinute =
        (MaxDailyMotion(params.firstPlanet, params.heliocentric) + MaxDailyMotion(params.secondPlanet, params.heliocentric)) /
        kMinutesPerDay;
    Sweep(w, bounded ? perMinute : 0.0, best);
    if (!(best.deviation < kExactDeviation)) return std::nullopt;
    return ExactMinute{.instantUt = w.Instant(best.minute), .deviation = best.deviation};
}

ExactClock ExactClockAt(double local) {
    const std::int64_t seconds = util::RoundHalfEven((local + 0.5) * 86400.0);
    const std::int64_t secondOfDay = seconds % 86400;
    std::int64_t minutes = secondOfDay / 60;
    if (secondOfDay % 60 >= 30) ++minutes;
    minutes = std::min<std::int64_t>(minutes, 23 * 60 + 59);
    return {.day = static_cast<std::int32_t>(seconds / 86400),
            .hour = static_cast<int>(minutes / 60),
            .minute = static_cast<int>(minutes % 60)};
}

}  // namespace kovo::transits
