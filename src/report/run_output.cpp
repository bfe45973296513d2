#include "report/run_output.h"

#include <variant>

#include "util/safe_file.h"

namespace kovo::report {

namespace {

exporting::ExportFormat ExportFormatOf(OutputFormat format) {
    switch (format) {
        case OutputFormat::Json: return exporting::ExportFormat::Json;
        case OutputFormat::ICalendar: return exporting::ExportFormat::ICalendar;
        case OutputFormat::Csv:
        case OutputFormat::Text: break;
    }
    return exporting::ExportFormat::Csv;
}

// The report's own account of the pairs an all-transits run could not scan, so that a
// report read later does not pass for a complete one.
std::string SkippedPairs(const exporting::RunRecords& records, bool lineFeeds) {
    const auto* all = std::get_if<transits::AllTransitsResult>(&records);
    if (all == nullptr) return {};
    std::string lines;
    for (const transits::TransitResult& pair : all->pairs)
        if (pair.outcome == util::RunOutcome::Refused)
            lines += "A pair was not scanned: " + pair.refusal + (lineFeeds ? "\n" : "\r\n");
    return lines;
}

// The files a run read, which its output must not replace.
std::vector<std::string> InputsOf(const CliOptions& o) {
    if (o.command == Command::Simulate) return {o.indexFile};
    return {};
}

}  // namespace

int DeliverRunOutput(const CliOptions& o, util::RunOutcome outcome, const std::string& text,
                     const exporting::RunRecords& records, std::ostream& out, std::ostream& errors) {
    std::string content = text;
    if (o.format != OutputFormat::Text) {
        const auto document = exporting::ExportDocument(
            records, ExportFormatOf(o.format), {.icsPeriods = o.icsPeriods, .simulationSummary = o.summary, .stampUtc = {}});
        if (!document) return 0;
        content = *document;
    } else {
        content += SkippedPairs(records, o.lineFeeds);
    }
    if (o.outputPath.empty()) {
        out << content;
        return 0;
    }
    // A refused or failed run leaves an existing file alone: its output is not whole.
    if (!util::Succeeded(outcome)) return 0;
    if (const std::string problem = util::WriteFileAtomically(o.outputPath, content, InputsOf(o)); !problem.empty()) {
        errors << "kovo-report: " << problem << "\n";
        return 1;
    }
    return 0;
}

int WriteWholeFile(const std::string& path, const std::string& content, std::ostream& errors) {
    if (const std::string problem = util::WriteFileAtomically(path, content); !problem.empty()) {
        errors << "kovo-report: " << problem << "\n";
        return 1;
    }
    return 0;
}

int DeliverText(const std::string& outputPath, const std::string& content, std::ostream& out, std::ostream& errors) {
    if (outputPath.empty()) {
        out << content;
        return 0;
    }
    return WriteWholeFile(outputPath, content, errors);
}

}  // namespace kovo::report
