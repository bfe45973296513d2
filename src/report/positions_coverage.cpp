#include "report/positions_coverage.h"

#include "astro/catalogue.h"
#include "astro/pluto.h"
#include "astro/positions.h"
#include "calendar/calendar_services.h"

namespace kovo::report {

namespace {

int YearOf(std::int32_t dayNumber) {
    calendar::DateRecord record;
    record.calendar = calendar::kGregorian;
    record.dayNumber = dayNumber;
    calendar::DateFromDayNumber(record);
    return record.year;
}

std::string CoveredYears(int planet, bool heliocentric) {
    if (planet != astro::kPluto) return {};
    const std::int32_t lastDay = heliocentric ? astro::kPlutoHelioLastDay : astro::kPlutoGeoLastDay;
    return ": its " + std::string(heliocentric ? "heliocentric" : "geocentric") + " positions cover the years " +
           std::to_string(YearOf(astro::kPlutoFirstDay)) + " to " +
           std::to_string(YearOf(lastDay)) + " (UT)";
}

}  // namespace

std::string PositionsCoverageRefusal(int planet, bool heliocentric, double firstInstant, double lastInstant) {
    const std::string name = astro::PlanetName(planet, heliocentric, false);
    if (astro::PlanetLongitude(planet, firstInstant, heliocentric) == astro::kBeforeData)
        return "Start date is too early for " + name + CoveredYears(planet, heliocentric) + ".";
    if (astro::PlanetLongitude(planet, lastInstant, heliocentric) == astro::kAfterData)
        return "End date is too late for " + name + CoveredYears(planet, heliocentric) + ".";
    return {};
}

}  // namespace kovo::report
