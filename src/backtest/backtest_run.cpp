#include "backtest/backtest_run.h"

#include "astro/catalogue.h"
#include "calendar/calendar_services.h"
#include "calendar/date_entry.h"
#include "calendar/time_zones.h"
#include "transits/transit_runs.h"

namespace kovo::backtest {

namespace {

// The host the transit run sees: the report text and the window calls go nowhere, the
// messages, yields and progress reach the backtest's own host.
class ScanHost final : public util::QuietRunHost {
public:
    explicit ScanHost(util::RunHost& host) : host_(host) {}

    util::Answer ShowMessage(const util::Message& message) override { return host_.ShowMessage(message); }
    void Yield() override { host_.Yield(); }
    void Progress(double fraction) override { host_.Progress(fraction); }

private:
    util::RunHost& host_;
};

transits::TransitInputs ScanInputs(const BacktestParams& params) {
    transits::TransitInputs in;
    in.firstListPos = params.firstPlanet == astro::kPluto ? -1 : params.firstPlanet - 1;
    in.secondListPos = params.secondPlanet - 2;
    in.orbPositions = {params.orbDegrees[0] - 1, params.orbDegrees[1] - 1, params.orbDegrees[2] - 1, 3};
    in.aspectChecked = params.aspects;
    in.heliocentric = params.heliocentric;
    in.timezonePosition = params.timezonePosition;
    in.timezoneText = calendar::TimeZoneText(params.timezonePosition, false);
    in.namedZone = params.namedZone;
    in.pluto = params.pluto;
    in.outputLimit = std::nullopt;
    return in;
}

BacktestResult Refused(const BacktestParams& params, util::RunHost& host, std::string text) {
    host.ShowMessage({.text = text, .title = kBacktestTitle, .icon = util::MessageIcon::Exclamation});
    BacktestResult result;
    result.inputs = params;
    result.refusal = std::move(text);
    return result;
}

}  // namespace

std::string PairName(const BacktestParams& params) {
    return astro::PlanetName(params.firstPlanet, params.heliocentric, false) + " and " +
           astro::PlanetName(params.secondPlanet, params.heliocentric, false);
}

BacktestResult EvaluateBacktest(const BacktestParams& params, const PriceSeries& prices, std::vector<OrbStay> stays,
                                std::vector<ExactEvent> exacts) {
    BacktestResult result;
    result.inputs = params;
    result.outcome = util::RunOutcome::Completed;
    result.prices = prices;
    result.firstDay = prices.points.front().day;
    result.lastDay = prices.points.back().day;
    for (StrategyTrades& trades : BuildTrades(stays, prices, params.side, params.aspects, params.orbDegrees)) {
        BacktestStatistics stats = StatisticsOf(trades, prices, params.side);
        result.strategies.push_back({.trades = std::move(trades), .stats = stats});
    }
    result.buyAndHold.trades = BuyAndHoldTrades(prices);
    result.buyAndHold.stats = StatisticsOf(result.buyAndHold.trades, prices, Side::Long);
    result.eventStudy = StudyEvents(exacts, prices, params.aspects);
    result.stays = std::move(stays);
    result.exacts = std::move(exacts);
    return result;
}

BacktestResult RunBacktest(const BacktestParams& params, const PriceSeries& series, util::RunFlags& flags,
                           util::RunHost& host) {
    if (series.Empty()) return Refused(params, host, "The price series holds no closes.");
    const std::int32_t from = params.fromDay.value_or(series.points.front().day);
    const std::int32_t to = params.toDay.value_or(series.points.back().day);
    if (from > to)
        return Refused(params, host,
                       "The start date " + calendar::FormatDayNumberIso8601(from) + " is after the end date " +
                           calendar::FormatDayNumberIso8601(to) + ".");
    const PriceSeries prices = ClipToRange(series, from, to);
    if (prices.Size() < kMinimumCloses)
        return Refused(params, host,
                       "The price series holds " + std::to_string(prices.Size()) + " close" +
                           (prices.Size() == 1 ? "" : "s") + " from " + calendar::FormatDayNumberIso8601(from) + " to " +
                           calendar::FormatDayNumberIso8601(to) + "; a backtest needs at least 2.");

    // Only the closes' own span is scanned: days before the first close or after the last
    // trade nothing, and a wide range would cost seconds per century. The scan backs off
    // its start by itself when the pair is already inside an orb.
    const std::int32_t firstClose = prices.points.front().day;
    const std::int32_t lastClose = prices.points.back().day;
    if (lastClose - firstClose < kMinimumScanDays)
        return Refused(params, host,
                       "The closes from " + calendar::FormatDayNumberIso8601(firstClose) + " to " +
                           calendar::FormatDayNumberIso8601(lastClose) + " span less than " +
                           std::to_string(kMinimumScanDays) + " days; a backtest needs a longer series.");

    transits::TransitInputs inputs = ScanInputs(params);
    calendar::DateEntryModel dates;
    calendar::WriteDateFields(dates, 0, firstClose);
    calendar::WriteDateFields(dates, 1, lastClose);
    ScanHost scanHost(host);
    transits::RunContext context{inputs, dates, flags, scanHost};
    transits::TransitResult scan = transits::StartTwoPlanetRun(context);
    if (scan.outcome == util::RunOutcome::Refused || scan.outcome == util::RunOutcome::Failed ||
        scan.outcome == util::RunOutcome::Stopped) {
        BacktestResult result;
        result.inputs = params;
        result.outcome = scan.outcome;
        result.refusal = scan.refusal;
        return result;
    }
    BacktestResult result = EvaluateBacktest(params, prices, OrbStaysOf(scan), ExactEventsOf(scan));
    result.outcome = scan.outcome;
    return result;
}

}  // namespace kovo::backtest
