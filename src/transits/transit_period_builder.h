#pragma once
// Puts the events of one transit period on the lines of the report, the way the
// transit table always has: a pass (line) per approach to the exact aspect, each orb
// exit on the line of its entry.
#include <functional>

#include "transits/transit_result.h"

namespace kovo::transits {

class PeriodBuilder {
public:
    // The tracked minimum, made only when an exit needs it (it costs a position request).
    using MinimumSource = std::function<TransitMinimum()>;

    void Entry(int level, int aspect, const OrbDate& date);
    // Returns true when this leaves the outer orb: the period is finished.
    bool Exit(int level, int aspect, const OrbDate& date, const MinimumSource& tracked);
    void ExactMinimum(int aspect, const TransitMinimum& minimum);

    bool HasContent() const { return !period_.passes.empty(); }
    // The period so far, with its cut flags set; the builder starts afresh.
    TransitPeriod Take();

private:
    // Lines relative to the period's first line that receive its next events.
    struct LineOffsets {
        int middleStart = 0;   // next middle-orb entry
        int innerStart = 0;    // next inner-orb entry
        int minimumCount = 0;  // minima written so far; the next goes on this line
        int innerEnd = 0;      // next inner-orb exit: the line of the last inner entry
        int middleEnd = 0;     // next middle-orb exit: the line of the last middle entry
    };

    TransitPass& Pass(int line);
    const TransitPass* PassAt(int line) const;
    bool HasMinimum(int line) const;
    bool HasStartDate(int line) const;
    void Touch(int aspect);
    void NextMinimumLine();

    TransitPeriod period_;
    LineOffsets offsets_;
};

}  // namespace kovo::transits
