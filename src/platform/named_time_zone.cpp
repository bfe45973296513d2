#include "platform/named_time_zone.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include <date/tz.h>

namespace kovo::platform {

namespace {

constexpr double kUnixEpochJd = 2440587.5;
constexpr double kSecondsPerDay = 86400.0;
// Beyond these the tz rules mean nothing and the conversions below would overflow.
constexpr double kEarliestJd = 1721425.5;  // 0001-01-01
constexpr double kLatestJd = 5373484.5;    // 9999-12-31

const date::time_zone* Zone(const void* zone) { return static_cast<const date::time_zone*>(zone); }

std::chrono::seconds SecondsFromEpoch(double jd) {
    const double clamped = std::clamp(jd, kEarliestJd, kLatestJd);
    return std::chrono::seconds(static_cast<std::int64_t>(std::floor((clamped - kUnixEpochJd) * kSecondsPerDay + 0.5)));
}

}  // namespace

std::optional<NamedTimeZone> NamedTimeZone::Find(std::string_view name) {
    if (name.empty()) return std::nullopt;
    try {
        const date::time_zone* zone = date::locate_zone(name);
        if (zone == nullptr) return std::nullopt;
        return NamedTimeZone(std::string(name), zone);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

NamedTimeZone::Reading NamedTimeZone::AtInstant(double instantUt) const {
    const date::sys_seconds at{SecondsFromEpoch(instantUt)};
    const date::sys_info info = Zone(zone_)->get_info(at);
    return {.offsetSeconds = static_cast<int>(info.offset.count()), .abbreviation = info.abbrev};
}

int NamedTimeZone::OffsetAtLocal(double local) const {
    const date::local_seconds at{SecondsFromEpoch(local)};
    const date::local_info info = Zone(zone_)->get_info(at);
    // Unique, skipped (first: the offset before the change) and repeated (first: the
    // earlier reading) all take the first.
    return static_cast<int>(info.first.offset.count());
}

std::vector<int> NamedTimeZone::OffsetsAtLocal(double local) const {
    const date::local_seconds at{SecondsFromEpoch(local)};
    const date::local_info info = Zone(zone_)->get_info(at);
    switch (info.result) {
        case date::local_info::nonexistent: return {};
        case date::local_info::ambiguous:
            return {static_cast<int>(info.first.offset.count()), static_cast<int>(info.second.offset.count())};
        default: return {static_cast<int>(info.first.offset.count())};
    }
}

std::vector<std::string> NamedTimeZoneNames() {
    std::vector<std::string> names;
    try {
        const date::tzdb& db = date::get_tzdb();
        // Read from the system's database the library lists links among the zones.
        // Not places: Debian's link to the computer's own setting, and the database's
        // fill-ins.
        for (const auto& zone : db.zones) {
            const std::string name(zone.name());
            if (name != "localtime" && name != "posixrules" && name != "Factory") names.push_back(name);
        }
    } catch (const std::exception&) {
        return {};
    }
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

std::string SystemTimeZoneName() {
    try {
        const date::time_zone* zone = date::current_zone();
        return zone != nullptr ? std::string(zone->name()) : std::string();
    } catch (const std::exception&) {
        return {};
    }
}

}  // namespace kovo::platform
