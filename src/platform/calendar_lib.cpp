#include "platform/calendar_lib.h"

#include <cmath>
#include <cstring>
#include <ctime>
#include <limits>
#include <string>

namespace kovo::platform {

namespace {

bool IsLeap(std::int64_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(std::int64_t y, std::int64_t m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : days[m - 1];
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

// Proleptic Gregorian, astronomical year numbering; valid for any 32-bit year.
std::int64_t DayNumberOf(std::int64_t y, std::int64_t m, std::int64_t d) {
    const std::int64_t a = (14 - m) / 12;
    const std::int64_t yy = y + 4800 - a;
    const std::int64_t mm = m + 12 * a - 3;
    return d + (153 * mm + 2) / 5 + 365 * yy + FloorDiv(yy, 4) - FloorDiv(yy, 100) + FloorDiv(yy, 400) - 32045;
}

void DateOf(std::int64_t jdn, std::int64_t& y, std::int64_t& m, std::int64_t& d) {
    const std::int64_t a = jdn + 32044;
    const std::int64_t b = FloorDiv(4 * a + 3, 146097);
    const std::int64_t c = a - FloorDiv(146097 * b, 4);
    const std::int64_t dd = FloorDiv(4 * c + 3, 1461);
    const std::int64_t e = c - FloorDiv(1461 * dd, 4);
    const std::int64_t mm = FloorDiv(5 * e + 2, 153);
    d = e - FloorDiv(153 * mm + 2, 5) + 1;
    m = mm + 3 - 12 * FloorDiv(mm, 10);
    y = 100 * b + dd - 4800 + FloorDiv(mm, 10);
}

}  // namespace

std::int32_t euro_date_to_jdn(DateRecord* record) {
    const std::int64_t y = record->year;
    const std::int64_t m = record->month;
    const std::int64_t d = record->day;
    const bool gregorian = record->calendar == 'G' || record->calendar == 0;
    bool valid = gregorian && m >= 1 && m <= 12 && d >= 1 && d <= DaysInMonth(y, m);
    std::int64_t jdn = 0;
    if (m >= 1 && m <= 12) jdn = DayNumberOf(y, m, d);
    if (jdn < std::numeric_limits<std::int32_t>::min() || jdn > std::numeric_limits<std::int32_t>::max()) {
        valid = false;
        jdn = 0;
    }
    record->valid = valid ? 1 : 0;
    record->dayNumber = static_cast<std::int32_t>(jdn);
    return static_cast<std::int32_t>(jdn);
}

void jdn_to_euro_date(DateRecord* record) {
    std::int64_t y = 0, m = 0, d = 0;
    DateOf(record->dayNumber, y, m, d);
    record->year = static_cast<std::int32_t>(y);
    record->month = static_cast<std::int32_t>(m);
    record->day = static_cast<std::int32_t>(d);
}

void separate_thousands(const char* number, std::int32_t separator, char* buffer) {
    std::string text = number != nullptr ? number : "";
    std::string sign;
    if (!text.empty() && text[0] == '-') {
        sign = "-";
        text.erase(0, 1);
    }
    std::string grouped;
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n; ++i) {
        grouped += text[i];
        const std::size_t left = n - i - 1;
        if (left > 0 && left % 3 == 0) grouped += static_cast<char>(separator);
    }
    const std::string out = sign + grouped;
    const std::size_t len = out.size() < 20 ? out.size() : 20;
    std::memcpy(buffer, out.data(), len);
    buffer[len] = '\0';
}

std::int32_t get_timezone() {
#ifdef _WIN32
    _tzset();
    long seconds = 0;
    _get_timezone(&seconds);
    return static_cast<std::int32_t>(seconds);
#else
    tzset();
    return static_cast<std::int32_t>(timezone);
#endif
}

void juldat(double instant, const char* /*mode*/, std::int32_t* year, std::int32_t* month,
            std::int32_t* day, std::int32_t* unused) {
    std::int64_t y = 0, m = 0, d = 0;
    if (std::isfinite(instant) && std::fabs(instant) < 1e9) DateOf(static_cast<std::int64_t>(std::floor(instant + 0.5)), y, m, d);
    if (year != nullptr) *year = static_cast<std::int32_t>(y);
    if (month != nullptr) *month = static_cast<std::int32_t>(m);
    if (day != nullptr) *day = static_cast<std::int32_t>(d);
    if (unused != nullptr) *unused = 0;
}

}  // namespace kovo::platform
