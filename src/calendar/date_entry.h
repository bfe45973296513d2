#pragma once
// The start and end dates as the window holds them: three text fields each, a label
// with the date in words, the two day numbers and the caption naming the period. The
// window mirrors its controls into a DateEntryModel, calls these routines and copies
// the texts back; every refusal is reported through a MessageSink and never opens a
// window here. Index 0 is the start date, 1 the end date; other indexes are the
// caller's error.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "calendar/calendar_services.h"
#include "util/run_host.h"

namespace kovo::calendar {

// The limits a run accepts: 1 January of the year 1 and 31 December 2799 (day numbers).
inline constexpr std::int32_t kFirstAllowedDay = 1721426;
inline constexpr std::int32_t kLastAllowedDay = 2743738;

struct DateEntryModel {
    std::array<std::string, 2> txbYear;
    std::array<std::string, 2> txbMonth;
    std::array<std::string, 2> txbDay;
    std::array<std::string, 2> lblDate;  // "January 1, 2011 CE", "invalid date" or ""
    // Day numbers of the two dates; a slot keeps its value while its fields are incomplete.
    std::array<std::int32_t, 2> DayNumbers{};
    std::string lblConstructTransitTables;
    // The window's own record; its calendar marker stays 0 (read as Gregorian) until a
    // run marks it.
    DateRecord record;
};

// The numeric value of a field: its leading number, rounded half to even and held
// within 32 bits, so that a very long digit string never wraps into a small number.
std::int32_t FieldValue(std::string_view text);

// The year field lost focus: leading zeros go; a year that then begins with "-" is
// refused with a message and nothing else changes; otherwise RefreshDateLabel.
void YearLostFocus(DateEntryModel& model, int index, util::MessageSink& sink);

// Cleans the three fields of that date to their digits; when all three hold some,
// stores the day number (also of an invalid date) and sets the label; a valid date
// also refreshes the period caption. An incomplete date only clears the label.
void RefreshDateLabel(DateEntryModel& model, int index);

// Writes the Gregorian date of day number `day` into the three fields of that date, as
// a user would type it, and refreshes its label.
void WriteDateFields(DateEntryModel& model, int index, std::int32_t day);

// "Construct transit tables for the period <start> to <end> for:" from the fields as
// they stand, year-month-day with "-".
void RefreshPeriodCaption(DateEntryModel& model);

// Cleans the year, month and day fields in turn and refuses at the first empty one.
// Messages are titled runCaption (the caption of the two-planet run button).
bool CheckDateFieldsPresent(DateEntryModel& model, int which, const std::string& runCaption,
                            util::MessageSink& sink);

// Converts the fields (as they stand) to DayNumbers[index], shows the date in words
// and applies CheckDateLimits; an invalid date is refused.
bool ValidateDate(DateEntryModel& model, int index, const std::string& runCaption, util::MessageSink& sink);

// DayNumbers[index] within kFirstAllowedDay..kLastAllowedDay.
bool CheckDateLimits(const DateEntryModel& model, int index, const std::string& runCaption,
                     util::MessageSink& sink);

// Whether both planets (index 1..9) have positions at the midnight that begins
// DayNumbers[index] (instant DayNumbers[index] - 0.5, no time-zone shift), in the
// given centricity. Needs the catalogue set up and, for Pluto, the Pluto files loaded.
bool CheckPlanetDataCoverage(const DateEntryModel& model, int index, int firstPlanet, int secondPlanet,
                             bool heliocentric, util::MessageSink& sink);

// Orb list positions (degrees - 1) must decrease strictly from outer to inner.
bool CheckOrbsDecreasing(int outerPos, int middlePos, int innerPos, util::MessageSink& sink);

}  // namespace kovo::calendar
