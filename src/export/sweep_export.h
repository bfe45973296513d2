#pragma once
// A research sweep as text, CSV and JSON, and the long table of its in-orb periods as
// CSV or JSON Lines. Lines end with LF.
//
// Text and CSV show the figures with the backtest tables' decimals (sweep_row.h). The
// JSON holds every figure as the shortest number that reads back to the same double, and
// the sweep's settings, so that ReadSweepJson gives back the result and a merge of JSON
// parts writes the tables one run would have written.
#include <string>
#include <variant>

#include "export/export_table.h"
#include "sweep/sweep_run.h"

namespace kovo::exporting {

// The heading: what was swept, the closes, the number of rules tested and surviving.
std::string SweepHeading(const sweep::SweepResult& result);
// The heading, the ranked table and what its columns mean.
std::string SweepText(const sweep::SweepResult& result);

// One row per rule in rank order: rank, pair, centricity, side, rule, aspect, orb, every
// figure (the hold-out's only with a hold-out), passes, held.
ExportTable SweepTable(const sweep::SweepResult& result);
std::string SweepCsv(const sweep::SweepResult& result);
std::string SweepJson(const sweep::SweepResult& result);

// The JSON of SweepJson read back; "what is wrong" for any other text.
std::variant<sweep::SweepResult, std::string> ReadSweepJson(const std::string& text);

// One row per in-orb period: pair, centricity, aspect, orb level, orb, entry and exit
// dates (empty where the closes' span cut the stay), the exact aspects' UTC minutes
// ("2024-01-25T06:08Z", several separated by ";").
ExportTable SweepPeriodsTable(const sweep::SweepResult& result);
std::string SweepPeriodsCsv(const sweep::SweepResult& result);
// The same, one JSON object per line, the exact minutes as an array.
std::string SweepPeriodsJsonLines(const sweep::SweepResult& result);

}  // namespace kovo::exporting
