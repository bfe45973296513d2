// frmMain exports: the "Export…" button beside the output file command and the output
// area's "Copy results as table", both over the last run's records.
#include <QAction>
#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <memory>

#include "export/export_document.h"
#include "ui/main_window.h"
#include "ui/output_file.h"
#include "ui/qt_text.h"

namespace kovo::ui {

namespace {

constexpr const char* kExportTitle = "Export";

struct ExportFilter {
    const char* filter;
    exporting::ExportFormat format;
};
constexpr ExportFilter kExportFilters[] = {{"CSV files (*.csv)", exporting::ExportFormat::Csv},
                                           {"JSON files (*.json)", exporting::ExportFormat::Json},
                                           {"iCalendar files (*.ics)", exporting::ExportFormat::ICalendar}};

std::string FilterList() {
    std::string list;
    for (const ExportFilter& f : kExportFilters) list += (list.empty() ? "" : ";;") + std::string(f.filter);
    return list;
}

// The format of the selected filter; without one, that of the name's extension, else CSV.
exporting::ExportFormat ChosenFormat(const DialogService::SaveChoice& choice) {
    for (const ExportFilter& f : kExportFilters)
        if (choice.selectedFilter == f.filter) return f.format;
    const QString suffix = QFileInfo(ToQ(choice.path)).suffix().toLower();
    for (const ExportFilter& f : kExportFilters)
        if (suffix == QLatin1String(exporting::FileExtension(f.format))) return f.format;
    return exporting::ExportFormat::Csv;
}

}  // namespace

void frmMain::CreateExportControls() {
    cmdExport = MakeButton(this, "cmdExport", "Export…");
    cmdExport->setToolTip(QStringLiteral("Save the last run's results as CSV, JSON or iCalendar"));
    actCopyResultsAsTable = new QAction(QStringLiteral("Copy results as table"), this);
    actCopyResultsAsTable->setObjectName(QStringLiteral("actCopyResultsAsTable"));
    txbOutput->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(txbOutput, &QWidget::customContextMenuRequested, this, &frmMain::ShowOutputContextMenu);
    connect(cmdExport, &QPushButton::clicked, this, &frmMain::ExportResults);
    connect(actCopyResultsAsTable, &QAction::triggered, this, &frmMain::CopyResultsAsTable);
}

// Right of "Clear output", so that the specified controls keep their places.
void frmMain::PlaceExportButton() {
    const int width = std::max(cmdExport->sizeHint().width(), cmdClearOutput->width());
    cmdExport->setGeometry(cmdClearOutput->x() + cmdClearOutput->width() + PxX(200), cmdClearOutput->y(), width,
                           cmdClearOutput->height());
}

void frmMain::RefreshExportControls() {
    const bool available = runState_ == RunState::Idle && exporting::HasExportableResults(lastRun_);
    cmdExport->setEnabled(available);
    actCopyResultsAsTable->setEnabled(available);
    // Shown with the output file command: once there is output and no transit run holds it.
    cmdExport->setVisible(!outputText_.empty() && !TransitRunInProgress());
}

void frmMain::ShowOutputContextMenu(const QPoint& position) {
    const std::unique_ptr<QMenu> menu(txbOutput->createStandardContextMenu(position));
    menu->addSeparator();
    menu->addAction(actCopyResultsAsTable);
    menu->exec(txbOutput->viewport()->mapToGlobal(position));
}

void frmMain::CopyResultsAsTable() {
    if (!actCopyResultsAsTable->isEnabled()) return;
    if (const auto rows = exporting::ExportDocument(lastRun_, exporting::ExportFormat::TabSeparated))
        QGuiApplication::clipboard()->setText(ToQ(*rows));
}

void frmMain::ExportResults() {
    if (!cmdExport->isEnabled()) return;
    DialogService::SaveChoice choice = dialogs_.GetSaveFileChoice("Export results", FilterList());
    if (choice.path.empty()) return;
    const exporting::ExportFormat format = ChosenFormat(choice);
    if (QFileInfo(ToQ(choice.path)).suffix().isEmpty()) choice.path += std::string(".") + exporting::FileExtension(format);
    const auto document = exporting::ExportDocument(lastRun_, format);
    if (!document) return;
    if (std::optional<std::string> error = WriteTextFile(choice.path, *document)) {
        ShowMessage({.text = "Error writing to file " + choice.path + "\r\n" + *error,
                     .title = kExportTitle,
                     .icon = util::MessageIcon::Exclamation});
        return;
    }
    ShowMessage({.text = "Results exported to file " + choice.path, .title = "Done", .icon = util::MessageIcon::Information});
}

}  // namespace kovo::ui
