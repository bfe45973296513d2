#pragma once
// frmMain: the program's working window. It holds every input of the runs, the run
// buttons, the output area and the buttons for saved state, help and quitting, and it
// is the RunHost through which the runs write and ask.
#include <QWidget>
#include <array>
#include <cstddef>
#include <string>
#include <variant>
#include <vector>

#include "calendar/date_entry.h"
#include "calendar/time_zones.h"
#include "export/run_records.h"
#include "simulation/index_file.h"
#include "simulation/simulation.h"
#include "requests/transit_form.h"
#include "transits/transit_runs.h"
#include "ui/dialog_service.h"
#include "util/run_host.h"

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLayout;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTimer;

namespace kovo::testing {
class MainWindowProbe;
}

namespace kovo::ui {

class BacktestWindow;
class CyclesWindow;
class ResearchWindow;
class ChartWindow;
class frmPopUp;
class frmView;

class frmMain : public QWidget, public util::RunHost {
    Q_OBJECT

public:
    // The window's height when no output is shown, and its least height; twips.
    static constexpr int CompactHeight = 5800;

    explicit frmMain(DialogService& dialogs, QWidget* parent = nullptr);
    ~frmMain() override;

    // The load sequence: lists, defaults, saved state, look, Pluto data, index prices.
    void StartUp();

    // Controls are reached by their object names (the names of the window's controls,
    // an index appended for control arrays: "cboPlanet0", "cmdFile0"); the window hands
    // out no pointers to them.

    // Whether a run holds the window, and whose: the run buttons' "Pause" captions only
    // show it. A click on the run's own button then asks the run to stop.
    bool TransitRunInProgress() const { return runState_ == RunState::TransitRun; }
    bool SimulationInProgress() const { return runState_ == RunState::Simulation; }

    // The records of the last run started from the window, for exports and charts:
    // nothing before the first run; a refused run keeps its refusal.
    using RunRecords = exporting::RunRecords;


    // ---- window procedures ----------------------------------------------------
    void SetFontNameAll(const QString& name, bool includeTextFields, bool includeButtons);
    void Timer1Tick();

    // Saved state. SaveState returns whether the whole state reached the store (a
    // failure has been reported to the user).
    bool SaveState();
    // The quit question; true when the program is to end (Cancel, or a Yes whose save
    // failed, gives false).
    bool QuitAction();

    // The output file command.
    void WriteOutputToFile();

    // The last run's results (main_window_export.cpp): "Export…" saves them as CSV, JSON
    // or iCalendar, as the file dialog's filter chooses; the output area's context menu
    // copies them as tab-separated rows. Both are off while there are none or a run holds
    // the window.
    void ExportResults();
    void CopyResultsAsTable();

    // ---- what the runs read ---------------------------------------------------
    // Planet indexes 1..9 of the two lists (list position + 1, + 2).
    int FirstPlanet() const;
    int SecondPlanet() const;
    // Orb list position of cboOrbs(index): degrees - 1 for 0..2, degrees - 3 for 3.
    int OrbPosition(int index) const;
    int OrbDegrees(int index) const;
    bool AspectChecked(int aspectIndex0) const;  // 0..6 in aspect order
    int TimeZonePosition() const;  // -1 when nothing is selected
    void SetTimeZonePosition(int position);
    std::string TimeZoneText() const;
    int SearchAspect() const;  // aspect index 1..7
    int SearchWhen() const;    // 0 start date, 1 end date
    bool IncludeTransitDetails() const;
    // The start-up load of the Pluto files, with its pop-up and message; the files come
    // from the data folder unless another folder is named.
    void LoadPlutoData(const std::string& folder = {});
    simulation::IndexPrices& IndexPrices() { return indexPrices_; }

    // The date fields mirror this model; MonthDayLostFocus is the fields' lose-focus
    // action for a month or day field.
    calendar::DateEntryModel& DateModel() { return dates_; }
    void MonthDayLostFocus(int index);

    void OnBacktestClicked();
    void OnCyclesClicked();
    void OnResearchClicked();

    // ---- util::RunHost: the window's runs stay on its thread, yielding once per step ----
    util::Answer ShowMessage(const util::Message& message) override;
    void Progress(double fraction, std::int32_t day) override;
    util::ReportSink& Report() override { return outputSink_; }
    util::CancelToken& Cancel() override { return cancel_; }

    // ---- the output area and the run's window state ----
    void AppendOutput(std::string_view text);
    void ClearOutput();
    std::size_t OutputLength() const { return outputChars_; }
    void MoveCaretToEnd();
    void Yield();
    void EnterBusyState(bool isSimulation);
    void LeaveBusyState();
    // Moves the window to its run top and height when it is in its normal state.
    void PrepareRunWindow();
    // The timed "Done" pop-up at the foot of the window; returns when it has closed.
    void ShowDonePopUp();
    bool AppendChecked() const;
    void SetAppendChecked(bool checked);
    void SetAppendVisible(bool visible);
    // Back to the compact height used when there is no output.
    void RestoreCompactHeight();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class RunState { Idle, TransitRun, Simulation };

    // Run window lengths in twips.
    static constexpr int RunHeight = 9000;
    static constexpr int RunTop = 300;
    // SetBackColorAll value of the window: red 252, green 253, blue 120 (0x00BBGGRR).
    static constexpr long kBackColour = 7929340;

    // ---- controls -------------------------------------------------------------
    QGroupBox* Frame1;
    QGroupBox* Frame2;
    QGroupBox* Frame3;
    QGroupBox* fraAspectTypes;
    QGroupBox* fraCentricity;
    std::array<QComboBox*, 2> cboPlanet;
    std::array<QLabel*, 2> lblPlanet;
    std::array<QComboBox*, 4> cboOrbs;
    std::array<QLabel*, 3> lblOrbs;
    QLabel* Label1;  // "for first", beside the search controls
    std::array<QCheckBox*, 7> chkAspectType;
    QLabel* Label3;  // "Aspect type"
    QPushButton* cmdAll;
    QRadioButton* optGeocentric;
    QRadioButton* optHeliocentric;
    QLabel* Label2;  // "Centricity"
    std::array<QLineEdit*, 2> txbYear;
    std::array<QLineEdit*, 2> txbMonth;
    std::array<QLineEdit*, 2> txbDay;
    std::array<QLabel*, 2> lblDate;
    std::array<QLabel*, 2> lblStartEnd;
    QLabel* lblYear;
    QLabel* lblMonthDay;
    QLabel* lblConstructTransitTables;
    std::array<QComboBox*, 1> cboTimezone;
    QLabel* lblTimezone;
    QCheckBox* chkDisplayNATZabbr;
    QPushButton* cmdStart;
    std::array<QPushButton*, 2> cmdShowAll;
    QCheckBox* chkIncludeTransitDetails;
    QPushButton* cmdSimulateInvestment;
    QComboBox* cboSearchAspect;
    QComboBox* cboSearchWhen;
    QCheckBox* chkKeepDates;
    QPushButton* cmdSearch;
    QPlainTextEdit* txbOutput;
    QCheckBox* chkAppendToOutput;
    std::array<QPushButton*, 1> cmdFile;
    QCheckBox* chkOpenOutputFile;
    QPushButton* cmdClearOutput;
    QPushButton* cmdSaveState;
    QPushButton* cmdRestoreState;
    QLineEdit* txbStopDate;  // kept with the saved state only; not shown
    QPushButton* cmdHelp;
    QPushButton* cmdQuit;
    QLabel* lblNotice;  // marks the foot of the window where "Done" pops up
    QPushButton* cmdBacktest;  // opens the backtest window (main_window_backtest.cpp)
    QPushButton* cmdCycles;    // opens the cycles window (main_window_cycles.cpp)
    QPushButton* cmdResearch;  // opens the research window (main_window_research.cpp)
    QTimer* Timer1;
    QPushButton* cmdExport;  // beside the specified controls: "Export…"
    QAction* actCopyResultsAsTable;
    QPushButton* cmdChart = nullptr;

    // Construction (main_window_controls.cpp, main_window_layout.cpp).
    void CreateControls();
    void CreateFrames();
    void CreatePlanetControls();
    void CreateDateControls();
    void CreateAspectAndCentricityControls();
    void CreateSearchControls();
    void CreateRunControls();
    void CreateOutputControls();
    void CreateLayout();
    void LayOutPlanetFrame();
    void LayOutDateFrame();
    void LayOutSmallFrames();
    QLayout* LayOutRunControls();
    void ConnectEvents();

signals:
    void resultStateChanged();

private:
    // What only the tests read, through testing::MainWindowProbe.
    friend class kovo::testing::MainWindowProbe;
    bool StartUpCompleted() const { return blnStartUpCompleted; }
    // The caption of cmdStart as last built from the planet lists.
    const std::string& SavedRunCaption() const { return savedRunCaption_; }
    int FixedWidth() const { return fixedWidth_; }  // pixels
    const RunRecords& LastRunRecords() const { return lastRun_; }
    // The chart window of the last run's records, once "Chart" opened it.
    ChartWindow* Chart() const { return chartWindow_; }
    bool RecentlySaved() const { return recentlySaved_; }
    bool IsPlutoAvailable() const { return pluto_.available; }
    const std::string& OutputText() const { return outputText_; }
    frmPopUp& PopUp() { return *popUp_; }
    frmView& Viewer() { return *viewer_; }
    // The backtest window, made at the first click on "Backtest…" (null before).
    BacktestWindow* Backtest() const { return backtestWindow_; }
    // The research window, made at the first click on "Research…" (null before).
    ResearchWindow* Research() const { return researchWindow_; }
    // Tests: what ending the program did.
    bool ProgramEnded() const { return programEnded_; }

    void ConnectDateFields();
    QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption);
    QCheckBox* MakeCheckBox(QWidget* parent, const char* name, const char* caption);
    QLabel* MakeLabel(QWidget* parent, const char* name, const char* caption);
    // `list` is made here unless one of a kind of its own is given.
    QComboBox* MakeList(QWidget* parent, const char* name, QComboBox* list = nullptr);
    QLineEdit* MakeTextField(QWidget* parent, const char* name, int widthTwips);
    void FitWidthAroundOutput();
    void ApplyResizeRules();
    int Px(int twips) const;
    int PxX(int twips) const;
    int CompactHeightPx() const;

    // Window procedures (main_window.cpp).
    void RefreshRunCaptions(bool captionOnly);
    void SetControlsEnabled(bool enabled, bool includeFrames, bool includeTextFields, bool includeLabels);
    void SetFontSizeAll(int size);
    // colour is 0x00BBGGRR.
    void SetBackColorAll(long colour);
    void SetUpTimezoneComboBoxes(bool blnPreserveIndices);
    int PlanetPosition(int index) const;  // list position of cboPlanet(index)
    bool IsHeliocentric() const;
    bool KeepDates() const;

    // Start-up steps (main_window_startup.cpp).
    void SetStartUpDefaults();
    void FillLists();
    void ApplyLook();
    void LoadIndexPrices();
    void KeepSimulationOffWhenGeocentric();

    // Small event handlers (main_window_events.cpp).
    void MoveFocus(QWidget* target);
    void OnAllClicked();
    void OnPlanetChanged();
    void OnOrbActivated(int index);
    void OnCentricityChosen(bool heliocentric);
    void OnNatzChanged();
    void OnNatzClicked();
    void OnTimezoneActivated();
    // The list's last entry: choose a zone of the tz database.
    void OnNamedZoneActivated(int index);
    void AddNamedZoneEntry();
    void ChooseNamedZone();
    void RestoreNamedZone(const std::string& saved);
    void ShowZoneProblem(const std::string& problem);
    void OnAppendClicked();
    void OnSaveStateClicked();
    void OnRestoreStateClicked();
    void OnQuitClicked();
    void EndProgram();

    // Date fields (main_window_dates.cpp): ReadDateFields copies the fields into the
    // model and returns it; ShowDateFields copies texts, labels and the period caption back.
    calendar::DateEntryModel& ReadDateFields();
    void ShowDateFields();
    void YearLostFocus(int index);
    bool HandleDateFieldEvent(QObject* watched, QEvent* event);

    // Exports (main_window_export.cpp).
    void CreateExportControls();
    void PlaceExportButton();
    void RefreshExportControls();
    // Chart, Backtest… and Export… follow resultStateChanged: whether a run holds the
    // window, what the last run recorded and whether there is output.
    void RefreshResultControls();
    void SetRunState(RunState state);
    void SetLastRun(RunRecords records);
    void ShowOutputContextMenu(const QPoint& position);

    // Output commands (main_window_output.cpp).
    void ClearOutputCommand();
    void HelpAction();

    // Runs (main_window_runs.cpp): the run buttons, the inputs read for the core runs
    // and what the runs change.
    void OnStartClicked();
    void OnSearchClicked();
    void OnShowAllClicked(int index);
    void OnSimulateClicked();
    requests::TransitForm GatherTransitForm() const;
    void MirrorRunChanges(const requests::TransitForm& form);
    // Before and after a transit run: the output cleared or set apart, the busy state.
    void BeginTransitRun();
    void FinishRun();
    void EndTransitRun(const transits::TransitResult& result);
    void RunAllTransits(const transits::AllTransitsRequest& request);

    // The chart (main_window_chart.cpp): "Chart" opens the chart window of the last run's
    // records; it is enabled when a transit run has left records and no run is going on.
    void CreateChartButton();
    void OnChartClicked();
    void RefreshChartButton();

    // Saved state (main_window_state.cpp). RestoreState returns whether a saved state was found.
    bool RestoreState();
    void RestorePlanetsAndOrbs();
    void RestoreOptions();
    void RestoreSearchAndAspects();

    // Controls by kind, for the window procedures that treat all of a kind alike.
    std::vector<QPushButton*> buttons_;
    std::vector<QCheckBox*> checkBoxes_;
    std::vector<QRadioButton*> optionButtons_;
    std::vector<QComboBox*> lists_;
    std::vector<QGroupBox*> frames_;
    std::vector<QWidget*> textFields_;
    std::vector<QLabel*> labels_;

    bool blnStartUpCompleted = false;
    std::string savedRunCaption_ = "Show all transits from start to end date for selected planets";
    int fixedWidth_ = 0;  // pixels
    // Set by EnterBusyState and LeaveBusyState. While a run holds the window, disabling a
    // date field moves the focus away; that is not the user leaving the field.
    RunState runState_ = RunState::Idle;
    RunRecords lastRun_;
    // The date field in which Enter went down, so that the Enter that closes a message
    // box does not start the run again when it is released over the field.
    QObject* enterPressedIn_ = nullptr;

    DialogService& dialogs_;
    QWidget* topPanel_ = nullptr;
    frmPopUp* popUp_;
    frmView* viewer_;
    BacktestWindow* backtestWindow_ = nullptr;
    void CreateBacktestButton();
    CyclesWindow* cyclesWindow_ = nullptr;
    void CreateCyclesButton();
    ResearchWindow* researchWindow_ = nullptr;
    void CreateResearchButton();
    ChartWindow* chartWindow_ = nullptr;
    calendar::DateEntryModel dates_;
    simulation::IndexPrices indexPrices_;
    util::CancelToken cancel_;
    // The output area as a run's report sink: appends show at once, caret at the end.
    struct OutputSink final : util::ReportSink {
        explicit OutputSink(frmMain& window) : window(window) {}
        void Append(std::string_view text) override;
        std::size_t Length() const override { return window.OutputLength(); }
        frmMain& window;
    } outputSink_{*this};
    std::string outputText_;  // the output with CR LF line ends
    std::size_t outputChars_ = 0;
    std::string outputPath_;  // the last file chosen in the file dialog
    std::string strStopDate_;  // the saved stop-date text; no run reads it
    int savedTimezoneIndex_ = 0;
    std::string namedZone_;
    int positionBeforeNamed_ = calendar::kGmtPosition;  // where a cancelled choice returns to
    astro::PlutoAvailability pluto_{.available = false, .reason = {}};  // set by the start-up load
    bool recentlySaved_ = false;
    int recentlySavedTicks_ = 0;
    bool programEnding_ = false;
    bool programEnded_ = false;
};

}  // namespace kovo::ui
