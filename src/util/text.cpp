#include "util/text.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

#include "util/rounding.h"

namespace kovo::util {

std::string CleanIntegerText(std::string_view text, bool allowMinus, bool allowPlus) {
    std::string result;
    bool first = true;
    for (char c : text) {
        const bool digit = c >= '0' && c <= '9';
        if (!digit && c != '-' && c != '+') continue;
        if (first) {
            first = false;
            if (digit || (c == '-' && allowMinus) || (c == '+' && allowPlus)) result += c;
        } else if (digit) {
            result += c;
        }
    }
    return result;
}

std::string StripLeadingChars(std::string_view text, std::string_view chars) {
    if (chars.empty()) return std::string(text);
    std::size_t i = 0;
    while (i < text.size() && chars.find(text[i]) != std::string_view::npos) ++i;
    return std::string(text.substr(i));
}

std::string TrimBlanks(std::string_view text) {
    std::size_t b = 0;
    std::size_t e = text.size();
    while (b < e && text[b] == ' ') ++b;
    while (e > b && text[e - 1] == ' ') --e;
    return std::string(text.substr(b, e - b));
}

std::string TrimTrailingControl(std::string_view text) {
    std::size_t e = text.size();
    while (e > 0 && static_cast<unsigned char>(text[e - 1]) < 32) --e;
    return std::string(text.substr(0, e));
}

double NumericPrefix(std::string_view text) {
    std::string number;
    bool seenSign = false;
    bool seenDigitOrPoint = false;
    bool seenPoint = false;
    for (char c : text) {
        if (c == ' ' || c == '\t') continue;
        if ((c == '-' || c == '+') && !seenSign && !seenDigitOrPoint) {
            seenSign = true;
            number += c;
        } else if (c >= '0' && c <= '9') {
            seenDigitOrPoint = true;
            number += c;
        } else if (c == '.' && !seenPoint) {
            seenPoint = true;
            seenDigitOrPoint = true;
            number += c;
        } else {
            break;
        }
    }
    // from_chars reads "." whatever the process locale is, and takes no "+".
    const bool negative = !number.empty() && number[0] == '-';
    if (!number.empty() && (number[0] == '-' || number[0] == '+')) number.erase(0, 1);
    if (number.empty() || number == ".") return 0.0;
    double value = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) value = 1e308;
    if (!std::isfinite(value)) value = 1e308;
    return negative ? -value : value;
}

int ClampedWholeNumber(std::string_view text) {
    const double v = NumericPrefix(text);
    constexpr double lo = std::numeric_limits<int>::min();
    constexpr double hi = std::numeric_limits<int>::max();
    if (v <= lo) return std::numeric_limits<int>::min();
    if (v >= hi) return std::numeric_limits<int>::max();
    return static_cast<int>(RoundHalfEven(v));
}

std::string ToLower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace kovo::util
