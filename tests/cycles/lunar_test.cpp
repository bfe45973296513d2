// The Moon's phases and the eclipses: published instants that carry over as facts, and
// the phases of 2000–2030 against a walk of the elongation every ten minutes.
#include <gtest/gtest.h>

#include <cmath>

#include "cycles/eclipses.h"
#include "cycles/lunar_phases.h"
#include "test_support.h"

namespace kovo::cycles {
namespace {

double Ut(int year, int month, int day, int hour = 0, int minute = 0) {
    return testing::Day(year, month, day) - 0.5 + (hour * 60 + minute) / 1440.0;
}

double Minutes(double a, double b) { return std::fabs(a - b) * 1440.0; }

TEST(LunarPhases, PublishedInstantsOf2024) {
    const std::vector<LunarPhase> april = FindLunarPhases(Ut(2024, 4, 1), Ut(2024, 5, 1));
    ASSERT_EQ(april.size(), 4u);
    EXPECT_EQ(april[1].kind, PhaseKind::New);
    EXPECT_LE(Minutes(april[1].instantUt, Ut(2024, 4, 8, 18, 21)), 1.0);
    // New moon of 2024-04-08 at 19°24' Aries.
    EXPECT_NEAR(april[1].moonLongitude, 19 + 24 / 60.0, 2 / 60.0);
    EXPECT_EQ(april[2].kind, PhaseKind::FirstQuarter);
    EXPECT_LE(Minutes(april[2].instantUt, Ut(2024, 4, 15, 19, 13)), 1.0);
    EXPECT_EQ(april[3].kind, PhaseKind::Full);
    EXPECT_LE(Minutes(april[3].instantUt, Ut(2024, 4, 23, 23, 49)), 1.0);
}

// The walk looks every six hours for a change of quarter, then every ten minutes across
// those six hours for the step in which it happened.
TEST(LunarPhases, EveryPhaseOf2000To2030MatchesATenMinuteWalk) {
    const double from = Ut(2000, 1, 1);
    const double to = Ut(2031, 1, 1);
    const std::vector<LunarPhase> phases = FindLunarPhases(from, to);
    constexpr double kStep = 10.0 / 1440.0;
    const auto quarter = [](double t) { return static_cast<int>(Elongation(t) / 90.0); };
    std::size_t i = 0;
    for (double coarse = from; coarse < to; coarse += 0.25) {
        if (quarter(coarse) == quarter(coarse + 0.25)) continue;
        for (int k = 0; k < 36; ++k) {
            const double t = coarse + k * kStep;
            if (quarter(t) == quarter(t + kStep)) continue;
            ASSERT_LT(i, phases.size());
            EXPECT_EQ(static_cast<int>(phases[i].kind), quarter(t + kStep)) << i;
            // Rounded to the nearest minute: within the step, or half a minute beyond it.
            EXPECT_GE(phases[i].instantUt, t - 0.5 / 1440.0) << i;
            EXPECT_LE(phases[i].instantUt, t + kStep + 0.5 / 1440.0) << i;
            ++i;
        }
    }
    EXPECT_EQ(i, phases.size());
    EXPECT_GT(phases.size(), 1500u);  // 12.4 lunations a year, four phases each
}

TEST(Eclipses, PublishedInstantsAndTypes) {
    const std::vector<Eclipse> of2024 = FindEclipses(Ut(2024, 1, 1), Ut(2025, 1, 1));
    ASSERT_EQ(of2024.size(), 4u);
    // 2024-03-25 penumbral lunar, 2024-04-08 total solar, 2024-09-18 partial lunar,
    // 2024-10-02 annular solar.
    EXPECT_FALSE(of2024[0].solar);
    EXPECT_EQ(of2024[0].type, platform::EclipseType::Penumbral);
    EXPECT_TRUE(of2024[1].solar);
    EXPECT_EQ(of2024[1].type, platform::EclipseType::Total);
    EXPECT_LE(Minutes(of2024[1].greatestUt, Ut(2024, 4, 8, 18, 17)), 1.0);
    EXPECT_EQ(of2024[2].type, platform::EclipseType::Partial);
    EXPECT_EQ(of2024[3].type, platform::EclipseType::Annular);

    const std::vector<Eclipse> america = FindEclipses(Ut(2017, 8, 15), Ut(2017, 9, 1));
    ASSERT_EQ(america.size(), 1u);
    EXPECT_EQ(america[0].type, platform::EclipseType::Total);
    EXPECT_LE(Minutes(america[0].greatestUt, Ut(2017, 8, 21, 18, 26)), 1.0);
    EXPECT_NEAR(america[0].longitude, 120 + 28 + 53 / 60.0, 0.1);  // 28°53' Leo

    const std::vector<Eclipse> lunar = FindEclipses(Ut(2022, 11, 1), Ut(2022, 12, 1));
    ASSERT_EQ(lunar.size(), 1u);
    EXPECT_FALSE(lunar[0].solar);
    EXPECT_EQ(lunar[0].type, platform::EclipseType::Total);
    EXPECT_LE(Minutes(lunar[0].greatestUt, Ut(2022, 11, 8, 10, 59)), 1.0);
}

// Every solar eclipse falls at a new moon and every lunar one at a full moon (greatest
// eclipse within hours of the phase); every year has four to seven, two of them solar
// at the least.
TEST(Eclipses, EveryEclipseOf2000To2030FallsAtItsPhase) {
    const double from = Ut(2000, 1, 1);
    const double to = Ut(2031, 1, 1);
    const std::vector<LunarPhase> phases = FindLunarPhases(from - 2, to + 2);
    const std::vector<Eclipse> eclipses = FindEclipses(from, to);
    for (const Eclipse& e : eclipses) {
        double nearest = 1e9;
        for (const LunarPhase& p : phases)
            if (p.kind == (e.solar ? PhaseKind::New : PhaseKind::Full))
                nearest = std::min(nearest, std::fabs(p.instantUt - e.greatestUt));
        EXPECT_LT(nearest, 0.25) << e.greatestUt;
    }
    for (int year = 2000; year <= 2030; ++year) {
        int all = 0;
        int solar = 0;
        for (const Eclipse& e : eclipses)
            if (e.greatestUt >= Ut(year, 1, 1) && e.greatestUt < Ut(year + 1, 1, 1)) {
                ++all;
                solar += e.solar;
            }
        EXPECT_GE(all, 4) << year;
        EXPECT_LE(all, 7) << year;
        EXPECT_GE(solar, 2) << year;
    }
}

}  // namespace
}  // namespace kovo::cycles
