#include "export/backtest_export.h"

#include <cmath>
#include <optional>

#include "astro/catalogue.h"
#include "backtest/backtest_table.h"
#include "backtest/text_columns.h"
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
    return {Cell::Of(backtest::StrategyName(s.trades)),
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

// A plain decimal with the table's digits: never scientific notation.
Cell Decimal(std::optional<double> value, int decimals) {
    const std::string text = backtest::Fixed(value, decimals);
    return text == "-" ? Cell{} : Cell::Number(text);
}

// A fraction shown as a percent with two decimals, as the window shows it.
Cell Pct(std::optional<double> fraction, int decimals = 2) {
    return fraction ? Decimal(*fraction * 100.0, decimals) : Cell{};
}

std::vector<std::string> RunColumns() {
    return {"pair", "centricity", "from", "to", "side", "orbs", "cost_bp", "source"};
}

std::vector<Cell> RunCells(const BacktestResult& r) {
    const auto& orbs = r.inputs.orbDegrees;
    return {Cell::Of(backtest::PairName(r.inputs)),
            Cell::Of(r.inputs.heliocentric ? "heliocentric" : "geocentric"),
            Cell::Of(calendar::FormatDayNumberIso8601(r.firstDay)),
            Cell::Of(calendar::FormatDayNumberIso8601(r.lastDay)),
            Cell::Of(backtest::SideName(r.inputs.side)),
            // A cycle or lunar backtest has no orbs: the days its rules hold after or around
            // an event instead.
            Cell::Of(r.inputs.lunar       ? "\u00b1" + std::to_string(r.inputs.daysAround) + "d"
                     : r.inputs.cycleBody ? "+" + std::to_string(r.inputs.daysAfter) + "d"
                                          : std::to_string(orbs[0]) + "/" + std::to_string(orbs[1]) + "/" + std::to_string(orbs[2])),
            Decimal(r.inputs.costBasisPoints, 2),
            Cell::Of(r.prices.source)};
}

std::optional<double> Ci(const backtest::RuleSignificance& s, bool low) {
    if (!s.interval) return std::nullopt;
    return low ? s.interval->lowPct : s.interval->highPct;
}

std::vector<Cell> TidyRow(const StrategyResult& s) {
    const backtest::BacktestStatistics& st = s.stats;
    const backtest::RuleSignificance& g = s.significance;
    const backtest::StrategyRisk& k = s.risk;
    const bool any = st.trades > 0;
    const bool hold = s.trades.IsBuyAndHold();
    return {Cell::Of(backtest::StrategyName(s.trades)),
            hold ? Cell{} : Count(s.trades.orbDegrees),
            Count(st.trades),
            Pct(st.profitableShare),
            Pct(st.meanReturn),
            Pct(st.medianReturn),
            any ? Pct(st.totalReturn) : Cell{},
            any ? Pct(st.annualisedReturn) : Cell{},
            Pct(st.maxDrawdown),
            Decimal(st.averageDaysHeld, 1),
            Pct(st.timeInMarket),
            Count(st.openAtEnd),
            Count(st.openedAtStart),
            Count(st.sameDayStays),
            Pct(g.baselineMean),
            Pct(g.baselineHitRate),
            Decimal(g.excessPct, 2),
            Decimal(g.PValue(), 4),
            Decimal(g.qValue, 4),
            Decimal(Ci(g, true), 2),
            Decimal(Ci(g, false), 2),
            hold ? Cell{} : Cell::Flag(g.Survives()),
            Pct(k.returnPerDayInMarket, 3),
            Pct(k.daily.annualisedVolatility),
            Decimal(k.daily.sharpe, 2),
            Decimal(k.daily.sortino, 2),
            Decimal(k.trades.profitFactor, 2),
            Pct(k.trades.averageWin),
            Pct(k.trades.averageLoss),
            Pct(k.trades.bestTrade),
            Pct(k.trades.worstTrade)};
}

std::string JsonStrategy(const StrategyResult& s) {
    const std::vector<Cell> row = StrategyRow(s);
    std::vector<std::pair<std::string, std::string>> members;
    for (std::size_t i = 0; i < row.size(); ++i) {
        // Buy-and-hold has no orb at all rather than a null one.
        if (i == 1 && s.trades.aspect == 0) continue;
        members.emplace_back(kStrategyKeys[i], JsonValue(row[i]));
    }
    const backtest::RuleSignificance& g = s.significance;
    const backtest::StrategyRisk& k = s.risk;
    const auto percent = [](std::optional<double> fraction) {
        return fraction ? std::optional<double>(*fraction * 100.0) : std::nullopt;
    };
    const std::pair<const char*, std::optional<double>> figures[] = {
        {"baselineMeanPct", percent(g.baselineMean)},
        {"baselineHitPct", percent(g.baselineHitRate)},
        {"excessPct", g.excessPct},
        {"pValue", g.PValue()},
        {"qValue", g.qValue},
        {"ciLowPct", Ci(g, true)},
        {"ciHighPct", Ci(g, false)},
        {"returnPerDayInMarket", k.returnPerDayInMarket},
        {"annualisedVolatility", k.daily.annualisedVolatility},
        {"sharpe", k.daily.sharpe},
        {"sortino", k.daily.sortino},
        {"profitFactor", k.trades.profitFactor},
        {"averageWin", k.trades.averageWin},
        {"averageLoss", k.trades.averageLoss},
        {"bestTrade", k.trades.bestTrade},
        {"worstTrade", k.trades.worstTrade}};
    for (const auto& [key, value] : figures) members.emplace_back(key, JsonValue(Fraction(value)));
    if (!s.trades.IsBuyAndHold()) members.emplace_back("passes", g.Survives() ? "true" : "false");
    return CompactObject(members);
}

std::string JsonTrades(const StrategyResult& s) {
    std::vector<std::string> list;
    for (const backtest::Trade& t : s.trades.trades)
        list.push_back(CompactObject({{"entryDate", util::JsonString(calendar::FormatDayNumberIso8601(t.entryDay))},
                                      {"entryClose", backtest::PlainNumber(t.entryClose)},
                                      {"exitDate", util::JsonString(calendar::FormatDayNumberIso8601(t.exitDay))},
                                      {"exitClose", backtest::PlainNumber(t.exitClose)},
                                      {"return", JsonValue(Fraction(t.tradeReturn))},
                                      {"daysHeld", std::to_string(t.exitDay - t.entryDay)},
                                      {"openedAtStart", t.openedAtStart ? "true" : "false"},
                                      {"openAtEnd", t.openAtEnd ? "true" : "false"}}));
    std::vector<std::pair<std::string, std::string>> members{
        {"aspect", util::JsonString(backtest::StrategyName(s.trades))}};
    if (s.trades.aspect != 0) members.emplace_back("orbDegrees", std::to_string(s.trades.orbDegrees));
    members.emplace_back("list", CompactArray(list));
    return CompactObject(members);
}

std::string JsonEventRow(const backtest::EventStudyRow& row) {
    std::vector<std::string> horizons;
    for (std::size_t h = 0; h < row.horizons.size(); ++h)
        horizons.push_back(CompactObject({{"tradingDays", std::to_string(backtest::kEventHorizons[h])},
                                          {"count", std::to_string(row.horizons[h].count)},
                                          {"mean", JsonValue(Fraction(row.horizons[h].mean))},
                                          {"median", JsonValue(Fraction(row.horizons[h].median))},
                                          {"seriesMean", JsonValue(Fraction(row.horizons[h].significance.baselineMean))},
                                          {"excessPct", JsonValue(Fraction(row.horizons[h].significance.excessPct))},
                                          {"tNeweyWest", JsonValue(Fraction(row.horizons[h].neweyWest
                                                                                ? std::optional<double>(row.horizons[h].neweyWest->t)
                                                                                : std::nullopt))},
                                          {"pValue", JsonValue(Fraction(row.horizons[h].significance.PValue()))},
                                          {"qValue", JsonValue(Fraction(row.horizons[h].significance.qValue))}}));
    return CompactObject({{"aspect", util::JsonString(backtest::EventRowName(row))},
                          {"events", std::to_string(row.events)},
                          {"horizons", CompactArray(horizons)}});
}

}  // namespace

ExportTable BacktestStatisticsTable(const BacktestResult& result) {
    ExportTable table;
    table.columns = RunColumns();
    for (const char* name : {"aspect", "orb_degrees", "trades", "profitable_pct", "mean_pct", "median_pct", "total_pct",
                             "annualised_pct", "max_drawdown_pct", "average_days_held", "in_market_pct", "open_at_end",
                             "opened_at_start", "same_day_stays", "baseline_mean_pct", "baseline_hit_pct", "excess_pct",
                             "p_value", "q_value", "ci_low_pct", "ci_high_pct", "passes_q10", "per_day_pct",
                             "volatility_pct", "sharpe", "sortino", "profit_factor", "avg_win_pct", "avg_loss_pct",
                             "best_pct", "worst_pct"})
        table.columns.emplace_back(name);
    const bool holdout = result.periods.size() == 2;
    if (holdout)
        for (const char* name : {"holdout_from", "trades_before", "excess_pct_before", "p_value_before",
                                 "q_value_before", "trades_after", "excess_pct_after", "p_value_after",
                                 "q_value_after", "held_out"})
            table.columns.emplace_back(name);
    const std::vector<Cell> run = RunCells(result);
    for (std::size_t i = 0; i <= result.strategies.size(); ++i) {
        const bool hold = i == result.strategies.size();
        const StrategyResult& s = hold ? result.buyAndHold : result.strategies[i];
        std::vector<Cell> row = run;
        for (Cell& cell : TidyRow(s)) row.push_back(std::move(cell));
        if (holdout) {
            row.push_back(Cell::Of(calendar::FormatDayNumberIso8601(*result.inputs.holdoutDay)));
            if (hold) {
                row.resize(table.columns.size());
            } else {
                const StrategyResult& before = result.periods[0].strategies[i];
                const StrategyResult& after = result.periods[1].strategies[i];
                for (const StrategyResult* part : {&before, &after}) {
                    row.push_back(Count(part->stats.trades));
                    row.push_back(Decimal(part->significance.excessPct, 2));
                    row.push_back(Decimal(part->significance.PValue(), 4));
                    row.push_back(Decimal(part->significance.qValue, 4));
                }
                const auto held = backtest::HeldOut(before.significance, after.significance);
                row.push_back(held ? Cell::Of(*held ? "yes" : "no") : Cell{});
            }
        }
        table.rows.push_back(std::move(row));
    }
    return table;
}

ExportTable EventStudyTable(const BacktestResult& result) {
    ExportTable table;
    table.columns = RunColumns();
    table.columns.emplace_back("aspect");
    table.columns.emplace_back("events");
    for (const int h : backtest::kEventHorizons) {
        const std::string d = "_" + std::to_string(h) + "d";
        for (const char* name : {"count", "mean_pct", "median_pct", "excess_pct", "t_newey_west", "p_value", "q_value"})
            table.columns.push_back(name + d);
    }
    const std::vector<Cell> run = RunCells(result);
    for (const backtest::EventStudyRow& row : result.eventStudy) {
        std::vector<Cell> cells = run;
        cells.push_back(Cell::Of(backtest::EventRowName(row)));
        cells.push_back(Count(row.events));
        for (const backtest::HorizonReturns& h : row.horizons) {
            cells.push_back(Count(h.count));
            cells.push_back(Pct(h.mean));
            cells.push_back(Pct(h.median));
            cells.push_back(Decimal(h.significance.excessPct, 2));
            cells.push_back(Decimal(h.neweyWest ? std::optional<double>(h.neweyWest->t) : std::nullopt, 2));
            cells.push_back(Decimal(h.significance.PValue(), 4));
            cells.push_back(Decimal(h.significance.qValue, 4));
        }
        table.rows.push_back(std::move(cells));
    }
    return table;
}

ExportTable TradesTable(const BacktestResult& result, const StrategyResult& strategy) {
    ExportTable table;
    table.columns = RunColumns();
    for (const char* name : {"aspect", "orb_degrees", "entry_date", "entry_close", "exit_date", "exit_close",
                             "return_pct", "days_held", "opened_at_start", "open_at_end"})
        table.columns.emplace_back(name);
    const std::vector<Cell> run = RunCells(result);
    for (const backtest::Trade& t : strategy.trades.trades) {
        std::vector<Cell> row = run;
        row.push_back(Cell::Of(backtest::StrategyName(strategy.trades)));
        row.push_back(strategy.trades.aspect == 0 ? Cell{} : Count(strategy.trades.orbDegrees));
        row.push_back(Cell::Of(calendar::FormatDayNumberIso8601(t.entryDay)));
        row.push_back(Cell::Number(backtest::PlainNumber(t.entryClose)));
        row.push_back(Cell::Of(calendar::FormatDayNumberIso8601(t.exitDay)));
        row.push_back(Cell::Number(backtest::PlainNumber(t.exitClose)));
        row.push_back(Pct(t.tradeReturn));
        row.push_back(Count(t.exitDay - t.entryDay));
        row.push_back(Cell::Flag(t.openedAtStart));
        row.push_back(Cell::Flag(t.openAtEnd));
        table.rows.push_back(std::move(row));
    }
    return table;
}

std::string BacktestCsv(const BacktestResult& result) { return CsvText(BacktestStatisticsTable(result), LineEnd::Lf); }

std::string EventStudyCsv(const BacktestResult& result) { return CsvText(EventStudyTable(result), LineEnd::Lf); }

std::string TradesCsv(const BacktestResult& result, const StrategyResult& strategy) {
    return CsvText(TradesTable(result, strategy), LineEnd::Lf);
}

namespace {

std::string JsonStrategies(const BacktestResult& r) {
    std::vector<std::string> strategies;
    for (const StrategyResult& s : r.strategies) strategies.push_back(JsonStrategy(s));
    return CompactArray(strategies);
}

std::string JsonPeriod(const BacktestResult& r) {
    return CompactObject({{"from", util::JsonString(calendar::FormatDayNumberIso8601(r.firstDay))},
                          {"to", util::JsonString(calendar::FormatDayNumberIso8601(r.lastDay))},
                          {"closes", std::to_string(r.prices.Size())},
                          {"rulesTested", std::to_string(r.rules.tested)},
                          {"rulesPassing", std::to_string(r.rules.passing)},
                          {"strategies", JsonStrategies(r)}});
}

std::string JsonHoldout(const BacktestResult& r) {
    std::vector<std::string> held;
    for (std::size_t i = 0; i < r.periods[0].strategies.size() && i < r.periods[1].strategies.size(); ++i) {
        const auto kept = backtest::HeldOut(r.periods[0].strategies[i].significance, r.periods[1].strategies[i].significance);
        held.emplace_back(kept ? (*kept ? "true" : "false") : "null");
    }
    return CompactObject({{"from", util::JsonString(calendar::FormatDayNumberIso8601(*r.inputs.holdoutDay))},
                          {"before", JsonPeriod(r.periods[0])},
                          {"after", JsonPeriod(r.periods[1])},
                          {"heldOut", CompactArray(held)}});
}

}  // namespace

std::string BacktestJson(const BacktestResult& r, const StrategyResult* trades) {
    std::vector<std::string> events;
    for (const backtest::EventStudyRow& row : r.eventStudy) events.push_back(JsonEventRow(row));
    std::vector<std::pair<std::string, std::string>> members{
        {"pair", util::JsonString(backtest::PairName(r.inputs))},
        {"heliocentric", r.inputs.heliocentric ? "true" : "false"},
        {"side", util::JsonString(backtest::SideName(r.inputs.side))},
        {"from", util::JsonString(calendar::FormatDayNumberIso8601(r.firstDay))},
        {"to", util::JsonString(calendar::FormatDayNumberIso8601(r.lastDay))},
        {"closes", std::to_string(r.prices.Size())},
        {"source", util::JsonString(r.prices.source)},
        {"column", util::JsonString(r.prices.column)},
        r.inputs.lunar       ? std::pair<std::string, std::string>{"daysAround", std::to_string(r.inputs.daysAround)}
        : r.inputs.cycleBody ? std::pair<std::string, std::string>{"daysAfter", std::to_string(r.inputs.daysAfter)}
                             : std::pair<std::string, std::string>{
                                 "orbsDegrees", CompactArray({std::to_string(r.inputs.orbDegrees[0]),
                                                              std::to_string(r.inputs.orbDegrees[1]),
                                                              std::to_string(r.inputs.orbDegrees[2])})},
        {"permutations", std::to_string(r.inputs.permutations)},
        {"seed", std::to_string(r.inputs.seed)},
        {"costBasisPoints", backtest::PlainNumber(r.inputs.costBasisPoints)},
        {"riskFreePct", backtest::PlainNumber(r.inputs.riskFreePct)},
        {"rulesTested", std::to_string(r.rules.tested)},
        {"rulesPassing", std::to_string(r.rules.passing)},
        {"eventsTested", std::to_string(r.events.tested)},
        {"eventsPassing", std::to_string(r.events.passing)},
        {"strategies", JsonStrategies(r)},
        {"buyAndHold", JsonStrategy(r.buyAndHold)},
        {"eventStudy", CompactArray(events)}};
    if (r.periods.size() == 2) members.emplace_back("holdout", JsonHoldout(r));
    if (trades) members.emplace_back("trades", JsonTrades(*trades));
    return CompactObject(members) + "\n";
}

}  // namespace kovo::exporting
