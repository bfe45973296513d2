#pragma once
// The backtest window: the inputs of a backtest, a price chart with the in-orb periods
// of one strategy shaded and its exact aspects marked, that strategy's equity curve and
// drawdown against buy-and-hold, its permutation null distribution, and the sortable
// statistics, event-study, hold-out and trades tables. The tables export as CSV or JSON
// and the charts as PNG. Results belong to the inputs they were run with: once an input
// differs, they are greyed and cannot be exported until the next run.
//
// The backtest runs on a worker thread (backtest_worker.h), so the window stays live: the
// scan reports each step to the progress bar and "Cancel" sets the stop request that the
// scan checks. The worker's host answers the scan's "Stop?" with Yes (the user already
// chose Cancel) and hands refusals to the dialog service.
#include <QWidget>
#include <array>
#include <memory>
#include <optional>
#include <string>

#include "astro/pluto_availability.h"
#include "backtest/backtest_run.h"
#include "stats/circular_shift.h"
#include "ui/backtest_worker.h"
#include "ui/dialog_service.h"
#include "util/run_host.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QSplitter;
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
    bool holdout = false;     // evaluate before and from holdoutFrom as well
    std::string holdoutFrom;  // YYYY-MM-DD
    double costBasisPoints = 0;  // on entry and on exit, 0..1000
    double riskFreePct = 0;      // a year
    int permutations = stats::kDefaultShifts;
    int seed = static_cast<int>(backtest::kDefaultSeed);

    bool operator==(const BacktestInputs&) const = default;
};

// "folder/table-events.csv" beside "folder/table.csv": where the window's CSV export puts
// the event study.
std::string EventsPathBeside(const std::string& csvPath);

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
    // Fills the fields and runs them; once the results are shown, strategy `strategy`
    // (an index into the result's strategies) is the one charted. Does nothing while a
    // run is under way.
    void RunWith(const BacktestInputs& inputs, int strategy);
    bool Running() const { return running_; }
    // Tests: lets events run until the backtest under way has ended and shown its results.
    void WaitForRun();
    const std::optional<backtest::BacktestResult>& LastResult() const { return result_; }
    // Whether the shown results were run with other inputs than the fields now hold.
    bool ResultsStale() const;
    // The row of the statistics table whose trades, charts and null distribution are
    // shown: an index into the result's strategies, or -1 for buy-and-hold.
    void SelectStrategy(int index);
    int SelectedStrategy() const;

    // The prices file of the last window closed (kept in the user's store), or "".
    static std::string StoredPricesPath();

    // The export buttons: file names through the dialog service; files are written
    // completely or not at all. Return whether a file was written.
    bool ExportTable();
    bool SavePriceChart();
    bool SaveEquityChart();
    bool SaveNullChart();
    bool SaveShownChart();  // the chart of the tab shown

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* CreateInputs();
    QLayout* CreateSignificanceRow(QWidget* box);
    QWidget* CreateResults();
    QWidget* CreateChartTabs(QWidget* parent);
    QWidget* CreateTableTabs(QWidget* parent);
    QLayout* CreateRunRow();
    void ConnectInputs();
    void UpdateStale();
    void UpdateActions();
    void RestoreWindowState();
    void SaveWindowState();
    QString ChartContext() const;
    void ConnectEvents();
    void CreateShortcuts();
    void SetRunning(bool running);
    void RunEnded();
    std::optional<backtest::BacktestParams> ReadParams();
    void ShowResult();
    void ShowStrategy(int index);
    void StatisticsRowChosen();
    bool SaveChart(QWidget* view, const char* title);
    void Refuse(const std::string& text);

    WindowDialogs dialogs_;
    astro::PlutoAvailability pluto_;
    std::unique_ptr<BacktestWorker> worker_;
    bool running_ = false;
    int strategyAfterRun_ = -1;  // RunWith's choice for the run under way, or -1
    std::optional<backtest::BacktestResult> result_;
    BacktestInputs startedInputs_;  // the fields when the run under way was started
    BacktestInputs runInputs_;  // the fields as they were when result_ was started
    QString summary_;           // the result's summary line, shown again when the inputs are back

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
    QCheckBox* chkHoldout;
    QLineEdit* txtHoldout;
    QDoubleSpinBox* spnCost;
    QDoubleSpinBox* spnRiskFree;
    QSpinBox* spnPermutations;
    QSpinBox* spnSeed;
    QPushButton* cmdRun;
    QPushButton* cmdCancel;
    QProgressBar* barProgress;
    QLabel* lblSummary;
    QComboBox* cboStrategy;
    QCheckBox* chkLogScale;
    QSplitter* splitResults;
    QTabWidget* tabCharts;
    QTabWidget* tabResults;
    BacktestCharts* charts_;
    QTableWidget* tblStatistics;
    QTableWidget* tblEvents;
    QTableWidget* tblHoldout;
    QTableWidget* tblTrades;
    QLabel* lblFamily;
    QPushButton* cmdExportTable;
    QPushButton* cmdSaveChart;
};

}  // namespace kovo::ui
