#include "transits/separation_grid.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>

#include "astro/catalogue.h"
#include "astro/geometry.h"
#include "astro/motion_bounds.h"
#include "transits/transit_minima.h"
#include "transits/transit_result.h"

namespace kovo::transits {

namespace {

// Room for what the bounds do not see: rounding in the ephemeris and in the arithmetic
// here, and the seams where its tables join. A bound must clear an orb edge by this much
// (radians, 0.2") before a step is decided without positions.
constexpr double kMargin = 1e-6;
// How far a computed separation may stray from the smooth motion the acceleration bound
// describes (radians, 0.02").
constexpr double kNoise = 1e-7;
constexpr double kHalfCircle = astro::FullCircle / 2;
constexpr double kNoBound = -std::numeric_limits<double>::infinity();

}  // namespace

SeparationGrid::SeparationGrid(const TransitRunParams& params, const PairPositions& positions, double first,
                               double step, bool lazy)
    : params_(params),
      positions_(positions),
      first_(first),
      step_(step),
      speed_(MaxDailyMotion(params.firstPlanet, params.heliocentric) +
             MaxDailyMotion(params.secondPlanet, params.heliocentric)),
      turn_(MaxDailyAcceleration(params.firstPlanet, params.heliocentric) +
            MaxDailyAcceleration(params.secondPlanet, params.heliocentric)) {
    boundsEnd_ = std::min(astro::MotionBoundsLastInstant(params.firstPlanet, params.heliocentric),
                          astro::MotionBoundsLastInstant(params.secondPlanet, params.heliocentric));
    for (std::size_t a = 1; a <= astro::kAspectCount; ++a)
        if (params.aspects[a])
            for (const double orb : params.orbRadians)
                for (const double edge : {astro::AspectAngle[a] - orb, astro::AspectAngle[a] + orb}) edges_.push_back(edge);
    // How far apart the zone's offsets lie over the scan: they change only at local
    // midnights, so each day's tells them all.
    if (params.zone.IsNamed() && lazy) {
        double lowest = params.ZoneDaysAt(first);
        double highest = lowest;
        for (double day = std::floor(first + 0.5); day <= params.endDay + 1; ++day) {
            const double zone = params.ZoneDaysAt(day);
            lowest = std::min(lowest, zone);
            highest = std::max(highest, zone);
        }
        swing_ = highest - lowest;
    }
    // A fixed point's longitude of date is no body of the tables: no bound is claimed for it.
    lazy_ = lazy && !params.ToFixedPoint() && MaxDailyMotion(params.firstPlanet, params.heliocentric) > 0 &&
            MaxDailyMotion(params.secondPlanet, params.heliocentric) > 0;
}

double SeparationGrid::Ut(std::int64_t i) const {
    const double t = Instant(i);
    return t - params_.ZoneDaysAt(t);
}

bool SeparationGrid::Bounded(std::int64_t i) const {
    // A day either side covers any zone's offset between the local grid and UT.
    const double t = Instant(i);
    return t - 1.0 >= astro::kMotionBoundsFirstInstant && t + 1.0 <= boundsEnd_;
}

SeparationGrid::Samples::iterator SeparationGrid::Evaluate(std::int64_t i) {
    const double t = Instant(i);
    const double zone = params_.ZoneDaysAt(t);
    const auto longitudes = positions_.AtScanInstant(t, zone);
    std::int16_t direction = 0;
    Sample s;
    s.ut = t - zone;
    s.separation = astro::AngularSeparation(longitudes[0], longitudes[1], direction);
    s.bounded = lazy_ && HasPosition(longitudes[0]) && HasPosition(longitudes[1]) && Bounded(i);
    s.clearance = std::numeric_limits<double>::infinity();
    for (std::size_t a = 1; a <= astro::kAspectCount; ++a) {
        if (!params_.aspects[a]) continue;
        const double deviation = DeviationOf(s, static_cast<int>(a));
        for (const double orb : params_.orbRadians) s.clearance = std::min(s.clearance, std::fabs(deviation - orb));
    }
    if (std::isnan(s.clearance)) s.bounded = false;
    return samples_.insert_or_assign(i, s).first;
}

const SeparationGrid::Sample& SeparationGrid::At(std::int64_t i) {
    const auto found = samples_.find(i);
    return found != samples_.end() ? found->second : Evaluate(i)->second;
}

double SeparationGrid::DeviationOf(const Sample& s, int aspect) const {
    return std::fabs(s.separation - astro::AspectAngle[static_cast<std::size_t>(aspect)]);
}

OrbFlags SeparationGrid::FlagsOf(const Sample& s) const {
    OrbFlags flags{};
    for (std::size_t level = 0; level < kOrbLevels; ++level)
        for (std::size_t a = 1; a <= astro::kAspectCount; ++a)
            flags[level][a] = params_.aspects[a] && DeviationOf(s, static_cast<int>(a)) < params_.orbRadians[level];
    return flags;
}

double SeparationGrid::Deviation(std::int64_t i, int aspect) { return DeviationOf(At(i), aspect); }

// A step's flags are those of a neighbour whose deviations lie further from every orb
// edge than the separation can move in between.
OrbFlags SeparationGrid::Flags(std::int64_t i) {
    const auto found = samples_.find(i);
    if (found != samples_.end()) return FlagsOf(found->second);
    if (lazy_ && Bounded(i)) {
        const auto after = samples_.lower_bound(i);
        const auto settles = [&](Samples::const_iterator k) {
            return k->second.bounded &&
                   k->second.clearance > speed_ * std::fabs(Ut(i) - k->second.ut) + kMargin;
        };
        if (after != samples_.begin() && settles(std::prev(after))) return FlagsOf(std::prev(after)->second);
        if (after != samples_.end() && settles(after)) return FlagsOf(after->second);
        if (after != samples_.begin() && std::prev(after) != samples_.begin() && KeepsCell(std::prev(after), i))
            return FlagsOf(std::prev(after)->second);
    }
    return FlagsOf(Evaluate(i)->second);
}

// Where the separation can be from sample q to d days after it, going on at the mean
// rate m of q and the sample p before it. m is the mean of the separation's rate over
// p..q, so at u = q + x the rate is within turn x (u - (p + q) / 2) of it, and the
// separation within
//   turn x (d^2 + d (q - p)) / 2
// of s_q + m d (with room for noise), as long as it does not fold at 0° or 180°.
// Nothing when the bounds give nothing, or when it can have folded between p and q:
// to touch c in between, it would have to cover |s_p - c| + |s_q - c| in q - p days.
std::optional<SeparationGrid::Range> SeparationGrid::Reach(Samples::const_iterator q, double days) const {
    if (q == samples_.begin() || !std::isfinite(turn_)) return std::nullopt;
    const auto p = std::prev(q);
    if (!p->second.bounded || !q->second.bounded) return std::nullopt;
    const double tp = p->second.ut;
    const double tq = q->second.ut;
    const double sp = p->second.separation;
    const double sq = q->second.separation;
    if (!(tq > tp) || !(days >= 0)) return std::nullopt;
    const double d = days;
    if (!Apart(sp, sq, tq - tp, 0) || !Apart(sp, sq, tq - tp, kHalfCircle)) return std::nullopt;
    const double rate = (sq - sp) / (tq - tp);
    const double spread = turn_ * (d * d + d * (tq - tp)) / 2 + 2 * kNoise * d / (tq - tp) + kNoise + kMargin;
    const Range range{std::min(sq, sq + rate * d) - spread, std::max(sq, sq + rate * d) + spread, rate, tq - tp};
    // Clear of 0° and 180° throughout, it cannot have folded after q either.
    if (!(range.low > 0) || !(range.high < kHalfCircle)) return std::nullopt;
    return range;
}

// Whether a separation moving no faster than the bounds allow can get from s1 to s2 in
// `days` by way of c.
bool SeparationGrid::Apart(double s1, double s2, double days, double c) const {
    return std::fabs(s1 - c) + std::fabs(s2 - c) > speed_ * days + kMargin;
}

// Whether the separation stays between the same orb edges from sample q (the latest
// before step j) to step j.
bool SeparationGrid::KeepsCell(Samples::const_iterator q, std::int64_t j) const {
    const auto range = Reach(q, Ut(j) - q->second.ut);
    return range && std::none_of(edges_.begin(), edges_.end(),
                                 [&](double edge) { return edge >= range->low && edge <= range->high; });
}

// Whether the deviation is strictly monotone over steps i - 1 .. i + 1, from the two
// latest samples p < q. The separation must not fold (at 0° or 180°) anywhere from the
// earlier of p and the window's start to the window's end, nor reach the aspect (where
// the deviation turns) within the window; and its rate there, within
//   turn x max(|t - (p + q) / 2|, (q - p) / 2)
// of their mean rate, must move it by more than its noise in each step, so that the
// computed deviations keep the order of the true ones.
bool SeparationGrid::ProvenMonotone(std::int64_t i, int aspect) const {
    if (!Bounded(i - 1) || !Bounded(i + 1)) return false;
    // Where a zone's offset changes, steps are not evenly spaced in UT, and can even go back.
    const double ut[3] = {Ut(i - 1), Ut(i), Ut(i + 1)};
    if (!(ut[0] < ut[1] && ut[1] < ut[2])) return false;
    auto q = samples_.upper_bound(i + 1);
    if (q == samples_.begin()) return false;
    --q;
    const double tq = q->second.ut;
    const auto range = Reach(q, std::max(0.0, ut[2] - tq));
    if (!range) return false;
    const auto p = std::prev(q);
    const double tp = p->second.ut;
    const double angle = astro::AspectAngle[static_cast<std::size_t>(aspect)];
    // The aspect may lie between p and q; only the window's part of that span must miss it.
    if (ut[0] < tq) {
        const double from = std::max(tp, ut[0]);
        const double sq = q->second.separation;
        if (!(std::fabs(sq - angle) > speed_ * (tq - from) + kMargin) &&
            !(from == tp && Apart(p->second.separation, sq, tq - tp, angle)))
            return false;
    }
    if (angle >= range->low && angle <= range->high) return false;
    const double before = tp - ut[0];
    const double sp = p->second.separation;
    if (before > 0 && !(std::min({std::fabs(sp - angle), sp, kHalfCircle - sp}) > speed_ * before + kMargin))
        return false;
    const double middle = (tp + tq) / 2;
    const double drift = turn_ * std::max({range->span / 2, middle - ut[0], ut[2] - middle});
    const double shortest = std::min(ut[1] - ut[0], ut[2] - ut[1]);
    return std::fabs(range->rate) - drift - 2 * kNoise / range->span > 2 * kNoise / shortest;
}

bool SeparationGrid::IsStepMinimum(std::int64_t i, int aspect) {
    if (lazy_) {
        if (ProvenMonotone(i, aspect)) return false;
        // Nearer samples give a tighter proof: the step after first, which later steps reuse.
        for (const std::int64_t j : {i + 1, i}) {
            if (samples_.count(j) != 0) continue;
            Evaluate(j);
            if (ProvenMonotone(i, aspect)) return false;
        }
    }
    const double now = Deviation(i, aspect);
    return now < Deviation(i - 1, aspect) && now < Deviation(i + 1, aspect);
}

// The lowest the deviation can be at step j, from the nearest samples either side. Local
// times stand for UT here: the two differ by at most the zone's swing.
double SeparationGrid::LowerBound(std::int64_t j, int aspect, Samples::const_iterator left,
                                  Samples::const_iterator right, bool usable) const {
    double bound = kNoBound;
    const double t = Instant(j);
    if (usable && left != samples_.end() && left->second.bounded)
        bound = std::max(bound, DeviationOf(left->second, aspect) - speed_ * (t - Instant(left->first) + swing_) - kMargin);
    if (usable && right != samples_.end() && right->second.bounded)
        bound = std::max(bound, DeviationOf(right->second, aspect) - speed_ * (Instant(right->first) - t + swing_) - kMargin);
    return bound;
}

// Of the run's steps without a sample, the one whose deviation can be lowest.
std::optional<SeparationGrid::Gap> SeparationGrid::LowestGap(const Run& run) const {
    std::optional<Gap> lowest;
    auto right = samples_.lower_bound(run.from);
    auto left = right == samples_.begin() ? samples_.end() : std::prev(right);
    for (std::int64_t from = run.from; from <= run.to;) {
        const std::int64_t to = right == samples_.end() ? run.to : std::min(run.to, right->first - 1);
        if (to >= from) {
            const bool usable = lazy_ && Bounded(from) && Bounded(to);
            std::vector<std::int64_t> candidates{from, to};
            if (usable && left != samples_.end() && right != samples_.end() && left->second.bounded &&
                right->second.bounded) {
                // Where the two cones meet.
                const double dl = DeviationOf(left->second, run.aspect);
                const double dr = DeviationOf(right->second, run.aspect);
                const double tl = Instant(left->first);
                const double tr = Instant(right->first);
                const double meet = (dl - dr + speed_ * (tl + tr)) / (2 * speed_);
                const auto k = static_cast<std::int64_t>(std::floor((meet - first_) / step_));
                candidates.push_back(std::clamp(k, from, to));
                candidates.push_back(std::clamp(k + 1, from, to));
            }
            for (const std::int64_t j : candidates) {
                const double bound = LowerBound(j, run.aspect, left, right, usable);
                if (!lowest || bound < lowest->lowerBound || (bound == lowest->lowerBound && j < lowest->index))
                    lowest = Gap{bound, j};
            }
        }
        if (right == samples_.end()) break;
        from = right->first + 1;
        left = right;
        ++right;
    }
    return lowest;
}

// Branch and bound: samples are taken where the bounds leave room for a smaller
// deviation, lowest first, until no step without one can reach below the best found.
std::optional<SeparationGrid::Smallest> SeparationGrid::SmallestBelow(const std::vector<Run>& runs, double below) {
    std::optional<Smallest> best;
    const auto consider = [&](double deviation, std::int64_t index) {
        if (std::isnan(deviation)) return;  // never smaller than anything
        if (!best || deviation < best->deviation || (deviation == best->deviation && index < best->index))
            best = Smallest{deviation, index};
    };
    for (const Run& run : runs)
        for (auto it = samples_.lower_bound(run.from); it != samples_.end() && it->first <= run.to; ++it)
            consider(DeviationOf(it->second, run.aspect), it->first);
    for (;;) {
        const double threshold = best ? std::min(best->deviation, below) : below;
        std::optional<Gap> lowest;
        int aspect = 0;
        for (const Run& run : runs) {
            const auto gap = LowestGap(run);
            if (gap && (!lowest || gap->lowerBound < lowest->lowerBound)) {
                lowest = gap;
                aspect = run.aspect;
            }
        }
        if (!lowest || lowest->lowerBound > threshold) break;
        consider(DeviationOf(Evaluate(lowest->index)->second, aspect), lowest->index);
    }
    if (best && best->deviation < below) return best;
    return std::nullopt;
}

void SeparationGrid::Forget(std::int64_t from) {
    // The two latest samples at or before `from` stay: the bounds reach on from them.
    while (samples_.size() > 2 && std::next(samples_.begin(), 2)->first <= from) samples_.erase(samples_.begin());
}

}  // namespace kovo::transits
