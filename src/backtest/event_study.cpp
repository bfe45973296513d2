#include "backtest/event_study.h"

#include "backtest/backtest_statistics.h"
#include "stats/event_shift.h"
#include "stats/random_stream.h"

namespace kovo::backtest {

namespace {

void Summarise(const std::vector<double>& returns, const std::vector<std::size_t>& bases, int horizon,
               const std::string& identity, SignificanceContext& context, HorizonReturns& out) {
    out.count = static_cast<int>(returns.size());
    if (returns.empty()) return;
    double sum = 0;
    for (const double r : returns) sum += r;
    out.mean = sum / static_cast<double>(returns.size());
    out.median = Median(returns);
    RuleSignificance& sig = out.significance;
    if (const auto average = context.Baselines().ForLength(static_cast<std::size_t>(horizon))) {
        sig.baselineMean = average->meanReturn;
        sig.excessPct = stats::ExcessPct(out.mean, sig.baselineMean);
        out.neweyWest = stats::EventExcessT(returns, average->meanReturn, horizon);
    }
    sig.shift = stats::EventShiftTest(
        context.Sums(), bases, static_cast<std::size_t>(horizon), context.Permutations(),
        stats::StreamSeed(context.Seed(), stats::IdentityHash(identity), stats::StreamPurpose::CircularShift));
}

}  // namespace

std::vector<EventStudyRow> StudyEvents(const std::vector<ExactEvent>& events, const PriceSeries& prices,
                                       const std::array<bool, 7>& aspects, const std::string& identity,
                                       SignificanceContext& context) {
    std::vector<EventStudyRow> rows;
    for (int aspect = 1; aspect <= 7; ++aspect) {
        if (!aspects[static_cast<std::size_t>(aspect - 1)]) continue;
        EventStudyRow row{.aspect = aspect, .events = 0, .horizons = {}, .label = {}};
        std::array<std::vector<double>, 3> returns;
        std::array<std::vector<std::size_t>, 3> bases;
        for (const ExactEvent& event : events) {
            if (event.aspect != aspect || prices.Empty()) continue;
            if (event.day < prices.points.front().day || event.day > prices.points.back().day) continue;
            const auto base = prices.LastBefore(event.day);
            if (!base) continue;
            ++row.events;
            for (std::size_t h = 0; h < kEventHorizons.size(); ++h) {
                const std::size_t later = *base + static_cast<std::size_t>(kEventHorizons[h]);
                if (later >= prices.Size()) continue;
                returns[h].push_back(prices.points[later].close / prices.points[*base].close - 1.0);
                bases[h].push_back(*base);
            }
        }
        for (std::size_t h = 0; h < kEventHorizons.size(); ++h)
            Summarise(returns[h], bases[h], kEventHorizons[h],
                      identity + " event " + std::to_string(aspect) + " +" + std::to_string(kEventHorizons[h]),
                      context, row.horizons[h]);
        rows.push_back(row);
    }
    return rows;
}

std::vector<RuleSignificance*> EventFamily(std::vector<EventStudyRow>& rows) {
    std::vector<RuleSignificance*> family;
    for (EventStudyRow& row : rows)
        for (HorizonReturns& h : row.horizons) family.push_back(&h.significance);
    return family;
}

}  // namespace kovo::backtest
