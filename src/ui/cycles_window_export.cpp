// The cycles window's "Export…": the list shown, in the format of the chosen filter (or
// of the name's extension), written complete or not at all.
#include <QFileInfo>

#include "export/export_document.h"
#include "export/icalendar.h"
#include "ui/cycles_window.h"
#include "ui/output_file.h"
#include "ui/qt_text.h"

namespace kovo::ui {

namespace {

struct ExportFilter {
    const char* filter;
    const char* extension;
    requests::CyclesFormat format;
};

constexpr ExportFilter kFilters[] = {
    {"Text files (*.txt)", "txt", requests::CyclesFormat::Text},
    {"CSV files (*.csv)", "csv", requests::CyclesFormat::Csv},
    {"JSON files (*.json)", "json", requests::CyclesFormat::Json},
    {"iCalendar files (*.ics)", "ics", requests::CyclesFormat::ICalendar},
};

std::string AllFilters() {
    std::string all;
    for (const ExportFilter& f : kFilters) all += (all.empty() ? "" : ";;") + std::string(f.filter);
    return all;
}

// The chosen filter; without one (a service that cannot tell), the name's extension.
const ExportFilter* FilterOf(const DialogService::SaveChoice& choice) {
    const std::string suffix = FromQ(QFileInfo(ToQ(choice.path)).suffix().toLower());
    for (const ExportFilter& f : kFilters)
        if (choice.selectedFilter.empty() ? suffix == f.extension : choice.selectedFilter == f.filter) return &f;
    return nullptr;
}

// Transits to a point: the report text as the run wrote it, or the transit export.
std::optional<std::string> PointDocument(const requests::PointTransitsFound& found, requests::CyclesFormat format,
                                         const std::string& stamp) {
    if (format == requests::CyclesFormat::Text) return found.report;
    const exporting::ExportFormat as = format == requests::CyclesFormat::Csv    ? exporting::ExportFormat::Csv
                                       : format == requests::CyclesFormat::Json ? exporting::ExportFormat::Json
                                                                                : exporting::ExportFormat::ICalendar;
    return exporting::ExportDocument(exporting::RunRecords{found.result}, as, {.stampUtc = stamp});
}

}  // namespace

bool CyclesWindow::ExportClicked() {
    if (!found_ && !pointFound_) {
        ShowStatus(QStringLiteral("Run first: there is no list to export."), true);
        return false;
    }
    DialogService::SaveChoice choice = dialogs_.GetSaveFileChoice("Export the list", AllFilters());
    if (choice.path.empty()) return false;
    const ExportFilter* filter = FilterOf(choice);
    if (filter == nullptr) {
        dialogs_.ShowMessage({.text = "Name the file with one of the extensions .txt, .csv, .json or .ics.",
                              .title = "Export",
                              .icon = util::MessageIcon::Exclamation});
        return false;
    }
    // A name typed without an extension gets the chosen filter's.
    if (QFileInfo(ToQ(choice.path)).suffix().isEmpty()) choice.path += std::string(".") + filter->extension;
    const std::string stamp = filter->format == requests::CyclesFormat::ICalendar ? exporting::CurrentStampUtc() : "";
    const std::optional<std::string> document =
        found_ ? requests::CyclesFoundDocument(*found_, filter->format, stamp) : PointDocument(*pointFound_, filter->format, stamp);
    if (!document) {
        ShowStatus(QStringLiteral("The run found no period: there is nothing to export."), true);
        return false;
    }
    const std::string& text = *document;
    if (const auto reason = WriteTextFile(choice.path, text)) {
        dialogs_.ShowMessage({.text = "Cannot write " + choice.path + ": " + *reason,
                              .title = "Export",
                              .icon = util::MessageIcon::Exclamation});
        return false;
    }
    ShowStatus(QStringLiteral("Wrote %1.").arg(ToQ(choice.path)), false);
    return true;
}

}  // namespace kovo::ui
