// frmMain saved state: the window's inputs written to and read back from the user's
// store, in fixed orders. Every restored value goes through the control, so that its
// change action runs (captions, "Sun"/"Earth", the time-zone list).
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <optional>

#include "ui/main_window.h"
#include "ui/qt_text.h"
#include "ui/registry.h"
#include "util/text.h"

namespace kovo::ui {

namespace {

const std::string kKey = "\\KOVO";

std::string Key(const char* sub) { return kKey + "\\" + sub; }

int CheckValue(const QCheckBox* box) {
    switch (box->checkState()) {
        case Qt::Checked: return 1;
        case Qt::PartiallyChecked: return 2;
        case Qt::Unchecked: break;
    }
    return 0;
}

// A stored number: its leading numeric part rounded half to even; "" reads as 0.
// Text with no number at its start is damaged and gives nothing.
std::optional<int> StoredNumber(const std::string& text) {
    if (text.empty()) return 0;
    std::size_t i = text.find_first_not_of(' ');
    if (i != std::string::npos && (text[i] == '-' || text[i] == '+')) ++i;
    if (i != std::string::npos && i < text.size() && text[i] == '.') ++i;
    if (i == std::string::npos || i >= text.size() || text[i] < '0' || text[i] > '9') return std::nullopt;
    return util::ClampedWholeNumber(text);
}

std::string Read(const std::string& subKey, const std::string& name, const std::string& defaultText) {
    std::string text;
    ReadRegistryText(subKey, name, text, defaultText);
    return text;
}

// A position outside the list is ignored: the list keeps its selection.
void RestoreListPosition(QComboBox* list, const std::string& text) {
    const std::optional<int> position = StoredNumber(text);
    if (position && *position >= 0 && *position < list->count()) list->setCurrentIndex(*position);
}

void RestoreCheckValue(QCheckBox* box, const std::string& text, int highest) {
    const std::optional<int> value = StoredNumber(text);
    if (!value || *value < 0 || *value > highest) return;
    box->setCheckState(*value == 2 ? Qt::PartiallyChecked : *value == 1 ? Qt::Checked : Qt::Unchecked);
}

}  // namespace

bool frmMain::SaveState() {
    // The save runs through its whole sequence even after a failed write, but a state
    // that did not reach the store is not a saved state: the user hears why, and the
    // next quit asks again.
    std::string failure;
    const auto write = [&failure](const std::string& subKey, const std::string& name, const std::string& text) {
        if (!WriteRegistryText(subKey, name, text) && failure.empty()) failure = LastRegistryWriteError();
    };
    for (std::size_t i = 0; i < 2; ++i) {
        const std::string n = std::to_string(i);
        write(Key("Year"), n, FromQ(txbYear[i]->text()));
        write(Key("Month"), n, FromQ(txbMonth[i]->text()));
        write(Key("Day"), n, FromQ(txbDay[i]->text()));
        write(Key("PlanetLI"), n, std::to_string(cboPlanet[i]->currentIndex()));
    }
    for (std::size_t i = 0; i < 4; ++i)
        write(Key("OrbsLI"), std::to_string(i), std::to_string(cboOrbs[i]->currentIndex()));
    write(kKey, "Geocentric", optGeocentric->isChecked() ? "Y" : "N");
    write(kKey, "TZ0", std::to_string(cboTimezone[0]->currentIndex()));
    write(kKey, "TZName", namedZone_);
    write(kKey, "NATZ", std::to_string(CheckValue(chkDisplayNATZabbr)));
    write(kKey, "Stop", FromQ(txbStopDate->text()));
    write(kKey, "SrchAsp", std::to_string(cboSearchAspect->currentIndex()));
    write(kKey, "SrchWhn", std::to_string(cboSearchWhen->currentIndex()));
    write(kKey, "StateSaved", "Y");
    for (std::size_t i = 0; i < 7; ++i)
        write(Key("ShowAspect"), std::to_string(i), std::to_string(CheckValue(chkAspectType[i])));
    write(kKey, "InnerOuter0", std::to_string(cboPlanet[0]->currentIndex()));
    write(kKey, "InnerOuter1", std::to_string(cboPlanet[1]->currentIndex()));
    write(kKey, "ITD", std::to_string(CheckValue(chkIncludeTransitDetails)));
    if (!failure.empty()) {
        recentlySaved_ = false;
        ShowMessage({.text = "The program state could not be saved in " + RegistryLocation() + "\r\n" + failure,
                     .title = FromQ(cmdSaveState->text()),
                     .icon = util::MessageIcon::Exclamation});
        return false;
    }
    recentlySaved_ = true;
    recentlySavedTicks_ = 0;
    return true;
}

bool frmMain::RestoreState() {
    std::string saved;
    if (!ReadRegistryText(kKey, "StateSaved", saved, "")) return false;
    RestorePlanetsAndOrbs();
    RestoreOptions();
    RestoreSearchAndAspects();
    RestoreListPosition(cboPlanet[0], Read(kKey, "InnerOuter0", ""));
    RestoreListPosition(cboPlanet[1], Read(kKey, "InnerOuter1", ""));
    const std::string geocentric = Read(kKey, "Geocentric", "Y");
    // Only "Y" and "N" are written; anything else is damaged and changes nothing.
    if (geocentric == "Y") optGeocentric->setChecked(true);
    else if (geocentric == "N") optHeliocentric->setChecked(true);
    RestoreCheckValue(chkIncludeTransitDetails, Read(kKey, "ITD", "1"), 1);
    recentlySaved_ = true;
    recentlySavedTicks_ = 0;
    return true;
}

void frmMain::RestorePlanetsAndOrbs() {
    for (std::size_t i = 0; i < 2; ++i) {
        const std::string n = std::to_string(i);
        txbYear[i]->setText(ToQ(Read(Key("Year"), n, "")));
        txbMonth[i]->setText(ToQ(Read(Key("Month"), n, "")));
        txbDay[i]->setText(ToQ(Read(Key("Day"), n, "")));
        RestoreListPosition(cboPlanet[i], Read(Key("PlanetLI"), n, n));
    }
    static const char* const orbDefaults[] = {"9", "4", "1", "4"};
    for (std::size_t i = 0; i < 4; ++i)
        RestoreListPosition(cboOrbs[i], Read(Key("OrbsLI"), std::to_string(i), orbDefaults[i]));
}

void frmMain::RestoreOptions() {
    RestoreCheckValue(chkDisplayNATZabbr, Read(kKey, "NATZ", "1"), 2);
    RestoreNamedZone(Read(kKey, "TZName", ""));
    RestoreListPosition(cboTimezone[0], Read(kKey, "TZ0", "24"));
    // The named entry without a zone the database knows: GMT, as for a damaged value.
    if (TimeZonePosition() == calendar::kTimeZoneCount && namedZone_.empty()) SetTimeZonePosition(calendar::kGmtPosition);
    strStopDate_ = Read(kKey, "Stop", "");
}

void frmMain::RestoreSearchAndAspects() {
    RestoreListPosition(cboSearchAspect, Read(kKey, "SrchAsp", "0"));
    RestoreListPosition(cboSearchWhen, Read(kKey, "SrchWhn", "0"));
    for (std::size_t i = 0; i < 7; ++i)
        RestoreCheckValue(chkAspectType[i], Read(Key("ShowAspect"), std::to_string(i), ""), 1);
}

}  // namespace kovo::ui
