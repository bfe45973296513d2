#pragma once
// A fixed point of the zodiac as people write it: a plain longitude ("45.5", degrees from
// 0° Aries) or a degree within a sign ("15°30' Taurus", "15 Taurus 30", "15°30'20\" Tau").
#include <optional>
#include <string>

namespace kovo::astro {

inline constexpr const char* kSignNames[12] = {"Aries", "Taurus", "Gemini", "Cancer", "Leo", "Virgo",
                                               "Libra", "Scorpio", "Sagittarius", "Capricorn", "Aquarius", "Pisces"};

struct ParsedDegree {
    std::optional<double> degrees;  // [0, 360)
    std::string problem;            // why the text was not understood, when degrees is empty
};

ParsedDegree ParseZodiacDegree(const std::string& text);

// "15°30' Taurus", "27°3' Aries": degrees and minutes within the sign, rounded to the
// minute of arc. `degrees` in [0, 360).
std::string ZodiacDegreeText(double degrees);

}  // namespace kovo::astro
