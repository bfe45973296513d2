#pragma once
// The transit table's text cells: nine columns per report line, rendered from the
// records of a period. The header line uses the same columns.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "transits/transit_params.h"
#include "transits/transit_result.h"

namespace kovo::transits {

enum TransitColumn : int {
    kAspectColumn = 0,       // aspect name, on a period's first line only
    kOuterStartColumn = 1,   // dates carry the retrograde mark "r" directly after them
    kMiddleStartColumn = 2,
    kInnerStartColumn = 3,
    kMinimumAtColumn = 4,    // date of the closest approach; "*" after it when exact
    kInnerEndColumn = 5,
    kMiddleEndColumn = 6,
    kOuterEndColumn = 7,
    kMinimumColumn = 8,      // degrees and minutes, or the exact local time and zone
};
inline constexpr int kTransitColumns = 9;

using TransitRow = std::array<std::string, kTransitColumns>;

// The column header: "Aspect", "Start 10°" ... "End 10°", "Minimum".
TransitRow HeaderRow(const TransitRunParams& params);

// The lines of one period. The aspect name appears only where the period entered or left
// an orb, and not when `previousNamedAspect` (the aspect last named in this report) is
// the same one.
std::vector<TransitRow> PeriodRows(const TransitPeriod& period, const TransitRunParams& params,
                                   int previousNamedAspect);

// "2011-03-15" + "r" when marked.
std::string DateCell(std::int32_t day, bool retrograde);

}  // namespace kovo::transits
