#pragma once
// The daily index prices that value the simulated investments: one text file of
// "YYYY-MM-DD<separator>value" lines sorted by date, read once at start-up and kept as
// its trimmed, non-empty lines. Days are day numbers (Julian Day Numbers of civil days).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "util/message.h"

namespace kovo::simulation {

// A weekday line for every Monday to Friday of 2007-2014.
inline constexpr std::int32_t ExpectedIndexLines = 2088;
// Investments may be simulated from 2007-01-03 through 2014-12-31, whatever the file holds.
inline constexpr std::int32_t FirstInvestmentDay = 2454104;
inline constexpr std::int32_t LastInvestmentDay = 2457023;

inline constexpr const char* kIndexFileName = "DJIA_data.txt";

// A message of IndexPrices::Load made plain for someone who has never heard of the file:
// the same title and lines, then the absolute path that was read ("Looked for: ...") and
// the command that makes the file there with kovo-djia from a CSV of daily closes. Lines
// end with CR LF like the message's own.
util::Message ExplainIndexFileError(util::Message message, const std::string& path);

class IndexPrices {
public:
    // Reads the file (a bare name is looked for in the working folder): lines end with
    // CR LF or a lone CR and are trimmed of blanks; blank lines are not stored, nor is a
    // UTF-8 byte-order mark at the start. Returns the message to show when the file is
    // not a regular file, cannot be read or does not hold exactly ExpectedIndexLines
    // lines; or, when the count is right, the same message with a second line naming the
    // first line that does not start with a real date (YYYY-MM-DD and a separator) or is
    // not dated after the line before it. The lines read stay stored either way. Reading
    // stops just past the expected count and cuts overlong lines, so a huge or binary
    // file costs little memory.
    std::optional<util::Message> Load(const std::string& path = kIndexFileName);

    // Replaces the stored lines as they are (no trimming, no count check).
    void SetIndexLines(std::vector<std::string> lines);

    // The stored lines in file order; IndexLine is 1-based like the positions below.
    const std::vector<std::string>& IndexLines() const { return lines_; }
    const std::string& IndexLine(std::int32_t position) const;
    std::int32_t IndexLineCount() const { return static_cast<std::int32_t>(lines_.size()); }

    // Binary search for the 1-based position of a line whose first key.size()
    // characters equal key (character-code order). Unreliable in an unsorted file.
    std::optional<std::int32_t> FindIndexLine(std::string_view key) const;

    // The value for `day`, or when that day has no positive value, for the first of the
    // next four days that has one; nothing when all five have none. A value below half a
    // cent counts as none.
    std::optional<double> IndexValueOnOrAfter(std::int32_t day) const;

    // The value of a line: "0000" + the text from the 12th character on, cut to its last
    // 8 characters, read as a leading number (0 when there is none).
    static double LineValue(std::string_view line);

private:
    std::vector<std::string> lines_;
};

}  // namespace kovo::simulation
