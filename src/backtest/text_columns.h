#pragma once
// The cell formats of the backtest's text tables: fixed decimals with "." whatever the
// locale, "-" where a value does not apply, and padding by characters (not bytes, so
// that "°" counts once).
#include <optional>
#include <string>

namespace kovo::backtest {

// value with `decimals` digits after the point ("-0.00" becomes "0.00"); "-" when absent
// or not finite.
std::string Fixed(std::optional<double> value, int decimals);
// 100 * fraction with two decimals, as the statistics table shows it.
std::string Percent(std::optional<double> fraction);
std::string Right(const std::string& text, std::size_t width);
std::string Left(const std::string& text, std::size_t width);

}  // namespace kovo::backtest
