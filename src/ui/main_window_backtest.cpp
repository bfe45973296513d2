// frmMain: the "Backtest…" button, which opens the backtest window with the window's
// pair, centricity, aspects and orbs. The specified controls and their rules are not
// touched.
#include <QPushButton>

#include "ui/backtest_window.h"
#include "ui/main_window.h"

namespace kovo::ui {

void frmMain::CreateBacktestButton() {
    cmdBacktest = MakeButton(this, "cmdBacktest", "Backtest…");
    cmdBacktest->setToolTip(QStringLiteral("Trade a series of daily closes while the pair is in orb"));
}

void frmMain::OnBacktestClicked() {
    if (backtestWindow_ == nullptr) {
        backtestWindow_ = new BacktestWindow(dialogs_, pluto_, this);
        BacktestInputs inputs;
        inputs.pricesPath = BacktestWindow::StoredPricesPath();
        inputs.firstPlanet = FirstPlanet() <= 8 ? FirstPlanet() : 1;
        inputs.secondPlanet = SecondPlanet();
        inputs.heliocentric = IsHeliocentric();
        for (int a = 0; a < 7; ++a) inputs.aspects[static_cast<std::size_t>(a)] = AspectChecked(a);
        for (int i = 0; i < 3; ++i) inputs.orbDegrees[static_cast<std::size_t>(i)] = OrbDegrees(i);
        backtestWindow_->SetInputs(inputs);
    }
    backtestWindow_->show();
    backtestWindow_->raise();
    backtestWindow_->activateWindow();
}

}  // namespace kovo::ui
