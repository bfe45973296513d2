// frmMain's "Chart" button: the chart window of the last transit run's records.
#include <QPushButton>
#include <algorithm>

#include "chart/timeline_model.h"
#include "ui/chart_window.h"
#include "ui/main_window.h"

namespace kovo::ui {

namespace {

// Whether the records are of a transit run that scanned something: not of a refused
// run, a simulation, or nothing yet.
bool HasChart(const frmMain::RunRecords& records) {
    const auto scanned = [](const transits::TransitResult& r) { return r.outcome != util::RunOutcome::Refused; };
    if (const auto* one = std::get_if<transits::TransitResult>(&records)) return scanned(*one);
    if (const auto* all = std::get_if<transits::AllTransitsResult>(&records))
        return std::any_of(all->pairs.begin(), all->pairs.end(), scanned);
    return false;
}

chart::TimelineModel ChartOf(const frmMain::RunRecords& records) {
    if (const auto* one = std::get_if<transits::TransitResult>(&records)) return chart::BuildTimeline(*one);
    return chart::BuildTimeline(std::get<transits::AllTransitsResult>(records));
}

}  // namespace

void frmMain::CreateChartButton() {
    // One of the window's buttons, so that it takes their look.
    cmdChart = MakeButton(this, "cmdChart", "Chart");
    cmdChart->setToolTip(QStringLiteral("Draw the last transit run's periods as a timeline"));
    cmdChart->setEnabled(false);
    connect(cmdChart, &QPushButton::clicked, this, &frmMain::OnChartClicked);
}

void frmMain::OnChartClicked() {
    if (!HasChart(lastRun_) || runState_ != RunState::Idle) return;
    if (chartWindow_ == nullptr) {
        chartWindow_ = new ChartWindow(dialogs_, this);
        chartWindow_->setWindowFlag(Qt::Window);
        // Closing the main window ends the program even while the chart is open.
        chartWindow_->setAttribute(Qt::WA_QuitOnClose, false);
    }
    chartWindow_->ShowModel(ChartOf(lastRun_));
    chartWindow_->show();
    chartWindow_->raise();
    chartWindow_->activateWindow();
}

void frmMain::RefreshChartButton() {
    cmdChart->setEnabled(runState_ == RunState::Idle && HasChart(lastRun_));
}

}  // namespace kovo::ui
