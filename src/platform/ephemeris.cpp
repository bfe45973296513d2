#include "platform/ephemeris.h"

#include <cmath>
#include <string>

#include <swephexp.h>

#include "platform/program_folder.h"

namespace kovo::platform {

namespace {

constexpr const char* kSystemEpheFolder = "/usr/share/libswe/ephe";
constexpr int kNoBody = -1;

#ifdef _WIN32
constexpr char kPathSeparator = ';';
#else
constexpr char kPathSeparator = ':';
#endif

// The library's own circle, not the program's decimal constant: this layer stands in
// for an outside library and returns what that would.
constexpr double kTwoPi = 6.283185307179586476925287;

void ApplyPath(const std::string& folder) {
    std::string path = folder;
    if (!path.empty()) path += kPathSeparator;
    path += kSystemEpheFolder;
    swe_set_ephe_path(path.c_str());
}

// The program's data folder comes first unless a caller names another before the first
// computation; done once, so a named folder is never overridden afterwards.
void EnsurePath() {
    static const bool applied = [] {
        ApplyPath(DataFolder());
        return true;
    }();
    (void)applied;
}

int SweBody(std::int32_t body, bool heliocentric) {
    switch (body) {
        case 1: return SE_MERCURY;
        case 2: return SE_VENUS;
        case 3: return heliocentric ? SE_EARTH : SE_SUN;
        case 4: return SE_MARS;
        case 5: return SE_JUPITER;
        case 6: return SE_SATURN;
        case 7: return SE_URANUS;
        case 8: return SE_NEPTUNE;
        default: return kNoBody;
    }
}

double Radians(double degrees) { return degrees / 360.0 * kTwoPi; }

// One call with the flags of the frame; negative when the library failed or did not
// use its data files.
double Longitude(int sweBody, double instant, bool heliocentric) {
    if (!std::isfinite(instant)) return -1.0;
    EnsurePath();
    const int32 flags = heliocentric ? (SEFLG_SWIEPH | SEFLG_HELCTR | SEFLG_TRUEPOS | SEFLG_J2000 | SEFLG_NONUT)
                                     : SEFLG_SWIEPH;
    double xx[6] = {0, 0, 0, 0, 0, 0};
    char error[AS_MAXCH] = "";
    const int32 returned = swe_calc_ut(instant, sweBody, flags, xx, error);
    if (returned < 0 || (returned & SEFLG_SWIEPH) == 0) return -1.0;
    if (!std::isfinite(xx[0])) return -1.0;
    double longitude = Radians(xx[0]);
    if (longitude < 0) longitude += kTwoPi;
    if (longitude >= kTwoPi) longitude -= kTwoPi;
    return longitude;
}

}  // namespace

void set_datafiles_folder(const char* folder) {
    EnsurePath();
    ApplyPath(folder != nullptr ? folder : "");
}

double hc_j2000_long_rv_planet(std::int32_t body, double instant, std::int32_t /*year*/, double* rv) {
    if (rv != nullptr) *rv = 0.0;
    const int sweBody = SweBody(body, true);
    return sweBody == kNoBody ? -1.0 : Longitude(sweBody, instant, true);
}

double gc_app_long_rv_planet(std::int32_t body, double instant, std::int32_t /*year*/, double* rv) {
    if (rv != nullptr) *rv = 0.0;
    const int sweBody = SweBody(body, false);
    return sweBody == kNoBody ? -1.0 : Longitude(sweBody, instant, false);
}

double PlutoHeliocentricFromEphemeris(double instant) { return Longitude(SE_PLUTO, instant, true); }

double PlutoGeocentricFromEphemeris(double instant) { return Longitude(SE_PLUTO, instant, false); }

}  // namespace kovo::platform
