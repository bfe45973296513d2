#pragma once
// The one rounding rule for whole numbers (halves to even) and the decimal roundings.
#include <cstdint>

namespace kovo::util {

// Nearest whole number, halves to even. Not for NaN or values beyond 2^63.
std::int64_t RoundHalfEven(double x);

// x rounded to `places` decimals as a double, halves of the scaled value to even.
double RoundDecimalsHalfEven(double x, int places);

// The correctly rounded two-decimal value of x (what "%.2f" prints), as a double.
double RoundCents(double x);

}  // namespace kovo::util
