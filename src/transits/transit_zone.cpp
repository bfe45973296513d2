#include <cmath>

#include "transits/transit_params.h"

namespace kovo::transits {

namespace {
constexpr double kSecondsPerDay = 86400.0;
}

double TransitRunParams::ZoneDaysAt(double local) const {
    if (!namedZone) return TimezoneMinutes() / 1440.0;
    const double midnight = std::floor(local + 0.5) - 0.5;
    return namedZone->OffsetAtLocal(midnight) / kSecondsPerDay;
}

TransitRunParams::ZoneReading TransitRunParams::ZoneAt(double instantUt) const {
    if (!namedZone) return {.days = TimezoneMinutes() / 1440.0, .text = timezoneText};
    auto reading = namedZone->AtInstant(instantUt);
    return {.days = reading.offsetSeconds / kSecondsPerDay, .text = std::move(reading.abbreviation)};
}

}  // namespace kovo::transits
