#pragma once
// A table as RFC 4180 CSV (UTF-8 without a byte-order mark, a header row) and as
// tab-separated rows for pasting into a spreadsheet. Every CSV the program writes comes
// from CsvText, so all share one quoting rule.
#include <string>

#include "export/export_table.h"

namespace kovo::exporting {

// The line end: CRLF for the run exports; LF for the backtest's tables, which have
// always been written so.
enum class LineEnd { CrLf, Lf };

// Fields holding a comma, a quote, CR or LF are quoted, quotes doubled.
std::string CsvText(const ExportTable& table, LineEnd lineEnd = LineEnd::CrLf);

// One line per row, LF-terminated, fields separated by TAB; tabs and line breaks inside
// a field become spaces, since a paste has no quoting.
std::string TabSeparatedText(const ExportTable& table);

}  // namespace kovo::exporting
