#include "transits/transit_table.h"

#include <algorithm>

#include "util/rounding.h"

namespace kovo::transits {

namespace {
const std::string kEmpty;
}

void TransitTable::Reset(int capacity) {
    rows_.assign(static_cast<std::size_t>(std::max(capacity, kFirstDataRow) + 1), TransitRow{});
}

std::string& TransitTable::Cell(int row, int column) { return Row(row)[static_cast<std::size_t>(column)]; }

TransitRow& TransitTable::Row(int row) {
    if (row >= static_cast<int>(rows_.size())) rows_.resize(static_cast<std::size_t>(row) * 2 + 1);
    return rows_[static_cast<std::size_t>(row)];
}

const std::string& TransitTable::CellAt(int row, int column) const {
    if (row < 0 || row >= static_cast<int>(rows_.size())) return kEmpty;
    return rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

bool TransitTable::IsRowEmpty(int row) const {
    if (row < 0 || row >= static_cast<int>(rows_.size())) return true;
    const auto& cells = rows_[static_cast<std::size_t>(row)];
    return std::all_of(cells.begin(), cells.end(), [](const std::string& c) { return c.empty(); });
}

int TransitTableCapacity(std::int32_t startDay, std::int32_t endDay, bool searchMode) {
    if (searchMode) return 100;
    const double rows = (static_cast<double>(endDay) - startDay + 1) / 58.0 * 8.0;
    const auto rounded = util::RoundHalfEven(std::clamp(rows, 200.0, 32760.0));
    return static_cast<int>(rounded);
}

}  // namespace kovo::transits
