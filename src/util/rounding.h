#pragma once
// The one rounding rule for whole numbers (halves to even) and the decimal roundings.
#include <cstdint>
#include <string>

namespace kovo::util {

// Nearest whole number, halves to even. Not for NaN or values beyond 2^63.
std::int64_t RoundHalfEven(double x);

// x rounded to `places` decimals as a double, halves of the scaled value to even.
double RoundDecimalsHalfEven(double x, int places);

// The correctly rounded two-decimal value of x (what "%.2f" prints in the C locale),
// as a double; independent of the process locale.
double RoundCents(double x);

// x with exactly two decimals and "." as the decimal point, correctly rounded, whatever
// the process locale (a window toolkit may switch it to one with a decimal comma).
std::string FixedTwoDecimals(double x);

}  // namespace kovo::util
