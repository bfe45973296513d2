#include "transits/transit_minima.h"

#include <algorithm>
#include <cmath>

#include "astro/catalogue.h"
#include "astro/geometry.h"
#include "astro/positions.h"
#include "util/rounding.h"

namespace kovo::transits {

namespace {

constexpr double kMinutesPerDay = 1440.0;

constexpr double kMinute = 1.0 / kMinutesPerDay;

double Deviation(const TransitRunParams& params, int aspect, double instant) {
    const double a = astro::PlanetLongitude(params.firstPlanet, instant, params.heliocentric);
    const double b = astro::PlanetLongitude(params.secondPlanet, instant, params.heliocentric);
    std::int16_t direction = 0;
    return std::fabs(astro::AngularSeparation(a, b, direction) - astro::AspectAngle[static_cast<std::size_t>(aspect)]);
}

// Where between the three steps the deviation reaches zero if it falls and rises in
// straight lines, as it does close to an exact aspect: minutes from the window's start.
long EstimatedMinute(const std::array<double, 3>& d, double step) {
    double offset = 0;
    if (d[2] < d[0] && d[1] + d[2] > 0) offset = step * d[1] / (d[1] + d[2]);
    else if (d[0] + d[1] > 0) offset = -step * d[1] / (d[0] + d[1]);
    return std::lround((1.5 * step + offset) * kMinutesPerDay);
}

}  // namespace

bool RetrogradeAt(std::int32_t day, const TransitRunParams& params, int body) {
    if (params.heliocentric || params.AllTransitsMode()) return false;
    const double instant = day - 0.5 - params.TimezoneMinutes() / kMinutesPerDay;
    return astro::IsRetrograde(body, instant);
}

std::optional<ExactMinute> FindExactMinimum(double t, const TransitRunParams& params, int aspect, double step,
                                            const std::array<double, 3>& deviations) {
    const double u0 = t - 1.5 * step - params.TimezoneMinutes() / kMinutesPerDay;
    const auto lastMinute = static_cast<long>(std::ceil(3.0 * step * kMinutesPerDay - 1e-6));
    auto deviationAt = [&](long minute) { return Deviation(params, aspect, u0 + minute * kMinute); };
    // The deviation falls to one minimum and rises again within the window, so the
    // minute-by-minute walk only needs to begin somewhere on the falling side: start a
    // little before the estimate and move back until the deviation still falls there.
    constexpr long kMargin = 8;
    long from = std::clamp(EstimatedMinute(deviations, step) - kMargin, 0L, lastMinute);
    while (from > 0 && !(deviationAt(from) > deviationAt(from + 1))) from = std::max(0L, from - 4 * kMargin);
    double best = 10.0;
    long bestMinute = from;
    for (long m = from;; ++m) {
        const double d = deviationAt(m);
        if (d < best) {
            best = d;
            bestMinute = m;
        }
        if (d > best || m >= lastMinute) break;
    }
    if (best >= kExactDeviation) return std::nullopt;
    return ExactMinute{.instantUt = u0 + bestMinute * kMinute, .deviation = best};
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
