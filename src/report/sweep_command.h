#pragma once
// kovo-report sweep: every pair's aspects (and optionally cycles and the Moon's phases)
// backtested against one CSV of closes on every core, ranked by q over the whole sweep;
// kovo-report sweep-merge: the JSON results of sweeps split by their pairs, merged.
#include <ostream>
#include <string>
#include <vector>

namespace kovo::report {

inline constexpr int kInterruptedStatus = 130;  // 128 + SIGINT, as a shell reports it

bool IsSweepCommand(const std::string& command);

// args begins with "sweep" or "sweep-merge". Returns the exit status: 0 done, 1 refused,
// 2 bad options, 130 interrupted by Ctrl-C (nothing written).
int RunSweepCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& errors,
                    bool errorsIsTerminal);

std::string SweepUsageText(const std::string& command);

}  // namespace kovo::report
