#include "platform/zone_timeline.h"

#include <algorithm>
#include <chrono>

namespace kovo::platform {

namespace {

// Enough to hold every zone's offset: a local reading lies this close to its instant.
constexpr std::int64_t kOffsetReach = 26 * 3600;

int YearOf(std::int64_t ut) {
    using namespace std::chrono;
    const sys_days day{days{ut >= 0 ? ut / 86400 : -((-ut + 86399) / 86400)}};
    return static_cast<int>(year_month_day{day}.year());
}

std::size_t TypeIndex(std::vector<TzifType>& types, const PosixZoneType& wanted) {
    for (std::size_t i = 0; i < types.size(); ++i)
        if (types[i].offsetSeconds == wanted.offsetSeconds && types[i].daylight == wanted.daylight &&
            types[i].abbreviation == wanted.abbreviation)
            return i;
    types.push_back({.offsetSeconds = wanted.offsetSeconds, .daylight = wanted.daylight, .abbreviation = wanted.abbreviation});
    return types.size() - 1;
}

void AppendRuleChanges(TzifData& data, const PosixTzRule& rule) {
    const std::int64_t after = data.changes.empty() ? INT64_MIN : data.changes.back();
    if (!rule.Daylight()) {
        // A fixed footer that differs from the last listed type takes over after it.
        const std::size_t type = TypeIndex(data.types, rule.Standard());
        const std::size_t last = data.changes.empty() ? 0 : data.typeAfter.back();
        if (type != last && !data.changes.empty()) {
            data.changes.push_back(after + 1);
            data.typeAfter.push_back(type);
        }
        return;
    }
    const std::size_t standard = TypeIndex(data.types, rule.Standard());
    const std::size_t daylight = TypeIndex(data.types, *rule.Daylight());
    const int firstYear = data.changes.empty() ? 1970 : YearOf(after) - 1;
    for (int year = firstYear; year <= kLastRuleYear; ++year) {
        for (const PosixChange& change : rule.ChangesIn(year)) {
            if (change.atUt <= after) continue;
            const std::size_t type = change.toDaylight ? daylight : standard;
            // Two changes at one instant (daylight saving all year): the later one holds.
            if (!data.changes.empty() && change.atUt <= data.changes.back()) {
                if (change.atUt < data.changes.back()) continue;
                data.typeAfter.back() = type;
                continue;
            }
            data.changes.push_back(change.atUt);
            data.typeAfter.push_back(type);
        }
    }
}

}  // namespace

ZoneTimeline::ZoneTimeline(TzifData data, const std::optional<PosixTzRule>& rule) : data_(std::move(data)) {
    if (rule) AppendRuleChanges(data_, *rule);
}

std::ptrdiff_t ZoneTimeline::PeriodAt(std::int64_t ut) const {
    return std::upper_bound(data_.changes.begin(), data_.changes.end(), ut) - data_.changes.begin() - 1;
}

const TzifType& ZoneTimeline::TypeOf(std::ptrdiff_t period) const {
    return data_.types[period < 0 ? 0 : data_.typeAfter[static_cast<std::size_t>(period)]];
}

const TzifType& ZoneTimeline::AtInstant(std::int64_t ut) const { return TypeOf(PeriodAt(ut)); }

std::vector<int> ZoneTimeline::OffsetsAtLocal(std::int64_t local) const {
    std::vector<int> offsets;
    const auto size = static_cast<std::ptrdiff_t>(data_.changes.size());
    // Only the periods near the reading can show it; each that does adds its offset.
    for (std::ptrdiff_t p = PeriodAt(local - kOffsetReach), last = PeriodAt(local + kOffsetReach); p <= last; ++p) {
        const int offset = TypeOf(p).offsetSeconds;
        const std::int64_t ut = local - offset;
        const bool afterStart = p < 0 || ut >= data_.changes[static_cast<std::size_t>(p)];
        const bool beforeEnd = p + 1 >= size || ut < data_.changes[static_cast<std::size_t>(p + 1)];
        if (afterStart && beforeEnd) offsets.push_back(offset);
    }
    return offsets;
}

int ZoneTimeline::OffsetAtLocal(std::int64_t local) const {
    const std::vector<int> offsets = OffsetsAtLocal(local);
    if (!offsets.empty()) return offsets.front();
    // Skipped: the last period that had begun by the reading on its own clock, the one
    // the clocks left.
    std::ptrdiff_t before = PeriodAt(local - kOffsetReach);
    for (std::ptrdiff_t p = before + 1, last = PeriodAt(local + kOffsetReach); p <= last; ++p)
        if (local - TypeOf(p).offsetSeconds >= data_.changes[static_cast<std::size_t>(p)]) before = p;
    return TypeOf(before).offsetSeconds;
}

std::vector<std::string> ZoneTimeline::AbbreviationsBetween(std::int64_t fromUt, std::int64_t toUt) const {
    std::vector<std::string> names;
    for (std::ptrdiff_t p = PeriodAt(fromUt), last = PeriodAt(toUt); p <= last; ++p) {
        const std::string& name = TypeOf(p).abbreviation;
        if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    }
    return names;
}

}  // namespace kovo::platform
