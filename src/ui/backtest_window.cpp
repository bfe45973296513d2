// The backtest window: construction, the run and the results. Exports are in
// backtest_window_export.cpp, the charts in backtest_charts.cpp.
#include "ui/backtest_window.h"

#include <QAction>
#include <QApplication>
#include <QChartView>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
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
#include <utility>

#include "astro/catalogue.h"
#include "backtest/backtest_table.h"
#include "calendar/calendar_services.h"
#include "ui/backtest_charts.h"
#include "ui/backtest_tables.h"
#include "ui/qt_text.h"
#include "ui/shortcut_text.h"

namespace kovo::ui {

BacktestWindow::BacktestWindow(DialogService& dialogs, astro::PlutoAvailability pluto, QWidget* parent)
    : QWidget(parent, Qt::Window), dialogs_(dialogs, this), pluto_(std::move(pluto)) {
    setObjectName(QStringLiteral("frmBacktest"));
    setWindowTitle(QStringLiteral("KOVO - Backtest"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CreateInputs());
    layout->addLayout(CreateRunRow());
    layout->addWidget(CreateResults(), 1);
    ConnectEvents();
    ConnectInputs();
    CreateShortcuts();
    SetInputs(BacktestInputs{});
    SetRunning(false);
    RestoreWindowState();
}

// The worker's own destructor stops the run and waits for its thread.
BacktestWindow::~BacktestWindow() = default;

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
    row->addWidget(lblSummary, 3);
    return row;
}

// The charts above, the tables below, in a splitter the user may move.
QWidget* BacktestWindow::CreateResults() {
    splitResults = new QSplitter(Qt::Vertical, this);
    splitResults->setObjectName(QStringLiteral("splitResults"));
    splitResults->setChildrenCollapsible(false);
    splitResults->addWidget(CreateChartTabs(splitResults));
    splitResults->addWidget(CreateTableTabs(splitResults));
    splitResults->setStretchFactor(0, 1);
    splitResults->setStretchFactor(1, 1);
    splitResults->setSizes({300, 340});
    return splitResults;
}

QWidget* BacktestWindow::CreateChartTabs(QWidget* parent) {
    auto* panel = new QWidget(parent);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* choose = new QHBoxLayout();
    cboStrategy = new QComboBox(panel);
    cboStrategy->setObjectName(QStringLiteral("cboStrategy"));
    cboStrategy->setMinimumContentsLength(18);
    chkLogScale = new QCheckBox(QStringLiteral("&Log scale"), panel);
    chkLogScale->setObjectName(QStringLiteral("chkLogScale"));
    chkLogScale->setToolTip(QStringLiteral("Prices and equity on a logarithmic scale: equal moves in percent look equal"));
    cmdExportTable = new QPushButton(QStringLiteral("Export table…"), panel);
    cmdExportTable->setObjectName(QStringLiteral("cmdExportTable"));
    cmdSaveChart = new QPushButton(QStringLiteral("Save chart…"), panel);
    cmdSaveChart->setObjectName(QStringLiteral("cmdSaveChart"));
    cmdSaveChart->setToolTip(QStringLiteral("Save the chart shown as a PNG image"));
    choose->addWidget(new QLabel(QStringLiteral("Charts show"), panel));
    choose->addWidget(cboStrategy);
    choose->addWidget(chkLogScale);
    choose->addStretch(1);
    choose->addWidget(cmdExportTable);
    choose->addWidget(cmdSaveChart);
    layout->addLayout(choose);
    charts_ = new BacktestCharts(panel);
    tabCharts = new QTabWidget(panel);
    tabCharts->setObjectName(QStringLiteral("tabCharts"));
    tabCharts->addTab(charts_->PriceView(), QStringLiteral("Prices"));
    tabCharts->addTab(charts_->EquityPanel(), QStringLiteral("Equity and drawdown"));
    tabCharts->addTab(charts_->NullView(), QStringLiteral("Null distribution"));
    layout->addWidget(tabCharts, 1);
    return panel;
}

QWidget* BacktestWindow::CreateTableTabs(QWidget* parent) {
    auto* panel = new QWidget(parent);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    const auto table = [panel](const char* name, const QStringList& headings) {
        auto* t = new QTableWidget(0, static_cast<int>(headings.size()), panel);
        t->setObjectName(QString::fromLatin1(name));
        t->setHorizontalHeaderLabels(headings);
        t->setEditTriggers(QAbstractItemView::NoEditTriggers);
        t->setSelectionBehavior(QAbstractItemView::SelectRows);
        t->verticalHeader()->setVisible(false);
        t->verticalHeader()->setDefaultSectionSize(t->fontMetrics().height() + 6);
        t->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
        t->setSortingEnabled(true);
        return t;
    };
    tblStatistics = table("tblStatistics", StatisticsHeadings());
    tblStatistics->setSelectionMode(QAbstractItemView::SingleSelection);
    tblEvents = table("tblEvents", EventHeadings());
    tblHoldout = table("tblHoldout", HoldoutHeadings());
    tblTrades = table("tblTrades", TradeHeadings());
    tabResults = new QTabWidget(panel);
    tabResults->setObjectName(QStringLiteral("tabResults"));
    tabResults->addTab(tblStatistics, QStringLiteral("Statistics"));
    tabResults->addTab(tblEvents, QStringLiteral("Event study"));
    tabResults->addTab(tblHoldout, QStringLiteral("Hold-out"));
    tabResults->addTab(tblTrades, QStringLiteral("Trades"));
    lblFamily = new QLabel(panel);
    lblFamily->setObjectName(QStringLiteral("lblFamily"));
    lblFamily->setWordWrap(true);
    layout->addWidget(tabResults, 1);
    layout->addWidget(lblFamily);
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
    connect(tblStatistics, &QTableWidget::itemSelectionChanged, this, &BacktestWindow::StatisticsRowChosen);
    connect(chkLogScale, &QCheckBox::toggled, this, [this] { ShowStrategy(cboStrategy->currentIndex()); });
    connect(cmdExportTable, &QPushButton::clicked, this, &BacktestWindow::ExportTable);
    connect(cmdSaveChart, &QPushButton::clicked, this, &BacktestWindow::SaveShownChart);
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
    for (QLineEdit* field : {txtPrices, txtFrom, txtTo, txtHoldout})
        connect(field, &QLineEdit::returnPressed, this, &BacktestWindow::RunClicked);
    cmdRun->setToolTip(QStringLiteral("Run backtest (Alt+R, or Return in a field above)"));
    cmdExportTable->setToolTip(WithShortcut(cmdExportTable->text(), {QKeySequence::Save}));
    cmdBrowse->setToolTip(QStringLiteral("Choose the CSV file of daily closes"));
}

void BacktestWindow::Refuse(const std::string& text) {
    dialogs_.ShowMessage({.text = text, .title = backtest::kBacktestTitle, .icon = util::MessageIcon::Exclamation});
}

void BacktestWindow::RunClicked() {
    if (running_) return;
    strategyAfterRun_ = -1;
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
    startedInputs_ = Inputs();
    SetRunning(true);
    worker_ = std::make_unique<BacktestWorker>(*params, load.series);
    connect(worker_.get(), &BacktestWorker::progressed, barProgress, &QProgressBar::setValue);
    connect(worker_.get(), &BacktestWorker::finished, this, &BacktestWindow::RunEnded);
    worker_->Start();
}

void BacktestWindow::RunWith(const BacktestInputs& inputs, int strategy) {
    if (running_) return;
    SetInputs(inputs);
    RunClicked();
    if (running_) strategyAfterRun_ = strategy;
}

void BacktestWindow::RunEnded() {
    if (!worker_) return;
    const int strategy = std::exchange(strategyAfterRun_, -1);
    worker_->Wait();
    backtest::BacktestResult result = worker_->TakeResult();
    const std::vector<util::Message> messages = worker_->TakeMessages();
    worker_.reset();
    SetRunning(false);
    for (const util::Message& message : messages) dialogs_.ShowMessage(message);
    if (result.outcome == util::RunOutcome::Stopped) {
        // The results shown, if any, still belong to their own inputs.
        UpdateActions();
        lblSummary->setText(QStringLiteral("Cancelled."));
        return;
    }
    if (!result.HasStatistics()) {
        if (!result_) lblSummary->clear();
        UpdateStale();
        return;
    }
    result_ = std::move(result);
    runInputs_ = startedInputs_;
    ShowResult();
    if (strategy >= 0) SelectStrategy(strategy);
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
                                                      cboSide, txtFrom, txtTo, chkHoldout, spnCost, spnRiskFree,
                                                      spnPermutations, spnSeed, cboStrategy})
        w->setEnabled(!running);
    txtHoldout->setEnabled(!running && chkHoldout->isChecked());
    for (QCheckBox* box : chkAspect) box->setEnabled(!running);
    for (QSpinBox* spin : spnOrb) spin->setEnabled(!running);
    if (running) lblSummary->setText(QStringLiteral("Scanning the aspects…"));
    UpdateActions();
}

// Export and Save need results that match the fields.
void BacktestWindow::UpdateActions() {
    const bool usable = !running_ && result_.has_value() && !ResultsStale();
    cmdExportTable->setEnabled(usable);
    cmdSaveChart->setEnabled(usable);
}

void BacktestWindow::closeEvent(QCloseEvent* event) {
    // A window closed during a run cancels it; the run ends at its next step.
    CancelClicked();
    SaveWindowState();
    QWidget::closeEvent(event);
}

void BacktestWindow::ShowResult() {
    const backtest::BacktestResult& r = *result_;
    summary_ = ToQ(backtest::PairName(r.inputs) + ", " + calendar::FormatDayNumberIso8601(r.firstDay) + " to " +
                   calendar::FormatDayNumberIso8601(r.lastDay) + ", " + std::to_string(r.prices.Size()) + " closes" +
                   (r.prices.column.empty() ? "" : ", column " + r.prices.column));
    splitResults->setEnabled(true);
    charts_->SetFaded(false);
    lblSummary->setText(summary_);
    lblFamily->setText(FamilySummary(r));
    {
        const QSignalBlocker block(tblStatistics);
        FillStatisticsTable(tblStatistics, r);
    }
    FillEventTable(tblEvents, r);
    FillHoldoutTable(tblHoldout, r);
    tabResults->setTabEnabled(tabResults->indexOf(tblHoldout), !r.periods.empty());
    {
        const QSignalBlocker block(chkLogScale);
        chkLogScale->setChecked(BacktestCharts::SpansDecades(r));
    }
    const QSignalBlocker block(cboStrategy);
    cboStrategy->clear();
    int chosen = -1;
    for (std::size_t i = 0; i < r.strategies.size(); ++i) {
        cboStrategy->addItem(ToQ(backtest::StrategyLabel(r.strategies[i].trades)));
        if (chosen < 0 && r.strategies[i].stats.trades > 0) chosen = static_cast<int>(i);
    }
    cboStrategy->addItem(QStringLiteral("Buy and hold"));
    cboStrategy->setCurrentIndex(std::max(chosen, 0));
    ShowStrategy(cboStrategy->currentIndex());
    UpdateActions();
}

// The combo's last item is buy-and-hold; the others follow result.strategies.
void BacktestWindow::SelectStrategy(int index) {
    if (!result_) return;
    const int count = static_cast<int>(result_->strategies.size());
    cboStrategy->setCurrentIndex(index >= 0 && index < count ? index : count);
}

int BacktestWindow::SelectedStrategy() const {
    const int index = cboStrategy->currentIndex();
    return result_ && index >= 0 && index < static_cast<int>(result_->strategies.size()) ? index : -1;
}

void BacktestWindow::StatisticsRowChosen() {
    const QList<QTableWidgetItem*> chosen = tblStatistics->selectedItems();
    if (!chosen.isEmpty()) SelectStrategy(StrategyOfRow(tblStatistics, chosen.front()->row()));
}

void BacktestWindow::ShowStrategy(int) {
    if (!result_) return;
    const int index = SelectedStrategy();
    const backtest::StrategyResult& s = index >= 0 ? result_->strategies[static_cast<std::size_t>(index)]
                                                   : result_->buyAndHold;
    charts_->Show(*result_, index, ChartContext(), chkLogScale->isChecked());
    FillTradeTable(tblTrades, s);
    tabResults->setTabText(tabResults->indexOf(tblTrades),
                           QStringLiteral("Trades: ") + ToQ(backtest::StrategyLabel(s.trades)));
    // The table follows the combo, without calling back.
    const QSignalBlocker block(tblStatistics);
    const int row = RowOfStrategy(tblStatistics, index);
    if (row >= 0) tblStatistics->selectRow(row);
}

}  // namespace kovo::ui
