#pragma once
// Text cleaning shared by the date fields, the file readers and the state store.
#include <string>
#include <string_view>

namespace kovo::util {

// Keeps the characters of "0123456789-+"; the first kept one survives only if it is a
// digit, or "-" with allowMinus, or "+" with allowPlus; after it only digits remain.
std::string CleanIntegerText(std::string_view text, bool allowMinus, bool allowPlus);

// Removes the leading run of characters that belong to chars.
std::string StripLeadingChars(std::string_view text, std::string_view chars);

// Removes leading and trailing blanks (spaces only).
std::string TrimBlanks(std::string_view text);

// Removes control characters (codes below 32) from the end.
std::string TrimTrailingControl(std::string_view text);

// The leading number of a text: blanks anywhere are ignored, an optional sign, digits
// and at most one "."; reading stops at the first other character; 0 when none.
double NumericPrefix(std::string_view text);

// NumericPrefix rounded half to even and clamped into the 32-bit range, so that a
// very long digit string never wraps into a small number.
int ClampedWholeNumber(std::string_view text);

std::string ToLower(std::string_view text);

}  // namespace kovo::util
