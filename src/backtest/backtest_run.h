#pragma once
// A whole backtest: the transit run of the pair over the range (with the two-planet
// run's checks of its days and pair, and their messages), the stays and exact aspects it recorded, the trades of every
// aspect and orb level, their statistics, buy-and-hold and the event study.
//
// The scan is the long part: it reports its progress to the host once per step and asks
// "Stop?" when the host's cancel token is set, so a front end cancels a backtest by
// setting the token and answering Yes. The scan's report text never reaches the host's
// report. Nothing here touches shared state: a backtest may run on a worker thread.
#include <array>
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "astro/pluto_availability.h"
#include "backtest/backtest_statistics.h"
#include "backtest/event_study.h"
#include "backtest/orb_stays.h"
#include "backtest/price_series.h"
#include "backtest/rule_significance.h"
#include "backtest/strategy_risk.h"
#include "backtest/trade_rules.h"
#include "astro/body.h"
#include "calendar/report_zone.h"
#include "util/run_host.h"
#include "util/run_outcome.h"

namespace kovo::backtest {

inline constexpr const char* kBacktestTitle = "Backtest";

// The shortest span in days from the first to the last close that the transit run scans.
inline constexpr std::int32_t kMinimumScanDays = 3;

struct BacktestParams {
    astro::Body first = astro::Body::Sun;  // heliocentrically the Earth
    astro::Body second = astro::Body::Jupiter;
    bool heliocentric = true;
    std::array<bool, 7> aspects{true, true, true, true, true, true, true};  // aspect index k + 1
    std::array<int, 3> orbDegrees{10, 5, 2};  // outer, middle, inner; strictly decreasing, 1..15
    Side side = Side::Long;
    // The range (day numbers, inclusive); absent: the series' first or last day.
    std::optional<std::int32_t> fromDay;
    std::optional<std::int32_t> toDay;
    calendar::ReportZone zone;  // the zone of the civil dates of orb entries and exits: GMT
    astro::PlutoAvailability pluto;  // Pluto's limits and availability apply only to a pair with Pluto
    // Significance: the circular shifts of each rule, and the bootstrap's resamples.
    int permutations = stats::kDefaultShifts;
    std::uint64_t seed = kDefaultSeed;
    // The first day of the hold-out: the range is also evaluated before and from it.
    std::optional<std::int32_t> holdoutDay;
    double costBasisPoints = 0;  // charged on every entry and every exit, 0..10000
    double riskFreePct = 0;      // a year, for the Sharpe and Sortino ratios
    // Trade this body's retrograde cycles and ingresses (geocentric, tropical; see
    // cycle_rules.h) instead of the pair's aspects: `second`, `aspects` and `orbDegrees`
    // are then unused.
    std::optional<astro::Body> cycleBody;
    int daysAfter = 5;  // trading days a cycle rule holds after a station or an ingress
    // Trade the Moon's phases (lunar_rules.h) instead: `first` and `second` unused too.
    bool lunar = false;
    int daysAround = 3;  // trading days on either side of a phase
    // The event study of the exact aspects (or the cycles' events); a sweep, which ranks
    // the rules alone, leaves it out.
    bool eventStudy = true;

    double CostFraction() const { return costBasisPoints / 10000.0; }
    // Whether the rules are named rules (cycles or the Moon's phases) rather than aspects.
    bool NamedRules() const { return cycleBody.has_value() || lunar; }
};

struct StrategyResult {
    StrategyTrades trades;
    BacktestStatistics stats;
    RuleSignificance significance;
    StrategyRisk risk;
};

struct BacktestResult {
    BacktestParams inputs;
    util::RunOutcome outcome = util::RunOutcome::Refused;
    std::string refusal;       // the message that refused the backtest
    std::int32_t firstDay = 0;  // the range as traded: first and last trading day
    std::int32_t lastDay = 0;
    PriceSeries prices;         // the closes within the range
    std::vector<OrbStay> stays;
    std::vector<ExactEvent> exacts;
    std::vector<StrategyResult> strategies;  // by aspect ascending, then outer, middle, inner
    StrategyResult buyAndHold;
    std::vector<EventStudyRow> eventStudy;
    FamilyCount rules;   // the strategies tested and surviving q < kDiscoveryThreshold
    FamilyCount events;  // the same for the event study's horizons
    // With a hold-out day: the range before it, then from it on; each evaluated alone.
    std::vector<BacktestResult> periods;

    bool HasStatistics() const { return util::Succeeded(outcome) && outcome != util::RunOutcome::Stopped; }
};

// The rules, statistics and event study over given stays and exact aspects; `prices`
// are the range's closes (at least two). No ephemeris is needed. When `stop` is set
// (from any thread) the evaluation ends before its next rule with outcome Stopped.
BacktestResult EvaluateBacktest(const BacktestParams& params, const PriceSeries& prices, std::vector<OrbStay> stays,
                                std::vector<ExactEvent> exacts, const std::atomic<bool>* stop = nullptr);

// The closes a backtest trades: the series clipped to the range, or the refusal (no
// closes, a reversed range, fewer than two closes, a hold-out day without two closes on
// each side, closes spanning less than kMinimumScanDays).
std::variant<PriceSeries, std::string> BacktestRange(const BacktestParams& params, const PriceSeries& series);

// What the rules trade on: the stays and exact aspects of the pair (or the spells and
// events of the named rules) over the span of `prices`, which BacktestRange gave. A
// refusal is shown through the host and returned with outcome Refused and its text; a
// stopped scan gives Stopped.
struct PairScan {
    util::RunOutcome outcome = util::RunOutcome::Refused;
    std::string refusal;
    std::vector<OrbStay> stays;
    std::vector<ExactEvent> exacts;

    // Completed, or NotFound (no aspect in the range): there is something to evaluate.
    bool Traded() const { return util::Succeeded(outcome) && outcome != util::RunOutcome::Stopped; }
};
PairScan ScanForBacktest(const BacktestParams& params, const PriceSeries& prices, util::RunHost& host);

// The whole backtest over the series: BacktestRange, ScanForBacktest, EvaluateBacktest. Only the span from the first to the last close
// within the range is scanned. Refusals (too few closes in the range, closes spanning
// less than kMinimumScanDays, a span the transit run refuses, Pluto without data) are
// shown through the host and returned with outcome Refused; a stop gives Stopped and no
// statistics. Completed or NotFound (no aspect in the range) come with statistics.
BacktestResult RunBacktest(const BacktestParams& params, const PriceSeries& series, util::RunHost& host);

// "Earth and Jupiter": the pair's names in the run's centricity.
std::string PairName(const BacktestParams& params);

// The identity of a rule that seeds its random streams: "Earth-Jupiter helio long 1 10"
// (pair, centricity, side, aspect index, orb in degrees), so that the same rule gets the
// same draws in a backtest and in a sweep.
std::string RuleIdentity(const BacktestParams& params, int aspect, int orbDegrees);

// The pair's part of that identity, "Earth-Jupiter helio": it seeds the event study,
// whose figures do not depend on the side traded.
std::string PairIdentity(const BacktestParams& params);

// Whether the excess kept its sign from the period before the hold-out to the one after:
// absent when either lacks an excess or either is 0.
std::optional<bool> HeldOut(const RuleSignificance& before, const RuleSignificance& after);

// A refusal of the hold-out day, or empty: the day must leave at least two closes on
// each side within the range.
std::string HoldoutRefusal(const PriceSeries& prices, std::int32_t holdoutDay);

}  // namespace kovo::backtest
