#include "export/delimited_text.h"

#include "util/utf8.h"

namespace kovo::exporting {

namespace {

std::string CsvField(const std::string& raw) {
    const std::string text = util::ValidUtf8(raw);  // a zone or file name may not be UTF-8
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

std::string TabField(std::string text) {
    for (char& c : text)
        if (c == '\t' || c == '\r' || c == '\n') c = ' ';
    return text;
}

template <typename Field>
std::string Delimited(const ExportTable& table, char separator, const char* lineEnd, Field field) {
    std::string out;
    auto line = [&](const auto& cells, auto text) {
        for (std::size_t i = 0; i < cells.size(); ++i) {
            if (i > 0) out += separator;
            out += field(text(cells[i]));
        }
        out += lineEnd;
    };
    line(table.columns, [](const std::string& name) { return name; });
    for (const auto& row : table.rows) line(row, [](const Cell& cell) { return cell.text; });
    return out;
}

}  // namespace

std::string CsvText(const ExportTable& table, LineEnd lineEnd) {
    return Delimited(table, ',', lineEnd == LineEnd::CrLf ? "\r\n" : "\n", CsvField);
}

std::string TabSeparatedText(const ExportTable& table) { return Delimited(table, '\t', "\n", TabField); }

}  // namespace kovo::exporting
