#include "calendar/calendar_services.h"

#include "util/rounding.h"

namespace kovo::calendar {

namespace {

std::string TwoDigits(std::int32_t v) {
    std::string s = std::to_string(v);
    return s.size() < 2 ? "0" + s : s;
}

std::string YearText(std::int32_t year, const std::string& thousandsSeparator) {
    std::string text = std::to_string(year);
    if (year > 9999 || year < -9999) text = SeparateThousands(text, thousandsSeparator);
    return text;
}

// The day and year texts with a blank in front of non-negative numbers.
std::string BlankLed(std::int32_t v) { return v >= 0 ? " " + std::to_string(v) : std::to_string(v); }

DateRecord GregorianDateOf(std::int32_t dayNumber) {
    DateRecord record;
    record.calendar = kGregorian;
    record.dayNumber = dayNumber;
    DateFromDayNumber(record);
    return record;
}

}  // namespace

std::int32_t DayNumberFromDate(DateRecord& record) { return platform::euro_date_to_jdn(&record); }

void DateFromDayNumber(DateRecord& record) { platform::jdn_to_euro_date(&record); }

std::string FormatDateNumeric(const DateRecord& record, const std::string& separator,
                              const std::string& thousandsSeparator) {
    return YearText(record.year, thousandsSeparator) + separator + TwoDigits(record.month) + separator +
           TwoDigits(record.day);
}

std::string FormatDayNumberIso(std::int32_t dayNumber) {
    return FormatDateNumeric(GregorianDateOf(dayNumber), "-", ",");
}

std::string FormatDayNumberIso8601(std::int32_t dayNumber) {
    const DateRecord r = GregorianDateOf(dayNumber);
    const std::string digits = std::to_string(r.year < 0 ? -static_cast<std::int64_t>(r.year) : r.year);
    const std::string year = (r.year < 0 ? "-" : "") + std::string(digits.size() < 4 ? 4 - digits.size() : 0, '0') + digits;
    return year + "-" + TwoDigits(r.month) + "-" + TwoDigits(r.day);
}

std::string FormatDayNumberLong(std::int32_t dayNumber) {
    const DateRecord r = GregorianDateOf(dayNumber);
    return MonthName[static_cast<std::size_t>(r.month)] + BlankLed(r.day) + ", " + YearText(r.year, ",");
}

std::string FormatDayNumberShort(std::int32_t dayNumber) {
    const DateRecord r = GregorianDateOf(dayNumber);
    const std::string& name = MonthName[static_cast<std::size_t>(r.month)];
    const std::string month = name.size() <= 5 ? name : MonthAbbreviation[static_cast<std::size_t>(r.month)];
    return month + BlankLed(r.day) + "," + BlankLed(r.year);
}

std::string SeparateThousands(const std::string& text, const std::string& separator) {
    if (separator.empty()) return text;
    char buffer[21];
    platform::separate_thousands(text.c_str(), static_cast<unsigned char>(separator[0]), buffer);
    return std::string(buffer);
}

std::int16_t TimeZoneMinutesFromSecondsWest(std::int32_t secondsWest) {
    return static_cast<std::int16_t>(util::RoundHalfEven(-static_cast<double>(secondsWest) / 60.0));
}

std::int16_t LocalTimeZoneMinutes() { return TimeZoneMinutesFromSecondsWest(platform::get_timezone()); }

}  // namespace kovo::calendar
