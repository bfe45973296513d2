#include "export/icalendar.h"

#include <ctime>

#include "astro/catalogue.h"
#include "calendar/calendar_services.h"
#include "export/export_table.h"
#include "util/rounding.h"
#include "util/text.h"

namespace kovo::exporting {

namespace {

constexpr std::size_t kMaxOctets = 75;

// "2026-01-10T14:25Z" -> "20260110T142500Z"
std::string UtcValue(const std::string& isoMinute) {
    std::string digits;
    for (char c : isoMinute)
        if (c != '-' && c != ':') digits += c;
    return digits.substr(0, digits.size() - 1) + "00Z";
}

std::string DateValue(std::int32_t day) {
    std::string digits;
    for (char c : calendar::FormatDayNumberIso8601(day))
        if (c != '-') digits += c;
    return digits;
}

// Words for a UID: lower case letters and digits, others dropped.
std::string UidWord(const std::string& text) {
    std::string word;
    for (char c : util::ToLower(text))
        if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) word += c;
    return word;
}

class Calendar {
public:
    explicit Calendar(const CalendarOptions& options) : options_(options) {
        Line("BEGIN:VCALENDAR");
        Line("VERSION:2.0");
        Line("PRODID:-//KOVO//Aspect transits " KOVO_VERSION "//EN");
        Line("CALSCALE:GREGORIAN");
    }
    void Event(const std::string& uid, const std::vector<std::string>& timing, const std::string& summary,
               const std::string& description) {
        Line("BEGIN:VEVENT");
        Line("UID:" + uid + "@kovo");
        Line("DTSTAMP:" + options_.stampUtc);
        for (const std::string& line : timing) Line(line);
        Line("SUMMARY:" + EscapeText(summary));
        Line("DESCRIPTION:" + EscapeText(description));
        Line("TRANSP:TRANSPARENT");
        Line("END:VEVENT");
    }
    std::string Finish() {
        Line("END:VCALENDAR");
        return text_;
    }

private:
    void Line(const std::string& line) { text_ += FoldedLine(line); }
    const CalendarOptions& options_;
    std::string text_;
};

std::string OrbLine(const char* name, int degrees, const transits::OrbSpan& span) {
    if (!span.Reached()) return {};
    std::string line = std::string(name) + " orb " + std::to_string(degrees) + "°:";
    const auto entry = transits::OrbDay(span.entry);
    const auto exit = transits::OrbDay(span.exit);
    line += entry ? " entered " + calendar::FormatDayNumberIso8601(*entry) : " already inside";
    line += exit ? ", left " + calendar::FormatDayNumberIso8601(*exit) : ", not left in the range";
    return line + "\n";
}

std::string PeriodDescription(const transits::TransitPeriod& period, const transits::TransitRunParams& p) {
    return OrbLine("Outer", p.orbDegrees[0], period.outer) +
           OrbLine("Middle", p.orbDegrees[1], LevelSpan(period, transits::kMiddleOrb)) +
           OrbLine("Inner", p.orbDegrees[2], LevelSpan(period, transits::kInnerOrb));
}

std::string PairUid(const transits::TransitRunParams& p, int aspect) {
    return UidWord(p.firstName) + "-" + UidWord(p.secondName) + "-" + (p.heliocentric ? "helio" : "geo") + "-" +
           AspectWord(aspect);
}

void AddPeriodEvents(Calendar& calendar, const transits::TransitPeriod& period, const transits::TransitRunParams& p,
                     bool withPeriod) {
    const std::string pair = p.firstName + " " + AspectWord(period.aspect) + " " + p.secondName;
    const std::string centricity = p.heliocentric ? "heliocentric" : "geocentric";
    const std::string description = PeriodDescription(period, p);
    for (const transits::TransitPass& pass : period.passes) {
        if (!pass.minimum || !pass.minimum->exact) continue;
        const ExactTimes times = ExactTimesOf(*pass.minimum, p);
        const std::string retrograde =
            ShowsRetrogradeMarks(p) && pass.minimum->retrograde ? ", " + p.firstName + " retrograde" : "";
        calendar.Event(PairUid(p, period.aspect) + "-" + UtcValue(times.utc), {"DTSTART:" + UtcValue(times.utc)},
                       pair + " (exact, " + centricity + ")",
                       "Exact " + calendar::FormatDayNumberIso8601(times.localDay) + " " + times.localLabel + retrograde +
                           "\n" + description);
    }
    if (!withPeriod) return;
    const std::int32_t first = transits::OrbDay(period.outer.entry).value_or(p.startDay);
    const std::int32_t last = transits::OrbDay(period.outer.exit).value_or(p.endDay);
    calendar.Event(PairUid(p, period.aspect) + "-orb-" + DateValue(first),
                   {"DTSTART;VALUE=DATE:" + DateValue(first), "DTEND;VALUE=DATE:" + DateValue(last + 1)},
                   pair + " (" + std::to_string(p.orbDegrees[0]) + "° orb, " + centricity + ")", description);
}

}  // namespace

std::string FoldedLine(std::string_view line) {
    std::string out;
    std::size_t used = 0;  // octets on the current physical line
    for (std::size_t i = 0; i < line.size();) {
        std::size_t length = 1;  // the octets of this UTF-8 character
        const auto lead = static_cast<unsigned char>(line[i]);
        if (lead >= 0xF0) length = 4;
        else if (lead >= 0xE0) length = 3;
        else if (lead >= 0xC0) length = 2;
        length = std::min(length, line.size() - i);
        if (used + length > kMaxOctets) {
            out += "\r\n ";
            used = 1;
        }
        out.append(line.substr(i, length));
        used += length;
        i += length;
    }
    return out + "\r\n";
}

std::string EscapeText(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\' || c == ';' || c == ',') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            if (i + 1 >= text.size() || text[i + 1] != '\n') out += "\\n";
        } else {
            out += c;
        }
    }
    // A description that ends with a line break carries no empty last line.
    if (out.size() >= 2 && out.compare(out.size() - 2, 2, "\\n") == 0) out.resize(out.size() - 2);
    return out;
}

std::string EventCalendar(const std::vector<TimedEvent>& events, const CalendarOptions& options) {
    Calendar calendar(options);
    for (const TimedEvent& event : events)
        calendar.Event(event.uid, {"DTSTART:" + event.startUtc}, event.summary, event.description);
    return calendar.Finish();
}

std::string CurrentStampUtc() {
    const std::time_t now = std::time(nullptr);
    char text[20];
    std::strftime(text, sizeof text, "%Y%m%dT%H%M%SZ", std::gmtime(&now));
    return text;
}

std::string TransitCalendar(const std::vector<const transits::TransitResult*>& results, const CalendarOptions& options) {
    Calendar calendar(options);
    for (const transits::TransitResult* result : results)
        for (const transits::TransitPeriod& period : result->periods)
            AddPeriodEvents(calendar, period, result->inputs, options.periods);
    return calendar.Finish();
}

std::string SimulationCalendar(const simulation::SimulationRun& run, const CalendarOptions& options) {
    Calendar calendar(options);
    const std::string first = astro::PlanetName(astro::PlanetIndex(run.inputs.first), true, false);
    const std::string second = astro::PlanetName(astro::PlanetIndex(run.inputs.second), true, false);
    for (const simulation::SimulationEvent& e : run.events) {
        const std::string slot = first + " " + AspectWord(e.aspect) + " " + second + ", " +
                                 std::to_string(e.orbDegrees) + "° orb";
        std::string summary;
        std::string description;
        std::string kind;
        switch (e.kind) {
            case simulation::SimulationEventKind::Investment:
                kind = "investment";
                summary = "Investment #" + std::to_string(e.number) + ": " + slot;
                description = "Invested $" + util::FixedTwoDecimals(e.amount) + " at " +
                              util::FixedTwoDecimals(e.indexValue) + " index points";
                break;
            case simulation::SimulationEventKind::Redemption:
                kind = "redemption";
                summary = "Redemption #" + std::to_string(e.number) + ": " + slot;
                description = "Gain $" + util::FixedTwoDecimals(e.amount) + ", total $" +
                              util::FixedTwoDecimals(e.runningTotal);
                break;
            case simulation::SimulationEventKind::Cancellation:
                kind = "cancellation";
                summary = "Investment #" + std::to_string(e.number) + " cancelled: " + slot;
                description = "The aspect still applied at the end of the period";
                break;
        }
        calendar.Event(UidWord(first) + "-" + UidWord(second) + "-" + AspectWord(e.aspect) + "-" +
                           std::to_string(e.orbDegrees) + "-" + kind + std::to_string(e.number) + "-" + DateValue(e.day),
                       {"DTSTART;VALUE=DATE:" + DateValue(e.day), "DTEND;VALUE=DATE:" + DateValue(e.day + 1)}, summary,
                       description);
    }
    return calendar.Finish();
}

}  // namespace kovo::exporting
