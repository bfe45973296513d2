#pragma once
// The text of points.json: a JSON array of {"name": "NYSE Sun", "degree": 45.5}, and
// nothing else. The reader is strict: any other shape (a missing or unknown key, a
// degree that is not a number, text after the array) is refused with where it is.
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "points/named_point.h"

namespace kovo::points {

// The points, or what is wrong: "not JSON: line 3, column 5: ..." for a syntax
// error, "point 2: ..." for a point of the wrong shape or failing PointsProblem.
std::variant<std::vector<NamedPoint>, std::string> ParsePointsJson(std::string_view text);

// The points as the file holds them: one point a line, degrees in the shortest form
// that reads back to the same number. Read back by ParsePointsJson unchanged.
std::string PointsJson(const std::vector<NamedPoint>& points);

}  // namespace kovo::points
