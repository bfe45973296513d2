#include "backtest/price_series.h"

#include <algorithm>
#include <cstdint>

#include "util/input_file.h"
#include "util/rounding.h"
#include "util/utf8.h"

namespace kovo::backtest {

namespace {

constexpr std::uintmax_t kMaxInputBytes = 64u << 20;  // far beyond any daily table

std::string CloseText(double close) {
    std::string text = util::FixedTwoDecimals(close);
    return text == "-0.00" ? "0.00" : text;
}

}  // namespace

std::optional<std::size_t> PriceSeries::FirstOnOrAfter(std::int32_t day) const {
    const auto it = std::lower_bound(points.begin(), points.end(), day,
                                     [](const PricePoint& p, std::int32_t d) { return p.day < d; });
    if (it == points.end()) return std::nullopt;
    return static_cast<std::size_t>(it - points.begin());
}

std::optional<std::size_t> PriceSeries::LastBefore(std::int32_t day) const {
    const auto it = std::lower_bound(points.begin(), points.end(), day,
                                     [](const PricePoint& p, std::int32_t d) { return p.day < d; });
    if (it == points.begin()) return std::nullopt;
    return static_cast<std::size_t>(it - points.begin()) - 1;
}

PriceSeriesLoad PriceSeriesFromTable(const prices::CsvReadResult& table) {
    PriceSeriesLoad load;
    if (!table.errorText.empty()) {
        load.errorText = table.errorText;
        return load;
    }
    for (const prices::DailyClose& row : table.closes) {
        if (!row.close) continue;
        if (!(*row.close > 0)) {
            load.errorText = "line " + std::to_string(row.line) + ": a close of " + CloseText(*row.close) +
                             " is not positive";
            load.series.points.clear();
            return load;
        }
        load.series.points.push_back({.day = row.dayNumber, .close = *row.close, .line = row.line});
    }
    load.series.column = table.closeColumn;
    if (load.series.Size() < kMinimumCloses) {
        load.errorText = "the table holds " + std::to_string(load.series.Size()) +
                         (load.series.Size() == 1 ? " close" : " closes") + "; a backtest needs at least " +
                         std::to_string(kMinimumCloses);
        load.series.points.clear();
    }
    return load;
}

PriceSeriesLoad ReadPriceSeriesFile(const std::string& path) {
    PriceSeriesLoad load;
    const util::InputFile input = util::OpenInputFile(path, kMaxInputBytes);
    if (!input.errorText.empty()) {
        load.errorText = input.errorText;
    } else {
        const prices::CsvReadResult table = prices::ReadDailyClosesCsv(*input.stream);
        if (input.stream->bad()) {
            load.errorText = "cannot read " + util::PrintableName(path);
        } else {
            load = PriceSeriesFromTable(table);
            if (!load.errorText.empty()) load.errorText = util::PrintableName(path) + ": " + load.errorText;
        }
    }
    load.series.source = path;
    return load;
}

PriceSeries ClipToRange(const PriceSeries& series, std::int32_t first, std::int32_t last) {
    PriceSeries clipped;
    clipped.source = series.source;
    clipped.column = series.column;
    for (const PricePoint& p : series.points)
        if (p.day >= first && p.day <= last) clipped.points.push_back(p);
    return clipped;
}

}  // namespace kovo::backtest
