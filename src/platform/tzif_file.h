#pragma once
// The binary zone files of the tz database (TZif, versions 1 to 4), checked in full before
// anything is read from them: a damaged file gives its reason, never a wrong zone.
// Instants are seconds since 1970-01-01 00:00 UT; offsets are seconds east of Greenwich.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kovo::platform {

struct TzifType {
    int offsetSeconds = 0;
    bool daylight = false;
    std::string abbreviation;
};

struct TzifData {
    std::vector<std::int64_t> changes;     // strictly ascending
    std::vector<std::size_t> typeAfter;    // per change: the index into types then in force
    std::vector<TzifType> types;           // types[0] is in force before the first change
    std::string footer;                    // the TZ string for later years; "" when none
};

struct TzifRead {
    std::optional<TzifData> data;
    std::string problem;  // why there is none: "it is cut short", ...
};

TzifRead ParseTzif(std::string_view bytes);

}  // namespace kovo::platform
