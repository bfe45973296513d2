// The research window: construction, the run and the results. The inputs are in
// research_window_inputs.cpp, the exports and the backtest of a row in
// research_window_actions.cpp, the table and the plot in research_table.cpp and
// research_plot.cpp.
#include "ui/research_window.h"

#include <QAction>
#include <QCheckBox>
#include <QApplication>
#include <QChartView>
#include <QCloseEvent>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include "astro/catalogue.h"
#include "backtest/backtest_table.h"
#include "export/sweep_export.h"
#include "ui/backtest_window.h"
#include "ui/qt_text.h"
#include "ui/research_plot.h"
#include "ui/research_table.h"
#include "ui/research_worker.h"
#include "ui/shortcut_text.h"

namespace kovo::ui {

ResearchWindow::ResearchWindow(DialogService& dialogs, astro::PlutoAvailability pluto,
                               std::function<BacktestWindow*()> openBacktest, QWidget* parent)
    : QWidget(parent, Qt::Window), dialogs_(dialogs, this), pluto_(std::move(pluto)),
      openBacktest_(std::move(openBacktest)) {
    setObjectName(QStringLiteral("frmResearch"));
    setWindowTitle(QStringLiteral("KOVO - Research"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CreateInputs());
    layout->addLayout(CreateRunRow());
    layout->addWidget(CreateResults(), 1);
    ConnectEvents();
    CreateShortcuts();
    SetRunning(false);
    RestoreWindowState();
}

// The worker's own destructor stops the sweep and waits for its thread.
ResearchWindow::~ResearchWindow() = default;

QLayout* ResearchWindow::CreateRunRow() {
    auto* row = new QHBoxLayout();
    cmdRun = new QPushButton(QStringLiteral("&Run sweep"), this);
    cmdRun->setObjectName(QStringLiteral("cmdRun"));
    cmdRun->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cance&l"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    barProgress = new QProgressBar(this);
    barProgress->setObjectName(QStringLiteral("barProgress"));
    barProgress->setFormat(QStringLiteral("%v of %m"));
    QSizePolicy keep = barProgress->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    barProgress->setSizePolicy(keep);
    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);
    row->addWidget(cmdRun);
    row->addWidget(cmdCancel);
    row->addWidget(barProgress, 1);
    row->addWidget(lblStatus, 3);
    return row;
}

// The plot above, the filters and the ranked table below, in a splitter.
QWidget* ResearchWindow::CreateResults() {
    splitResults = new QSplitter(Qt::Vertical, this);
    splitResults->setObjectName(QStringLiteral("splitResults"));
    splitResults->setChildrenCollapsible(false);
    plot_ = new ResearchPlot(splitResults);
    splitResults->addWidget(plot_->View());
    auto* panel = new QWidget(splitResults);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    lblHeading = new QLabel(panel);
    lblHeading->setObjectName(QStringLiteral("lblHeading"));
    lblHeading->setWordWrap(true);
    lblHeading->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(lblHeading);
    layout->addLayout(CreateFilterRow(panel));
    tblRules = CreateResearchTable(panel);
    layout->addWidget(tblRules, 1);
    splitResults->addWidget(panel);
    splitResults->setStretchFactor(0, 1);
    splitResults->setStretchFactor(1, 1);
    return splitResults;
}

QLayout* ResearchWindow::CreateFilterRow(QWidget* parent) {
    auto* row = new QHBoxLayout();
    cboPairFilter = new QComboBox(parent);
    cboPairFilter->setObjectName(QStringLiteral("cboPairFilter"));
    cboPairFilter->setEditable(true);
    cboPairFilter->setInsertPolicy(QComboBox::NoInsert);
    cboPairFilter->setMinimumContentsLength(18);
    cboPairFilter->lineEdit()->setPlaceholderText(QStringLiteral("All pairs"));
    cboPairFilter->setToolTip(QStringLiteral("Rows whose pair and centricity contain this text, in any case: Mars, helio"));
    cboAspectFilter = new QComboBox(parent);
    cboAspectFilter->setObjectName(QStringLiteral("cboAspectFilter"));
    cboAspectFilter->addItem(QStringLiteral("All rules"), -1);
    for (int a = 1; a <= 7; ++a) cboAspectFilter->addItem(ToQ(astro::AspectName[static_cast<std::size_t>(a)]), a);
    cboAspectFilter->addItem(QStringLiteral("Named rules"), 0);
    spnMaxQ = new QDoubleSpinBox(parent);
    spnMaxQ->setObjectName(QStringLiteral("spnMaxQ"));
    spnMaxQ->setRange(0, 1);
    spnMaxQ->setDecimals(2);
    spnMaxQ->setSingleStep(0.05);
    spnMaxQ->setValue(1);
    spnMaxQ->setToolTip(QStringLiteral("Rows with q up to this value; 1.00 shows every row, also those without q"));
    lblShown = new QLabel(parent);
    lblShown->setObjectName(QStringLiteral("lblShown"));
    cmdExportTable = new QPushButton(QStringLiteral("E&xport table…"), parent);
    cmdExportTable->setObjectName(QStringLiteral("cmdExportTable"));
    cmdSavePlot = new QPushButton(QStringLiteral("Sa&ve plot…"), parent);
    cmdSavePlot->setObjectName(QStringLiteral("cmdSavePlot"));
    cmdSavePlot->setToolTip(QStringLiteral("Save the plot as a PNG image or an SVG drawing"));
    const auto label = [parent](const char* text, QWidget* buddy) {
        auto* l = new QLabel(QString::fromUtf8(text), parent);
        l->setBuddy(buddy);
        return l;
    };
    row->addWidget(label("Pa&ir", cboPairFilter));
    row->addWidget(cboPairFilter);
    row->addWidget(label("Asp&ect", cboAspectFilter));
    row->addWidget(cboAspectFilter);
    row->addWidget(label("Max &q", spnMaxQ));
    row->addWidget(spnMaxQ);
    row->addWidget(lblShown, 1);
    row->addWidget(cmdExportTable);
    row->addWidget(cmdSavePlot);
    return row;
}

void ResearchWindow::ConnectEvents() {
    connect(cmdRun, &QPushButton::clicked, this, &ResearchWindow::RunClicked);
    connect(cmdCancel, &QPushButton::clicked, this, &ResearchWindow::CancelClicked);
    connect(cmdExportTable, &QPushButton::clicked, this, &ResearchWindow::ExportTable);
    connect(cmdSavePlot, &QPushButton::clicked, this, &ResearchWindow::SavePlot);
    connect(cmdBrowse, &QPushButton::clicked, this, [this] {
        const std::string path = dialogs_.GetOpenFileName("Daily closes", "CSV files (*.csv *.txt);;All files (*)");
        if (!path.empty()) txtPrices->setText(ToQ(path));
    });
    connect(chkHoldout, &QCheckBox::toggled, txtHoldout, &QLineEdit::setEnabled);
    connect(cboPairFilter, &QComboBox::currentTextChanged, this, &ResearchWindow::ApplyFilter);
    connect(cboAspectFilter, &QComboBox::currentIndexChanged, this, &ResearchWindow::ApplyFilter);
    connect(spnMaxQ, &QDoubleSpinBox::valueChanged, this, &ResearchWindow::ApplyFilter);
    connect(tblRules, &QTableWidget::itemSelectionChanged, this, &ResearchWindow::RowChosen);
    // A double-click, or Return on a row.
    connect(tblRules, &QTableWidget::activated, this,
            [this](const QModelIndex& index) { OpenInBacktest(SweepRowOf(tblRules, index.row())); });
    connect(plot_, &ResearchPlot::ruleClicked, this, &ResearchWindow::SelectRule);
}

void ResearchWindow::CreateShortcuts() {
    auto add = [this](QWidget* on, const QList<QKeySequence>& keys, Qt::ShortcutContext context, auto slot) {
        auto* action = new QAction(on);
        action->setShortcuts(keys);
        action->setShortcutContext(context);
        connect(action, &QAction::triggered, this, slot);
        on->addAction(action);
    };
    // Escape stops a sweep under way; with none it closes the window, as Ctrl+W does.
    add(this, {QKeySequence(Qt::Key_Escape)}, Qt::WindowShortcut, [this] {
        if (Running()) CancelClicked();
        else close();
    });
    add(this, {QKeySequence(Qt::CTRL | Qt::Key_W)}, Qt::WindowShortcut, [this] { close(); });
    add(this, {QKeySequence::Save}, Qt::WindowShortcut, [this] { ExportTable(); });
    // The window is no dialog, so its default button does not take Return by itself;
    // Return in any input runs, while Return in the table opens its row.
    add(inputs_, {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)}, Qt::WidgetWithChildrenShortcut,
        [this] { RunClicked(); });
    cmdRun->setToolTip(QStringLiteral("Run the sweep (Alt+R, or Return in a field above)"));
    cmdCancel->setToolTip(QStringLiteral("Stop the sweep (Escape); the results shown stay"));
    cmdExportTable->setToolTip(WithShortcut(cmdExportTable->text(), {QKeySequence::Save}));
    tblRules->setToolTip(QStringLiteral("Double-click a pair's rule, or press Return on it, to backtest it"));
}

void ResearchWindow::Refuse(const std::string& text) {
    dialogs_.ShowMessage({.text = text, .title = kResearchTitle, .icon = util::MessageIcon::Exclamation});
}

void ResearchWindow::ShowStatus(const QString& text) { lblStatus->setText(text); }

QString ResearchWindow::StatusText() const { return lblStatus->text(); }

void ResearchWindow::RunClicked() {
    if (Running()) return;
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
    std::optional<sweep::SweepRequest> request = ReadRequest();
    if (!request) return;
    startedPrices_ = path;
    worker_ = std::make_unique<ResearchWorker>(std::move(*request), load.series);
    connect(worker_.get(), &ResearchWorker::unitDone, this, &ResearchWindow::UnitDone);
    connect(worker_.get(), &ResearchWorker::finished, this, &ResearchWindow::RunEnded);
    SetRunning(true);
    worker_->Start();
}

void ResearchWindow::CancelClicked() {
    if (worker_) worker_->Cancel();
}

void ResearchWindow::WaitForRun() {
    while (Running()) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
}

void ResearchWindow::UnitDone(int done, int total) {
    if (!Running()) return;
    barProgress->setRange(0, total);
    barProgress->setValue(done);
    ShowStatus(QStringLiteral("Sweeping: %1 of %2 done…").arg(done).arg(total));
}

void ResearchWindow::SetRunning(bool running) {
    cmdRun->setEnabled(!running);
    cmdCancel->setEnabled(running);
    inputs_->setEnabled(!running);
    cmdExportTable->setEnabled(!running && result_.has_value());
    cmdSavePlot->setEnabled(!running && result_.has_value());
    // Busy until the first unit is done, then units done of units.
    barProgress->setRange(0, running ? 0 : 1);
    barProgress->setValue(0);
    barProgress->setTextVisible(running);
    barProgress->setVisible(running);
    if (running) ShowStatus(QStringLiteral("Sweeping…"));
}

void ResearchWindow::RunEnded() {
    if (!worker_) return;
    worker_->Wait();
    sweep::SweepResult result = worker_->TakeResult();
    worker_.reset();
    lastOutcome_ = result.outcome;
    if (result.outcome == util::RunOutcome::Completed) {
        result_ = std::move(result);
        resultPrices_ = startedPrices_;
    }
    SetRunning(false);
    switch (lastOutcome_) {
        case util::RunOutcome::Completed:
            ShowResult();
            break;
        case util::RunOutcome::Stopped:
            // The results shown, if any, still belong to their own sweep.
            ShowStatus(QStringLiteral("Cancelled."));
            break;
        default:
            ShowStatus({});
            Refuse(result.refusal);
    }
}

void ResearchWindow::ShowResult() {
    const sweep::SweepResult& r = *result_;
    // Many units refused would push the table out of sight: the tooltip holds them all.
    const QString heading = ToQ(exporting::SweepHeading(r)).trimmed();
    const QStringList lines = heading.split(QLatin1Char('\n'));
    constexpr int kShownLines = 6;
    lblHeading->setText(lines.size() <= kShownLines
                            ? heading
                            : lines.mid(0, kShownLines - 1).join(QLatin1Char('\n')) +
                                  QStringLiteral("\n… and %1 more lines (rest the mouse here)").arg(lines.size() - kShownLines + 1));
    lblHeading->setToolTip(heading);
    FillResearchTable(tblRules, r);
    FillFilterLists();
    ApplyFilter();
    ShowStatus(QStringLiteral("Done: %1 rules ranked, %2 pass q < %3.")
                   .arg(r.rows.size())
                   .arg(r.count.passing)
                   .arg(backtest::kDiscoveryThreshold, 0, 'f', 2));
}

// The pair list holds the sweep's units; the text typed stays.
void ResearchWindow::FillFilterLists() {
    const QSignalBlocker block(cboPairFilter);
    const QString typed = cboPairFilter->currentText();
    cboPairFilter->clear();
    cboPairFilter->addItem(QString());
    for (const sweep::SweepUnit& unit : result_->units)
        cboPairFilter->addItem(ToQ(sweep::UnitName(unit) + " " + sweep::UnitCentricity(unit)));
    cboPairFilter->setCurrentText(typed);
}

ResearchFilter ResearchWindow::Filter() const {
    return {.pair = FromQ(cboPairFilter->currentText().trimmed()),
            .aspect = cboAspectFilter->currentData().toInt(),
            .maxQ = spnMaxQ->value()};
}

void ResearchWindow::ApplyFilter() {
    if (!result_) return;
    const int chosen = SelectedRule();
    const std::vector<int> shown = FilterResearchTable(tblRules, *result_, Filter());
    plot_->Show(*result_, shown);
    lblShown->setText(QStringLiteral("%1 of %2 rules shown, %3 plotted")
                          .arg(shown.size())
                          .arg(result_->rows.size())
                          .arg(plot_->Plotted().size()));
    const int row = TableRowOf(tblRules, chosen);
    if (row >= 0 && !tblRules->isRowHidden(row)) plot_->Highlight(chosen);
    else tblRules->clearSelection();
}

void ResearchWindow::RowChosen() { plot_->Highlight(SelectedRule()); }

void ResearchWindow::SelectRule(int rule) {
    const int row = TableRowOf(tblRules, rule);
    if (row < 0 || tblRules->isRowHidden(row)) {
        tblRules->clearSelection();
        return;
    }
    tblRules->selectRow(row);
    tblRules->scrollToItem(tblRules->item(row, 0));
}

int ResearchWindow::SelectedRule() const {
    const QList<QTableWidgetItem*> chosen = tblRules->selectedItems();
    return chosen.isEmpty() ? -1 : SweepRowOf(tblRules, chosen.front()->row());
}

void ResearchWindow::closeEvent(QCloseEvent* event) {
    // A window closed during a sweep stops it; the sweep ends at its workers' next step.
    CancelClicked();
    SaveWindowState();
    QWidget::closeEvent(event);
}

}  // namespace kovo::ui
