#include "chart/local_time.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "astro/catalogue.h"
#include "calendar/calendar_services.h"
#include "transits/local_time.h"
#include "transits/transit_minima.h"

namespace kovo::chart {

namespace {

std::string Clock(std::int32_t day, int hour, int minute, const std::string& zone) {
    char time[8];
    std::snprintf(time, sizeof time, "%02d:%02d", hour, minute);
    return calendar::FormatDayNumberIso(day) + " " + time + " " + zone;
}

}  // namespace

std::string ZoneTitle(const transits::TransitRunParams& params, double fromUt, double toUt) {
    const auto* named = params.zone.NamedZone();
    if (!named) return params.zone.Name();
    std::string used;
    for (const std::string& name : named->AbbreviationsBetween(fromUt, toUt))
        used += (used.empty() ? "" : "/") + name;
    return named->Name() + " (" + used + ")";
}

double LocalJulianDate(const transits::TransitRunParams& params, double instantUt) {
    return instantUt + transits::LocalTimeAt(params, instantUt).offsetDays;
}

double UtOfLocal(const transits::TransitRunParams& params, double localJd) {
    // As the scan reads its local dates: with the offset of the day's local midnight.
    return localJd - params.ZoneDaysAt(localJd);
}

std::int32_t LocalDayAt(const transits::TransitRunParams& params, double instantUt) {
    return static_cast<std::int32_t>(std::floor(LocalJulianDate(params, instantUt) + 0.5));
}

std::string FormatExactMinute(const transits::TransitRunParams& params, double instantUt) {
    const transits::LocalTime offset = transits::LocalTimeAt(params, instantUt);
    const transits::ExactClock clock = transits::ExactClockAt(instantUt + offset.offsetDays);
    return Clock(clock.day, clock.hour, clock.minute, offset.label);
}

std::string FormatLocalTime(const transits::TransitRunParams& params, double instantUt) {
    const transits::LocalTime offset = transits::LocalTimeAt(params, instantUt);
    const double local = instantUt + offset.offsetDays + 0.5;
    const double day = std::floor(local);
    // The guard keeps a whole minute from reading as the one before.
    const int minuteOfDay = std::min(1439, static_cast<int>(std::floor((local - day) * 1440.0 + 1e-6)));
    return Clock(static_cast<std::int32_t>(day), minuteOfDay / 60, minuteOfDay % 60, offset.label);
}

std::string FormatDeviation(double radians) {
    const long seconds = std::lround(std::fabs(radians) / astro::FullCircle * 360.0 * 3600.0);
    char text[32];
    std::snprintf(text, sizeof text, "%ld\u00b0%02ld'%02ld\"", seconds / 3600, seconds / 60 % 60, seconds % 60);
    return text;
}

}  // namespace kovo::chart
