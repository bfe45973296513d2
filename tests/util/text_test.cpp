#include <gtest/gtest.h>

#include "util/rounding.h"
#include "util/text.h"
#include "util/utf8.h"

using namespace kovo::util;

TEST(CleanIntegerText, KeepsDigitsAndOnlyAnAllowedLeadingSign) {
    EXPECT_EQ(CleanIntegerText("20-1a1", false, false), "2011");
    EXPECT_EQ(CleanIntegerText("3x1", false, false), "31");
    EXPECT_EQ(CleanIntegerText("-5", false, false), "5");
    EXPECT_EQ(CleanIntegerText("-5", true, false), "-5");
    EXPECT_EQ(CleanIntegerText("+5-", false, true), "+5");
    EXPECT_EQ(CleanIntegerText("abc", false, false), "");
}

TEST(StripLeadingChars, RemovesOnlyTheLeadingRun) {
    EXPECT_EQ(StripLeadingChars("02011", "0"), "2011");
    EXPECT_EQ(StripLeadingChars("000", "0"), "");
    EXPECT_EQ(StripLeadingChars("", "0"), "");
    EXPECT_EQ(StripLeadingChars("0100", ""), "0100");
    EXPECT_EQ(StripLeadingChars(" 0 1", " 0"), "1");
}

TEST(NumericPrefix, ReadsTheLeadingNumberIgnoringBlanks) {
    EXPECT_DOUBLE_EQ(NumericPrefix("12474.52"), 12474.52);
    EXPECT_DOUBLE_EQ(NumericPrefix(" 1 2.5x7"), 12.5);
    EXPECT_DOUBLE_EQ(NumericPrefix("-3.5"), -3.5);
    EXPECT_DOUBLE_EQ(NumericPrefix("1.2.3"), 1.2);
    EXPECT_DOUBLE_EQ(NumericPrefix("abc"), 0.0);
    EXPECT_DOUBLE_EQ(NumericPrefix(""), 0.0);
}

TEST(ClampedWholeNumber, RoundsHalfToEvenAndNeverWraps) {
    EXPECT_EQ(ClampedWholeNumber("2.5"), 2);
    EXPECT_EQ(ClampedWholeNumber("3.5"), 4);
    EXPECT_EQ(ClampedWholeNumber("123456789012345678901234567890"), 2147483647);
    EXPECT_EQ(ClampedWholeNumber("-123456789012345678901234567890"), -2147483647 - 1);
    EXPECT_EQ(ClampedWholeNumber("x"), 0);
}

TEST(Rounding, HalvesGoToEvenAndCentsAreCorrectlyRounded) {
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(1.5), 2);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_DOUBLE_EQ(RoundCents(0.004 + 0.004), 0.01);
    EXPECT_DOUBLE_EQ(RoundCents(0.004), 0.0);
    // 2.675 is stored a little below the half, so it goes down.
    EXPECT_DOUBLE_EQ(RoundCents(2.675), 2.67);
    EXPECT_DOUBLE_EQ(RoundDecimalsHalfEven(1.2345675, 6), 1.234568);
}

TEST(Utf8, CountsAndPadsCharactersNotBytes) {
    EXPECT_EQ(CharCount("10°"), 3u);
    EXPECT_EQ(PadChars("Start 10°", 12), "Start 10°   ");
    EXPECT_EQ(CharCount(PadChars("Start 10°", 12)), 12u);
    EXPECT_EQ(PadChars("2011-03-15*r14", 12), "2011-03-15*r");
    EXPECT_EQ(LeftChars("°°°°", 2), "°°");
}

TEST(Utf8, SequencesAreCheckedAsTheStandardDefinesThem) {
    EXPECT_EQ(Utf8SequenceLength("a", 0), 1u);
    EXPECT_EQ(Utf8SequenceLength("\xC2\xB0", 0), 2u);
    EXPECT_EQ(Utf8SequenceLength("\xEF\xBF\xBD", 0), 3u);
    EXPECT_EQ(Utf8SequenceLength("\xF4\x8F\xBF\xBF", 0), 4u) << "U+10FFFF";
    for (const char* bad : {"\x80", "\xC1\xBF", "\xE0\x9F\xBF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xF5\x80\x80\x80",
                            "\xE2\x82", "\xC2"})
        EXPECT_EQ(Utf8SequenceLength(bad, 0), 0u) << bad;
    EXPECT_EQ(ValidUtf8("10\xC2\xB0 ok"), "10\xC2\xB0 ok");
    EXPECT_EQ(ValidUtf8("a\xFF" "b"), "a\xEF\xBF\xBD" "b");
}

TEST(Utf8, PrintableNamesCannotBreakAMessageLine) {
    EXPECT_EQ(PrintableName("/tmp/Börse 2024.csv"), "/tmp/Börse 2024.csv");
    EXPECT_EQ(PrintableName("a\nb\rc\x1B[2J\x7F"), "a\\x0Ab\\x0Dc\\x1B[2J\\x7F");
    EXPECT_EQ(PrintableName("caf\xE9\\x41"), "caf\\xE9\\\\x41") << "a real backslash stays told apart";
}

TEST(TrimHelpers, BlanksAndTrailingControlCharacters) {
    EXPECT_EQ(TrimBlanks("  a b  "), "a b");
    EXPECT_EQ(TrimBlanks("\ta\t"), "\ta\t");
    EXPECT_EQ(TrimTrailingControl("abc\r\n\t"), "abc");
    EXPECT_EQ(TrimTrailingControl("\r"), "");
}
