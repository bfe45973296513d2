#include "astro/separation_longitudes.h"

#include "astro/catalogue.h"
#include "astro/positions.h"
#include "platform/ephemeris.h"

namespace kovo::astro {

SeparationFrame SeparationFrameFor(int firstPlanet, int secondPlanet, bool fast) {
    if (!fast || firstPlanet == kPluto || secondPlanet == kPluto) return SeparationFrame::Apparent;
    return SeparationFrame::MeanOfDate;
}

double SeparationInstant::Et() const {
    if (std::isnan(et_)) et_ = platform::EphemerisTime(ut_, heliocentric_);
    return et_;
}

double SeparationLongitude(int planet, const SeparationInstant& at, SeparationFrame frame) {
    if (frame == SeparationFrame::Apparent || planet == kPluto) return PlanetLongitude(planet, at.Ut(), at.Heliocentric());
    return platform::SeparationLongitudeEt(EphemerisBodyCode(planet), at.Et(), at.Heliocentric());
}

}  // namespace kovo::astro
