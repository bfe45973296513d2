#include "backtest/backtest_table.h"

#include <charconv>

#include "astro/catalogue.h"
#include "backtest/significance_table.h"
#include "backtest/text_columns.h"
#include "calendar/calendar_services.h"

namespace kovo::backtest {

std::string OrbText(const StrategyTrades& s) { return s.aspect == 0 ? "" : std::to_string(s.orbDegrees) + "°"; }

namespace {

// Days held: a tenth is enough.
std::string OneDecimal(std::optional<double> value) { return Fixed(value, 1); }

std::string Heading(const BacktestResult& r) {
    return "Backtest of " + PairName(r.inputs) + ", " + (r.inputs.heliocentric ? "heliocentric" : "geocentric") +
           ", " + SideName(r.inputs.side) + ", " + calendar::FormatDayNumberIso8601(r.firstDay) + " to " +
           calendar::FormatDayNumberIso8601(r.lastDay) + ", " + std::to_string(r.prices.Size()) + " closes" +
           (r.prices.source.empty() ? "" : " of " + r.prices.source) +
           (r.prices.column.empty() ? "" : ", column " + r.prices.column);
}

std::string TextRow(const StrategyResult& s) {
    const BacktestStatistics& st = s.stats;
    const bool any = st.trades > 0;
    return Left(StrategyName(s.trades), 13) + Left(OrbText(s.trades), 4) + Right(std::to_string(st.trades), 7) +
           Right(Percent(st.profitableShare), 9) + Right(Percent(st.meanReturn), 9) + Right(Percent(st.medianReturn), 9) +
           Right(any ? Percent(st.totalReturn) : "-", 10) + Right(any ? Percent(st.annualisedReturn) : "-", 9) +
           Right(Percent(st.maxDrawdown), 9) + Right(OneDecimal(st.averageDaysHeld), 8) +
           Right(Percent(st.timeInMarket), 9) + Right(std::to_string(st.openAtEnd), 6) +
           Right(std::to_string(st.openedAtStart), 7) + Right(std::to_string(st.sameDayStays), 6) + "\n";
}

std::string EventTextRow(const EventStudyRow& row) {
    std::string line = Left(EventRowName(row), 13) +
                       Right(std::to_string(row.events), 7);
    for (const HorizonReturns& h : row.horizons)
        line += Right(std::to_string(h.count), 6) + Right(Percent(h.mean), 11) + Right(Percent(h.median), 10);
    return line + "\n";
}

}  // namespace

std::string PlainNumber(double value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 10);
    std::string text(buffer, result.ptr);
    return text == "-0" ? "0" : text;
}

const char* SideName(Side side) { return side == Side::Long ? "long" : "short"; }

std::string StrategyName(const StrategyTrades& strategy) {
    return strategy.rule.empty() ? StrategyAspectName(strategy.aspect) : strategy.rule;
}

std::string EventRowName(const EventStudyRow& row) {
    return row.label.empty() ? astro::AspectName[static_cast<std::size_t>(row.aspect)] : row.label;
}

const char* RuleColumnName(const BacktestResult& r) { return r.inputs.NamedRules() ? "Rule" : "Aspect"; }

std::string StrategyAspectName(int aspect) {
    return aspect == 0 ? "Buy and hold" : astro::AspectName[static_cast<std::size_t>(aspect)];
}

std::string StrategyLabel(const StrategyTrades& strategy) {
    return strategy.aspect == 0 ? StrategyName(strategy) : StrategyAspectName(strategy.aspect) + " " + OrbText(strategy);
}

std::string BacktestText(const BacktestResult& r) {
    std::string text = Heading(r) + "\n\n";
    text += Left(RuleColumnName(r), 13) + Left("Orb", 4) + Right("Trades", 7) + Right("Profit%", 9) + Right("Mean%", 9) +
            Right("Median%", 9) + Right("Total%", 10) + Right("Annual%", 9) + Right("MaxDD%", 9) + Right("Days", 8) +
            Right("InMkt%", 9) + Right("Open", 6) + Right("Start", 7) + Right("Same", 6) + "\n";
    for (const StrategyResult& s : r.strategies) text += TextRow(s);
    text += TextRow(r.buyAndHold);
    text += "\nProfit%: share of trades that gained. Total%: all trades compounded; Annual%: that over the whole "
            "range.\nMaxDD%: the deepest fall of the daily equity curve from its high. Days: calendar days held on "
            "average.\nInMkt%: share of the range spent in a trade. Open: trades still open at the end, closed at the "
            "last\nclose; Start: trades opened at the first close, the orb entered before the range; Same: stays "
            "opened\nand closed on one trading day (no trade).\n";
    text += std::string("\nEvent study: returns from the last close before the day of each ") +
            (r.inputs.lunar ? "phase and eclipse\n" : r.inputs.cycleBody ? "station and ingress\n" : "exact aspect\n");
    text += Left(r.inputs.NamedRules() ? "Event" : "Aspect", 13) + Right("Events", 7);
    for (const int h : kEventHorizons) {
        const std::string d = "+" + std::to_string(h);
        text += Right(d + " n", 6) + Right(d + " mean%", 11) + Right(d + " med%", 10);
    }
    text += "\n";
    for (const EventStudyRow& row : r.eventStudy) text += EventTextRow(row);
    return text + SignificanceText(r);
}

}  // namespace kovo::backtest
