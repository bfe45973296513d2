#include "astro/catalogue.h"

#include "platform/ephemeris.h"
#include "platform/program_folder.h"

namespace kovo::astro {

std::array<double, 8> AspectAngle{};
std::array<std::string, 8> AspectName{};
std::array<std::string, 8> AspectAbbreviation{};

namespace {
std::string dataFolder;
}

std::string PlanetName(int planet, bool heliocentric, bool abbreviated) {
    static const char* const names[] = {"", "Sun", "Mercury", "Venus", "Mars", "Jupiter",
                                        "Saturn", "Uranus", "Neptune", "Pluto"};
    static const char* const abbreviations[] = {"", "Su", "Me", "Ve", "Ma", "Ju", "Sa", "Ur", "Ne", "Pl"};
    if (planet < 1 || planet > kPlanetCount) return {};
    if (planet == 1 && heliocentric) return abbreviated ? "Ea" : "Earth";
    return abbreviated ? abbreviations[planet] : names[planet];
}

const std::string& DataFolder() { return dataFolder; }

void InitCatalogue(const std::string& folder) {
    dataFolder = folder.empty() ? platform::ExecutableFolder() : folder;
    platform::set_datafiles_folder(dataFolder.c_str());
    AspectAngle = {0.0,
                   0.0,
                   FullCircle / 2,
                   FullCircle / 4,
                   120.0 / 360.0 * FullCircle,
                   60.0 / 360.0 * FullCircle,
                   30.0 / 360.0 * FullCircle,
                   150.0 / 360.0 * FullCircle};
    AspectAbbreviation = {"", "Con", "Opp", "Sqr", "Tri", "Sxt", "Ssx", "Qui"};
    AspectName = {"", "Conjunction", "Opposition", "Square", "Trine", "Sextile", "Semisextile", "Quincunx"};
}

}  // namespace kovo::astro
