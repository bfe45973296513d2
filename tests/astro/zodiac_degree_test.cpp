// The ways a fixed degree of the zodiac is written, and the text it is shown as.
#include <gtest/gtest.h>

#include "astro/zodiac_degree.h"

using kovo::astro::ParseZodiacDegree;
using kovo::astro::ZodiacDegreeText;

TEST(ZodiacDegree, PlainLongitudesAndDegreesWithinASignAreRead) {
    EXPECT_DOUBLE_EQ(*ParseZodiacDegree("45.5").degrees, 45.5);
    EXPECT_DOUBLE_EQ(*ParseZodiacDegree("0").degrees, 0.0);
    EXPECT_DOUBLE_EQ(*ParseZodiacDegree("15°30' Taurus").degrees, 45.5);
    EXPECT_DOUBLE_EQ(*ParseZodiacDegree("15 Taurus 30").degrees, 45.5);
    EXPECT_DOUBLE_EQ(*ParseZodiacDegree("15 tau 30").degrees, 45.5);
    EXPECT_DOUBLE_EQ(*ParseZodiacDegree("0 Aries").degrees, 0.0);
    EXPECT_NEAR(*ParseZodiacDegree("29°59′30″ Pisces").degrees, 359.0 + 59.5 / 60.0, 1e-12);
}

TEST(ZodiacDegree, TextOutsideTheCircleOrNotADegreeIsRefusedWithTheReason) {
    for (const char* bad : {"", "360", "-1", "abc", "30 Taurus", "15 Taurus 60", "15 Gemini Taurus", "nan", "1e999",
                            "15 Taurus 30 10 5", "15°30'", "29°59'60\" Pisces"}) {
        const auto parsed = ParseZodiacDegree(bad);
        EXPECT_FALSE(parsed.degrees) << bad;
        EXPECT_FALSE(parsed.problem.empty()) << bad;
    }
}

TEST(ZodiacDegree, TextRoundsToTheMinuteOfArcWithinTheSign) {
    EXPECT_EQ(ZodiacDegreeText(45.5), "15°30' Taurus");
    EXPECT_EQ(ZodiacDegreeText(27.2222), "27°13' Aries");
    EXPECT_EQ(ZodiacDegreeText(359.9999), "0°0' Aries");  // rounds up into the next turn
    EXPECT_EQ(ZodiacDegreeText(ParseZodiacDegree(ZodiacDegreeText(123.4)).degrees.value()), "3°24' Leo");
}
