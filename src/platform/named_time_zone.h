#pragma once
// Named time zones ("America/New_York") from the system's tz database, over Howard
// Hinnant's date/tz library. Instants are Julian Days in UT; local readings are local
// Julian dates. Offsets are seconds east of Greenwich. Lookups never throw: a missing or
// damaged database reads as "no such zone".
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kovo::platform {

class NamedTimeZone {
public:
    // The zone of that name (a link such as "US/Eastern" gives its target's rules, under
    // the name asked for); nothing for an unknown name or without a database.
    static std::optional<NamedTimeZone> Find(std::string_view name);

    const std::string& Name() const { return name_; }

    struct Reading {
        int offsetSeconds = 0;
        std::string abbreviation;  // "EDT", "+0545"
    };
    // The offset and abbreviation in force at a UT instant.
    Reading AtInstant(double instantUt) const;

    // The offset that turns the local clock reading `local` into UT. Where the clocks
    // skip that reading (the hour lost in spring) it is the offset before the change, so
    // the reading maps onto the change itself; where they show it twice, the first.
    int OffsetAtLocal(double local) const;
    // Every offset with which the clocks show `local`: none in a skipped hour, two (the
    // earlier first) in a repeated one.
    std::vector<int> OffsetsAtLocal(double local) const;

private:
    NamedTimeZone(std::string name, const void* zone) : name_(std::move(name)), zone_(zone) {}

    std::string name_;
    const void* zone_;  // a date::time_zone of the database, which lives as long as the program
};

// Every zone name of the database, sorted; empty without a database.
std::vector<std::string> NamedTimeZoneNames();

// The computer's own zone name, or "" when it cannot be told.
std::string SystemTimeZoneName();

}  // namespace kovo::platform
