#pragma once
// The cycles window: a body's retrograde cycles with their shadows, its sign ingresses,
// or its transits to a fixed point of the zodiac, over a range of days, in a table with
// the export's columns, exported as text, CSV, JSON or iCalendar through the same
// writers as `kovo-report stations`, `ingresses` and `transits --second-degree`, and
// drawn by Chart. The search runs on a worker thread: a few years take a fraction of a
// second, the whole ephemeris range several seconds, and the window stays live
// meanwhile (Run, Export and Chart wait for it; Cancel stops a transit run).
#include <QWidget>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "astro/pluto_availability.h"
#include "points/named_point.h"
#include "requests/cycles_form.h"
#include "requests/point_transits_form.h"
#include "ui/dialog_service.h"

class QCheckBox;
class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTableWidget;
class QThread;

namespace kovo::ui {

class ChartWindow;
class ZoneList;

class CyclesWindow : public QWidget {
    Q_OBJECT

public:
    // `pluto`: whether transits of Pluto can be run, as the main window found at start-up.
    CyclesWindow(DialogService& dialogs, astro::PlutoAvailability pluto, QWidget* parent = nullptr);
    // Waits for a search under way: it cannot be interrupted, and it writes to the window.
    ~CyclesWindow() override;

    // "Run": reads the fields and starts the search; once it has ended, shows the list,
    // or the refusal in the status line (the table is then emptied, so it never shows a
    // list of other inputs). A click while one runs does nothing.
    void RunClicked();
    bool Running() const { return worker_ != nullptr; }
    // Tests: lets events run until the search under way has ended and shown its result.
    void WaitForRun();
    // "Export…": the shown list as the chosen filter's format, complete or not at all.
    // Returns whether a file was written.
    bool ExportClicked();
    // "Points…": the editor of the user's named points; the point list is read again after.
    void PointsClicked();
    // "Chart": the shown list drawn in the chart window (cycles and ingresses as one
    // body's lane, transits to a point like a pair). Returns whether a chart was shown.
    bool ChartClicked();
    // "Cancel": asks a transit run to stop (it ends with what it found).
    void CancelClicked();

    const std::optional<requests::CyclesFound>& LastFound() const { return found_; }
    const std::optional<requests::PointTransitsFound>& LastPointFound() const { return pointFound_; }
    ChartWindow* Chart() const { return chartWindow_; }
    QString StatusText() const;

private:
    // The kind list's item data for transits to a point (the others are CycleKind values).
    static constexpr int kPointKindData = 100;

    QWidget* CreateInputs();
    void CreateBodyRows(QFormLayout* form, QWidget* panel);
    void CreateRangeRows(QFormLayout* form, QWidget* panel);
    void CreatePointRows(QFormLayout* form, QWidget* panel);
    // The point list from points.json; a file that cannot be read leaves it empty and
    // says why in the status line.
    void FillPoints();
    bool PointKind() const;
    QLayout* CreateButtonRow();
    QWidget* CreateResults();
    void ConnectEvents();
    void CreateShortcuts();
    void FillZones();
    void OnZoneActivated(int index);
    void UpdateEnabled();
    // The form of the fields, or the text of what is wrong with them.
    std::optional<requests::CyclesForm> ReadForm(std::string& problem) const;
    std::optional<calendar::ReportZone> Zone() const;
    std::optional<requests::PointTransitsForm> ReadPointForm(std::string& problem) const;
    std::optional<points::NamedPoint> ChosenPoint(std::string& problem) const;
    void StartWorker(std::function<void()> work);
    void ShowPointFound();
    void ShowTable(const exporting::ExportTable& table);
    void RunEnded();
    void SetRunning(bool running);
    void ShowFound();
    void ShowStatus(const QString& text, bool refusal);
    void Refuse(const std::string& text);

    WindowDialogs dialogs_;
    astro::PlutoAvailability pluto_;
    std::optional<requests::CyclesFound> found_;
    std::optional<requests::PointTransitsFound> pointFound_;
    std::vector<points::NamedPoint> points_;  // the point list's entries, in its order
    QThread* worker_ = nullptr;
    // Written by the worker, read by the window once the worker has finished.
    std::optional<std::variant<requests::CyclesFound, requests::CyclesRefusal>> outcome_;
    std::optional<requests::PointTransitsFound> pointOutcome_;
    util::CancelToken cancel_;
    ChartWindow* chartWindow_ = nullptr;
    std::string namedZone_;  // the tz name behind the zone list's last entry, "" for none
    int zoneBeforeNamed_ = 0;

    QComboBox* cboBody;
    QRadioButton* optGeocentric;
    QRadioButton* optHeliocentric;
    QComboBox* cboKind;
    QComboBox* cboZodiac;
    QComboBox* cboAyanamsa;
    QFormLayout* form_;
    QComboBox* cboPoint;
    QLayout* aspectsRow_;
    QLayout* orbsRow_;
    std::array<QCheckBox*, 7> chkAspects{};
    std::array<QSpinBox*, 3> spnOrbs{};
    QLineEdit* txtFrom;
    QLineEdit* txtTo;
    ZoneList* cboZone;
    QPushButton* cmdRun;
    QPushButton* cmdExport;
    QPushButton* cmdPoints;
    QPushButton* cmdChart;
    QPushButton* cmdCancel;
    QTableWidget* tblResults;
    QLabel* lblStatus;
};

}  // namespace kovo::ui
