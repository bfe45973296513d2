#include "transits/pair_positions.h"

#include <cmath>

#include "astro/positions.h"


namespace kovo::transits {

PairPositions::PairPositions(const TransitRunParams& params, KeptBodyPositions* kept)
    : planets_{params.firstPlanet, params.secondPlanet},
      heliocentric_(params.heliocentric),
      fixedSecond_(params.fixedSecondRadians),
      // A fixed point is of date, so its pairs are too: never the mean frame's shortcuts.
      frame_(params.ToFixedPoint() ? astro::SeparationFrame::Apparent
                                   : astro::SeparationFrameFor(params.firstPlanet, params.secondPlanet,
                                                               params.scanPath != ScanPath::Reference)),
      kept_(params.scanPath != ScanPath::Reference && !params.ToFixedPoint() ? kept : nullptr) {}

std::array<double, 2> PairPositions::At(double instantUt) const {
    const astro::SeparationInstant at(instantUt, heliocentric_);
    return {Longitude(0, at, nullptr), Longitude(1, at, nullptr)};
}

std::array<double, 2> PairPositions::AtScanInstant(double local, double zoneDays) const {
    const double eighths = local * 8.0;
    KeptBodyPositions::Instant* kept = nullptr;
    if (kept_ != nullptr && std::isfinite(eighths) && eighths == std::floor(eighths))
        kept = &kept_->At(static_cast<std::int64_t>(eighths));
    astro::SeparationInstant at(local - zoneDays, heliocentric_);
    if (kept != nullptr && frame_ == astro::SeparationFrame::MeanOfDate) {
        // The instant's ET serves every pair of the run.
        if (!kept->et) kept->et = at.Et();
        at = astro::SeparationInstant(local - zoneDays, heliocentric_, *kept->et);
    }
    return {Longitude(0, at, kept), Longitude(1, at, kept)};
}

double PairPositions::Longitude(int which, const astro::SeparationInstant& at, KeptBodyPositions::Instant* kept) const {
    const int planet = planets_[static_cast<std::size_t>(which)];
    if (fixedSecond_) return which == 1 ? *fixedSecond_ : astro::LongitudeOfDate(planet, at.Ut(), heliocentric_);
    if (kept == nullptr || planet != kept_->Planet()) return astro::SeparationLongitude(planet, at, frame_);
    auto& longitude = frame_ == astro::SeparationFrame::Apparent ? kept->apparent : kept->meanOfDate;
    if (!longitude) longitude = astro::SeparationLongitude(planet, at, frame_);
    return *longitude;
}

}  // namespace kovo::transits
