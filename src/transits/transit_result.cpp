#include "transits/transit_result.h"

#include <algorithm>

namespace kovo::transits {

int TransitPeriod::ExactPasses() const {
    return static_cast<int>(
        std::count_if(passes.begin(), passes.end(), [](const TransitPass& p) { return p.minimum && p.minimum->exact; }));
}

bool TransitPeriod::HasOrbDates() const {
    return outer.Reached() || std::any_of(passes.begin(), passes.end(), [](const TransitPass& p) {
               return p.middle.Reached() || p.inner.Reached();
           });
}

}  // namespace kovo::transits
