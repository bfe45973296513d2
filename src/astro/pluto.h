#pragma once
// Pluto's longitudes from the two daily position files ("pluto.slx", geocentric
// apparent, arcminutes; "hpluto.2199.slx", heliocentric J2000, arcseconds). Record k
// is Pluto at 0h UT of day number 2305448 + k (1 January 1600). Lookups interpolate
// linearly between two consecutive days and return radians, or -99 before and -100
// after the data. A record that is missing, short or outside the code range also
// gives -100, never a read past the data.
#include <string>
#include <vector>

namespace kovo::astro {

inline constexpr int kPlutoFirstDay = 2305448;
inline constexpr int kPlutoGeoLastDay = 2488069;    // 31 December 2099
inline constexpr int kPlutoHelioLastDay = 2524593;  // 31 December 2199
inline constexpr double kBeforeData = -99.0;
inline constexpr double kAfterData = -100.0;

inline constexpr const char* kPlutoGeoFile = "pluto.slx";
inline constexpr const char* kPlutoHelioFile = "hpluto.2199.slx";

struct PlutoLoadResult {
    bool ok = false;
    std::string message;  // for the caller to show when not empty (title "Read Pluto Data")
};

// Reads both files from `folder` (DataFolder() when empty). A failure of the geocentric
// file gives the message and skips the heliocentric one; a failure of the heliocentric
// file is silent.
PlutoLoadResult LoadPlutoFiles(const std::string& folder = {});

enum class PlutoList { Geocentric, Heliocentric };

// Replaces the records of one list (tests build small synthetic tables with it).
void SetPlutoRecords(PlutoList list, std::vector<std::string> records);

// Longitude in degrees of record k, or a negative value when the record cannot be decoded.
double PlutoRecordDegrees(PlutoList list, long long k);

double PlutoGeocentric(double instant);
double PlutoHeliocentric(double instant);

// Record texts for the generator: degrees in [0, 360).
std::string EncodePlutoGeocentric(double degrees, long long k);
std::string EncodePlutoHeliocentric(double degrees, long long k);

}  // namespace kovo::astro
