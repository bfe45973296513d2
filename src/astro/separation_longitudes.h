#pragma once
// Longitudes for separations. A separation is the difference of two longitudes at one
// instant, so whatever shifts both by the same angle can be left out, and the instant's
// delta-T can be worked out once for both bodies.
//
// In the mean-of-date frame, geocentric longitudes leave out nutation, which turns every
// longitude of date by the same angle; heliocentric ones are PlanetLongitude's own
// (geometric, J2000). Pluto comes from its files, whose geocentric longitudes include
// nutation: a pair with Pluto uses the apparent frame, PlanetLongitude itself.
#include <cmath>

namespace kovo::astro {

enum class SeparationFrame { Apparent, MeanOfDate };

// The frame for a pair: MeanOfDate when neither body is Pluto and `fast`.
SeparationFrame SeparationFrameFor(int firstPlanet, int secondPlanet, bool fast);

// One instant in UT, with its ET worked out on first use and then kept. Belongs to one
// thread: Et() writes that memo.
class SeparationInstant {
public:
    SeparationInstant(double instantUt, bool heliocentric) : ut_(instantUt), heliocentric_(heliocentric) {}
    // With the ET already worked out for this instant and centricity.
    SeparationInstant(double instantUt, bool heliocentric, double instantEt)
        : ut_(instantUt), heliocentric_(heliocentric), et_(instantEt) {}
    double Ut() const { return ut_; }
    bool Heliocentric() const { return heliocentric_; }
    double Et() const;

private:
    double ut_;
    bool heliocentric_;
    mutable double et_ = std::nan("");
};

// Radians in [0, FullCircle), or a negative "no position" as PlanetLongitude gives.
double SeparationLongitude(int planet, const SeparationInstant& at, SeparationFrame frame);

}  // namespace kovo::astro
