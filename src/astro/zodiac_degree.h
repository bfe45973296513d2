#pragma once
// The twelve signs and a longitude written within its sign, as the reports show them.
#include <string>

namespace kovo::astro {

inline constexpr const char* kSignNames[12] = {"Aries", "Taurus", "Gemini", "Cancer", "Leo", "Virgo",
                                               "Libra", "Scorpio", "Sagittarius", "Capricorn", "Aquarius", "Pisces"};

// "15°30' Taurus", "27°3' Aries": degrees and minutes within the sign, rounded to the
// minute of arc. `degrees` in [0, 360).
std::string ZodiacDegreeText(double degrees);

}  // namespace kovo::astro
