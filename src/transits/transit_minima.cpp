#include "transits/transit_minima.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "astro/catalogue.h"
#include "astro/geometry.h"
#include "astro/positions.h"
#include "transits/pair_positions.h"
#include "util/rounding.h"

namespace kovo::transits {

namespace {

constexpr double kMinutesPerDay = 1440.0;

// How much faster than its curvature can explain the deviation must grow, in radians per
// day, for the root finder to rule out the rest of the window: at least this much per
// minute (5e-8 radians, 0.01") separates the answer from any other minute, far above the
// noise of the ephemeris.
constexpr double kGrowthMargin = 0.0001;

// The minutes of one search window and the deviation at each.
class MinuteWindow {
public:
    MinuteWindow(double t, const TransitRunParams& params, int aspect, double step)
        : positions_(params, nullptr),
          angle_(astro::AspectAngle[static_cast<std::size_t>(aspect)]),
          start_(t - 1.5 * step - params.ZoneDaysAt(t)),
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

    // The longitudes (first, second) at a minute.
    std::array<double, 2> Longitudes(long minute) const { return positions_.At(Instant(minute)); }
    double Angle() const { return angle_; }
    bool RootFinderServes() const { return positions_.Frame() == astro::SeparationFrame::MeanOfDate; }

    double DeviationOf(const std::array<double, 2>& longitudes) const {
        std::int16_t direction = 0;
        return std::fabs(astro::AngularSeparation(longitudes[0], longitudes[1], direction) - angle_);
    }

private:
    double Sample(long minute, bool& positioned) const {
        const auto longitudes = Longitudes(minute);
        positioned = HasPosition(longitudes[0]) && HasPosition(longitudes[1]);
        return DeviationOf(longitudes);
    }

    PairPositions positions_;
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


// The minute walk: downhill from where the scan's three deviations point, then a sweep of
// the whole window that skips what cannot beat the best minute.
std::optional<ExactMinute> Walk(const MinuteWindow& w, const TransitRunParams& params, double step,
                                const std::array<double, 3>& deviations) {
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

// The signed deviation along a window: the difference of the two longitudes, carried on
// without jumps from its value at the first minute asked for, less the nearest of the
// angles that make the aspect (plus or minus the aspect angle, and whole turns). Its size
// is the deviation; it crosses zero where the aspect is exact. The difference moves by a
// few degrees at most within a window, so carrying it on never skips a turn.
class SignedDeviation {
public:
    struct Value {
        double signedDeviation = 0;
        double deviation = 0;  // as the walk computes it, from the same longitudes
    };

    explicit SignedDeviation(const MinuteWindow& w) : w_(w) {}

    std::optional<Value> At(long minute) {
        const auto longitudes = w_.Longitudes(minute);
        if (!HasPosition(longitudes[0]) || !HasPosition(longitudes[1])) return std::nullopt;
        double difference = longitudes[0] - longitudes[1];
        if (!referenced_) {
            referenced_ = true;
            reference_ = difference;
            target_ = NearestAspectAngle(difference);
        }
        difference += astro::FullCircle * std::round((reference_ - difference) / astro::FullCircle);
        return Value{difference - target_, w_.DeviationOf(longitudes)};
    }

private:
    double NearestAspectAngle(double difference) const {
        double nearest = 0;
        double distance = std::numeric_limits<double>::infinity();
        for (const double angle : {w_.Angle(), -w_.Angle()}) {
            const double candidate = angle + astro::FullCircle * std::round((difference - angle) / astro::FullCircle);
            if (std::fabs(difference - candidate) < distance) {
                distance = std::fabs(difference - candidate);
                nearest = candidate;
            }
        }
        return nearest;
    }

    const MinuteWindow& w_;
    bool referenced_ = false;
    double reference_ = 0;
    double target_ = 0;
};

struct RootSearch {
    bool settled = false;  // false: the walk must decide
    std::optional<ExactMinute> answer;
};

// The exact minute from the zero of the signed deviation f. The window's ends must have
// opposite signs; false position on whole minutes (the Illinois variant, so that a
// curved f cannot hold one end for long) narrows that to two neighbouring minutes lo and
// hi = lo + 1. Then, with |f''| <= c, on [hi, last]:
//   f(x) >= f(hi) + (x - hi) (slope - c (last - hi) / 2),  slope = (f(last) - f(hi)) / (last - hi),
// and likewise on [0, lo]. When both brackets grow by at least kGrowthMargin per day more
// than their curvature can take back, every other minute's deviation exceeds that of lo
// or hi, and the better of the two is the minute of smallest deviation in the window.
// Otherwise (no sign change, a missing position, too little growth) the walk decides.
RootSearch FindByRoot(const MinuteWindow& w, const TransitRunParams& params) {
    constexpr int kMaxRounds = 40;
    SignedDeviation f(w);
    const auto first = f.At(0);
    const auto last = f.At(w.Last());
    if (!first || !last) return {};
    const double sign = last->signedDeviation > first->signedDeviation ? 1.0 : -1.0;
    struct End {
        long minute;
        double value;      // sign x f, as measured
        double weighted;   // the value false position works with
        double deviation;
    };
    End lo{0, sign * first->signedDeviation, sign * first->signedDeviation, first->deviation};
    End hi{w.Last(), sign * last->signedDeviation, sign * last->signedDeviation, last->deviation};
    if (!(lo.value < 0 && hi.value > 0)) return {};
    const double loAtStart = lo.value;
    const double hiAtEnd = hi.value;
    int keptSide = 0;  // -1: lo kept in the last round, +1: hi kept
    for (int round = 0; hi.minute - lo.minute > 1; ++round) {
        if (round == kMaxRounds) return {};
        const double estimate =
            static_cast<double>(lo.minute) + static_cast<double>(hi.minute - lo.minute) * (-lo.weighted) / (hi.weighted - lo.weighted);
        const long minute = std::clamp(std::lround(estimate), lo.minute + 1, hi.minute - 1);
        const auto value = f.At(minute);
        if (!value) return {};
        const End found{minute, sign * value->signedDeviation, sign * value->signedDeviation, value->deviation};
        if (found.value < 0) {
            lo = found;
            if (keptSide == 1) hi.weighted /= 2;
            keptSide = 1;
        } else {
            hi = found;
            if (keptSide == -1) lo.weighted /= 2;
            keptSide = -1;
        }
    }
    const double curvature = MaxDailyAcceleration(params.firstPlanet, params.heliocentric) +
                             MaxDailyAcceleration(params.secondPlanet, params.heliocentric);
    const auto grows = [&](double from, double to, long minutes) {
        if (minutes == 0) return true;
        const double days = static_cast<double>(minutes) / kMinutesPerDay;
        return to - from >= days * (curvature * days / 2 + kGrowthMargin);
    };
    if (!grows(loAtStart, lo.value, lo.minute) || !grows(hi.value, hiAtEnd, w.Last() - hi.minute)) return {};
    const End& best = hi.deviation < lo.deviation ? hi : lo;
    if (!(best.deviation < kExactDeviation)) return {.settled = true, .answer = std::nullopt};
    return {.settled = true, .answer = ExactMinute{.instantUt = w.Instant(best.minute), .deviation = best.deviation}};
}

}  // namespace

bool RetrogradeAt(std::int32_t day, const TransitRunParams& params, int body) {
    if (params.heliocentric || params.AllTransitsMode()) return false;
    const double instant = day - 0.5 - params.ZoneDaysAt(day);
    return astro::IsRetrograde(body, instant);
}

std::optional<ExactMinute> FindExactMinimum(double t, const TransitRunParams& params, int aspect, double step,
                                            const std::array<double, 3>& deviations) {
    const MinuteWindow w(t, params, aspect, step);
    if (params.scanPath != ScanPath::Reference && w.RootFinderServes()) {
        const RootSearch search = FindByRoot(w, params);
        if (search.settled) return search.answer;
    }
    return Walk(w, params, step, deviations);
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
