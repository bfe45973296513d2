#include "export/minute_text.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "calendar/calendar_services.h"
#include "util/utf8.h"

namespace kovo::exporting {

namespace {

struct Clock {
    std::int32_t day = 0;
    int minutes = 0;  // of the day
};

// The civil day and minute of a UT instant read with an offset in days.
Clock ClockOf(double instantUt, double offsetDays) {
    const double local = instantUt + offsetDays + 0.5;
    auto day = static_cast<std::int32_t>(std::floor(local));
    auto minutes = static_cast<int>(std::llround((local - day) * 1440.0));
    if (minutes >= 1440) {
        ++day;
        minutes -= 1440;
    }
    return {day, minutes};
}

std::string HourMinute(int minutes) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d", minutes / 60, minutes % 60);
    return text;
}

}  // namespace

std::string MinuteUtcText(double instantUt) {
    const Clock c = ClockOf(instantUt, 0);
    return calendar::FormatDayNumberIso8601(c.day) + "T" + HourMinute(c.minutes) + "Z";
}

std::string MinuteLocalText(double instantUt, const calendar::ReportZone& zone) {
    const calendar::ReportZone::Reading reading = zone.At(instantUt);
    const Clock c = ClockOf(instantUt, reading.days);
    return calendar::FormatDayNumberIso8601(c.day) + " " + HourMinute(c.minutes) + " " + reading.text;
}

std::string MinuteStamp(double instantUt) {
    std::string digits;
    for (const char c : MinuteUtcText(instantUt))
        if (c != '-' && c != ':') digits += c;
    return digits.substr(0, digits.size() - 1) + "00Z";
}

// The columns of `table` from `first` on, aligned on the widest cell; empty cells "-".
std::string AlignedColumns(const ExportTable& table, std::size_t first) {
    std::vector<std::size_t> widths(table.columns.size(), 0);
    for (std::size_t c = first; c < table.columns.size(); ++c) {
        widths[c] = util::CharCount(table.columns[c]);
        for (const auto& row : table.rows)
            widths[c] = std::max(widths[c], std::max<std::size_t>(1, util::CharCount(row[c].text)));
    }
    const auto line = [&](const std::vector<std::string>& cells) {
        std::string text;
        for (std::size_t c = first; c < cells.size(); ++c) {
            const std::string& cell = cells[c].empty() ? std::string("-") : cells[c];
            text += cell;
            if (c + 1 < cells.size()) text += std::string(widths[c] - util::CharCount(cell) + 2, ' ');
        }
        return text + "\n";
    };
    std::string text = line(table.columns);
    for (const auto& row : table.rows) {
        std::vector<std::string> cells;
        for (const Cell& cell : row) cells.push_back(cell.text);
        text += line(cells);
    }
    return text;
}

}  // namespace kovo::exporting
