#include "transits/transit_period_builder.h"

#include <utility>

namespace kovo::transits {

// Line bookkeeping. A period's first line carries the outer-orb dates and the aspect.
// Each minimum (exact, or the tracked one written at an exit) closes a line: the count of
// minima is the line that receives the next minimum, and the next middle or inner entry
// starts there too. An exit goes to the line of its own entry (innerEnd, middleEnd), so
// that a middle orb held through a retrograde loop of three inner passes ends on the
// first line while the passes fill three.

void PeriodBuilder::Entry(int level, int aspect, const OrbDate& date) {
    if (level == kOuterOrb) {
        period_.aspect = aspect;
        Pass(0);
        period_.outer.entry = date;
        offsets_ = {};
        return;
    }
    Touch(aspect);
    if (level == kMiddleOrb) {
        Pass(offsets_.middleStart).middle.entry = date;
        offsets_.middleEnd = offsets_.middleStart;
    } else {
        Pass(offsets_.innerStart).inner.entry = date;
        offsets_.innerEnd = offsets_.innerStart;
    }
}

bool PeriodBuilder::Exit(int level, int aspect, const OrbDate& date, const MinimumSource& tracked) {
    Touch(aspect);
    const int next = offsets_.minimumCount;
    if (level == kInnerOrb) {
        // Leaving the inner orb without an exact minimum on its line: the pass gets the
        // smallest deviation tracked instead, and the next pass begins.
        Pass(offsets_.innerEnd).inner.exit = date;
        if (!HasMinimum(offsets_.innerEnd)) {
            Pass(next).minimum = tracked();
            NextMinimumLine();
        }
        return false;
    }
    if (level == kMiddleOrb) {
        // A pass that never reached the inner orb ends here. It gets the tracked minimum
        // only when its line shows where it started; one entered before the scan began
        // has no start date, and its line is left without a minimum.
        Pass(offsets_.middleEnd).middle.exit = date;
        if (!HasMinimum(offsets_.middleEnd)) {
            if (HasStartDate(next)) Pass(next).minimum = tracked();
            NextMinimumLine();
        }
        return false;
    }
    // The outer exit ends the period; a first line that started in range but was never
    // given a minimum (no middle or inner exit closed it) gets the tracked one.
    period_.outer.exit = date;
    if (HasStartDate(0) && !HasMinimum(0)) Pass(next).minimum = tracked();
    return true;
}

void PeriodBuilder::ExactMinimum(int aspect, const TransitMinimum& minimum) {
    if (period_.aspect == 0) period_.aspect = aspect;
    Pass(offsets_.minimumCount).minimum = minimum;
    NextMinimumLine();
}

TransitPeriod PeriodBuilder::Take() {
    TransitPeriod period = std::move(period_);
    period.cutAtStart = !period.outer.entry;
    period.cutAtEnd = !period.outer.exit;
    period_ = {};
    offsets_ = {};
    return period;
}

TransitPass& PeriodBuilder::Pass(int line) {
    const auto index = static_cast<std::size_t>(line);
    if (index >= period_.passes.size()) period_.passes.resize(index + 1);
    return period_.passes[index];
}

const TransitPass* PeriodBuilder::PassAt(int line) const {
    const auto index = static_cast<std::size_t>(line);
    return index < period_.passes.size() ? &period_.passes[index] : nullptr;
}

bool PeriodBuilder::HasMinimum(int line) const {
    const TransitPass* pass = PassAt(line);
    return pass != nullptr && pass->minimum.has_value();
}

bool PeriodBuilder::HasStartDate(int line) const {
    const TransitPass* pass = PassAt(line);
    const bool outer = line == 0 && period_.outer.entry.has_value();
    return outer || (pass != nullptr && (pass->middle.entry || pass->inner.entry));
}

// Every entry and exit names the period's aspect on its first line, if nothing did yet.
void PeriodBuilder::Touch(int aspect) {
    Pass(0);
    if (period_.aspect == 0) period_.aspect = aspect;
}

void PeriodBuilder::NextMinimumLine() {
    ++offsets_.minimumCount;
    offsets_.middleStart = offsets_.innerStart = offsets_.minimumCount;
}

}  // namespace kovo::transits
