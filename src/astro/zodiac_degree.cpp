#include "astro/zodiac_degree.h"

#include <cmath>


namespace kovo::astro {

std::string ZodiacDegreeText(double degrees) {
    auto total = static_cast<long long>(std::nearbyint(degrees * 60.0)) % (360 * 60);
    if (total < 0) total += 360 * 60;
    const long long within = total % 1800;
    return std::to_string(within / 60) + "\xC2\xB0" + std::to_string(within % 60) + "' " +
           kSignNames[static_cast<std::size_t>(total / 1800)];
}

}  // namespace kovo::astro
