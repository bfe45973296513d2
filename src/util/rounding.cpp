#include "util/rounding.h"

#include <cmath>
#include <charconv>
#include <string>

namespace kovo::util {

std::int64_t RoundHalfEven(double x) {
    // nearbyint follows the current rounding mode, which is round-half-even by default.
    return static_cast<std::int64_t>(std::nearbyint(x));
}

double RoundDecimalsHalfEven(double x, int places) {
    static const double scales[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
    const double scale = places >= 0 && places <= 9 ? scales[places] : std::pow(10.0, places);
    return std::nearbyint(x * scale) / scale;
}

std::string FixedTwoDecimals(double x) {
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::fixed, 2);
    return result.ec == std::errc() ? std::string(buffer, result.ptr) : std::string("0.00");
}

double RoundCents(double x) {
    if (!std::isfinite(x)) return x;
    const std::string text = FixedTwoDecimals(x);
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

}  // namespace kovo::util
