// frmMain start-up: the load sequence, in its fixed order.
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTimer>

#include "astro/catalogue.h"
#include "astro/pluto.h"
#include "calendar/calendar_services.h"
#include "calendar/time_zones.h"
#include "ui/main_window.h"
#include "ui/pop_up.h"
#include "ui/qt_text.h"
#include "ui/twips.h"
#include "util/text.h"

namespace kovo::ui {

void frmMain::StartUp() {
    blnStartUpCompleted = false;
    // The output area's top follows Frame3: placed with the layout (FitWidthAroundOutput).
    SetStartUpDefaults();
    FillLists();
    SetUpTimezoneComboBoxes(false);
    OnAllClicked();
    RestoreState();
    YearLostFocus(0);
    YearLostFocus(1);
    ApplyLook();
    if (TimeZonePosition() < 0) SetTimeZonePosition(calendar::StartUpTimeZonePosition(calendar::LocalTimeZoneMinutes()));
    chkKeepDates->setChecked(true);
    MonthDayLostFocus(1);
    for (QComboBox* list : {cboSearchAspect, cboSearchWhen}) list->setCurrentIndex(std::max(0, list->currentIndex()));
    RefreshRunCaptions(false);
    FitWidthAroundOutput();
    ApplyResizeRules();
    blnStartUpCompleted = true;
    show();
    Timer1->start();
    cmdClearOutput->hide();
    SetControlsEnabled(false, false, false, true);
    LoadPlutoData();
    SetControlsEnabled(true, false, false, true);
    KeepSimulationOffWhenGeocentric();
    RefreshResultControls();
    LoadIndexPrices();
    cmdStart->setFocus();
}

void frmMain::SetStartUpDefaults() {
    const std::string year = std::to_string(QDate::currentDate().year());
    for (std::size_t i = 0; i < 2; ++i) {
        txbYear[i]->setText(ToQ(year));
        txbMonth[i]->setText(i == 0 ? QStringLiteral("1") : QStringLiteral("12"));
        txbDay[i]->setText(i == 0 ? QStringLiteral("1") : QStringLiteral("31"));
    }
    ClearOutput();
    FitWidthAroundOutput();
    cmdFile[0]->setEnabled(false);
    optGeocentric->setChecked(true);
}

void frmMain::FillLists() {
    const bool heliocentric = IsHeliocentric();
    for (std::size_t i = 0; i < 2; ++i) {
        const QSignalBlocker blocker(cboPlanet[i]);
        cboPlanet[i]->clear();
        // The first list holds planet indexes 1..8, the second 2..9.
        const int first = static_cast<int>(i) + 1;
        for (int planet = first; planet < first + 8; ++planet)
            cboPlanet[i]->addItem(ToQ(astro::PlanetName(planet, heliocentric, false)));
        cboPlanet[i]->setCurrentIndex(3);
    }
    static constexpr int kOrbDefaults[] = {9, 4, 1, 3};
    for (std::size_t i = 0; i < 4; ++i) {
        const QSignalBlocker blocker(cboOrbs[i]);
        cboOrbs[i]->clear();
        for (int degrees = i == 3 ? 3 : 1; degrees <= 15; ++degrees)
            cboOrbs[i]->addItem(QString::number(degrees) + QStringLiteral("°"));
        cboOrbs[i]->setCurrentIndex(kOrbDefaults[i]);
    }
    cboSearchAspect->clear();
    for (int aspect = 1; aspect <= astro::kAspectCount; ++aspect)
        cboSearchAspect->addItem(ToQ(util::ToLower(astro::AspectName[static_cast<std::size_t>(aspect)])));
    cboSearchWhen->clear();
    cboSearchWhen->addItem(QStringLiteral("on or after start date"));
    cboSearchWhen->addItem(QStringLiteral("on or after end date"));
    cboSearchWhen->setCurrentIndex(0);
}

void frmMain::ApplyLook() {
    SetBackColorAll(kBackColour);
    SetFontNameAll(QStringLiteral("Arial"), true, true);
    SetFontSizeAll(10);
    // The report's columns line up only in a fixed-pitch font, whatever is installed.
    QFont output(QStringLiteral("Courier New"), 8);
    output.setStyleHint(QFont::TypeWriter);
    output.setFixedPitch(true);
    txbOutput->setFont(output);
}

void frmMain::LoadPlutoData(const std::string& folder) {
    const int top = PixelsToTwips(chkAppendToOutput->mapTo(this, QPoint(0, 0)).y(), this, Axis::Y) + 500;
    const int left = PixelsToTwips(cmdStart->mapTo(this, QPoint(0, 0)).x(), this, Axis::X) + 100;
    astro::PlutoLoadResult result;
    popUp_->PopUpInForm(this, QStringLiteral("Loading Pluto data ..."), 2880, 300, 2000, top, left,
                        [&result, &folder] { result = astro::LoadPlutoFiles(folder); });
    if (!result.message.empty()) {
        dialogs_.ShowMessage(
            {.text = result.message, .title = "Read Pluto Data", .icon = util::MessageIcon::Exclamation});
    }
    pluto_ = {.available = result.ok, .reason = result.reason};
}

void frmMain::LoadIndexPrices() {
    if (std::optional<util::Message> message = indexPrices_.Load())
        dialogs_.ShowMessage(simulation::ExplainIndexFileError(*message, simulation::kIndexFileName));
}

}  // namespace kovo::ui
