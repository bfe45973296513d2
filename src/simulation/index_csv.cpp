#include "simulation/index_csv.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "calendar/calendar_services.h"
#include "platform/calendar_lib.h"
#include "simulation/simulation_slot.h"
#include "util/text.h"
#include "util/rounding.h"

namespace kovo::simulation {
namespace {

std::string Trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(" \t\r");
    return std::string(text.substr(first, last - first + 1));
}

// One CSV record; quoted fields may hold commas and doubled quotes.
std::vector<std::string> SplitCsvLine(std::string_view line) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"') {
            if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
                fields.back() += '"';
                ++i;
            } else {
                quoted = !quoted;
            }
        } else if (c == ',' && !quoted) {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    for (std::string& field : fields) field = Trim(field);
    return fields;
}

bool ReadInt(std::string_view text, int& value) {
    if (text.empty()) return false;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

// Day number of a YYYY-MM-DD or M/D/YYYY text; nullopt when it is no valid date.
std::optional<std::int32_t> ParseDate(const std::string& text) {
    int year = 0, month = 0, day = 0;
    bool ok = false;
    if (text.size() == 10 && text[4] == '-' && text[7] == '-') {
        ok = ReadInt(std::string_view(text).substr(0, 4), year) &&
             ReadInt(std::string_view(text).substr(5, 2), month) &&
             ReadInt(std::string_view(text).substr(8, 2), day);
    } else {
        const std::size_t a = text.find('/');
        const std::size_t b = a == std::string::npos ? a : text.find('/', a + 1);
        if (b != std::string::npos && text.size() - b - 1 == 4) {
            const std::string_view view(text);
            ok = ReadInt(view.substr(0, a), month) && ReadInt(view.substr(a + 1, b - a - 1), day) &&
                 ReadInt(view.substr(b + 1), year);
        }
    }
    if (!ok || year < 1 || month < 1 || month > 12 || day < 1 || day > 31) return std::nullopt;
    platform::DateRecord record{.year = year, .month = month, .day = day, .calendar = 'G'};
    const std::int32_t dayNumber = platform::euro_date_to_jdn(&record);
    if (record.valid == 0) return std::nullopt;
    return dayNumber;
}

bool IsMissingMark(const std::string& text) {
    const std::string lower = util::ToLower(text);
    return lower.empty() || lower == "." || lower == "null" || lower == "nan" || lower == "n/a" ||
           lower == "-";
}

// A close such as 12,474.52 or $12474.52; nullopt when the text is no number.
std::optional<double> ParseClose(const std::string& text) {
    std::string digits;
    for (char c : text) {
        if (c != ',' && c != '$' && c != ' ') digits += c;
    }
    double value = 0.0;
    const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || result.ec != std::errc() || result.ptr != digits.data() + digits.size() ||
        !std::isfinite(value))
        return std::nullopt;
    return value;
}

struct Columns {
    int date = -1;
    int close = -1;
};

int FindColumn(const std::vector<std::string>& names, bool (*matches)(const std::string&)) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (matches(names[i])) return static_cast<int>(i);
    }
    return -1;
}

Columns FindColumns(const std::vector<std::string>& header) {
    std::vector<std::string> names;
    for (const std::string& name : header) names.push_back(util::ToLower(name));
    Columns columns;
    columns.date = FindColumn(names, [](const std::string& n) { return n == "date"; });
    if (columns.date < 0) return columns;
    using Match = bool (*)(const std::string&);
    const Match preferences[] = {
        [](const std::string& n) { return n == "close"; },
        [](const std::string& n) { return n == "djia"; },
        [](const std::string& n) { return n.rfind("close", 0) == 0; },
        [](const std::string& n) { return n == "adj close" || n == "adj. close"; },
    };
    for (Match match : preferences) {
        columns.close = FindColumn(names, match);
        if (columns.close >= 0) return columns;
    }
    if (names.size() == 2) columns.close = 1 - columns.date;
    return columns;
}

std::string LineError(std::size_t lineNumber, const std::string& text) {
    return "line " + std::to_string(lineNumber) + ": " + text;
}

std::vector<std::string> SplitLines(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// Checks that the rows run one way throughout and returns them ascending.
std::string PutInAscendingOrder(std::vector<DailyClose>& closes,
                                const std::vector<std::size_t>& lineNumbers) {
    if (closes.size() < 2) return {};
    const bool descending = closes[1].dayNumber < closes[0].dayNumber;
    for (std::size_t i = 1; i < closes.size(); ++i) {
        const bool inOrder = descending ? closes[i].dayNumber < closes[i - 1].dayNumber
                                        : closes[i].dayNumber > closes[i - 1].dayNumber;
        if (!inOrder) {
            return LineError(lineNumbers[i], "dates out of order (" +
                                                 calendar::FormatDayNumberIso(closes[i].dayNumber) +
                                                 " after " +
                                                 calendar::FormatDayNumberIso(closes[i - 1].dayNumber) + ")");
        }
    }
    if (descending) std::reverse(closes.begin(), closes.end());
    return {};
}

}  // namespace

CsvReadResult ParseIndexCsv(std::string_view text) {
    CsvReadResult result;
    const std::vector<std::string> lines = SplitLines(text);
    std::size_t i = 0;
    while (i < lines.size() && Trim(lines[i]).empty()) ++i;
    if (i == lines.size()) {
        result.errorText = "the file holds no header line and no data";
        return result;
    }
    const Columns columns = FindColumns(SplitCsvLine(lines[i]));
    if (columns.date < 0 || columns.close < 0) {
        result.errorText = "no usable columns: the header line needs a \"Date\" column and a "
                           "\"Close\" or \"DJIA\" column";
        return result;
    }
    std::vector<std::size_t> lineNumbers;
    const auto needed = static_cast<std::size_t>(std::max(columns.date, columns.close));
    for (++i; i < lines.size(); ++i) {
        if (Trim(lines[i]).empty()) continue;
        const std::vector<std::string> fields = SplitCsvLine(lines[i]);
        if (fields.size() <= needed) {
            result.errorText = LineError(i + 1, "too few fields");
            return result;
        }
        const std::string& dateText = fields[static_cast<std::size_t>(columns.date)];
        const std::string& closeText = fields[static_cast<std::size_t>(columns.close)];
        const std::optional<std::int32_t> day = ParseDate(dateText);
        if (!day) {
            result.errorText = LineError(i + 1, "\"" + dateText + "\" is not a date (YYYY-MM-DD or MM/DD/YYYY)");
            return result;
        }
        DailyClose close{.dayNumber = *day, .close = std::nullopt};
        if (!IsMissingMark(closeText)) {
            close.close = ParseClose(closeText);
            if (!close.close || *close.close < 0) {
                result.errorText = LineError(i + 1, "\"" + closeText + "\" is not a closing value");
                return result;
            }
        }
        result.closes.push_back(close);
        lineNumbers.push_back(i + 1);
    }
    result.errorText = PutInAscendingOrder(result.closes, lineNumbers);
    return result;
}

IndexFileLines BuildIndexFileLines(const std::vector<DailyClose>& closes) {
    IndexFileLines result;
    auto next = closes.begin();
    for (std::int32_t day = kIndexFileFirstDay; day <= kIndexFileLastDay; ++day) {
        if (day % 7 >= 5) continue;  // day number mod 7: 0 is Monday, 5 and 6 the weekend
        while (next != closes.end() && next->dayNumber < day) ++next;
        std::string value = "0";
        if (next != closes.end() && next->dayNumber == day && next->close && *next->close > 0) {
            value = util::FixedTwoDecimals(*next->close);
            if (value.size() > 8) {
                result.errorText = "the close " + value + " of " + calendar::FormatDayNumberIso(day) +
                                   " does not fit the 8 characters of a value";
                return result;
            }
        }
        result.lines.push_back(calendar::FormatDayNumberIso(day) + "\t" + value);
    }
    return result;
}

std::string WriteFileAtomically(const std::string& path, std::string_view content) {
    const std::string temporary = path + ".tmp";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        if (!file) return "cannot create " + temporary;
        file.write(content.data(), static_cast<std::streamsize>(content.size()));
        file.flush();
        if (!file) {
            file.close();
            std::remove(temporary.c_str());
            return "cannot write " + temporary;
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) {
        std::remove(temporary.c_str());
        return "cannot replace " + path + ": " + error.message();
    }
    return {};
}

}  // namespace kovo::simulation
