#pragma once
// One zone's history as a list of changes: the file's own, then those its footer rule
// gives for the later years, up to the end of kLastRuleYear. Instants are seconds since
// 1970-01-01 00:00 UT; offsets are seconds east of Greenwich.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/posix_tz_rule.h"
#include "platform/tzif_file.h"

namespace kovo::platform {

// The footer's changes are written out up to this year; later instants keep the last.
inline constexpr int kLastRuleYear = 2199;

class ZoneTimeline {
public:
    // The file's changes continued by `rule` (none: the file's last type goes on).
    ZoneTimeline(TzifData data, const std::optional<PosixTzRule>& rule);

    const TzifType& AtInstant(std::int64_t ut) const;
    // The offsets with which the clocks show local reading `local` (local seconds since
    // 1970), earlier first; empty when they skip it.
    std::vector<int> OffsetsAtLocal(std::int64_t local) const;
    // As above, but in a skipped reading the offset before the change.
    int OffsetAtLocal(std::int64_t local) const;
    // The abbreviations in force from `fromUt` to `toUt`, each once, in order of use.
    std::vector<std::string> AbbreviationsBetween(std::int64_t fromUt, std::int64_t toUt) const;

private:
    // The index of the period in force at `ut`; -1 before the first change.
    std::ptrdiff_t PeriodAt(std::int64_t ut) const;
    const TzifType& TypeOf(std::ptrdiff_t period) const;

    TzifData data_;
};

}  // namespace kovo::platform
