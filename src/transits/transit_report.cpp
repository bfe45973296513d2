#include "transits/transit_report.h"

#include "calendar/calendar_services.h"
#include "util/utf8.h"

namespace kovo::transits {

namespace {

std::string Rule() { return std::string(kRuleLength, '-') + "\r\n"; }

std::string Degrees(int degrees) { return std::to_string(degrees) + "°"; }

std::string RetrogradeNote(const TransitRunParams& params) {
    if (params.heliocentric || params.firstName == "Sun") return {};
    if (params.AllTransitsMode()) return " ('r' not shown)";
    return " ('r' = " + params.firstName + " retrograde)";
}

}  // namespace

std::string BuildHeading(const TransitRunParams& params) {
    std::string heading;
    if (params.SearchMode()) {
        heading = std::string("First ") + (params.heliocentric ? "heliocentric " : "geocentric ") + params.searchOrbText +
                  " " + params.searchAspectText + " of " + params.firstName + " and " + params.secondName +
                  " on or after " + calendar::FormatDayNumberLong(params.startDay);
    } else {
        heading = std::string(params.heliocentric ? "Heliocentric" : "Geocentric") + " transits for " + params.firstName +
                  " and " + params.secondName + " from " + calendar::FormatDayNumberLong(params.startDay) + ", to " +
                  calendar::FormatDayNumberLong(params.endDay);
    }
    return heading + RetrogradeNote(params);
}

void BuildHeaderRows(TransitTable& table, const std::string& heading, const TransitRunParams& params) {
    table.Cell(0, 0) = Rule() + heading;
    auto& header = table.Row(1);
    const auto& orbs = params.orbDegrees;
    header = {"Aspect",
              "Start " + Degrees(orbs[0]),
              "Start " + Degrees(orbs[1]),
              "Start " + Degrees(orbs[2]),
              "Minimum at",
              "End " + Degrees(orbs[2]),
              "End " + Degrees(orbs[1]),
              "End " + Degrees(orbs[0]),
              "Minimum"};
    table.Cell(2, 0) = Rule();
}

std::string FormatTransitRow(TransitRow& row) {
    for (auto& cell : row)
        if (cell == "?") cell.clear();
    auto pad = [&row](int column) { return util::PadChars(row[static_cast<std::size_t>(column)], kCellWidth); };
    return pad(0) + "| " + pad(1) + pad(2) + pad(3) + "| " + pad(4) + "| " + pad(5) + pad(6) + pad(7) + "| " + row[8] +
           "\r\n";
}

void AppendTransitRow(TransitTable& table, int row, const TransitRunParams& params, util::RunFlags& flags,
                      util::RunHost& host) {
    if (params.outputLimit && host.OutputLength() > *params.outputLimit) {
        host.ShowMessage({.text = "Output textbox is full.",
                          .title = util::kProgramTitle,
                          .icon = util::MessageIcon::Exclamation});
        host.AppendOutput("Textbox is full -- ");
        flags.stopRequest = true;
        flags.allTransitsStopped = true;
        return;
    }
    if (!flags.headerPrinted) {
        host.AppendOutput(table.CellAt(0, 0) + "\r\n");
        host.AppendOutput(FormatTransitRow(table.Row(1)));
        host.AppendOutput(table.CellAt(2, 0));
        flags.headerPrinted = true;
    }
    host.AppendOutput(FormatTransitRow(table.Row(row)));
    host.MoveCaretToEnd();
}

}  // namespace kovo::transits
