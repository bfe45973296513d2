#include "prices/daily_closes_csv.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <istream>
#include <streambuf>

#include "calendar/calendar_services.h"
#include "calendar/iso_date.h"
#include "util/text.h"
#include "util/rounding.h"

namespace kovo::prices {
namespace {

constexpr std::size_t kQuotedChars = 60;  // of a field shown in a message

std::string Trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(" \t\r");
    return std::string(text.substr(first, last - first + 1));
}

// A field for a message or heading: at most kQuotedChars characters, cut at a character
// boundary, with control characters shown as "?" so that nothing can upset a terminal.
std::string Shown(std::string_view text) {
    std::string shown;
    std::size_t chars = 0;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        const bool startsChar = (byte & 0xC0) != 0x80;
        if ((startsChar && chars == kQuotedChars) || shown.size() == 4 * kQuotedChars) return shown + "...";
        if (startsChar) ++chars;
        shown += byte < 0x20 || byte == 0x7F ? '?' : c;
    }
    return shown;
}

std::string Quote(std::string_view text) { return "\"" + Shown(text) + "\""; }

// Splits a text into lines at LF, CR LF or a lone CR, reading the stream a block at a
// time, so that memory stays one block and one line however large the input is.
class CappedLineReader {
public:
    enum class Status { Line, TooLong, End };

    explicit CappedLineReader(std::istream& in) : in_(in) {}

    Status Next(std::string& line) {
        line.clear();
        bool started = false;
        for (;;) {
            if (pos_ == size_ && !Fill()) {
                if (!started) return Status::End;
                ++lineNumber_;
                return Status::Line;
            }
            if (afterCr_) {
                afterCr_ = false;
                if (buffer_[pos_] == '\n') {  // the second half of a CR LF
                    ++pos_;
                    continue;
                }
            }
            const char* begin = buffer_.data() + pos_;
            const char* end = buffer_.data() + size_;
            const char* stop = std::find_if(begin, end, [](char c) { return c == '\n' || c == '\r'; });
            const auto taken = static_cast<std::size_t>(stop - begin);
            if (line.size() + taken > kCsvMaxLineBytes) {
                ++lineNumber_;
                return Status::TooLong;
            }
            line.append(begin, taken);
            pos_ += taken;
            started = true;
            if (stop != end) {
                afterCr_ = *stop == '\r';
                ++pos_;
                ++lineNumber_;
                return Status::Line;
            }
        }
    }

    std::size_t LineNumber() const { return lineNumber_; }

private:
    bool Fill() {
        if (!in_) return false;
        in_.read(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
        size_ = static_cast<std::size_t>(in_.gcount());
        pos_ = 0;
        return size_ > 0;
    }

    std::istream& in_;
    std::vector<char> buffer_ = std::vector<char>(std::size_t{1} << 16);
    std::size_t pos_ = 0;
    std::size_t size_ = 0;
    std::size_t lineNumber_ = 0;
    bool afterCr_ = false;
};

// A read-only stream over text held elsewhere, so that text is parsed without a copy.
class ViewBuffer : public std::streambuf {
public:
    explicit ViewBuffer(std::string_view text) {
        char* begin = const_cast<char*>(text.data());  // the get area is never written
        setg(begin, begin, begin + text.size());
    }
};

// The header's separator: a comma, else ";" or TAB, whichever it holds more of.
char DetectSeparator(std::string_view header) {
    std::size_t commas = 0, semicolons = 0, tabs = 0;
    bool quoted = false;
    for (const char c : header) {
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        commas += c == ',';
        semicolons += c == ';';
        tabs += c == '\t';
    }
    if (commas == 0 && semicolons + tabs > 0) return semicolons >= tabs ? ';' : '\t';
    return ',';
}

// One CSV record; quoted fields may hold separators and doubled quotes. False when the
// record has more than kCsvMaxFields fields.
bool SplitCsvLine(std::string_view line, char separator, std::vector<std::string>& fields) {
    fields.assign(1, std::string());
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
        } else if (c == separator && !quoted) {
            if (fields.size() == kCsvMaxFields) return false;
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    for (std::string& field : fields) field = Trim(field);
    return true;
}

bool ReadInt(std::string_view text, int& value) {
    if (text.empty()) return false;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

// Day number of a YYYY-MM-DD or M/D/YYYY text; nullopt when it is no valid date.
std::optional<std::int32_t> ParseDate(const std::string& text) {
    if (const auto iso = calendar::IsoDayNumber(text)) return iso;
    int year = 0, month = 0, day = 0;
    bool ok = false;
    const std::size_t a = text.find('/');
    const std::size_t b = a == std::string::npos ? a : text.find('/', a + 1);
    if (b != std::string::npos && text.size() - b - 1 == 4) {
        const std::string_view view(text);
        ok = ReadInt(view.substr(0, a), month) && ReadInt(view.substr(a + 1, b - a - 1), day) &&
             ReadInt(view.substr(b + 1), year);
    }
    if (!ok || year < 1 || month < 1 || month > 12 || day < 1 || day > 31) return std::nullopt;
    return calendar::DayNumberOf({.year = year, .month = month, .day = day});
}

bool IsMissingMark(const std::string& text) {
    const std::string lower = util::ToLower(text);
    return lower.empty() || lower == "." || lower == "null" || lower == "nan" || lower == "n/a" ||
           lower == "-";
}

// Tables separated by ";" or TAB come from places that may write a decimal comma. The
// last of "," and "." is the decimal mark when both appear; a lone comma is one unless
// exactly three digits follow it, which could as well be thousands and is refused.
bool NormaliseDecimalComma(std::string& digits) {
    const std::size_t comma = digits.rfind(',');
    if (comma == std::string::npos) return true;
    const std::size_t dot = digits.rfind('.');
    if (dot != std::string::npos) {
        const char grouping = dot > comma ? ',' : '.';
        std::erase(digits, grouping);
        std::replace(digits.begin(), digits.end(), ',', '.');
        return true;
    }
    if (std::count(digits.begin(), digits.end(), ',') > 1) {
        std::erase(digits, ',');
        return true;
    }
    if (digits.size() - comma - 1 == 3) return false;
    digits[comma] = '.';
    return true;
}

// A close such as 12,474.52 or $12474.52 (or 12474,52 beside a ";" or TAB separator);
// nullopt when the text is no number.
std::optional<double> ParseClose(const std::string& text, char separator) {
    std::string digits;
    for (char c : text) {
        if ((c != ',' || separator != ',') && c != '$' && c != ' ') digits += c;
    }
    if (separator != ',' && !NormaliseDecimalComma(digits)) return std::nullopt;
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

// A column of a quote table that is not the close, by its lower-case name: such a
// column alone beside the dates must not be traded as closes.
bool NamesOtherFigure(const std::string& name) {
    std::string_view n = name;
    for (const std::string_view adjusted : {"adj. ", "adj ", "adjusted "})
        if (n.rfind(adjusted, 0) == 0) n.remove_prefix(adjusted.size());
    for (const char* other : {"open", "high", "low", "vol", "change", "chg", "%", "turnover", "shares", "trades"})
        if (n.rfind(other, 0) == 0) return true;
    return false;
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
    if (names.size() == 2 && !NamesOtherFigure(names[static_cast<std::size_t>(1 - columns.date)]))
        columns.close = 1 - columns.date;
    return columns;
}

std::string LineError(std::size_t lineNumber, const std::string& text) {
    return "line " + std::to_string(lineNumber) + ": " + text;
}

const std::string kSaveAsUtf8 = "save it as UTF-8 text (\"CSV UTF-8\") and try again";
const std::string kNoTable = ": not a table of daily closes";

// Takes the lines of a table one at a time and keeps only the rows read so far.
class IndexCsvParser {
public:
    // False once a hard error has ended the table.
    bool Take(std::size_t lineNumber, std::string_view line) {
        if (lineNumber == 1 && line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);
        if (lineNumber == 1 && (line.substr(0, 2) == "\xFF\xFE" || line.substr(0, 2) == "\xFE\xFF"))
            return Fail("the file is UTF-16 text: " + kSaveAsUtf8);
        if (line.find('\0') != std::string_view::npos)
            return Fail(LineError(lineNumber, "NUL bytes: the file looks like UTF-16 text; " + kSaveAsUtf8));
        if (Trim(line).empty()) return true;
        if (!haveHeader_) separator_ = DetectSeparator(line);
        if (!SplitCsvLine(line, separator_, fields_))
            return Fail(LineError(lineNumber, "more than " + std::to_string(kCsvMaxFields) + " fields"));
        return haveHeader_ ? Row(lineNumber) : Header();
    }

    bool Fail(std::string text) {
        result_.errorText = std::move(text);
        return false;
    }

    CsvReadResult Finish() {
        if (result_.errorText.empty() && !haveHeader_)
            result_.errorText = "the file holds no header line and no data";
        if (result_.errorText.empty() && direction_ < 0)
            std::reverse(result_.closes.begin(), result_.closes.end());
        return std::move(result_);
    }

private:
    bool Header() {
        haveHeader_ = true;
        columns_ = FindColumns(fields_);
        if (columns_.date >= 0 && columns_.close >= 0) {
            result_.closeColumn = Shown(fields_[static_cast<std::size_t>(columns_.close)]);
            return true;
        }
        std::string text = "no usable columns: the header line needs a \"Date\" column and a "
                           "\"Close\", \"Adj Close\" or \"DJIA\" column";
        if (columns_.date >= 0 && fields_.size() == 2)
            text += "; " + Quote(fields_[static_cast<std::size_t>(1 - columns_.date)]) + " holds no closes";
        return Fail(text);
    }

    bool Row(std::size_t lineNumber) {
        if (fields_.size() <= static_cast<std::size_t>(std::max(columns_.date, columns_.close)))
            return Fail(LineError(lineNumber, "too few fields"));
        const std::string& dateText = fields_[static_cast<std::size_t>(columns_.date)];
        const std::string& closeText = fields_[static_cast<std::size_t>(columns_.close)];
        const std::optional<std::int32_t> day = ParseDate(dateText);
        if (!day) return Fail(LineError(lineNumber, Quote(dateText) + " is not a date (YYYY-MM-DD or MM/DD/YYYY)"));
        DailyClose close{.dayNumber = *day, .close = std::nullopt, .line = lineNumber};
        if (!IsMissingMark(closeText)) {
            close.close = ParseClose(closeText, separator_);
            if (!close.close || *close.close < 0)
                return Fail(LineError(lineNumber, Quote(closeText) + " is not a closing value"));
            if (*close.close != 0 && (*close.close < kSmallestClose || *close.close > kLargestClose))
                return Fail(LineError(lineNumber, "the close " + Quote(closeText) +
                                                      " is outside 0.000001 to 1000000000000"));
        }
        if (!InOrder(*day)) {
            const std::int32_t previous = result_.closes.back().dayNumber;
            return Fail(LineError(lineNumber, "dates out of order (" + calendar::FormatDayNumberIso8601(*day) + " after " +
                                                  calendar::FormatDayNumberIso8601(previous) + ")"));
        }
        result_.closes.push_back(close);
        return true;
    }

    // Rows run one way throughout: the first two decide which.
    bool InOrder(std::int32_t day) {
        if (result_.closes.empty()) return true;
        const std::int32_t previous = result_.closes.back().dayNumber;
        if (direction_ == 0) direction_ = day < previous ? -1 : 1;
        return direction_ < 0 ? day < previous : day > previous;
    }

    CsvReadResult result_;
    std::vector<std::string> fields_;
    bool haveHeader_ = false;
    char separator_ = ',';
    Columns columns_;
    int direction_ = 0;  // 1 ascending, -1 descending, 0 not known yet
};

}  // namespace

CsvReadResult ReadDailyClosesCsv(std::istream& in) {
    CappedLineReader reader(in);
    IndexCsvParser parser;
    std::string line;
    for (;;) {
        const CappedLineReader::Status status = reader.Next(line);
        const std::size_t number = reader.LineNumber();
        if (status == CappedLineReader::Status::End) break;
        if (status == CappedLineReader::Status::TooLong) {
            parser.Fail(LineError(number, "longer than " + std::to_string(kCsvMaxLineBytes) + " bytes" + kNoTable));
            break;
        }
        if (number > kCsvMaxLines) {
            parser.Fail(LineError(number, "more than " + std::to_string(kCsvMaxLines) + " lines" + kNoTable));
            break;
        }
        if (!parser.Take(number, line)) break;
    }
    return parser.Finish();
}

CsvReadResult ParseDailyClosesCsv(std::string_view text) {
    ViewBuffer buffer(text);
    std::istream in(&buffer);
    return ReadDailyClosesCsv(in);
}

}  // namespace kovo::prices
