#pragma once
// Whole-minute instants as the cycle and lunar tables write them, and the aligned
// columns of their text reports.
#include <cstddef>
#include <string>

#include "calendar/report_zone.h"
#include "export/export_table.h"

namespace kovo::exporting {

// "2024-04-01T22:14Z".
std::string MinuteUtcText(double instantUt);
// "2024-04-01 18:14 EDT": the zone's clock and abbreviation at that instant.
std::string MinuteLocalText(double instantUt, const calendar::ReportZone& zone);
// "20240401T221400Z", an iCalendar UTC date-time.
std::string MinuteStamp(double instantUt);
// The columns of `table` from `first` on, aligned on the widest cell; empty cells "-".
std::string AlignedColumns(const ExportTable& table, std::size_t first);

}  // namespace kovo::exporting
