#pragma once
// The research window: a sweep of every pair of a list (and, if asked, the bodies' cycles
// and the Moon's phases) against one series of daily closes, ranked by q over every rule
// tested. The inputs are those of `kovo-report sweep`; the sweep runs on a worker thread
// with a bar of units done, and Cancel (or Escape) stops it. The ranked table shows the
// texts of the sweep's CSV export, sortable and filtered by pair, aspect and a largest q;
// the scatter plot sets each shown rule's excess against -log10 p. Double-clicking a
// pair's rule opens the backtest window on that pair, side and settings and runs it, so
// that its trades and price chart can be seen. The table exports as CSV or JSON, the plot
// as PNG or SVG.
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "astro/pluto_availability.h"
#include "sweep/sweep_run.h"
#include "ui/dialog_service.h"
#include "util/run_outcome.h"

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

namespace kovo::ui {

class BacktestWindow;
class ResearchPlot;
class ResearchWorker;
struct BacktestInputs;
struct ResearchFilter;

// The title of the window's messages.
inline constexpr const char* kResearchTitle = "Research sweep";

class ResearchWindow : public QWidget {
    Q_OBJECT

public:
    // `openBacktest` shows the backtest window that a double-clicked rule runs in (the
    // main window's own, made on first use).
    ResearchWindow(DialogService& dialogs, astro::PlutoAvailability pluto,
                   std::function<BacktestWindow*()> openBacktest, QWidget* parent = nullptr);
    // Stops a sweep under way and waits for it.
    ~ResearchWindow() override;

    // "Run sweep": reads the fields and the price file and starts the sweep; a refusal
    // is shown as a message. A click while one runs does nothing.
    void RunClicked();
    void CancelClicked();
    bool Running() const { return worker_ != nullptr; }
    // Tests: lets events run until the sweep under way has ended and been shown.
    void WaitForRun();
    // The result shown (the last completed sweep), and how the last run ended.
    const std::optional<sweep::SweepResult>& LastResult() const { return result_; }
    util::RunOutcome LastOutcome() const { return lastOutcome_; }
    QString StatusText() const;

    // Selects the table row of a rule (an index into the result's rows) and rings its
    // point; -1 clears the choice.
    void SelectRule(int rule);
    int SelectedRule() const;
    // Runs a rule in the backtest window (a double-click or Return on its row). A named
    // rule (cycles, Moon phases) cannot be run there: the status line says so. Returns
    // whether a backtest was started.
    bool OpenInBacktest(int rule);

    // The export buttons: file names through the dialog service; written complete or
    // not at all. Return whether a file was written.
    bool ExportTable();
    bool SavePlot();

    // The inputs of a rule's backtest, as the backtest window takes them.
    static BacktestInputs BacktestInputsOf(const sweep::SweepResult& result, const sweep::SweepRow& row,
                                           const std::string& pricesPath);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* CreateInputs();
    QLayout* CreateFileRow(QWidget* box);
    QLayout* CreatePairRow(QWidget* box);
    QLayout* CreateAspectRow(QWidget* box);
    QLayout* CreateEventRow(QWidget* box);
    QLayout* CreateTestRow(QWidget* box);
    QLayout* CreateRunRow();
    QWidget* CreateResults();
    QLayout* CreateFilterRow(QWidget* parent);
    void ConnectEvents();
    void CreateShortcuts();
    void RestoreWindowState();
    void SaveWindowState();
    // The request of the fields, or nothing after a refusal has been shown.
    std::optional<sweep::SweepRequest> ReadRequest();
    void SetRunning(bool running);
    void UnitDone(int done, int total);
    void RunEnded();
    void ShowResult();
    void ApplyFilter();
    void FillFilterLists();
    ResearchFilter Filter() const;
    void RowChosen();
    void ShowStatus(const QString& text);
    void Refuse(const std::string& text);

    WindowDialogs dialogs_;
    astro::PlutoAvailability pluto_;
    std::function<BacktestWindow*()> openBacktest_;
    std::unique_ptr<ResearchWorker> worker_;
    std::string startedPrices_;  // the price file of the sweep under way
    std::string resultPrices_;   // that of the result shown
    std::optional<sweep::SweepResult> result_;
    util::RunOutcome lastOutcome_ = util::RunOutcome::Refused;

    QWidget* inputs_;
    QLineEdit* txtPrices;
    QPushButton* cmdBrowse;
    QLineEdit* txtFrom;
    QLineEdit* txtTo;
    QCheckBox* chkHoldout;
    QLineEdit* txtHoldout;
    QComboBox* cboPairs;
    QComboBox* cboDirection;
    std::array<QSpinBox*, 3> spnOrb{};
    std::array<QCheckBox*, 7> chkAspect{};
    QCheckBox* chkAspectRules;
    QCheckBox* chkStations;
    QCheckBox* chkIngresses;
    QCheckBox* chkPhases;
    QSpinBox* spnPermutations;
    QSpinBox* spnSeed;
    QSpinBox* spnJobs;
    QPushButton* cmdRun;
    QPushButton* cmdCancel;
    QProgressBar* barProgress;
    QLabel* lblStatus;
    QSplitter* splitResults;
    ResearchPlot* plot_;
    QLabel* lblHeading;
    QComboBox* cboPairFilter;
    QComboBox* cboAspectFilter;
    QDoubleSpinBox* spnMaxQ;
    QLabel* lblShown;
    QPushButton* cmdExportTable;
    QPushButton* cmdSavePlot;
    QTableWidget* tblRules;
};

}  // namespace kovo::ui
