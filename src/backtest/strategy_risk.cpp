#include "backtest/strategy_risk.h"

#include "backtest/backtest_statistics.h"

namespace kovo::backtest {

StrategyRisk RiskOf(const std::vector<Trade>& trades, const PriceSeries& prices, Side side, double cost,
                    double riskFreePct) {
    StrategyRisk risk;
    std::vector<double> returns;
    std::size_t steps = 0;
    for (const Trade& trade : trades) {
        returns.push_back(trade.tradeReturn);
        steps += trade.exitIndex - trade.entryIndex;
    }
    risk.daysInMarket = static_cast<int>(steps);
    risk.returnPerDayInMarket = stats::ReturnPerDayInMarket(returns, steps);
    risk.trades = stats::TradeFiguresOf(returns);
    risk.daily = stats::DailyFiguresOf(stats::DailyReturnsOf(EquityCurve(trades, prices, side, cost)), riskFreePct);
    return risk;
}

}  // namespace kovo::backtest
