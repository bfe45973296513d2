#include "platform/posix_tz_rule.h"

#include <algorithm>
#include <cctype>
#include <chrono>

namespace kovo::platform {

namespace {

constexpr int kSecondsPerDay = 86400;

class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    bool AtEnd() const { return pos_ == text_.size(); }
    bool Take(char c) {
        if (AtEnd() || text_[pos_] != c) return false;
        ++pos_;
        return true;
    }
    char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }

    // "EST" or "<+0545>": three or more letters, or quoted letters, digits and signs.
    std::optional<std::string> Name() {
        std::string name;
        if (Take('<')) {
            while (!AtEnd() && (std::isalnum(static_cast<unsigned char>(Peek())) || Peek() == '+' || Peek() == '-'))
                name += text_[pos_++];
            if (!Take('>')) return std::nullopt;
        } else {
            while (!AtEnd() && std::isalpha(static_cast<unsigned char>(Peek()))) name += text_[pos_++];
        }
        if (name.size() < 3) return std::nullopt;
        return name;
    }

    std::optional<int> Number(int most) {
        int value = 0;
        std::size_t digits = 0;
        while (!AtEnd() && std::isdigit(static_cast<unsigned char>(Peek())) && digits < 4) {
            value = value * 10 + (text_[pos_++] - '0');
            ++digits;
        }
        if (digits == 0 || value > most) return std::nullopt;
        return value;
    }

    // [+-]hh[:mm[:ss]] in seconds, hours up to `mostHours`.
    std::optional<int> Clock(int mostHours) {
        const bool negative = Take('-');
        if (!negative) Take('+');
        const auto hours = Number(mostHours);
        if (!hours) return std::nullopt;
        int seconds = *hours * 3600;
        for (const int unit : {60, 1}) {
            if (!Take(':')) break;
            const auto part = Number(59);
            if (!part) return std::nullopt;
            seconds += *part * unit;
        }
        return negative ? -seconds : seconds;
    }

    std::optional<PosixTzRule::DayRule> Day() {
        PosixTzRule::DayRule rule;
        if (Take('M')) {
            const auto month = Number(12);
            const auto week = Take('.') ? Number(5) : std::nullopt;
            const auto weekday = week && Take('.') ? Number(6) : std::nullopt;
            if (!month || *month < 1 || !week || *week < 1 || !weekday) return std::nullopt;
            rule = {.kind = 'M', .day = *weekday, .month = *month, .week = *week};
        } else if (Take('J')) {
            const auto day = Number(365);
            if (!day || *day < 1) return std::nullopt;
            rule = {.kind = 'J', .day = *day};
        } else {
            const auto day = Number(365);
            if (!day) return std::nullopt;
            rule = {.kind = 'N', .day = *day};
        }
        if (Take('/')) {
            const auto time = Clock(167);
            if (!time) return std::nullopt;
            rule.timeSeconds = *time;
        }
        return rule;
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

std::int64_t DaysFromEpoch(int year, unsigned month, unsigned day) {
    using namespace std::chrono;
    return sys_days{std::chrono::year{year} / month / day}.time_since_epoch().count();
}

bool IsLeap(int year) { return std::chrono::year{year}.is_leap(); }

// The day (days since 1970-01-01) a rule names in `year`.
std::int64_t RuleDay(const PosixTzRule::DayRule& rule, int year) {
    const std::int64_t january1 = DaysFromEpoch(year, 1, 1);
    if (rule.kind == 'J') return january1 + rule.day - 1 + (IsLeap(year) && rule.day >= 60 ? 1 : 0);
    if (rule.kind == 'N') return january1 + rule.day;
    using namespace std::chrono;
    const std::int64_t first = DaysFromEpoch(year, static_cast<unsigned>(rule.month), 1);
    const int firstWeekday = static_cast<int>(weekday{sys_days{days{first}}}.c_encoding());
    const int length = static_cast<int>(
        static_cast<unsigned>((std::chrono::year{year} / std::chrono::month{static_cast<unsigned>(rule.month)} / last).day()));
    int day = 1 + (rule.day - firstWeekday + 7) % 7 + (rule.week - 1) * 7;
    while (day > length) day -= 7;  // week 5: the last such weekday
    return first + day - 1;
}

}  // namespace

std::optional<PosixTzRule> PosixTzRule::Parse(std::string_view text) {
    Reader in(text);
    PosixTzRule rule;
    const auto standardName = in.Name();
    const auto standardOffset = standardName ? in.Clock(24) : std::nullopt;
    if (!standardOffset) return std::nullopt;
    rule.standard_ = {.offsetSeconds = -*standardOffset, .daylight = false, .abbreviation = *standardName};
    if (in.AtEnd()) return rule;

    const auto daylightName = in.Name();
    if (!daylightName) return std::nullopt;
    int daylightOffset = rule.standard_.offsetSeconds + 3600;  // an hour ahead unless said
    if (in.Peek() != ',') {
        const auto offset = in.Clock(24);
        if (!offset) return std::nullopt;
        daylightOffset = -*offset;
    }
    rule.daylight_ = PosixZoneType{.offsetSeconds = daylightOffset, .daylight = true, .abbreviation = *daylightName};
    // The files always say when daylight saving runs; a string without dates is refused
    // rather than given some system's default.
    if (!in.Take(',')) return std::nullopt;
    const auto start = in.Day();
    const auto end = start && in.Take(',') ? in.Day() : std::nullopt;
    if (!end || !in.AtEnd()) return std::nullopt;
    rule.start_ = *start;
    rule.end_ = *end;
    return rule;
}

std::array<PosixChange, 2> PosixTzRule::ChangesIn(int year) const {
    const int daylightOffset = daylight_ ? daylight_->offsetSeconds : standard_.offsetSeconds;
    // The start is read on the standard clock, the end on the daylight clock.
    const PosixChange start{.atUt = RuleDay(start_, year) * kSecondsPerDay + start_.timeSeconds - standard_.offsetSeconds,
                            .toDaylight = true};
    const PosixChange end{.atUt = RuleDay(end_, year) * kSecondsPerDay + end_.timeSeconds - daylightOffset,
                          .toDaylight = false};
    if (end.atUt < start.atUt) return {end, start};
    return {start, end};
}

}  // namespace kovo::platform
