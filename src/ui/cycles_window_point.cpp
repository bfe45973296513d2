// The cycles window's transits to a point: the point list (points.json, or a degree
// typed in), the aspects and orbs, the form of the run and the list it found.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>

#include "astro/catalogue.h"
#include "astro/zodiac_degree.h"
#include "calendar/iso_date.h"
#include "export/export_table.h"
#include "points/degree_text.h"
#include "points/points_file.h"
#include "ui/cycles_window.h"
#include "ui/points_dialog.h"
#include "ui/qt_text.h"
#include "ui/zone_list.h"

namespace kovo::ui {

namespace {

constexpr int kDefaultOrbs[] = {10, 5, 2};

QString PointEntry(const points::NamedPoint& point) {
    return ToQ(point.name + " (" + astro::ZodiacDegreeText(point.degree) + ")");
}

}  // namespace

bool CyclesWindow::PointKind() const { return cboKind->currentData().toInt() == kPointKindData; }

void CyclesWindow::CreatePointRows(QFormLayout* form, QWidget* panel) {
    cboPoint = new QComboBox(panel);
    cboPoint->setObjectName(QStringLiteral("cboPoint"));
    cboPoint->setEditable(true);
    // A typed degree is read as it stands; it is not added to the list (Points… does that).
    cboPoint->setInsertPolicy(QComboBox::NoInsert);
    cboPoint->setMinimumContentsLength(28);
    cboPoint->lineEdit()->setPlaceholderText(QStringLiteral("a named point, or 15°30' Taurus, or 45.5"));
    cboPoint->setToolTip(QStringLiteral("A point from points.json (Points… edits them), or a tropical degree"));
    form->addRow(QStringLiteral("P&oint:"), cboPoint);
    auto* aspects = new QHBoxLayout();
    for (std::size_t a = 0; a < chkAspects.size(); ++a) {
        chkAspects[a] = new QCheckBox(ToQ(astro::AspectName[a + 1]), panel);
        chkAspects[a]->setObjectName(QStringLiteral("chkAspect%1").arg(a + 1));
        chkAspects[a]->setChecked(true);
        aspects->addWidget(chkAspects[a]);
    }
    aspects->addStretch(1);
    aspectsRow_ = aspects;
    form->addRow(QStringLiteral("Aspects:"), aspects);
    auto* orbs = new QHBoxLayout();
    for (std::size_t o = 0; o < spnOrbs.size(); ++o) {
        spnOrbs[o] = new QSpinBox(panel);
        spnOrbs[o]->setObjectName(QStringLiteral("spnOrb%1").arg(o + 1));
        spnOrbs[o]->setRange(1, 15);
        spnOrbs[o]->setValue(kDefaultOrbs[o]);
        spnOrbs[o]->setSuffix(QStringLiteral("°"));
        orbs->addWidget(spnOrbs[o]);
    }
    spnOrbs[0]->setToolTip(QStringLiteral("Outer, middle and inner orb, each smaller than the one before"));
    orbs->addStretch(1);
    orbsRow_ = orbs;
    auto* orbsLabel = new QLabel(QStringLiteral("Orbs (o&uter, middle, inner):"), panel);
    orbsLabel->setBuddy(spnOrbs[0]);
    form->addRow(orbsLabel, orbs);
    FillPoints();
}

void CyclesWindow::FillPoints() {
    const QString typed = cboPoint->currentText();
    const points::PointsLoad load = points::LoadPointsFile(PointsFilePath());
    points_ = load.points;
    cboPoint->clear();
    for (const points::NamedPoint& point : points_) cboPoint->addItem(PointEntry(point));
    // Keep what the user had chosen or typed, when it is still there to read.
    cboPoint->setEditText(typed);
    if (!load.problem.empty()) ShowStatus(ToQ(load.problem), true);
}

std::optional<points::NamedPoint> CyclesWindow::ChosenPoint(std::string& problem) const {
    const QString text = cboPoint->currentText().trimmed();
    for (std::size_t i = 0; i < points_.size(); ++i)
        if (text == PointEntry(points_[i]) || text == ToQ(points_[i].name)) return points_[i];
    if (text.isEmpty()) {
        problem = "Choose a point from the list, or type a degree such as 15°30' Taurus or 45.5.";
        return std::nullopt;
    }
    const auto degree = points::ParseDegreeText(FromQ(text));
    if (const auto* why = std::get_if<std::string>(&degree)) {
        problem = "The point: " + *why;
        return std::nullopt;
    }
    const double value = std::get<double>(degree);
    return points::NamedPoint{.name = astro::ZodiacDegreeText(value), .degree = value};
}

std::optional<requests::PointTransitsForm> CyclesWindow::ReadPointForm(std::string& problem) const {
    requests::PointTransitsForm form;
    form.body = astro::BodyOfIndex(cboBody->currentData().toInt());
    if (form.body == astro::Body::Moon) {
        problem = "Transits of the Moon to a point are not available yet: choose the Sun or a planet.";
        return std::nullopt;
    }
    form.heliocentric = optHeliocentric->isChecked();
    form.pluto = pluto_;
    const auto point = ChosenPoint(problem);
    if (!point) return std::nullopt;
    form.point = {.degrees = point->degree, .name = point->name};
    bool any = false;
    for (std::size_t a = 0; a < chkAspects.size(); ++a) any |= form.aspects[a] = chkAspects[a]->isChecked();
    if (!any) {
        problem = "Tick at least one aspect.";
        return std::nullopt;
    }
    for (std::size_t o = 0; o < spnOrbs.size(); ++o) form.orbDegrees[o] = spnOrbs[o]->value();
    const auto date = [&problem](const QLineEdit* field, const char* what) -> std::optional<calendar::IsoDate> {
        const auto parsed = calendar::ParseIsoDate(FromQ(field->text().trimmed()), calendar::IsoDateForm::Relaxed);
        if (!parsed && problem.empty()) problem = std::string("The ") + what + " date is written YYYY-MM-DD.";
        return parsed;
    };
    const auto from = date(txtFrom, "start");
    const auto to = date(txtTo, "end");
    if (!problem.empty()) return std::nullopt;
    form.from = *from;
    form.to = *to;
    const int position = cboZone->currentData().toInt();
    if (position > 0) {
        form.timezonePosition = position;
    } else if (const auto named = platform::NamedTimeZone::Find(namedZone_)) {
        form.namedZone = *named;
    } else {
        problem = "The zone " + namedZone_ + " cannot be read from the time-zone database.";
        return std::nullopt;
    }
    return form;
}

void CyclesWindow::ShowPointFound() {
    const transits::TransitResult& result = pointFound_->result;
    ShowTable(exporting::TransitTable({&result}));
    const std::size_t count = result.periods.size();
    QString status = QStringLiteral("%1 %2 of %3 and %4 in orb.")
                         .arg(count)
                         .arg(count == 1 ? QStringLiteral("period") : QStringLiteral("periods"),
                              ToQ(result.inputs.firstName), ToQ(result.inputs.secondName));
    if (result.outcome == util::RunOutcome::Stopped) status += QStringLiteral(" Stopped: the list ends where the run stopped.");
    ShowStatus(status, false);
}

}  // namespace kovo::ui
