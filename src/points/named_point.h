#pragma once
// A point of the zodiac the user named, such as the Sun of a market's first trading day.
#include <string>
#include <vector>

namespace kovo::points {

struct NamedPoint {
    std::string name;     // not empty, no surrounding blanks, no control characters
    double degree = 0;    // tropical longitude in degrees, 0 <= degree < 360

    bool operator==(const NamedPoint&) const = default;
};

// "" when the list can be kept, else what is wrong with the first bad point, naming it
// by its place ("point 2: ..."): an empty name, a degree outside 0 <= d < 360 (or not
// finite), a name used twice (letters compared without case).
std::string PointsProblem(const std::vector<NamedPoint>& points);

// The problem of one name alone ("" when it is fine).
std::string NameProblem(const std::string& name);

}  // namespace kovo::points
