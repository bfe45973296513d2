#include "transits/transit_scan.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <limits>

#include "astro/catalogue.h"
#include "astro/geometry.h"
#include "astro/positions.h"
#include "transits/transit_minima.h"
#include "transits/transit_period_builder.h"
#include "transits/transit_report.h"

namespace kovo::transits {

namespace {

// The smallest angle between two aspects: an orb of half of it never reaches the next.
constexpr double SmallestAspectGap() {
    double gap = astro::FullCircle;
    for (std::size_t a = 1; a <= astro::kAspectCount; ++a)
        for (std::size_t b = a + 1; b <= astro::kAspectCount; ++b) {
            const double d = astro::AspectAngle[a] > astro::AspectAngle[b] ? astro::AspectAngle[a] - astro::AspectAngle[b]
                                                                          : astro::AspectAngle[b] - astro::AspectAngle[a];
            if (d < gap) gap = d;
        }
    return gap;
}
static_assert(2.0 * kMaxOrbDegrees / 360.0 * astro::FullCircle <= SmallestAspectGap() * (1 + 1e-12),
              "orbs up to kMaxOrbDegrees would let two aspects' orbs overlap");

enum OrbState { kNone = 0, kEntering = 1, kInside = 2, kLeaving = 3 };
enum Instant { kBefore = 0, kNow = 1, kAfter = 2 };

constexpr int kNoLevel = -1;
// Larger than any deviation: the tracker holds nothing yet.
constexpr double kNoDeviation = 10.0;

struct Handoff {
    int leaving = 0;
    int entering = 0;
    bool flag = false;
};

// The orb levels of the active aspect at which something happens in this step.
struct StepLevels {
    int start = kNoLevel;   // the widest orb entered
    int inside = kNoLevel;  // the narrowest orb stayed in
    int end = kNoLevel;     // the widest orb left
};

class TransitScan {
public:
    TransitScan(TransitRunParams params, util::RunHost& host, KeptBodyPositions* kept)
        : p_(std::move(params)),
          host_(host),
          writer_(p_, BuildHeading(p_), stopPending_, host),
          positions_(p_, kept) {}

    TransitResult Run();

private:
    bool AskToStop();
    double FirstStepInstant() const;
    void UpdatePositions(double t, bool firstStep);
    void UpdateDeviations(bool firstStep);
    Handoff DetectOrbHandoff() const;
    int UpdateStates(const Handoff& handoff);
    StepLevels LevelsOf(int aspect) const;
    void HandleStep(double t, bool firstStep);
    void HandleInside(double t, bool firstStep, int aspect, int insideLevel);
    void HandleExit(double t, int aspect, int level, const Handoff& handoff);
    OrbDate StepDate(double t) const;
    TransitMinimum TrackedMinimum() const;
    TransitMinimum ExactRecord(const ExactMinute& exact, int aspect) const;
    std::optional<double> UtMinuteOf(double instantUt, int aspect) const;
    void FlushPeriod();
    TransitResult Ended(util::RunOutcome outcome);
    double Deviation(Instant i, int aspect) const { return deviation_[i][static_cast<std::size_t>(aspect)]; }

    TransitRunParams p_;
    util::RunHost& host_;
    // A stop the user asked for, or the full output: the next step asks "Stop?".
    bool stopPending_ = false;
    TransitReportWriter writer_;
    PairPositions positions_;
    PeriodBuilder builder_;
    TransitResult result_;
    double step_ = 0.25;
    // The offset in days east of Greenwich of a local instant; with a fixed zone always
    // the same, with a named one that of the local midnight beginning its day.
    double ZoneDays(double local) const { return p_.ZoneDaysAt(local); }
    std::array<std::array<double, 2>, 3> position_{};  // [before/now/after][first/second]
    std::array<double, 3> separation_{};
    std::array<std::array<double, 8>, 3> deviation_{};
    std::array<std::array<std::array<bool, 8>, 3>, 2> inOrb_{};  // [now/after][level][aspect]
    std::array<std::array<int, 8>, 3> state_{};                  // [level][aspect]
    double trackedDeviation_ = kNoDeviation;  // the smallest deviation of the period so far
    double trackedInstant_ = 0;               // and its local instant
    bool searchFound_ = false;                // a search ends at its first outer-orb exit
};

TransitResult TransitScan::Run() {
    // The passes of an all-transits run are set apart by an empty line.
    util::ReportSink& report = host_.Report();
    if (p_.AllTransitsMode() && report.Length() > 0) report.Append("\r\n");
    // A fixed point adds no motion: the step of the moving body with itself.
    step_ = p_.ToFixedPoint() ? ScanStep(p_.firstPlanet, p_.firstPlanet) : ScanStep(p_.firstPlanet, p_.secondPlanet);
    if (p_.secondPlanet == astro::kMoon) step_ = MoonScanStep(p_.firstPlanet, p_.orbDegrees[kInnerOrb]);
    if (p_.SearchMode()) p_.endDay = kSearchEndDay;
    const double last = p_.endDay + 0.25;
    const double firstT = FirstStepInstant();
    for (double t = firstT; t <= last && !searchFound_; t += step_) {
        host_.Progress(std::max(0.0, (t - p_.startDay) / (p_.endDay - p_.startDay + 0.5)),
                       static_cast<std::int32_t>(std::floor(t + 0.5)));
        if (host_.Cancel().Take()) stopPending_ = true;
        if (stopPending_ && AskToStop()) {
            if (builder_.HasContent()) result_.periods.push_back(builder_.Take());
            return Ended(util::RunOutcome::Stopped);
        }
        const bool firstStep = t == firstT;
        UpdatePositions(t, firstStep);
        UpdateDeviations(firstStep);
        HandleStep(t, firstStep);
    }
    const bool recorded = result_.Recorded() || builder_.HasContent();
    const auto outcome = recorded ? util::RunOutcome::Completed : util::RunOutcome::NotFound;
    if (searchFound_) {
        result_.searchFound = true;
        return Ended(outcome);
    }
    // A period still open at the end is reported with its open columns empty.
    if (builder_.HasContent()) {
        FlushPeriod();
    } else if (writer_.HasLeftovers()) {
        writer_.AppendLeftovers();
    }
    if (p_.AllTransitsMode()) return Ended(outcome);
    if (outcome == util::RunOutcome::NotFound) {
        host_.ShowMessage({.text = p_.SearchMode() ? "There are no transits of this kind before January 1, 2100."
                                                   : "There are no transits of this kind in the period specified.",
                           .title = "Not found",
                           .icon = util::MessageIcon::Information});
    }
    return Ended(outcome);
}

// The grid's first instant: a quarter day into the start day, or, after a back-off, the
// last grid instant at or before its local midnight, so that the step seeing the inner
// orb's entry on the moved start day is looked at. Steps keep their places either way.
double TransitScan::FirstStepInstant() const {
    double t = p_.startDay - 0.25;
    if (p_.startMovedBack)
        while (t > p_.startDay - 0.5) t -= step_;
    return t;
}

TransitResult TransitScan::Ended(util::RunOutcome outcome) {
    result_.inputs = p_;
    result_.outcome = outcome;
    result_.outputFull = writer_.OutputFull();
    return std::move(result_);
}

bool TransitScan::AskToStop() {
    const auto answer = host_.ShowMessage({.text = "Stop?",
                                           .title = "Pause",
                                           .icon = util::MessageIcon::Question,
                                           .buttons = util::MessageButtons::YesNo,
                                           .defaultButton = util::Answer::Yes});
    stopPending_ = false;
    host_.Cancel().Clear();
    if (answer != util::Answer::Yes) return false;
    host_.Report().Append("\r\nStopped");
    return true;
}

void TransitScan::UpdatePositions(double t, bool firstStep) {
    if (!firstStep) {
        position_[kBefore] = position_[kNow];
        position_[kNow] = position_[kAfter];
    }
    for (int k = firstStep ? -1 : 1; k <= 1; ++k)
        position_[static_cast<std::size_t>(k + 1)] = positions_.AtScanInstant(k * step_ + t, ZoneDays(k * step_ + t));
}

void TransitScan::UpdateDeviations(bool firstStep) {
    // Like the positions, separations and deviations slide along; only "after" is new.
    if (!firstStep) {
        separation_[kBefore] = separation_[kNow];
        separation_[kNow] = separation_[kAfter];
        deviation_[kBefore] = deviation_[kNow];
        deviation_[kNow] = deviation_[kAfter];
    }
    for (std::size_t i = firstStep ? 0 : 2; i < 3; ++i) {
        std::int16_t direction = 0;
        separation_[i] = astro::AngularSeparation(position_[i][0], position_[i][1], direction);
        for (std::size_t a = 1; a <= astro::kAspectCount; ++a)
            if (p_.aspects[a]) deviation_[i][a] = std::fabs(separation_[i] - astro::AspectAngle[a]);
    }
    for (std::size_t level = 0; level < kOrbLevels; ++level)
        for (std::size_t a = 1; a <= astro::kAspectCount; ++a) {
            if (!p_.aspects[a]) continue;
            inOrb_[0][level][a] = deviation_[kNow][a] < p_.orbRadians[level];
            inOrb_[1][level][a] = deviation_[kAfter][a] < p_.orbRadians[level];
        }
}

// With 15° outer orbs, two aspects 30° apart share a boundary: in one step the separation
// can leave one outer orb and enter the next. Found here, the entering aspect is kept out
// of this step's states, and its period is started by the leaving one's outer exit.
Handoff TransitScan::DetectOrbHandoff() const {
    Handoff h;
    if (!p_.handoff) return h;
    for (std::size_t a = 1; a <= astro::kAspectCount; ++a) {
        if (!p_.aspects[a]) continue;
        if (inOrb_[0][kOuterOrb][a] && !inOrb_[1][kOuterOrb][a]) h.leaving = static_cast<int>(a);
        if (!inOrb_[0][kOuterOrb][a] && inOrb_[1][kOuterOrb][a]) h.entering = static_cast<int>(a);
    }
    h.flag = h.leaving != 0 && h.entering != 0;
    return h;
}

// The orb states of this step; returns the active aspect, the highest with any state,
// or 0. No two orbs overlap (OrbsKeepAspectsApart), and below 15° they leave a gap of at
// least 2° while a step moves the separation by less than one, so one aspect at most has
// a state. Orbs of exactly 15° touch; for the outer orb the hand-off takes care of it.
int TransitScan::UpdateStates(const Handoff& handoff) {
    int active = 0;
    for (std::size_t a = 1; a <= astro::kAspectCount; ++a) {
        for (std::size_t level = 0; level < kOrbLevels; ++level) {
            int s = kNone;
            if (p_.aspects[a]) {
                const bool now = inOrb_[0][level][a];
                const bool after = inOrb_[1][level][a];
                s = now ? (after ? kInside : kLeaving) : (after ? kEntering : kNone);
            }
            if (handoff.flag && level == kOuterOrb && static_cast<int>(a) == handoff.entering) s = kNone;
            state_[level][a] = s;
            if (s != kNone) active = static_cast<int>(a);
        }
    }
    return active;
}

StepLevels TransitScan::LevelsOf(int aspect) const {
    StepLevels levels;
    for (int level = kInnerOrb; level >= kOuterOrb; --level) {
        const int s = state_[static_cast<std::size_t>(level)][static_cast<std::size_t>(aspect)];
        if (s == kEntering) levels.start = level;
        if (s == kInside && levels.inside == kNoLevel) levels.inside = level;
        if (s == kLeaving) levels.end = level;
    }
    return levels;
}

// One step: at most one event is recorded. An entry wins over an exit, and when several
// orbs change in the same step only the widest counts (a fast pass from outside the outer
// orb into the middle one records the outer entry alone). A step without an entry or an
// exit only follows the minimum.
void TransitScan::HandleStep(double t, bool firstStep) {
    const Handoff handoff = DetectOrbHandoff();
    const int active = UpdateStates(handoff);
    if (active == 0) return;
    // The tracker starts from the first step's deviation also when that step is an exit,
    // so a scan that begins just before leaving an orb never reports an unset minimum.
    if (firstStep) {
        trackedDeviation_ = Deviation(kNow, active);
        trackedInstant_ = p_.startDay - 0.5;
    }
    const StepLevels levels = LevelsOf(active);
    if (levels.start != kNoLevel) {
        trackedDeviation_ = Deviation(kNow, active);
        trackedInstant_ = t;
        builder_.Entry(levels.start, active, StepDate(t));
    } else if (levels.end != kNoLevel) {
        HandleExit(t, active, levels.end, handoff);
    } else {
        HandleInside(t, firstStep, active, levels.inside);
    }
}

void TransitScan::HandleInside(double t, bool firstStep, int aspect, int insideLevel) {
    const double now = Deviation(kNow, aspect);
    if (firstStep) {
        trackedDeviation_ = now;
        trackedInstant_ = p_.startDay - 0.5;
    } else if (now < trackedDeviation_) {
        trackedDeviation_ = now;
        trackedInstant_ = t;
    }
    // A step minimum inside the inner orb may hide an exact aspect: look minute by minute.
    if (insideLevel != kInnerOrb || !(now < Deviation(kBefore, aspect)) || !(now < Deviation(kAfter, aspect))) return;
    const auto exact =
        FindExactMinimum(t, p_, aspect, step_, {Deviation(kBefore, aspect), now, Deviation(kAfter, aspect)});
    if (!exact) return;
    builder_.ExactMinimum(aspect, ExactRecord(*exact, aspect));
    trackedInstant_ = t;
}

void TransitScan::HandleExit(double t, int aspect, int level, const Handoff& handoff) {
    const OrbDate date = StepDate(t);
    if (!builder_.Exit(level, aspect, date, [this] { return TrackedMinimum(); })) return;
    FlushPeriod();
    if (p_.SearchMode()) {
        searchFound_ = true;
        return;
    }
    // The hand-off: the aspect kept out of this step's states enters its outer orb on the
    // date the other one left it, unless the scan ends here.
    if (t != p_.endDay && handoff.flag) builder_.Entry(kOuterOrb, handoff.entering, date);
}

// An orb change seen in the step from t to t + step is dated by t + step; its mark is
// the first body's motion at midnight beginning day floor(t).
OrbDate TransitScan::StepDate(double t) const {
    return {.day = static_cast<std::int32_t>(std::floor(t + step_ + 0.5)),
            .retrograde = RetrogradeAt(static_cast<std::int32_t>(std::floor(t)), p_, p_.firstPlanet)};
}

TransitMinimum TransitScan::TrackedMinimum() const {
    const auto day = static_cast<std::int32_t>(std::floor(trackedInstant_ + 0.5));
    return {.instantUt = trackedInstant_ - ZoneDays(trackedInstant_),
            .day = day,
            .deviation = trackedDeviation_,
            .exact = false,
            .retrograde = RetrogradeAt(day + 1, p_, p_.firstPlanet)};
}

TransitMinimum TransitScan::ExactRecord(const ExactMinute& exact, int aspect) const {
    const ExactClock clock = ExactClockAt(exact.instantUt + p_.ZoneAt(exact.instantUt).days);
    return {.instantUt = exact.instantUt,
            .day = clock.day,
            .deviation = exact.deviation,
            .exact = true,
            .retrograde = RetrogradeAt(clock.day + 1, p_, p_.firstPlanet),
            .utMinute = UtMinuteOf(exact.instantUt, aspect)};
}

// The finder walks the local minute grid. Where the offset has seconds, that grid sits
// between UT minutes, and its best minute can be the neighbour of the best UT minute a
// run in UT finds. The true minimum lies within half a minute of the local best, so the
// best UT minute lies within one: the nearest UT minutes around it are compared.
std::optional<double> TransitScan::UtMinuteOf(double instantUt, int aspect) const {
    const auto* named = p_.zone.NamedZone();
    if (!named || named->AtInstant(instantUt).offsetSeconds % 60 == 0) return std::nullopt;
    const auto nearest = static_cast<std::int64_t>(std::floor((instantUt + 0.5) * 1440));
    double best = 0;
    double bestDeviation = std::numeric_limits<double>::infinity();
    for (std::int64_t minute = nearest - 1; minute <= nearest + 2; ++minute) {
        const double at = static_cast<double>(minute) / 1440 - 0.5;
        const auto longitudes = positions_.At(at);
        std::int16_t direction = 0;
        const double deviation =
            std::fabs(astro::AngularSeparation(longitudes[0], longitudes[1], direction) -
                      astro::AspectAngle[static_cast<std::size_t>(aspect)]);
        if (deviation < bestDeviation) {
            bestDeviation = deviation;
            best = at;
        }
    }
    return best;
}

// A finished period goes into the result and, line by line, into the output area.
void TransitScan::FlushPeriod() {
    result_.periods.push_back(builder_.Take());
    writer_.AppendPeriod(result_.periods.back());
    trackedDeviation_ = kNoDeviation;
}

}  // namespace

double MoonScanStep(int firstPlanet, int innerOrbDegrees) {
    // The separation moves one way only (the Moon outruns every body), so a step cannot
    // cross a boundary twice; it must not carry the pair across a whole inner orb either.
    const double fastest = (MaxDailyMotion(firstPlanet, false) + MaxDailyMotion(astro::kMoon, false)) * 360.0 /
                           astro::FullCircle;
    double step = 1.0 / 16;  // 90 minutes: whole fractions of a day, exact in binary
    while (step * fastest > innerOrbDegrees && step > 1.0 / 256) step /= 2;
    return step;
}

double ScanStep(int firstPlanet, int secondPlanet) {
    if (firstPlanet == 2 || secondPlanet == 2) return 0.125;
    if (firstPlanet > 4 && secondPlanet > 4) return 0.5;
    return 0.25;
}

TransitResult RunTransitScan(TransitRunParams params, util::RunHost& host, KeptBodyPositions* kept) {
    return TransitScan(std::move(params), host, kept).Run();
}

void SetOrbs(TransitRunParams& params, int outer, int middle, int inner) {
    params.orbDegrees = {outer, middle, inner};
    assert(OrbsKeepAspectsApart(params.orbDegrees));
    for (std::size_t i = 0; i < kOrbLevels; ++i) params.orbRadians[i] = params.orbDegrees[i] * 6.28318530717959 / 360;
    params.handoff = outer == kMaxOrbDegrees;
}

}  // namespace kovo::transits
