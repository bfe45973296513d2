#include "report/run_output.h"

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

}  // namespace

int DeliverRunOutput(const CliOptions& o, util::RunOutcome outcome, const std::string& text,
                     const exporting::RunRecords& records, std::ostream& out, std::ostream& errors) {
    std::string content = text;
    if (o.format != OutputFormat::Text) {
        const auto document = exporting::ExportDocument(
            records, ExportFormatOf(o.format), {.icsPeriods = o.icsPeriods, .simulationSummary = o.summary, .stampUtc = {}});
        if (!document) return 0;
        content = *document;
    } else if (outcome == util::RunOutcome::Refused && content.empty() && !o.outputPath.empty()) {
        return 0;  // a refused run leaves an existing file alone
    }
    if (o.outputPath.empty()) {
        out << content;
        return 0;
    }
    if (const std::string problem = util::WriteFileAtomically(o.outputPath, content); !problem.empty()) {
        errors << "kovo-report: " << problem << "\n";
        return 1;
    }
    return 0;
}

}  // namespace kovo::report
