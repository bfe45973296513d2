#pragma once
// A longitude as the user types it: "45.5" (degrees of the whole circle), or within a
// sign as "15°30' Taurus", "15 Taurus 30", "15°30'15\" Tau", "15.5 Taurus". Signs are
// named in full or by their first three letters or more, in any case; the degree mark,
// the minute mark (' or ′) and the second mark (" or ″) may be left out.
#include <string>
#include <string_view>
#include <variant>

namespace kovo::points {

// The tropical longitude in degrees (0 <= d < 360), or a sentence that says what is
// wrong and how to write it.
std::variant<double, std::string> ParseDegreeText(std::string_view text);

}  // namespace kovo::points
