#include "transits/local_time.h"

#include <cmath>

namespace kovo::transits {

LocalTime LocalTimeAt(const TransitRunParams& params, double instantUt) {
    TransitRunParams::ZoneReading zone = params.ZoneAt(instantUt);
    return {.offsetMinutes = static_cast<int>(std::lround(zone.days * 1440.0)),
            .offsetDays = zone.days,
            .label = std::move(zone.text)};
}

}  // namespace kovo::transits
