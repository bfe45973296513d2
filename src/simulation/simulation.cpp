#include "simulation/simulation.h"

#include <cmath>

#include "astro/catalogue.h"
#include "astro/geometry.h"
#include "astro/positions.h"
#include "calendar/calendar_services.h"
#include "util/rounding.h"

namespace kovo::simulation {
namespace {

util::Answer ShowInformation(util::RunHost& host, const std::string& text, const std::string& title) {
    return host.ShowMessage(util::Message{.text = text,
                                          .title = title,
                                          .icon = util::MessageIcon::Information,
                                          .buttons = util::MessageButtons::Ok});
}

// The range and 30-day checks; false after showing the refusal.
bool CheckSimulationDates(const SimulationParams& params, util::RunHost& host) {
    for (std::int32_t day : {params.startDay, params.endDay}) {
        if (day < FirstInvestmentDay || day > LastInvestmentDay) {
            ShowInformation(host, "Investment dates must be in the range\r\n 2007-01-03 through 2014-12-31.",
                            params.buttonCaption);
            return false;
        }
    }
    if (params.endDay - 30 < params.startDay) {
        ShowInformation(host,
                        "For the investment simulation the start date must be\r\n"
                        "at least 30 days prior to the end date.",
                        params.buttonCaption);
        return false;
    }
    return true;
}

bool PlanetsInRange(const SimulationParams& params) {
    return params.firstPlanet >= 1 && params.firstPlanet <= astro::kPlanetCount &&
           params.secondPlanet >= 2 && params.secondPlanet <= astro::kPlanetCount;
}

// One run of the walk: the slots, the totals and the pricing state.
class SimulationWalk {
public:
    SimulationWalk(const SimulationParams& params, const IndexPrices& prices, util::RunFlags& flags,
                   util::RunHost& host)
        : params_(params), prices_(prices), flags_(flags), host_(host) {
        run_.SimulationSlots = BuildSimulationSlots(params.firstPlanet, params.secondPlanet,
                                          params.aspectChecked, params.orbDegrees);
    }

    SimulationRun Walk() {
        const std::int64_t steps = 8 * (std::int64_t{params_.endDay} - params_.startDay) + 5;
        const double begin = params_.startDay - PeriodMargin;
        for (std::int64_t i = 0; i < steps; ++i) {
            // Counting steps with an integer keeps t exact: it is a multiple of 1/8.
            const double t = begin + static_cast<double>(i) * SimulationStep;
            host_.Progress(static_cast<double>(i) / static_cast<double>(steps));
            run_.outcome = Step(t, i == 0, i == steps - 1);
            if (run_.outcome != SimulationOutcome::Finished) return std::move(run_);
        }
        return std::move(run_);
    }

private:
    SimulationOutcome Step(double t, bool first, bool last) {
        host_.Yield();
        if (flags_.stopRequest) {
            const util::Answer answer = host_.ShowMessage(util::Message{.text = "Stop?",
                                                                        .title = util::kProgramTitle,
                                                                        .icon = util::MessageIcon::Question,
                                                                        .buttons = util::MessageButtons::YesNo,
                                                                        .defaultButton = util::Answer::Yes});
            flags_.stopRequest = false;
            if (answer == util::Answer::Yes) {
                WriteStopped(host_);
                return SimulationOutcome::Stopped;
            }
        }
        const auto day = static_cast<std::int32_t>(std::floor(t + 0.5));
        const std::string dayText = calendar::FormatDayNumberIso(day);
        if (dayText != previousDayText_) {
            const std::optional<double> value = prices_.IndexValueOnOrAfter(day);
            if (!value) {
                host_.ShowMessage(util::Message{.text = "For " + dayText + " cannot get value from DJIA data.",
                                                .title = util::kProgramTitle});
                return SimulationOutcome::Failed;
            }
            indexValue_ = *value;
            previousDayText_ = dayText;
        }
        astro::FillPositionTable(t, SimulationStep, first);
        for (SimulationSlot& slot : run_.SimulationSlots) EvaluateSlot(slot, dayText, first, last);
        return SimulationOutcome::Finished;
    }

    void EvaluateSlot(SimulationSlot& slot, const std::string& dayText, bool first, bool last) {
        const int p1 = slot.FirstPlanet;
        const int p2 = slot.SecondPlanet;
        const double orb = slot.OrbDegrees / 360.0 * astro::FullCircle;
        const bool applying = astro::InOrbApplying(p1, p2, slot.Aspect, orb);
        const bool begins = astro::AspectBeginsToday(p1, p2, slot.Aspect, orb);
        if (!slot.IsOpen && (begins || (first && applying))) {
            Open(slot, dayText);
        } else if (slot.IsOpen && last) {
            if (astro::InOrbSeparating(p1, p2, slot.Aspect, orb)) Redeem(slot, dayText);
            else Cancel(slot);
        } else if (slot.IsOpen && astro::AspectEndedToday(p1, p2, slot.Aspect, orb)) {
            Redeem(slot, dayText);
        }
    }

    void Open(SimulationSlot& slot, const std::string& dayText) {
        ++slot.InvestmentCount;
        slot.OpenValue = util::RoundCents(indexValue_);
        slot.IsOpen = true;
        if (params_.includeDetails) WriteOpeningLine(host_, slot, slot.InvestmentCount, dayText);
    }

    void Redeem(SimulationSlot& slot, const std::string& dayText) {
        const double openValue = slot.OpenValue.value_or(indexValue_);
        const double gain = (indexValue_ - openValue) * InvestmentAmount / openValue;
        const auto aspect = static_cast<std::size_t>(slot.Aspect);
        slot.RunningTotal += gain;
        run_.totals.AspectGain[aspect] += gain;
        slot.IsOpen = false;
        slot.OpenValue.reset();
        ++run_.totals.TotalInvestments;
        ++run_.totals.AspectInvestments[aspect];
        if (params_.includeDetails) {
            WriteRedemptionLine(host_, slot, slot.InvestmentCount, dayText, gain, slot.RunningTotal,
                                params_.numberFormat);
        }
        slot.RunningTotal = util::RoundCents(slot.RunningTotal);
    }

    void Cancel(SimulationSlot& slot) {
        if (params_.includeDetails) WriteCancellationLine(host_, slot, slot.InvestmentCount);
        --slot.InvestmentCount;
        // The open flag stays: the summary's order tells a cancelled slot by it.
        slot.OpenValue.reset();
    }

    const SimulationParams& params_;
    const IndexPrices& prices_;
    util::RunFlags& flags_;
    util::RunHost& host_;
    SimulationRun run_;
    std::string previousDayText_;
    double indexValue_ = -1.0;
};

void EndRun(util::RunHost& host) {
    host.MoveCaretToEnd();
    host.LeaveBusyState();
}

}  // namespace

SimulationRun ClickSimulateInvestment(const SimulationParams& params, const IndexPrices& prices,
                                      util::RunFlags& flags, util::RunHost& host) {
    SimulationRun refused;
    if (!CheckSimulationDates(params, host)) return refused;
    if (params.buttonCaption == kPauseCaption) {
        flags.stopRequest = true;
        refused.outcome = SimulationOutcome::StopRequested;
        return refused;
    }
    if (!PlanetsInRange(params)) return refused;
    const bool usesPluto = params.firstPlanet == astro::kPluto || params.secondPlanet == astro::kPluto;
    if (usesPluto && !params.pluto.available) {
        host.ShowMessage({.text = astro::PlutoUnavailableText(params.pluto),
                          .title = params.buttonCaption,
                          .icon = util::MessageIcon::Exclamation});
        return refused;
    }

    SimulationWalk walk(params, prices, flags, host);
    host.PrepareRunWindow();
    host.EnterBusyState(true);
    if (!params.appendToOutput) host.ClearOutput();
    WriteSimulationTitle(host, params.heading);
    if (params.includeDetails) host.AppendOutput("\r\n");

    SimulationRun run = walk.Walk();
    if (run.outcome == SimulationOutcome::Finished) {
        SortSimulationSlots(run.SimulationSlots);
        WriteSimulationSummary(host, run.SimulationSlots, run.totals, params.numberFormat);
        host.ShowDonePopUp();
    }
    EndRun(host);
    return run;
}

}  // namespace kovo::simulation
