#include "backtest/text_columns.h"

#include <charconv>
#include <cmath>

#include "util/utf8.h"

namespace kovo::backtest {

std::string Fixed(std::optional<double> value, int decimals) {
    if (!value || !std::isfinite(*value)) return "-";
    char buffer[352];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, *value, std::chars_format::fixed, decimals);
    if (result.ec != std::errc()) return "-";
    std::string text(buffer, result.ptr);
    if (text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
    return text;
}

std::string Percent(std::optional<double> fraction) {
    if (!fraction) return "-";
    return Fixed(*fraction * 100.0, 2);
}

std::string Right(const std::string& text, std::size_t width) {
    const std::size_t n = util::CharCount(text);
    return n >= width ? text : std::string(width - n, ' ') + text;
}

std::string Left(const std::string& text, std::size_t width) {
    const std::size_t n = util::CharCount(text);
    return n >= width ? text : text + std::string(width - n, ' ');
}

}  // namespace kovo::backtest
