#include "simulation/simulation_report.h"

#include <cmath>
#include <functional>
#include <string_view>

#include "astro/catalogue.h"
#include "calendar/calendar_services.h"
#include "util/text.h"
#include "util/rounding.h"
#include "util/utf8.h"

namespace kovo::simulation {
namespace {

constexpr std::string_view kCrLf = "\r\n";

std::string GroupDigits(const std::string& digits, const std::string& separator) {
    std::string grouped;
    const std::size_t n = digits.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) grouped += separator;
        grouped += digits[i];
    }
    return grouped;
}

// The aspect name and orb field that begin every event line.
std::string EventLineStart(const SimulationEvent& event) {
    return astro::AspectName[static_cast<std::size_t>(event.aspect)] + " " + FormatOrbField(event.orbDegrees);
}

// The transit heading's note, which the title repeats for a geocentric option.
std::string RetrogradeNote(const SimulationTitle& title) {
    if (title.heliocentric || title.firstName == "Sun") return {};
    return " ('r' = " + title.firstName + " retrograde)";
}

std::string AspectTotalLine(std::size_t aspect, const SimulationTotals& totals, const NumberFormat& format) {
    return std::string(kCrLf) + util::PadChars(astro::AspectName[aspect], 14) +
           std::to_string(totals.AspectInvestments[aspect]) + "  $" + FormatAmount(totals.AspectGain[aspect], format);
}

std::string SlotLine(const SimulationSlot& slot, const NumberFormat& format) {
    std::string line = astro::PlanetName(slot.FirstPlanet, true, true) + " " +
                       util::ToLower(astro::AspectAbbreviation[static_cast<std::size_t>(slot.Aspect)]) +
                       " " + astro::PlanetName(slot.SecondPlanet, true, true) + "," +
                       FormatOrbField(slot.OrbDegrees);
    if (slot.InvestmentCount > 0) {
        line += ", ends with $" + FormatAmount(slot.RunningTotal, format);
    } else {
        line += ", no investments";
    }
    return line + std::string(kCrLf);
}

// The summary in the pieces it is appended in; caretAfter marks the slot lines, after
// which the window scrolls to the end.
void ForEachSummaryPiece(const std::vector<SimulationSlot>& slots, const SimulationTotals& totals,
                         const NumberFormat& format,
                         const std::function<void(std::string_view piece, bool caretAfter)>& emit) {
    const bool any = totals.TotalInvestments > 0;
    if (any) emit(kCrLf, false);
    emit("Total number of investments = " + std::to_string(totals.TotalInvestments) + std::string(kCrLf), false);
    if (any) {
        emit(kCrLf, false);
        for (const SimulationSlot& slot : slots) emit(SlotLine(slot, format), true);
        emit("\r\nGain or loss by aspect for all orbs:", false);
        for (std::size_t a = 1; a <= 7; ++a) {
            if (totals.AspectInvestments[a] > 0) emit(AspectTotalLine(a, totals, format), false);
        }
    }
    emit(kCrLf, false);
}

}  // namespace

std::string FormatAmount(double x, const NumberFormat& format) {
    const std::string fixed = util::FixedTwoDecimals(std::fabs(x));
    const std::size_t point = fixed.find('.');
    if (point == std::string::npos) return (x < 0 ? "-" : "") + fixed;  // inf or nan
    return (x < 0 ? "-" : "") + GroupDigits(fixed.substr(0, point), format.groupSeparator) +
           format.decimalPoint + fixed.substr(point + 1);
}

std::string FormatOrbField(int orbDegrees) {
    std::string digits = std::to_string(orbDegrees);
    if (digits.size() < 3) digits.insert(0, 3 - digits.size(), ' ');
    return digits + "°";
}

std::string SimulationTitleText(const SimulationTitle& title) {
    return "Simulated investments for selected aspects for " + title.firstName + " and " + title.secondName +
           " from " + calendar::FormatDayNumberLong(title.startDay) + ", to " +
           calendar::FormatDayNumberLong(title.endDay) + RetrogradeNote(title);
}

std::string SimulationTitleBlock(const SimulationTitle& title) {
    const std::string text = SimulationTitleText(title);
    return std::string(util::CharCount(text), '-') + std::string(kCrLf) + text + std::string(kCrLf);
}

void WriteSimulationTitle(util::ReportSink& report, const SimulationTitle& title) {
    if (report.Length() > 0) report.Append(kCrLf);
    report.Append(SimulationTitleBlock(title));
}

std::string SimulationEventLine(const SimulationEvent& event, const NumberFormat& format) {
    std::string line = EventLineStart(event);
    const std::string number = std::to_string(event.number);
    const std::string day = calendar::FormatDayNumberIso(event.day);
    switch (event.kind) {
        case SimulationEventKind::Investment:
            line += ", investment #" + number + " on " + day + " of $" +
                    std::to_string(static_cast<long long>(event.amount));
            break;
        case SimulationEventKind::Redemption:
            line += ", redemption #" + number + " on " + day;
            line += event.amount >= 0 ? ", gained $" + FormatAmount(event.amount, format)
                                      : ", lost $" + FormatAmount(-event.amount, format);
            line += event.runningTotal >= 0 ? ", total gain is $" + FormatAmount(event.runningTotal, format)
                                            : ", total loss is $" + FormatAmount(-event.runningTotal, format);
            break;
        case SimulationEventKind::Cancellation:
            line += ", investment #" + number + " cancelled.";
            break;
    }
    return line + std::string(kCrLf);
}

void WriteSimulationEvent(util::ReportSink& report, const SimulationEvent& event, const NumberFormat& format) {
    report.Append(SimulationEventLine(event, format));
}

void WriteStopped(util::ReportSink& report) { report.Append(kStoppedText); }

std::string SimulationSummaryText(const std::vector<SimulationSlot>& slots, const SimulationTotals& totals,
                                  const NumberFormat& format) {
    std::string text;
    ForEachSummaryPiece(slots, totals, format, [&text](std::string_view piece, bool) { text += piece; });
    return text;
}

void WriteSimulationSummary(util::ReportSink& report, const std::vector<SimulationSlot>& slots,
                            const SimulationTotals& totals, const NumberFormat& format) {
    ForEachSummaryPiece(slots, totals, format, [&report](std::string_view piece, bool) {
        report.Append(piece);
    });
}

}  // namespace kovo::simulation
