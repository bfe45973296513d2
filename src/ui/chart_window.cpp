#include "ui/chart_window.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QStatusBar>
#include <QToolBar>

#include "chart/chart_export.h"
#include "chart/cycle_timeline.h"
#include "chart/timeline_painter.h"
#include "ui/chart_view.h"
#include "ui/output_file.h"
#include "ui/qt_text.h"
#include "ui/shortcut_text.h"

namespace kovo::ui {

namespace {

constexpr int kPrintWidth = 1600;  // pixels the printed chart is laid out in before scaling to the page

}  // namespace

ChartWindow::ChartWindow(DialogService& dialogs, QWidget* parent)
    : QMainWindow(parent), dialogs_(dialogs, this), view_(new ChartView(this)) {
    setObjectName(QStringLiteral("chartWindow"));
    setWindowTitle(QStringLiteral("KOVO \u2013 Chart"));
    setCentralWidget(view_);
    CreateActions();
    CreateStatusLine();
    choosePrinter_ = [this](QPrinter& printer) {
        QPrintDialog dialog(&printer, this);
        return dialog.exec() == QDialog::Accepted;
    };
    resize(1200, 720);
}

void ChartWindow::CreateActions() {
    auto* bar = addToolBar(QStringLiteral("Chart"));
    bar->setObjectName(QStringLiteral("chartToolBar"));
    bar->setMovable(false);
    // The window owns the actions, so their shortcuts work wherever the focus is in it.
    auto add = [this, bar](const QString& text, const QList<QKeySequence>& shortcuts, auto* receiver, auto slot) {
        auto* action = new QAction(text, this);
        action->setShortcuts(shortcuts);
        action->setToolTip(WithShortcut(text, shortcuts));
        connect(action, &QAction::triggered, receiver, slot);
        addAction(action);
        if (bar == nullptr) return action;
        bar->addAction(action);
        // Tool buttons take no focus by default; keyboard users reach them with Tab.
        bar->widgetForAction(action)->setFocusPolicy(Qt::TabFocus);
        return action;
    };
    add(QStringLiteral("Fit"), {QKeySequence(Qt::CTRL | Qt::Key_0)}, view_, &ChartView::Fit);
    // The + and - keys belong to the chart area itself; these are for the mouse.
    add(QStringLiteral("Zoom in (+)"), {}, view_, &ChartView::ZoomIn);
    add(QStringLiteral("Zoom out (\u2212)"), {}, view_, &ChartView::ZoomOut);
    bar->addSeparator();
    add(QStringLiteral("Save as PNG\u2026"), {QKeySequence::Save}, this, &ChartWindow::SaveAsPng);
    add(QStringLiteral("Save as SVG\u2026"), {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)}, this,
        &ChartWindow::SaveAsSvg);
    add(QStringLiteral("Print\u2026"), {QKeySequence::Print}, this, &ChartWindow::Print);
    add(QStringLiteral("Copy image"), {QKeySequence::Copy}, this, &ChartWindow::CopyImage);
    bar->addSeparator();
    chkCycles_ = new QCheckBox(QStringLiteral("&Retrograde cycles and ingresses"), bar);
    chkCycles_->setObjectName(QStringLiteral("chkCycles"));
    chkCycles_->setToolTip(
        QStringLiteral("A lane per body with its retrograde cycles, stations and sign ingresses (Alt+R)"));
    chkCycles_->setEnabled(false);
    bar->addWidget(chkCycles_);
    connect(chkCycles_, &QCheckBox::toggled, this, &ChartWindow::OnCyclesToggled);
    chkMoon_ = new QCheckBox(QStringLiteral("&Moon phases and eclipses"), bar);
    chkMoon_->setObjectName(QStringLiteral("chkMoon"));
    chkMoon_->setToolTip(QStringLiteral("A lane with the Moon's phases and the eclipses (Alt+M)"));
    chkMoon_->setEnabled(false);
    bar->addWidget(chkMoon_);
    connect(chkMoon_, &QCheckBox::toggled, this, &ChartWindow::OnCyclesToggled);
    bar = nullptr;  // Close has no button: the frame has one
    add(QStringLiteral("Close"), {QKeySequence(Qt::CTRL | Qt::Key_W), QKeySequence(Qt::Key_Escape)}, this,
        &QWidget::close);
}

void ChartWindow::CreateStatusLine() {
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("chartStatus"));
    statusBar()->addWidget(status_, 1);
    connect(view_, &ChartView::StatusChanged, status_, &QLabel::setText);
}

void ChartWindow::ShowModel(chart::TimelineModel model) {
    bodyLanes_.reset();
    moonLane_.reset();
    // Only a run's chart has bodies to add lanes for.
    chkCycles_->setEnabled(!model.pairs.empty() && model.cycleLanes.empty());
    chkMoon_->setEnabled(chkCycles_->isEnabled());
    if (chkCycles_->isEnabled()) {
        runModel_ = std::move(model);
        OnCyclesToggled(chkCycles_->isChecked());
        view_->Fit();
    } else {
        runModel_ = {};
        view_->SetModel(std::move(model));
    }
    view_->setFocus();
}

void ChartWindow::OnCyclesToggled(bool) {
    if (!chkCycles_->isEnabled()) return;
    const chart::ViewRange shown = view_->View();
    ShowLanes();
    // The lanes change, not the dates: the zoom stays.
    if (shown.endUt > shown.startUt) view_->SetView(shown.startUt, shown.endUt);
}

void ChartWindow::ShowLanes() {
    const bool cycles = chkCycles_->isChecked();
    const bool moon = chkMoon_->isChecked();
    if ((cycles && !bodyLanes_) || (moon && !moonLane_)) {
        // About 1.3 s of processor time per body and century of range (bench_chart), once per
        // chart: waited for here rather than on a worker.
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        chart::TimelineModel lanes = runModel_;
        if (cycles && !bodyLanes_) {
            chart::AddCycleLanes(lanes);
            bodyLanes_ = lanes.cycleLanes;
        }
        if (moon && !moonLane_) {
            lanes.cycleLanes.clear();
            chart::AddLunarLane(lanes);
            if (!lanes.cycleLanes.empty()) moonLane_ = lanes.cycleLanes.front();
        }
        QGuiApplication::restoreOverrideCursor();
    }
    chart::TimelineModel model = runModel_;
    if (cycles && bodyLanes_) model.cycleLanes = *bodyLanes_;
    if (moon && moonLane_) model.cycleLanes.push_back(*moonLane_);
    view_->SetModel(std::move(model));
}

bool ChartWindow::SaveAs(const char* title, const char* filter, chart::ChartFormat format) {
    std::string path = dialogs_.GetSaveFileName(title, filter);
    if (path.empty()) return false;
    // The command decides the kind; a name without its ending gets it.
    if (chart::FormatOfPath(path) != format) path += format == chart::ChartFormat::Svg ? ".svg" : ".png";
    const std::string failure = chart::WriteChartFile(view_->Model(), path, view_->size(), view_->View());
    if (failure.empty()) return true;
    dialogs_.ShowMessage({.text = "The chart could not be saved to " + path + ": " + FailureReason(failure),
                          .title = util::kProgramTitle,
                          .icon = util::MessageIcon::Exclamation});
    return false;
}

bool ChartWindow::SaveAsPng() { return SaveAs("Save chart as PNG", "PNG image (*.png)", chart::ChartFormat::Png); }
bool ChartWindow::SaveAsSvg() { return SaveAs("Save chart as SVG", "SVG drawing (*.svg)", chart::ChartFormat::Svg); }

void ChartWindow::Print() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    if (!choosePrinter_ || !choosePrinter_(printer)) return;
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    QPainter painter;
    if (page.width() < 1 || page.height() < 1 || !painter.begin(&printer)) {
        dialogs_.ShowMessage({.text = "The chart could not be printed.",
                              .title = util::kProgramTitle,
                              .icon = util::MessageIcon::Exclamation});
        return;
    }
    // Laid out at screen-like pixels, then scaled to the page, so the text keeps its size
    // relative to the chart whatever the printer's resolution.
    const double scale = page.width() / kPrintWidth;
    const QSizeF logical(kPrintWidth, page.height() / scale);
    painter.scale(scale, scale);
    chart::PaintTimeline(painter, view_->Model(),
                         chart::LayOutTimeline(view_->Model(), logical, view_->View(), chart::ChartFont()));
    painter.end();
}

void ChartWindow::CopyImage() {
    QGuiApplication::clipboard()->setImage(chart::RenderImage(view_->Model(), view_->size(), view_->View()));
}

}  // namespace kovo::ui
