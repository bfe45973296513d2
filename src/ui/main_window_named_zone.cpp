// The time-zone list's last entry, "Named zone…": a zone of the tz database whose offset
// follows daylight saving, beside the 48 fixed entries, which stay as they are.
#include <cctype>

#include <QComboBox>

#include "platform/named_time_zone.h"
#include "ui/main_window.h"
#include "ui/qt_text.h"

namespace kovo::ui {

namespace {
constexpr int kNamedZonePosition = calendar::kTimeZoneCount;
constexpr const char* kNamedZoneEntry = "Named zone\u2026";
}  // namespace

void frmMain::AddNamedZoneEntry() {
    const QSignalBlocker blocker(cboTimezone[0]);
    const QString text = namedZone_.empty() ? QString::fromUtf8(kNamedZoneEntry) : ToQ(namedZone_);
    if (cboTimezone[0]->count() > kNamedZonePosition) {
        cboTimezone[0]->setItemText(kNamedZonePosition, text);
    } else {
        cboTimezone[0]->addItem(text, 0);
    }
    cboTimezone[0]->setItemData(kNamedZonePosition, QStringLiteral("Times in a zone of the tz database, with its daylight saving"),
                                Qt::ToolTipRole);
}

void frmMain::OnNamedZoneActivated(int index) {
    if (index != kNamedZonePosition) {
        positionBeforeNamed_ = index;
        return;
    }
    ChooseNamedZone();
}

void frmMain::ChooseNamedZone() {
    const std::vector<std::string> names = platform::NamedTimeZoneNames();
    std::string chosen;
    if (names.empty()) {
        dialogs_.ShowMessage({.text = "The time-zone database could not be read, so no named zone can be chosen.",
                              .title = "Named zone",
                              .icon = util::MessageIcon::Exclamation});
    } else {
        const std::string start = namedZone_.empty() ? platform::SystemTimeZoneName() : namedZone_;
        chosen = dialogs_.ChooseNamedZone(names, start);
    }
    const platform::NamedTimeZoneLoad load = chosen.empty() ? platform::NamedTimeZoneLoad{} : platform::NamedTimeZone::Load(chosen);
    if (!chosen.empty() && !load.zone) ShowZoneProblem(load.problem);
    if (load.zone) {
        namedZone_ = chosen;
        AddNamedZoneEntry();
        SetTimeZonePosition(kNamedZonePosition);
    } else if (namedZone_.empty()) {
        // Nothing chosen and nothing before: back to the entry the user came from.
        SetTimeZonePosition(positionBeforeNamed_);
    }
}

// A zone saved by an earlier session, if the database still knows it; older saved states
// have none and keep their fixed entry. A zone the database cannot give any more is said,
// with the reason, rather than dropped in silence.
void frmMain::RestoreNamedZone(const std::string& saved) {
    const platform::NamedTimeZoneLoad load = platform::NamedTimeZone::Load(saved);
    namedZone_ = load.zone ? saved : std::string();
    if (!saved.empty() && !load.zone && load.failure != platform::NamedTimeZoneLoad::Failure::UnknownName)
        ShowZoneProblem(load.problem);
    AddNamedZoneEntry();
}

void frmMain::ShowZoneProblem(const std::string& problem) {
    std::string text = problem;
    if (!text.empty()) text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    dialogs_.ShowMessage({.text = text + ".", .title = "Named zone", .icon = util::MessageIcon::Exclamation});
}

}  // namespace kovo::ui
