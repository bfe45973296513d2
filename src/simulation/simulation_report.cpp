#include "simulation/simulation_report.h"

#include <cmath>

#include "astro/catalogue.h"
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
std::string EventLineStart(const SimulationSlot& slot) {
    return astro::AspectName[static_cast<std::size_t>(slot.Aspect)] + " " +
           FormatOrbField(slot.OrbDegrees);
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

void WriteSimulationTitle(util::RunHost& host, std::string_view heading) {
    // The rest of the heading after its first "for " names the pair and the period.
    const std::size_t found = heading.find("for");
    const std::size_t p = found == std::string_view::npos ? 0 : util::CharCount(heading.substr(0, found)) + 1;
    const std::size_t skipBytes = util::LeftChars(heading, p + 3).size();
    const std::string title = "Simulated investments for selected aspects for " +
                              std::string(heading.substr(skipBytes)) + std::string(kCrLf);
    if (host.OutputLength() > 0) host.AppendOutput(kCrLf);
    host.AppendOutput(std::string(util::CharCount(title) - 2, '-') + std::string(kCrLf) + title);
}

void WriteOpeningLine(util::RunHost& host, const SimulationSlot& slot, int number,
                      std::string_view dayText) {
    host.AppendOutput(EventLineStart(slot) + ", investment #" + std::to_string(number) + " on " +
                      std::string(dayText) + " of $" +
                      std::to_string(static_cast<int>(InvestmentAmount)) + std::string(kCrLf));
    host.MoveCaretToEnd();
}

void WriteRedemptionLine(util::RunHost& host, const SimulationSlot& slot, int number,
                         std::string_view dayText, double gain, double total,
                         const NumberFormat& format) {
    std::string line = EventLineStart(slot) + ", redemption #" + std::to_string(number) + " on " +
                       std::string(dayText);
    line += gain >= 0 ? ", gained $" + FormatAmount(gain, format)
                      : ", lost $" + FormatAmount(-gain, format);
    line += total >= 0 ? ", total gain is $" + FormatAmount(total, format)
                       : ", total loss is $" + FormatAmount(-total, format);
    host.AppendOutput(line + std::string(kCrLf));
    host.MoveCaretToEnd();
}

void WriteCancellationLine(util::RunHost& host, const SimulationSlot& slot, int number) {
    host.AppendOutput(EventLineStart(slot) + ", investment #" + std::to_string(number) +
                      " cancelled." + std::string(kCrLf));
    host.MoveCaretToEnd();
}

void WriteStopped(util::RunHost& host) { host.AppendOutput("\r\nStopped"); }

void WriteSimulationSummary(util::RunHost& host, const std::vector<SimulationSlot>& slots,
                            const SimulationTotals& totals, const NumberFormat& format) {
    if (totals.TotalInvestments > 0) host.AppendOutput(kCrLf);
    host.AppendOutput("Total number of investments = " + std::to_string(totals.TotalInvestments) +
                      std::string(kCrLf));
    if (totals.TotalInvestments > 0) {
        host.AppendOutput(kCrLf);
        for (const SimulationSlot& slot : slots) {
            host.AppendOutput(SlotLine(slot, format));
            host.MoveCaretToEnd();
        }
        host.AppendOutput("\r\nGain or loss by aspect for all orbs:");
        for (std::size_t a = 1; a <= 7; ++a) {
            if (totals.AspectInvestments[a] <= 0) continue;
            host.AppendOutput(std::string(kCrLf) + util::PadChars(astro::AspectName[a], 14) +
                              std::to_string(totals.AspectInvestments[a]) + "  $" +
                              FormatAmount(totals.AspectGain[a], format));
        }
    }
    host.AppendOutput(kCrLf);
}

}  // namespace kovo::simulation
