#pragma once
// Runs one kovo-report command: the same core runs as the window, with a headless host.
#include <ostream>
#include <string>
#include <vector>

#include "report/chart_command.h"

namespace kovo::report {

// Exit status: 0 done, 1 refused or failed (messages on `errors`), 2 bad usage.
int RunReport(const std::vector<std::string>& args, std::ostream& out, std::ostream& errors, bool errorsIsTerminal);
// The same, able to run the chart command through `chartWriter`.
int RunReport(const std::vector<std::string>& args, std::ostream& out, std::ostream& errors, bool errorsIsTerminal,
              const ChartFileWriter& chartWriter);

}  // namespace kovo::report
