#include "ui/points_dialog.h"

#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "export/cycle_export.h"
#include "points/degree_text.h"
#include "points/points_file.h"
#include "ui/qt_text.h"
#include "ui/registry.h"

namespace kovo::ui {

std::string PointsFilePath() {
    return FromQ(QFileInfo(ToQ(RegistryLocation())).absoluteDir().filePath(QString::fromLatin1(points::kPointsFileName)));
}

void PointsDialog::Edit(QWidget* parent, DialogService& dialogs) {
    points::PointsLoad load = points::LoadPointsFile(PointsFilePath());
    if (!load.problem.empty()) {
        dialogs.ShowMessage({.text = load.problem, .title = "Named points", .icon = util::MessageIcon::Exclamation});
        return;
    }
    PointsDialog dialog(parent, dialogs, std::move(load.points));
    dialog.exec();
}

PointsDialog::PointsDialog(QWidget* parent, DialogService& dialogs, std::vector<points::NamedPoint> points)
    : QDialog(parent), dialogs_(dialogs), points_(std::move(points)) {
    setObjectName(QStringLiteral("dlgPoints"));
    setWindowTitle(QStringLiteral("Named points"));
    CreateControls();
    FillList(points_.empty() ? -1 : 0);
}

void PointsDialog::CreateControls() {
    auto* layout = new QVBoxLayout(this);
    lstPoints = new QListWidget(this);
    lstPoints->setObjectName(QStringLiteral("lstPoints"));
    auto* listLabel = new QLabel(QStringLiteral("&Points (tropical longitudes):"), this);
    listLabel->setBuddy(lstPoints);
    layout->addWidget(listLabel);
    layout->addWidget(lstPoints, 1);
    auto* fields = new QFormLayout();
    txtName = new QLineEdit(this);
    txtName->setObjectName(QStringLiteral("txtName"));
    txtDegree = new QLineEdit(this);
    txtDegree->setObjectName(QStringLiteral("txtDegree"));
    txtDegree->setPlaceholderText(QStringLiteral("45.5 or 15°30' Taurus"));
    fields->addRow(QStringLiteral("&Name:"), txtName);
    fields->addRow(QStringLiteral("&Degree:"), txtDegree);
    layout->addLayout(fields);
    lblProblem = new QLabel(this);
    lblProblem->setObjectName(QStringLiteral("lblProblem"));
    lblProblem->setWordWrap(true);
    layout->addWidget(lblProblem);
    auto* buttons = new QHBoxLayout();
    cmdAdd = new QPushButton(QStringLiteral("&Add"), this);
    cmdChange = new QPushButton(QStringLiteral("C&hange"), this);
    cmdRemove = new QPushButton(QStringLiteral("&Remove"), this);
    cmdSave = new QPushButton(QStringLiteral("&Save"), this);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdSave->setDefault(true);
    for (QPushButton* b : {cmdAdd, cmdChange, cmdRemove}) buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);
    connect(lstPoints, &QListWidget::currentRowChanged, this, &PointsDialog::RowChosen);
    connect(cmdAdd, &QPushButton::clicked, this, &PointsDialog::AddClicked);
    connect(cmdChange, &QPushButton::clicked, this, &PointsDialog::ChangeClicked);
    connect(cmdRemove, &QPushButton::clicked, this, &PointsDialog::RemoveClicked);
    connect(cmdSave, &QPushButton::clicked, this, &PointsDialog::SaveClicked);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    QWidget* const order[] = {lstPoints, txtName, txtDegree, cmdAdd, cmdChange, cmdRemove, cmdSave, cmdCancel};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
    resize(460, 380);
}

void PointsDialog::FillList(int select) {
    lstPoints->clear();
    for (const points::NamedPoint& p : points_)
        lstPoints->addItem(ToQ(p.name) + QStringLiteral("  —  ") + ToQ(exporting::SignText(p.degree)) + QStringLiteral("  (") +
                           QString::number(p.degree, 'g', 12) + QStringLiteral("°)"));
    lstPoints->setCurrentRow(select);
    cmdChange->setEnabled(select >= 0);
    cmdRemove->setEnabled(select >= 0);
}

void PointsDialog::RowChosen(int row) {
    const bool chosen = row >= 0 && row < static_cast<int>(points_.size());
    cmdChange->setEnabled(chosen);
    cmdRemove->setEnabled(chosen);
    if (!chosen) return;
    txtName->setText(ToQ(points_[static_cast<std::size_t>(row)].name));
    txtDegree->setText(QString::number(points_[static_cast<std::size_t>(row)].degree, 'g', 12));
}

std::optional<points::NamedPoint> PointsDialog::ReadFields() {
    points::NamedPoint point{.name = FromQ(txtName->text().trimmed())};
    if (std::string problem = points::NameProblem(point.name); !problem.empty()) {
        Say(ToQ(problem.replace(0, 1, "T")) + QLatin1Char('.'));
        return std::nullopt;
    }
    auto degree = points::ParseDegreeText(FromQ(txtDegree->text()));
    if (const auto* problem = std::get_if<std::string>(&degree)) {
        Say(ToQ(*problem));
        return std::nullopt;
    }
    point.degree = std::get<double>(degree);
    return point;
}

// A list that would break the file's rules (a name used twice) is not taken.
bool PointsDialog::Accept(std::vector<points::NamedPoint> candidate, int select) {
    if (std::string problem = points::PointsProblem(candidate); !problem.empty()) {
        Say(ToQ(problem.substr(problem.find(": ") + 2).replace(0, 1, "T")) + QLatin1Char('.'));
        return false;
    }
    points_ = std::move(candidate);
    FillList(select);
    Say({});
    return true;
}

bool PointsDialog::AddClicked() {
    const auto point = ReadFields();
    if (!point) return false;
    auto candidate = points_;
    candidate.push_back(*point);
    const int last = static_cast<int>(candidate.size()) - 1;
    return Accept(std::move(candidate), last);
}

bool PointsDialog::ChangeClicked() {
    const int row = lstPoints->currentRow();
    if (row < 0 || row >= static_cast<int>(points_.size())) return false;
    const auto point = ReadFields();
    if (!point) return false;
    auto candidate = points_;
    candidate[static_cast<std::size_t>(row)] = *point;
    return Accept(std::move(candidate), row);
}

bool PointsDialog::RemoveClicked() {
    const int row = lstPoints->currentRow();
    if (row < 0 || row >= static_cast<int>(points_.size())) return false;
    points_.erase(points_.begin() + row);
    FillList(std::min(row, static_cast<int>(points_.size()) - 1));
    return true;
}

bool PointsDialog::SaveClicked() {
    if (std::string problem = points::SavePointsFile(PointsFilePath(), points_); !problem.empty()) {
        dialogs_.ShowMessage({.text = problem, .title = "Named points", .icon = util::MessageIcon::Exclamation});
        return false;
    }
    accept();
    return true;
}

void PointsDialog::Say(const QString& text) { lblProblem->setText(text); }

}  // namespace kovo::ui
