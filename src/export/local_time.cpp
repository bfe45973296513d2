#include "export/local_time.h"

#include <cstdio>
#include <cstdlib>

namespace kovo::exporting {

LocalTime LocalTimeAt(const transits::TransitRunParams& params, double /*instantUt*/) {
    return {.offsetMinutes = params.TimezoneMinutes(), .label = params.timezoneText};
}

std::string IsoOffset(int offsetMinutes) {
    const int magnitude = std::abs(offsetMinutes);
    char text[16];
    std::snprintf(text, sizeof text, "%c%02d:%02d", offsetMinutes < 0 ? '-' : '+', magnitude / 60, magnitude % 60);
    return text;
}

}  // namespace kovo::exporting
