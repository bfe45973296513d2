#pragma once
// The zone a run reports its dates and times in: either a fixed entry of the zone list
// (its offset and the label the report shows) or a named zone of the tz database, whose
// offset follows the date.
#include <string>
#include <variant>

#include "platform/named_time_zone.h"

namespace kovo::calendar {

class ReportZone {
public:
    ReportZone() = default;  // GMT
    static ReportZone Fixed(int offsetMinutes, std::string label);
    static ReportZone Named(platform::NamedTimeZone zone);

    bool IsNamed() const { return std::holds_alternative<platform::NamedTimeZone>(value_); }
    // The named zone, or null for a fixed entry.
    const platform::NamedTimeZone* NamedZone() const { return std::get_if<platform::NamedTimeZone>(&value_); }
    // Minutes east of Greenwich of a fixed entry (0 for a named zone).
    int FixedMinutes() const;

    // The offset east of Greenwich, in days, for the local Julian date `local`: the one in
    // force at the local midnight that begins its day (local day floor(local + 0.5)).
    double DaysAt(double local) const;
    // The offset, in days, and the zone's text at a UT instant: a named zone's
    // abbreviation then ("EDT"), else the fixed entry's label.
    struct Reading {
        double days = 0;
        std::string text;
    };
    Reading At(double instantUt) const;
    // The zone as a heading or an export names it: the tz name, or the label.
    const std::string& Name() const;

private:
    struct FixedOffset {
        int minutes;
        std::string label;
    };
    std::variant<FixedOffset, platform::NamedTimeZone> value_{FixedOffset{0, "GMT"}};
};

}  // namespace kovo::calendar
