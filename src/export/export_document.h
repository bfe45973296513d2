#pragma once
// A run's records as one export document, whichever run made them: the single entry
// point of kovo-report and the window.
#include <optional>
#include <string>

#include "export/icalendar.h"
#include "export/run_records.h"

namespace kovo::exporting {

enum class ExportFormat { Csv, Json, ICalendar, TabSeparated };

struct ExportOptions {
    bool icsPeriods = false;         // iCalendar: an all-day event per outer-orb period too
    bool simulationSummary = false;  // CSV and tab-separated: the summary instead of the events
    std::string stampUtc;            // iCalendar DTSTAMP; empty: now
};

// Whether the records hold anything to export: a transit run that recorded a period, or
// a simulation whose walk ran.
bool HasExportableResults(const RunRecords& records);

// The document; nothing when the records hold no run: none yet, a refused run, or an
// all-transits run that scanned no pair.
std::optional<std::string> ExportDocument(const RunRecords& records, ExportFormat format,
                                          const ExportOptions& options = {});

// "csv", "json", "ics" or "tsv".
const char* FileExtension(ExportFormat format);

}  // namespace kovo::exporting
