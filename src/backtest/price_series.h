#pragma once
// The daily closes a backtest trades on: the trading days of one instrument, ascending,
// every close positive. Built from the CSV reader of the prices layer, so that any table
// kovo-djia reads can be backtested, refused with the same messages and line numbers.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "prices/daily_closes_csv.h"

namespace kovo::backtest {

struct PricePoint {
    std::int32_t day = 0;   // day number of the trading day
    double close = 0;       // > 0
    std::size_t line = 0;   // line of the source table, 0 when not read from one
};

// Trading days in ascending order; days without a value are not trading days.
struct PriceSeries {
    std::vector<PricePoint> points;
    std::string source;  // file name or description, for headings
    std::string column;  // the table's column the closes came from ("Close"); empty when not read from one

    std::size_t Size() const { return points.size(); }
    bool Empty() const { return points.empty(); }
    // Index of the first trading day on or after `day`; nothing past the last.
    std::optional<std::size_t> FirstOnOrAfter(std::int32_t day) const;
    // Index of the last trading day strictly before `day`; nothing before the first.
    std::optional<std::size_t> LastBefore(std::int32_t day) const;
};

struct PriceSeriesLoad {
    PriceSeries series;
    std::string errorText;  // empty on success
};

// The least number of closes a backtest needs: one to buy and one to sell.
inline constexpr std::size_t kMinimumCloses = 2;

// The series of a read table: rows marked as without value are left out; a close of zero
// or below is refused with its line number ("line 7: a close of 0 is not positive"),
// and a table with fewer than kMinimumCloses closes is refused. A table the reader
// refused keeps the reader's message (duplicate dates, mixed order, bad values, all
// with line numbers).
PriceSeriesLoad PriceSeriesFromTable(const prices::CsvReadResult& table);

// Reads a CSV file of daily closes: a path that is missing or names a folder, pipe or
// device (util::OpenInputFile's messages), a file larger than 64 MB, unreadable or
// refused by the reader gives a message that names the path and the reason.
PriceSeriesLoad ReadPriceSeriesFile(const std::string& path);

// The trading days within first..last (day numbers, inclusive).
PriceSeries ClipToRange(const PriceSeries& series, std::int32_t first, std::int32_t last);

}  // namespace kovo::backtest
