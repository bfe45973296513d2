#pragma once
// kovo-report run in-process, its exit status and both streams captured.
#include <sstream>
#include <string>
#include <vector>

#include "report/report_commands.h"

namespace kovo::testing {

struct ReportResult {
    int status;
    std::string out;
    std::string err;
};

inline ReportResult Report(std::vector<std::string> args) {
    std::ostringstream out, err;
    const int status = report::RunReport(args, out, err, false);
    return {status, out.str(), err.str()};
}

}  // namespace kovo::testing
