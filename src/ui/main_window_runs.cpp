// frmMain run buttons: read the controls into a form, turn it into a request (or show its
// refusal), run it, and show what the run found and changed.
#include <algorithm>

#include <QComboBox>
#include <QLocale>
#include <QPushButton>

#include "astro/catalogue.h"
#include "platform/named_time_zone.h"
#include "requests/simulation_form.h"
#include "requests/transit_form.h"
#include "simulation/simulation.h"
#include "transits/transit_runs.h"
#include "ui/main_window.h"
#include "ui/qt_text.h"

namespace kovo::ui {

namespace {

simulation::NumberFormat SystemNumberFormat() {
    const QLocale locale = QLocale::system();
    return {.decimalPoint = FromQ(locale.decimalPoint()), .groupSeparator = FromQ(locale.groupSeparator())};
}

}  // namespace

requests::TransitForm frmMain::GatherTransitForm() const {
    requests::TransitForm in;
    in.firstListPos = PlanetPosition(0);
    in.secondListPos = PlanetPosition(1);
    for (int i = 0; i < 4; ++i) in.orbPositions[static_cast<std::size_t>(i)] = OrbPosition(i);
    for (int a = 0; a < 7; ++a) in.aspectChecked[static_cast<std::size_t>(a)] = AspectChecked(a);
    in.heliocentric = IsHeliocentric();
    in.timezonePosition = TimeZonePosition();
    in.timezoneText = TimeZoneText();
    if (in.timezonePosition == calendar::kTimeZoneCount) {
        in.namedZone = platform::NamedTimeZone::Find(namedZone_);
        // A zone the database no longer knows: the blank entry's request to choose one.
        if (!in.namedZone) in.timezonePosition = 0;
    }
    in.pluto = pluto_;
    in.searchAspectPos = SearchAspect() - 1;
    in.searchWhenPos = SearchWhen();
    return in;
}

void frmMain::MirrorRunChanges(const requests::TransitForm& form) {
    if (form.timezonePosition != TimeZonePosition()) SetTimeZonePosition(form.timezonePosition);
    ShowDateFields();
}

// A new run's output replaces the old unless "Append to output" is checked.
void frmMain::BeginTransitRun() {
    PrepareRunWindow();
    if (OutputLength() > 0) {
        if (AppendChecked()) {
            AppendOutput("\r\n");
        } else {
            ClearOutput();
        }
    }
    EnterBusyState(false);
    cancel_.Clear();
    SetAppendVisible(false);
}

// Leave the busy state, fold the window up when there is no output, caret to the end,
// "Append to output" shown only with output.
void frmMain::FinishRun() {
    LeaveBusyState();
    if (OutputLength() == 0) {
        SetAppendChecked(false);
        RestoreCompactHeight();
    }
    MoveCaretToEnd();
    SetAppendVisible(OutputLength() > 0);
}

// "Done" follows a run that recorded something, unless it was stopped or was a search
// that ended at its transit.
void frmMain::EndTransitRun(const transits::TransitResult& result) {
    if (result.outcome == util::RunOutcome::Completed && !result.searchFound) {
        SetAppendVisible(false);
        ShowDonePopUp();
    }
    FinishRun();
}

void frmMain::OnStartClicked() {
    if (TransitRunInProgress()) {
        cancel_.Request();
        return;
    }
    auto form = GatherTransitForm();
    auto request = requests::TwoPlanetRequest(form, ReadDateFields());
    if (const auto* refusal = std::get_if<util::Refusal>(&request)) {
        ShowMessage(refusal->message);
        SetLastRun(requests::RefusedRun(*refusal));
    } else {
        BeginTransitRun();
        transits::TransitResult result = transits::RunTwoPlanet(std::get<transits::TransitRequest>(request), *this);
        // The day the scan started from, after moving back out of an inner orb.
        dates_.DayNumbers[0] = result.inputs.startDay;
        EndTransitRun(result);
        SetLastRun(std::move(result));
    }
    MirrorRunChanges(form);
}

void frmMain::OnSearchClicked() {
    auto form = GatherTransitForm();
    auto request = requests::SearchRequestOf(form, ReadDateFields());
    if (const auto* refusal = std::get_if<util::Refusal>(&request)) {
        ShowMessage(refusal->message);
        SetLastRun(requests::RefusedRun(*refusal));
    } else {
        BeginTransitRun();
        transits::TransitResult result = transits::RunSearch(std::get<transits::SearchRequest>(request), *this);
        EndTransitRun(result);
        if (!KeepDates() && result.Recorded()) {
            calendar::WriteDateFields(dates_, 0, result.inputs.startDay);
            calendar::WriteDateFields(dates_, 1, result.inputs.endDay);
        }
        SetLastRun(std::move(result));
    }
    MirrorRunChanges(form);
}

void frmMain::RunAllTransits(const transits::AllTransitsRequest& request) {
    const bool savedAppend = AppendChecked();
    if (savedAppend) {
        if (OutputLength() > 0) AppendOutput("\r\n");
    } else {
        ClearOutput();
    }
    SetAppendChecked(true);
    const bool anyRuns = std::any_of(request.passes.begin(), request.passes.end(),
                                     [](const transits::AllTransitsPass& pass) { return pass.request.has_value(); });
    if (anyRuns) {
        PrepareRunWindow();
        EnterBusyState(false);
        SetAppendVisible(false);
    }
    cancel_.Clear();
    transits::AllTransitsResult all = transits::RunAllTransits(request, *this);
    const bool stopped = all.outcome == util::RunOutcome::Stopped;
    // The date model keeps the start of the last pass scanned, as each pass moved it back.
    const bool lastRan = stopped || (!request.passes.empty() && request.passes.back().request);
    if (lastRan && !all.pairs.empty()) dates_.DayNumbers[0] = all.pairs.back().inputs.startDay;
    SetAppendChecked(savedAppend);
    FinishRun();
    if (!stopped) ShowDonePopUp();
    SetLastRun(std::move(all));
}

void frmMain::OnShowAllClicked(int index) {
    auto form = GatherTransitForm();
    auto request = requests::AllTransitsRequestOf(form, ReadDateFields(), index);
    if (const auto* refusal = std::get_if<util::Refusal>(&request)) {
        ShowMessage(refusal->message);
        transits::AllTransitsResult refused;
        refused.refusal = refusal->message.text;
        SetLastRun(std::move(refused));
    } else {
        RunAllTransits(std::get<transits::AllTransitsRequest>(request));
    }
    MirrorRunChanges(form);
}

// A click while the button reads "Pause" only asks the running simulation to stop, once
// the dates pass their checks.
void frmMain::OnSimulateClicked() {
    requests::SimulationForm form;
    form.firstPlanet = PlanetPosition(0) < 0 ? astro::kPluto : PlanetPosition(0) + 1;
    form.secondPlanet = SecondPlanet();
    for (int a = 0; a < 7; ++a) form.aspectChecked[static_cast<std::size_t>(a)] = AspectChecked(a);
    form.orbDegrees = {OrbDegrees(0), OrbDegrees(1), OrbDegrees(2)};
    const auto& dates = DateModel();
    form.startDay = dates.DayNumbers[0];
    form.endDay = dates.DayNumbers[1];
    form.includeDetails = IncludeTransitDetails();
    form.firstName = FromQ(cboPlanet[0]->currentText());
    form.secondName = FromQ(cboPlanet[1]->currentText());
    form.titleHeliocentric = IsHeliocentric();
    form.caption = FromQ(cmdSimulateInvestment->text());
    form.numberFormat = SystemNumberFormat();
    form.pluto = pluto_;

    if (!requests::SimulationDateRefusal(form) && SimulationInProgress()) {
        cancel_.Request();
        return;
    }
    auto request = requests::SimulationRequestOf(form);
    if (const auto* refusal = std::get_if<util::Refusal>(&request)) {
        if (!refusal->message.text.empty()) ShowMessage(refusal->message);
        SetLastRun(simulation::SimulationRun{});
    } else {
        PrepareRunWindow();
        EnterBusyState(true);
        if (!AppendChecked()) ClearOutput();
        cancel_.Clear();
        auto run = simulation::RunSimulation(std::get<simulation::SimulationRequest>(request), IndexPrices(), *this);
        if (run.outcome == simulation::SimulationOutcome::Finished) ShowDonePopUp();
        MoveCaretToEnd();
        LeaveBusyState();
        cmdSimulateInvestment->setText(QString::fromUtf8(requests::kSimulateCaption));
        SetLastRun(std::move(run));
    }
}

}  // namespace kovo::ui
