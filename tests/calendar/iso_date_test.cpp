// One reader of YYYY-MM-DD texts: the forms it takes and refuses, and the real dates.
#include "calendar/iso_date.h"

#include <gtest/gtest.h>

#include <string>

namespace kovo::calendar {
namespace {

// "y-m-d" of what was read, or "-" when the text was refused.
std::string Read(std::string_view text, IsoDateForm form) {
    const auto date = ParseIsoDate(text, form);
    if (!date) return "-";
    return std::to_string(date->year) + "-" + std::to_string(date->month) + "-" + std::to_string(date->day);
}

std::string Day(std::string_view text) {
    const auto day = IsoDayNumber(text);
    return day ? std::to_string(*day) : "-";
}

struct Row {
    const char* text;
    const char* strict;   // ParseIsoDate, Strict
    const char* relaxed;  // ParseIsoDate, Relaxed
    const char* day;      // IsoDayNumber: the Julian Day Number, or "-"
};

// Checked against each reader these replace: kovo-report's --from/--to (relaxed),
// the backtest's --from/--to, the price files' dates, the index file's lines and the
// backtest window's fields (strict; the last three from year 1).
const Row kTable[] = {
    {"2026-01-05", "2026-1-5", "2026-1-5", "2461046"},
    {"2024-02-29", "2024-2-29", "2024-2-29", "2460370"},
    {"0001-01-01", "1-1-1", "1-1-1", "1721426"},
    {"9999-12-31", "9999-12-31", "9999-12-31", "5373484"},
    {"1582-10-10", "1582-10-10", "1582-10-10", "2299156"},  // proleptic Gregorian
    // Read, but no day of the calendar (or before year 1).
    {"2026-02-29", "2026-2-29", "2026-2-29", "-"},
    {"0100-02-29", "100-2-29", "100-2-29", "-"},
    {"2026-13-01", "2026-13-1", "2026-13-1", "-"},
    {"2026-00-10", "2026-0-10", "2026-0-10", "-"},
    {"2026-01-00", "2026-1-0", "2026-1-0", "-"},
    {"2026-04-31", "2026-4-31", "2026-4-31", "-"},
    {"0000-01-01", "0-1-1", "0-1-1", "-"},
    // Short fields: only the relaxed form.
    {"2026-1-5", "-", "2026-1-5", "-"},
    {"2026-1-05", "-", "2026-1-5", "-"},
    {"999-01-01", "-", "999-1-1", "-"},
    {"7-3-9", "-", "7-3-9", "-"},
    {"0002026-01-05", "-", "2026-1-5", "-"},
    {"123456789-12-31", "-", "123456789-12-31", "-"},
    // Refused in both forms.
    {"1234567890-01-01", "-", "-", "-"},
    {"2026-001-05", "-", "-", "-"},
    {"2026-01-005", "-", "-", "-"},
    {"", "-", "-", "-"},
    {"2026", "-", "-", "-"},
    {"2026-01", "-", "-", "-"},
    {"2026-01-", "-", "-", "-"},
    {"-01-05", "-", "-", "-"},
    {"2026--1-05", "-", "-", "-"},
    {"-001-01-01", "-", "-", "-"},
    {"+026-01-01", "-", "-", "-"},
    {"2026-+1-05", "-", "-", "-"},
    {"2026-01-05-", "-", "-", "-"},
    {"2026-01-05x", "-", "-", "-"},
    {"2026/01/05", "-", "-", "-"},
    {" 2026-01-05", "-", "-", "-"},
    {"2026-01-05 ", "-", "-", "-"},
    {"2026 -01-05", "-", "-", "-"},
    {"\xd9\xa2\xd9\xa0\xd9\xa2\xd9\xa6-01-05", "-", "-", "-"},  // Arabic-Indic digits
};

TEST(IsoDate, TheTableOfAcceptedAndRefusedTexts) {
    for (const Row& row : kTable) {
        SCOPED_TRACE(std::string("\"") + row.text + "\"");
        EXPECT_EQ(Read(row.text, IsoDateForm::Strict), row.strict);
        EXPECT_EQ(Read(row.text, IsoDateForm::Relaxed), row.relaxed);
        EXPECT_EQ(Day(row.text), row.day);
    }
}

TEST(IsoDate, YearZeroIsADayOfTheCalendarThoughNoIsoDayNumber) {
    // The backtest's options take it; the files and the window begin at year 1.
    EXPECT_EQ(DayNumberOf({.year = 0, .month = 1, .day = 1}), 1721060);
    EXPECT_EQ(DayNumberOf({.year = 2026, .month = 2, .day = 29}), std::nullopt);
}

}  // namespace
}  // namespace kovo::calendar
