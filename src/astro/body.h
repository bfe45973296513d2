#pragma once
// The bodies a run may name, numbered as the catalogue numbers its planets, so that a
// request converts to the catalogue's planet index without a table.
namespace kovo::astro {

enum class Body : int {
    Sun = 1,  // heliocentrically the Earth
    Mercury,
    Venus,
    Mars,
    Jupiter,
    Saturn,
    Uranus,
    Neptune,
    Pluto,
    Moon  // geocentric only; for sign ingresses, not (yet) for transits
};

constexpr int PlanetIndex(Body body) { return static_cast<int>(body); }
// The body of a catalogue planet index 1..9 (the caller checks the range).
constexpr Body BodyOfIndex(int planet) { return static_cast<Body>(planet); }

}  // namespace kovo::astro
