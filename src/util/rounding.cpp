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
    static const double scales[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
    const double scale = places >= 0 && places <= 9 ? scales[places] : std::pow(10.0, places);
    return std::nearbyint(x * scale) / scale;
}

double RoundCents(double x) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.2f", x);
    return std::strtod(buffer, nullptr);
}

}  // namespace kovo::util
