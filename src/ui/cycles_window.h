#pragma once
// The cycles window: a body's retrograde cycles with their shadows, or its sign
// ingresses, over a range of days, in a table with the export's columns, exported as
// text, CSV, JSON or iCalendar through the same writers as `kovo-report stations` and
// `kovo-report ingresses`. The search runs on the window's thread (a few years take a
// fraction of a second; the whole ephemeris range a few seconds, under a busy cursor).
#include <QWidget>
#include <optional>
#include <string>

#include "requests/cycles_form.h"
#include "ui/dialog_service.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace kovo::ui {

class ZoneList;

class CyclesWindow : public QWidget {
    Q_OBJECT

public:
    explicit CyclesWindow(DialogService& dialogs, QWidget* parent = nullptr);

    // "Run": reads the fields, searches and shows the list, or the refusal in the
    // status line (the table is then emptied, so it never shows a list of other inputs).
    void RunClicked();
    // "Export…": the shown list as the chosen filter's format, complete or not at all.
    // Returns whether a file was written.
    bool ExportClicked();
    // "Points…": the editor of the user's named points.
    void PointsClicked();

    const std::optional<requests::CyclesFound>& LastFound() const { return found_; }
    QString StatusText() const;

private:
    QWidget* CreateInputs();
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
    void ShowFound();
    void ShowStatus(const QString& text, bool refusal);
    void Refuse(const std::string& text);

    WindowDialogs dialogs_;
    std::optional<requests::CyclesFound> found_;
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
