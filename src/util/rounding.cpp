#include "util/rounding.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace kovo::util {

std::int64_t RoundHalfEven(double x) {
    // nearbyint follows the current rounding mode, which is round-half-even by default.
    return static_cast<std::int64_t>(std::nearbyint(x));
}

double RoundDecimalsHalfEven(double x, int places) {
    const double scale = std::pow(10.0, places);
    return std::nearbyint(x * scale) / scale;
}

double RoundCents(double x) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.2f", x);
    return std::strtod(buffer, nullptr);
}

}  // namespace kovo::util
