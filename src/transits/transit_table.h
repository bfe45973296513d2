#pragma once
// The transit table: rows of nine text cells. Rows 0-2 hold the heading and the
// column header; data rows begin at row 3. The table grows on demand, so a run that
// records more rows than its initial capacity never writes outside it.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kovo::transits {

inline constexpr int kTransitColumns = 9;
inline constexpr int kFirstDataRow = 3;

using TransitRow = std::array<std::string, kTransitColumns>;

class TransitTable {
public:
    // Rows 0..capacity, all cells empty.
    void Reset(int capacity);
    int Capacity() const { return static_cast<int>(rows_.size()) - 1; }

    // Writing grows the table; reading beyond it gives an empty cell.
    std::string& Cell(int row, int column);
    const std::string& CellAt(int row, int column) const;
    TransitRow& Row(int row);
    bool IsRowEmpty(int row) const;

private:
    std::vector<TransitRow> rows_;
};

// Initial capacity: 100 in search mode, else 8 rows per 58 days of period, 200..32760.
int TransitTableCapacity(std::int32_t startDay, std::int32_t endDay, bool searchMode);

}  // namespace kovo::transits
