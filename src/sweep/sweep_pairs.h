#pragma once
// The pair lists a sweep runs over: "geo" (the Sun and Mercury ... Pluto, 36 pairs),
// "helio" (the Earth and Mercury ... Pluto, 36 pairs), "all" (both, 72), or a list such
// as "Mars-Jupiter,Jupiter-Saturn/helio" (geocentric unless marked "/helio"; either
// order; the Moon, geocentrically, as "Sun-Moon").
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "sweep/sweep_request.h"

namespace kovo::sweep {

// The pairs of a centricity, the first body's index ascending, then the second's.
std::vector<SweepPair> AllPairs(bool heliocentric);

// The pairs of a text as above, or the reason it was refused.
std::variant<std::vector<SweepPair>, std::string> ParsePairs(std::string_view text);

// A body by its name in any case ("Earth" is the Sun): Sun ... Pluto, Moon.
std::optional<astro::Body> BodyNamed(std::string_view name);

// "Mars-Jupiter" (heliocentrically the Earth for the Sun), as ParsePairs reads it.
std::string PairLabel(const SweepPair& pair);
// "Mars-Jupiter" or "Earth-Jupiter/helio": a pair as a list names it.
std::string PairListItem(const SweepPair& pair);

}  // namespace kovo::sweep
