#include "simulation/simulation.h"

#include <cmath>

#include "astro/catalogue.h"
#include "astro/geometry.h"
#include "astro/positions.h"
#include "calendar/calendar_services.h"
#include "util/rounding.h"

namespace kovo::simulation {
namespace {

// One run of the walk: the records it makes, the pricing state and the positions.
class SimulationWalk {
public:
    SimulationWalk(SimulationRun& run, const IndexPrices& prices, util::RunHost& host)
        : run_(run), params_(run.inputs), prices_(prices), host_(host) {
        run_.SimulationSlots = BuildSimulationSlots(astro::PlanetIndex(params_.first), astro::PlanetIndex(params_.second),
                                                    params_.aspectChecked, params_.orbDegrees);
    }

    // Sets the run's outcome: Finished, Stopped or Failed.
    void Walk() {
        const std::int64_t steps = 8 * (std::int64_t{params_.endDay} - params_.startDay) + 5;
        const double begin = params_.startDay - PeriodMargin;
        for (std::int64_t i = 0; i < steps; ++i) {
            // Counting steps with an integer keeps t exact: it is a multiple of 1/8.
            const double t = begin + static_cast<double>(i) * SimulationStep;
            host_.Progress(static_cast<double>(i) / static_cast<double>(steps),
                           static_cast<std::int32_t>(std::floor(t + 0.5)));
            run_.outcome = Step(t, i == 0, i == steps - 1);
            if (run_.outcome != SimulationOutcome::Finished) return;
        }
    }

private:
    SimulationOutcome Step(double t, bool first, bool last) {
        if (host_.Cancel().Take()) {
            const util::Answer answer = host_.ShowMessage(util::Message{.text = "Stop?",
                                                                        .title = util::kProgramTitle,
                                                                        .icon = util::MessageIcon::Question,
                                                                        .buttons = util::MessageButtons::YesNo,
                                                                        .defaultButton = util::Answer::Yes});
            if (answer == util::Answer::Yes) {
                WriteStopped(host_.Report());
                return SimulationOutcome::Stopped;
            }
        }
        day_ = static_cast<std::int32_t>(std::floor(t + 0.5));
        if (day_ != pricedDay_) {
            const std::optional<double> value = prices_.IndexValueOnOrAfter(day_);
            if (!value) {
                host_.ShowMessage(util::Message{.text = "For " + calendar::FormatDayNumberIso(day_) +
                                                        " cannot get value from DJIA data.",
                                                .title = util::kProgramTitle});
                return SimulationOutcome::Failed;
            }
            indexValue_ = *value;
            pricedDay_ = day_;
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
        if (params_.includeDetails) WriteSimulationEvent(host_.Report(), event, params_.numberFormat);
    }

    SimulationRun& run_;
    const SimulationRequest& params_;
    const IndexPrices& prices_;
    util::RunHost& host_;
    astro::PositionTable positions_;
    std::optional<std::int32_t> pricedDay_;  // the day indexValue_ is the price of
    std::int32_t day_ = 0;
    double indexValue_ = -1.0;
};

}  // namespace

SimulationTitle TitleOf(const SimulationRequest& request) {
    return SimulationTitle{.firstName = request.firstName,
                           .secondName = request.secondName,
                           .startDay = request.startDay,
                           .endDay = request.endDay,
                           .heliocentric = request.titleHeliocentric};
}

SimulationRun RunSimulation(const SimulationRequest& request, const IndexPrices& prices, util::RunHost& host) {
    SimulationRun run;
    run.inputs = request;
    SimulationWalk walk(run, prices, host);
    util::ReportSink& report = host.Report();
    WriteSimulationTitle(report, TitleOf(request));
    if (request.includeDetails) report.Append("\r\n");

    walk.Walk();
    if (run.outcome == SimulationOutcome::Finished) {
        SortSimulationSlots(run.SimulationSlots);
        WriteSimulationSummary(report, run.SimulationSlots, run.totals, request.numberFormat);
    }
    return run;
}

std::string SimulationReportText(const SimulationRun& run) {
    if (!Walked(run.outcome)) return {};
    const SimulationRequest& params = run.inputs;
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
