// The cycles window's zone list: the main window's 48 fixed entries without its blank
// one, then "Named zone…", which opens the list of the tz database's zones.
#include <QSignalBlocker>

#include "calendar/time_zones.h"
#include "platform/named_time_zone.h"
#include "ui/cycles_window.h"
#include "ui/qt_text.h"
#include "ui/zone_list.h"

namespace kovo::ui {

namespace {
const char* const kNamedZoneEntry = "Named zone\u2026";
}  // namespace

void CyclesWindow::FillZones() {
    const QSignalBlocker blocker(cboZone);
    const std::vector<calendar::TimeZoneEntry> entries = calendar::BuildTimeZoneList(false);
    // Item data: the list position of the main window's list (1..47).
    for (std::size_t p = 1; p < entries.size(); ++p) cboZone->addItem(ToQ(entries[p].text), static_cast<int>(p));
    cboZone->addItem(QString::fromUtf8(kNamedZoneEntry), 0);
    cboZone->setCurrentIndex(cboZone->findData(calendar::kGmtPosition));
    zoneBeforeNamed_ = cboZone->currentIndex();
}

void CyclesWindow::OnZoneActivated(int index) {
    if (index != cboZone->count() - 1) {
        zoneBeforeNamed_ = index;
        return;
    }
    const std::vector<std::string> names = platform::NamedTimeZoneNames();
    std::string chosen;
    if (names.empty()) {
        dialogs_.ShowMessage({.text = "The time-zone database could not be read, so no named zone can be chosen.",
                              .title = "Named zone",
                              .icon = util::MessageIcon::Exclamation});
    } else {
        chosen = dialogs_.ChooseNamedZone(names, namedZone_.empty() ? platform::SystemTimeZoneName() : namedZone_);
    }
    const platform::NamedTimeZoneLoad load = chosen.empty() ? platform::NamedTimeZoneLoad{} : platform::NamedTimeZone::Load(chosen);
    if (!chosen.empty() && !load.zone)
        dialogs_.ShowMessage({.text = "The zone " + chosen + " cannot be used: " + load.problem + ".",
                              .title = "Named zone",
                              .icon = util::MessageIcon::Exclamation});
    const QSignalBlocker blocker(cboZone);
    if (load.zone) {
        namedZone_ = chosen;
        cboZone->setItemText(index, ToQ(chosen));
    } else if (namedZone_.empty()) {
        // Nothing chosen and nothing before: back to the entry the user came from.
        cboZone->setCurrentIndex(zoneBeforeNamed_);
    }
}

std::optional<calendar::ReportZone> CyclesWindow::Zone() const {
    const int position = cboZone->currentData().toInt();
    if (position > 0)
        return calendar::ReportZone::Fixed(calendar::TimeZoneOffsetMinutes(position), calendar::TimeZoneText(position, false));
    if (const auto named = platform::NamedTimeZone::Find(namedZone_)) return calendar::ReportZone::Named(*named);
    return std::nullopt;
}

}  // namespace kovo::ui
