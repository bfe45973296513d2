#pragma once
// The two bodies' longitudes at the scan's instants, in the frame the pair's separations
// are taken in (astro/separation_longitudes.h).
#include <array>
#include <cstdint>
#include <optional>
#include <unordered_map>

#include "astro/separation_longitudes.h"
#include "transits/transit_params.h"

namespace kovo::transits {

// The all-transits run meets one body in every pair. Its longitudes, and the ET of each
// instant, are kept by scan instant, so that each is worked out once for the whole run.
// Valid for one run: one centricity and one time zone.
class KeptBodyPositions {
public:
    explicit KeptBodyPositions(int planet) : planet_(planet) {}
    int Planet() const { return planet_; }

    struct Instant {
        std::optional<double> et;
        std::optional<double> apparent;
        std::optional<double> meanOfDate;
    };
    // What is kept for the scan instant numbered `key`, empty at first.
    Instant& At(std::int64_t key) { return kept_[key]; }

private:
    int planet_;
    std::unordered_map<std::int64_t, Instant> kept_;
};

class PairPositions {
public:
    // `kept` may be null; it is used only on the fast path.
    PairPositions(const TransitRunParams& params, KeptBodyPositions* kept);

    astro::SeparationFrame Frame() const { return frame_; }

    // Both longitudes (first, second) at a UT instant.
    std::array<double, 2> At(double instantUt) const;
    // The same at a scan instant: local Julian date `local`, a whole number of eighths of
    // a day (every scan step is one), which names the instant for the kept body.
    std::array<double, 2> AtScanInstant(double local, double zoneDays) const;

private:
    double Longitude(int which, const astro::SeparationInstant& at, KeptBodyPositions::Instant* kept) const;

    std::array<int, 2> planets_;
    bool heliocentric_;
    std::optional<double> fixedSecond_;  // radians: the second is a fixed point
    astro::SeparationFrame frame_;
    KeptBodyPositions* kept_;
};

}  // namespace kovo::transits
