#pragma once
// How fast each body can move and turn along the ecliptic over 1600-2199: the bounds
// that let a scan or a minute search rule out instants without asking for positions.
namespace kovo::astro {

// Where the bounds below hold for `planet` and it has positions, in Julian Days UT: from
// 1 January 1600 to 31 December 2199, 0h, the span they were measured over; geocentric
// Pluto's tables end a century earlier, so for it to 31 December 2099, 0h. No bound is
// claimed outside.
inline constexpr double kMotionBoundsFirstInstant = 2305447.5;
double MotionBoundsLastInstant(int planet, bool heliocentric);

// The fastest `planet` (index 1..10) moves along the ecliptic in the given frame, in
// radians per day, with a margin; 0 for an unknown index and for a heliocentric Moon.
// Pluto's includes the error its tables' rounding adds between whole days.
double MaxDailyMotion(int planet, bool heliocentric);

// How fast `planet`'s motion along the ecliptic can change, in radians per day squared,
// with a margin, in the frame of separations without nutation (separation_longitudes.h);
// infinite for Pluto, whose tables bend at every whole day, and for an unknown index.
double MaxDailyAcceleration(int planet, bool heliocentric);

// Multiplies every bound above by `factor` (1 restores them), for tests that must see a
// scan go wrong when a bound is too small. Not for use while a run is going on.
void ScaleMotionBoundsForTesting(double factor);

}  // namespace kovo::astro
