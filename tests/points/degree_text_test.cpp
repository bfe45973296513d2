// Degrees as the user types them: whole-circle decimals and sign notation.
#include <gtest/gtest.h>

#include "points/degree_text.h"

namespace {

using kovo::points::ParseDegreeText;

double Degree(const char* text) {
    const auto parsed = ParseDegreeText(text);
    EXPECT_TRUE(std::holds_alternative<double>(parsed)) << text << ": " << std::get<std::string>(parsed);
    return std::holds_alternative<double>(parsed) ? std::get<double>(parsed) : -1;
}

std::string Problem(const char* text) {
    const auto parsed = ParseDegreeText(text);
    EXPECT_TRUE(std::holds_alternative<std::string>(parsed)) << text << " gave " << std::get<double>(parsed);
    return std::holds_alternative<std::string>(parsed) ? std::get<std::string>(parsed) : "";
}

TEST(DegreeText, EveryWrittenFormOfOnePointGivesItsLongitude) {
    for (const char* text : {"45.5", " 45.5 ", "45.5°", "15°30' Taurus", "15 Taurus 30", "15°30'Taurus", "15 30 taurus",
                             "15.5 Tau", "15° TAURUS 30'", "15°30′ Taurus", "15º30' taur"})
        EXPECT_DOUBLE_EQ(Degree(text), 45.5) << text;
    EXPECT_DOUBLE_EQ(Degree("0 Aries"), 0);
    EXPECT_DOUBLE_EQ(Degree("29°59'59\" Pisces"), 359 + 59.0 / 60 + 59.0 / 3600);
    EXPECT_DOUBLE_EQ(Degree("29 Pisces 59 30″"), 359.99166666666667);
    EXPECT_DOUBLE_EQ(Degree("0"), 0);
    EXPECT_DOUBLE_EQ(Degree("359.999"), 359.999);
}

TEST(DegreeText, TextThatIsNoDegreeSaysHowToWriteOne) {
    for (const char* text : {"", "   ", "abc", "-5", "45,5", "Taurus 15", "15 Taurus Gemini", "15° 30° Taurus",
                             "15.5 30 Taurus", "1 2 3 4 Leo", "45.5'", "15 30"})
        EXPECT_NE(Problem(text).find("write it as 45.5"), std::string::npos) << text;
    EXPECT_NE(Problem("15 Taurusx").find("\"Taurusx\" is no sign"), std::string::npos);
    EXPECT_NE(Problem("12 Ta").find("\"Ta\" is no sign"), std::string::npos);
    EXPECT_NE(Problem("360").find("below 360"), std::string::npos);
    EXPECT_NE(Problem("30 Taurus").find("degrees within a sign must be below 30"), std::string::npos);
    EXPECT_NE(Problem("15 Taurus 60").find("minutes must be below 60"), std::string::npos);
}

}  // namespace
