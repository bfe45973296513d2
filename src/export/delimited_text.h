#pragma once
// A table as RFC 4180 CSV (UTF-8 without a byte-order mark, CRLF line ends, a header
// row) and as tab-separated rows for pasting into a spreadsheet.
#include <string>

#include "export/export_table.h"

namespace kovo::exporting {

// Fields holding a comma, a quote, CR or LF are quoted, quotes doubled.
std::string CsvText(const ExportTable& table);

// One line per row, LF-terminated, fields separated by TAB; tabs and line breaks inside
// a field become spaces, since a paste has no quoting.
std::string TabSeparatedText(const ExportTable& table);

}  // namespace kovo::exporting
