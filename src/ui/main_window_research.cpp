// frmMain: the "Research…" button, which opens the research window. A rule
// double-clicked there runs in this window's backtest window. The specified controls
// and their rules are not touched.
#include <QPushButton>

#include "ui/backtest_window.h"
#include "ui/main_window.h"
#include "ui/research_window.h"

namespace kovo::ui {

void frmMain::CreateResearchButton() {
    cmdResearch = MakeButton(this, "cmdResearch", "Research…");
    cmdResearch->setToolTip(QStringLiteral("Backtest every pair's aspects at once and rank the rules by q"));
}

void frmMain::OnResearchClicked() {
    if (researchWindow_ == nullptr) {
        researchWindow_ = new ResearchWindow(dialogs_, pluto_, [this] {
            OnBacktestClicked();
            return backtestWindow_;
        }, this);
    }
    researchWindow_->show();
    researchWindow_->raise();
    researchWindow_->activateWindow();
}

}  // namespace kovo::ui
