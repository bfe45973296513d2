// frmMain run buttons: read the controls, call the core runs, show what they changed.
#include <QComboBox>
#include <QLocale>
#include <QPushButton>

#include "astro/catalogue.h"
#include "platform/named_time_zone.h"
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

transits::TransitInputs frmMain::GatherTransitInputs() const {
    transits::TransitInputs in;
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
    in.keepDates = KeepDates();
    return in;
}

void frmMain::MirrorRunChanges(const transits::TransitInputs& inputs) {
    if (inputs.timezonePosition != TimeZonePosition()) SetTimeZonePosition(inputs.timezonePosition);
    ShowDateFields();
}

void frmMain::OnStartClicked() {
    if (TransitRunInProgress()) {
        Flags().stopRequest = true;
        return;
    }
    auto inputs = GatherTransitInputs();
    transits::RunContext context{inputs, ReadDateFields(), Flags(), *this};
    lastRun_ = transits::StartTwoPlanetRun(context);
    RefreshChartButton();
    MirrorRunChanges(inputs);
    RefreshExportControls();
}

void frmMain::OnSearchClicked() {
    auto inputs = GatherTransitInputs();
    transits::RunContext context{inputs, ReadDateFields(), Flags(), *this};
    lastRun_ = transits::StartAspectSearch(context);
    RefreshChartButton();
    MirrorRunChanges(inputs);
    RefreshExportControls();
}

void frmMain::OnShowAllClicked(int index) {
    auto inputs = GatherTransitInputs();
    transits::RunContext context{inputs, ReadDateFields(), Flags(), *this};
    lastRun_ = transits::StartAllTransitsRun(context, index);
    RefreshChartButton();
    MirrorRunChanges(inputs);
    RefreshExportControls();
}

// A click while the button reads "Pause" goes through the same procedure, which then
// only sets the stop request.
void frmMain::OnSimulateClicked() {
    simulation::SimulationParams params;
    params.firstPlanet = PlanetPosition(0) < 0 ? astro::kPluto : PlanetPosition(0) + 1;
    params.secondPlanet = SecondPlanet();
    for (int a = 0; a < 7; ++a) params.aspectChecked[static_cast<std::size_t>(a)] = AspectChecked(a);
    params.orbDegrees = {OrbDegrees(0), OrbDegrees(1), OrbDegrees(2)};
    const auto& dates = DateModel();
    params.startDay = dates.DayNumbers[0];
    params.endDay = dates.DayNumbers[1];
    params.includeDetails = IncludeTransitDetails();
    params.appendToOutput = AppendChecked();
    params.firstName = FromQ(cboPlanet[0]->currentText());
    params.secondName = FromQ(cboPlanet[1]->currentText());
    params.titleHeliocentric = IsHeliocentric();
    params.runInProgress = SimulationInProgress();
    params.buttonCaption = FromQ(cmdSimulateInvestment->text());
    params.numberFormat = SystemNumberFormat();
    params.pluto = pluto_;

    auto run = simulation::ClickSimulateInvestment(params, IndexPrices(), Flags(), *this);
    if (simulation::RestoresRunCaption(run.outcome))
        cmdSimulateInvestment->setText(QString::fromUtf8(simulation::kSimulateCaption));
    // A click that only asks the running simulation to stop is no run of its own.
    if (run.outcome != simulation::SimulationOutcome::StopRequested) lastRun_ = std::move(run);
    RefreshExportControls();
    RefreshChartButton();
}

}  // namespace kovo::ui
