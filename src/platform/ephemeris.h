#pragma once
// The ephemeris library's three entry points, over the Swiss Ephemeris.
//
// Instants are Julian Days in Universal Time. Longitudes are radians in [0, 2*pi).
// Body codes: 1 Mercury, 2 Venus, 3 Earth (heliocentric) or Sun (geocentric),
// 4 Mars, 5 Jupiter, 6 Saturn, 7 Uranus, 8 Neptune, 10 the Moon (geocentric only).
// Any error, an unknown body code, or a result not computed from the JPL-based data
// files (the library's silent analytical fallback) gives a negative longitude.
// Threads: every function may be called from any number of threads at once. The
// library keeps its state per thread; each thread is set up with the process's data
// path on its first call and its files are closed when it ends.
#include <cstdint>

namespace kovo::platform {

// Data files are looked for in `folder`, then in the system's ephemeris folder. Without
// a call, the program's own folder comes first. The first call or the first computation,
// on whichever thread, fixes the path for the whole process; a later call changes
// nothing. Returns whether the path in force is the one `folder` gives.
bool set_datafiles_folder(const char* folder);

// Geometric heliocentric longitude, mean ecliptic and equinox of J2000.
double hc_j2000_long_rv_planet(std::int32_t body, double instant, std::int32_t year, double* rv);

// Apparent geocentric longitude of date (light-time, aberration, nutation).
double gc_app_long_rv_planet(std::int32_t body, double instant, std::int32_t year, double* rv);

// For separations, which are differences of two longitudes at one instant:
// - EphemerisTime gives the instant in ET (UT + delta-T) exactly as the library's UT
//   entry point derives it, so a caller can share it between bodies; NaN on failure.
// - SeparationLongitudeEt takes that ET. Heliocentric it is the same as
//   hc_j2000_long_rv_planet. Geocentric it leaves out nutation, which moves every
//   longitude of date by the same angle and so cannot change a separation: the
//   longitude differs from gc_app_long_rv_planet's by that angle alone.
double EphemerisTime(double instantUt, bool heliocentric);
double SeparationLongitudeEt(std::int32_t body, double instantEt, bool heliocentric);

// Positions for sign ingresses and stations, in the zodiac's own frame: apparent
// geocentric or heliocentric longitude of date (tropical), or the same less the
// library's ayanamsa of the named sidereal mode. Body codes as above, 9 for Pluto, here
// from the library itself, and 10 for the Moon (geocentric only). Degrees in [0, 360) and degrees a day; a negative
// longitude on any failure. The sidereal mode is set for the calling thread on each call.
enum class Zodiac { Tropical, Lahiri, FaganBradley, Raman };
struct ZodiacPosition {
    double longitude = -1.0;
    double speed = 0.0;
};
ZodiacPosition ZodiacLongitude(std::int32_t body, double instantUt, bool heliocentric, Zodiac zodiac);
inline constexpr std::int32_t kMoonCode = 10;

// The first solar or lunar eclipse whose greatest phase comes after `afterUt`, from the
// library's global eclipse searches (geocentric, the whole Earth). NaN instant when the
// library failed or has no data for the time.
enum class EclipseType { Total, Annular, Hybrid, Partial, Penumbral };
struct EclipseFound {
    double greatestUt = 0;  // NaN on failure
    EclipseType type = EclipseType::Partial;
};
EclipseFound NextSolarEclipse(double afterUt);
EclipseFound NextLunarEclipse(double afterUt);

// How often the library has been asked for a position and for a delta-T (each UT
// position request works out one), for benchmarks.
struct EphemerisCallCounts {
    std::uint64_t positions = 0;
    std::uint64_t deltaT = 0;
};
EphemerisCallCounts EphemerisCalls();

// Pluto in the same two frames, for the generator of the Pluto files and its checks.
double PlutoHeliocentricFromEphemeris(double instant);
double PlutoGeocentricFromEphemeris(double instant);

}  // namespace kovo::platform
