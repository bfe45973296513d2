#include "simulation/index_file.h"

#include <filesystem>
#include <limits>
#include <system_error>
#include <string>
#include <utility>

#include "calendar/calendar_services.h"
#include "calendar/iso_date.h"
#include "util/line_reader.h"
#include "util/rounding.h"
#include "util/text.h"

namespace kovo::simulation {

namespace {

// A sound line has about twenty characters; anything far longer is damage and need
// not be kept whole.
constexpr std::size_t kMaxIndexLineLength = 4096;
constexpr int kFallForwardDays = 5;

util::Message IndexFileError() {
    util::Message message;
    message.text = "Error reading DJIA data file";
    message.title = util::kProgramTitle;
    return message;
}

// The same message naming the first line that is not a dated line in order.
util::Message DamagedIndexFile(std::size_t lineNumber, const std::string& problem) {
    util::Message message = IndexFileError();
    message.text += "\r\nLine " + std::to_string(lineNumber) + " " + problem;
    return message;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Whether the line starts with a real date written YYYY-MM-DD followed by a separator.
// A bare date is accepted: the blank after it was trimmed, and a line without a value
// counts as a day without one.
bool StartsWithDate(const std::string& line) {
    if (line.size() < 10 || (line.size() > 10 && IsDigit(line[10]))) return false;
    const std::string text = line.substr(0, 10);
    // Written back, the date must read the same: no year before 1000.
    const auto day = calendar::IsoDayNumber(text);
    return day && calendar::FormatDayNumberIso(*day) == text;
}

// A path as a shell word: bare when it holds only harmless characters, else in quotes.
std::string ShellWord(const std::string& text) {
    const bool plain = !text.empty() && text.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                                              "0123456789/._-+,:@") == std::string::npos;
    if (plain) return text;
    std::string quoted = "'";
    for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

}  // namespace

util::Message ExplainIndexFileError(util::Message message, const std::string& path) {
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(path, error);
    if (error) absolute = path;
    const std::string where = absolute.lexically_normal().string();
    message.text += "\r\nLooked for: " + where;
    message.text += "\r\nTo make it from a CSV of daily closes: kovo-djia closes.csv -o " + ShellWord(where);
    return message;
}

std::optional<util::Message> IndexPrices::Load(const std::string& path) {
    lines_.clear();
    // The first line out of layout or order, kept to be reported once the count is right.
    std::size_t badLine = 0;
    std::string problem;
    auto take = [&](std::string& line, std::size_t lineNumber) {
        // One line more than expected is enough to know the count is wrong.
        if (lines_.size() > static_cast<std::size_t>(ExpectedIndexLines)) return false;
        if (badLine == 0) {
            if (!StartsWithDate(line)) {
                problem = "does not start with a date written YYYY-MM-DD and a separator.";
            } else if (!lines_.empty() && line.compare(0, 10, lines_.back(), 0, 10) <= 0) {
                problem = "is not dated after the line before it.";
            }
            if (!problem.empty()) badLine = lineNumber;
        }
        lines_.push_back(std::move(line));
        return true;
    };
    const auto result = util::ForEachTrimmedLine(path, util::LineEnds::CrOrCrLf, take, kMaxIndexLineLength);
    if (!result.errorText.empty() || IndexLineCount() != ExpectedIndexLines) return IndexFileError();
    // The lookup is a binary search by date: a line it cannot read or an order it cannot
    // rely on would only show later as prices that cannot be found.
    if (badLine != 0) return DamagedIndexFile(badLine, problem);
    return std::nullopt;
}

void IndexPrices::SetIndexLines(std::vector<std::string> lines) { lines_ = std::move(lines); }

const std::string& IndexPrices::IndexLine(std::int32_t position) const {
    return lines_.at(static_cast<std::size_t>(position - 1));
}

std::optional<std::int32_t> IndexPrices::FindIndexLine(std::string_view key) const {
    // key compared with the first key.size() characters of line `position`
    auto compare = [&](std::int32_t position) {
        return key.compare(std::string_view(IndexLine(position)).substr(0, key.size()));
    };
    const std::int32_t n = IndexLineCount();
    if (n == 0 || compare(1) < 0 || compare(n) > 0) return std::nullopt;
    if (n == 1) return 1;
    std::int32_t lo = 1;
    std::int32_t hi = n;
    std::int32_t mid = n / 2;
    for (;;) {
        const int c = compare(mid);
        if (c == 0) return mid;
        if (c < 0) {
            if (mid == lo) return std::nullopt;
            hi = mid - 1;
            mid -= (mid - lo + 1) / 2;
        } else {
            if (mid == hi) return std::nullopt;
            lo = mid + 1;
            mid += (hi - mid + 1) / 2;
        }
    }
}

double IndexPrices::LineValue(std::string_view line) {
    const std::string_view valueText = line.size() > 11 ? line.substr(11) : std::string_view();
    const std::string padded = "0000" + std::string(valueText);
    const std::size_t keep = 8;
    return util::NumericPrefix(std::string_view(padded).substr(padded.size() > keep ? padded.size() - keep : 0));
}

std::optional<double> IndexPrices::IndexValueOnOrAfter(std::int32_t day) const {
    for (int k = 0; k < kFallForwardDays; ++k) {
        if (day > std::numeric_limits<std::int32_t>::max() - k) break;
        const auto position = FindIndexLine(calendar::FormatDayNumberIso(day + k));
        if (!position) continue;
        const double value = LineValue(IndexLine(*position));
        // A value that rounds to 0.00 cannot price an investment (the gain would divide by
        // zero), so it counts as a day without a value like 0 does.
        if (value > 0 && util::RoundCents(value) > 0) return value;
    }
    return std::nullopt;
}

}  // namespace kovo::simulation
