#pragma once
// The main window's state that only tests read; the window keeps it private.
#include "ui/main_window.h"

namespace kovo::testing {

class MainWindowProbe {
public:
    explicit MainWindowProbe(ui::frmMain& window) : w_(window) {}
    decltype(auto) StartUpCompleted() const { return w_.StartUpCompleted(); }
    decltype(auto) SavedRunCaption() const { return w_.SavedRunCaption(); }
    decltype(auto) FixedWidth() const { return w_.FixedWidth(); }
    decltype(auto) LastRunRecords() const { return w_.LastRunRecords(); }
    decltype(auto) Chart() const { return w_.Chart(); }
    decltype(auto) RecentlySaved() const { return w_.RecentlySaved(); }
    decltype(auto) IsPlutoAvailable() const { return w_.IsPlutoAvailable(); }
    decltype(auto) OutputText() const { return w_.OutputText(); }
    decltype(auto) PopUp() const { return w_.PopUp(); }
    decltype(auto) Viewer() const { return w_.Viewer(); }
    decltype(auto) Backtest() const { return w_.Backtest(); }
    decltype(auto) Research() const { return w_.Research(); }
    decltype(auto) ProgramEnded() const { return w_.ProgramEnded(); }

private:
    ui::frmMain& w_;
};

inline MainWindowProbe Probe(ui::frmMain& window) { return MainWindowProbe(window); }

}  // namespace kovo::testing
