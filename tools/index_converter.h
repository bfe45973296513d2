#pragma once
// kovo-djia: turns a table of daily index closes (CSV) into the index price file: one
// line per weekday of 2007-2014 (2088 lines), the date, a TAB and the close with two
// decimals, or 0 for a day without a value; lines end with CR LF.
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "prices/daily_closes_csv.h"
#include "simulation/index_file.h"

namespace kovo::tools {

// The file covers every weekday from 2007-01-01 (a Monday) through 2014-12-31, which
// gives ExpectedIndexLines lines.
inline constexpr std::int32_t kIndexFileFirstDay = 2454102;
inline constexpr std::int32_t kIndexFileLastDay = simulation::LastInvestmentDay;

// The ExpectedIndexLines lines (without line ends) for the weekdays of 2007-2014. errorText is set
// when a close does not fit the file's 8-character value field.
struct IndexFileLines {
    std::vector<std::string> lines;
    std::string errorText;
};
IndexFileLines BuildIndexFileLines(const std::vector<prices::DailyClose>& closes);

// The kovo-djia command: args without the program name. Returns the exit status:
// 0 done, 1 failure (message on err, also when writing to out fails), 2 bad usage.
// The output file is written with util::WriteFileAtomically.
int RunIndexConverter(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace kovo::tools
