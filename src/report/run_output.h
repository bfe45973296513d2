#pragma once
// Where a kovo-report run's findings go: the report text or an export of its records,
// on standard output or into the -o file (complete or not at all).
#include <ostream>
#include <string>

#include "export/export_document.h"
#include "report/cli_options.h"
#include "util/run_outcome.h"

namespace kovo::report {

// `text` is the report as printed (line ends already chosen); an all-transits report
// gets a line for each pair that was refused. A refused or failed run writes no -o file
// (an existing one stays as it was), and a simulation never writes over its index file.
// Returns 0, or 1 after a message on `errors` when the file could not be written.
int DeliverRunOutput(const CliOptions& options, util::RunOutcome outcome, const std::string& text,
                     const exporting::RunRecords& records, std::ostream& out, std::ostream& errors);

// Writes `content` to `path` complete or not at all; 0, or 1 after a message on `errors`.
int WriteWholeFile(const std::string& path, const std::string& content, std::ostream& errors);

// `content` on standard output, or into `outputPath` (when not empty) complete or not at
// all; 0, or 1 after a message on `errors`.
int DeliverText(const std::string& outputPath, const std::string& content, std::ostream& out, std::ostream& errors);

}  // namespace kovo::report
