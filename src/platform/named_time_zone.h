#pragma once
// Named time zones ("America/New_York") from the system's tz database, read from its zone
// files, whose footer rule carries daylight saving on past their listed changes (to the
// end of 2199). Instants are Julian Days in UT; local readings are local Julian dates.
// Offsets are seconds east of Greenwich. Nothing here throws: a missing database or a
// damaged file is a refusal with its reason.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kovo::platform {

class ZoneTimeline;
struct NamedTimeZoneLoad;

class NamedTimeZone {
public:
    // The zone of that name (a link such as "US/Eastern" gives its target's rules, under
    // the name asked for), or why there is none.
    static NamedTimeZoneLoad Load(std::string_view name);
    // The same without the reason.
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

    // The abbreviations in force between two UT instants, each once, in order of use:
    // {"EST", "EDT"}.
    std::vector<std::string> AbbreviationsBetween(double fromUt, double toUt) const;

private:
    NamedTimeZone(std::string name, std::shared_ptr<const ZoneTimeline> timeline)
        : name_(std::move(name)), timeline_(std::move(timeline)) {}

    std::string name_;
    std::shared_ptr<const ZoneTimeline> timeline_;  // shared by copies, never empty
};

struct NamedTimeZoneLoad {
    enum class Failure { None, UnknownName, NoDatabase, Unreadable };
    std::optional<NamedTimeZone> zone;
    Failure failure = Failure::None;
    // Why there is no zone, as a sentence fragment: "the time-zone database entry
    // America/New_York cannot be read: it is cut short". "" when there is one.
    std::string problem;
};

// The folder of the tz database: $TZDIR when set, else /usr/share/zoneinfo.
std::string TimeZoneDatabaseFolder();

// Every zone name of the database, sorted; empty without a database.
std::vector<std::string> NamedTimeZoneNames();

// The computer's own zone name, or "" when it cannot be told.
std::string SystemTimeZoneName();

}  // namespace kovo::platform
