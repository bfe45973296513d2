#pragma once
// The transit report: heading, column header rows and one fixed-column line per row.
#include <string>

#include "transits/transit_params.h"
#include "transits/transit_table.h"
#include "util/run_host.h"

namespace kovo::transits {

inline constexpr int kRuleLength = 119;
inline constexpr int kCellWidth = 12;

std::string BuildHeading(const TransitRunParams& params);

// Rows 0-2: the rule and heading, the column header, the second rule.
void BuildHeaderRows(TransitTable& table, const std::string& heading, const TransitRunParams& params);

// One report line ending in CR LF; cells that read exactly "?" are cleared first.
std::string FormatTransitRow(TransitRow& row);

// Appends one row, printing the rule, heading and column header first when this run
// has not printed them; refuses rows once the output holds more than the limit.
void AppendTransitRow(TransitTable& table, int row, const TransitRunParams& params, util::RunFlags& flags,
                      util::RunHost& host);

}  // namespace kovo::transits
