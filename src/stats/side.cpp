#include "stats/side.h"

#include <cmath>

namespace kovo::stats {

double SidedReturnOfLog(Side side, double logChange) {
    // expm1 keeps the digits of small daily changes that exp(x) - 1 would lose.
    const double longReturn = std::expm1(logChange);
    return side == Side::Long ? longReturn : -longReturn;
}

}  // namespace kovo::stats
