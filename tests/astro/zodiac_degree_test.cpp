// A longitude as the reports write it: degrees and minutes within the sign.
#include <gtest/gtest.h>

#include "astro/zodiac_degree.h"

using kovo::astro::ZodiacDegreeText;

TEST(ZodiacDegree, TextRoundsToTheMinuteOfArcWithinTheSign) {
    EXPECT_EQ(ZodiacDegreeText(45.5), "15°30' Taurus");
    EXPECT_EQ(ZodiacDegreeText(27.2222), "27°13' Aries");
    EXPECT_EQ(ZodiacDegreeText(359.9999), "0°0' Aries");  // rounds up into the next turn
    EXPECT_EQ(ZodiacDegreeText(123.4), "3°24' Leo");
    EXPECT_EQ(ZodiacDegreeText(29.995), "0°0' Taurus");  // less than half a minute short of the sign rounds into it
}
