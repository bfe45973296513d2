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
#include "transits/separation_grid.h"

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
    Handoff DetectOrbHandoff() const;
    int UpdateStates(const Handoff& handoff);
    StepLevels LevelsOf(int aspect) const;
    void HandleStep(std::int64_t i, double t, bool firstStep);
    void HandleInside(std::int64_t i, double t, bool firstStep, int aspect, int insideLevel);
    void HandleExit(double t, int aspect, int level, const Handoff& handoff);
    OrbDate StepDate(double t) const;
    void ResetTracked(double deviation, double instant);
    void TrackStep(std::int64_t i, int aspect);
    void SettleTracked();
    TransitMinimum TrackedMinimum();
    TransitMinimum ExactRecord(const ExactMinute& exact, int aspect) const;
    std::optional<double> UtMinuteOf(double instantUt, int aspect) const;
    void FlushPeriod();
    TransitResult Ended(util::RunOutcome outcome);

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
    std::optional<SeparationGrid> grid_;                // from the first step on
    std::array<OrbFlags, 2> inOrb_{};                   // [now/after][level][aspect]
    std::array<std::array<int, 8>, 3> state_{};         // [level][aspect]
    double trackedDeviation_ = kNoDeviation;  // the smallest deviation of the period so far
    double trackedInstant_ = 0;               // and its local instant
    // Steps since then whose deviations still count toward it: read only when an exit
    // or an exact minimum needs the tracked minimum.
    std::vector<SeparationGrid::Run> tracking_;
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
    grid_.emplace(p_, positions_, firstT, step_, p_.scanPath == ScanPath::Fast);
    std::int64_t i = 0;
    for (double t = firstT; t <= last && !searchFound_; t += step_, ++i) {
        host_.Progress(std::max(0.0, (t - p_.startDay) / (p_.endDay - p_.startDay + 0.5)),
                       static_cast<std::int32_t>(std::floor(t + 0.5)));
        if (host_.Cancel().Take()) stopPending_ = true;
        if (stopPending_ && AskToStop()) {
            if (builder_.HasContent()) result_.periods.push_back(builder_.Take());
            return Ended(util::RunOutcome::Stopped);
        }
        const bool firstStep = t == firstT;
        inOrb_[0] = firstStep ? grid_->Flags(i) : inOrb_[1];
        inOrb_[1] = grid_->Flags(i + 1);
        HandleStep(i, t, firstStep);
        grid_->Forget(tracking_.empty() ? i - 1 : std::min(i - 1, tracking_.front().from));
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
void TransitScan::HandleStep(std::int64_t i, double t, bool firstStep) {
    const Handoff handoff = DetectOrbHandoff();
    const int active = UpdateStates(handoff);
    if (active == 0) return;
    // The tracker starts from the first step's deviation also when that step is an exit,
    // so a scan that begins just before leaving an orb never reports an unset minimum.
    if (firstStep) ResetTracked(grid_->Deviation(i, active), p_.startDay - 0.5);
    const StepLevels levels = LevelsOf(active);
    if (levels.start != kNoLevel) {
        ResetTracked(grid_->Deviation(i, active), t);
        builder_.Entry(levels.start, active, StepDate(t));
    } else if (levels.end != kNoLevel) {
        HandleExit(t, active, levels.end, handoff);
    } else {
        HandleInside(i, t, firstStep, active, levels.inside);
    }
}

void TransitScan::HandleInside(std::int64_t i, double t, bool firstStep, int aspect, int insideLevel) {
    if (firstStep) {
        ResetTracked(grid_->Deviation(i, aspect), p_.startDay - 0.5);
    } else {
        TrackStep(i, aspect);
    }
    // A step minimum inside the inner orb may hide an exact aspect: look minute by minute.
    if (insideLevel != kInnerOrb || !grid_->IsStepMinimum(i, aspect)) return;
    const auto exact = FindExactMinimum(
        t, p_, aspect, step_, {grid_->Deviation(i - 1, aspect), grid_->Deviation(i, aspect), grid_->Deviation(i + 1, aspect)});
    if (!exact) return;
    builder_.ExactMinimum(aspect, ExactRecord(*exact, aspect));
    SettleTracked();
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

void TransitScan::ResetTracked(double deviation, double instant) {
    trackedDeviation_ = deviation;
    trackedInstant_ = instant;
    tracking_.clear();
}

// A step inside an orb: its deviation replaces the tracked one when smaller.
void TransitScan::TrackStep(std::int64_t i, int aspect) {
    if (!tracking_.empty() && tracking_.back().aspect == aspect && tracking_.back().to == i - 1) {
        tracking_.back().to = i;
    } else {
        tracking_.push_back({.aspect = aspect, .from = i, .to = i});
    }
}

// Brings the tracked minimum up to date as if every step had been compared in turn.
void TransitScan::SettleTracked() {
    if (tracking_.empty()) return;
    if (const auto smallest = grid_->SmallestBelow(tracking_, trackedDeviation_)) {
        trackedDeviation_ = smallest->deviation;
        trackedInstant_ = grid_->Instant(smallest->index);
    }
    tracking_.clear();
}

TransitMinimum TransitScan::TrackedMinimum() {
    SettleTracked();
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
    tracking_.clear();
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
