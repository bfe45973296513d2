#include "transits/transit_scan.h"

#include <cmath>

#include "astro/catalogue.h"
#include "astro/geometry.h"
#include "astro/positions.h"
#include "calendar/calendar_services.h"
#include "transits/transit_minima.h"
#include "transits/transit_report.h"

namespace kovo::transits {

namespace {

enum OrbState { kNone = 0, kEntering = 1, kInside = 2, kLeaving = 3 };
enum Instant { kBefore = 0, kNow = 1, kAfter = 2 };

struct Handoff {
    int leaving = 0;
    int entering = 0;
    bool flag = false;
};

// Rows relative to the current row that receive the next events of a transit.
struct RowOffsets {
    int middleStart = 0;
    int innerStart = 0;
    int minimumCount = 0;
    int innerEnd = 0;
    int middleEnd = 0;
};

class TransitScan {
public:
    TransitScan(TransitRunParams& params, util::RunFlags& flags, util::RunHost& host)
        : p_(params), flags_(flags), host_(host) {}

    ScanResult Run();

private:
    void PrepareOutput();
    bool AskToStop();
    void UpdatePositions(double t, bool firstStep);
    void UpdateDeviations(bool firstStep);
    Handoff DetectOrbHandoff() const;
    void HandleStep(double t, bool firstStep);
    void HandleInside(double t, bool firstStep, int aspect, int insideLevel);
    void HandleEntry(double t, int aspect, int level);
    void HandleExit(double t, int aspect, int level, const Handoff& handoff);
    void WriteTrackedMinimum(int row);
    void FlushTransitRows();
    void SetNameIfEmpty(int aspect);
    void Finish();
    bool AnyOfStartColumns(int row) const;

    TransitRunParams& p_;
    util::RunFlags& flags_;
    util::RunHost& host_;
    TransitTable table_;
    double step_ = 0.25;
    double zone_ = 0;  // offset in days east of Greenwich
    std::array<std::array<double, 2>, 3> position_{};
    std::array<double, 3> separation_{};
    std::array<std::array<double, 8>, 3> deviation_{};
    std::array<std::array<std::array<bool, 8>, 3>, 2> inOrb_{};  // [now/after][level][aspect]
    std::array<std::array<int, 8>, 3> state_{};                  // [level][aspect]
    int currentRow_ = kFirstDataRow;
    RowOffsets offsets_;
    double trackedDeviation_ = 10.0;
    double trackedInstant_ = 0;
    bool searchFound_ = false;  // a search ends at its first outer-orb exit
};

ScanResult TransitScan::Run() {
    PrepareOutput();
    zone_ = p_.TimezoneMinutes() / 1440.0;
    step_ = ScanStep(p_.firstPlanet, p_.secondPlanet);
    if (p_.SearchMode()) p_.endDay = kSearchEndDay;
    ScanResult result;
    const double last = p_.endDay + 0.25;
    for (double t = p_.startDay - 0.25; t <= last && !searchFound_; t += step_) {
        host_.Yield();
        host_.Progress((t - p_.startDay) / (p_.endDay - p_.startDay + 0.5));
        if (flags_.stopRequest && AskToStop()) {
            result.stopped = true;
            result.outcome = util::RunOutcome::Stopped;
            Finish();
            result.recorded = !table_.IsRowEmpty(kFirstDataRow);
            return result;
        }
        const bool firstStep = t == p_.startDay - 0.25;
        UpdatePositions(t, firstStep);
        UpdateDeviations(firstStep);
        HandleStep(t, firstStep);
    }
    result.recorded = !table_.IsRowEmpty(kFirstDataRow);
    result.outcome = result.recorded ? util::RunOutcome::Completed : util::RunOutcome::NotFound;
    if (searchFound_) {
        Finish();
        return result;
    }
    if (!table_.IsRowEmpty(currentRow_)) FlushTransitRows();
    if (p_.AllTransitsMode()) return result;
    if (!result.recorded) {
        host_.ShowMessage({.text = p_.SearchMode() ? "There are no transits of this kind before January 1, 2100."
                                                   : "There are no transits of this kind in the period specified.",
                           .title = "Not found",
                           .icon = util::MessageIcon::Information});
    } else {
        host_.SetAppendVisible(false);
        host_.ShowDonePopUp();
    }
    Finish();
    return result;
}

void TransitScan::PrepareOutput() {
    if (host_.OutputLength() > 0) {
        if (host_.AppendChecked()) {
            host_.AppendOutput("\r\n");
        } else {
            host_.ClearOutput();
        }
    }
    inOrb_ = {};
    table_.Reset(TransitTableCapacity(p_.startDay, p_.endDay, p_.SearchMode()));
    BuildHeaderRows(table_, BuildHeading(p_), p_);
    host_.EnterBusyState(false);
    flags_.stopRequest = false;
    currentRow_ = kFirstDataRow;
    offsets_ = {};
    trackedDeviation_ = 10.0;
    host_.SetAppendVisible(false);
}

bool TransitScan::AskToStop() {
    const auto answer = host_.ShowMessage({.text = "Stop?",
                                           .title = "Pause",
                                           .icon = util::MessageIcon::Question,
                                           .buttons = util::MessageButtons::YesNo,
                                           .defaultButton = util::Answer::Yes});
    flags_.stopRequest = false;
    if (answer != util::Answer::Yes) return false;
    host_.AppendOutput("\r\nStopped");
    if (p_.AllTransitsMode()) flags_.allTransitsStopped = true;
    return true;
}

void TransitScan::UpdatePositions(double t, bool firstStep) {
    const int bodies[2] = {p_.firstPlanet, p_.secondPlanet};
    if (!firstStep) {
        position_[kBefore] = position_[kNow];
        position_[kNow] = position_[kAfter];
    }
    for (int k = firstStep ? -1 : 1; k <= 1; ++k)
        for (int b = 0; b < 2; ++b)
            position_[static_cast<std::size_t>(k + 1)][static_cast<std::size_t>(b)] =
                astro::PlanetLongitude(bodies[b], k * step_ + t - zone_, p_.heliocentric);
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
    for (std::size_t level = 0; level < 3; ++level)
        for (std::size_t a = 1; a <= astro::kAspectCount; ++a) {
            if (!p_.aspects[a]) continue;
            inOrb_[0][level][a] = deviation_[kNow][a] < p_.orbRadians[level];
            inOrb_[1][level][a] = deviation_[kAfter][a] < p_.orbRadians[level];
        }
}

Handoff TransitScan::DetectOrbHandoff() const {
    Handoff h;
    if (!p_.handoff) return h;
    for (std::size_t a = 1; a <= astro::kAspectCount; ++a) {
        if (!p_.aspects[a]) continue;
        if (inOrb_[0][0][a] && !inOrb_[1][0][a]) h.leaving = static_cast<int>(a);
        if (!inOrb_[0][0][a] && inOrb_[1][0][a]) h.entering = static_cast<int>(a);
    }
    h.flag = h.leaving != 0 && h.entering != 0;
    return h;
}

void TransitScan::HandleStep(double t, bool firstStep) {
    const Handoff handoff = DetectOrbHandoff();
    int active = 0;
    for (std::size_t a = 1; a <= astro::kAspectCount; ++a) {
        for (std::size_t level = 0; level < 3; ++level) {
            int s = kNone;
            if (p_.aspects[a]) {
                const bool now = inOrb_[0][level][a];
                const bool after = inOrb_[1][level][a];
                s = now ? (after ? kInside : kLeaving) : (after ? kEntering : kNone);
            }
            if (handoff.flag && level == 0 && static_cast<int>(a) == handoff.entering) s = kNone;
            state_[level][a] = s;
            if (s != kNone) active = static_cast<int>(a);
        }
    }
    if (active == 0) return;
    // The tracker starts from the first step's deviation also when that step is an exit,
    // so a scan that begins just before leaving an orb never reports an unset minimum.
    if (firstStep) {
        trackedDeviation_ = deviation_[kNow][static_cast<std::size_t>(active)];
        trackedInstant_ = p_.startDay - 0.5;
    }
    int startLevel = -1, insideLevel = -1, endLevel = -1;
    for (int level = 2; level >= 0; --level) {
        const int s = state_[static_cast<std::size_t>(level)][static_cast<std::size_t>(active)];
        if (s == kEntering) startLevel = level;
        if (s == kInside && insideLevel < 0) insideLevel = level;
        if (s == kLeaving) endLevel = level;
    }
    if (startLevel >= 0) {
        HandleEntry(t, active, startLevel);
    } else if (endLevel >= 0) {
        HandleExit(t, active, endLevel, handoff);
    } else {
        HandleInside(t, firstStep, active, insideLevel);
    }
}

void TransitScan::HandleInside(double t, bool firstStep, int aspect, int insideLevel) {
    const auto a = static_cast<std::size_t>(aspect);
    if (firstStep) {
        trackedDeviation_ = deviation_[kNow][a];
        trackedInstant_ = p_.startDay - 0.5;
    } else if (deviation_[kNow][a] < trackedDeviation_) {
        trackedDeviation_ = deviation_[kNow][a];
        trackedInstant_ = t;
    }
    if (insideLevel != 2 || !(deviation_[kNow][a] < deviation_[kBefore][a]) ||
        !(deviation_[kNow][a] < deviation_[kAfter][a]))
        return;
    const std::string text =
        FindExactMinimum(t, p_, aspect, step_, {deviation_[kBefore][a], deviation_[kNow][a], deviation_[kAfter][a]});
    if (text.empty()) return;
    WriteExactMinimum(table_, currentRow_ + offsets_.minimumCount, text);
    ++offsets_.minimumCount;
    offsets_.middleStart = offsets_.innerStart = offsets_.minimumCount;
    trackedInstant_ = t;
}

void TransitScan::HandleEntry(double t, int aspect, int level) {
    trackedDeviation_ = deviation_[kNow][static_cast<std::size_t>(aspect)];
    trackedInstant_ = t;
    const std::string date = calendar::FormatDayNumberIso(static_cast<std::int32_t>(std::floor(t + step_ + 0.5)));
    const std::string mark = RetrogradeMark(static_cast<std::int32_t>(std::floor(t)), p_, p_.firstPlanet);
    if (level == 0) {
        table_.Cell(currentRow_, 0) = astro::AspectName[static_cast<std::size_t>(aspect)];
        table_.Cell(currentRow_, 1) = date + mark;
        offsets_ = {};
    } else if (level == 1) {
        SetNameIfEmpty(aspect);
        table_.Cell(currentRow_ + offsets_.middleStart, 2) = date + mark;
        offsets_.middleEnd = offsets_.middleStart;
    } else {
        SetNameIfEmpty(aspect);
        table_.Cell(currentRow_ + offsets_.innerStart, 3) = date + mark;
        offsets_.innerEnd = offsets_.innerStart;
    }
}

void TransitScan::HandleExit(double t, int aspect, int level, const Handoff& handoff) {
    const std::string date = calendar::FormatDayNumberIso(static_cast<std::int32_t>(std::floor(t + step_ + 0.5)));
    const std::string mark = RetrogradeMark(static_cast<std::int32_t>(std::floor(t)), p_, p_.firstPlanet);
    if (level == 2) {
        table_.Cell(currentRow_ + offsets_.innerEnd, 5) = date + mark;
        SetNameIfEmpty(aspect);
        if (table_.CellAt(currentRow_ + offsets_.innerEnd, 4).empty()) {
            WriteTrackedMinimum(currentRow_ + offsets_.minimumCount);
            ++offsets_.minimumCount;
            offsets_.middleStart = offsets_.innerStart = offsets_.minimumCount;
        }
    } else if (level == 1) {
        table_.Cell(currentRow_ + offsets_.middleEnd, 6) = date + mark;
        SetNameIfEmpty(aspect);
        if (table_.CellAt(currentRow_ + offsets_.middleEnd, 4).empty()) {
            if (AnyOfStartColumns(currentRow_ + offsets_.minimumCount))
                WriteTrackedMinimum(currentRow_ + offsets_.minimumCount);
            ++offsets_.minimumCount;
            offsets_.middleStart = offsets_.innerStart = offsets_.minimumCount;
        }
    } else {
        table_.Cell(currentRow_, 7) = date + mark;
        SetNameIfEmpty(aspect);
        if (AnyOfStartColumns(currentRow_) && table_.CellAt(currentRow_, 4).empty())
            WriteTrackedMinimum(currentRow_ + offsets_.minimumCount);
        FlushTransitRows();
        if (p_.SearchMode()) {
            searchFound_ = true;
            return;
        }
        if (t != p_.endDay && handoff.flag) {
            table_.Cell(currentRow_, 0) = astro::AspectName[static_cast<std::size_t>(handoff.entering)];
            table_.Cell(currentRow_, 1) =
                date + RetrogradeMark(static_cast<std::int32_t>(std::floor(t)), p_, p_.firstPlanet);
        }
    }
}

bool TransitScan::AnyOfStartColumns(int row) const {
    return !table_.CellAt(row, 1).empty() || !table_.CellAt(row, 2).empty() || !table_.CellAt(row, 3).empty();
}

void TransitScan::SetNameIfEmpty(int aspect) {
    auto& cell = table_.Cell(currentRow_, 0);
    if (cell.empty()) cell = astro::AspectName[static_cast<std::size_t>(aspect)];
}

void TransitScan::WriteTrackedMinimum(int row) {
    const auto day = static_cast<std::int32_t>(std::floor(trackedInstant_ + 0.5));
    table_.Cell(row, 4) = calendar::FormatDayNumberIso(day) + RetrogradeMark(day + 1, p_, p_.firstPlanet);
    table_.Cell(row, 8) = astro::FormatDegreesMinutes(trackedDeviation_);
}

void TransitScan::FlushTransitRows() {
    if (currentRow_ >= kFirstDataRow + 1) {
        int above = currentRow_ - 1;
        while (above >= kFirstDataRow && table_.CellAt(above, 0).empty()) --above;
        if (above >= kFirstDataRow && table_.CellAt(above, 0) == table_.CellAt(currentRow_, 0))
            table_.Cell(currentRow_, 0).clear();
    }
    int row = currentRow_;
    while (!table_.IsRowEmpty(row) && !flags_.stopRequest) {
        AppendTransitRow(table_, row, p_, flags_, host_);
        ++row;
    }
    host_.MoveCaretToEnd();
    currentRow_ = row;
    offsets_ = {};
    trackedDeviation_ = 10.0;
}

void TransitScan::Finish() { FinishRun(host_); }

}  // namespace

void FinishRun(util::RunHost& host) {
    host.LeaveBusyState();
    if (host.OutputLength() == 0) {
        host.SetAppendChecked(false);
        host.RestoreCompactHeight();
    }
    host.MoveCaretToEnd();
    host.SetAppendVisible(host.OutputLength() > 0);
}

double ScanStep(int firstPlanet, int secondPlanet) {
    if (firstPlanet == 2 || secondPlanet == 2) return 0.125;
    if (firstPlanet > 4 && secondPlanet > 4) return 0.5;
    return 0.25;
}

ScanResult RunTransitScan(TransitRunParams& params, util::RunFlags& flags, util::RunHost& host) {
    return TransitScan(params, flags, host).Run();
}

void SetOrbs(TransitRunParams& params, int outer, int middle, int inner) {
    params.orbDegrees = {outer, middle, inner};
    for (std::size_t i = 0; i < 3; ++i) params.orbRadians[i] = params.orbDegrees[i] * 6.28318530717959 / 360;
    params.handoff = outer == 15;
}

}  // namespace kovo::transits
