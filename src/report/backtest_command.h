#pragma once
// kovo-report backtest: trades a CSV of daily closes on the in-orb periods of a pair and
// prints the statistics table as text, CSV or JSON.
#include <ostream>
#include <string>
#include <vector>

namespace kovo::report {

// args begins with "backtest". Returns the exit status: 0 done, 1 refused, 2 bad options
// (the usage is printed to errors).
int RunBacktestCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& errors,
                       bool errorsIsTerminal);

std::string BacktestUsageText();

}  // namespace kovo::report
