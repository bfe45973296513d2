#!/usr/bin/env python3
"""The statistics core checked against independent implementations.

stats_crosscheck prints, for fixed inputs, the inputs and what the C++ library made of
them; this script recomputes each figure with statsmodels (Benjamini-Hochberg,
Newey-West), numpy and scipy (bootstrap percentiles) and plain loops written from the
definitions (the circular-shift test walked step by step, the baseline over every
start day, the risk figures).

usage: check_stats.py STATS_CROSSCHECK CASE
CASE: bh, hac, shift, bootstrap, baseline, risk. Exit 0 passed, 1 failed, 77 skipped
(numpy, scipy or statsmodels missing and CI not set; with CI set that fails).
"""
import json
import math
import os
import subprocess
import sys

SKIP = 77
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
    return condition


def close(a, b, tolerance, what):
    """a and b agree within tolerance, relative to their size when that is above 1."""
    if a is None or b is None:
        return check(a is None and b is None, f"{what}: {a} against {b}")
    return check(abs(a - b) <= tolerance * max(1.0, abs(a), abs(b)), f"{what}: {a!r} against {b!r}")


def import_modules():
    try:
        import numpy  # noqa: F401
        import scipy.stats  # noqa: F401
        import statsmodels.api  # noqa: F401
        import statsmodels.stats.multitest  # noqa: F401
    except ImportError as error:
        print(f"cannot import {error.name}: install python3-numpy, python3-scipy and python3-statsmodels "
              "(scripts/setup.sh --tests)")
        if os.environ.get("CI", "") not in ("", "0", "false"):
            sys.exit(1)
        sys.exit(SKIP)


def check_bh(data):
    from statsmodels.stats.multitest import multipletests
    for f, family in enumerate(data["families"]):
        present = [i for i, p in enumerate(family["p"]) if p is not None]
        expected = multipletests([family["p"][i] for i in present], method="fdr_bh")[1] if present else []
        check(family["tested"] == len(present), f"family {f}: tested {family['tested']}, {len(present)} p-values")
        for i, q in enumerate(family["q"]):
            if i not in present:
                check(q is None, f"family {f}: a q-value {q} without a p-value")
        for k, i in enumerate(present):
            close(family["q"][i], float(expected[k]), 1e-9, f"family {f} q[{i}]")
        passing = sum(1 for q in expected if q < family["threshold"])
        check(family["passing"] == passing, f"family {f}: {family['passing']} pass, statsmodels {passing}")
        print(f"BH family {f}: m = {len(present)}, {passing} with q < {family['threshold']}, "
              f"largest difference {max((abs(family['q'][i] - expected[k]) for k, i in enumerate(present)), default=0):.3g}")


def hac_t(y, lag):
    import numpy as np
    import statsmodels.api as sm
    fit = sm.OLS(np.asarray(y), np.ones(len(y))).fit(cov_type="HAC", cov_kwds={"maxlags": lag})
    return float(fit.tvalues[0]), float(fit.bse[0])


def check_hac(data):
    for s, series in enumerate(data["series"]):
        t, se = hac_t(series["y"], series["lag"])
        close(series["t"], t, 1e-9, f"series {s} (n = {len(series['y'])}, lag {series['lag']}) t")
        close(series["se"], se, 1e-9, f"series {s} standard error")
        print(f"HAC n = {len(series['y'])}, lag {series['lag']}: t = {series['t']:.12f}, statsmodels {t:.12f}")
    for event in data["events"]:
        y = [r - event["series_mean"] for r in event["returns"]]
        t, _ = hac_t(y, event["horizon"] - 1)
        close(event["t"], t, 1e-9, f"events at +{event['horizon']}")
        print(f"events at +{event['horizon']} (n = {len(y)}, lag {event['horizon'] - 1}): t = {event['t']:.12f}, "
              f"statsmodels {t:.12f}")


def walked_mean(closes, holds, k, sign):
    """The holds shifted by k, each walked day by day around the circle of steps."""
    steps = len(closes) - 1
    total = 0.0
    for entry, exit_ in holds:
        for j in range(entry, exit_):
            i = (j + k) % steps
            total += math.log(closes[i + 1] / closes[i])
    return sign * total / len(holds)


def check_shift(data):
    for c, case in enumerate(data["cases"]):
        closes, holds = case["closes"], case["holds"]
        steps = len(closes) - 1
        sign = 1.0 if case["side"] == "long" else -1.0
        check(all(1 <= k <= steps - 1 for k in case["shifts"]), f"case {c}: a shift outside 1..M-1")
        observed = walked_mean(closes, holds, 0, sign)
        close(case["observed"], observed, 1e-12, f"case {c} observed")
        cache = {}
        at_least = 0
        worst = 0.0
        for j, k in enumerate(case["shifts"]):
            if k not in cache:
                cache[k] = walked_mean(closes, holds, k, sign)
            worst = max(worst, abs(cache[k] - case["null"][j]))
            at_least += cache[k] >= observed - case["tie_tolerance"]
        check(worst <= 1e-12, f"case {c}: a shifted statistic differs by {worst}")
        p = (1 + at_least) / (1 + len(case["shifts"]))
        check(case["at_least"] == at_least, f"case {c}: {case['at_least']} shifts at least observed, walked {at_least}")
        check(case["p"] == p, f"case {c}: p = {case['p']}, walked {p}")
        wraps = sum(1 for k in set(case["shifts"]) for b, e in holds if (b + k) % steps + (e - b) > steps)
        print(f"shift case {c} ({case['side']}, N = {len(closes)}, {len(holds)} holds, {len(case['shifts'])} shifts, "
              f"{wraps} wrapped holds): p = {case['p']:.6f}, walked p = {p:.6f}, largest difference {worst:.3g}")


def check_bootstrap(data):
    import numpy as np
    import scipy.stats
    small = data["small"]
    returns = np.asarray(small["returns"])
    means = np.asarray([returns[idx].mean() for idx in small["indexes"]])
    worst = float(np.max(np.abs(means - np.asarray(small["means"]))))
    check(worst <= 1e-15, f"resample means differ by {worst}")
    low, high = np.percentile(means, [2.5, 97.5])
    close(small["low_pct"], 100 * low, 1e-12, "small: low")
    close(small["high_pct"], 100 * high, 1e-12, "small: high")
    close(small["mean_pct"], 100 * returns.mean(), 1e-12, "small: mean")
    print(f"bootstrap, same indexes: [{small['low_pct']:.12f}, {small['high_pct']:.12f}] %, "
          f"numpy [{100 * low:.12f}, {100 * high:.12f}] %")
    large = data["large"]
    result = scipy.stats.bootstrap((np.asarray(large["returns"]),), np.mean, n_resamples=large["resamples"],
                                   confidence_level=0.95, method="percentile", random_state=1)
    width = large["high_pct"] - large["low_pct"]
    low, high = 100 * result.confidence_interval.low, 100 * result.confidence_interval.high
    # Two independent sets of 10,000 resamples: their percentiles differ by a few
    # hundredths of the width.
    check(abs(large["low_pct"] - low) <= 0.05 * width, f"large: low {large['low_pct']} against scipy {low}")
    check(abs(large["high_pct"] - high) <= 0.05 * width, f"large: high {large['high_pct']} against scipy {high}")
    print(f"bootstrap, own draws: [{large['low_pct']:.4f}, {large['high_pct']:.4f}] %, "
          f"scipy [{low:.4f}, {high:.4f}] % (tolerance 5 % of the width {width:.4f})")


def check_baseline(data):
    closes, holds = data["closes"], data["holds"]
    n = len(closes)
    long_mean = long_hit = short_hit = 0.0
    for entry, exit_ in holds:
        length = exit_ - entry
        moves = [closes[b + length] / closes[b] - 1 for b in range(n - length)]
        long_mean += sum(moves) / len(moves)
        long_hit += sum(1 for m in moves if m > 0) / len(moves)
        short_hit += sum(1 for m in moves if m < 0) / len(moves)
    count = len(holds)
    close(data["long"]["mean"], long_mean / count, 1e-12, "long baseline mean")
    close(data["long"]["hit"], long_hit / count, 1e-12, "long baseline hit rate")
    close(data["short"]["mean"], -long_mean / count, 1e-12, "short baseline mean")
    close(data["short"]["hit"], short_hit / count, 1e-12, "short baseline hit rate")
    print(f"baseline of {count} holds: long {100 * data['long']['mean']:.9f} %, hit {data['long']['hit']:.9f}; "
          f"every start walked: {100 * long_mean / count:.9f} %, {long_hit / count:.9f}")


def check_risk(data):
    import numpy as np
    r = np.asarray(data["trades"])
    wins, losses = r[r > 0], r[r < 0]
    close(data["profit_factor"], wins.sum() / -losses.sum(), 1e-12, "profit factor")
    close(data["average_win"], wins.mean(), 1e-12, "average win")
    close(data["average_loss"], losses.mean(), 1e-12, "average loss")
    close(data["best"], r.max(), 0, "best trade")
    close(data["worst"], r.min(), 0, "worst trade")
    close(data["per_day"], np.prod(1 + r) ** (1 / data["days_in_market"]) - 1, 1e-12, "return per day in the market")
    equity = np.asarray(data["equity"])
    daily = equity[1:] / equity[:-1] - 1
    for rate in data["rates"]:
        excess = daily - ((1 + rate["risk_free_pct"] / 100) ** (1 / 252) - 1)
        close(rate["volatility"], daily.std(ddof=1) * math.sqrt(252), 1e-12, "volatility")
        close(rate["sharpe"], excess.mean() / excess.std(ddof=1) * math.sqrt(252), 1e-10, "Sharpe")
        downside = math.sqrt(np.mean(np.minimum(excess, 0) ** 2))
        close(rate["sortino"], excess.mean() / downside * math.sqrt(252), 1e-10, "Sortino")
        print(f"risk-free {rate['risk_free_pct']} %: volatility {rate['volatility']:.10f}, Sharpe {rate['sharpe']:.10f}, "
              f"Sortino {rate['sortino']:.10f}")


CHECKS = {"bh": check_bh, "hac": check_hac, "shift": check_shift, "bootstrap": check_bootstrap,
          "baseline": check_baseline, "risk": check_risk}


def main():
    if len(sys.argv) != 3 or sys.argv[2] not in CHECKS:
        print(__doc__)
        return 2
    import_modules()
    done = subprocess.run([sys.argv[1], sys.argv[2]], capture_output=True, text=True)
    if done.returncode != 0:
        print(f"stats_crosscheck {sys.argv[2]} exited {done.returncode}: {done.stderr}")
        return 1
    CHECKS[sys.argv[2]](json.loads(done.stdout))
    for failure in failures:
        print("FAILED:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
