#include "backtest/event_study.h"

#include "backtest/backtest_statistics.h"

namespace kovo::backtest {

std::vector<EventStudyRow> StudyEvents(const std::vector<ExactEvent>& events, const PriceSeries& prices,
                                       const std::array<bool, 7>& aspects) {
    std::vector<EventStudyRow> rows;
    for (int aspect = 1; aspect <= 7; ++aspect) {
        if (!aspects[static_cast<std::size_t>(aspect - 1)]) continue;
        EventStudyRow row{.aspect = aspect, .events = 0, .horizons = {}};
        std::array<std::vector<double>, 3> returns;
        for (const ExactEvent& event : events) {
            if (event.aspect != aspect || prices.Empty()) continue;
            if (event.day < prices.points.front().day || event.day > prices.points.back().day) continue;
            const auto base = prices.LastBefore(event.day);
            if (!base) continue;
            ++row.events;
            for (std::size_t h = 0; h < kEventHorizons.size(); ++h) {
                const std::size_t later = *base + static_cast<std::size_t>(kEventHorizons[h]);
                if (later < prices.Size())
                    returns[h].push_back(prices.points[later].close / prices.points[*base].close - 1.0);
            }
        }
        for (std::size_t h = 0; h < kEventHorizons.size(); ++h) {
            HorizonReturns& out = row.horizons[h];
            out.count = static_cast<int>(returns[h].size());
            if (returns[h].empty()) continue;
            double sum = 0;
            for (const double r : returns[h]) sum += r;
            out.mean = sum / static_cast<double>(returns[h].size());
            out.median = Median(returns[h]);
        }
        rows.push_back(row);
    }
    return rows;
}

}  // namespace kovo::backtest
