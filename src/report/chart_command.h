#pragma once
// The chart command's hand-off: kovo-report's core runs the transit command and hands
// its records to a writer that the program supplies, since drawing needs Qt and this
// layer has none.
#include <functional>
#include <string>

#include "export/run_records.h"

namespace kovo::report {

struct ChartRequest {
    std::string path;  // ends in .svg or .png
    int width = 1600;  // pixels
    int height = 900;
    bool cycles = false;  // lanes of the bodies' retrograde cycles and ingresses too
    bool moon = false;    // the lane of the Moon's phases and the eclipses too
};

// Draws the records into the file; returns "" when the whole file was written, else why
// not (an older file at the path is then left as it was).
using ChartFileWriter = std::function<std::string(const exporting::RunRecords& records, const ChartRequest& request)>;

}  // namespace kovo::report
