#include <gtest/gtest.h>

#include "astro/catalogue.h"
#include "test_support.h"
#include "util/text.h"

using namespace kovo::astro;

TEST(Catalogue, PlanetNamesFollowTheCentricityOnlyForIndexOne) {
    kovo::testing::InitModelOnce();
    EXPECT_EQ(PlanetName(1, false, false), "Sun");
    EXPECT_EQ(PlanetName(1, true, false), "Earth");
    EXPECT_EQ(PlanetName(1, true, true), "Ea");
    EXPECT_EQ(PlanetName(1, false, true), "Su");
    for (int p = 2; p <= 9; ++p) {
        EXPECT_EQ(PlanetName(p, false, false), PlanetName(p, true, false));
        EXPECT_EQ(PlanetName(p, false, true), PlanetName(p, true, true));
    }
    EXPECT_EQ(PlanetName(9, false, false), "Pluto");
    EXPECT_EQ(PlanetName(9, true, true), "Pl");
    EXPECT_EQ(PlanetName(0, false, false), "");
    EXPECT_EQ(PlanetName(10, false, false), "");
}

TEST(Catalogue, AspectTables) {
    kovo::testing::InitModelOnce();
    EXPECT_EQ(AspectAngle[0], 0.0);
    EXPECT_EQ(AspectAngle[1], 0.0);
    EXPECT_EQ(AspectAngle[2], FullCircle / 2);
    EXPECT_EQ(AspectAngle[3], FullCircle / 4);
    EXPECT_NEAR(AspectAngle[4] / FullCircle * 360, 120, 1e-12);
    EXPECT_NEAR(AspectAngle[7] / FullCircle * 360, 150, 1e-12);
    const char* lower[] = {"conjunction", "opposition", "square", "trine", "sextile", "semisextile", "quincunx"};
    for (int a = 1; a <= 7; ++a) EXPECT_EQ(kovo::util::ToLower(AspectName[static_cast<std::size_t>(a)]), lower[a - 1]);
    EXPECT_EQ(AspectAbbreviation[6], "Ssx");
    EXPECT_FALSE(DataFolder().empty());
    EXPECT_TRUE(DataFolder().back() == '/' || DataFolder().back() == '\\');
}
