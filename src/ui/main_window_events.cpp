// frmMain small event handlers: the controls' own actions, the timer, the run buttons'
// pause click and the quit paths.
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include "calendar/date_entry.h"
#include "ui/backtest_window.h"
#include "ui/main_window.h"
#include "ui/pop_up.h"
#include "ui/research_window.h"
#include "ui/view_window.h"

namespace kovo::ui {

namespace {

void SetBold(QRadioButton* option, bool bold) {
    QFont font = option->font();
    font.setBold(bold);
    option->setFont(font);
}

}  // namespace

// Focus moves wait until the window is up: during the load they would only flicker.
void frmMain::MoveFocus(QWidget* target) {
    if (blnStartUpCompleted) target->setFocus();
}

void frmMain::OnAllClicked() {
    for (QCheckBox* box : chkAspectType) box->setChecked(true);
}

void frmMain::OnPlanetChanged() {
    if (blnStartUpCompleted) RefreshRunCaptions(false);
}

void frmMain::OnOrbActivated(int index) {
    if (!blnStartUpCompleted) return;
    if (index == 3) {
        MoveFocus(cmdSearch);
        return;
    }
    calendar::CheckOrbsDecreasing(OrbPosition(0), OrbPosition(1), OrbPosition(2), *this);
    MoveFocus(cmdStart);
}

void frmMain::OnCentricityChosen(bool heliocentric) {
    if (cboPlanet[0]->count() > 0)
        cboPlanet[0]->setItemText(0, heliocentric ? QStringLiteral("Earth") : QStringLiteral("Sun"));
    RefreshRunCaptions(false);
    SetBold(optHeliocentric, heliocentric);
    SetBold(optGeocentric, !heliocentric);
    // The simulation is heliocentric only.
    cmdSimulateInvestment->setEnabled(heliocentric);
    chkIncludeTransitDetails->setEnabled(heliocentric);
}

void frmMain::OnNatzChanged() { SetUpTimezoneComboBoxes(true); }

void frmMain::OnNatzClicked() { OnTimezoneActivated(); }

void frmMain::OnTimezoneActivated() {
    if (cmdStart->isVisible() && cmdStart->isEnabled()) MoveFocus(cmdStart);
}

void frmMain::OnAppendClicked() {
    if (cmdStart->isEnabled()) MoveFocus(cmdStart);
}

void frmMain::Timer1Tick() {
    const bool hasOutput = !outputText_.empty();
    const bool fileVisible = hasOutput && !TransitRunInProgress();
    cmdFile[0]->setVisible(fileVisible);
    chkOpenOutputFile->setVisible(fileVisible);
    chkAppendToOutput->setVisible(hasOutput);
    cmdClearOutput->setVisible(hasOutput);
    if (recentlySaved_ && ++recentlySavedTicks_ > 10) recentlySaved_ = false;
}

// ---- busy state ----------------------------------------------------------------

void frmMain::EnterBusyState(bool isSimulation) {
    SetRunState(isSimulation ? RunState::Simulation : RunState::TransitRun);
    SetControlsEnabled(false, false, true, true);
    QPushButton* own = isSimulation ? cmdSimulateInvestment : cmdStart;
    own->setText(QStringLiteral("Pause"));
    own->setEnabled(true);
    cmdQuit->setEnabled(true);
    txbOutput->setEnabled(true);
}

void frmMain::LeaveBusyState() {
    SetControlsEnabled(true, true, true, true);
    cmdStart->setText(QString::fromStdString(savedRunCaption_));
    KeepSimulationOffWhenGeocentric();
    SetRunState(RunState::Idle);
}

void frmMain::SetRunState(RunState state) {
    runState_ = state;
    emit resultStateChanged();
}

void frmMain::SetLastRun(RunRecords records) {
    lastRun_ = std::move(records);
    emit resultStateChanged();
}

void frmMain::RefreshResultControls() {
    RefreshChartButton();
    RefreshExportControls();
    cmdBacktest->setEnabled(runState_ == RunState::Idle);
}

// ---- quitting --------------------------------------------------------------------

void frmMain::OnSaveStateClicked() { SaveState(); }

void frmMain::OnRestoreStateClicked() {
    if (!RestoreState() || !blnStartUpCompleted) return;
    // The start-up refreshes these itself after its restore; the button must too.
    MonthDayLostFocus(0);
    MonthDayLostFocus(1);
}

void frmMain::OnQuitClicked() {
    if (QuitAction()) EndProgram();
}

bool frmMain::QuitAction() {
    if (recentlySaved_) return true;
    const util::Answer answer = dialogs_.ShowMessage({.text = "Save program state for next run?",
                                                      .title = cmdQuit->text().toStdString(),
                                                      .buttons = util::MessageButtons::YesNoCancel,
                                                      .defaultButton = util::Answer::No});
    if (answer == util::Answer::Cancel) return false;
    // Ending after a failed save would lose the choices the user asked to keep.
    if (answer == util::Answer::Yes) return SaveState();
    return true;
}

// Closes every window at once. A run still under way is asked to stop, and its
// "Stop?" question is answered without a box (see ShowMessage).
void frmMain::EndProgram() {
    programEnding_ = true;
    close();
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (!programEnding_ && !QuitAction()) {
        event->ignore();
        return;
    }
    programEnding_ = true;
    programEnded_ = true;
    cancel_.Request();
    viewer_->close();
    // Its close keeps its size and prices file for the next start.
    if (backtestWindow_ != nullptr) backtestWindow_->close();
    // Its close stops a sweep under way and keeps its inputs for the next start.
    if (researchWindow_ != nullptr) researchWindow_->close();
    popUp_->hide();
    event->accept();
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (HandleDateFieldEvent(watched, event)) return true;
    return QWidget::eventFilter(watched, event);
}

}  // namespace kovo::ui
