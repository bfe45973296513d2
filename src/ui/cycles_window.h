#pragma once
// The cycles window: a body's retrograde cycles with their shadows, or its sign
// ingresses, over a range of days, in a table with the export's columns, exported as
// text, CSV, JSON or iCalendar through the same writers as `kovo-report stations` and
// `kovo-report ingresses`. The search runs on a worker thread: a few years take a
// fraction of a second, the whole ephemeris range several seconds, and the window stays
// live meanwhile (Run and Export wait for it).
#include <QWidget>
#include <optional>
#include <string>

#include "requests/cycles_form.h"
#include "ui/dialog_service.h"

class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;
class QThread;

namespace kovo::ui {

class ZoneList;

class CyclesWindow : public QWidget {
    Q_OBJECT

public:
    explicit CyclesWindow(DialogService& dialogs, QWidget* parent = nullptr);
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
    // "Points…": the editor of the user's named points.
    void PointsClicked();

    const std::optional<requests::CyclesFound>& LastFound() const { return found_; }
    QString StatusText() const;

private:
    QWidget* CreateInputs();
    void CreateBodyRows(QFormLayout* form, QWidget* panel);
    void CreateRangeRows(QFormLayout* form, QWidget* panel);
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
    void RunEnded();
    void SetRunning(bool running);
    void ShowFound();
    void ShowStatus(const QString& text, bool refusal);
    void Refuse(const std::string& text);

    WindowDialogs dialogs_;
    std::optional<requests::CyclesFound> found_;
    QThread* worker_ = nullptr;
    // Written by the worker, read by the window once the worker has finished.
    std::optional<std::variant<requests::CyclesFound, requests::CyclesRefusal>> outcome_;
    std::string namedZone_;  // the tz name behind the zone list's last entry, "" for none
    int zoneBeforeNamed_ = 0;

    QComboBox* cboBody;
    QRadioButton* optGeocentric;
    QRadioButton* optHeliocentric;
    QComboBox* cboKind;
    QComboBox* cboZodiac;
    QComboBox* cboAyanamsa;
    QLineEdit* txtFrom;
    QLineEdit* txtTo;
    ZoneList* cboZone;
    QPushButton* cmdRun;
    QPushButton* cmdExport;
    QPushButton* cmdPoints;
    QTableWidget* tblResults;
    QLabel* lblStatus;
};

}  // namespace kovo::ui
