#include "sweep/sweep_run.h"

#include <algorithm>
#include <mutex>
#include <optional>
#include <set>
#include <thread>
#include <variant>

#include "astro/catalogue.h"
#include "backtest/backtest_table.h"

namespace kovo::sweep {

namespace {

// The host of one unit's scan: messages are kept (the last is a refusal's reason), the
// report goes nowhere, and the sweep's stop flag becomes the scan's stop request, whose
// "Stop?" is answered Yes.
class UnitHost final : public util::RunHost {
public:
    explicit UnitHost(const std::atomic<bool>* stop) : stop_(stop) {}

    util::Answer ShowMessage(const util::Message& message) override {
        if (message.buttons != util::MessageButtons::Ok) return util::Answer::Yes;
        last_ = message.text;
        return util::Answer::Ok;
    }
    void Progress(double, std::int32_t) override {
        if (Stopping()) cancel_.Request();
    }
    util::ReportSink& Report() override { return discard_; }
    util::CancelToken& Cancel() override { return cancel_; }
    bool Stopping() const { return stop_ != nullptr && stop_->load(std::memory_order_relaxed); }

private:
    const std::atomic<bool>* stop_;
    util::DiscardingSink discard_;
    util::CancelToken cancel_;
    std::string last_;
};

struct UnitOutcome {
    std::vector<SweepRow> rows;
    std::vector<SweepPeriod> periods;
    std::string skipped;  // the refusal, for the heading
    bool stopped = false;
};

// Whether a named rule of a cycle unit belongs to the kinds asked for.
bool CycleRuleWanted(const std::string& rule, const SweepEvents& events) {
    return rule.rfind("Ingress", 0) == 0 ? events.ingresses : events.stations;
}

std::vector<SweepPeriod> PeriodsOf(const SweepPair& pair, const std::array<int, 3>& orbs,
                                   const std::vector<backtest::OrbStay>& stays,
                                   const std::vector<backtest::ExactEvent>& exacts) {
    std::vector<SweepPeriod> periods;
    periods.reserve(stays.size());
    for (const backtest::OrbStay& stay : stays) {
        SweepPeriod period{.pair = pair,
                           .aspect = stay.aspect,
                           .level = stay.level,
                           .orbDegrees = orbs[static_cast<std::size_t>(stay.level)],
                           .entryDay = stay.entryDay,
                           .exitDay = stay.exitDay,
                           .exactUt = {}};
        for (const backtest::ExactEvent& exact : exacts)
            if (exact.aspect == stay.aspect && (!stay.entryDay || exact.day >= *stay.entryDay) &&
                (!stay.exitDay || exact.day <= *stay.exitDay))
                period.exactUt.push_back(exact.instantUt);
        periods.push_back(std::move(period));
    }
    return periods;
}

UnitOutcome RunUnit(const SweepRequest& request, const SweepUnit& unit, const backtest::PriceSeries& prices,
                    const SweepControl& control) {
    UnitOutcome outcome;
    UnitHost host(control.stop);
    const backtest::BacktestParams first = UnitParams(request, unit, request.sides.front());
    backtest::PairScan scan = backtest::ScanForBacktest(first, prices, host);
    if (scan.outcome == util::RunOutcome::Stopped || host.Stopping()) {
        outcome.stopped = true;
        return outcome;
    }
    if (!scan.Traded()) {
        // The run's messages break lines with CR LF (Pluto's reason); the sweep's text uses LF.
        std::string why = scan.refusal;
        std::erase(why, '\r');
        outcome.skipped = UnitName(unit) + " " + UnitCentricity(unit) + ": " + why;
        return outcome;
    }
    if (control.keepPeriods && unit.kind == UnitKind::Pair)
        outcome.periods = PeriodsOf(unit.pair, request.orbDegrees, scan.stays, scan.exacts);
    for (const backtest::Side side : request.sides) {
        if (host.Stopping()) {
            outcome.stopped = true;
            return outcome;
        }
        const backtest::BacktestResult result =
            backtest::EvaluateBacktest(UnitParams(request, unit, side), prices, scan.stays, scan.exacts, control.stop);
        if (result.outcome == util::RunOutcome::Stopped) {
            outcome.stopped = true;
            return outcome;
        }
        const bool holdout = result.periods.size() == 2;
        for (std::size_t i = 0; i < result.strategies.size(); ++i) {
            const backtest::StrategyResult& strategy = result.strategies[i];
            if (unit.kind == UnitKind::Cycles && !CycleRuleWanted(strategy.trades.rule, request.events)) continue;
            outcome.rows.push_back(RowOf(unit, side, static_cast<int>(i), strategy,
                                         holdout ? &result.periods[0].strategies[i] : nullptr,
                                         holdout ? &result.periods[1].strategies[i] : nullptr));
        }
    }
    return outcome;
}

SweepResult Refusal(const SweepRequest& request, std::string text) {
    SweepResult result;
    result.request = request;
    result.refusal = std::move(text);
    return result;
}

}  // namespace

std::vector<SweepUnit> UnitsOf(const SweepRequest& request) {
    std::vector<SweepUnit> units;
    if (request.events.aspects)
        for (const SweepPair& pair : request.pairs) units.push_back({.kind = UnitKind::Pair, .pair = pair});
    if (request.events.stations || request.events.ingresses) {
        std::set<int> bodies;
        for (const SweepPair& pair : request.pairs)
            for (const astro::Body body : {pair.first, pair.second}) {
                const int index = astro::PlanetIndex(body);
                // The Sun never stations; the Moon's ingresses are no cycle rule.
                if (index == astro::kMoon || (index == astro::PlanetIndex(astro::Body::Sun) && !request.events.ingresses))
                    continue;
                bodies.insert(index);
            }
        for (const int body : bodies)
            units.push_back({.kind = UnitKind::Cycles,
                             .pair = {.first = astro::BodyOfIndex(body), .second = astro::BodyOfIndex(body)}});
    }
    if (request.events.phases) units.push_back({.kind = UnitKind::Lunar, .pair = {}});
    return units;
}

SweepResult RunSweep(const SweepRequest& request, const backtest::PriceSeries& series, const SweepControl& control) {
    if (!request.events.Any()) return Refusal(request, "A sweep needs at least one kind of rule to test.");
    if (request.pairs.empty() && !request.events.phases) return Refusal(request, "A sweep needs at least one pair.");
    if (request.sides.empty()) return Refusal(request, "A sweep needs a side to trade: long, short or both.");
    const backtest::BacktestParams params = UnitParams(request, {}, request.sides.front());
    auto range = backtest::BacktestRange(params, series);
    if (auto* why = std::get_if<std::string>(&range)) return Refusal(request, std::move(*why));
    const backtest::PriceSeries& prices = std::get<backtest::PriceSeries>(range);

    SweepResult result;
    result.request = request;
    result.firstDay = prices.points.front().day;
    result.lastDay = prices.points.back().day;
    result.closes = prices.Size();
    result.source = prices.source;
    result.column = prices.column;
    result.units = UnitsOf(request);
    if (result.units.empty())
        return Refusal(request, "The pairs hold no body whose cycles could be tested.");

    // Workers take the next unit in turn; each unit's outcome has its own slot, so the
    // order of the result never depends on which worker finished first.
    const std::size_t total = result.units.size();
    std::vector<UnitOutcome> outcomes(total);
    std::atomic<std::size_t> next{0};
    std::atomic<bool> stopped{false};
    std::mutex progress;
    std::size_t done = 0;
    const auto work = [&] {
        for (std::size_t i = next.fetch_add(1); i < total && !stopped.load(); i = next.fetch_add(1)) {
            outcomes[i] = RunUnit(request, result.units[i], prices, control);
            if (outcomes[i].stopped) {
                stopped.store(true);
                return;
            }
            const std::lock_guard lock(progress);
            ++done;
            if (control.unitDone) control.unitDone(done, total);
        }
    };
    const std::size_t threads = std::clamp<std::size_t>(static_cast<std::size_t>(std::max(request.jobs, 1)), 1, total);
    {
        std::vector<std::jthread> workers;
        for (std::size_t t = 1; t < threads; ++t) workers.emplace_back(work);
        work();
    }
    if (stopped.load() || (control.stop != nullptr && control.stop->load())) {
        SweepResult stop;
        stop.request = request;
        stop.outcome = util::RunOutcome::Stopped;
        return stop;
    }
    for (UnitOutcome& outcome : outcomes) {
        if (!outcome.skipped.empty()) result.skipped.push_back(std::move(outcome.skipped));
        std::move(outcome.rows.begin(), outcome.rows.end(), std::back_inserter(result.rows));
        std::move(outcome.periods.begin(), outcome.periods.end(), std::back_inserter(result.periods));
    }
    if (result.skipped.size() == total) {
        std::string why = "No unit of the sweep could be tested:";
        for (const std::string& line : result.skipped) why += "\n" + line;
        return Refusal(request, std::move(why));
    }
    result.count = RankRows(result.rows);
    result.outcome = util::RunOutcome::Completed;
    return result;
}

}  // namespace kovo::sweep
