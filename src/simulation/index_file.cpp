#include "simulation/index_file.h"

#include <limits>
#include <utility>

#include "calendar/calendar_services.h"
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

}  // namespace

std::optional<util::Message> IndexPrices::Load(const std::string& path) {
    lines_.clear();
    // One line more than expected is enough to know the count is wrong.
    const auto result = util::ReadTrimmedLines(path, lines_, util::LineEnds::CrOrCrLf, kMaxIndexLineLength,
                                               ExpectedIndexLines + 1);
    if (!result.errorText.empty() || IndexLineCount() != ExpectedIndexLines) return IndexFileError();
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
