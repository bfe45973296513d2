#pragma once
// points.json on disk: read whole or not at all, written complete or not at all.
#include <string>
#include <vector>

#include "points/named_point.h"

namespace kovo::points {

// The name of the file in the program's settings folder.
inline constexpr const char* kPointsFileName = "points.json";

struct PointsLoad {
    std::vector<NamedPoint> points;  // empty when problem is set
    // "" when the points were read or there is no file yet; else a sentence naming the
    // file and what is wrong with it. The file itself is never changed by reading.
    std::string problem;
};

PointsLoad LoadPointsFile(const std::string& path);

// Replaces the file with `points` (making its folder when there is none yet). Returns
// "" on success, else a sentence naming the file and the reason; a list that fails
// PointsProblem is refused before anything is written.
std::string SavePointsFile(const std::string& path, const std::vector<NamedPoint>& points);

}  // namespace kovo::points
