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

// One run of the walk: the records it makes, the pricing state and the positions.
class SimulationWalk {
public:
    SimulationWalk(SimulationRun& run, const IndexPrices& prices, util::RunFlags& flags, util::RunHost& host)
        : run_(run), params_(run.inputs), prices_(prices), flags_(flags), host_(host) {
        run_.SimulationSlots = BuildSimulationSlots(params_.firstPlanet, params_.secondPlanet,
                                                    params_.aspectChecked, params_.orbDegrees);
    }

    // Sets the run's outcome: Finished, Stopped or Failed.
    void Walk() {
        const std::int64_t steps = 8 * (std::int64_t{params_.endDay} - params_.startDay) + 5;
        const double begin = params_.startDay - PeriodMargin;
        for (std::int64_t i = 0; i < steps; ++i) {
            // Counting steps with an integer keeps t exact: it is a multiple of 1/8.
            const double t = begin + static_cast<double>(i) * SimulationStep;
            host_.Progress(static_cast<double>(i) / static_cast<double>(steps));
            run_.outcome = Step(t, i == 0, i == steps - 1);
            if (run_.outcome != SimulationOutcome::Finished) return;
        }
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
        day_ = static_cast<std::int32_t>(std::floor(t + 0.5));
        const std::string dayText = calendar::FormatDayNumberIso(day_);
        if (dayText != previousDayText_) {
            const std::optional<double> value = prices_.IndexValueOnOrAfter(day_);
            if (!value) {
                host_.ShowMessage(util::Message{.text = "For " + dayText + " cannot get value from DJIA data.",
                                                .title = util::kProgramTitle});
                return SimulationOutcome::Failed;
            }
            indexValue_ = *value;
            previousDayText_ = dayText;
        }
        astro::FillPositionTable(positions_, t, SimulationStep, first);
        for (SimulationSlot& slot : run_.SimulationSlots) EvaluateSlot(slot, first, last);
        return SimulationOutcome::Finished;
    }

    void EvaluateSlot(SimulationSlot& slot, bool first, bool last) {
        const int p1 = slot.FirstPlanet;
        const int p2 = slot.SecondPlanet;
        const double orb = slot.OrbDegrees / 360.0 * astro::FullCircle;
        const bool applying = astro::InOrbApplying(positions_, p1, p2, slot.Aspect, orb);
        const bool begins = astro::AspectBeginsToday(positions_, p1, p2, slot.Aspect, orb);
        if (!slot.IsOpen && (begins || (first && applying))) {
            Open(slot);
        } else if (slot.IsOpen && last) {
            if (astro::InOrbSeparating(positions_, p1, p2, slot.Aspect, orb)) Redeem(slot);
            else Cancel(slot);
        } else if (slot.IsOpen && astro::AspectEndedToday(positions_, p1, p2, slot.Aspect, orb)) {
            Redeem(slot);
        }
    }

    void Open(SimulationSlot& slot) {
        ++slot.InvestmentCount;
        slot.OpenValue = util::RoundCents(indexValue_);
        slot.IsOpen = true;
        Record(slot, SimulationEventKind::Investment, *slot.OpenValue, InvestmentAmount, 0.0);
    }

    void Redeem(SimulationSlot& slot) {
        const double openValue = slot.OpenValue.value_or(indexValue_);
        const double gain = (indexValue_ - openValue) * InvestmentAmount / openValue;
        const auto aspect = static_cast<std::size_t>(slot.Aspect);
        slot.RunningTotal += gain;
        run_.totals.AspectGain[aspect] += gain;
        slot.IsOpen = false;
        slot.OpenValue.reset();
        ++run_.totals.TotalInvestments;
        ++run_.totals.AspectInvestments[aspect];
        // The line shows the total before it is rounded: a loss of -0.004 still reads as a loss.
        Record(slot, SimulationEventKind::Redemption, indexValue_, gain, slot.RunningTotal);
        slot.RunningTotal = util::RoundCents(slot.RunningTotal);
    }

    void Cancel(SimulationSlot& slot) {
        Record(slot, SimulationEventKind::Cancellation, slot.OpenValue.value_or(0.0), 0.0, 0.0);
        --slot.InvestmentCount;
        // The open flag stays: the summary's order tells a cancelled slot by it.
        slot.OpenValue.reset();
    }

    // Keeps the event and, with details, shows it at once: the window's lines grow as the walk goes.
    void Record(const SimulationSlot& slot, SimulationEventKind kind, double indexValue, double amount,
                double runningTotal) {
        const SimulationEvent& event = run_.events.emplace_back(SimulationEvent{.kind = kind,
                                                                                .day = day_,
                                                                                .aspect = slot.Aspect,
                                                                                .orbDegrees = slot.OrbDegrees,
                                                                                .number = slot.InvestmentCount,
                                                                                .indexValue = indexValue,
                                                                                .amount = amount,
                                                                                .runningTotal = runningTotal});
        if (params_.includeDetails) WriteSimulationEvent(host_, event, params_.numberFormat);
    }

    SimulationRun& run_;
    const SimulationParams& params_;
    const IndexPrices& prices_;
    util::RunFlags& flags_;
    util::RunHost& host_;
    astro::PositionTable positions_;
    std::string previousDayText_;
    std::int32_t day_ = 0;
    double indexValue_ = -1.0;
};

void EndRun(util::RunHost& host) {
    host.MoveCaretToEnd();
    host.LeaveBusyState();
}

}  // namespace

SimulationTitle TitleOf(const SimulationParams& params) {
    return SimulationTitle{.firstName = params.firstName,
                           .secondName = params.secondName,
                           .startDay = params.startDay,
                           .endDay = params.endDay,
                           .heliocentric = params.titleHeliocentric};
}

SimulationRun ClickSimulateInvestment(const SimulationParams& params, const IndexPrices& prices,
                                      util::RunFlags& flags, util::RunHost& host) {
    SimulationRun run;
    run.inputs = params;
    if (!CheckSimulationDates(params, host)) return run;
    if (params.runInProgress) {
        flags.stopRequest = true;
        run.outcome = SimulationOutcome::StopRequested;
        return run;
    }
    if (!PlanetsInRange(params)) return run;
    const bool usesPluto = params.firstPlanet == astro::kPluto || params.secondPlanet == astro::kPluto;
    if (usesPluto && !params.pluto.available) {
        host.ShowMessage({.text = astro::PlutoUnavailableText(params.pluto),
                          .title = params.buttonCaption,
                          .icon = util::MessageIcon::Exclamation});
        return run;
    }

    SimulationWalk walk(run, prices, flags, host);
    host.PrepareRunWindow();
    host.EnterBusyState(true);
    if (!params.appendToOutput) host.ClearOutput();
    WriteSimulationTitle(host, TitleOf(params));
    if (params.includeDetails) host.AppendOutput("\r\n");

    walk.Walk();
    if (run.outcome == SimulationOutcome::Finished) {
        SortSimulationSlots(run.SimulationSlots);
        WriteSimulationSummary(host, run.SimulationSlots, run.totals, params.numberFormat);
        host.ShowDonePopUp();
    }
    EndRun(host);
    return run;
}

std::string SimulationReportText(const SimulationRun& run) {
    if (!RestoresRunCaption(run.outcome)) return {};
    const SimulationParams& params = run.inputs;
    std::string text = SimulationTitleBlock(TitleOf(params));
    if (params.includeDetails) {
        text += "\r\n";
        for (const SimulationEvent& event : run.events) text += SimulationEventLine(event, params.numberFormat);
    }
    if (run.outcome == SimulationOutcome::Finished) {
        text += SimulationSummaryText(run.SimulationSlots, run.totals, params.numberFormat);
    } else if (run.outcome == SimulationOutcome::Stopped) {
        text += kStoppedText;
    }
    return text;
}

}  // namespace kovo::simulation
