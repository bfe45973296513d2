#pragma once
// The options of kovo-report sweep, parsed into a request.
#include <string>
#include <vector>

#include "sweep/sweep_request.h"

namespace kovo::report {

enum class SweepFormat { Text, Csv, Json };

struct SweepOptions {
    std::string pricesPath;
    std::string outputPath;   // -o
    std::string periodsPath;  // --periods-out: CSV, or JSON Lines for .jsonl / .ndjson / .json
    SweepFormat format = SweepFormat::Text;
    sweep::SweepRequest request;
    bool help = false;
};

// "" when understood, else the problem for the usage message. The default jobs are the
// machine's cores.
std::string ParseSweepOptions(const std::vector<std::string>& args, SweepOptions& o);

// Whether --periods-out writes JSON Lines (by the file's extension) rather than CSV.
bool PeriodsAsJsonLines(const std::string& path);

}  // namespace kovo::report
