#pragma once
// Dates written YYYY-MM-DD, as options, price files, the index file and the backtest
// window take them. One reader, so that every place accepts and refuses the same texts.
#include <cstdint>
#include <optional>
#include <string_view>

namespace kovo::calendar {

struct IsoDate {
    int year = 0;
    int month = 0;
    int day = 0;
};

enum class IsoDateForm {
    Strict,   // exactly four, two and two ASCII digits: "2026-03-05"
    Relaxed,  // 1 to 9 digits of year, 1 or 2 of month and day: "2026-3-5" (kovo-report's dates)
};

// The three numbers of the text, not yet checked against the calendar ("2026-02-30"
// reads); nothing when the text has another form (signs, blanks, other separators).
std::optional<IsoDate> ParseIsoDate(std::string_view text, IsoDateForm form = IsoDateForm::Strict);

// The day number of a real proleptic Gregorian date (year 0 counts); nothing otherwise.
std::optional<std::int32_t> DayNumberOf(const IsoDate& date);

// The day number of a real date from year 1 on, written strictly YYYY-MM-DD; nothing
// otherwise.
std::optional<std::int32_t> IsoDayNumber(std::string_view text);

}  // namespace kovo::calendar
