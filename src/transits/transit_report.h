#pragma once
// The transit report: heading, column header and one fixed-column line per pass, and the
// writer that appends each finished period to the output area.
#include <cstddef>
#include <string>

#include "transits/transit_params.h"
#include "transits/transit_result.h"
#include "transits/transit_table.h"
#include "util/run_host.h"

namespace kovo::transits {

inline constexpr int kRuleLength = 119;
inline constexpr int kCellWidth = 12;

std::string BuildHeading(const TransitRunParams& params);

// One report line ending in CR LF; cells that read exactly "?" are cleared first.
std::string FormatTransitRow(TransitRow& row);

// Appends the lines of a scan's periods to the report as each period finishes. Before the
// first line of the scan: the rule, the heading, the column header and a second rule. A
// line is refused while the report holds more characters than the run's limit: then the
// user is told, "Textbox is full -- " is appended, and `stopPending` is set so that the
// scan asks "Stop?" at its next step.
class TransitReportWriter {
public:
    TransitReportWriter(const TransitRunParams& params, std::string heading, bool& stopPending,
                        util::RunHost& host);

    void AppendPeriod(const TransitPeriod& period);
    // Offers again the lines a refusal left behind, as the end of a scan does.
    void AppendLeftovers();

    bool OutputFull() const { return outputFull_; }
    // Lines of a refused period after the refused one. The output area never shrinks
    // during a scan, so they are only ever refused in turn; but each one the scan still
    // holds at its end makes it offer them, which repeats the "full" notice.
    bool HasLeftovers() const { return leftovers_ > 0; }

private:
    void AppendRows(std::vector<TransitRow> rows);
    void AppendRow(TransitRow& row);

    const TransitRunParams& params_;
    std::string heading_;
    bool& stopPending_;
    util::RunHost& host_;
    bool headerPrinted_ = false;
    int lastNamedAspect_ = 0;
    std::size_t leftovers_ = 0;
    bool outputFull_ = false;
};

}  // namespace kovo::transits
