#pragma once
// Pluto's longitudes from the two daily position files ("pluto.slx", geocentric
// apparent, arcminutes; "hpluto.2199.slx", heliocentric J2000, arcseconds). Record k
// is Pluto at 0h UT of day number 2305448 + k (1 January 1600). Lookups interpolate
// linearly between two consecutive days and return radians, or -99 before and -100
// after the data. A record that is missing, short or outside the code range also
// gives -100, never a read past the data; so does every lookup after a failed load.
// The program's tables are read once and then constant; tests and tools build their own.
// Threads: lookups only read the records (no cache, no statics), so any number of
// threads may share one table; Load and SetRecords must not run beside its other uses.
#include <cstddef>
#include <string>
#include <vector>

namespace kovo::astro {

inline constexpr int kPlutoFirstDay = 2305448;
inline constexpr int kPlutoGeoLastDay = 2488069;    // 31 December 2099
inline constexpr int kPlutoHelioLastDay = 2524593;  // 31 December 2199
inline constexpr double kBeforeData = -99.0;
inline constexpr double kAfterData = -100.0;

// A sound file has one record per covered day and one for the day after the last,
// which interpolation reads.
inline constexpr std::size_t kPlutoGeoRecords = kPlutoGeoLastDay - kPlutoFirstDay + 2;      // 182,623
inline constexpr std::size_t kPlutoHelioRecords = kPlutoHelioLastDay - kPlutoFirstDay + 2;  // 219,147

// The largest change in degrees between the records of two consecutive days that a
// file may hold. Pluto moves at most 3' a day geocentrically and 26" heliocentrically
// (including the rounding of the records); a record read for the wrong day is off by
// 60°, and a wrong degree digit by at least 1°.
inline constexpr double kPlutoGeoMaxDailyStep = 15.0 / 60;
inline constexpr double kPlutoHelioMaxDailyStep = 2.0 / 60;

inline constexpr const char* kPlutoGeoFile = "pluto.slx";
inline constexpr const char* kPlutoHelioFile = "hpluto.2199.slx";

struct PlutoLoadResult {
    bool ok = false;      // both files read and sound
    std::string message;  // for the caller to show when not empty (title "Read Pluto Data")
    std::string reason;   // one line naming the failing file and the problem; empty when ok
};

enum class PlutoList { Geocentric, Heliocentric };

// The records of both files, decoded on demand. Lookups interpolate linearly between
// two consecutive days and return radians, or kBeforeData / kAfterData.
class PlutoTables {
public:
    // Reads both files from `folder` (DataFolder() when empty) and checks them: a sound
    // file is a regular file holding exactly the record count above, every record of its
    // format's length and codes, and no step between consecutive days larger than the
    // bound above. The first problem fails the load: `reason` names the file's full path
    // and the problem (with the line for a bad record), `message` is "Error when reading
    // geocentric Pluto data." or "Error when reading heliocentric Pluto data.", CR LF and
    // the reason. A failure of the geocentric file skips the heliocentric one. After a
    // failure both lists are empty.
    PlutoLoadResult Load(const std::string& folder = {});

    // Replaces the records of one list (tests build small synthetic tables with it).
    void SetRecords(PlutoList list, std::vector<std::string> records);

    // Longitude in degrees of record k, or a negative value when the record cannot be decoded.
    double RecordDegrees(PlutoList list, long long k) const;

    double Geocentric(double instant) const;
    double Heliocentric(double instant) const;

private:
    double Interpolate(PlutoList list, double instant, int lastDay) const;

    std::vector<std::string> geo_;
    std::vector<std::string> helio_;
};

// The program's tables: read from the data folder on first use, with the pop-up of the
// window's start-up, and never changed afterwards, so every run sees the same records.
// The first use may come from any thread; the others wait until the tables are read.
const PlutoTables& ProgramPlutoTables();

// Without a folder: the result of reading the program's tables. With a folder: reads and
// checks that folder's files on their own (the program's tables stay as they are).
PlutoLoadResult LoadPlutoFiles(const std::string& folder = {});

// Lookups in the program's tables.
double PlutoRecordDegrees(PlutoList list, long long k);
double PlutoGeocentric(double instant);
double PlutoHeliocentric(double instant);

// Record texts for the generator: degrees in [0, 360).
std::string EncodePlutoGeocentric(double degrees, long long k);
std::string EncodePlutoHeliocentric(double degrees, long long k);

}  // namespace kovo::astro
