#pragma once
// A started main window with a scripted dialog service and a private state file, and
// the window's controls found by their object names.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>

#include "scripted_dialog_service.h"
#include "main_window_probe.h"
#include "ui/main_window.h"
#include "ui/pop_up.h"
#include "ui/registry.h"

namespace kovo::testing {

// The one child of `window` with this object name and kind. A missing or doubled name
// throws, so that the test fails naming the control instead of crashing on a null pointer.
template <typename Control>
Control* FindControl(const QWidget& window, const QString& name) {
    const QList<Control*> found = window.findChildren<Control*>(name);
    if (found.size() != 1) {
        throw std::logic_error(std::to_string(found.size()) + " controls named " + name.toStdString() +
                               " of the kind asked for");
    }
    return found.front();
}

// The main window's controls as a user sees them; control arrays carry their index in
// the name ("cboPlanet0").
class MainControls {
public:
    explicit MainControls(const ui::frmMain& window) : window_(window) {}

    QGroupBox* Frame1() const { return Get<QGroupBox>("Frame1"); }
    QGroupBox* Frame2() const { return Get<QGroupBox>("Frame2"); }
    QComboBox* cboPlanet(int i) const { return Get<QComboBox>("cboPlanet", i); }
    QComboBox* cboOrbs(int i) const { return Get<QComboBox>("cboOrbs", i); }
    QComboBox* cboTimezone(int i) const { return Get<QComboBox>("cboTimezone", i); }
    QCheckBox* chkDisplayNATZabbr() const { return Get<QCheckBox>("chkDisplayNATZabbr"); }
    QCheckBox* chkAspectType(int i) const { return Get<QCheckBox>("chkAspectType", i); }
    QPushButton* cmdAll() const { return Get<QPushButton>("cmdAll"); }
    QRadioButton* optGeocentric() const { return Get<QRadioButton>("optGeocentric"); }
    QRadioButton* optHeliocentric() const { return Get<QRadioButton>("optHeliocentric"); }
    QLineEdit* txbYear(int i) const { return Get<QLineEdit>("txbYear", i); }
    QLineEdit* txbMonth(int i) const { return Get<QLineEdit>("txbMonth", i); }
    QLineEdit* txbDay(int i) const { return Get<QLineEdit>("txbDay", i); }
    QLabel* lblDate(int i) const { return Get<QLabel>("lblDate", i); }
    QLabel* lblConstructTransitTables() const { return Get<QLabel>("lblConstructTransitTables"); }
    QPushButton* cmdStart() const { return Get<QPushButton>("cmdStart"); }
    QPushButton* cmdShowAll(int i) const { return Get<QPushButton>("cmdShowAll", i); }
    QCheckBox* chkIncludeTransitDetails() const { return Get<QCheckBox>("chkIncludeTransitDetails"); }
    QPushButton* cmdSimulateInvestment() const { return Get<QPushButton>("cmdSimulateInvestment"); }
    QComboBox* cboSearchAspect() const { return Get<QComboBox>("cboSearchAspect"); }
    QComboBox* cboSearchWhen() const { return Get<QComboBox>("cboSearchWhen"); }
    QCheckBox* chkKeepDates() const { return Get<QCheckBox>("chkKeepDates"); }
    QPushButton* cmdSearch() const { return Get<QPushButton>("cmdSearch"); }
    QPlainTextEdit* txbOutput() const { return Get<QPlainTextEdit>("txbOutput"); }
    QCheckBox* chkAppendToOutput() const { return Get<QCheckBox>("chkAppendToOutput"); }
    QPushButton* cmdFile(int i) const { return Get<QPushButton>("cmdFile", i); }
    QCheckBox* chkOpenOutputFile() const { return Get<QCheckBox>("chkOpenOutputFile"); }
    QPushButton* cmdClearOutput() const { return Get<QPushButton>("cmdClearOutput"); }
    QPushButton* cmdSaveState() const { return Get<QPushButton>("cmdSaveState"); }
    QPushButton* cmdRestoreState() const { return Get<QPushButton>("cmdRestoreState"); }
    QPushButton* cmdHelp() const { return Get<QPushButton>("cmdHelp"); }
    QPushButton* cmdQuit() const { return Get<QPushButton>("cmdQuit"); }
    QLabel* lblNotice() const { return Get<QLabel>("lblNotice"); }

private:
    template <typename Control>
    Control* Get(const char* name) const {
        return FindControl<Control>(window_, QString::fromLatin1(name));
    }
    template <typename Control>
    Control* Get(const char* name, int index) const {
        return FindControl<Control>(window_, QString::fromLatin1(name) + QString::number(index));
    }

    const ui::frmMain& window_;
};

// The shared index history (DJIA_data.txt: date, TAB, close, 0 on holidays) as a CSV of
// daily closes for the backtest and research windows; false without it.
inline bool WriteIndexAsCsv(const std::string& index, const std::string& csvPath) {
    std::ifstream dow(index);
    std::ofstream csv(csvPath);
    csv << "Date,Close\n";
    std::string date;
    double close = 0;
    while (dow >> date >> close)
        if (close > 0) csv << date << "," << close << "\n";
    return dow.eof() && csv.good();
}

struct StartedWindow {
    ScriptedDialogService dialogs;
    ui::frmMain main{dialogs};
    MainControls controls{main};

    StartedWindow() {
        // Pop-ups close at once so that no test waits for a timer or a modal loop.
        kovo::testing::Probe(main).PopUp().SetNonBlocking(true);
        main.StartUp();
        // The start-up may report a missing index price file; tests look at what follows.
        dialogs.ClearRecords();
    }
};

class UiTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        ui::UseRegistryFileForTests(dir_.filePath(QStringLiteral("state.ini")));
    }
    void TearDown() override { ui::UseRegistryFileForTests(QString()); }

    static std::unique_ptr<StartedWindow> Start() { return std::make_unique<StartedWindow>(); }
    std::string TempPath(const char* name) const { return dir_.filePath(QString::fromUtf8(name)).toStdString(); }
    QString StateFile() const { return dir_.filePath(QStringLiteral("state.ini")); }

    static void Settle() {
        for (int i = 0; i < 5; ++i) QApplication::processEvents();
    }

private:
    QTemporaryDir dir_;
};

}  // namespace kovo::testing
