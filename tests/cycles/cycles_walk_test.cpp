// Every station and ingress of 2000–2030, for every body, against an independent walk of
// the ephemeris: a day at a time to find where something happens, then every ten minutes
// across that day. The walk reads the ephemeris directly, not through the searches.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "cycles/ingresses.h"
#include "cycles/stations.h"
#include "astro/positions.h"
#include "platform/ephemeris.h"
#include "test_support.h"

namespace kovo::cycles {
namespace {

using astro::Body;

constexpr double kTenMinutes = 10.0 / 1440.0;

double From() { return testing::Day(2000, 1, 1) - 0.5; }
double To() { return testing::Day(2030, 12, 31) + 0.5; }

double Longitude(Body body, double t) {
    const int planet = astro::PlanetIndex(body);
    // Pluto's and the Moon's codes are their own.
    const int code = planet == 9 ? 9 : body == Body::Moon ? platform::kMoonCode : astro::EphemerisBodyCode(planet);
    return platform::ZodiacLongitude(code, t, false, platform::Zodiac::Tropical).longitude;
}

// b - a in (-180, 180].
double Arc(double a, double b) {
    double d = std::fmod(b - a, 360.0);
    if (d <= -180) d += 360;
    if (d > 180) d -= 360;
    return d;
}

struct WalkedStation {
    double instantUt;  // the ten-minute step of the extreme
    double longitude;
    bool retrograde;
};

// Where the daily motion changes sign, the extreme among the ten-minute steps of the
// two days around it.
std::vector<WalkedStation> WalkStations(Body body) {
    std::vector<WalkedStation> found;
    double today = Longitude(body, From());
    double previousMotion = Arc(Longitude(body, From() - 1), today);
    for (double day = From(); day < To(); day += 1) {
        const double tomorrow = Longitude(body, day + 1);
        const double motion = Arc(today, tomorrow);
        today = tomorrow;
        if ((motion < 0) != (previousMotion < 0)) {
            const bool retrograde = motion < 0;  // turning back: a maximum of the longitude
            const double reference = Longitude(body, day);  // `today` has moved on
            WalkedStation best{day, reference, retrograde};
            double bestTravel = 0;
            for (double t = day - 1; t <= day + 1; t += kTenMinutes) {
                const double travel = Arc(reference, Longitude(body, t));
                if (retrograde ? travel > bestTravel : travel < bestTravel) {
                    bestTravel = travel;
                    best = {t, Longitude(body, t), retrograde};
                }
            }
            found.push_back(best);
        }
        previousMotion = motion;
    }
    return found;
}

struct WalkedIngress {
    double before;  // the last ten-minute step outside the sign
    int sign;
    bool retrograde;
};

std::vector<WalkedIngress> WalkIngresses(Body body, double from = From(), double to = To()) {
    std::vector<WalkedIngress> found;
    const auto sign = [](double longitude) { return static_cast<int>(longitude / 30.0); };
    double today = Longitude(body, from);
    for (double day = from; day < to; day += 1) {
        const double tomorrow = Longitude(body, day + 1);
        if (sign(today) != sign(tomorrow)) {
            double a = today;
            for (int k = 0; k < 144; ++k) {
                const double t = day + k * kTenMinutes;
                const double b = Longitude(body, t + kTenMinutes);
                if (sign(a) != sign(b)) found.push_back({t, sign(b), Arc(a, b) < 0});
                a = b;
            }
        }
        today = tomorrow;
    }
    return found;
}

// A station's minute is ill-conditioned: near it the longitude barely moves. So the found
// minute is checked by its longitude, which must be as extreme as the walk's best to
// within 0.05", and by its time, which must lie within the span in which the longitude
// stays within 1" of the extreme (a few hours for Mercury, days for Pluto).
TEST(CyclesWalk, EveryStationOf2000To2030MatchesATenMinuteWalk) {
    for (const Body body : {Body::Mercury, Body::Venus, Body::Mars, Body::Jupiter, Body::Saturn, Body::Uranus,
                            Body::Neptune, Body::Pluto}) {
        const Track track{.body = body};
        const std::vector<Station> stations = FindStations(track, From(), To());
        const std::vector<WalkedStation> walked = WalkStations(body);
        ASSERT_EQ(stations.size(), walked.size()) << astro::PlanetIndex(body);
        for (std::size_t i = 0; i < stations.size(); ++i) {
            const WalkedStation& w = walked[i];
            EXPECT_EQ(stations[i].kind == StationKind::Retrograde, w.retrograde) << astro::PlanetIndex(body) << " " << i;
            const double beyond = Arc(w.longitude, stations[i].longitude) * 3600.0 * (w.retrograde ? 1 : -1);
            EXPECT_GE(beyond, -0.05) << astro::PlanetIndex(body) << " " << i;
            // The span within 1" of the extreme, walked outwards from the walk's step.
            const auto within = [&](double t) { return std::fabs(Arc(w.longitude, Longitude(body, t))) * 3600.0 <= 1.0; };
            double early = w.instantUt;
            double late = w.instantUt;
            while (within(early - kTenMinutes)) early -= kTenMinutes;
            while (within(late + kTenMinutes)) late += kTenMinutes;
            EXPECT_GE(stations[i].instantUt, early - kTenMinutes) << astro::PlanetIndex(body) << " " << i;
            EXPECT_LE(stations[i].instantUt, late + kTenMinutes) << astro::PlanetIndex(body) << " " << i;
        }
    }
}

// An ingress is well conditioned: its minute lies within the walk's ten-minute step.
TEST(CyclesWalk, EveryIngressOf2000To2030MatchesATenMinuteWalk) {
    for (const Body body : {Body::Sun, Body::Mercury, Body::Venus, Body::Mars, Body::Jupiter, Body::Saturn,
                            Body::Uranus, Body::Neptune, Body::Pluto}) {
        const std::vector<Ingress> ingresses = FindIngresses({.body = body}, From(), To());
        const std::vector<WalkedIngress> walked = WalkIngresses(body);
        ASSERT_EQ(ingresses.size(), walked.size()) << astro::PlanetIndex(body);
        for (std::size_t i = 0; i < ingresses.size(); ++i) {
            EXPECT_EQ(ingresses[i].sign, walked[i].sign) << astro::PlanetIndex(body) << " " << i;
            EXPECT_EQ(ingresses[i].retrograde, walked[i].retrograde) << astro::PlanetIndex(body) << " " << i;
            EXPECT_GT(ingresses[i].instantUt, walked[i].before) << astro::PlanetIndex(body) << " " << i;
            EXPECT_LE(ingresses[i].instantUt, walked[i].before + kTenMinutes + 1e-9) << astro::PlanetIndex(body) << " " << i;
        }
    }
}

// The Moon crosses a sign in two or three days, so two years hold some 330 ingresses.
TEST(CyclesWalk, MoonIngressesOf2024And2025MatchATenMinuteWalk) {
    const double from = testing::Day(2024, 1, 1) - 0.5;
    const double to = testing::Day(2025, 12, 31) + 0.5;
    const std::vector<Ingress> ingresses = FindIngresses({.body = Body::Moon}, from, to);
    const std::vector<WalkedIngress> walked = WalkIngresses(Body::Moon, from, to);
    ASSERT_EQ(ingresses.size(), walked.size());
    EXPECT_GT(ingresses.size(), 320u);
    for (std::size_t i = 0; i < ingresses.size(); ++i) {
        EXPECT_EQ(ingresses[i].sign, walked[i].sign) << i;
        EXPECT_FALSE(ingresses[i].retrograde) << i;
        EXPECT_GT(ingresses[i].instantUt, walked[i].before) << i;
        EXPECT_LE(ingresses[i].instantUt, walked[i].before + kTenMinutes + 1e-9) << i;
    }
}

}  // namespace
}  // namespace kovo::cycles
