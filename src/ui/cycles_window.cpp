// The cycles window: construction, the fields and the run. The export is in
// cycles_window_export.cpp, the zone list in cycles_window_zone.cpp, the point transits
// in cycles_window_point.cpp, the chart in cycles_window_chart.cpp.
#include "ui/cycles_window.h"

#include <QAction>
#include <QCheckBox>
#include <QSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QThread>
#include <QVBoxLayout>
#include <algorithm>
#include <ctime>

#include "astro/catalogue.h"
#include "calendar/iso_date.h"
#include "ui/points_dialog.h"
#include "ui/qt_text.h"
#include "ui/zone_list.h"

namespace kovo::ui {

namespace {

QString ThisYearDate(const char* monthDay) {
    const std::time_t now = std::time(nullptr);
    return QString::number(std::localtime(&now)->tm_year + 1900) + QString::fromLatin1(monthDay);
}

// A label whose mnemonic moves the focus to `buddy`; rows whose field is a layout need it.
QLabel* BuddyLabel(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

template <typename Control>
Control* Named(Control* control, const char* name) {
    control->setObjectName(QString::fromLatin1(name));
    return control;
}

// A row of several controls, packed to the left.
QHBoxLayout* Row(std::initializer_list<QWidget*> controls) {
    auto* row = new QHBoxLayout();
    for (QWidget* control : controls) row->addWidget(control);
    row->addStretch(1);
    return row;
}

}  // namespace

CyclesWindow::CyclesWindow(DialogService& dialogs, astro::PlutoAvailability pluto, QWidget* parent)
    : QWidget(parent, Qt::Window), dialogs_(dialogs, this), pluto_(std::move(pluto)) {
    setObjectName(QStringLiteral("frmCycles"));
    setWindowTitle(QStringLiteral("KOVO - Cycles"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CreateInputs());
    layout->addLayout(CreateButtonRow());
    layout->addWidget(CreateResults(), 1);
    ConnectEvents();
    CreateShortcuts();
    UpdateEnabled();
    resize(1100, 520);
}

QWidget* CyclesWindow::CreateInputs() {
    auto* panel = new QWidget(this);
    form_ = new QFormLayout(panel);
    form_->setContentsMargins(0, 0, 0, 0);
    form_->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    CreateBodyRows(form_, panel);
    CreatePointRows(form_, panel);
    CreateRangeRows(form_, panel);
    return panel;
}

void CyclesWindow::CreateBodyRows(QFormLayout* form, QWidget* panel) {
    cboBody = Named(new QComboBox(panel), "cboBody");
    for (int planet = 1; planet <= 9; ++planet) cboBody->addItem(ToQ(astro::PlanetName(planet, false, false)), planet);
    // The Moon last: it has ingresses only (it never stations, and is seen from the Earth).
    cboBody->addItem(QStringLiteral("Moon"), astro::PlanetIndex(astro::Body::Moon));
    cboBody->setCurrentIndex(1);
    optGeocentric = Named(new QRadioButton(QStringLiteral("&Geocentric"), panel), "optGeocentric");
    optHeliocentric = Named(new QRadioButton(QStringLiteral("&Heliocentric"), panel), "optHeliocentric");
    optGeocentric->setChecked(true);
    form->addRow(BuddyLabel(QStringLiteral("&Body:"), cboBody, panel), Row({cboBody, optGeocentric, optHeliocentric}));
    cboKind = Named(new QComboBox(panel), "cboKind");
    // The item data is the CycleKind; a further kind of run is one more item.
    cboKind->addItem(QStringLiteral("Stations and retrograde cycles"), static_cast<int>(requests::CycleKind::Stations));
    cboKind->addItem(QStringLiteral("Sign ingresses"), static_cast<int>(requests::CycleKind::Ingresses));
    cboKind->addItem(QStringLiteral("Transits to a point"), kPointKindData);
    cboKind->addItem(QStringLiteral("Lunar phases"), static_cast<int>(requests::CycleKind::Phases));
    cboKind->addItem(QStringLiteral("Eclipses"), static_cast<int>(requests::CycleKind::Eclipses));
    form->addRow(QStringLiteral("&Search for:"), cboKind);
    cboZodiac = Named(new QComboBox(panel), "cboZodiac");
    cboZodiac->addItems({QStringLiteral("Tropical"), QStringLiteral("Sidereal")});
    cboAyanamsa = Named(new QComboBox(panel), "cboAyanamsa");
    cboAyanamsa->addItems({QStringLiteral("Lahiri"), QStringLiteral("Fagan-Bradley"), QStringLiteral("Raman")});
    form->addRow(BuddyLabel(QStringLiteral("&Zodiac:"), cboZodiac, panel),
                 Row({cboZodiac, BuddyLabel(QStringLiteral("&Ayanamsa:"), cboAyanamsa, panel), cboAyanamsa}));
}

void CyclesWindow::CreateRangeRows(QFormLayout* form, QWidget* panel) {
    txtFrom = Named(new QLineEdit(ThisYearDate("-01-01"), panel), "txtFrom");
    txtTo = Named(new QLineEdit(ThisYearDate("-12-31"), panel), "txtTo");
    for (QLineEdit* field : {txtFrom, txtTo}) {
        field->setPlaceholderText(QStringLiteral("YYYY-MM-DD"));
        field->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000-00-00000")));
    }
    form->addRow(BuddyLabel(QStringLiteral("&From:"), txtFrom, panel),
                 Row({txtFrom, BuddyLabel(QStringLiteral("&To:"), txtTo, panel), txtTo}));
    cboZone = Named(new ZoneList(panel), "cboZone");
    FillZones();
    form->addRow(QStringLiteral("Zo&ne:"), cboZone);
}

QLayout* CyclesWindow::CreateButtonRow() {
    auto* row = new QHBoxLayout();
    cmdRun = new QPushButton(QStringLiteral("&Run"), this);
    cmdRun->setObjectName(QStringLiteral("cmdRun"));
    cmdRun->setDefault(true);
    cmdExport = new QPushButton(QStringLiteral("&Export…"), this);
    cmdExport->setObjectName(QStringLiteral("cmdExport"));
    cmdPoints = new QPushButton(QStringLiteral("&Points…"), this);
    cmdPoints->setObjectName(QStringLiteral("cmdPoints"));
    cmdPoints->setToolTip(QStringLiteral("Name points of the zodiac, such as the Sun of a market's first day"));
    cmdChart = new QPushButton(QStringLiteral("&Chart"), this);
    cmdChart->setObjectName(QStringLiteral("cmdChart"));
    cmdChart->setToolTip(QStringLiteral("Draw the shown list as a timeline"));
    cmdCancel = new QPushButton(QStringLiteral("Cance&l"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setToolTip(QStringLiteral("Stop the transit run; it keeps what it found"));
    cmdCancel->setEnabled(false);
    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setWordWrap(true);
    lblStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);
    row->addWidget(cmdRun);
    row->addWidget(cmdExport);
    row->addWidget(cmdChart);
    row->addWidget(cmdPoints);
    row->addWidget(cmdCancel);
    row->addWidget(lblStatus, 1);
    return row;
}

QWidget* CyclesWindow::CreateResults() {
    tblResults = new QTableWidget(0, 0, this);
    tblResults->setObjectName(QStringLiteral("tblResults"));
    tblResults->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblResults->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblResults->verticalHeader()->setVisible(false);
    tblResults->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    return tblResults;
}

void CyclesWindow::ConnectEvents() {
    connect(cmdRun, &QPushButton::clicked, this, &CyclesWindow::RunClicked);
    connect(cmdExport, &QPushButton::clicked, this, &CyclesWindow::ExportClicked);
    connect(cmdPoints, &QPushButton::clicked, this, &CyclesWindow::PointsClicked);
    connect(cmdChart, &QPushButton::clicked, this, &CyclesWindow::ChartClicked);
    connect(cmdCancel, &QPushButton::clicked, this, &CyclesWindow::CancelClicked);
    connect(optHeliocentric, &QRadioButton::toggled, this, [this](bool helio) {
        cboBody->setItemText(0, ToQ(astro::PlanetName(1, helio, false)));
    });
    connect(cboKind, &QComboBox::currentIndexChanged, this, &CyclesWindow::UpdateEnabled);
    connect(cboZodiac, &QComboBox::currentIndexChanged, this, &CyclesWindow::UpdateEnabled);
    connect(cboZone, &QComboBox::activated, this, &CyclesWindow::OnZoneActivated);
}

void CyclesWindow::CreateShortcuts() {
    auto* close = new QAction(this);
    close->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_W), QKeySequence(Qt::Key_Escape)});
    connect(close, &QAction::triggered, this, &QWidget::close);
    addAction(close);
    // The window is no dialog, so its default button does not take Return by itself.
    for (QLineEdit* field : {txtFrom, txtTo}) connect(field, &QLineEdit::returnPressed, this, &CyclesWindow::RunClicked);
    cmdRun->setToolTip(QStringLiteral("Run (Alt+R, or Return in a date field)"));
    std::vector<QWidget*> order{cboBody, optGeocentric, optHeliocentric, cboKind, cboZodiac, cboAyanamsa, cboPoint};
    order.insert(order.end(), chkAspects.begin(), chkAspects.end());
    order.insert(order.end(), spnOrbs.begin(), spnOrbs.end());
    order.insert(order.end(), {txtFrom, txtTo, cboZone, cmdRun, cmdExport, cmdChart, cmdPoints, cmdCancel, tblResults});
    for (std::size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

// Stations are the same in every zodiac, so the zodiac is chosen for ingresses only;
// the point, aspects and orbs are shown for transits to a point only.
void CyclesWindow::UpdateEnabled() {
    const bool ingresses = cboKind->currentData().toInt() == static_cast<int>(requests::CycleKind::Ingresses);
    cboZodiac->setEnabled(ingresses);
    cboAyanamsa->setEnabled(ingresses && cboZodiac->currentIndex() == 1);
    const bool point = PointKind();
    // Phases and eclipses are the Moon's and the Sun's, seen from the Earth.
    const int kind = cboKind->currentData().toInt();
    const bool lunar = !point && requests::IsLunar(static_cast<requests::CycleKind>(kind));
    for (QWidget* body : {static_cast<QWidget*>(cboBody), static_cast<QWidget*>(optGeocentric),
                          static_cast<QWidget*>(optHeliocentric)})
        body->setEnabled(!lunar);
    form_->setRowVisible(cboPoint, point);
    form_->setRowVisible(aspectsRow_, point);
    form_->setRowVisible(orbsRow_, point);
}

std::optional<requests::CyclesForm> CyclesWindow::ReadForm(std::string& problem) const {
    requests::CyclesForm form;
    form.kind = static_cast<requests::CycleKind>(cboKind->currentData().toInt());
    form.body = astro::BodyOfIndex(cboBody->currentData().toInt());
    // The body fields stand aside (disabled) for phases and eclipses.
    form.heliocentric = optHeliocentric->isChecked() && !requests::IsLunar(form.kind);
    static constexpr platform::Zodiac kSidereal[] = {platform::Zodiac::Lahiri, platform::Zodiac::FaganBradley,
                                                    platform::Zodiac::Raman};
    if (form.kind == requests::CycleKind::Ingresses && cboZodiac->currentIndex() == 1)
        form.zodiac = kSidereal[std::clamp(cboAyanamsa->currentIndex(), 0, 2)];
    const auto day = [&problem](const QLineEdit* field, const char* what) -> std::optional<std::int32_t> {
        const auto date = calendar::ParseIsoDate(FromQ(field->text().trimmed()), calendar::IsoDateForm::Relaxed);
        const auto number = date ? calendar::DayNumberOf(*date) : std::nullopt;
        if (!number && problem.empty()) problem = std::string("The ") + what + " date is written YYYY-MM-DD.";
        return number;
    };
    const auto from = day(txtFrom, "start");
    const auto to = day(txtTo, "end");
    const auto zone = Zone();
    if (problem.empty() && !zone) problem = "The zone " + namedZone_ + " cannot be read from the time-zone database.";
    if (!problem.empty()) return std::nullopt;
    form.fromDay = *from;
    form.toDay = *to;
    form.zone = *zone;
    return form;
}

void CyclesWindow::RunClicked() {
    if (Running()) return;
    std::string problem;
    if (PointKind()) {
        const auto form = ReadPointForm(problem);
        if (!form) return Refuse(problem);
        return StartWorker([this, form = *form] { pointOutcome_ = requests::RunPointTransitsForm(form, cancel_); });
    }
    const auto form = ReadForm(problem);
    if (!form) return Refuse(problem);
    StartWorker([this, form = *form] { outcome_ = requests::RunCyclesForm(form); });
}

void CyclesWindow::StartWorker(std::function<void()> work) {
    outcome_.reset();
    pointOutcome_.reset();
    cancel_.Clear();
    worker_ = QThread::create(std::move(work));
    connect(worker_, &QThread::finished, this, &CyclesWindow::RunEnded);
    SetRunning(true);
    worker_->start();
}

void CyclesWindow::CancelClicked() {
    if (Running()) cancel_.Request();
}

void CyclesWindow::RunEnded() {
    worker_->wait();
    worker_->deleteLater();
    worker_ = nullptr;
    SetRunning(false);
    if (pointOutcome_) {
        auto found = std::move(*pointOutcome_);
        pointOutcome_.reset();
        if (found.result.outcome == util::RunOutcome::Refused) return Refuse(found.result.refusal);
        found_.reset();
        pointFound_ = std::move(found);
        return ShowPointFound();
    }
    if (!outcome_) return Refuse("The search ended without a result.");
    auto outcome = std::move(*outcome_);
    outcome_.reset();
    if (const auto* refusal = std::get_if<requests::CyclesRefusal>(&outcome)) return Refuse(refusal->text);
    pointFound_.reset();
    found_ = std::get<requests::CyclesFound>(std::move(outcome));
    ShowFound();
}

void CyclesWindow::SetRunning(bool running) {
    cmdRun->setEnabled(!running);
    cmdExport->setEnabled(!running);
    cmdChart->setEnabled(!running);
    cmdCancel->setEnabled(running && PointKind());
    if (running) {
        ShowStatus(QStringLiteral("Searching…"), false);
        QApplication::setOverrideCursor(Qt::BusyCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void CyclesWindow::WaitForRun() {
    while (Running()) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
}

CyclesWindow::~CyclesWindow() {
    if (worker_ == nullptr) return;
    cancel_.Request();
    worker_->wait();
    QApplication::restoreOverrideCursor();
}

void CyclesWindow::Refuse(const std::string& text) {
    found_.reset();
    pointFound_.reset();
    tblResults->setRowCount(0);
    ShowStatus(ToQ(text), true);
}

void CyclesWindow::ShowTable(const exporting::ExportTable& table) {
    tblResults->clear();
    tblResults->setColumnCount(static_cast<int>(table.columns.size()));
    tblResults->setRowCount(static_cast<int>(table.rows.size()));
    QStringList headings;
    for (const std::string& column : table.columns) headings << ToQ(column);
    tblResults->setHorizontalHeaderLabels(headings);
    for (std::size_t r = 0; r < table.rows.size(); ++r)
        for (std::size_t c = 0; c < table.rows[r].size(); ++c)
            tblResults->setItem(static_cast<int>(r), static_cast<int>(c), new QTableWidgetItem(ToQ(table.rows[r][c].text)));
}

void CyclesWindow::ShowFound() {
    const exporting::ExportTable table = requests::CyclesFoundTable(*found_);
    ShowTable(table);
    QString status = ToQ(found_->CountText());
    // A cycle cut by the range has empty cells; say so, so the count is not misread.
    const auto cut = std::count_if(found_->cycles.begin(), found_->cycles.end(),
                                   [](const cycles::RetrogradeCycle& c) { return c.cutAtStart || c.cutAtEnd; });
    if (cut > 0)
        status += QStringLiteral(" (%1 cut by the range: %2 parts outside it are empty)")
                      .arg(cut)
                      .arg(cut == 1 ? QStringLiteral("its") : QStringLiteral("their"));
    ShowStatus(status + QLatin1Char('.'), false);
}

void CyclesWindow::ShowStatus(const QString& text, bool refusal) {
    lblStatus->setText(text);
    lblStatus->setStyleSheet(refusal ? QStringLiteral("color: #a40000;") : QString());
}

QString CyclesWindow::StatusText() const { return lblStatus->text(); }

void CyclesWindow::PointsClicked() {
    PointsDialog::Edit(this, dialogs_);
    FillPoints();
}

}  // namespace kovo::ui
