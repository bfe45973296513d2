#include "platform/ephemeris.h"

#include <atomic>
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

std::string PathWith(const std::string& folder) {
    std::string path = folder;
    if (!path.empty()) path += kPathSeparator;
    path += kSystemEpheFolder;
    return path;
}

// The folder list every thread hands to the library. The first to ask fixes it for the
// whole process: set_datafiles_folder with its folder, or a computation with the
// program's data folder. Never changed afterwards, so all threads read the same files.
const std::string& ProcessPath(const char* requestedFolder) {
    static const std::string path = PathWith(requestedFolder != nullptr ? requestedFolder : DataFolder());
    return path;
}

// The library keeps its state per thread: each thread gives it the process's path before
// its first computation and closes its files when it ends, else every finished worker
// would leave its open data files and buffers behind.
class ThreadEphemeris {
public:
    ThreadEphemeris() { swe_set_ephe_path(ProcessPath(nullptr).c_str()); }
    ~ThreadEphemeris() { swe_close(); }
    ThreadEphemeris(const ThreadEphemeris&) = delete;
    ThreadEphemeris& operator=(const ThreadEphemeris&) = delete;

    // The state of a thread that has not computed anything yet.
    static void Restart() {
        swe_close();
        swe_set_ephe_path(ProcessPath(nullptr).c_str());
    }
};

void EnsurePath() { thread_local const ThreadEphemeris ready; }

// Neighbouring data files overlap by up to about 80 days at their 600-year seams, and
// the library keeps using an open file while it covers the instant, so near a seam a
// result would depend on what the thread computed before (by some 1e-4"). There every
// computation starts from a fresh state instead: each thread and each order of calls
// then gives the bits that a thread beginning with that computation gets.
constexpr double kSeamMarginDays = 150.0;

void EnsureHistoryFree(double instant) {
    for (int file = 0; file <= 1; ++file) {  // the planet file and the moon file
        double start = 0;
        double end = 0;
        int denum = 0;
        if (swe_get_current_file_data(file, &start, &end, &denum) == nullptr) continue;
        if (std::fabs(instant - start) < kSeamMarginDays || std::fabs(instant - end) < kSeamMarginDays) {
            ThreadEphemeris::Restart();
            return;
        }
    }
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
        case kMoonCode: return heliocentric ? kNoBody : SE_MOON;
        default: return kNoBody;
    }
}

struct CallCounters {
    std::atomic<std::uint64_t> positions{0};
    std::atomic<std::uint64_t> deltaT{0};
};

CallCounters& Counters() {
    static CallCounters counters;
    return counters;
}

void CountCall(bool position, bool deltaT) {
    if (position) Counters().positions.fetch_add(1, std::memory_order_relaxed);
    if (deltaT) Counters().deltaT.fetch_add(1, std::memory_order_relaxed);
}

double Radians(double degrees) { return degrees / 360.0 * kTwoPi; }

constexpr int32 kHeliocentricFlags = SEFLG_SWIEPH | SEFLG_HELCTR | SEFLG_TRUEPOS | SEFLG_J2000 | SEFLG_NONUT;
constexpr int32 kGeocentricFlags = SEFLG_SWIEPH;

// Radians in [0, 2*pi) from what the library returned; negative when it failed or did
// not use its data files.
double LongitudeFrom(int32 returned, const double (&xx)[6]) {
    if (returned < 0 || (returned & SEFLG_SWIEPH) == 0) return -1.0;
    if (!std::isfinite(xx[0])) return -1.0;
    double longitude = Radians(xx[0]);
    if (longitude < 0) longitude += kTwoPi;
    if (longitude >= kTwoPi) longitude -= kTwoPi;
    return longitude;
}

// One call with the flags of the frame.
double Longitude(int sweBody, double instant, bool heliocentric) {
    if (!std::isfinite(instant)) return -1.0;
    EnsurePath();
    double xx[6] = {0, 0, 0, 0, 0, 0};
    char error[AS_MAXCH] = "";
    EnsureHistoryFree(instant);
    CountCall(true, true);
    const int32 returned =
        swe_calc_ut(instant, sweBody, heliocentric ? kHeliocentricFlags : kGeocentricFlags, xx, error);
    return LongitudeFrom(returned, xx);
}

}  // namespace

bool set_datafiles_folder(const char* folder) {
    const char* named = folder != nullptr ? folder : "";
    const bool inForce = ProcessPath(named) == PathWith(named);
    EnsurePath();
    return inForce;
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

ZodiacPosition ZodiacLongitude(std::int32_t body, double instantUt, bool heliocentric, Zodiac zodiac) {
    const int sweBody = body == 9 ? SE_PLUTO : SweBody(body, heliocentric);
    if (sweBody == kNoBody || !std::isfinite(instantUt)) return {};
    EnsurePath();
    int32 flags = SEFLG_SWIEPH | SEFLG_SPEED | (heliocentric ? SEFLG_HELCTR : 0);
    if (zodiac != Zodiac::Tropical) {
        const int32 mode = zodiac == Zodiac::Lahiri ? SE_SIDM_LAHIRI
                           : zodiac == Zodiac::FaganBradley ? SE_SIDM_FAGAN_BRADLEY
                                                            : SE_SIDM_RAMAN;
        swe_set_sid_mode(mode, 0, 0);
        flags |= SEFLG_SIDEREAL;
    }
    double xx[6] = {0, 0, 0, 0, 0, 0};
    char error[AS_MAXCH] = "";
    EnsureHistoryFree(instantUt);
    CountCall(true, true);
    const int32 returned = swe_calc_ut(instantUt, sweBody, flags, xx, error);
    if (returned < 0 || (returned & SEFLG_SWIEPH) == 0 || !std::isfinite(xx[0]) || !std::isfinite(xx[3])) return {};
    double longitude = std::fmod(xx[0], 360.0);
    if (longitude < 0) longitude += 360.0;
    if (longitude >= 360.0) longitude = 0.0;
    return {.longitude = longitude, .speed = xx[3]};
}

namespace {

// The library's type bits, most specific first: a hybrid eclipse also has other bits set.
EclipseType TypeOf(int32 bits) {
    if ((bits & SE_ECL_HYBRID) != 0) return EclipseType::Hybrid;
    if ((bits & SE_ECL_TOTAL) != 0) return EclipseType::Total;
    if ((bits & SE_ECL_ANNULAR) != 0) return EclipseType::Annular;
    if ((bits & SE_ECL_PENUMBRAL) != 0) return EclipseType::Penumbral;
    return EclipseType::Partial;
}

template <typename Search>
EclipseFound Eclipse(double afterUt, Search search) {
    if (!std::isfinite(afterUt)) return {.greatestUt = std::nan("")};
    EnsurePath();
    EnsureHistoryFree(afterUt);
    double tret[10] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    char error[AS_MAXCH] = "";
    const int32 bits = search(afterUt, tret, error);
    if (bits <= 0 || !std::isfinite(tret[0])) return {.greatestUt = std::nan("")};
    return {.greatestUt = tret[0], .type = TypeOf(bits)};
}

}  // namespace

EclipseFound NextSolarEclipse(double afterUt) {
    return Eclipse(afterUt, [](double t, double* tret, char* error) {
        return swe_sol_eclipse_when_glob(t, SEFLG_SWIEPH, 0, tret, 0, error);
    });
}

EclipseFound NextLunarEclipse(double afterUt) {
    return Eclipse(afterUt, [](double t, double* tret, char* error) {
        return swe_lun_eclipse_when(t, SEFLG_SWIEPH, 0, tret, 0, error);
    });
}

// The library's UT entry point is swe_calc(ut + swe_deltat_ex(ut, flags)) with the
// flags of the call; a result from other than the data files is refused anyway, so its
// second try with another delta-T never matters here.
double EphemerisTime(double instantUt, bool heliocentric) {
    if (!std::isfinite(instantUt)) return std::nan("");
    EnsurePath();
    char error[AS_MAXCH] = "";
    CountCall(false, true);
    return instantUt + swe_deltat_ex(instantUt, heliocentric ? kHeliocentricFlags : kGeocentricFlags, error);
}

double SeparationLongitudeEt(std::int32_t body, double instantEt, bool heliocentric) {
    const int sweBody = SweBody(body, heliocentric);
    if (sweBody == kNoBody || !std::isfinite(instantEt)) return -1.0;
    EnsurePath();
    double xx[6] = {0, 0, 0, 0, 0, 0};
    char error[AS_MAXCH] = "";
    const int32 flags = heliocentric ? kHeliocentricFlags : (kGeocentricFlags | SEFLG_NONUT);
    EnsureHistoryFree(instantEt);
    CountCall(true, false);
    return LongitudeFrom(swe_calc(instantEt, sweBody, flags, xx, error), xx);
}

EphemerisCallCounts EphemerisCalls() {
    return {.positions = Counters().positions.load(std::memory_order_relaxed),
            .deltaT = Counters().deltaT.load(std::memory_order_relaxed)};
}

double PlutoHeliocentricFromEphemeris(double instant) { return Longitude(SE_PLUTO, instant, true); }

double PlutoGeocentricFromEphemeris(double instant) { return Longitude(SE_PLUTO, instant, false); }

}  // namespace kovo::platform
