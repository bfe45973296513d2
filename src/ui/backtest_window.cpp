// The backtest window: construction, the run and the results. Exports are in
// backtest_window_export.cpp, the charts in backtest_charts.cpp.
#include "ui/backtest_window.h"

#include <QAction>
#include <QApplication>
#include <QChartView>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "astro/catalogue.h"
#include "backtest/backtest_table.h"
#include "calendar/calendar_services.h"
#include "calendar/iso_date.h"
#include "calendar/time_zones.h"
#include "ui/backtest_charts.h"
#include "ui/qt_text.h"
#include "ui/shortcut_text.h"

namespace kovo::ui {

namespace {

// A table cell that sorts by its number, not its text; "-" sorts below every number.
class NumberItem : public QTableWidgetItem {
public:
    NumberItem(const QString& text, std::optional<double> value) : QTableWidgetItem(text) {
        setData(Qt::UserRole, value ? QVariant(*value) : QVariant());
        setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    bool operator<(const QTableWidgetItem& other) const override {
        const QVariant a = data(Qt::UserRole);
        const QVariant b = other.data(Qt::UserRole);
        if (!a.isValid() || !b.isValid()) return !a.isValid() && b.isValid();
        return a.toDouble() < b.toDouble();
    }
};

QString Percent(std::optional<double> fraction) {
    return fraction ? QString::number(*fraction * 100.0, 'f', 2) : QStringLiteral("-");
}

NumberItem* PercentItem(std::optional<double> fraction) { return new NumberItem(Percent(fraction), fraction); }

NumberItem* CountItem(int count) { return new NumberItem(QString::number(count), static_cast<double>(count)); }

std::optional<std::int32_t> IsoDay(const QString& text) {
    return calendar::IsoDayNumber(FromQ(text.trimmed()));
}

}  // namespace

BacktestWindow::BacktestWindow(DialogService& dialogs, astro::PlutoAvailability pluto, QWidget* parent)
    : QWidget(parent, Qt::Window), dialogs_(dialogs, this), pluto_(std::move(pluto)) {
    setObjectName(QStringLiteral("frmBacktest"));
    setWindowTitle(QStringLiteral("KOVO - Backtest"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CreateInputs());
    layout->addLayout(CreateRunRow());
    layout->addWidget(CreateResults(), 1);
    ConnectEvents();
    CreateShortcuts();
    SetInputs(BacktestInputs{});
    SetRunning(false);
    resize(1100, 800);
}

// The worker's own destructor stops the run and waits for its thread.
BacktestWindow::~BacktestWindow() = default;

QWidget* BacktestWindow::CreateInputs() {
    auto* box = new QGroupBox(QStringLiteral("Backtest"), this);
    auto* grid = new QGridLayout(box);
    txtPrices = new QLineEdit(box);
    txtPrices->setObjectName(QStringLiteral("txtPrices"));
    txtPrices->setPlaceholderText(QStringLiteral("CSV of daily closes: Date and Close, Adj Close, Value or DJIA"));
    cmdBrowse = new QPushButton(QStringLiteral("Browse…"), box);
    cmdBrowse->setObjectName(QStringLiteral("cmdBrowse"));
    auto* pricesLabel = new QLabel(QStringLiteral("&Prices"), box);
    pricesLabel->setBuddy(txtPrices);
    grid->addWidget(pricesLabel, 0, 0);
    grid->addWidget(txtPrices, 0, 1, 1, 5);
    grid->addWidget(cmdBrowse, 0, 6);

    cboFirst = new QComboBox(box);
    cboFirst->setObjectName(QStringLiteral("cboFirst"));
    cboSecond = new QComboBox(box);
    cboSecond->setObjectName(QStringLiteral("cboSecond"));
    chkHeliocentric = new QCheckBox(QStringLiteral("&Heliocentric"), box);
    chkHeliocentric->setObjectName(QStringLiteral("chkHeliocentric"));
    grid->addWidget(new QLabel(QStringLiteral("Pair"), box), 1, 0);
    grid->addWidget(cboFirst, 1, 1);
    grid->addWidget(cboSecond, 1, 2);
    grid->addWidget(chkHeliocentric, 1, 3);

    auto* aspects = new QHBoxLayout();
    for (std::size_t a = 0; a < 7; ++a) {
        chkAspect[a] = new QCheckBox(ToQ(astro::AspectName[a + 1]), box);
        chkAspect[a]->setObjectName(QStringLiteral("chkAspect%1").arg(a));
        aspects->addWidget(chkAspect[a]);
    }
    aspects->addStretch(1);
    grid->addWidget(new QLabel(QStringLiteral("Aspects"), box), 2, 0);
    grid->addLayout(aspects, 2, 1, 1, 6);

    auto* orbs = new QHBoxLayout();
    for (std::size_t i = 0; i < 3; ++i) {
        spnOrb[i] = new QSpinBox(box);
        spnOrb[i]->setObjectName(QStringLiteral("spnOrb%1").arg(i));
        spnOrb[i]->setRange(1, 15);
        spnOrb[i]->setSuffix(QStringLiteral("°"));
        orbs->addWidget(spnOrb[i]);
    }
    grid->addWidget(new QLabel(QStringLiteral("Orbs (outer, middle, inner)"), box), 3, 0);
    grid->addLayout(orbs, 3, 1, 1, 2);
    cboSide = new QComboBox(box);
    cboSide->setObjectName(QStringLiteral("cboSide"));
    cboSide->addItems({QStringLiteral("Long while in orb"), QStringLiteral("Short while in orb")});
    grid->addWidget(cboSide, 3, 3);

    txtFrom = new QLineEdit(box);
    txtFrom->setObjectName(QStringLiteral("txtFrom"));
    txtTo = new QLineEdit(box);
    txtTo->setObjectName(QStringLiteral("txtTo"));
    for (QLineEdit* date : {txtFrom, txtTo}) {
        date->setPlaceholderText(QStringLiteral("YYYY-MM-DD"));
        date->setToolTip(QStringLiteral("Empty: the file's first or last close"));
    }
    grid->addWidget(new QLabel(QStringLiteral("From"), box), 4, 0);
    grid->addWidget(txtFrom, 4, 1);
    grid->addWidget(new QLabel(QStringLiteral("To"), box), 4, 2, Qt::AlignRight);
    grid->addWidget(txtTo, 4, 3);
    grid->setColumnStretch(5, 1);
    return box;
}

QLayout* BacktestWindow::CreateRunRow() {
    auto* row = new QHBoxLayout();
    cmdRun = new QPushButton(QStringLiteral("&Run backtest"), this);
    cmdRun->setObjectName(QStringLiteral("cmdRun"));
    cmdRun->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    barProgress = new QProgressBar(this);
    barProgress->setObjectName(QStringLiteral("barProgress"));
    barProgress->setRange(0, 1000);
    barProgress->setTextVisible(false);
    lblSummary = new QLabel(this);
    lblSummary->setObjectName(QStringLiteral("lblSummary"));
    row->addWidget(cmdRun);
    row->addWidget(cmdCancel);
    row->addWidget(barProgress, 1);
    row->addWidget(lblSummary, 2);
    return row;
}

QWidget* BacktestWindow::CreateResults() {
    auto* panel = new QWidget(this);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* choose = new QHBoxLayout();
    cboStrategy = new QComboBox(panel);
    cboStrategy->setObjectName(QStringLiteral("cboStrategy"));
    cboStrategy->setMinimumContentsLength(18);
    cmdExportTable = new QPushButton(QStringLiteral("Export table…"), panel);
    cmdExportTable->setObjectName(QStringLiteral("cmdExportTable"));
    cmdSavePriceChart = new QPushButton(QStringLiteral("Save price chart…"), panel);
    cmdSavePriceChart->setObjectName(QStringLiteral("cmdSavePriceChart"));
    cmdSaveEquityChart = new QPushButton(QStringLiteral("Save equity chart…"), panel);
    cmdSaveEquityChart->setObjectName(QStringLiteral("cmdSaveEquityChart"));
    choose->addWidget(new QLabel(QStringLiteral("Charts show"), panel));
    choose->addWidget(cboStrategy);
    choose->addStretch(1);
    for (QPushButton* b : {cmdExportTable, cmdSavePriceChart, cmdSaveEquityChart}) choose->addWidget(b);
    layout->addLayout(choose);

    charts_ = new BacktestCharts(panel);
    auto* chartTabs = new QTabWidget(panel);
    chartTabs->addTab(charts_->PriceView(), QStringLiteral("Prices"));
    chartTabs->addTab(charts_->EquityView(), QStringLiteral("Equity"));

    tblStatistics = new QTableWidget(0, static_cast<int>(std::size(backtest::kStatisticsColumns)), panel);
    tblStatistics->setObjectName(QStringLiteral("tblStatistics"));
    QStringList headers;
    for (const char* column : backtest::kStatisticsColumns) headers << QString::fromUtf8(column);
    tblStatistics->setHorizontalHeaderLabels(headers);
    tblEvents = new QTableWidget(0, 11, panel);
    tblEvents->setObjectName(QStringLiteral("tblEvents"));
    tblEvents->setHorizontalHeaderLabels({QStringLiteral("Aspect"), QStringLiteral("Events"), QStringLiteral("+1 n"),
                                          QStringLiteral("+1 mean %"), QStringLiteral("+1 median %"),
                                          QStringLiteral("+5 n"), QStringLiteral("+5 mean %"),
                                          QStringLiteral("+5 median %"), QStringLiteral("+20 n"),
                                          QStringLiteral("+20 mean %"), QStringLiteral("+20 median %")});
    for (QTableWidget* table : {tblStatistics, tblEvents}) {
        table->setEditTriggers(QAbstractItemView::NoEditTriggers);
        table->setSelectionBehavior(QAbstractItemView::SelectRows);
        table->verticalHeader()->setVisible(false);
        table->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
        table->setSortingEnabled(true);
    }
    tabResults = new QTabWidget(panel);
    tabResults->setObjectName(QStringLiteral("tabResults"));
    tabResults->addTab(tblStatistics, QStringLiteral("Statistics"));
    tabResults->addTab(tblEvents, QStringLiteral("Event study"));

    auto* split = new QSplitter(Qt::Vertical, panel);
    split->addWidget(chartTabs);
    split->addWidget(tabResults);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    split->setSizes({600, 400});
    layout->addWidget(split, 1);
    return panel;
}

void BacktestWindow::ConnectEvents() {
    connect(cmdRun, &QPushButton::clicked, this, &BacktestWindow::RunClicked);
    connect(cmdCancel, &QPushButton::clicked, this, &BacktestWindow::CancelClicked);
    connect(cmdBrowse, &QPushButton::clicked, this, [this] {
        const std::string path = dialogs_.GetOpenFileName("Daily closes", "CSV files (*.csv *.txt);;All files (*)");
        if (!path.empty()) txtPrices->setText(ToQ(path));
    });
    connect(chkHeliocentric, &QCheckBox::toggled, this, [this](bool helio) {
        cboFirst->setItemText(0, ToQ(astro::PlanetName(1, helio, false)));
    });
    connect(cboStrategy, &QComboBox::currentIndexChanged, this, &BacktestWindow::ShowStrategy);
    connect(cmdExportTable, &QPushButton::clicked, this, &BacktestWindow::ExportTable);
    connect(cmdSavePriceChart, &QPushButton::clicked, this, &BacktestWindow::SavePriceChart);
    connect(cmdSaveEquityChart, &QPushButton::clicked, this, &BacktestWindow::SaveEquityChart);
}

void BacktestWindow::CreateShortcuts() {
    auto add = [this](const QList<QKeySequence>& keys, auto slot) {
        auto* action = new QAction(this);
        action->setShortcuts(keys);
        connect(action, &QAction::triggered, this, slot);
        addAction(action);
    };
    add({QKeySequence(Qt::CTRL | Qt::Key_W), QKeySequence(Qt::Key_Escape)}, &QWidget::close);
    add({QKeySequence::Save}, &BacktestWindow::ExportTable);
    // The window is no dialog, so its default button does not take Return by itself.
    for (QLineEdit* field : {txtPrices, txtFrom, txtTo})
        connect(field, &QLineEdit::returnPressed, this, &BacktestWindow::RunClicked);
    cmdRun->setToolTip(QStringLiteral("Run backtest (Alt+R, or Return in a field above)"));
    cmdExportTable->setToolTip(WithShortcut(cmdExportTable->text(), {QKeySequence::Save}));
    cmdBrowse->setToolTip(QStringLiteral("Choose the CSV file of daily closes"));
}

void BacktestWindow::SetInputs(const BacktestInputs& in) {
    const QSignalBlocker blockFirst(cboFirst);
    const QSignalBlocker blockSecond(cboSecond);
    cboFirst->clear();
    cboSecond->clear();
    for (int p = 1; p <= 8; ++p) cboFirst->addItem(ToQ(astro::PlanetName(p, in.heliocentric, false)));
    for (int p = 2; p <= 9; ++p) cboSecond->addItem(ToQ(astro::PlanetName(p, in.heliocentric, false)));
    cboFirst->setCurrentIndex(std::clamp(in.firstPlanet, 1, 8) - 1);
    cboSecond->setCurrentIndex(std::clamp(in.secondPlanet, 2, 9) - 2);
    txtPrices->setText(ToQ(in.pricesPath));
    chkHeliocentric->setChecked(in.heliocentric);
    for (std::size_t a = 0; a < 7; ++a) chkAspect[a]->setChecked(in.aspects[a]);
    for (std::size_t i = 0; i < 3; ++i) spnOrb[i]->setValue(in.orbDegrees[i]);
    cboSide->setCurrentIndex(in.shortSide ? 1 : 0);
    txtFrom->setText(ToQ(in.from));
    txtTo->setText(ToQ(in.to));
}

BacktestInputs BacktestWindow::Inputs() const {
    BacktestInputs in;
    in.pricesPath = FromQ(txtPrices->text().trimmed());
    in.firstPlanet = cboFirst->currentIndex() + 1;
    in.secondPlanet = cboSecond->currentIndex() + 2;
    in.heliocentric = chkHeliocentric->isChecked();
    for (std::size_t a = 0; a < 7; ++a) in.aspects[a] = chkAspect[a]->isChecked();
    for (std::size_t i = 0; i < 3; ++i) in.orbDegrees[i] = spnOrb[i]->value();
    in.shortSide = cboSide->currentIndex() == 1;
    in.from = FromQ(txtFrom->text().trimmed());
    in.to = FromQ(txtTo->text().trimmed());
    return in;
}

void BacktestWindow::Refuse(const std::string& text) {
    dialogs_.ShowMessage({.text = text, .title = backtest::kBacktestTitle, .icon = util::MessageIcon::Exclamation});
}

std::optional<backtest::BacktestParams> BacktestWindow::ReadParams() {
    const BacktestInputs in = Inputs();
    backtest::BacktestParams params{.first = astro::BodyOfIndex(in.firstPlanet),
                                    .second = astro::BodyOfIndex(in.secondPlanet),
                                    .heliocentric = in.heliocentric,
                                    .aspects = in.aspects,
                                    .orbDegrees = in.orbDegrees,
                                    .side = in.shortSide ? backtest::Side::Short : backtest::Side::Long,
                                    .fromDay = std::nullopt,
                                    .toDay = std::nullopt,
                                    .zone = {},
                                    .pluto = pluto_};
    for (const auto& [text, day] : {std::pair{in.from, &params.fromDay}, std::pair{in.to, &params.toDay}}) {
        if (text.empty()) continue;
        *day = IsoDay(ToQ(text));
        if (!*day) {
            Refuse("\"" + text + "\" is not a date: dates are written YYYY-MM-DD.");
            return std::nullopt;
        }
    }
    return params;
}

void BacktestWindow::RunClicked() {
    if (running_) return;
    const std::string path = FromQ(txtPrices->text().trimmed());
    if (path.empty()) {
        Refuse("Choose a CSV file of daily closes first.");
        return;
    }
    const backtest::PriceSeriesLoad load = backtest::ReadPriceSeriesFile(path);
    if (!load.errorText.empty()) {
        Refuse(load.errorText);
        return;
    }
    const std::optional<backtest::BacktestParams> params = ReadParams();
    if (!params) return;
    SetRunning(true);
    worker_ = std::make_unique<BacktestWorker>(*params, load.series);
    connect(worker_.get(), &BacktestWorker::progressed, barProgress, &QProgressBar::setValue);
    connect(worker_.get(), &BacktestWorker::finished, this, &BacktestWindow::RunEnded);
    worker_->Start();
}

void BacktestWindow::RunEnded() {
    if (!worker_) return;
    worker_->Wait();
    backtest::BacktestResult result = worker_->TakeResult();
    const std::vector<util::Message> messages = worker_->TakeMessages();
    worker_.reset();
    SetRunning(false);
    for (const util::Message& message : messages) dialogs_.ShowMessage(message);
    if (result.outcome == util::RunOutcome::Stopped) {
        lblSummary->setText(QStringLiteral("Cancelled."));
        return;
    }
    if (!result.HasStatistics()) return;
    result_ = std::move(result);
    ShowResult();
}

void BacktestWindow::CancelClicked() {
    if (running_ && worker_) worker_->Cancel().Request();
}

void BacktestWindow::WaitForRun() {
    while (running_) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
}

void BacktestWindow::SetRunning(bool running) {
    running_ = running;
    cmdRun->setEnabled(!running);
    cmdCancel->setEnabled(running);
    barProgress->setValue(0);
    for (QWidget* w : std::initializer_list<QWidget*>{txtPrices, cmdBrowse, cboFirst, cboSecond, chkHeliocentric,
                                                      cboSide, txtFrom, txtTo, cboStrategy, cmdExportTable,
                                                      cmdSavePriceChart, cmdSaveEquityChart})
        w->setEnabled(!running);
    for (QCheckBox* box : chkAspect) box->setEnabled(!running);
    for (QSpinBox* spin : spnOrb) spin->setEnabled(!running);
    if (running) lblSummary->setText(QStringLiteral("Scanning the aspects…"));
}

void BacktestWindow::closeEvent(QCloseEvent* event) {
    // A window closed during a run cancels it; the run ends at its next step.
    CancelClicked();
    QWidget::closeEvent(event);
}

void BacktestWindow::ShowResult() {
    const backtest::BacktestResult& r = *result_;
    lblSummary->setText(ToQ(backtest::PairName(r.inputs) + ", " + calendar::FormatDayNumberIso8601(r.firstDay) + " to " +
                            calendar::FormatDayNumberIso8601(r.lastDay) + ", " + std::to_string(r.prices.Size()) +
                            " closes" + (r.prices.column.empty() ? "" : ", column " + r.prices.column)));
    FillStatisticsTable();
    FillEventTable();
    const QSignalBlocker block(cboStrategy);
    cboStrategy->clear();
    int chosen = -1;
    for (std::size_t i = 0; i < r.strategies.size(); ++i) {
        cboStrategy->addItem(ToQ(backtest::StrategyLabel(r.strategies[i].trades)));
        if (chosen < 0 && r.strategies[i].stats.trades > 0) chosen = static_cast<int>(i);
    }
    cboStrategy->setCurrentIndex(std::max(chosen, 0));
    ShowStrategy(cboStrategy->currentIndex());
}

void BacktestWindow::ShowStrategy(int index) {
    if (result_) charts_->Show(*result_, index);
}

void BacktestWindow::FillStatisticsTable() {
    const backtest::BacktestResult& r = *result_;
    tblStatistics->setSortingEnabled(false);
    tblStatistics->setRowCount(0);
    auto addRow = [this](const backtest::StrategyResult& s) {
        const int row = tblStatistics->rowCount();
        tblStatistics->insertRow(row);
        const backtest::BacktestStatistics& st = s.stats;
        const bool any = st.trades > 0;
        const bool hold = s.trades.aspect == 0;
        auto* name = new QTableWidgetItem(ToQ(hold ? "Buy and hold" : astro::AspectName[static_cast<std::size_t>(s.trades.aspect)]));
        name->setData(Qt::UserRole, s.trades.aspect);
        const std::optional<double> orb = hold ? std::nullopt : std::optional<double>(s.trades.orbDegrees);
        QTableWidgetItem* cells[] = {
            name,
            new NumberItem(hold ? QString() : QString::number(s.trades.orbDegrees) + QStringLiteral("°"), orb),
            CountItem(st.trades),
            PercentItem(st.profitableShare),
            PercentItem(st.meanReturn),
            PercentItem(st.medianReturn),
            PercentItem(any ? std::optional(st.totalReturn) : std::nullopt),
            PercentItem(any ? std::optional(st.annualisedReturn) : std::nullopt),
            PercentItem(st.maxDrawdown),
            new NumberItem(st.averageDaysHeld ? QString::number(*st.averageDaysHeld, 'f', 1) : QStringLiteral("-"),
                           st.averageDaysHeld),
            PercentItem(st.timeInMarket),
            CountItem(st.openAtEnd),
            CountItem(st.openedAtStart),
            CountItem(st.sameDayStays)};
        for (int c = 0; c < static_cast<int>(std::size(cells)); ++c) tblStatistics->setItem(row, c, cells[c]);
    };
    for (const backtest::StrategyResult& s : r.strategies) addRow(s);
    addRow(r.buyAndHold);
    // New results come in their own order, aspects then orbs; a click on a heading sorts.
    tblStatistics->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    tblStatistics->setSortingEnabled(true);
    tblStatistics->resizeColumnsToContents();
}

void BacktestWindow::FillEventTable() {
    tblEvents->setSortingEnabled(false);
    tblEvents->setRowCount(0);
    for (const backtest::EventStudyRow& e : result_->eventStudy) {
        const int row = tblEvents->rowCount();
        tblEvents->insertRow(row);
        tblEvents->setItem(row, 0, new QTableWidgetItem(ToQ(astro::AspectName[static_cast<std::size_t>(e.aspect)])));
        tblEvents->setItem(row, 1, CountItem(e.events));
        for (std::size_t h = 0; h < e.horizons.size(); ++h) {
            const int column = 2 + static_cast<int>(h) * 3;
            tblEvents->setItem(row, column, CountItem(e.horizons[h].count));
            tblEvents->setItem(row, column + 1, PercentItem(e.horizons[h].mean));
            tblEvents->setItem(row, column + 2, PercentItem(e.horizons[h].median));
        }
    }
    tblEvents->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    tblEvents->setSortingEnabled(true);
    tblEvents->resizeColumnsToContents();
}

}  // namespace kovo::ui
