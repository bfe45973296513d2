#include "transits/transit_report.h"

#include <algorithm>
#include <utility>

#include "calendar/calendar_services.h"
#include "util/utf8.h"

namespace kovo::transits {

namespace {

std::string Rule() { return std::string(kRuleLength, '-') + "\r\n"; }

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
    // A named zone's times change with daylight saving: the heading says whose they are.
    if (params.zone.IsNamed()) heading += ", times in " + params.zone.Name();
    return heading + RetrogradeNote(params);
}

std::string FormatTransitRow(TransitRow& row) {
    for (auto& cell : row)
        if (cell == "?") cell.clear();
    auto pad = [&row](TransitColumn column) {
        return util::PadChars(row[static_cast<std::size_t>(column)], kCellWidth);
    };
    return pad(kAspectColumn) + "| " + pad(kOuterStartColumn) + pad(kMiddleStartColumn) + pad(kInnerStartColumn) +
           "| " + pad(kMinimumAtColumn) + "| " + pad(kInnerEndColumn) + pad(kMiddleEndColumn) + pad(kOuterEndColumn) +
           "| " + row[kMinimumColumn] + "\r\n";
}

TransitReportWriter::TransitReportWriter(const TransitRunParams& params, std::string heading, bool& stopPending,
                                         util::RunHost& host)
    : params_(params), heading_(std::move(heading)), stopPending_(stopPending), host_(host) {}

void TransitReportWriter::AppendPeriod(const TransitPeriod& period) {
    auto rows = PeriodRows(period, params_, lastNamedAspect_);
    if (period.HasOrbDates()) lastNamedAspect_ = period.aspect;
    AppendRows(std::move(rows));
}

void TransitReportWriter::AppendLeftovers() { AppendRows({}); }

void TransitReportWriter::AppendRows(std::vector<TransitRow> rows) {
    // Left-behind lines come first: the area is full, so the first line offered is refused.
    rows.resize(std::max(rows.size(), leftovers_));
    std::size_t next = 0;
    while (next < rows.size() && !stopPending_) AppendRow(rows[next++]);
    leftovers_ = rows.size() - next;
}

void TransitReportWriter::AppendRow(TransitRow& row) {
    util::ReportSink& report = host_.Report();
    if (params_.outputLimit && report.Length() > *params_.outputLimit) {
        host_.ShowMessage({.text = "Output textbox is full.",
                           .title = util::kProgramTitle,
                           .icon = util::MessageIcon::Exclamation});
        report.Append("Textbox is full -- ");
        stopPending_ = true;
        outputFull_ = true;
        return;
    }
    if (!headerPrinted_) {
        report.Append(Rule() + heading_ + "\r\n");
        TransitRow header = HeaderRow(params_);
        report.Append(FormatTransitRow(header));
        report.Append(Rule());
        headerPrinted_ = true;
    }
    report.Append(FormatTransitRow(row));
}

}  // namespace kovo::transits
