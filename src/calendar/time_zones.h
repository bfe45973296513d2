#pragma once
// The time-zone list: 48 fixed entries in half-hour steps from 11½ hours west to 11½
// hours east of Greenwich, with a blank entry at position 0 and "GMT" at 24. Offsets
// are minutes east of Greenwich (negative west). Positions are list positions; -1
// means nothing is selected.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "util/run_host.h"

namespace kovo::calendar {

inline constexpr int kTimeZoneCount = 48;
inline constexpr int kGmtPosition = 24;
inline constexpr int kNoSelection = -1;

struct TimeZoneEntry {
    std::string text;
    int itemData = 0;  // the offset in minutes; 0 for the blank entry
};

// The 48 entries in list order; with showAbbreviations the ten North American
// abbreviations replace the numeric texts of positions 4, 6, 8, 10, 12, 14, 16-19.
std::vector<TimeZoneEntry> BuildTimeZoneList(bool showAbbreviations);

// Text of one position as the list shows it; "" outside 0..47.
std::string TimeZoneText(int position, bool showAbbreviations);

// Minutes east of Greenwich of position 1..47: (position - 24) * 30.
int TimeZoneOffsetMinutes(int position);

// What a (re)build of the list leaves: the remembered position and the new selection.
struct TimeZoneListState {
    std::vector<TimeZoneEntry> entries;
    std::int16_t savedIndex = 0;  // SavedTimezoneIndex
    int selectedIndex = kNoSelection;
};

// SetUpTimezoneComboBoxes: keeps the selected position across a rebuild when
// preserveIndices (otherwise position 0); before start-up has completed nothing is
// selected. A current position outside -1..47 leaves nothing selected.
TimeZoneListState SetUpTimezoneList(bool preserveIndices, int currentIndex, bool showAbbreviations,
                                    bool startUpCompleted);

// The start-up choice for the computer's offset: round(minutes / 30) + 24, halves to
// even, kept within 1..47 for offsets beyond the list.
int StartUpTimeZonePosition(int localMinutes);

// The run check: position 0 (the blank entry) shows the request to choose a zone
// (titled `title`), sets position to 24 (GMT) and returns false.
bool CheckTimeZoneChosen(int& position, const std::string& title, util::MessageSink& sink);

// Position of a list text ("GMT", "GMT-5:00", "EST/CDT"; case and surrounding blanks
// ignored) or of a whole number of minutes east that is a multiple of 30 within
// ±690 ("-300", "+330"); nothing for any other text.
std::optional<int> TimeZonePositionFromText(std::string_view text);

}  // namespace kovo::calendar
