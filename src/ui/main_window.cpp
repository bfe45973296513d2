// frmMain window procedures shared by the runs, the start-up and the saved state:
// captions, enabling, fonts and colours, the time-zone list and the readers of inputs.
#include "ui/main_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

#include "calendar/time_zones.h"
#include "ui/qt_text.h"

namespace kovo::ui {

namespace {

template <typename Widget>
void SetFamily(Widget* widget, const QString& name) {
    QFont font = widget->font();
    font.setFamily(name);
    widget->setFont(font);
}

template <typename Widget>
void SetPointSize(Widget* widget, int size) {
    QFont font = widget->font();
    font.setPointSize(size);
    widget->setFont(font);
}

void SetWindowColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
}

}  // namespace

void frmMain::RefreshRunCaptions(bool captionOnly) {
    const QString first = cboPlanet[0]->currentText();
    const QString second = cboPlanet[1]->currentText();
    cmdStart->setText(first + QStringLiteral(" and ") + second);
    savedRunCaption_ = FromQ(cmdStart->text());
    if (captionOnly) return;
    cmdShowAll[0]->setText(first + QStringLiteral(" and the other planets."));
    cmdShowAll[1]->setText(second + QStringLiteral(" and the other planets."));
}

void frmMain::SetControlsEnabled(bool enabled, bool includeFrames, bool includeTextFields, bool includeLabels) {
    for (QPushButton* w : buttons_)
        if (w != cmdChart && w != cmdExport && w != cmdBacktest) w->setEnabled(enabled);
    for (QCheckBox* w : checkBoxes_) w->setEnabled(enabled);
    for (QRadioButton* w : optionButtons_) w->setEnabled(enabled);
    for (QComboBox* w : lists_) w->setEnabled(enabled);
    if (includeFrames)
        for (QGroupBox* w : frames_) w->setEnabled(enabled);
    if (includeTextFields)
        for (QWidget* w : textFields_) w->setEnabled(enabled);
    if (includeLabels)
        for (QLabel* w : labels_) w->setEnabled(enabled);
    update();
}

void frmMain::SetFontNameAll(const QString& name, bool includeTextFields, bool includeButtons) {
    for (QGroupBox* w : frames_) SetFamily(w, name);
    for (QCheckBox* w : checkBoxes_) SetFamily(w, name);
    for (QLabel* w : labels_) SetFamily(w, name);
    for (QRadioButton* w : optionButtons_) SetFamily(w, name);
    for (QComboBox* w : lists_) SetFamily(w, name);
    if (includeTextFields)
        for (QWidget* w : textFields_) SetFamily(w, name);
    if (includeButtons)
        for (QPushButton* w : buttons_) SetFamily(w, name);
}

void frmMain::SetFontSizeAll(int size) {
    for (QLabel* w : labels_) SetPointSize(w, size);
    for (QPushButton* w : buttons_) SetPointSize(w, size);
    for (QCheckBox* w : checkBoxes_) SetPointSize(w, size);
    for (QWidget* w : textFields_) SetPointSize(w, size);
    for (QRadioButton* w : optionButtons_) SetPointSize(w, size);
    for (QComboBox* w : lists_) SetPointSize(w, size);
}

void frmMain::SetBackColorAll(long colour) {
    const QColor qColour(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                         static_cast<int>((colour >> 16) & 0xFF));
    SetWindowColour(this, qColour);
    setAutoFillBackground(true);
    for (QCheckBox* w : checkBoxes_) SetWindowColour(w, qColour);
    for (QLabel* w : labels_) SetWindowColour(w, qColour);
    for (QGroupBox* w : frames_) SetWindowColour(w, qColour);
    for (QRadioButton* w : optionButtons_) SetWindowColour(w, qColour);
}

void frmMain::SetUpTimezoneComboBoxes(bool blnPreserveIndices) {
    // The fixed entries follow their own rules; a selected named zone stays selected.
    const bool namedSelected = cboTimezone[0]->currentIndex() == calendar::kTimeZoneCount;
    const calendar::TimeZoneListState state = calendar::SetUpTimezoneList(
        blnPreserveIndices, namedSelected ? positionBeforeNamed_ : cboTimezone[0]->currentIndex(),
        chkDisplayNATZabbr->checkState() == Qt::Checked, blnStartUpCompleted);
    savedTimezoneIndex_ = state.savedIndex;
    const QSignalBlocker blocker(cboTimezone[0]);
    cboTimezone[0]->clear();
    for (const calendar::TimeZoneEntry& entry : state.entries) cboTimezone[0]->addItem(ToQ(entry.text), entry.itemData);
    AddNamedZoneEntry();
    cboTimezone[0]->setCurrentIndex(namedSelected && blnPreserveIndices ? calendar::kTimeZoneCount : state.selectedIndex);
}

void frmMain::KeepSimulationOffWhenGeocentric() {
    if (!optGeocentric->isChecked()) return;
    cmdSimulateInvestment->setEnabled(false);
    chkIncludeTransitDetails->setEnabled(false);
}

// ---- what the runs read -------------------------------------------------------

int frmMain::PlanetPosition(int index) const { return cboPlanet[static_cast<std::size_t>(index)]->currentIndex(); }
int frmMain::FirstPlanet() const { return PlanetPosition(0) + 1; }
int frmMain::SecondPlanet() const { return PlanetPosition(1) + 2; }
int frmMain::OrbPosition(int index) const { return cboOrbs[static_cast<std::size_t>(index)]->currentIndex(); }
int frmMain::OrbDegrees(int index) const { return OrbPosition(index) + (index == 3 ? 3 : 1); }
bool frmMain::AspectChecked(int aspectIndex0) const {
    return chkAspectType[static_cast<std::size_t>(aspectIndex0)]->isChecked();
}
bool frmMain::IsHeliocentric() const { return optHeliocentric->isChecked(); }
int frmMain::TimeZonePosition() const { return cboTimezone[0]->currentIndex(); }
void frmMain::SetTimeZonePosition(int position) { cboTimezone[0]->setCurrentIndex(position); }
std::string frmMain::TimeZoneText() const { return FromQ(cboTimezone[0]->currentText()); }
int frmMain::SearchAspect() const { return cboSearchAspect->currentIndex() + 1; }
int frmMain::SearchWhen() const { return cboSearchWhen->currentIndex(); }
bool frmMain::KeepDates() const { return chkKeepDates->isChecked(); }
bool frmMain::IncludeTransitDetails() const { return chkIncludeTransitDetails->isChecked(); }

}  // namespace kovo::ui
