#include "export/local_time.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace kovo::exporting {

LocalTime LocalTimeAt(const transits::TransitRunParams& params, double instantUt) {
    auto zone = params.ZoneAt(instantUt);
    return {.offsetMinutes = static_cast<int>(std::lround(zone.days * 1440.0)),
            .offsetDays = zone.days,
            .label = std::move(zone.text)};
}

std::string IsoOffset(int offsetMinutes) {
    const int magnitude = std::abs(offsetMinutes);
    char text[16];
    std::snprintf(text, sizeof text, "%c%02d:%02d", offsetMinutes < 0 ? '-' : '+', magnitude / 60, magnitude % 60);
    return text;
}

}  // namespace kovo::exporting
