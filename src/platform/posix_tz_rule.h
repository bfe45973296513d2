#pragma once
// The rule a tz database file gives in its footer for the years after its last listed
// change: a POSIX TZ string such as "EST5EDT,M3.2.0,M11.1.0" or "<+0545>-5:45".
// Instants are seconds since 1970-01-01 00:00 UT; offsets are seconds east of Greenwich
// (the string itself counts them westward).
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kovo::platform {

struct PosixZoneType {
    int offsetSeconds = 0;
    bool daylight = false;
    std::string abbreviation;  // without the <> that quote "+0545"
};

struct PosixChange {
    std::int64_t atUt = 0;
    bool toDaylight = false;
};

class PosixTzRule {
public:
    // Nothing when the text is not a TZ string this reader understands.
    static std::optional<PosixTzRule> Parse(std::string_view text);

    const PosixZoneType& Standard() const { return standard_; }
    // Nothing for a zone without daylight saving.
    const std::optional<PosixZoneType>& Daylight() const { return daylight_; }
    // The two changes of `year` in time order (only with daylight saving).
    std::array<PosixChange, 2> ChangesIn(int year) const;

    // A date rule: "Jn" (1..365, 29 February never counted), "n" (0..365) or "Mm.w.d",
    // with the local time of the change in seconds (may be negative or past 24 hours).
    struct DayRule {
        char kind = 'M';  // 'J', 'N' or 'M'
        int day = 0;      // J and N: the day; M: the weekday, 0 = Sunday
        int month = 0;    // M only
        int week = 0;     // M only: 1..5, 5 = the last
        int timeSeconds = 7200;
    };

private:
    PosixZoneType standard_;
    std::optional<PosixZoneType> daylight_;
    DayRule start_;
    DayRule end_;
};

}  // namespace kovo::platform
