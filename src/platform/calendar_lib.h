#pragma once
// The calendar library's entry points: proleptic Gregorian dates and Julian Day
// Numbers, date validity, digit grouping, the computer's standard-time offset and the
// calendar year of an instant.
#include <cstdint>

namespace kovo::platform {

// Exchanged by address; six 32-bit fields in this order.
struct DateRecord {
    std::int32_t year = 0;
    std::int32_t month = 0;
    std::int32_t day = 0;
    std::int32_t calendar = 0;  // 'G' for Gregorian; 0 counts as Gregorian too
    std::int32_t dayNumber = 0;
    std::int32_t valid = 0;
};

// Day number of year-month-day; sets `valid` (1 or 0). Dates whose day number would
// not fit in 32 bits are invalid and return 0.
std::int32_t euro_date_to_jdn(DateRecord* record);

// Fills year, month and day from dayNumber.
void jdn_to_euro_date(DateRecord* record);

// Writes `number` (digits, optionally led by "-") with `separator` between groups of
// three digits into `buffer` (21 bytes), NUL-terminated; texts that do not fit are cut.
void separate_thousands(const char* number, std::int32_t separator, char* buffer);

// Seconds by which local standard time lies behind UT (positive west of Greenwich).
// Calls tzset(), which rewrites the C library's zone globals: for start-up, not for
// several threads at once.
std::int32_t get_timezone();

// Calendar year containing the Julian Day `instant` in *year; the other outputs get
// month, day and 0. The mode text is accepted and not interpreted.
void juldat(double instant, const char* mode, std::int32_t* year, std::int32_t* month,
            std::int32_t* day, std::int32_t* unused);

}  // namespace kovo::platform
