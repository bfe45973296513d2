// frmMain's "Chart" button: the chart window of the last transit run's records.
#include <QPushButton>

#include "chart/timeline_model.h"
#include "ui/chart_window.h"
#include "ui/main_window.h"

namespace kovo::ui {

void frmMain::CreateChartButton() {
    // One of the window's buttons, so that it takes their look.
    cmdChart = MakeButton(this, "cmdChart", "Chart");
    cmdChart->setToolTip(QStringLiteral("Draw the last transit run's periods as a timeline"));
    cmdChart->setEnabled(false);
    connect(cmdChart, &QPushButton::clicked, this, &frmMain::OnChartClicked);
}

void frmMain::OnChartClicked() {
    if (!chart::HasScannedTransits(lastRun_) || runState_ != RunState::Idle) return;
    if (chartWindow_ == nullptr) {
        chartWindow_ = new ChartWindow(dialogs_, this);
        chartWindow_->setWindowFlag(Qt::Window);
        // Closing the main window ends the program even while the chart is open.
        chartWindow_->setAttribute(Qt::WA_QuitOnClose, false);
    }
    chartWindow_->ShowModel(*chart::TimelineOf(lastRun_));
    chartWindow_->show();
    chartWindow_->raise();
    chartWindow_->activateWindow();
}

void frmMain::RefreshChartButton() {
    cmdChart->setEnabled(runState_ == RunState::Idle && chart::HasScannedTransits(lastRun_));
}

}  // namespace kovo::ui
