// Stations, retrograde cycles and sign ingresses against a walk of the ephemeris minute by
// minute near each event, and against published instants that carry over as facts.
#include <gtest/gtest.h>

#include <cmath>

#include "cycles/ingresses.h"
#include "cycles/retrograde_cycles.h"
#include "cycles/stations.h"
#include "test_support.h"

namespace kovo::cycles {
namespace {

using astro::Body;

double Ut(int year, int month, int day, int hour = 0, int minute = 0) {
    return testing::Day(year, month, day) - 0.5 + (hour * 60 + minute) / 1440.0;
}

double Minutes(double a, double b) { return std::fabs(a - b) * 1440.0; }

// The minute of the extreme longitude among every minute within three hours of `around`.
double WalkedExtreme(const Track& track, double around, bool maximum) {
    double best = around;
    double bestTravel = 0;
    const double reference = PositionAt(track, around).longitude;
    for (int k = -180; k <= 180; ++k) {
        const double t = around + k * kMinute;
        const double travel = Travel(reference, PositionAt(track, t).longitude);
        if ((maximum && travel > bestTravel) || (!maximum && travel < bestTravel)) {
            bestTravel = travel;
            best = t;
        }
    }
    return best;
}

TEST(Stations, MercuryOf2024MatchAMinuteWalkAndThePublishedInstant) {
    const Track mercury{.body = Body::Mercury};
    const std::vector<Station> stations = FindStations(mercury, Ut(2024, 1, 1), Ut(2025, 1, 1));
    // The station direct of 2024-01-02 ends the spell begun in December 2023; three more follow.
    ASSERT_EQ(stations.size(), 7u);
    EXPECT_LE(Minutes(stations[0].instantUt, Ut(2024, 1, 2, 3, 8)), 2.0);
    for (std::size_t i = 0; i < stations.size(); ++i) {
        const bool retrograde = stations[i].kind == StationKind::Retrograde;
        EXPECT_EQ(retrograde, i % 2 == 1) << i;
        EXPECT_LE(Minutes(stations[i].instantUt, WalkedExtreme(mercury, stations[i].instantUt, retrograde)), 2.0) << i;
    }
    // Station retrograde on 2024-04-01 near 22:14 UT at 27°13' Aries.
    EXPECT_LE(Minutes(stations[1].instantUt, Ut(2024, 4, 1, 22, 14)), 2.0);
    EXPECT_NEAR(stations[1].longitude, 27 + 13 / 60.0, 1 / 60.0);
}

TEST(Stations, HeliocentricBodiesAndTheSunNeverStation) {
    EXPECT_TRUE(FindStations({.body = Body::Mars, .heliocentric = true}, Ut(2020, 1, 1), Ut(2030, 1, 1)).empty());
    EXPECT_TRUE(FindStations({.body = Body::Sun}, Ut(2020, 1, 1), Ut(2030, 1, 1)).empty());
}

TEST(RetrogradeCycles, ShadowsBracketTheStationsAtTheirLongitudes) {
    const Track mercury{.body = Body::Mercury};
    const std::vector<RetrogradeCycle> cycles = FindRetrogradeCycles(mercury, Ut(2024, 2, 1), Ut(2025, 2, 28));
    ASSERT_EQ(cycles.size(), 3u);  // April, August and November-December 2024
    for (const RetrogradeCycle& c : cycles) {
        ASSERT_TRUE(c.preShadowStart && c.stationRetrograde && c.stationDirect && c.postShadowEnd);
        EXPECT_LT(c.preShadowStart->instantUt, c.stationRetrograde->instantUt);
        EXPECT_LT(c.stationDirect->instantUt, c.postShadowEnd->instantUt);
        EXPECT_NEAR(Travel(c.stationDirect->longitude, c.preShadowStart->longitude), 0, 0.002);
        EXPECT_NEAR(Travel(c.stationRetrograde->longitude, c.postShadowEnd->longitude), 0, 0.002);
        EXPECT_GT(*c.RetrogradeDays(), 19);
        EXPECT_LT(*c.RetrogradeDays(), 25);
        EXPECT_FALSE(c.cutAtStart || c.cutAtEnd);
    }
    // A range that begins inside the first cycle's retrograde spell cuts its start.
    const std::vector<RetrogradeCycle> cut = FindRetrogradeCycles(mercury, Ut(2024, 4, 10), Ut(2024, 6, 1));
    ASSERT_EQ(cut.size(), 1u);
    EXPECT_TRUE(cut[0].cutAtStart);
    EXPECT_FALSE(cut[0].preShadowStart || cut[0].stationRetrograde);
    EXPECT_TRUE(cut[0].stationDirect && cut[0].postShadowEnd);
}

// The first minute inside the sign, by a walk of every minute from two hours before.
double WalkedIngress(const Track& track, double found, int sign) {
    for (int k = -120; k <= 120; ++k) {
        const double t = found + k * kMinute;
        if (static_cast<int>(PositionAt(track, t).longitude / 30.0) == sign) return t;
    }
    return 0;
}

TEST(Ingresses, TheSunEntersAriesAtTheMarchEquinoxOf2024) {
    const Track sun{.body = Body::Sun};
    const std::vector<Ingress> found = FindIngresses(sun, Ut(2024, 1, 1), Ut(2025, 1, 1));
    ASSERT_EQ(found.size(), 12u);
    const Ingress& aries = found[2];  // after Aquarius (January) and Pisces (February)
    EXPECT_EQ(aries.sign, 0);
    EXPECT_LE(Minutes(aries.instantUt, Ut(2024, 3, 20, 3, 6)), 1.0);
    for (const Ingress& i : found) {
        EXPECT_FALSE(i.retrograde);
        EXPECT_EQ(i.instantUt, WalkedIngress(sun, i.instantUt, i.sign));
    }
}

TEST(Ingresses, PlutoCrossesBetweenCapricornAndAquariusFiveTimes) {
    const Track pluto{.body = Body::Pluto};
    const std::vector<Ingress> found = FindIngresses(pluto, Ut(2023, 1, 1), Ut(2025, 1, 1));
    ASSERT_EQ(found.size(), 5u);
    const int signs[] = {10, 9, 10, 9, 10};
    const bool backwards[] = {false, true, false, true, false};
    const double dates[] = {Ut(2023, 3, 23), Ut(2023, 6, 11), Ut(2024, 1, 21), Ut(2024, 9, 1), Ut(2024, 11, 19)};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(found[i].sign, signs[i]) << i;
        EXPECT_EQ(found[i].retrograde, backwards[i]) << i;
        EXPECT_LT(std::fabs(found[i].instantUt - dates[i]), 1.0) << i;
        EXPECT_EQ(found[i].instantUt, WalkedIngress(pluto, found[i].instantUt, found[i].sign)) << i;
    }
}

TEST(Ingresses, SiderealSignsLagTheTropicalOnesByTheAyanamsa) {
    const Track tropical{.body = Body::Sun};
    const Track lahiri{.body = Body::Sun, .zodiac = platform::Zodiac::Lahiri};
    const std::vector<Ingress> a = FindIngresses(tropical, Ut(2024, 1, 1), Ut(2025, 1, 1));
    const std::vector<Ingress> b = FindIngresses(lahiri, Ut(2024, 1, 1), Ut(2025, 1, 1));
    ASSERT_EQ(a.size(), b.size());
    // Lahiri's ayanamsa is about 24°12' in 2024: the Sun reaches sidereal Aries about 24 days later.
    const auto aries = [](const std::vector<Ingress>& list) {
        for (const Ingress& i : list)
            if (i.sign == 0) return i.instantUt;
        return 0.0;
    };
    EXPECT_NEAR(aries(b) - aries(a), 24.5, 1.0);
}

}  // namespace
}  // namespace kovo::cycles
