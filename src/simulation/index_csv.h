#pragma once
// Turns a downloaded table of daily index closes (CSV) into the index price file: one
// line per weekday of 2007-2014 (2088 lines), the date, a TAB and the close with two
// decimals, or 0 for a day without a value; lines end with CR LF.
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "simulation/index_file.h"

namespace kovo::simulation {

// The file covers every weekday from 2007-01-01 (a Monday) through 2014-12-31, which
// gives ExpectedIndexLines lines.
inline constexpr std::int32_t kIndexFileFirstDay = 2454102;
inline constexpr std::int32_t kIndexFileLastDay = LastInvestmentDay;

struct DailyClose {
    std::int32_t dayNumber = 0;
    std::optional<double> close;  // empty for a day marked as without value
};

struct CsvReadResult {
    std::vector<DailyClose> closes;  // ascending day numbers
    std::string errorText;           // empty on success
};

// Reads CSV text with a header row. The date column is the one named "Date" (any case);
// the close column is "Close", else "DJIA", else one whose name begins with "Close",
// else "Adj Close", else the only other column. Dates are YYYY-MM-DD or MM/DD/YYYY;
// fields may be quoted, with thousands commas inside quotes; ".", "" and "null" mark
// a day without value. Rows must be in strictly ascending or strictly descending date
// order throughout; a descending table is returned ascending.
CsvReadResult ParseIndexCsv(std::string_view text);

// The ExpectedIndexLines lines (without line ends) for the weekdays of 2007-2014. errorText is set
// when a close does not fit the file's 8-character value field.
struct IndexFileLines {
    std::vector<std::string> lines;
    std::string errorText;
};
IndexFileLines BuildIndexFileLines(const std::vector<DailyClose>& closes);

// Writes content to a temporary file beside path and renames it over path, so that a
// failed write never leaves a half-written file. Returns an error text, or "".
std::string WriteFileAtomically(const std::string& path, std::string_view content);

// The kovo-djia command: args without the program name. Returns the exit status:
// 0 done, 1 failure (message on err), 2 bad usage.
int RunIndexConverter(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace kovo::simulation
