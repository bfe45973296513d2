#include "export/backtest_export.h"

#include <cmath>
#include <optional>

#include "astro/catalogue.h"
#include "backtest/backtest_table.h"
#include "calendar/calendar_services.h"
#include "export/delimited_text.h"
#include "export/json_document.h"
#include "util/json_text.h"

namespace kovo::exporting {

namespace {

using backtest::BacktestResult;
using backtest::StrategyResult;

// JSON names of the statistics columns, in the CSV's order.
constexpr const char* kStrategyKeys[] = {"aspect",          "orbDegrees",   "trades",         "profitableShare",
                                         "meanReturn",      "medianReturn", "totalReturn",    "annualisedReturn",
                                         "maxDrawdown",     "averageDaysHeld", "timeInMarket", "openAtEnd",
                                         "openedAtStart",   "sameDayStays"};

Cell Fraction(std::optional<double> value) {
    return value && std::isfinite(*value) ? Cell::Number(backtest::PlainNumber(*value)) : Cell{};
}

Cell Count(int value) { return Cell::Number(std::to_string(value)); }

std::vector<Cell> StrategyRow(const StrategyResult& s) {
    const backtest::BacktestStatistics& st = s.stats;
    const bool any = st.trades > 0;
    return {Cell::Of(backtest::StrategyAspectName(s.trades.aspect)),
            s.trades.aspect == 0 ? Cell{} : Count(s.trades.orbDegrees),
            Count(st.trades),
            Fraction(st.profitableShare),
            Fraction(st.meanReturn),
            Fraction(st.medianReturn),
            any ? Fraction(st.totalReturn) : Cell{},
            any ? Fraction(st.annualisedReturn) : Cell{},
            Fraction(st.maxDrawdown),
            Fraction(st.averageDaysHeld),
            Fraction(st.timeInMarket),
            Count(st.openAtEnd),
            Count(st.openedAtStart),
            Count(st.sameDayStays)};
}

std::string JsonStrategy(const StrategyResult& s) {
    const std::vector<Cell> row = StrategyRow(s);
    std::vector<std::pair<std::string, std::string>> members;
    for (std::size_t i = 0; i < row.size(); ++i) {
        // Buy-and-hold has no orb at all rather than a null one.
        if (i == 1 && s.trades.aspect == 0) continue;
        members.emplace_back(kStrategyKeys[i], JsonValue(row[i]));
    }
    return CompactObject(members);
}

std::string JsonEventRow(const backtest::EventStudyRow& row) {
    std::vector<std::string> horizons;
    for (std::size_t h = 0; h < row.horizons.size(); ++h)
        horizons.push_back(CompactObject({{"tradingDays", std::to_string(backtest::kEventHorizons[h])},
                                          {"count", std::to_string(row.horizons[h].count)},
                                          {"mean", JsonValue(Fraction(row.horizons[h].mean))},
                                          {"median", JsonValue(Fraction(row.horizons[h].median))}}));
    return CompactObject({{"aspect", util::JsonString(astro::AspectName[static_cast<std::size_t>(row.aspect)])},
                          {"events", std::to_string(row.events)},
                          {"horizons", CompactArray(horizons)}});
}

}  // namespace

ExportTable BacktestStatisticsTable(const BacktestResult& result) {
    ExportTable table;
    table.columns = {"aspect",         "orb_degrees",       "trades",       "profitable_share", "mean_return",
                     "median_return",  "total_return",      "annualised_return", "max_drawdown",
                     "average_days_held", "time_in_market", "open_at_end",  "opened_at_start",  "same_day_stays"};
    for (const StrategyResult& s : result.strategies) table.rows.push_back(StrategyRow(s));
    table.rows.push_back(StrategyRow(result.buyAndHold));
    return table;
}

ExportTable EventStudyTable(const BacktestResult& result) {
    ExportTable table;
    table.columns = {"aspect", "events"};
    for (const int h : backtest::kEventHorizons) {
        const std::string d = std::to_string(h);
        for (const char* name : {"count_", "mean_", "median_"}) table.columns.push_back(name + d + "d");
    }
    for (const backtest::EventStudyRow& row : result.eventStudy) {
        std::vector<Cell> cells{Cell::Of(astro::AspectName[static_cast<std::size_t>(row.aspect)]), Count(row.events)};
        for (const backtest::HorizonReturns& h : row.horizons) {
            cells.push_back(Count(h.count));
            cells.push_back(Fraction(h.mean));
            cells.push_back(Fraction(h.median));
        }
        table.rows.push_back(std::move(cells));
    }
    return table;
}

std::string BacktestCsv(const BacktestResult& result) {
    return CsvText(BacktestStatisticsTable(result), LineEnd::Lf) + "\n" + CsvText(EventStudyTable(result), LineEnd::Lf);
}

std::string BacktestJson(const BacktestResult& r) {
    std::vector<std::string> strategies;
    for (const StrategyResult& s : r.strategies) strategies.push_back(JsonStrategy(s));
    std::vector<std::string> events;
    for (const backtest::EventStudyRow& row : r.eventStudy) events.push_back(JsonEventRow(row));
    return CompactObject({{"pair", util::JsonString(backtest::PairName(r.inputs))},
                          {"heliocentric", r.inputs.heliocentric ? "true" : "false"},
                          {"side", util::JsonString(backtest::SideName(r.inputs.side))},
                          {"from", util::JsonString(calendar::FormatDayNumberIso8601(r.firstDay))},
                          {"to", util::JsonString(calendar::FormatDayNumberIso8601(r.lastDay))},
                          {"closes", std::to_string(r.prices.Size())},
                          {"source", util::JsonString(r.prices.source)},
                          {"column", util::JsonString(r.prices.column)},
                          {"strategies", CompactArray(strategies)},
                          {"buyAndHold", JsonStrategy(r.buyAndHold)},
                          {"eventStudy", CompactArray(events)}}) +
           "\n";
}

}  // namespace kovo::exporting
