#include "calendar/report_zone.h"

#include <cmath>

namespace kovo::calendar {

namespace {
constexpr double kSecondsPerDay = 86400.0;
constexpr double kMinutesPerDay = 1440.0;
}  // namespace

ReportZone ReportZone::Fixed(int offsetMinutes, std::string label) {
    ReportZone zone;
    zone.value_ = FixedOffset{offsetMinutes, std::move(label)};
    return zone;
}

ReportZone ReportZone::Named(platform::NamedTimeZone named) {
    ReportZone zone;
    zone.value_ = std::move(named);
    return zone;
}

int ReportZone::FixedMinutes() const {
    const auto* fixed = std::get_if<FixedOffset>(&value_);
    return fixed ? fixed->minutes : 0;
}

double ReportZone::DaysAt(double local) const {
    const auto* named = NamedZone();
    if (!named) return FixedMinutes() / kMinutesPerDay;
    const double midnight = std::floor(local + 0.5) - 0.5;
    return named->OffsetAtLocal(midnight) / kSecondsPerDay;
}

ReportZone::Reading ReportZone::At(double instantUt) const {
    const auto* named = NamedZone();
    if (!named) return {.days = FixedMinutes() / kMinutesPerDay, .text = std::get<FixedOffset>(value_).label};
    auto reading = named->AtInstant(instantUt);
    return {.days = reading.offsetSeconds / kSecondsPerDay, .text = std::move(reading.abbreviation)};
}

const std::string& ReportZone::Name() const {
    if (const auto* named = NamedZone()) return named->Name();
    return std::get<FixedOffset>(value_).label;
}

}  // namespace kovo::calendar
