#include "points/named_point.h"

#include <cmath>

#include "util/text.h"
#include "util/utf8.h"

namespace kovo::points {

std::string NameProblem(const std::string& name) {
    if (util::TrimBlanks(name).empty()) return "the name is empty";
    if (util::TrimBlanks(name) != name) return "the name \"" + name + "\" begins or ends with a blank";
    for (const char c : name)
        if (static_cast<unsigned char>(c) < 32 || c == 127) return "the name holds a control character";
    if (util::ValidUtf8(name) != name) return "the name is not valid UTF-8 text";
    return {};
}

std::string PointsProblem(const std::vector<NamedPoint>& points) {
    for (std::size_t i = 0; i < points.size(); ++i) {
        const NamedPoint& p = points[i];
        const std::string place = "point " + std::to_string(i + 1) + ": ";
        if (std::string problem = NameProblem(p.name); !problem.empty()) return place + problem;
        if (!std::isfinite(p.degree) || p.degree < 0 || p.degree >= 360)
            return place + "the degree of \"" + p.name + "\" must be at least 0 and below 360";
        for (std::size_t j = 0; j < i; ++j)
            if (util::ToLower(points[j].name) == util::ToLower(p.name))
                return place + "the name \"" + p.name + "\" is used twice";
    }
    return {};
}

}  // namespace kovo::points
