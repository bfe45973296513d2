#!/usr/bin/env python3
"""A backtest's significance figures recomputed from their definitions.

backtest_significance_crosscheck prints a small fixed backtest (closes, exact aspects)
and, for each side, every rule's holds and figures and every event horizon's figures.
This script recomputes, with plain loops and statsmodels: the trade returns, the
baseline mean over every start day of each hold length, the excess, the circular-shift
statistic and p-value given the same shifts (holds walked day by day around the circle),
the event study's bases, mean, baseline and excess, its Newey-West t (OLS on a constant,
HAC with maxlags = h - 1, no small-sample correction) and its two-sided p-value.

usage: check_backtest_significance.py BACKTEST_SIGNIFICANCE_CROSSCHECK
Exit 0 passed, 1 failed, 77 skipped (numpy or statsmodels missing and CI not set).
"""
import json
import math
import os
import subprocess
import sys

SKIP = 77
TIE = 1e-12
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
    return condition


def close(a, b, what, tolerance=1e-9):
    """a and b agree within tolerance relative to their size (the figures are small
    fractions, so an absolute tolerance would pass nearly anything), or within 1e-14."""
    if a is None or b is None:
        return check(a is None and b is None, f"{what}: {a} against {b}")
    return check(abs(a - b) <= tolerance * max(abs(a), abs(b)) + 1e-14, f"{what}: {a!r} against {b!r}")


def import_modules():
    try:
        import numpy  # noqa: F401
        import statsmodels.api  # noqa: F401
    except ImportError as error:
        print(f"cannot import {error.name}: install python3-numpy and python3-statsmodels")
        if os.environ.get("CI", "") not in ("", "0", "false"):
            sys.exit(1)
        sys.exit(SKIP)


def mean(values):
    return sum(values) / len(values)


def length_mean(closes, length):
    """The mean simple return of a hold of `length` steps over every start day."""
    starts = range(len(closes) - length)
    return mean([closes[b + length] / closes[b] - 1 for b in starts])


def walked(steps, start, length):
    """The log return of `length` steps from `start`, read around the circle."""
    return sum(steps[(start + j) % len(steps)] for j in range(length))


def p_value(observed, shifted):
    at_least = sum(1 for value in shifted if value >= observed - TIE)
    return (1 + at_least) / (1 + len(shifted))


def check_rule(closes, steps, side, rule):
    name = f"{side} aspect {rule['aspect']} level {rule['level']}"
    holds = rule["holds"]
    if not holds:
        check(rule["p"] is None and rule["baseline"] is None, f"{name}: figures without trades")
        return
    sign = 1 if side == "long" else -1
    for (b, e), r in zip(holds, rule["returns"]):
        close(r, sign * (closes[e] / closes[b] - 1), f"{name}: return of hold {b}-{e}")
    baseline = sign * mean([length_mean(closes, e - b) for b, e in holds])
    close(rule["baseline"], baseline, f"{name}: baseline mean")
    close(rule["excess"], 100 * (mean(rule["returns"]) - baseline), f"{name}: excess")
    observed = sign * mean([walked(steps, b, e - b) for b, e in holds])
    close(rule["observed"], observed, f"{name}: statistic")
    shifted = [sign * mean([walked(steps, (b + k) % len(steps), e - b) for b, e in holds]) for k in rule["shifts"]]
    check(rule["p"] == p_value(observed, shifted), f"{name}: p {rule['p']}, walked {p_value(observed, shifted)}")
    print(f"{name}: {len(holds)} holds, baseline {baseline:.12f}, p {rule['p']}")


def event_bases(days, exacts, aspect):
    """Each exact aspect's base: the last trading day before its day, within the range."""
    bases = []
    for a, day in exacts:
        if a != aspect or day < days[0] or day > days[-1]:
            continue
        before = [i for i, d in enumerate(days) if d < day]
        if before:
            bases.append(before[-1])
    return bases


def hac_t(values, lag):
    import numpy as np
    import statsmodels.api as sm
    fit = sm.OLS(np.asarray(values), np.ones(len(values))).fit(
        cov_type="HAC", cov_kwds={"maxlags": lag, "use_correction": False})
    return float(fit.tvalues[0])


def check_event(days, closes, steps, exacts, row):
    h = row["horizon"]
    name = f"event aspect {row['aspect']} +{h}"
    bases = [b for b in event_bases(days, exacts, row["aspect"]) if b + h < len(closes)]
    check(row["count"] == len(bases), f"{name}: {row['count']} events, recomputed {len(bases)}")
    if not bases:
        return
    returns = [closes[b + h] / closes[b] - 1 for b in bases]
    close(row["mean"], mean(returns), f"{name}: mean")
    baseline = length_mean(closes, h)
    close(row["baseline"], baseline, f"{name}: baseline")
    close(row["excess"], 100 * (mean(returns) - baseline), f"{name}: excess")
    t = hac_t([r - baseline for r in returns], h - 1) if len(set(returns)) > 1 else None
    close(row["t"], t, f"{name}: Newey-West t")
    centre = h * sum(steps) / len(steps)
    observed = abs(mean([walked(steps, b, h) for b in bases]) - centre)
    shifted = [abs(mean([walked(steps, (b + k) % len(steps), h) for b in bases]) - centre) for k in row["shifts"]]
    check(row["p"] == p_value(observed, shifted), f"{name}: p {row['p']}, walked {p_value(observed, shifted)}")
    print(f"{name}: {len(bases)} events, t {row['t']}, p {row['p']}")


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    import_modules()
    data = json.loads(subprocess.run([sys.argv[1]], check=True, capture_output=True, text=True).stdout)
    days, closes, exacts = data["days"], data["closes"], data["exacts"]
    steps = [math.log(closes[i + 1] / closes[i]) for i in range(len(closes) - 1)]
    rules = events = 0
    for case in data["cases"]:
        for rule in case["rules"]:
            check_rule(closes, steps, case["side"], rule)
            rules += bool(rule["holds"])
        for row in case["events"]:
            check_event(days, closes, steps, exacts, row)
            events += row["count"] > 0
    check(rules >= 8 and events >= 8, f"only {rules} rules and {events} horizons had anything to check")
    for failure in failures:
        print("FAILED:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
