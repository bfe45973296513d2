#include <gtest/gtest.h>

#include "calendar/time_zones.h"
#include "recording_sink.h"

using namespace kovo::calendar;
using kovo::testing::RecordingSink;

TEST(TimeZoneList, TextsAndOffsets) {
    const auto list = BuildTimeZoneList(false);
    ASSERT_EQ(list.size(), 48u);
    EXPECT_EQ(list[0].text, "");
    EXPECT_EQ(list[1].text, "GMT-11:30");
    EXPECT_EQ(list[2].text, "GMT-11:00");
    EXPECT_EQ(list[14].text, "GMT-5:00");
    EXPECT_EQ(list[23].text, "GMT-0:30");
    EXPECT_EQ(list[24].text, "GMT");
    EXPECT_EQ(list[25].text, "GMT+0:30");
    EXPECT_EQ(list[26].text, "GMT+1:00");
    EXPECT_EQ(list[47].text, "GMT+11:30");
    for (int p = 1; p < 48; ++p) {
        const auto& entry = list[static_cast<std::size_t>(p)];
        EXPECT_EQ(entry.itemData, TimeZoneOffsetMinutes(p)) << p;
        // The text spells the same offset: sign, hours, and ":30" for the odd half hours.
        if (p == 24) continue;
        const int minutes = entry.itemData < 0 ? -entry.itemData : entry.itemData;
        const std::string expected = std::string("GMT") + (entry.itemData < 0 ? "-" : "+") +
                                     std::to_string(minutes / 60) + (minutes % 60 ? ":30" : ":00");
        EXPECT_EQ(entry.text, expected) << p;
    }
    EXPECT_EQ(TimeZoneOffsetMinutes(1), -690);
    EXPECT_EQ(TimeZoneOffsetMinutes(24), 0);
    EXPECT_EQ(TimeZoneOffsetMinutes(47), 690);
}

TEST(TimeZoneList, AbbreviationsReplaceTenTexts) {
    const auto numeric = BuildTimeZoneList(false);
    const auto named = BuildTimeZoneList(true);
    const std::pair<int, const char*> expected[] = {{4, "HAST"},     {6, "AKST/HADT"}, {8, "PST/AKDT"},
                                                    {10, "MST/PDT"}, {12, "CST/MDT"},  {14, "EST/CDT"},
                                                    {16, "AST/EDT"}, {17, "NST"},      {18, "ADT"},
                                                    {19, "NDT"}};
    int replaced = 0;
    for (std::size_t p = 0; p < 48; ++p) {
        EXPECT_EQ(named[p].itemData, numeric[p].itemData);
        if (named[p].text != numeric[p].text) ++replaced;
    }
    EXPECT_EQ(replaced, 10);
    for (const auto& [position, text] : expected) {
        EXPECT_EQ(named[static_cast<std::size_t>(position)].text, text);
        EXPECT_EQ(TimeZoneText(position, true), text);
    }
    EXPECT_EQ(TimeZoneText(14, false), "GMT-5:00");
    EXPECT_EQ(TimeZoneText(48, true), "");
    EXPECT_EQ(TimeZoneText(-1, false), "");
}

TEST(TimeZoneList, RebuildKeepsSelectionAfterStartUp) {
    // Toggling the abbreviations keeps position 14 and changes only its text.
    auto state = SetUpTimezoneList(true, 14, true, true);
    EXPECT_EQ(state.selectedIndex, 14);
    EXPECT_EQ(state.entries[14].text, "EST/CDT");
    state = SetUpTimezoneList(true, state.selectedIndex, false, true);
    EXPECT_EQ(state.selectedIndex, 14);
    EXPECT_EQ(state.entries[14].text, "GMT-5:00");

    EXPECT_EQ(SetUpTimezoneList(false, 14, false, true).selectedIndex, 0);
    EXPECT_EQ(SetUpTimezoneList(true, -1, false, true).selectedIndex, -1);
    EXPECT_EQ(SetUpTimezoneList(true, 99, false, true).selectedIndex, -1);

    // Before start-up has completed nothing is selected, whatever is remembered.
    state = SetUpTimezoneList(true, 14, false, false);
    EXPECT_EQ(state.selectedIndex, -1);
    EXPECT_EQ(state.savedIndex, 14);
    EXPECT_EQ(state.entries.size(), 48u);
}

TEST(TimeZoneList, StartUpChoice) {
    EXPECT_EQ(StartUpTimeZonePosition(-300), 14);
    EXPECT_EQ(StartUpTimeZonePosition(0), 24);
    EXPECT_EQ(StartUpTimeZonePosition(330), 35);
    EXPECT_EQ(StartUpTimeZonePosition(345), 36);  // 11.5 rounds to even
    EXPECT_EQ(StartUpTimeZonePosition(315), 34);  // 10.5 rounds to even
    EXPECT_EQ(StartUpTimeZonePosition(-15), 24);  // -0.5 rounds to 0
    EXPECT_EQ(StartUpTimeZonePosition(690), 47);
    EXPECT_EQ(StartUpTimeZonePosition(-690), 1);
    // Zones beyond the list never select the blank entry or run past the end.
    EXPECT_EQ(StartUpTimeZonePosition(-720), 1);
    EXPECT_EQ(StartUpTimeZonePosition(780), 47);
    EXPECT_EQ(StartUpTimeZonePosition(840), 47);
    EXPECT_EQ(StartUpTimeZonePosition(-32768), 1);
    EXPECT_EQ(StartUpTimeZonePosition(32767), 47);
}

TEST(TimeZoneList, BlankEntryIsRefusedAndGmtChosen) {
    RecordingSink sink;
    int position = 0;
    EXPECT_FALSE(CheckTimeZoneChosen(position, "Mercury and Jupiter", sink));
    EXPECT_EQ(position, 24);
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].text,
              "Please specify the timezone for the results, or use the default GMT timezone.");
    EXPECT_EQ(sink.messages[0].title, "Mercury and Jupiter");
    EXPECT_EQ(sink.messages[0].icon, kovo::util::MessageIcon::None);
    EXPECT_EQ(sink.messages[0].buttons, kovo::util::MessageButtons::Ok);

    // The next attempt passes without a message.
    EXPECT_TRUE(CheckTimeZoneChosen(position, "Search", sink));
    position = 14;
    EXPECT_TRUE(CheckTimeZoneChosen(position, "Search", sink));
    EXPECT_EQ(position, 14);
    EXPECT_EQ(sink.messages.size(), 1u);
}

TEST(TimeZoneText, ParsesListTextsAndMinutes) {
    EXPECT_EQ(TimeZonePositionFromText("GMT"), 24);
    EXPECT_EQ(TimeZonePositionFromText("gmt"), 24);
    EXPECT_EQ(TimeZonePositionFromText("GMT-5:00"), 14);
    EXPECT_EQ(TimeZonePositionFromText(" gmt+5:30 "), 35);
    EXPECT_EQ(TimeZonePositionFromText("EST/CDT"), 14);
    EXPECT_EQ(TimeZonePositionFromText("est/cdt"), 14);
    EXPECT_EQ(TimeZonePositionFromText("NST"), 17);
    EXPECT_EQ(TimeZonePositionFromText("-300"), 14);
    EXPECT_EQ(TimeZonePositionFromText("+330"), 35);
    EXPECT_EQ(TimeZonePositionFromText("0"), 24);
    EXPECT_EQ(TimeZonePositionFromText("690"), 47);
    EXPECT_EQ(TimeZonePositionFromText("-690"), 1);
    // Every list text reads back as its own position.
    for (bool abbreviated : {false, true}) {
        for (int p = 1; p < 48; ++p) EXPECT_EQ(TimeZonePositionFromText(TimeZoneText(p, abbreviated)), p);
    }
}

TEST(TimeZoneText, RefusesEverythingElse) {
    for (const char* text : {"", "   ", "GMT+0:00", "GMT-0:00", "GMT+12:00", "UTC", "EST", "720", "-720",
                             "345", "30.0", "1e2", "--30", "+", "-", "300x", "99999999999999999999",
                             "GMT-5:00 EST"}) {
        EXPECT_FALSE(TimeZonePositionFromText(text).has_value()) << text;
    }
}
