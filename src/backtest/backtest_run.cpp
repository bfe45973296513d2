#include "backtest/backtest_run.h"

#include <atomic>
#include <variant>

#include "astro/catalogue.h"
#include "backtest/cycle_rules.h"
#include "backtest/lunar_rules.h"
#include "calendar/calendar_services.h"
#include "calendar/iso_date.h"
#include "cycles/zodiac_track.h"
#include "calendar/date_entry.h"
#include "transits/transit_runs.h"

namespace kovo::backtest {

namespace {

// The host the transit run sees: the report text goes nowhere, the messages, progress
// and stop requests are the backtest's own host's.
class ScanHost final : public util::RunHost {
public:
    explicit ScanHost(util::RunHost& host) : host_(host) {}

    util::Answer ShowMessage(const util::Message& message) override {
        last_ = message.text;
        return host_.ShowMessage(message);
    }
    void Progress(double fraction, std::int32_t day) override { host_.Progress(fraction, day); }
    util::ReportSink& Report() override { return discard_; }
    util::CancelToken& Cancel() override { return host_.Cancel(); }
    // The text of the last message: the reason of a refusal.
    const std::string& Last() const { return last_; }

private:
    util::RunHost& host_;
    util::DiscardingSink discard_;
    std::string last_;
};

// The two-planet run's checks of the days and the pair, in its order and with its
// messages; the days are the closes' own, so only their limits and the data can refuse.
bool ScanRefused(const BacktestParams& params, const transits::TransitRequest& r, util::MessageSink& sink) {
    const int first = astro::PlanetIndex(r.first);
    const int second = astro::PlanetIndex(r.second);
    const std::string caption = PairName(params);
    calendar::DateEntryModel days;
    days.DayNumbers = {r.firstDay, r.lastDay};
    for (int which = 0; which < 2; ++which)
        if (!calendar::CheckDateLimits(days, which, caption, sink)) return true;
    if (second == astro::kMoon && r.heliocentric) {
        sink.ShowMessage({.text = "The Moon is seen from the Earth: heliocentrically there is no Moon.",
                          .title = caption,
                          .icon = util::MessageIcon::Exclamation});
        return true;
    }
    if (first == second) {
        sink.ShowMessage({.text = "Transit of a planet to itself is not possible.",
                          .title = caption,
                          .icon = util::MessageIcon::Exclamation});
        return true;
    }
    if (second < first) {
        sink.ShowMessage({.text = "Second planet must be beyond first planet",
                          .title = caption,
                          .icon = util::MessageIcon::Information});
        return true;
    }
    const auto& orbs = r.orbDegrees;
    if (!calendar::CheckOrbsDecreasing(orbs[0] - 1, orbs[1] - 1, orbs[2] - 1, sink)) return true;
    if ((first == astro::kPluto || second == astro::kPluto) && !params.pluto.available) {
        sink.ShowMessage({.text = astro::PlutoUnavailableText(params.pluto),
                          .title = caption,
                          .icon = util::MessageIcon::Exclamation});
        return true;
    }
    for (int which = 0; which < 2; ++which)
        if (!calendar::CheckPlanetDataCoverage(days, which, first, second, r.heliocentric, sink)) return true;
    return false;
}

transits::TransitRequest ScanRequest(const BacktestParams& params, std::int32_t firstDay, std::int32_t lastDay) {
    transits::TransitRequest r;
    r.first = params.first;
    r.second = params.second;
    r.heliocentric = params.heliocentric;
    r.firstDay = firstDay;
    r.lastDay = lastDay;
    for (std::size_t a = 1; a <= astro::kAspectCount; ++a) r.aspects[a] = params.aspects[a - 1];
    r.orbDegrees = params.orbDegrees;
    r.zone = params.zone;
    r.outputLimit = std::nullopt;
    return r;
}

BacktestResult Refused(const BacktestParams& params, util::RunHost& host, std::string text) {
    host.ShowMessage({.text = text, .title = kBacktestTitle, .icon = util::MessageIcon::Exclamation});
    BacktestResult result;
    result.inputs = params;
    result.refusal = std::move(text);
    return result;
}

BacktestResult Stopped(const BacktestParams& params, const PairScan& scan) {
    BacktestResult result;
    result.inputs = params;
    result.outcome = scan.outcome;
    result.refusal = scan.refusal;
    return result;
}

PairScan RefusedScan(util::RunHost& host, std::string text) {
    host.ShowMessage({.text = text, .title = kBacktestTitle, .icon = util::MessageIcon::Exclamation});
    PairScan scan;
    scan.refusal = std::move(text);
    return scan;
}

// A cycle backtest needs no transit scan: the cycles and ingresses of the closes' span
// are found directly (a little beyond it, for the spells the span cuts).
PairScan ScanNamedRules(const BacktestParams& params, const PriceSeries& prices, util::RunHost& host) {
    const std::string body = params.lunar ? std::string("the Moon or the Sun")
                                          : astro::PlanetName(astro::PlanetIndex(*params.cycleBody), false, false);
    if (params.heliocentric && params.lunar)
        return RefusedScan(host,
                           "The Moon's phases are seen from the Earth: heliocentrically there is no Moon. A lunar "
                           "backtest is geocentric.");
    if (params.heliocentric)
        return RefusedScan(host,
                           "Heliocentric positions never station: seen from the Sun every planet moves forward all "
                           "the time. A cycle backtest is geocentric.");
    const std::int32_t first = prices.points.front().day;
    const std::int32_t last = prices.points.back().day;
    if (first < *calendar::DayNumberOf({cycles::kFirstYear, 1, 1}) || last > *calendar::DayNumberOf({cycles::kLastYear, 12, 31}))
        return RefusedScan(host, "The closes must lie within the years the ephemeris covers, 1600 to 2199.");
    const double fromUt = first - 0.5 - params.zone.At(first - 0.5).days;
    const double toUt = last + 0.5 - params.zone.At(last + 0.5).days;
    bool missing = false;
    CycleMarks marks = params.lunar ? LunarMarksOf(fromUt, toUt, params.zone, missing)
                                    : CycleMarksOf(*params.cycleBody, fromUt, toUt, params.zone, missing);
    if (missing)
        return RefusedScan(host, "The ephemeris gave no position of " + body +
                                     " for some days of the range (are its data files installed?).");
    PairScan scan;
    scan.outcome = util::RunOutcome::Completed;
    scan.stays = std::move(marks.spells);
    scan.exacts = std::move(marks.events);
    return scan;
}

}  // namespace

std::string PairName(const BacktestParams& params) {
    if (params.lunar) return "Moon phases";
    if (params.cycleBody) return astro::PlanetName(astro::PlanetIndex(*params.cycleBody), false, false) + " cycles";
    return transits::PairName(params.first, params.second, params.heliocentric);
}

std::string PairIdentity(const BacktestParams& params) {
    if (params.NamedRules()) return PairName(params) + " geo";
    const auto name = [&](astro::Body body) {
        return astro::PlanetName(astro::PlanetIndex(body), params.heliocentric, false);
    };
    return name(params.first) + "-" + name(params.second) + (params.heliocentric ? " helio" : " geo");
}

std::string RuleIdentity(const BacktestParams& params, int aspect, int orbDegrees) {
    return PairIdentity(params) + (params.side == Side::Long ? " long " : " short ") + std::to_string(aspect) + " " +
           std::to_string(orbDegrees);
}

std::optional<bool> HeldOut(const RuleSignificance& before, const RuleSignificance& after) {
    if (!before.excessPct || !after.excessPct || *before.excessPct == 0 || *after.excessPct == 0) return std::nullopt;
    return (*before.excessPct > 0) == (*after.excessPct > 0);
}

std::string HoldoutRefusal(const PriceSeries& prices, std::int32_t holdoutDay) {
    std::size_t before = 0;
    for (const PricePoint& point : prices.points) before += point.day < holdoutDay ? 1 : 0;
    const std::size_t after = prices.Size() - before;
    if (before >= kMinimumCloses && after >= kMinimumCloses) return {};
    return "The hold-out date " + calendar::FormatDayNumberIso8601(holdoutDay) + " leaves " +
           std::to_string(before) + " close" + (before == 1 ? "" : "s") + " before it and " + std::to_string(after) +
           " from it on; each side needs at least 2.";
}

namespace {

std::string IdentityOf(const BacktestParams& params, const StrategyTrades& trades) {
    if (trades.rule.empty()) return RuleIdentity(params, trades.aspect, trades.orbDegrees);
    return PairIdentity(params) + (params.side == Side::Long ? " long " : " short ") + trades.rule;
}

std::vector<StrategyTrades> TradesOf(const BacktestParams& params, const PriceSeries& prices,
                                     const std::vector<OrbStay>& stays, const std::vector<ExactEvent>& exacts) {
    if (params.lunar)
        return BuildLunarTrades({.spells = stays, .events = exacts}, prices, params.side, params.daysAround,
                                params.CostFraction());
    if (!params.cycleBody)
        return BuildTrades(stays, prices, params.side, params.aspects, params.orbDegrees, params.CostFraction());
    return BuildCycleTrades({.spells = stays, .events = exacts}, prices, params.side, params.daysAfter,
                            *params.cycleBody != astro::Body::Sun, params.CostFraction());
}

std::vector<EventStudyRow> EventsOf(const BacktestParams& params, const PriceSeries& prices,
                                    const std::vector<ExactEvent>& exacts, SignificanceContext& context) {
    if (params.lunar) {
        std::vector<EventStudyRow> rows =
            StudyEvents(exacts, prices, {true, true, true, true, true, true, false}, PairIdentity(params), context);
        for (EventStudyRow& row : rows) row.label = LunarEventName(row.aspect);
        return rows;
    }
    if (!params.cycleBody) return StudyEvents(exacts, prices, params.aspects, PairIdentity(params), context);
    // The cycle events take the places of the first aspects: stations, then ingresses.
    const bool stations = *params.cycleBody != astro::Body::Sun;
    std::vector<EventStudyRow> rows =
        StudyEvents(exacts, prices, {stations, stations, true, false, false, false, false}, PairIdentity(params), context);
    for (EventStudyRow& row : rows) row.label = CycleEventName(row.aspect);
    return rows;
}

bool StopSet(const std::atomic<bool>* stop) { return stop != nullptr && stop->load(std::memory_order_relaxed); }

BacktestResult EvaluateRange(const BacktestParams& params, const PriceSeries& prices, const std::vector<OrbStay>& stays,
                             const std::vector<ExactEvent>& exacts, const std::atomic<bool>* stop) {
    BacktestResult result;
    result.inputs = params;
    result.outcome = util::RunOutcome::Completed;
    result.prices = prices;
    result.firstDay = prices.points.front().day;
    result.lastDay = prices.points.back().day;
    const double cost = params.CostFraction();
    SignificanceContext context(prices, params.permutations, params.seed, cost);
    for (StrategyTrades& trades : TradesOf(params, prices, stays, exacts)) {
        // A rule's shifts and resamples are the long part: a stop is heard between rules.
        if (StopSet(stop)) {
            result.outcome = util::RunOutcome::Stopped;
            return result;
        }
        StrategyResult strategy;
        strategy.stats = StatisticsOf(trades, prices, params.side, cost);
        strategy.significance = SignificanceOf(trades.trades, params.side, IdentityOf(params, trades), context);
        strategy.risk = RiskOf(trades.trades, prices, params.side, cost, params.riskFreePct);
        strategy.trades = std::move(trades);
        result.strategies.push_back(std::move(strategy));
    }
    std::vector<RuleSignificance*> family;
    for (StrategyResult& strategy : result.strategies) family.push_back(&strategy.significance);
    result.rules = FillQValues(family);
    result.buyAndHold.trades = BuyAndHoldTrades(prices, cost);
    result.buyAndHold.stats = StatisticsOf(result.buyAndHold.trades, prices, Side::Long, cost);
    result.buyAndHold.risk = RiskOf(result.buyAndHold.trades.trades, prices, Side::Long, cost, params.riskFreePct);
    if (!params.eventStudy) return result;
    result.eventStudy = EventsOf(params, prices, exacts, context);
    result.events = FillQValues(EventFamily(result.eventStudy));
    return result;
}

}  // namespace

BacktestResult EvaluateBacktest(const BacktestParams& params, const PriceSeries& prices, std::vector<OrbStay> stays,
                                std::vector<ExactEvent> exacts, const std::atomic<bool>* stop) {
    BacktestResult result = EvaluateRange(params, prices, stays, exacts, stop);
    if (params.holdoutDay && HoldoutRefusal(prices, *params.holdoutDay).empty()) {
        BacktestParams part = params;
        part.holdoutDay.reset();
        const std::int32_t day = *params.holdoutDay;
        result.periods.push_back(EvaluateRange(part, ClipToRange(prices, prices.points.front().day, day - 1), stays, exacts, stop));
        result.periods.push_back(EvaluateRange(part, ClipToRange(prices, day, prices.points.back().day), stays, exacts, stop));
        if (StopSet(stop)) result.outcome = util::RunOutcome::Stopped;
    }
    result.stays = std::move(stays);
    result.exacts = std::move(exacts);
    return result;
}

std::variant<PriceSeries, std::string> BacktestRange(const BacktestParams& params, const PriceSeries& series) {
    if (series.Empty()) return std::string("The price series holds no closes.");
    const std::int32_t from = params.fromDay.value_or(series.points.front().day);
    const std::int32_t to = params.toDay.value_or(series.points.back().day);
    if (from > to)
        return "The start date " + calendar::FormatDayNumberIso8601(from) + " is after the end date " +
               calendar::FormatDayNumberIso8601(to) + ".";
    PriceSeries prices = ClipToRange(series, from, to);
    if (prices.Size() < kMinimumCloses)
        return "The price series holds " + std::to_string(prices.Size()) + " close" + (prices.Size() == 1 ? "" : "s") +
               " from " + calendar::FormatDayNumberIso8601(from) + " to " + calendar::FormatDayNumberIso8601(to) +
               "; a backtest needs at least 2.";
    if (params.holdoutDay) {
        if (std::string why = HoldoutRefusal(prices, *params.holdoutDay); !why.empty()) return why;
    }
    // Only the closes' own span is scanned: days before the first close or after the last
    // trade nothing, and a wide range would cost seconds per century.
    const std::int32_t firstClose = prices.points.front().day;
    const std::int32_t lastClose = prices.points.back().day;
    if (lastClose - firstClose < kMinimumScanDays)
        return "The closes from " + calendar::FormatDayNumberIso8601(firstClose) + " to " +
               calendar::FormatDayNumberIso8601(lastClose) + " span less than " + std::to_string(kMinimumScanDays) +
               " days; a backtest needs a longer series.";
    return prices;
}

PairScan ScanForBacktest(const BacktestParams& params, const PriceSeries& prices, util::RunHost& host) {
    if (params.NamedRules()) return ScanNamedRules(params, prices, host);
    // The scan backs off its start by itself when the pair is already inside an orb.
    const transits::TransitRequest request = ScanRequest(params, prices.points.front().day, prices.points.back().day);
    ScanHost scanHost(host);
    PairScan result;
    if (ScanRefused(params, request, scanHost)) {
        result.refusal = scanHost.Last();
        return result;
    }
    const transits::TransitResult scan = transits::RunTwoPlanet(request, scanHost);
    result.outcome = scan.outcome;
    result.refusal = scan.refusal;
    if (scan.outcome == util::RunOutcome::Refused || scan.outcome == util::RunOutcome::Failed ||
        scan.outcome == util::RunOutcome::Stopped)
        return result;
    result.stays = OrbStaysOf(scan);
    result.exacts = ExactEventsOf(scan);
    return result;
}

BacktestResult RunBacktest(const BacktestParams& params, const PriceSeries& series, util::RunHost& host) {
    auto range = BacktestRange(params, series);
    if (auto* why = std::get_if<std::string>(&range)) return Refused(params, host, std::move(*why));
    const PriceSeries& prices = std::get<PriceSeries>(range);
    PairScan scan = ScanForBacktest(params, prices, host);
    if (!scan.Traded()) return Stopped(params, scan);
    BacktestResult result = EvaluateBacktest(params, prices, std::move(scan.stays), std::move(scan.exacts));
    result.outcome = scan.outcome;
    return result;
}

}  // namespace kovo::backtest
