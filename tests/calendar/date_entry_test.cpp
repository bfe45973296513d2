#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "calendar/date_entry.h"
#include "recording_sink.h"
#include "test_support.h"

using namespace kovo::calendar;
using kovo::testing::RecordingSink;
using kovo::util::MessageIcon;

namespace {

const std::string kCaption = "Mercury and Jupiter";

using kovo::testing::Day;

class DateEntry : public ::testing::Test {
protected:
    void SetUp() override {
        SetDate(0, "2011", "1", "1");
        SetDate(1, "2011", "12", "31");
        RefreshDateLabel(model, 0);
        RefreshDateLabel(model, 1);
    }
    void SetDate(int index, std::string year, std::string month, std::string day) {
        model.txbYear[static_cast<std::size_t>(index)] = std::move(year);
        model.txbMonth[static_cast<std::size_t>(index)] = std::move(month);
        model.txbDay[static_cast<std::size_t>(index)] = std::move(day);
    }
    DateEntryModel model;
    RecordingSink sink;
};

}  // namespace

TEST_F(DateEntry, StartUpStateAndCaption) {
    EXPECT_EQ(model.lblDate[0], "January 1, 2011 CE");
    EXPECT_EQ(model.lblDate[1], "December 31, 2011 CE");
    EXPECT_EQ(model.DayNumbers[0], Day(2011, 1, 1));
    EXPECT_EQ(model.DayNumbers[1], Day(2011, 12, 31));
    EXPECT_EQ(model.lblConstructTransitTables, "Construct transit tables for the period 2011-01-01 to 2011-12-31 for:");
    EXPECT_EQ(model.record.calendar, 0);  // the window's record is never marked here
}

TEST_F(DateEntry, YearLosingFocus) {
    model.txbYear[0] = "02012";
    YearLostFocus(model, 0, sink);
    EXPECT_EQ(model.txbYear[0], "2012");
    EXPECT_EQ(model.lblDate[0], "January 1, 2012 CE");
    EXPECT_EQ(model.DayNumbers[0], Day(2012, 1, 1));
    EXPECT_EQ(model.lblConstructTransitTables, "Construct transit tables for the period 2012-01-01 to 2011-12-31 for:");

    // A year of zeros empties the field and the label and keeps the day number.
    for (const char* zeros : {"0", "000"}) {
        model.txbYear[0] = zeros;
        YearLostFocus(model, 0, sink);
        EXPECT_EQ(model.txbYear[0], "");
        EXPECT_EQ(model.lblDate[0], "");
        EXPECT_EQ(model.DayNumbers[0], Day(2012, 1, 1));
    }
    EXPECT_TRUE(sink.messages.empty());
}

TEST_F(DateEntry, NegativeYearIsRefusedAndLaterCleaned) {
    model.txbYear[1] = "-5";
    YearLostFocus(model, 1, sink);
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].text, "Year number must be positive.");
    EXPECT_EQ(sink.messages[0].title, "Invalid year");
    EXPECT_EQ(sink.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(model.txbYear[1], "-5");
    EXPECT_EQ(model.lblDate[1], "December 31, 2011 CE");
    EXPECT_EQ(model.DayNumbers[1], Day(2011, 12, 31));

    // "-05" keeps its zero: only leading zeros go.
    model.txbYear[1] = "00-05";
    YearLostFocus(model, 1, sink);
    EXPECT_EQ(model.txbYear[1], "-05");

    EXPECT_TRUE(CheckDateFieldsPresent(model, 1, kCaption, sink));
    EXPECT_EQ(model.txbYear[1], "05");
}

TEST_F(DateEntry, FieldsAreCleanedToTheirDigits) {
    SetDate(1, "20-1a1", "1x2", "3x1");
    RefreshDateLabel(model, 1);
    EXPECT_EQ(model.txbYear[1], "2011");
    EXPECT_EQ(model.txbMonth[1], "12");
    EXPECT_EQ(model.txbDay[1], "31");
    EXPECT_EQ(model.lblDate[1], "December 31, 2011 CE");

    // Text without digits empties the field and the label; the day number stays.
    SetDate(1, "2013", "June", "1");
    RefreshDateLabel(model, 1);
    EXPECT_EQ(model.txbMonth[1], "");
    EXPECT_EQ(model.lblDate[1], "");
    EXPECT_EQ(model.DayNumbers[1], Day(2011, 12, 31));
}

TEST_F(DateEntry, InvalidDateLeavesCaptionAlone) {
    const std::string caption = model.lblConstructTransitTables;
    SetDate(1, "2011", "2", "29");
    RefreshDateLabel(model, 1);
    EXPECT_EQ(model.lblDate[1], "invalid date");
    EXPECT_EQ(model.lblConstructTransitTables, caption);
    DateRecord r;
    r.year = 2011;
    r.month = 2;
    r.day = 29;
    EXPECT_EQ(model.DayNumbers[1], DayNumberFromDate(r));  // whatever the conversion gave

    SetDate(1, "2012", "2", "29");
    RefreshDateLabel(model, 1);
    EXPECT_EQ(model.lblDate[1], "February 29, 2012 CE");
    EXPECT_EQ(model.lblConstructTransitTables, "Construct transit tables for the period 2011-01-01 to 2012-02-29 for:");
}

TEST_F(DateEntry, CaptionShowsFieldsAsTheyStand) {
    SetDate(0, "12345", "7", "4");
    SetDate(1, "-5", "13", "40");
    RefreshPeriodCaption(model);
    EXPECT_EQ(model.lblConstructTransitTables, "Construct transit tables for the period 12345-07-04 to -5-13-40 for:");
}

TEST_F(DateEntry, MissingFieldsAreNamed) {
    struct Case {
        int which;
        const char *year, *month, *day, *text;
    };
    const Case cases[] = {{0, "", "1", "1", "Please specify start year."},
                          {1, "x", "1", "1", "Please specify end year."},
                          {0, "2011", "-", "1", "Please specify start month."},
                          {1, "2011", "3", " ", "Please specify end day."}};
    for (const Case& c : cases) {
        SetDate(c.which, c.year, c.month, c.day);
        RecordingSink local;
        EXPECT_FALSE(CheckDateFieldsPresent(model, c.which, kCaption, local));
        ASSERT_EQ(local.messages.size(), 1u) << c.text;
        EXPECT_EQ(local.messages[0].text, c.text);
        EXPECT_EQ(local.messages[0].title, kCaption);
        EXPECT_EQ(local.messages[0].icon, MessageIcon::None);
    }
    // Fields after the first empty one are left as they were.
    SetDate(0, "abc", "1x", "2y");
    EXPECT_FALSE(CheckDateFieldsPresent(model, 0, kCaption, sink));
    EXPECT_EQ(model.txbMonth[0], "1x");
    EXPECT_EQ(model.txbDay[0], "2y");
}

TEST_F(DateEntry, ValidateDateMessagesAndLimits) {
    SetDate(1, "2011", "2", "29");
    EXPECT_FALSE(ValidateDate(model, 1, kCaption, sink));
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].text, "The end date is invalid.");
    EXPECT_EQ(sink.messages[0].title, "Invalid input");
    EXPECT_EQ(sink.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(model.lblDate[1], "invalid date");

    struct Case {
        int index;
        const char* year;
        int month, day;
        const char* text;  // nullptr: accepted
    };
    const Case cases[] = {{0, "2800", 1, 1, "End date is too late"},  // same words for the start date
                          {1, "2800", 1, 1, "End date is too late"},
                          {1, "2799", 12, 31, nullptr},
                          {0, "1", 1, 1, nullptr},
                          {0, "0", 12, 31, "Start date is too early"},
                          {1, "-5", 6, 1, "End date is too early"},  // not cleaned by ValidateDate
                          {0, "999999", 1, 1, "End date is too late"}};
    for (const Case& c : cases) {
        SetDate(c.index, c.year, std::to_string(c.month), std::to_string(c.day));
        RecordingSink local;
        const bool ok = ValidateDate(model, c.index, kCaption, local);
        EXPECT_EQ(ok, c.text == nullptr) << c.year;
        if (c.text == nullptr) {
            EXPECT_TRUE(local.messages.empty());
            continue;
        }
        ASSERT_EQ(local.messages.size(), 1u) << c.year;
        EXPECT_EQ(local.messages[0].text, c.text);
        EXPECT_EQ(local.messages[0].title, kCaption);
        EXPECT_EQ(local.messages[0].icon, MessageIcon::Information);
    }
    SetDate(1, "2799", "12", "31");
    ASSERT_TRUE(ValidateDate(model, 1, kCaption, sink));
    EXPECT_EQ(model.DayNumbers[1], kLastAllowedDay);
    EXPECT_EQ(model.lblDate[1], "December 31, 2799 CE");
}

TEST_F(DateEntry, HugeNumbersNeverWrapIntoValidDates) {
    EXPECT_EQ(FieldValue("123456789012345678901234567890"), INT_MAX);
    EXPECT_EQ(FieldValue("-123456789012345678901234567890"), INT_MIN);
    EXPECT_EQ(FieldValue("  12.5"), 12);
    EXPECT_EQ(FieldValue("13.5"), 14);
    EXPECT_EQ(FieldValue("x12"), 0);

    // 30 digits whose low 32 bits would spell 2011 must not be read as 2011.
    const std::string year30 = "100000000000000000000000002011";
    for (int index : {0, 1}) {
        SetDate(index, year30, "6", "15");
        RefreshDateLabel(model, index);
        EXPECT_EQ(model.lblDate[static_cast<std::size_t>(index)], "invalid date");
        RecordingSink local;
        EXPECT_FALSE(ValidateDate(model, index, kCaption, local));
        ASSERT_EQ(local.messages.size(), 1u);
        EXPECT_TRUE(local.messages[0].text == std::string("The ") + (index ? "end" : "start") + " date is invalid." ||
                    local.messages[0].text == "End date is too late")
            << local.messages[0].text;
    }
    SetDate(0, "2011", "4294967297", "1");  // 2^32 + 1 months
    EXPECT_FALSE(ValidateDate(model, 0, kCaption, sink));
    SetDate(0, "2011", "1", "4294967297");
    EXPECT_FALSE(ValidateDate(model, 0, kCaption, sink));
}

TEST_F(DateEntry, AnyCharactersGiveAVerdictNotACrash) {
    const std::string texts[] = {"", " ", "-", "+", "--1", "٢٠١١", "2011°", std::string("20\0" "11", 5),
                                 "\xff\xfe", "1e9", "0x10", "9.99e999", "2011.4", std::string(5000, '9'),
                                 std::string(5000, '-')};
    for (const std::string& year : texts) {
        for (const std::string& day : texts) {
            SetDate(0, year, "3", day);
            RecordingSink local;
            if (ValidateDate(model, 0, kCaption, local)) {
                EXPECT_GE(model.DayNumbers[0], kFirstAllowedDay);
                EXPECT_LE(model.DayNumbers[0], kLastAllowedDay);
                EXPECT_NE(model.lblDate[0].find(" CE"), std::string::npos);
            } else {
                EXPECT_EQ(local.messages.size(), 1u);
            }
            SetDate(0, year, "3", day);
            RefreshDateLabel(model, 0);
            SetDate(0, year, "3", day);
            YearLostFocus(model, 0, local);
        }
    }
}

TEST(OrbOrder, StrictlyDecreasing) {
    RecordingSink sink;
    EXPECT_TRUE(CheckOrbsDecreasing(9, 8, 7, sink));  // 10°, 9°, 8°
    EXPECT_TRUE(sink.messages.empty());
    for (auto [outer, middle, inner] : {std::tuple{9, 9, 4}, std::tuple{9, 8, 8}, std::tuple{4, 8, 2},
                                        std::tuple{9, 4, 6}, std::tuple{0, 0, 0}}) {
        RecordingSink local;
        EXPECT_FALSE(CheckOrbsDecreasing(outer, middle, inner, local));
        ASSERT_EQ(local.messages.size(), 1u);
        EXPECT_EQ(local.messages[0].text, "Orbs must be strictly decreasing.");
        EXPECT_EQ(local.messages[0].title, "Orb values");
        EXPECT_EQ(local.messages[0].icon, MessageIcon::Information);
    }
}

TEST_F(DateEntry, PlanetDataCoverage) {
    ASSERT_TRUE(kovo::testing::InitModelOnce());
    auto check = [&](int index, std::int32_t day, int first, int second, bool helio) {
        model.DayNumbers[static_cast<std::size_t>(index)] = day;
        sink.messages.clear();
        return CheckPlanetDataCoverage(model, index, first, second, helio, sink);
    };
    EXPECT_TRUE(check(0, Day(2011, 1, 1), 2, 9, false));
    EXPECT_TRUE(check(1, Day(1600, 1, 2), 1, 9, false));
    EXPECT_TRUE(check(1, Day(2150, 1, 1), 1, 9, true));  // heliocentric Pluto runs to 2199
    EXPECT_TRUE(sink.messages.empty());

    EXPECT_FALSE(check(0, Day(1599, 12, 30), 1, 9, false));
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].text, "Start date is too early for Pluto.");
    EXPECT_EQ(sink.messages[0].title, kovo::util::kProgramTitle);
    EXPECT_EQ(sink.messages[0].icon, MessageIcon::None);

    EXPECT_FALSE(check(1, Day(2100, 1, 2), 9, 9, false));
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].text, "End date is too late for Pluto.");

    EXPECT_FALSE(check(0, Day(2200, 1, 2), 1, 9, true));
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].text, "Start date is too late for Pluto.");
}
