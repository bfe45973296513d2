#pragma once
// The t-statistic of a mean with Newey-West (Bartlett kernel) standard errors, for
// returns over windows that overlap, such as the event study's h-day returns after
// events a few days apart.
//
// For y[0..n-1] with mean ybar and residuals u[t] = y[t] - ybar, lag L >= 0:
//   w(l)  = 1 - l / (L + 1)                                   Bartlett weights
//   S     = sum_t u[t]^2 + 2 * sum_{l=1..L} w(l) * sum_{t=l..n-1} u[t] u[t-l]
//   se    = sqrt(S) / n                                       standard error of ybar
//   t     = ybar / se
// This is exactly the t-value of statsmodels' regression of y on a constant,
// sm.OLS(y, ones).fit(cov_type="HAC", cov_kwds={"maxlags": L}), whose default applies
// no small-sample correction (use_correction=False; with it, se would grow by
// sqrt(n / (n - 1))). Lags at or beyond n add nothing.
//
// Absent: fewer than two values, or all values equal (S = 0 but for rounding: the mean
// has no spread to measure it against).
#include <cstddef>
#include <optional>
#include <vector>

namespace kovo::stats {

struct NeweyWestMean {
    double mean = 0;           // ybar
    double standardError = 0;  // se, > 0
    double t = 0;              // ybar / se
};

std::optional<NeweyWestMean> NeweyWestOfMean(const std::vector<double>& values, std::size_t lag);

// The event study's t for one horizon h >= 1 (trading days): y[i] = eventReturns[i] -
// seriesMeanReturn (the events' h-day returns against the series' mean h-day return,
// e.g. BaselineTable::ForLength(h)->meanReturn), with lag L = h - 1 because the h-day
// windows of events fewer than h days apart share days.
std::optional<NeweyWestMean> EventExcessT(const std::vector<double>& eventReturns, double seriesMeanReturn,
                                          int horizon);

}  // namespace kovo::stats
