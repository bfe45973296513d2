#include "calendar/iso_date.h"

#include <cstddef>

#include "calendar/calendar_services.h"

namespace kovo::calendar {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A run of `least` to `most` digits as a number; at most nine, so it fits an int.
std::optional<int> Digits(std::string_view text, std::size_t least, std::size_t most) {
    if (text.size() < least || text.size() > most) return std::nullopt;
    int value = 0;
    for (const char c : text) {
        if (!IsDigit(c)) return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

}  // namespace

std::optional<IsoDate> ParseIsoDate(std::string_view text, IsoDateForm form) {
    const std::size_t first = text.find('-');
    const std::size_t second = first == std::string_view::npos ? first : text.find('-', first + 1);
    if (second == std::string_view::npos) return std::nullopt;
    const bool strict = form == IsoDateForm::Strict;
    const auto year = Digits(text.substr(0, first), strict ? 4 : 1, strict ? 4 : 9);
    const auto month = Digits(text.substr(first + 1, second - first - 1), strict ? 2 : 1, 2);
    const auto day = Digits(text.substr(second + 1), strict ? 2 : 1, 2);
    if (!year || !month || !day) return std::nullopt;
    return IsoDate{.year = *year, .month = *month, .day = *day};
}

std::optional<std::int32_t> DayNumberOf(const IsoDate& date) {
    DateRecord record;
    record.year = date.year;
    record.month = date.month;
    record.day = date.day;
    record.calendar = kGregorian;
    const std::int32_t dayNumber = DayNumberFromDate(record);
    if (record.valid == 0) return std::nullopt;
    return dayNumber;
}

std::optional<std::int32_t> IsoDayNumber(std::string_view text) {
    const auto date = ParseIsoDate(text);
    if (!date || date->year < 1) return std::nullopt;
    return DayNumberOf(*date);
}

}  // namespace kovo::calendar
