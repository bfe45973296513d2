#include "export/export_document.h"

#include <algorithm>
#include <vector>

#include "export/delimited_text.h"
#include "export/export_table.h"
#include "export/json_document.h"

namespace kovo::exporting {

namespace {

std::vector<const transits::TransitResult*> Results(const RunRecords& records) {
    std::vector<const transits::TransitResult*> results;
    if (const auto* one = std::get_if<transits::TransitResult>(&records)) results.push_back(one);
    if (const auto* all = std::get_if<transits::AllTransitsResult>(&records))
        for (const transits::TransitResult& pair : all->pairs) results.push_back(&pair);
    return results;
}

util::RunOutcome TransitOutcome(const RunRecords& records) {
    if (const auto* one = std::get_if<transits::TransitResult>(&records)) return one->outcome;
    return std::get<transits::AllTransitsResult>(records).outcome;
}

std::string Transits(const RunRecords& records, ExportFormat format, const ExportOptions& options) {
    const auto results = Results(records);
    switch (format) {
        case ExportFormat::Csv: return CsvText(TransitTable(results));
        case ExportFormat::TabSeparated: return TabSeparatedText(TransitTable(results));
        case ExportFormat::Json: return TransitJson(results, TransitOutcome(records));
        case ExportFormat::ICalendar: break;
    }
    return TransitCalendar(results, {.periods = options.icsPeriods,
                                     .stampUtc = options.stampUtc.empty() ? CurrentStampUtc() : options.stampUtc});
}

std::string Simulation(const simulation::SimulationRun& run, ExportFormat format, const ExportOptions& options) {
    const ExportTable table = options.simulationSummary ? SimulationSummaryTable(run) : SimulationEventTable(run);
    switch (format) {
        case ExportFormat::Csv: return CsvText(table);
        case ExportFormat::TabSeparated: return TabSeparatedText(table);
        case ExportFormat::Json: return SimulationJson(run);
        case ExportFormat::ICalendar: break;
    }
    return SimulationCalendar(run, {.periods = false,
                                    .stampUtc = options.stampUtc.empty() ? CurrentStampUtc() : options.stampUtc});
}

bool WalkRan(const simulation::SimulationRun& run) { return simulation::Walked(run.outcome); }

}  // namespace

bool HasExportableResults(const RunRecords& records) {
    if (const auto* run = std::get_if<simulation::SimulationRun>(&records)) return WalkRan(*run);
    for (const transits::TransitResult* result : Results(records))
        if (result->Recorded()) return true;
    return false;
}

std::optional<std::string> ExportDocument(const RunRecords& records, ExportFormat format, const ExportOptions& options) {
    if (std::holds_alternative<std::monostate>(records)) return std::nullopt;
    if (const auto* run = std::get_if<simulation::SimulationRun>(&records)) {
        if (!WalkRan(*run)) return std::nullopt;
        return Simulation(*run, format, options);
    }
    // A refused run scanned nothing; an all-transits run reports the pairs it did scan.
    const auto results = Results(records);
    if (std::none_of(results.begin(), results.end(),
                     [](const transits::TransitResult* r) { return r->outcome != util::RunOutcome::Refused; }))
        return std::nullopt;
    return Transits(records, format, options);
}

const char* FileExtension(ExportFormat format) {
    switch (format) {
        case ExportFormat::Csv: return "csv";
        case ExportFormat::Json: return "json";
        case ExportFormat::ICalendar: return "ics";
        case ExportFormat::TabSeparated: break;
    }
    return "tsv";
}

}  // namespace kovo::exporting
