#include "transits/transit_period_builder.h"

#include <utility>

namespace kovo::transits {

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
        Pass(offsets_.innerEnd).inner.exit = date;
        if (!HasMinimum(offsets_.innerEnd)) {
            Pass(next).minimum = tracked();
            NextMinimumLine();
        }
        return false;
    }
    if (level == kMiddleOrb) {
        Pass(offsets_.middleEnd).middle.exit = date;
        if (!HasMinimum(offsets_.middleEnd)) {
            if (HasStartDate(next)) Pass(next).minimum = tracked();
            NextMinimumLine();
        }
        return false;
    }
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
