#include "astro/catalogue.h"

#include "platform/program_folder.h"

namespace kovo::astro {

std::string PlanetName(int planet, bool heliocentric, bool abbreviated) {
    static const char* const names[] = {"", "Sun", "Mercury", "Venus", "Mars", "Jupiter",
                                        "Saturn", "Uranus", "Neptune", "Pluto"};
    static const char* const abbreviations[] = {"", "Su", "Me", "Ve", "Ma", "Ju", "Sa", "Ur", "Ne", "Pl"};
    if (planet < 1 || planet > kPlanetCount) return {};
    if (planet == 1 && heliocentric) return abbreviated ? "Ea" : "Earth";
    return abbreviated ? abbreviations[planet] : names[planet];
}

std::string TransitBodyName(int planet, bool heliocentric) {
    return planet == kMoon ? "Moon" : PlanetName(planet, heliocentric, false);
}

const std::string& DataFolder() {
    static const std::string folder = platform::DataFolder();
    return folder;
}

}  // namespace kovo::astro
