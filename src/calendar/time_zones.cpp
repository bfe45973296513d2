#include "calendar/time_zones.h"

#include <algorithm>
#include <array>
#include <utility>

#include "util/rounding.h"
#include "util/text.h"

namespace kovo::calendar {

namespace {

constexpr int kMaxOffsetMinutes = 690;

// Positions whose numeric text gives way to a North American abbreviation.
constexpr std::array<std::pair<int, const char*>, 10> kAbbreviations{{
    {19, "NDT"},
    {18, "ADT"},
    {17, "NST"},
    {16, "AST/EDT"},
    {14, "EST/CDT"},
    {12, "CST/MDT"},
    {10, "MST/PDT"},
    {8, "PST/AKDT"},
    {6, "AKST/HADT"},
    {4, "HAST"},
}};

std::vector<std::string> NumericTexts() {
    std::vector<std::string> texts{""};
    for (int h = 11; h >= 0; --h) {
        texts.push_back("GMT-" + std::to_string(h) + ":30");
        texts.push_back(h == 0 ? std::string("GMT") : "GMT-" + std::to_string(h) + ":00");
    }
    for (int h = 0; h <= 11; ++h) {
        if (h > 0) texts.push_back("GMT+" + std::to_string(h) + ":00");
        texts.push_back("GMT+" + std::to_string(h) + ":30");
    }
    return texts;
}

// A signed whole number of at most a few digits; nothing for anything else.
std::optional<int> SmallWholeNumber(std::string_view text) {
    std::size_t i = 0;
    bool negative = false;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        i = 1;
    }
    if (i == text.size() || text.size() - i > 6) return std::nullopt;
    int value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    return negative ? -value : value;
}

}  // namespace

std::vector<TimeZoneEntry> BuildTimeZoneList(bool showAbbreviations) {
    std::vector<TimeZoneEntry> entries;
    for (std::string& text : NumericTexts()) entries.push_back({std::move(text), 0});
    const int n = static_cast<int>(entries.size());
    for (int p = 1; p < n; ++p) entries[static_cast<std::size_t>(p)].itemData = (p - n / 2) * 30;
    if (showAbbreviations) {
        for (const auto& [position, abbreviation] : kAbbreviations)
            entries[static_cast<std::size_t>(position)].text = abbreviation;
    }
    return entries;
}

std::string TimeZoneText(int position, bool showAbbreviations) {
    if (position < 0 || position >= kTimeZoneCount) return {};
    return BuildTimeZoneList(showAbbreviations)[static_cast<std::size_t>(position)].text;
}

int TimeZoneOffsetMinutes(int position) { return (position - kGmtPosition) * 30; }

TimeZoneListState SetUpTimezoneList(bool preserveIndices, int currentIndex, bool showAbbreviations,
                                    bool startUpCompleted) {
    TimeZoneListState state;
    int saved = preserveIndices ? currentIndex : 0;
    if (saved < kNoSelection || saved >= kTimeZoneCount) saved = kNoSelection;
    state.savedIndex = static_cast<std::int16_t>(saved);
    state.entries = BuildTimeZoneList(showAbbreviations);
    state.selectedIndex = startUpCompleted ? state.savedIndex : kNoSelection;
    return state;
}

int StartUpTimeZonePosition(int localMinutes) {
    const auto position = util::RoundHalfEven(localMinutes / 30.0) + kGmtPosition;
    return static_cast<int>(std::clamp<std::int64_t>(position, 1, kTimeZoneCount - 1));
}

bool CheckTimeZoneChosen(int& position, const std::string& title, util::MessageSink& sink) {
    if (position != 0) return true;
    util::Message message;
    message.text = "Please specify the timezone for the results, or use the default GMT timezone.";
    message.title = title;
    sink.ShowMessage(message);
    position = kGmtPosition;
    return false;
}

std::optional<int> TimeZonePositionFromText(std::string_view text) {
    const std::string wanted = util::ToLower(util::TrimBlanks(text));
    if (wanted.empty()) return std::nullopt;
    for (bool abbreviated : {false, true}) {
        const auto entries = BuildTimeZoneList(abbreviated);
        for (int p = 1; p < kTimeZoneCount; ++p) {
            if (util::ToLower(entries[static_cast<std::size_t>(p)].text) == wanted) return p;
        }
    }
    const auto minutes = SmallWholeNumber(wanted);
    if (!minutes || *minutes % 30 != 0 || *minutes < -kMaxOffsetMinutes || *minutes > kMaxOffsetMinutes)
        return std::nullopt;
    return *minutes / 30 + kGmtPosition;
}

}  // namespace kovo::calendar
