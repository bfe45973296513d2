// frmMain: the "Cycles…" button, which opens the cycles window. The specified controls
// and their rules are not touched.
#include <QPushButton>

#include "ui/cycles_window.h"
#include "ui/main_window.h"

namespace kovo::ui {

void frmMain::CreateCyclesButton() {
    cmdCycles = MakeButton(this, "cmdCycles", "Cycles…");
    cmdCycles->setToolTip(QStringLiteral("Retrograde cycles with their shadows, sign ingresses, or transits to a fixed point, of one body"));
}

void frmMain::OnCyclesClicked() {
    if (cyclesWindow_ == nullptr) cyclesWindow_ = new CyclesWindow(dialogs_, pluto_, this);
    cyclesWindow_->show();
    cyclesWindow_->raise();
    cyclesWindow_->activateWindow();
}

}  // namespace kovo::ui
