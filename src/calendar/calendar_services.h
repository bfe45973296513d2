#pragma once
// Day numbers (Julian Day Numbers naming civil days) and the date texts built on them.
#include <array>
#include <cstdint>
#include <string>

#include "platform/calendar_lib.h"

namespace kovo::calendar {

using platform::DateRecord;

inline constexpr std::int32_t kGregorian = 'G';

// Indexed 1..12; index 0 is empty.
inline const std::array<std::string, 13> MonthName{"",     "January", "February",  "March",   "April",
                                                   "May",  "June",    "July",      "August",  "September",
                                                   "October", "November", "December"};
inline const std::array<std::string, 13> MonthAbbreviation{"",     "Jan.", "Feb.", "Mar.",  "Apr.", "May", "June",
                                                           "July", "Aug.", "Sept.", "Oct.", "Nov.", "Dec."};

// Returns the day number and sets record.valid; callers test valid before trusting it.
std::int32_t DayNumberFromDate(DateRecord& record);
// The caller sets calendar and dayNumber; fills year, month and day.
void DateFromDayNumber(DateRecord& record);

// Year (grouped beyond ±9999), two-digit month and day, joined by separator.
std::string FormatDateNumeric(const DateRecord& record, const std::string& separator,
                              const std::string& thousandsSeparator);
std::string FormatDayNumberIso(std::int32_t dayNumber);    // 2022-12-22 (the report's form: 1-01-01)
// ISO 8601 for exports and files other programs read: the year always has four digits
// (0001-01-01), more only beyond 9999, and a sign before a year below 1.
std::string FormatDayNumberIso8601(std::int32_t dayNumber);
std::string FormatDayNumberLong(std::int32_t dayNumber);   // December 22, 2022
std::string FormatDayNumberShort(std::int32_t dayNumber);  // Dec. 22, 2022

std::string SeparateThousands(const std::string& text, const std::string& separator);

// Minutes east of Greenwich of the computer's standard time, rounded half to even.
std::int16_t LocalTimeZoneMinutes();
// The same rule for a given offset in seconds west of Greenwich.
std::int16_t TimeZoneMinutesFromSecondsWest(std::int32_t secondsWest);

}  // namespace kovo::calendar
