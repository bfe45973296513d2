#pragma once
// The backtest window: the inputs of a backtest, a price chart with the in-orb periods
// of one strategy shaded and its exact aspects marked, that strategy's equity curve
// against buy-and-hold, and the sortable statistics and event-study tables. The table
// exports as CSV and the charts as PNG.
//
// The backtest runs on the window's thread like every run of the program: the transit
// scan yields once per step, which keeps the window live, moves the progress bar and
// lets "Cancel" set the stop request that the scan checks. It is also the run's host:
// the scan's "Stop?" question is answered Yes (the user already chose Cancel), its
// refusals go to the dialog service.
#include <QWidget>
#include <array>
#include <memory>
#include <optional>
#include <string>

#include "astro/pluto_availability.h"
#include "backtest/backtest_run.h"
#include "ui/backtest_worker.h"
#include "ui/dialog_service.h"
#include "util/run_host.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QTabWidget;

namespace kovo::ui {

class BacktestCharts;

// What the window starts with, usually the main window's selections.
struct BacktestInputs {
    std::string pricesPath;
    int firstPlanet = 1;   // 1..8
    int secondPlanet = 5;  // 2..9
    bool heliocentric = true;
    std::array<bool, 7> aspects{true, true, true, true, true, true, true};
    std::array<int, 3> orbDegrees{10, 5, 2};
    bool shortSide = false;
    std::string from;  // YYYY-MM-DD, or "" for the series' first close
    std::string to;
};

class BacktestWindow : public QWidget {
    Q_OBJECT

public:
    BacktestWindow(DialogService& dialogs, astro::PlutoAvailability pluto, QWidget* parent = nullptr);
    ~BacktestWindow() override;

    // Fills the input fields (under signal blockers).
    void SetInputs(const BacktestInputs& inputs);
    BacktestInputs Inputs() const;

    // The run button: reads the fields and the price file, then starts the backtest on a
    // worker thread; its results are shown when it has ended. A click while one runs
    // does nothing.
    void RunClicked();
    void CancelClicked();
    bool Running() const { return running_; }
    // Tests: lets events run until the backtest under way has ended and shown its results.
    void WaitForRun();
    const std::optional<backtest::BacktestResult>& LastResult() const { return result_; }

    // The export buttons: file names through the dialog service; files are written
    // completely or not at all. Return whether a file was written.
    bool ExportTable();
    bool SavePriceChart();
    bool SaveEquityChart();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* CreateInputs();
    QWidget* CreateResults();
    QLayout* CreateRunRow();
    void ConnectEvents();
    void CreateShortcuts();
    void SetRunning(bool running);
    void RunEnded();
    std::optional<backtest::BacktestParams> ReadParams();
    void ShowResult();
    void FillStatisticsTable();
    void FillEventTable();
    void ShowStrategy(int index);
    bool SaveChart(QWidget* view, const char* title);
    void Refuse(const std::string& text);

    WindowDialogs dialogs_;
    astro::PlutoAvailability pluto_;
    std::unique_ptr<BacktestWorker> worker_;
    bool running_ = false;
    std::optional<backtest::BacktestResult> result_;

    QLineEdit* txtPrices;
    QPushButton* cmdBrowse;
    QComboBox* cboFirst;
    QComboBox* cboSecond;
    QCheckBox* chkHeliocentric;
    std::array<QCheckBox*, 7> chkAspect;
    std::array<QSpinBox*, 3> spnOrb;
    QComboBox* cboSide;
    QLineEdit* txtFrom;
    QLineEdit* txtTo;
    QPushButton* cmdRun;
    QPushButton* cmdCancel;
    QProgressBar* barProgress;
    QLabel* lblSummary;
    QComboBox* cboStrategy;
    QTabWidget* tabResults;
    BacktestCharts* charts_;
    QTableWidget* tblStatistics;
    QTableWidget* tblEvents;
    QPushButton* cmdExportTable;
    QPushButton* cmdSavePriceChart;
    QPushButton* cmdSaveEquityChart;
};

}  // namespace kovo::ui
