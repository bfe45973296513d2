#pragma once
// Reads a downloaded table of daily closes (CSV) into dated values: the layouts that
// quote services and economic data archives offer.
#include <cstddef>
#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kovo::prices {

// Caps on a CSV table: a daily table has short lines, a handful of columns and some
// tens of thousands of rows.
inline constexpr std::size_t kCsvMaxLineBytes = 4096;
inline constexpr std::size_t kCsvMaxFields = 64;
inline constexpr std::size_t kCsvMaxLines = 500000;

// The closes a table may hold besides zero (a day without trading in some tables): any
// price quoted in practice lies far inside, and outside it ratios and compounded returns
// overflow to inf or lose all their digits.
inline constexpr double kSmallestClose = 1e-6;
inline constexpr double kLargestClose = 1e12;

struct DailyClose {
    std::int32_t dayNumber = 0;
    std::optional<double> close;  // empty for a day marked as without value
    std::size_t line = 0;         // the table's line (1-based), for messages about this row
};

struct CsvReadResult {
    std::vector<DailyClose> closes;  // ascending day numbers
    std::string closeColumn;         // the header's name of the close column, as messages quote fields
    std::string errorText;           // empty on success
};

// Reads a CSV table with a header row. The date column is the one named "Date" (any
// case); the close column is "Close", else "DJIA", else one whose name begins with
// "Close", else "Adj Close", else the only other column of a two-column table unless
// its name says it holds something else (Open, High, Low, Volume, Change). Dates are YYYY-MM-DD or
// MM/DD/YYYY; fields may be quoted, with thousands commas inside quotes; ".", "" and
// "null" mark a day without value. Rows must be in strictly ascending or strictly
// descending date order throughout; a descending table is returned ascending.
//
// Lines end with LF, CR LF or a lone CR; a UTF-8 byte order mark is skipped and UTF-16
// text is refused with advice to save it as UTF-8. The separator is a comma, or ";" or
// TAB when the header line holds no comma; with those a decimal comma is understood too
// (12474,52 and 12.474,52), and a lone comma before exactly three digits is refused as
// ambiguous. A close other than zero outside kSmallestClose..kLargestClose is refused
// with its line number.
//
// The stream is read a block at a time and reading stops at the first error, so memory
// stays small for any input: the caps below are refused with the line number. Messages
// quote at most 60 characters of a field.
CsvReadResult ReadDailyClosesCsv(std::istream& in);
CsvReadResult ParseDailyClosesCsv(std::string_view text);  // the same over text in memory

}  // namespace kovo::prices
