#pragma once
// The side a rule trades, and the return of one hold on that side.
//
// A long hold buys at the entry close and sells at the exit close; a short hold sells at
// the entry close and buys back at the exit close. With entry close a and exit close b:
//   long:  r = b / a - 1
//   short: r = 1 - b / a      (the gain as a fraction of the entry close)
// The sign s is +1 long, -1 short; a short hold's signed log return is -ln(b / a).
// Costs are not charged here.

namespace kovo::stats {

enum class Side { Long, Short };

// +1.0 for Long, -1.0 for Short.
inline double SignOf(Side side) { return side == Side::Long ? 1.0 : -1.0; }

// The simple return of a hold from entryClose to exitClose (both > 0) on `side`.
inline double SidedReturn(Side side, double entryClose, double exitClose) {
    return side == Side::Long ? exitClose / entryClose - 1.0 : 1.0 - exitClose / entryClose;
}

// The same return from the hold's log price change x = ln(exit / entry).
double SidedReturnOfLog(Side side, double logChange);

}  // namespace kovo::stats
