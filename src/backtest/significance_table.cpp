#include "backtest/significance_table.h"

#include "astro/catalogue.h"
#include "backtest/backtest_table.h"
#include "backtest/text_columns.h"
#include "calendar/calendar_services.h"
#include "util/text.h"

namespace kovo::backtest {

namespace {

std::string Date(std::int32_t day) { return calendar::FormatDayNumberIso8601(day); }

std::string RowStart(const StrategyTrades& trades) {
    return Left(StrategyName(trades), 13) + Left(OrbText(trades), 4);
}

std::optional<double> PValueOf(const RuleSignificance& s) { return s.PValue(); }

std::string SignificanceRow(const StrategyResult& s) {
    const RuleSignificance& g = s.significance;
    const auto ci = [&](bool low) -> std::optional<double> {
        if (!g.interval) return std::nullopt;
        return low ? g.interval->lowPct : g.interval->highPct;
    };
    return RowStart(s.trades) + Right(std::to_string(s.stats.trades), 7) + Right(Percent(g.baselineMean), 9) +
           Right(Percent(g.baselineHitRate), 9) + Right(Fixed(g.excessPct, 2), 9) + Right(Fixed(PValueOf(g), 4), 8) +
           Right(Fixed(g.qValue, 4), 8) + Right(Fixed(ci(true), 2), 9) + Right(Fixed(ci(false), 2), 9) +
           (g.Survives() ? "  yes" : "") + "\n";
}

std::string ComparisonRow(const StrategyResult& s) {
    const StrategyRisk& k = s.risk;
    const auto perDay = k.returnPerDayInMarket ? std::optional<double>(*k.returnPerDayInMarket * 100.0) : std::nullopt;
    return RowStart(s.trades) + Right(Fixed(perDay, 3), 8) + Right(Percent(k.daily.annualisedVolatility), 8) +
           Right(Fixed(k.daily.sharpe, 2), 8) + Right(Fixed(k.daily.sortino, 2), 8) +
           Right(Fixed(k.trades.profitFactor, 2), 8) + Right(Percent(k.trades.averageWin), 8) +
           Right(Percent(k.trades.averageLoss), 8) + Right(Percent(k.trades.bestTrade), 8) +
           Right(Percent(k.trades.worstTrade), 8) + "\n";
}

std::string HoldoutRow(const StrategyResult& before, const StrategyResult& after) {
    const auto half = [](const StrategyResult& s) {
        return Right(std::to_string(s.stats.trades), 7) + Right(Fixed(s.significance.excessPct, 2), 9) +
               Right(Fixed(s.significance.PValue(), 4), 8) + Right(Fixed(s.significance.qValue, 4), 8);
    };
    const std::optional<bool> held = HeldOut(before.significance, after.significance);
    return RowStart(before.trades) + half(before) + "  |" + half(after) +
           Right(held ? (*held ? "yes" : "no") : "-", 6) + "\n";
}

std::string HoldoutText(const BacktestResult& r) {
    if (r.periods.size() != 2) return {};
    const BacktestResult& before = r.periods[0];
    const BacktestResult& after = r.periods[1];
    std::string text = "\nHold-out from " + Date(*r.inputs.holdoutDay) + ": in sample " + Date(before.firstDay) +
                       " to " + Date(before.lastDay) + ", out of sample " + Date(after.firstDay) + " to " +
                       Date(after.lastDay) + "\n";
    text += Left("", 17) + Left("In sample", 32) + "   Out of sample\n";
    const std::string half = Right("Trades", 7) + Right("Excess%", 9) + Right("p", 8) + Right("q", 8);
    text += Left(RuleColumnName(r), 13) + Left("Orb", 4) + half + "  |" + half + Right("Held", 6) + "\n";
    int held = 0;
    int judged = 0;
    for (std::size_t i = 0; i < before.strategies.size() && i < after.strategies.size(); ++i) {
        text += HoldoutRow(before.strategies[i], after.strategies[i]);
        if (const auto kept = HeldOut(before.strategies[i].significance, after.strategies[i].significance)) {
            ++judged;
            held += *kept ? 1 : 0;
        }
    }
    text += "Held: whether the excess kept its sign out of sample; " + std::to_string(held) + " of " +
            std::to_string(judged) + " rules with an excess on both sides\nkept it. Each side's q-values are over "
            "its own rules.\n";
    return text;
}

std::string EventSignificanceText(const BacktestResult& r) {
    std::string text = "\nEvent study significance: excess over the series' mean return of the horizon, t with\n"
                       "Newey-West errors (lag h-1), two-sided p from circular shifts, q over the study's horizons\n";
    text += Left(r.inputs.NamedRules() ? "Event" : "Aspect", 13);
    for (const int h : kEventHorizons) {
        const std::string d = "+" + std::to_string(h);
        text += Right(d + " exc%", 10) + Right(d + " t", 7) + Right(d + " p", 8) + Right(d + " q", 8);
    }
    text += "\n";
    for (const EventStudyRow& row : r.eventStudy) {
        text += Left(EventRowName(row), 13);
        for (const HorizonReturns& h : row.horizons) {
            const auto t = h.neweyWest ? std::optional<double>(h.neweyWest->t) : std::nullopt;
            text += Right(Fixed(h.significance.excessPct, 2), 10) + Right(Fixed(t, 2), 7) +
                    Right(Fixed(h.significance.PValue(), 4), 8) + Right(Fixed(h.significance.qValue, 4), 8);
        }
        text += "\n";
    }
    return text;
}

std::string Plural(int n, const char* one, const char* many) { return std::to_string(n) + " " + (n == 1 ? one : many); }

}  // namespace

const StrategyResult* FindStrategy(const BacktestResult& result, int aspect, int orbDegrees) {
    if (aspect == 0) return &result.buyAndHold;
    for (const StrategyResult& s : result.strategies)
        if (s.trades.aspect == aspect && s.trades.orbDegrees == orbDegrees) return &s;
    return nullptr;
}

const StrategyResult* FindRule(const BacktestResult& result, const std::string& label) {
    const std::string wanted = util::ToLower(label);
    if (wanted == "hold" || wanted == "buy-and-hold") return &result.buyAndHold;
    for (const StrategyResult& s : result.strategies)
        if (util::ToLower(StrategyName(s.trades)) == wanted) return &s;
    return nullptr;
}

std::string RuleNames(const BacktestResult& result) {
    std::string names;
    for (const StrategyResult& s : result.strategies) names += StrategyName(s.trades) + ", ";
    return names + "hold";
}

std::string PlainWordsSummary(const BacktestResult& r) {
    return "\nIn plain words: " + Plural(r.rules.tested, "rule was", "rules were") + " tested and " +
           std::to_string(r.rules.passing) + " pass" + (r.rules.passing == 1 ? "es" : "") +
           " q < 0.10; of the event study's " + Plural(r.events.tested, "horizon", "horizons") + ",\n" +
           std::to_string(r.events.passing) + " pass" + (r.events.passing == 1 ? "es" : "") +
           ". On a series without any aspect effect, about one rule in ten would look this good by\n"
           "chance (p < 0.10), so a low p on its own proves little when many rules are tried. q corrects\n"
           "for that: among rules that pass q < 0.10, at most about one in ten is expected to be a fluke.\n";
}

std::string SignificanceText(const BacktestResult& r) {
    const BacktestParams& in = r.inputs;
    std::string text = "\nSignificance: " + std::to_string(in.permutations) +
                       " circular shifts of the calendar and as many bootstrap resamples, seed " +
                       std::to_string(in.seed) + ";\ncosts " + Fixed(in.costBasisPoints, 2) +
                       " bp on every entry and exit\n";
    text += Left(RuleColumnName(r), 13) + Left("Orb", 4) + Right("Trades", 7) + Right("Base%", 9) + Right("BaseHit%", 9) +
            Right("Excess%", 9) + Right("p", 8) + Right("q", 8) + Right("CIlow%", 9) + Right("CIhigh%", 9) + "  Pass\n";
    for (const StrategyResult& s : r.strategies) text += SignificanceRow(s);
    text += "Base%, BaseHit%: mean return and share of gains of as many holds of the same lengths started on\n"
            "every day of the series. Excess%: the mean trade return minus Base%. p: the share of circular\n"
            "shifts of the calendar that earned at least as much (one-sided). q: p corrected for the\n" +
            std::to_string(r.rules.tested) + " rules tested (Benjamini-Hochberg); Pass: q < 0.10.\nCI: 95 % "
            "bootstrap interval of the mean trade return.\n";

    text += "\nComparison with buy-and-hold (risk-free rate " + Fixed(in.riskFreePct, 2) + " % a year)\n";
    text += Left(RuleColumnName(r), 13) + Left("Orb", 4) + Right("Day%", 8) + Right("Vol%", 8) + Right("Sharpe", 8) +
            Right("Sortino", 8) + Right("PF", 8) + Right("Win%", 8) + Right("Loss%", 8) + Right("Best%", 8) +
            Right("Worst%", 8) + "\n";
    for (const StrategyResult& s : r.strategies) text += ComparisonRow(s);
    text += ComparisonRow(r.buyAndHold);
    text += "Day%: return per trading day in the market. Vol%: annualised volatility of the daily equity.\n"
            "Sharpe, Sortino: annualised, over every day of the range. PF: profit factor, gains over losses.\n"
            "Win%, Loss%: the average winning and losing trade. Best%, Worst%: the best and worst trade.\n";
    return text + HoldoutText(r) + EventSignificanceText(r) + PlainWordsSummary(r);
}

std::string TradesText(const BacktestResult& result, const StrategyResult& strategy) {
    std::string text = "\nTrades of " + StrategyLabel(strategy.trades) + " (" + SideName(result.inputs.side) + ")\n";
    text += Left("Entry", 12) + Right("Close", 12) + "  " + Left("Exit", 12) + Right("Close", 12) +
            Right("Return%", 9) + Right("Days", 6) + "  Marks\n";
    for (const Trade& t : strategy.trades.trades) {
        std::string marks;
        if (t.openedAtStart) marks += "opened at start";
        if (t.openAtEnd) marks += std::string(marks.empty() ? "" : ", ") + "open at end";
        text += Left(Date(t.entryDay), 12) + Right(PlainNumber(t.entryClose), 12) + "  " + Left(Date(t.exitDay), 12) +
                Right(PlainNumber(t.exitClose), 12) + Right(Percent(t.tradeReturn), 9) +
                Right(std::to_string(t.exitDay - t.entryDay), 6) + (marks.empty() ? "" : "  " + marks) + "\n";
    }
    return text;
}

}  // namespace kovo::backtest
